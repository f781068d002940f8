// The saver's desktop and wallpaper pictures: the wallpaper laid out at a
// canvas size (centred on the desktop colour, tiled, stretched), the
// wallpaper picture chosen from the desktop settings (read from a private
// copy of HKEY_CURRENT_USER), and the files written as 24-bit BMPs.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/SystemInfo.h"
#include "framework/Seams.h"
#include "imaging/ImageLib.h"
#include "imaging/RgbImage.h"
#include "runtime/DesktopPictures.h"
#include "tests/support/files.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"

namespace {

struct Picture {
  int width = 0, height = 0;
  std::vector<BYTE> rgb;
  COLORREF At(int x, int y) const {
    const BYTE* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return RGB(p[0], p[1], p[2]);
  }
};

Picture FromBlock(BYTE* block, int width, int height) {
  Picture p;
  if (!block) return p;
  p.width = width;
  p.height = height;
  p.rgb.assign(block, block + static_cast<size_t>(width) * height * 3);
  GlobalFree(block);
  return p;
}

// A picture whose every pixel tells where it lies.
Picture Pattern(int width, int height) {
  Picture p;
  p.width = width;
  p.height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      p.rgb.push_back(static_cast<BYTE>(x * 3));
      p.rgb.push_back(static_cast<BYTE>(y * 5));
      p.rgb.push_back(static_cast<BYTE>(100 + (x + y) % 100));
    }
  return p;
}

// The file's type as the image library guesses it, and its pixels.
Picture ReadPicture(const std::string& path, int* type) {
  *type = kImageUnknown;
  HPVSRC src = OpenFileSource(path.c_str());
  if (!src) return Picture();
  *type = GuessImageType(src);
  SeekSource(src, 0, 0);
  int w = 0, h = 0;
  BYTE* block = *type == kImageBmp ? ReadBmp(src, &w, &h, 24, nullptr) : nullptr;
  CloseSource(src);
  return FromBlock(block, w, h);
}

bool WriteBmpFile(const std::string& path, const Picture& p) {
  HPVDEST dest = OpenFileDest(path.c_str());
  if (!dest) return false;
  const DWORD n = WriteBmp(dest, p.rgb.data(), p.width, p.height, 24, 0, nullptr, FALSE);
  CloseDest(dest);
  return n != 0;
}

bool WriteJpegFile(const std::string& path, const Picture& p) {
  HPVDEST dest = OpenFileDest(path.c_str());
  if (!dest) return false;
  const DWORD n = WriteJpeg(dest, p.rgb.data(), p.width, p.height, 100, FALSE, 24, nullptr);
  CloseDest(dest);
  return n != 0;
}

std::string TempPath(const char* name) {
  return lwtest::TempPath("pictures" + std::to_string(GetCurrentProcessId()) + "-" + name);
}

COLORREF DesktopColour() { return GetSysColor(COLOR_BACKGROUND) & 0xFFFFFF; }

TEST(WallpaperStyle, SettingsStylesMapToLayouts) {
  const int kRows[][2] = {{kWallpaperCentred, kWallpaperCentre},
                          {kWallpaperTiled, kWallpaperTile},
                          {kWallpaperStretched, kWallpaperStretch},
                          {0, kWallpaperCentre},
                          {7, kWallpaperCentre}};
  for (const auto& r : kRows) {
    SCOPED_TRACE(r[0]);
    EXPECT_EQ(SaverWallpaperStyleOf(r[0]), r[1]);
  }
}

// A 64 by 64 tile on a 1024 by 768 screen: 17 columns of 13 tiles, the last
// ones cut by the screen's edge.
TEST(BuildWallpaperImage, TilesFromTheTopLeftCorner) {
  const Picture tile = Pattern(64, 64);
  const SIZE canvas = {1024, 768};
  Picture out = FromBlock(
      BuildWallpaperImageAt(tile.rgb.data(), 64, 64, kWallpaperTile, canvas), 1024, 768);
  ASSERT_EQ(out.rgb.size(), 1024u * 768 * 3);
  for (int y = 0; y < 768; y += 7)
    for (int x = 0; x < 1024; x += 11) {
      if (out.At(x, y) != tile.At(x % 64, y % 64)) {
        ADD_FAILURE() << "pixel " << x << "," << y;
        return;
      }
    }
  for (int x : {1023, 1024 - 64, 63, 64}) EXPECT_EQ(out.At(x, 767), tile.At(x % 64, 767 % 64)) << x;
}

TEST(BuildWallpaperImage, OnePixelTileFillsTheCanvas) {
  const BYTE red[3] = {200, 10, 20};
  const SIZE canvas = {300, 200};
  Picture out = FromBlock(BuildWallpaperImageAt(red, 1, 1, kWallpaperTile, canvas), 300, 200);
  ASSERT_FALSE(out.rgb.empty());
  for (int y = 0; y < 200; y += 9)
    for (int x = 0; x < 300; x += 13) ASSERT_EQ(out.At(x, y), RGB(200, 10, 20)) << x << "," << y;
  EXPECT_EQ(out.At(299, 199), RGB(200, 10, 20));
}

TEST(BuildWallpaperImage, CentresOnTheDesktopColour) {
  struct Row {
    const char* name;
    int width, height;
  };
  const Row kRows[] = {{"smaller", 100, 50}, {"wider than the canvas", 500, 40}, {"odd", 33, 77}};
  const SIZE canvas = {400, 300};
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    const Picture p = Pattern(r.width, r.height);
    Picture out = FromBlock(
        BuildWallpaperImageAt(p.rgb.data(), r.width, r.height, kWallpaperCentre, canvas), 400, 300);
    ASSERT_FALSE(out.rgb.empty());
    const int left = (400 - r.width) / 2, top = (300 - r.height) / 2;
    for (int y = 0; y < 300; y += 5)
      for (int x = 0; x < 400; x += 5) {
        const bool inside = x >= left && x < left + r.width && y >= top && y < top + r.height;
        const COLORREF want = inside ? p.At(x - left, y - top) : DesktopColour();
        if (out.At(x, y) != want) {
          ADD_FAILURE() << "pixel " << x << "," << y << " inside " << inside;
          return;
        }
      }
  }
}

TEST(BuildWallpaperImage, StretchesOverTheCanvas) {
  // Four colours, one per quarter.
  Picture p;
  p.width = p.height = 2;
  p.rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
  const SIZE canvas = {320, 240};
  Picture out =
      FromBlock(BuildWallpaperImageAt(p.rgb.data(), 2, 2, kWallpaperStretch, canvas), 320, 240);
  ASSERT_FALSE(out.rgb.empty());
  EXPECT_EQ(out.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(out.At(159, 119), RGB(255, 0, 0));
  EXPECT_EQ(out.At(160, 0), RGB(0, 255, 0));
  EXPECT_EQ(out.At(319, 119), RGB(0, 255, 0));
  EXPECT_EQ(out.At(0, 120), RGB(0, 0, 255));
  EXPECT_EQ(out.At(319, 239), RGB(255, 255, 0));
}

TEST(BuildWallpaperImage, NoPictureIsToldAndGivesNothing) {
  lwtest::CRecordedBoxes sink;
  EXPECT_EQ(BuildWallpaperImageAt(nullptr, 10, 10, kWallpaperTile, SIZE{100, 100}), nullptr);
  const BYTE one[3] = {1, 2, 3};
  EXPECT_EQ(BuildWallpaperImageAt(one, 0, 1, kWallpaperCentre, SIZE{100, 100}), nullptr);
  EXPECT_EQ(sink.texts, (std::vector<std::string>(
                            2, "Memory allocation problem during making of actual wallpaper image")));
}

TEST(DesktopPictures, TheDesktopIsWrittenAsA24BitBmpOfItsSize) {
  const std::string path = TempPath("desktop.bmp");
  ASSERT_TRUE(CaptureDesktopToFile(path.c_str()));
  int type = 0;
  const Picture p = ReadPicture(path, &type);
  EXPECT_EQ(type, kImageBmp);
  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);
  EXPECT_EQ(p.width, desktop.right - desktop.left);
  EXPECT_EQ(p.height, desktop.bottom - desktop.top);
  DeleteFileA(path.c_str());

  // A folder that does not exist: nothing written, and false.
  const std::string nowhere = TempPath("no such folder\\desktop.bmp");
  EXPECT_FALSE(CaptureDesktopToFile(nowhere.c_str()));
  EXPECT_EQ(GetFileAttributesA(nowhere.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(DesktopPictures, TheDesktopColourPictureHasTheScreensSize) {
  const std::string path = TempPath("colour.bmp");
  ASSERT_TRUE(SaveDesktopColourImage(path.c_str()));
  int type = 0;
  const Picture p = ReadPicture(path, &type);
  EXPECT_EQ(type, kImageBmp);
  const CSize screen = GetScreenSize();
  ASSERT_EQ(p.width, screen.cx);
  ASSERT_EQ(p.height, screen.cy);
  EXPECT_EQ(p.At(0, 0), DesktopColour());
  EXPECT_EQ(p.At(screen.cx - 1, screen.cy - 1), DesktopColour());
  DeleteFileA(path.c_str());
}

// This process's HKEY_CURRENT_USER is a private key while a test runs, so
// that the desktop settings written here reach no other program.
class WallpaperSettings : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(user_.Ok());
    out_ = TempPath("wallpaper.bmp");
  }
  void TearDown() override {
    for (const std::string& f : files_) DeleteFileA(f.c_str());
    DeleteFileA(out_.c_str());
  }
  void SetDesktop(const std::string& wallpaper, const char* style, const char* tile) {
    const lwtest::CRegKeyPath desktop(HKEY_CURRENT_USER, "Control Panel\\Desktop");
    ASSERT_TRUE(desktop.SetText("Wallpaper", wallpaper));
    if (style) desktop.SetText("WallpaperStyle", style);
    if (tile) desktop.SetText("TileWallpaper", tile);
  }
  std::string File(const char* name) {
    files_.push_back(TempPath(name));
    return files_.back();
  }

  lwtest::CPrivateRegRoot user_{HKEY_CURRENT_USER};
  std::string out_;
  std::vector<std::string> files_;
};

TEST_F(WallpaperSettings, TheWallpaperIsLaidOutAsTheDesktopShowsIt) {
  const Picture tile = Pattern(48, 40);
  const std::string bmp = File("wall.bmp"), jpg = File("wall.jpg");
  ASSERT_TRUE(WriteBmpFile(bmp, tile));
  ASSERT_TRUE(WriteJpegFile(jpg, tile));
  const CSize screen = GetScreenSize();
  struct Row {
    const char* name;
    std::string wallpaper;
    const char* style;
    const char* tile;
    int expected;
  };
  const Row kRows[] = {
      {"BMP centred", bmp, "0", "0", kWallpaperCentre},
      {"BMP tiled", bmp, "0", "1", kWallpaperTile},
      {"JPEG stretched", jpg, "2", "0", kWallpaperStretch},
      {"tiling wins over stretching", bmp, "2", "1", kWallpaperTile},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    SetDesktop(r.wallpaper, r.style, r.tile);
    int style = -1;
    ASSERT_TRUE(SaveActiveDesktopImage(out_.c_str(), &style));
    EXPECT_EQ(style, r.expected);
    int type = 0;
    const Picture p = ReadPicture(out_, &type);
    EXPECT_EQ(type, kImageBmp);
    ASSERT_EQ(p.width, screen.cx);
    ASSERT_EQ(p.height, screen.cy);
    if (r.expected == kWallpaperTile) {
      EXPECT_EQ(p.At(0, 0), tile.At(0, 0));
      EXPECT_EQ(p.At(48 + 5, 40 + 7), tile.At(5, 7));
      EXPECT_EQ(p.At(screen.cx - 1, screen.cy - 1),
                tile.At((screen.cx - 1) % 48, (screen.cy - 1) % 40));
    } else if (r.expected == kWallpaperCentre) {
      EXPECT_EQ(p.At(0, 0), DesktopColour());
      const int left = (screen.cx - 48) / 2, top = (screen.cy - 40) / 2;
      EXPECT_EQ(p.At(left + 3, top + 2), tile.At(3, 2));
    } else {
      // A JPEG copy of the pattern: close to its corner colours, and
      // nowhere the desktop colour.
      const COLORREF c = p.At(screen.cx - 1, 0);
      EXPECT_NEAR(GetRValue(c), GetRValue(tile.At(47, 0)), 12);
      EXPECT_NEAR(GetGValue(c), GetGValue(tile.At(47, 0)), 12);
    }
  }
}

TEST_F(WallpaperSettings, WithoutAReadablePictureTheDesktopColourIsWritten) {
  const std::string png = File("wall.png");
  const BYTE pngHead[] = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                          0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                          0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(lwtest::WriteAll(png, lwtest::Bytes(pngHead, pngHead + sizeof pngHead)));
  const std::string page = File("wall.htm");
  ASSERT_TRUE(WriteBmpFile(page, Pattern(8, 8)));  // a picture, but named as a page
  const std::string damaged = File("damaged.bmp");
  const char kDamaged[] = "BM\x10\x00\x00\x00garbage garbage garbage garbage garbage";
  ASSERT_TRUE(lwtest::WriteAll(damaged, lwtest::Bytes(kDamaged, kDamaged + 44)));
  const struct {
    const char* name;
    std::string wallpaper;
  } kRows[] = {{"none", ""},
               {"missing file", TempPath("missing.bmp")},
               {"PNG", png},
               {"page", page},
               {"damaged BMP", damaged}};
  const CSize screen = GetScreenSize();
  lwtest::CRecordedBoxes sink;
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.name);
    SetDesktop(r.wallpaper, "0", "1");
    DeleteFileA(out_.c_str());
    int style = -1;
    ASSERT_TRUE(SaveActiveDesktopImage(out_.c_str(), &style));
    int type = 0;
    const Picture p = ReadPicture(out_, &type);
    EXPECT_EQ(type, kImageBmp);
    ASSERT_EQ(p.width, screen.cx);
    ASSERT_EQ(p.height, screen.cy);
    EXPECT_EQ(p.At(0, 0), DesktopColour());
    EXPECT_EQ(p.At(screen.cx / 2, screen.cy / 2), DesktopColour());
  }
  EXPECT_TRUE(sink.texts.empty()) << sink.texts.front();
}

}  // namespace
