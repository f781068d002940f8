// Image lists: masked pictures in, drawn out; the drag image over a window
// as the mouse moves; and a list through an archive with what comes
// before and after it, as one window saves its drag image to a file and
// another reads it back.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Archive.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/ImageList.h"
#include "tests/support/files.h"
#include "tests/support/image_strip.h"
#include "tests/support/pump.h"
#include "tests/support/screen.h"

namespace {

const COLORREF kColours[] = {RGB(200, 30, 30), RGB(30, 160, 30), RGB(30, 30, 200)};
const int kCount = 3;
const COLORREF kMask = RGB(255, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);

void MakeList(CImageList& list) {
  ASSERT_TRUE(list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 4));
  HBITMAP strip =
      lwtest::MakeImageStrip(std::vector<COLORREF>(kColours, kColours + kCount), 16, kMask);
  EXPECT_EQ(list.Add(strip, kMask), 0);
  DeleteObject(strip);
}

// The image drawn on white: its colour outside the centre, white inside.
void ExpectDrawn(const CImageList& list, int image) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 16, 16);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, target);
  RECT all = {0, 0, 16, 16};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_TRUE(list.Draw(dc, image, CPoint(0, 0), ILD_TRANSPARENT));
  EXPECT_EQ(GetPixel(dc, 2, 2), kColours[image]);
  EXPECT_EQ(GetPixel(dc, 15, 15), kColours[image]);
  EXPECT_EQ(GetPixel(dc, 8, 8), kWhite) << "the mask colour is transparent";
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
}

TEST(ImageList, TakesMaskedPicturesFromABitmapAndDrawsThemTransparent) {
  CImageList list;
  MakeList(list);
  EXPECT_EQ(list.GetImageCount(), kCount);
  EXPECT_EQ(list.GetImageSize(), CSize(16, 16));
  for (int i = 0; i < kCount; ++i) {
    SCOPED_TRACE(i);
    ExpectDrawn(list, i);
  }
  EXPECT_TRUE(list.Remove(0));
  EXPECT_EQ(list.GetImageCount(), kCount - 1);

  // Detached, the list is the caller's; attached, the object's again.
  HIMAGELIST handle = list.Detach();
  EXPECT_EQ(list.GetSafeHandle(), nullptr);
  EXPECT_EQ(list.GetImageCount(), 0);
  EXPECT_FALSE(list.Attach(nullptr));
  EXPECT_TRUE(list.Attach(handle));
  EXPECT_EQ(list.GetImageCount(), kCount - 1);
}

// Written into an archive between other values, the list reads back whole
// and the values after it are where they were.
TEST(ImageList, TravelsThroughAnArchiveWithWhatFollowsIt) {
  const std::string path =
      lwtest::TempPath("lw_image_list_" + std::to_string(GetCurrentProcessId()));
  CImageList list;
  MakeList(list);
  {
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    ar << int32_t(7);
    ASSERT_TRUE(list.Write(ar));
    ar << int32_t(17) << int32_t(9);
    ar.Close();
  }
  CImageList back;
  int32_t before = 0, hotX = 0, hotY = 0;
  {
    CFile file(path.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    ar >> before;
    ASSERT_TRUE(back.Read(ar));
    ar >> hotX >> hotY;
  }
  EXPECT_EQ(before, 7);
  EXPECT_EQ(hotX, 17);
  EXPECT_EQ(hotY, 9);
  EXPECT_EQ(back.GetImageCount(), kCount);
  EXPECT_EQ(back.GetImageSize(), CSize(16, 16));
  for (int i = 0; i < kCount; ++i) {
    SCOPED_TRACE(i);
    ExpectDrawn(back, i);
  }

  // Cut short or not a list at all: no list, and no exception.
  const lwtest::Bytes whole = lwtest::ReadAll(path);
  ASSERT_GT(whole.size(), 100u);
  const struct {
    const char* name;
    lwtest::Bytes bytes;
  } kDamaged[] = {
      {"cut in the header", lwtest::Bytes(whole.begin(), whole.begin() + 10)},
      {"cut in the pictures", lwtest::Bytes(whole.begin(), whole.begin() + whole.size() / 2)},
      {"not a list", lwtest::Bytes(200, 0x5A)},
  };
  for (const auto& damaged : kDamaged) {
    SCOPED_TRACE(damaged.name);
    ASSERT_TRUE(lwtest::WriteAll(path, damaged.bytes));
    CImageList none;
    MakeList(none);
    CFile file(path.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    int32_t skipped = 0;
    if (damaged.bytes.size() >= 4) ar >> skipped;
    EXPECT_FALSE(none.Read(ar));
    EXPECT_EQ(none.GetSafeHandle(), nullptr);
  }
  DeleteFileA(path.c_str());
}

// A drag image is drawn blended with what is under it: on white, the green
// picture is a lighter green.
bool Greenish(COLORREF c) {
  return GetGValue(c) > GetRValue(c) + 40 && GetGValue(c) > GetBValue(c) + 40;
}
bool White(COLORREF c) { return c == kWhite; }

// The drag image shows over the lock window where the mouse is, minus the
// hot spot, moves with it and leaves nothing behind.
TEST(ImageList, TheDragImageFollowsTheMouseOverTheLockWindow) {
  lwtest::CHostWindow host(300, 300, 200, 160, kWhite);
  lwtest::FlushEvents(100);
  CImageList list;
  MakeList(list);
  CRect window;
  GetWindowRect(host.Hwnd(), &window);
  // The screen catches up with a drawing shortly.
  const auto Shows = [&](CPoint pt, bool (*test)(COLORREF)) {
    return lwtest::PumpUntil(
        [&] { return test(lwtest::ScreenPixel(window.left + pt.x, window.top + pt.y)); }, 2000);
  };

  ASSERT_TRUE(list.BeginDrag(1, CPoint(4, 4)));
  ASSERT_TRUE(CImageList::DragEnter(host.Hwnd(), CPoint(50, 40)));
  EXPECT_TRUE(Shows(CPoint(50 - 4 + 1, 40 - 4 + 1), Greenish));
  EXPECT_TRUE(Shows(CPoint(50 - 4 + 8, 40 - 4 + 8), White)) << "the mask colour is transparent";
  ASSERT_TRUE(CImageList::DragMove(CPoint(120, 100)));
  EXPECT_TRUE(Shows(CPoint(120 - 4 + 1, 100 - 4 + 1), Greenish));
  EXPECT_TRUE(Shows(CPoint(50 - 4 + 1, 40 - 4 + 1), White)) << "nothing left where it was";
  POINT where = {}, hot = {};
  HIMAGELIST dragged = ImageList_GetDragImage(&where, &hot);
  EXPECT_NE(dragged, nullptr);
  EXPECT_EQ(CPoint(where), CPoint(120, 100));
  EXPECT_EQ(CPoint(hot), CPoint(4, 4));

  // Another picture joins it as the cursor's part.
  EXPECT_TRUE(list.SetDragCursorImage(2, CPoint(0, 0)));
  ASSERT_TRUE(CImageList::DragLeave(host.Hwnd()));
  EXPECT_TRUE(Shows(CPoint(120 - 4 + 1, 100 - 4 + 1), White));
  CImageList::EndDrag();
  EXPECT_EQ(ImageList_GetDragImage(nullptr, nullptr), nullptr);
}

}  // namespace
