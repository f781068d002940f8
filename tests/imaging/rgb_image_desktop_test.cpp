// The desktop photographed into a JPEG file, read back at the desktop
// window's size. It reads the shared screen, so it runs alone.
#include <windows.h>

#include <gtest/gtest.h>

#include "imaging/RgbImage.h"
#include "tests/imaging/image_bytes.h"
#include "tests/support/files.h"

namespace {

TEST(CaptureDesktopToJpeg, WritesAJpegOfTheDesktopsSize) {
  std::string out = imgtest::TempPath("desktop capture.jpg");
  DeleteFileA(out.c_str());
  ASSERT_TRUE(CaptureDesktopToJpeg(out.c_str()));
  RECT desktop;
  ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &desktop));
  imgtest::Decoded decoded = imgtest::Decode(lwtest::ReadAll(out), imgtest::Reader::Jpeg, 24);
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(decoded.width, desktop.right - desktop.left);
  EXPECT_EQ(decoded.height, desktop.bottom - desktop.top);
  DeleteFileA(out.c_str());

  // A file that cannot be made is reported.
  EXPECT_FALSE(CaptureDesktopToJpeg(imgtest::TempPath("no such folder\\desktop.jpg").c_str()));
}

}  // namespace
