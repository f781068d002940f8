// GDI wrappers on memory DCs: drawing lands where it should, a DC the
// wrapper created gives back its selections before it is deleted, and a
// delete that fails or finds the object still selected is reported (a
// debug build asserts) rather than passed over.
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
  const long before = CGdiObject::GetFailedDeleteCount();
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
  EXPECT_EQ(CGdiObject::GetFailedDeleteCount(), before);
}

struct ObjectKind {
  const char* name;
  HGDIOBJ (*make)();
};

const ObjectKind kKinds[] = {
    {"screen bitmap",
     [] {
       HDC screen = GetDC(nullptr);
       HGDIOBJ b = CreateCompatibleBitmap(screen, 4, 4);
       ReleaseDC(nullptr, screen);
       return b;
     }},
    {"DIB section",
     [] {
       CBitmap b;
       b.CreateDIBSection(4, 4, 32, nullptr);
       return b.Detach();
     }},
    {"pen", [] { return static_cast<HGDIOBJ>(CreatePen(PS_SOLID, 1, RGB(1, 2, 3))); }},
    {"brush", [] { return static_cast<HGDIOBJ>(CreateSolidBrush(RGB(1, 2, 3))); }},
};

// Runs a delete that must fail and be reported once. A debug build asserts
// in it (checked in a child process); otherwise it returns false and the
// failure is counted.
template <typename Delete>
void ExpectOneReportedFailure(Delete attempt) {
  const long before = CGdiObject::GetFailedDeleteCount();
  bool deleted = true;
  EXPECT_DEBUG_DEATH(deleted = attempt(), "selected into a DC");
#ifdef NDEBUG
  EXPECT_FALSE(deleted);
  EXPECT_EQ(CGdiObject::GetFailedDeleteCount() - before, 1);
#endif
}

// Windows refuses to delete a selected bitmap and Wine defers every such
// delete: the wrapper reports both.
TEST(Gdi, AnObjectDestroyedWhileSelectedIsReported) {
  for (const ObjectKind& kind : kKinds) {
    SCOPED_TRACE(kind.name);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    HGDIOBJ object = kind.make();
    ASSERT_NE(object, nullptr);
    ExpectOneReportedFailure([&] {
      CGdiObject owner;
      owner.Attach(object);
      dc.SelectObject(object);
      return false;  // the owner goes while dc still holds the object
    });
  }
}

TEST(Gdi, ABitmapWrapperDoesNotDeleteItsBitmapWhileSelected) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap bm;
  ASSERT_TRUE(bm.CreateCompatibleBitmap(nullptr, 4, 4));
  CSelectObject keep(dc, bm);
  ExpectOneReportedFailure([&] { return bm.DeleteObject(); });
}

TEST(Gdi, AnObjectDeselectedFirstOrNotOwnedIsNotReported) {
  for (const ObjectKind& kind : kKinds) {
    SCOPED_TRACE(kind.name);
    const long before = CGdiObject::GetFailedDeleteCount();
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    HGDIOBJ object = kind.make();
    {
      CGdiObject owner;
      owner.Attach(object);
      CSelectObject keep(dc, object);
    }
    EXPECT_EQ(GetObjectType(object), 0u);

    HGDIOBJ shared = kind.make();
    {
      CGdiObject borrower;
      borrower.Attach(shared, false);
      dc.SelectObject(shared);
    }
    EXPECT_NE(GetObjectType(shared), 0u);
    dc.DeleteDC();
    EXPECT_TRUE(DeleteObject(shared));
    EXPECT_EQ(CGdiObject::GetFailedDeleteCount(), before);
  }
}

TEST(Gdi, ADcThatCannotBeDeletedIsReported) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  ASSERT_TRUE(DeleteDC(dc.GetSafeHdc()));  // behind the wrapper's back
  ExpectOneReportedFailure([&] { return dc.DeleteDC(); });
#ifdef NDEBUG
  EXPECT_EQ(dc.GetSafeHdc(), nullptr);  // nothing could delete it later
#endif
  dc.Detach();  // in a debug build the handle is still there
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
