// GDI wrappers on memory DCs: drawing lands where it should, and a DC the
// wrapper created gives back its selections before it is deleted.
#include <gtest/gtest.h>

#include "framework/Gdi.h"

namespace {

TEST(Gdi, MemoryDcDrawsAndReadsBack) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap bm;
  void* bits = nullptr;
  ASSERT_TRUE(bm.CreateDIBSection(8, 4, 32, &bits));
  CSelectObject keep(dc, bm);
  dc.FillSolidRect(0, 0, 8, 4, RGB(10, 20, 30));
  CBrush brush(RGB(250, 0, 5));
  CRect r(2, 1, 5, 3);
  dc.FillRect(&r, &brush);
  GdiFlush();
  const DWORD* px = static_cast<const DWORD*>(bits);
  EXPECT_EQ(px[0] & 0xFFFFFF, 0x0A141Eu);
  EXPECT_EQ(px[1 * 8 + 2] & 0xFFFFFF, 0xFA0005u);
  EXPECT_EQ(px[2 * 8 + 4] & 0xFFFFFF, 0xFA0005u);
  EXPECT_EQ(px[2 * 8 + 5] & 0xFFFFFF, 0x0A141Eu);
  EXPECT_EQ(dc.GetPixel(3, 2), RGB(250, 0, 5));
}

TEST(Gdi, DeletingTheDcDeselectsItsObjects) {
  CBitmap bm;
  ASSERT_TRUE(bm.CreateDIBSection(4, 4, 24, nullptr));
  HGDIOBJ handle = bm.GetSafeHandle();
  {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    dc.SelectObject(&bm);
  }
  // Deselected, so it can be deleted; a selected bitmap cannot.
  EXPECT_EQ(bm.GetSize(), CSize(4, 4));
  EXPECT_TRUE(bm.DeleteObject());
  EXPECT_EQ(GetObjectType(handle), 0u);
}

TEST(Geometry, RectBasics) {
  CRect a(0, 0, 10, 10), b(5, 5, 20, 8), c;
  EXPECT_TRUE(c.IntersectRect(a, b));
  EXPECT_EQ(c, CRect(5, 5, 10, 8));
  EXPECT_FALSE(c.IntersectRect(a, CRect(10, 0, 12, 3)));
  EXPECT_TRUE(c.IsRectEmpty());
  EXPECT_EQ(CRect(3, 4, 7, 9).Size(), CSize(4, 5));
}

}  // namespace
