// The saver never waits on a box that nobody can see: its window is
// topmost and it waits for its scene thread, so what the script and the
// picture layer report while the saver runs goes to the debug output, on
// every thread.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Gdi.h"
#include "imaging/RgbImage.h"
#include "runtime/SaverApp.h"
#include "script/Objects.h"
#include "tests/support/recorders.h"
#include "tests/playback/picture_bytes.h"

namespace {

const char kConversionFailed[] = "Image conversion failed, skipping this image";
const char kUnsupported[] = "This image format is not supported or image data is corrupted";

// The script's report of a picture it cannot convert, then the picture
// layer's of bytes that are no picture.
void ReportBoth() {
  CImageTextObject picture;
  picturetest::SetPictureBytes(picture,
                               picturetest::MakeBmp(4, 4, [](int, int) { return RGB(1, 2, 3); }));
  picture.m_width = picture.m_height = 0x7FFFFFFF;
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  picture.Draw(&dc, nullptr);
  const BYTE junk[16] = {};
  SIZE size;
  LoadImageRgb(nullptr, &size, junk, sizeof junk);
}

TEST(SaverMessages, ScriptAndPictureMessagesGoToTheDebugOutputOnEveryThread) {
  lwtest::CRecordedBoxes boxes;
  lwtest::CRecordedTrace trace;
  CSaverApp app;
  ReportBoth();
  HANDLE other = CreateThread(
      nullptr, 0,
      [](void*) -> DWORD {
        ReportBoth();
        return 0;
      },
      nullptr, 0, nullptr);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(WaitForSingleObject(other, 10000), WAIT_OBJECT_0);
  CloseHandle(other);
  EXPECT_TRUE(boxes.texts.empty()) << boxes.texts.front();
  EXPECT_EQ(trace.CountContaining(kConversionFailed), 2);
  EXPECT_EQ(trace.CountContaining(kUnsupported), 2);
}

}  // namespace
