// The picture layer under Wine: loading every format from memory and from
// files, the RGB image's scaling, bitmaps, keyed drawing and composing
// (checked on the pixels of memory DCs), text rendering, the size fitting
// rule, the library's silenceable messages, the wallpaper settings read
// from the registry and the wallpaper copied as a JPEG.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/RgbImage.h"
#include "imaging/TextExtent.h"
#include "tests/imaging/image_bytes.h"
#include "tests/support/files.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"

using namespace imgtest;

namespace {

const char kUnsupported[] = "This image format is not supported or image data is corrupted";

// A 24-bit BMP whose pixel (x, y) is colour(x, y) as red, green, blue.
template <typename Colour>
Bytes MakeBmp24(int width, int height, Colour colour) {
  BmpSpec spec;
  spec.width = width;
  spec.height = height;
  const int rowSize = (width * 3 + 3) / 4 * 4;
  spec.pixels.assign(static_cast<size_t>(rowSize) * height, 0);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = &spec.pixels[static_cast<size_t>(height - 1 - y) * rowSize];
    for (int x = 0; x < width; ++x) {
      COLORREF c = colour(x, y);
      row[3 * x] = GetBValue(c);
      row[3 * x + 1] = GetGValue(c);
      row[3 * x + 2] = GetRValue(c);
    }
  }
  return MakeBmp(spec);
}

Bytes Gradient(int width, int height) {
  return MakeBmp24(width, height, [](int x, int y) { return RGB(x * 40, y * 40, 100); });
}

COLORREF PixelAt(const BYTE* rgb, int width, int x, int y) {
  const BYTE* p = rgb + (static_cast<size_t>(y) * width + x) * 3;
  return RGB(p[0], p[1], p[2]);
}

// A bitmap's pixels as COLORREFs, rows top-down, read after it has left
// every DC.
std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int* width, int* height) {
  BITMAP bm = {};
  GetObjectA(bitmap, sizeof bm, &bm);
  *width = bm.bmWidth;
  *height = bm.bmHeight;
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = bm.bmWidth;
  bmi.bmiHeader.biHeight = -bm.bmHeight;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> raw(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, bm.bmHeight, raw.data(), &bmi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  std::vector<COLORREF> out(raw.size());
  for (size_t i = 0; i < raw.size(); ++i)
    out[i] = RGB((raw[i] >> 16) & 0xFF, (raw[i] >> 8) & 0xFF, raw[i] & 0xFF);
  return out;
}

// A memory DC over a screen-compatible bitmap filled with one colour.
struct Canvas {
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
  Canvas(int width, int height, COLORREF fill) {
    HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    old = SelectObject(dc, bitmap);
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
};

LOGFONTA TestFont(int height) {
  LOGFONTA lf = {};
  lf.lfHeight = height;
  lf.lfWeight = FW_BOLD;
  lstrcpyA(lf.lfFaceName, "Arial");
  return lf;
}

// The extent GetMultiLineTextExtent gives the text in the font.
RECT MeasureText(const LOGFONTA& lf, const char* text) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r = {};
  GetMultiLineTextExtent(dc, text, &r);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  return r;
}

std::string WriteTemp(const char* name, const Bytes& bytes) {
  std::string path = TempPath(name);
  lwtest::WriteAll(path, bytes);
  return path;
}

// ---- loading -----------------------------------------------------------------

struct FormatCase {
  const char* name;
  const char* file;
  Reader reader;
  Bytes bytes;
};

std::vector<FormatCase> FormatCases() {
  Bytes png;
  for (int y = 0; y < 3; ++y) {
    png.push_back(0);
    for (int x = 0; x < 5; ++x) png.insert(png.end(), {uint8_t(x * 50), uint8_t(y * 80), 7});
  }
  PcxSpec pcx;
  pcx.width = 2;
  pcx.height = 2;
  pcx.planes = 3;
  pcx.bytesPerLine = 2;
  pcx.data = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
  TgaSpec tga;
  tga.width = 4;
  tga.height = 4;
  for (int i = 0; i < 16; ++i) tga.pixels.insert(tga.pixels.end(), {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i)});
  return {
      {"BMP", "load.bmp", Reader::Bmp, Gradient(5, 4)},
      {"JPEG", "load.jpg", Reader::Jpeg,
       lwtest::ReadAll(std::string(LW_SOURCE_DIR) + "/tests/imaging/seeds/baseline.jpg")},
      {"PNG", "load.png", Reader::Png, MakePng(5, 3, 2, 8, png)},
      {"PCX", "load.pcx", Reader::Pcx, MakePcx(pcx)},
      {"TGA", "load.tga", Reader::Tga, MakeTga(tga)},
  };
}

TEST(LoadImageRgb, EveryFormatFromMemoryAndFromAFile) {
  for (const FormatCase& c : FormatCases()) {
    SCOPED_TRACE(c.name);
    ASSERT_GE(c.bytes.size(), 44u);
    Decoded direct = Decode(c.bytes, c.reader, 24);
    ASSERT_TRUE(direct.ok);
    const size_t bytes = static_cast<size_t>(direct.width) * direct.height * 3;

    SIZE size = {-1, -1};
    BYTE* fromMemory = LoadImageRgb(nullptr, &size, c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
    ASSERT_NE(fromMemory, nullptr);
    EXPECT_EQ(size.cx, direct.width);
    EXPECT_EQ(size.cy, direct.height);
    EXPECT_EQ(Bytes(fromMemory, fromMemory + bytes), direct.pixels);
    GlobalFree(fromMemory);

    std::string path = WriteTemp(c.file, c.bytes);
    size = {-1, -1};
    BYTE* fromFile = LoadImageRgb(path.c_str(), &size, nullptr, 0);
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(size.cx, direct.width);
    EXPECT_EQ(size.cy, direct.height);
    EXPECT_EQ(Bytes(fromFile, fromFile + bytes), direct.pixels);
    GlobalFree(fromFile);
    DeleteFileA(path.c_str());
  }
}

TEST(LoadImageRgb, AMissingFileFailsWithoutAMessage) {
  lwtest::CRecordedBoxes boxes;
  SIZE size = {5, 5};
  EXPECT_EQ(LoadImageRgb(TempPath("no such picture.bmp").c_str(), &size, nullptr, 0), nullptr);
  EXPECT_EQ(GetImageError(), kImgFileOpen);
  EXPECT_EQ(size.cx, 0);
  EXPECT_TRUE(boxes.texts.empty());
}

Bytes NotAPicture() {
  std::string text = "Just some words, certainly not a picture of any known kind at all.";
  return Bytes(text.begin(), text.end());
}

TEST(LoadImageRgb, AnUnknownPictureIsRefusedWithTheMessage) {
  lwtest::CRecordedBoxes boxes;
  Bytes junk = NotAPicture();
  SIZE size;
  EXPECT_EQ(LoadImageRgb(nullptr, &size, junk.data(), static_cast<DWORD>(junk.size())), nullptr);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], kUnsupported);
  EXPECT_EQ(boxes.types[0], static_cast<UINT>(MB_OK));

  std::string path = WriteTemp("junk.bmp", junk);
  EXPECT_EQ(LoadImageRgb(path.c_str(), &size, nullptr, 0), nullptr);
  EXPECT_EQ(boxes.texts.size(), 2u);
  DeleteFileA(path.c_str());
}

struct ThreadLoad {
  const Bytes* bytes;
  BYTE* result;
};

DWORD WINAPI LoadOnThread(void* param) {
  ThreadLoad* load = static_cast<ThreadLoad*>(param);
  SIZE size;
  load->result = LoadImageRgb(nullptr, &size, load->bytes->data(), static_cast<DWORD>(load->bytes->size()));
  return 0;
}

TEST(LoadImageRgb, QuietMessagesHoldForTheSilencedThreadOnly) {
  lwtest::CRecordedBoxes boxes;
  lwtest::CRecordedTrace trace;
  Bytes junk = NotAPicture();
  SIZE size;
  EXPECT_FALSE(SetThreadMessagesQuiet(true));
  EXPECT_EQ(LoadImageRgb(nullptr, &size, junk.data(), static_cast<DWORD>(junk.size())), nullptr);
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(trace.Lines(), std::vector<std::string>{kUnsupported}) << "told to the debug output";

  ThreadLoad load = {&junk, reinterpret_cast<BYTE*>(1)};
  HANDLE thread = CreateThread(nullptr, 0, LoadOnThread, &load, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(load.result, nullptr);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], kUnsupported);

  EXPECT_TRUE(SetThreadMessagesQuiet(false));
  EXPECT_EQ(LoadImageRgb(nullptr, &size, junk.data(), static_cast<DWORD>(junk.size())), nullptr);
  EXPECT_EQ(boxes.texts.size(), 2u);
}

// A TGA is known by its header, from memory and from a file of any name; a
// file that only starts with two zeros is a wireless bitmap, which is not
// supported.
TEST(LoadImageRgb, ATgaLoadsFromMemoryAndFromAFileOfAnyName) {
  TgaSpec spec;
  spec.width = 4;
  spec.height = 4;
  for (int i = 0; i < 16; ++i) spec.pixels.insert(spec.pixels.end(), {uint8_t(200), uint8_t(i), uint8_t(9)});
  Bytes tga = MakeTga(spec);
  ASSERT_EQ(tga[0], 0);
  ASSERT_EQ(tga[1], 0);

  SIZE size = {};
  BYTE* pixels = LoadImageRgb(nullptr, &size, tga.data(), static_cast<DWORD>(tga.size()));
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(size.cx, 4);
  EXPECT_EQ(size.cy, 4);
  EXPECT_EQ(PixelAt(pixels, 4, 3, 0), RGB(9, 3, 200));
  GlobalFree(pixels);

  // Colour-mapped, with an ID field: its first two bytes are not zero.
  TgaSpec mappedSpec;
  mappedSpec.type = 1;
  mappedSpec.width = 4;
  mappedSpec.height = 4;
  mappedSpec.depth = 8;
  mappedSpec.id = {'i', 'd', 'e', 'n', 't'};
  mappedSpec.mapLength = 2;
  mappedSpec.map = {1, 2, 3, 4, 5, 6};
  mappedSpec.pixels.assign(16, 1);
  const Bytes mapped = MakeTga(mappedSpec);
  {
    lwtest::CRecordedBoxes boxes;
    pixels = LoadImageRgb(nullptr, &size, mapped.data(), static_cast<DWORD>(mapped.size()));
    EXPECT_TRUE(boxes.texts.empty());
  }
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(size.cx, 4);
  EXPECT_EQ(PixelAt(pixels, 4, 2, 1), RGB(6, 5, 4));
  GlobalFree(pixels);

  const Bytes zeros(64, 0);
  struct {
    const char* name;
    const Bytes& bytes;
    bool loads;
  } rows[] = {{"picture.tga", tga, true},   {"PICTURE.TGA", tga, true}, {"picture.img", tga, true},
              {"picture", tga, true},       {"mapped.tga", mapped, true}, {"mapped", mapped, true},
              {"zeros.img", zeros, false}, {"zeros", zeros, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    lwtest::CRecordedBoxes boxes;
    std::string path = WriteTemp(row.name, row.bytes);
    pixels = LoadImageRgb(path.c_str(), &size, nullptr, 0);
    EXPECT_EQ(pixels != nullptr, row.loads);
    EXPECT_EQ(boxes.texts.size(), row.loads ? 0u : 1u);
    if (pixels) GlobalFree(pixels);
    DeleteFileA(path.c_str());
  }
}

// ---- the RGB image -------------------------------------------------------------

TEST(RgbImage, ScaleWithoutAPictureFails) {
  CRgbImage image;
  EXPECT_FALSE(image.Scale(10, 10));
  EXPECT_EQ(image.GetScaledPixels(), nullptr);
  EXPECT_EQ(image.GetScaledSize().cx, 0);
  EXPECT_EQ(image.GetScaledSize().cy, 0);
}

TEST(RgbImage, ScalingTwiceKeepsTheSecondSize) {
  CRgbImage image;
  Bytes bmp = Gradient(6, 4);
  ASSERT_TRUE(image.LoadMemory(bmp.data(), static_cast<DWORD>(bmp.size())));
  EXPECT_EQ(image.GetSize().cx, 6);
  EXPECT_EQ(image.GetSize().cy, 4);
  ASSERT_TRUE(image.Scale(12, 8));
  ASSERT_TRUE(image.Scale(3, 2));
  EXPECT_EQ(image.GetScaledSize().cx, 3);
  EXPECT_EQ(image.GetScaledSize().cy, 2);
  // Sample positions sit at the pixels' top-left corners: (1, 1) of the
  // copy is (2, 2) of the picture.
  EXPECT_EQ(PixelAt(image.GetScaledPixels(), 3, 1, 1), RGB(80, 80, 100));
  // The source is untouched.
  EXPECT_EQ(PixelAt(image.GetSourcePixels(), 6, 5, 3), RGB(200, 120, 100));
}

TEST(RgbImage, AbsurdScaleSizesAreRefused) {
  CRgbImage image;
  Bytes bmp = Gradient(2, 2);
  ASSERT_TRUE(image.LoadMemory(bmp.data(), static_cast<DWORD>(bmp.size())));
  struct {
    int width, height;
  } rows[] = {{0, 5}, {5, 0}, {-3, 4}, {100000, 100000}, {0x7FFFFFFF, 2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.width << " x " << row.height);
    EXPECT_FALSE(image.Scale(row.width, row.height));
    EXPECT_EQ(image.GetScaledPixels(), nullptr);
  }
  EXPECT_TRUE(image.HasImage());
}

TEST(RgbImage, AFailedLoadPathKeepsTheOldPicture) {
  lwtest::CRecordedBoxes boxes;
  CRgbImage image;
  Bytes bmp = Gradient(5, 3);
  std::string path = WriteTemp("keep.bmp", bmp);
  ASSERT_TRUE(image.LoadPath(path.c_str()));
  Bytes before(image.GetSourcePixels(), image.GetSourcePixels() + 5 * 3 * 3);

  EXPECT_FALSE(image.LoadPath(TempPath("missing picture.bmp").c_str()));
  std::string junk = WriteTemp("junk.pcx", NotAPicture());
  EXPECT_FALSE(image.LoadPath(junk.c_str()));
  ASSERT_TRUE(image.HasImage());
  EXPECT_EQ(image.GetSize().cx, 5);
  EXPECT_EQ(image.GetSize().cy, 3);
  EXPECT_EQ(Bytes(image.GetSourcePixels(), image.GetSourcePixels() + before.size()), before);

  // A failed load from memory leaves no picture.
  Bytes junkBytes = NotAPicture();
  EXPECT_FALSE(image.LoadMemory(junkBytes.data(), static_cast<DWORD>(junkBytes.size())));
  EXPECT_FALSE(image.HasImage());
  EXPECT_EQ(image.GetSize().cx, 0);
  DeleteFileA(path.c_str());
  DeleteFileA(junk.c_str());
}

// The source is the block the library read the picture into, and it goes
// back to the library when dropped: the next read of that size reuses it.
TEST(RgbImage, TheSourceBlockGoesBackToTheLibrary) {
  Bytes bmp = MakeBmp24(512, 256, [](int x, int y) { return RGB(x, y, 9); });
  CRgbImage image;
  ASSERT_TRUE(image.LoadMemory(bmp.data(), static_cast<DWORD>(bmp.size())));
  const BYTE* source = image.GetSourcePixels();
  EXPECT_EQ(PixelAt(source, 512, 300, 200), RGB(300 & 255, 200, 9));
  image.FreeBuffers();
  SIZE size;
  BYTE* again = LoadImageRgb(nullptr, &size, bmp.data(), static_cast<DWORD>(bmp.size()));
  EXPECT_EQ(again, source);
  FreeImageBlock(again);
}

TEST(RgbImage, BitmapsOfTheSourceAndTheScaledCopy) {
  CRgbImage image;
  Bytes bmp = Gradient(6, 4);
  HDC screen = GetDC(nullptr);

  SIZE size = {};
  EXPECT_TRUE(image.GetMemoryImageSize(bmp.data(), static_cast<DWORD>(bmp.size()), &size));
  EXPECT_EQ(size.cx, 6);
  EXPECT_EQ(size.cy, 4);
  EXPECT_FALSE(image.HasImage());

  size = {};
  HBITMAP plain = image.LoadBitmap(screen, bmp.data(), static_cast<DWORD>(bmp.size()), &size, 0, 0);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(size.cx, 6);
  EXPECT_FALSE(image.HasImage());
  int w = 0, h = 0;
  std::vector<COLORREF> pixels = BitmapPixels(plain, &w, &h);
  EXPECT_EQ(w, 6);
  EXPECT_EQ(h, 4);
  EXPECT_EQ(pixels[3 * 6 + 5], RGB(200, 120, 100));
  DeleteObject(plain);

  size = {};
  HBITMAP scaled = image.LoadBitmap(screen, bmp.data(), static_cast<DWORD>(bmp.size()), &size, 3, 2);
  ASSERT_NE(scaled, nullptr);
  EXPECT_EQ(size.cx, 6);
  EXPECT_EQ(size.cy, 4);
  pixels = BitmapPixels(scaled, &w, &h);
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(pixels[1 * 3 + 1], RGB(80, 80, 100));
  DeleteObject(scaled);

  ASSERT_TRUE(image.LoadMemory(bmp.data(), static_cast<DWORD>(bmp.size())));
  HBITMAP made = image.MakeBitmap(screen, &size, 2, 2);
  ASSERT_NE(made, nullptr);
  pixels = BitmapPixels(made, &w, &h);
  EXPECT_EQ(w, 2);
  EXPECT_EQ(h, 2);
  EXPECT_FALSE(image.HasImage());
  DeleteObject(made);
  EXPECT_EQ(image.MakeBitmap(screen, &size, 0, 0), nullptr);
  ReleaseDC(nullptr, screen);
}

TEST(RgbImage, DrawScaledDrawsTheScaledPictureAtTheOrigin) {
  Bytes bmp = MakeBmp24(4, 4, [](int x, int) { return x < 2 ? RGB(250, 0, 0) : RGB(0, 0, 250); });
  std::string path = WriteTemp("scaled.bmp", bmp);
  Canvas canvas(20, 20, RGB(0, 255, 0));
  CRgbImage image;
  SIZE size = {};
  ASSERT_TRUE(image.DrawScaled(canvas.dc, path.c_str(), 8, 8, &size));
  EXPECT_EQ(size.cx, 4);
  EXPECT_FALSE(image.HasImage());
  EXPECT_EQ(GetPixel(canvas.dc, 0, 7), RGB(250, 0, 0));
  EXPECT_EQ(GetPixel(canvas.dc, 7, 0), RGB(0, 0, 250));
  EXPECT_EQ(GetPixel(canvas.dc, 8, 0), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(canvas.dc, 0, 8), RGB(0, 255, 0));
  DeleteFileA(path.c_str());
}

TEST(FitSizeKeepAspect, FitsInsideTheBoundAndNeverEnlarges) {
  struct {
    int width, height;
    SIZE bound;
    SIZE expected;
  } rows[] = {
      {400, 300, {160, 120}, {160, 120}}, {100, 50, {160, 120}, {100, 50}},
      {300, 400, {160, 120}, {90, 120}},  {800, 600, {160, 120}, {160, 120}},
      {400, 100, {160, 120}, {160, 40}},  {300, 200, {0, 0}, {300, 200}},
      {300, 200, {0, 120}, {300, 200}},   {300, 200, {160, 0}, {300, 200}},
      {0, 200, {160, 120}, {0, 200}},     {300, 0, {160, 120}, {300, 0}},
      {0, 0, {0, 0}, {0, 0}},             {100000, 1, {160, 120}, {160, 1}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.width << " x " << row.height << " into " << row.bound.cx
                                    << " x " << row.bound.cy);
    SIZE fitted = FitSizeKeepAspect(row.width, row.height, row.bound);
    EXPECT_EQ(fitted.cx, row.expected.cx);
    EXPECT_EQ(fitted.cy, row.expected.cy);
  }
}

// ---- text ------------------------------------------------------------------------

const char kTwoLines[] = "Lumenweave\r\nsaver";

TEST(RgbImage, ATextRendersTwoPercentWiderThanItMeasures) {
  LOGFONTA lf = TestFont(-24);
  CTextLook look;
  look.font = &lf;
  look.text = kTwoLines;
  CRgbImage image;
  ASSERT_TRUE(image.RenderText(look));
  // Smoothing is switched off for good in the object's font.
  EXPECT_EQ(lf.lfQuality & 3, 3);
  RECT measured = MeasureText(lf, kTwoLines);
  ASSERT_GT(measured.right, 0);
  EXPECT_EQ(image.GetSize().cx, static_cast<LONG>(measured.right * 1.02));
  EXPECT_EQ(image.GetSize().cy, measured.bottom);

  // A text given to the call replaces the object's own.
  ASSERT_TRUE(image.RenderText(look, "W"));
  EXPECT_EQ(image.GetSize().cx, static_cast<LONG>(MeasureText(lf, "W").right * 1.02));
  EXPECT_EQ(look.text, kTwoLines);

  look.text = "";
  EXPECT_FALSE(image.RenderText(look));
}

// Counts the source's pixels of one colour.
int CountPixels(const CRgbImage& image, COLORREF colour) {
  int count = 0;
  const SIZE size = image.GetSize();
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x) count += PixelAt(image.GetSourcePixels(), size.cx, x, y) == colour;
  return count;
}

TEST(RgbImage, ATransparentTextRendersOnTheKeyColour) {
  LOGFONTA lf = TestFont(-30);
  CTextLook look;
  look.font = &lf;
  look.text = kTwoLines;
  look.textColour = RGB(200, 0, 0);
  look.bkColour = RGB(10, 200, 30);  // not used while transparent
  CRgbImage image;
  ASSERT_TRUE(image.RenderText(look));
  const SIZE size = image.GetSize();
  for (int y = 0; y < size.cy; ++y) {
    SCOPED_TRACE(y);
    EXPECT_EQ(PixelAt(image.GetSourcePixels(), size.cx, size.cx - 1, y), kImageKeyColour);
  }
  const int key = CountPixels(image, kImageKeyColour);
  const int ink = CountPixels(image, RGB(200, 0, 0));
  EXPECT_GT(ink, 0);
  // Unsmoothed: every pixel is either background or ink.
  EXPECT_EQ(key + ink, size.cx * size.cy);
}

TEST(RgbImage, AnOpaqueTextRendersOnItsBackgroundColour) {
  LOGFONTA lf = TestFont(-30);
  CTextLook look;
  look.font = &lf;
  look.text = kTwoLines;
  look.textColour = RGB(0, 0, 160);
  look.bkColour = RGB(10, 200, 30);
  look.opaque = true;
  CRgbImage image;
  ASSERT_TRUE(image.RenderText(look));
  const SIZE size = image.GetSize();
  EXPECT_EQ(PixelAt(image.GetSourcePixels(), size.cx, size.cx - 1, 0), RGB(10, 200, 30));
  EXPECT_EQ(PixelAt(image.GetSourcePixels(), size.cx, size.cx - 1, size.cy - 1), RGB(10, 200, 30));
  EXPECT_EQ(CountPixels(image, kImageKeyColour), 0);
  EXPECT_GT(CountPixels(image, RGB(0, 0, 160)), 0);
  EXPECT_EQ(CountPixels(image, RGB(10, 200, 30)) + CountPixels(image, RGB(0, 0, 160)),
            size.cx * size.cy);
}

TEST(RgbImage, DrawTransparentLeavesTheTargetWhereThePictureHasTheKey) {
  LOGFONTA lf = TestFont(-30);
  CTextLook look;
  look.font = &lf;
  look.text = kTwoLines;
  look.textColour = RGB(200, 0, 0);
  CRgbImage image;
  ASSERT_TRUE(image.RenderText(look));
  const SIZE size = image.GetSize();
  const COLORREF target = RGB(0, 0, 200);
  Canvas canvas(size.cx + 20, size.cy + 20, target);
  ASSERT_TRUE(image.DrawTransparent(canvas.dc, 7, 5, kImageKeyColour));
  int kept = 0, inked = 0;
  for (int y = 0; y < size.cy + 20; ++y) {
    for (int x = 0; x < size.cx + 20; ++x) {
      const bool inside = x >= 7 && y >= 5 && x < 7 + size.cx && y < 5 + size.cy;
      COLORREF source = inside ? PixelAt(image.GetSourcePixels(), size.cx, x - 7, y - 5) : kImageKeyColour;
      COLORREF expected = source == kImageKeyColour ? target : source;
      COLORREF got = GetPixel(canvas.dc, x, y);
      if (got != expected) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << std::hex << got << " expected "
                      << expected;
        return;
      }
      kept += inside && got == target;
      inked += got == RGB(200, 0, 0);
    }
  }
  EXPECT_GT(kept, 0);
  EXPECT_GT(inked, 0);

  CRgbImage empty;
  EXPECT_FALSE(empty.DrawTransparent(canvas.dc, 0, 0, kImageKeyColour));
}

TEST(RgbImage, ComposeRegionDrawsThePictureKeyedOverWhatTheDcShows) {
  // A 4 x 4 picture: its left half the key colour, its right half black.
  Bytes bmp = MakeBmp24(4, 4, [](int x, int) { return x < 2 ? kImageKeyColour : RGB(0, 0, 0); });
  CRgbImage image;
  ASSERT_TRUE(image.LoadMemory(bmp.data(), static_cast<DWORD>(bmp.size())));
  // Behind it, a canvas red on its left half and green on its right.
  Canvas canvas(40, 30, RGB(255, 0, 0));
  RECT right = {20, 0, 40, 30};
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  FillRect(canvas.dc, &right, green);
  DeleteObject(green);

  // The picture at (18, 10); the region (10, 8)-(30, 20).
  HBITMAP composed = image.ComposeRegion(canvas.dc, 18, 10, 10, 8, 30, 20);
  ASSERT_NE(composed, nullptr);
  int w = 0, h = 0;
  std::vector<COLORREF> pixels = BitmapPixels(composed, &w, &h);
  DeleteObject(composed);
  ASSERT_EQ(w, 20);
  ASSERT_EQ(h, 12);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int cx = x + 10, cy = y + 8;  // canvas coordinates
      const bool black = cx >= 20 && cx < 22 && cy >= 10 && cy < 14;
      const COLORREF expected = black ? RGB(0, 0, 0) : cx < 20 ? RGB(255, 0, 0) : RGB(0, 255, 0);
      if (pixels[y * w + x] != expected) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << std::hex << pixels[y * w + x]
                      << " expected " << expected;
        return;
      }
    }
  }
  // The canvas itself is untouched.
  EXPECT_EQ(GetPixel(canvas.dc, 21, 11), RGB(0, 255, 0));
  // Empty, reversed and absurd regions give nothing.
  struct {
    int left, top, right, bottom;
  } refused[] = {{5, 5, 5, 9}, {5, 5, 9, 5}, {9, 5, 5, 9}, {0x7FFFFFFF, 0, -0x7FFFFFFF, 9},
                 {-0x7FFFFFFF, 0, 0x7FFFFFFF, 9}, {0, 0, 100000, 100000}};
  for (const auto& r : refused) {
    SCOPED_TRACE(testing::Message() << r.left << ", " << r.top << " - " << r.right << ", " << r.bottom);
    EXPECT_EQ(image.ComposeRegion(canvas.dc, 0, 0, r.left, r.top, r.right, r.bottom), nullptr);
  }
  // A picture far away leaves the region as the DC shows it.
  composed = image.ComposeRegion(canvas.dc, 0x7FFFFFFF, 10, -0x7FFFFFFF, 8, -0x7FFFFFFF + 4, 12);
  ASSERT_NE(composed, nullptr);
  DeleteObject(composed);
}

TEST(RgbImage, TextThumbnailIsFittedAndCentredOnTheButtonFace) {
  // A wide text fills the width, a tall one the height; each is centred
  // across the other way. Both have background at the top of their right
  // edge (the wide one its extra 2%, the tall one the room above an "o").
  struct {
    const char* name;
    const char* text;
  } rows[] = {{"wide", "Wide text line"}, {"tall", "o\r\no\r\no\r\no"}};
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    LOGFONTA lf = TestFont(-40);
    CTextLook look;
    look.font = &lf;
    look.text = row.text;
    look.opaque = true;
    look.bkColour = RGB(255, 255, 0);
    look.textColour = RGB(0, 0, 0);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 80, 60);
    ReleaseDC(nullptr, screen);
    SetBitmapDimensionEx(target, 80, 60, nullptr);
    CRgbImage image;
    ASSERT_TRUE(image.DrawTextThumbnail(dc, look, target, nullptr));
    DeleteDC(dc);
    const SIZE scaled = image.GetScaledSize();
    const SIZE fitted = FitSizeKeepAspect(image.GetSize().cx, image.GetSize().cy, {80, 60});
    EXPECT_EQ(scaled.cx, fitted.cx);
    EXPECT_EQ(scaled.cy, fitted.cy);
    EXPECT_TRUE(scaled.cx == 80 || scaled.cy == 60);
    int w = 0, h = 0;
    std::vector<COLORREF> pixels = BitmapPixels(target, &w, &h);
    DeleteObject(target);
    const int left = (80 - scaled.cx) / 2, top = (60 - scaled.cy) / 2;
    const int right = left + scaled.cx - 1, bottom = top + scaled.cy - 1;
    EXPECT_EQ(pixels[top * w + right], RGB(255, 255, 0));
    if (left > 0) {
      EXPECT_EQ(pixels[top * w + left - 1], face);
    }
    if (right < 79) {
      EXPECT_EQ(pixels[top * w + right + 1], face);
    }
    if (top > 0) {
      EXPECT_EQ(pixels[(top - 1) * w + right], face);
    }
    if (bottom < 59) {
      EXPECT_EQ(pixels[(bottom + 1) * w + right], face);
    }
    EXPECT_EQ(pixels[0], face);
    EXPECT_EQ(pixels[59 * w + 79], face);
  }
}

// ---- wallpaper -----------------------------------------------------------------

const char kDesktopKey[] = "Control Panel\\Desktop";
const char kActiveDesktopKey[] = "Software\\Microsoft\\Internet Explorer\\Desktop\\General";

// The three wallpaper values of one key, put back as they were afterwards.
struct WallpaperValues {
  lwtest::CSavedRegValue path, style, tile;
  explicit WallpaperValues(const char* key)
      : path({HKEY_CURRENT_USER, key}, "Wallpaper"),
        style({HKEY_CURRENT_USER, key}, "WallpaperStyle"),
        tile({HKEY_CURRENT_USER, key}, "TileWallpaper") {}
  // Null removes a value.
  void Set(const char* wallpaper, const char* wallpaperStyle, const char* tileWallpaper) {
    path.SetText(wallpaper);
    style.SetText(wallpaperStyle);
    tile.SetText(tileWallpaper);
  }
};

TEST(ReadWallpaperSettings, StylesPathsAndExpansion) {
  SetEnvironmentVariableA("LW_WALLPAPER_DIR", "C:\\Pictures");
  struct {
    const char* name;
    bool active;
    const char* wallpaper;
    const char* style;
    const char* tile;
    const char* expectedPath;
    int expectedStyle;
  } rows[] = {
      {"centred", false, "C:\\w\\sky.bmp", "0", "0", "C:\\w\\sky.bmp", kWallpaperCentred},
      {"stretched", false, "C:\\w\\sky.bmp", "2", "0", "C:\\w\\sky.bmp", kWallpaperStretched},
      {"tiled", false, "C:\\w\\sky.bmp", "0", "1", "C:\\w\\sky.bmp", kWallpaperTiled},
      {"tiling wins", false, "C:\\w\\sky.bmp", "2", "1", "C:\\w\\sky.bmp", kWallpaperTiled},
      {"no style value", false, "C:\\w\\sky.bmp", nullptr, "1", "C:\\w\\sky.bmp", kWallpaperTiled},
      {"no style values", false, "C:\\w\\sky.bmp", nullptr, nullptr, "C:\\w\\sky.bmp", kWallpaperCentred},
      {"expanded", false, "%LW_WALLPAPER_DIR%\\sea.jpg", "2", "0", "C:\\Pictures\\sea.jpg", kWallpaperStretched},
      {"no wallpaper", false, nullptr, "2", "1", "", kWallpaperCentred},
      {"empty wallpaper", false, "", "2", "0", "", kWallpaperCentred},
      {"active desktop", true, "%LW_WALLPAPER_DIR%\\web.jpg", "2", "0", "C:\\Pictures\\web.jpg", kWallpaperStretched},
      {"active desktop tiled", true, "C:\\w\\tile.bmp", "0", "1", "C:\\w\\tile.bmp", kWallpaperTiled},
  };
  WallpaperValues plain(kDesktopKey);
  WallpaperValues active(kActiveDesktopKey);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    // The other key holds something else, which must not show.
    (row.active ? active : plain).Set(row.wallpaper, row.style, row.tile);
    (row.active ? plain : active).Set("C:\\other.bmp", "2", "1");
    int style = -1;
    CString path = ReadWallpaperSettings(row.active, &style);
    EXPECT_STREQ(path, row.expectedPath);
    EXPECT_EQ(style, row.expectedStyle);
  }
}

TEST(ReadWallpaperSettings, NumbersStoredAsDwordsCount) {
  WallpaperValues plain(kDesktopKey);
  plain.Set("C:\\w\\sky.bmp", nullptr, nullptr);
  plain.style.SetNumber(2);
  int style = -1;
  EXPECT_STREQ(ReadWallpaperSettings(false, &style), "C:\\w\\sky.bmp");
  EXPECT_EQ(style, kWallpaperStretched);
}

// Points both the plain and the Active Desktop settings at one wallpaper,
// so the result does not depend on whether the Active Desktop is on.
struct WallpaperFixture {
  WallpaperValues plain{kDesktopKey};
  WallpaperValues active{kActiveDesktopKey};
  void Point(const std::string& wallpaper, const char* style, const char* tile) {
    plain.Set(wallpaper.c_str(), style, tile);
    active.Set(wallpaper.c_str(), style, tile);
  }
};

TEST(SaveWallpaperAsJpeg, ABmpWallpaperBecomesAJpegOfItsSize) {
  lwtest::CRecordedBoxes boxes;
  WallpaperFixture fixture;
  Bytes bmp = Gradient(6, 5);
  std::string wallpaper = WriteTemp("wallpaper source.bmp", bmp);
  fixture.Point(wallpaper, "2", "0");
  std::string out = TempPath("wallpaper copy.jpg");
  DeleteFileA(out.c_str());
  int style = -1;
  ASSERT_TRUE(SaveWallpaperAsJpeg(out.c_str(), &style));
  EXPECT_EQ(style, kWallpaperStretched);
  EXPECT_TRUE(boxes.texts.empty());
  Bytes written = lwtest::ReadAll(out);
  ASSERT_GE(written.size(), 4u);
  EXPECT_EQ(written[0], 0xFF);
  EXPECT_EQ(written[1], 0xD8);
  Decoded decoded = Decode(written, Reader::Jpeg, 24);
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(decoded.width, 6);
  EXPECT_EQ(decoded.height, 5);

  // A JPEG wallpaper is copied the same way.
  std::string jpegWallpaper = TempPath("wallpaper source.jpg");
  CopyFileA(out.c_str(), jpegWallpaper.c_str(), FALSE);
  fixture.Point(jpegWallpaper, "0", "1");
  DeleteFileA(out.c_str());
  ASSERT_TRUE(SaveWallpaperAsJpeg(out.c_str(), &style));
  EXPECT_EQ(style, kWallpaperTiled);
  decoded = Decode(lwtest::ReadAll(out), Reader::Jpeg, 24);
  EXPECT_EQ(decoded.width, 6);
  EXPECT_EQ(decoded.height, 5);
  DeleteFileA(out.c_str());
  DeleteFileA(wallpaper.c_str());
  DeleteFileA(jpegWallpaper.c_str());
}

TEST(SaveWallpaperAsJpeg, FailuresAndTheirMessages) {
  std::string png = WriteTemp("wallpaper.png", MakePng(2, 2, 2, 8, Bytes(2 * 7, 0)));
  Bytes brokenBmp = Gradient(6, 5);
  brokenBmp[18] = brokenBmp[19] = brokenBmp[20] = brokenBmp[21] = 0;  // width 0
  std::string broken = WriteTemp("wallpaper broken.bmp", brokenBmp);
  std::string page = WriteTemp("wallpaper.htm", Gradient(2, 2));
  std::string out = TempPath("wallpaper failure.jpg");
  struct {
    const char* name;
    std::string wallpaper;
    const char* message;  // null: none
  } rows[] = {
      {"web page", page, nullptr},
      {"web page, long extension", TempPath("desk.HTML"), nullptr},
      {"no wallpaper", "", nullptr},
      {"missing file", TempPath("no such wallpaper.bmp"), "Error during opening wallpaper file."},
      {"PNG", png, "Wallpaper image is not in either JPG or BMP format."},
      {"broken BMP", broken, "Error during decoding wallpaper image"},
  };
  WallpaperFixture fixture;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    lwtest::CRecordedBoxes boxes;
    fixture.Point(row.wallpaper, "0", "0");
    DeleteFileA(out.c_str());
    int style = -1;
    EXPECT_FALSE(SaveWallpaperAsJpeg(out.c_str(), &style));
    EXPECT_EQ(GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES);
    if (row.message) {
      ASSERT_EQ(boxes.texts.size(), 1u);
      EXPECT_EQ(boxes.texts[0], row.message);
      EXPECT_EQ(boxes.types[0], static_cast<UINT>(MB_OK));
    } else {
      EXPECT_TRUE(boxes.texts.empty());
    }
  }

  // An output that cannot be written is a failure too.
  std::string wallpaper = WriteTemp("wallpaper ok.bmp", Gradient(3, 3));
  fixture.Point(wallpaper, "0", "0");
  int style = -1;
  EXPECT_FALSE(SaveWallpaperAsJpeg(TempPath("no such folder\\out.jpg").c_str(), &style));
  for (const std::string& path : {png, broken, page, wallpaper}) DeleteFileA(path.c_str());
}

}  // namespace
