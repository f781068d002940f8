// The image library's pixel work: the resizers against hand-computed
// outputs, the colour matcher, the row converters, and conversions and
// drawing checked on the pixels of memory DCs under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "common/CpuFeatures.h"
#include "imaging/ImageInternal.h"
#include "imaging/ImageLib.h"

namespace {

using Bytes = std::vector<uint8_t>;

RGBQUAD Quad(int r, int g, int b) {
  RGBQUAD q = {static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0};
  return q;
}

// A 32-bit top-down DIB section selected into a memory DC; Pixel reads it.
class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h) {
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  void Fill(COLORREF c) {
    GdiFlush();
    for (int i = 0; i < w_ * h_; ++i) bits_[i] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }
  COLORREF Pixel(int x, int y) const {
    GdiFlush();
    DWORD v = bits_[y * w_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  DWORD* bits_ = nullptr;
};

BOOL CALLBACK Stop(int, int, int) { return FALSE; }

}  // namespace

// The bilinear resize as first written: two source rows resampled in
// doubles for every target row, then blended. Every faster form must give
// the very same bytes.
Bytes ReferenceResize(const Bytes& src, int w, int h, int tw, int th, int bpp) {
  auto map = [](int i, double scale, int size, int* lo, int* hi, double* frac) {
    double x = i * scale;
    if (x > size - 1) x = size - 1;
    if (x < 0) x = 0;
    *lo = static_cast<int>(x);
    *hi = *lo + 1 < size ? *lo + 1 : size - 1;
    *frac = x - *lo;
  };
  Bytes out(static_cast<size_t>(tw) * th * bpp);
  std::vector<double> row0(static_cast<size_t>(tw) * bpp), row1(row0.size());
  const size_t stride = static_cast<size_t>(w) * bpp;
  for (int i = 0; i < th; ++i) {
    int r0, r1;
    double fy;
    map(i, static_cast<double>(h) / th, h, &r0, &r1, &fy);
    const uint8_t* s0 = &src[r0 * stride];
    const uint8_t* s1 = &src[r1 * stride];
    for (int j = 0; j < tw; ++j) {
      int left, right;
      double f;
      map(j, static_cast<double>(w) / tw, w, &left, &right, &f);
      for (int c = 0; c < bpp; ++c) {
        row0[j * bpp + c] = s0[left * bpp + c] * (1 - f) + s0[right * bpp + c] * f;
        row1[j * bpp + c] = s1[left * bpp + c] * (1 - f) + s1[right * bpp + c] * f;
      }
    }
    for (int k = 0; k < tw * bpp; ++k)
      out[static_cast<size_t>(i) * tw * bpp + k] = static_cast<uint8_t>(row1[k] * fy + row0[k] * (1 - fy));
  }
  return out;
}

TEST(ImageResize, SameBytesAsTheFirstForm) {
  const struct {
    int w, h, tw, th;
  } sizes[] = {{1, 1, 1, 1},     {1, 1, 7, 5},     {7, 5, 1, 1},     {3, 2, 640, 480},
               {640, 480, 3, 2}, {97, 61, 211, 37}, {211, 37, 97, 61}, {320, 200, 640, 400},
               {640, 400, 320, 200}, {1920, 1080, 1280, 720}, {1920, 1080, 2560, 1440},
               {300, 300, 299, 301}, {255, 1, 1, 255}, {1, 255, 255, 1}};
  uint32_t seed = 7;
  for (int bpp = 1; bpp <= 4; ++bpp) {
    for (const auto& z : sizes) {
      SCOPED_TRACE(testing::Message() << z.w << "x" << z.h << " to " << z.tw << "x" << z.th
                                      << ", " << bpp << " bytes a pixel");
      Bytes src(static_cast<size_t>(z.w) * z.h * bpp);
      // Noise over smooth ramps and flat runs: equal neighbours and
      // extremes both occur.
      for (size_t i = 0; i < src.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        const uint32_t r = seed >> 16;
        src[i] = static_cast<uint8_t>(r % 5 == 0 ? 255 : r % 5 == 1 ? 0 : (i / 3 + (r & 15)) & 0xFF);
      }
      Bytes dst(static_cast<size_t>(z.tw) * z.th * bpp, 0xEE);
      ASSERT_TRUE(ResizeImage(src.data(), z.w, z.h, dst.data(), z.tw, z.th, bpp));
      EXPECT_TRUE(dst == ReferenceResize(src, z.w, z.h, z.tw, z.th, bpp));
    }
  }
}

// Pictures whose resized values fall on integers often: flat blocks, ramps
// across and down (equal neighbours, sums that land on whole values), one
// value everywhere, and plain noise.
Bytes TestPicture(int kind, int w, int h, int bpp, uint32_t* seed) {
  Bytes src(static_cast<size_t>(w) * h * bpp);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      for (int c = 0; c < bpp; ++c) {
        *seed = *seed * 1103515245u + 12345u;
        const int value = kind == 0   ? static_cast<int>(*seed >> 24)
                          : kind == 1 ? ((x / 7 + y / 5) * 37 + c * 11) & 0xFF
                          : kind == 2 ? x * 255 / w
                          : kind == 3 ? y * 255 / h
                                      : 3;
        src[(static_cast<size_t>(y) * w + x) * bpp + c] = static_cast<uint8_t>(value);
      }
    }
  }
  return src;
}

// Every loop gives the plain loop's bytes: AVX2 (3-byte pixels in quads
// read a 16-byte window or a pixel at a time, 4-byte pixels in quads), the
// AVX-512 octets (taken before the checked loop where they have columns)
// and the plain loop, at scales where each is chosen; the
// exact fixed-point loop, taken for 3-byte pixels where every column's and
// row's weight has at most 8 fraction bits together (1.5, 0.75, twice
// smaller, 9/8 across and 33/32 down, 257/256 across), not past that (17/16
// across and 33/32 down); and the checked single-precision loop for the
// other 3-byte pixels whose samples lie close enough (not 7.7 times
// smaller), with the values it does again near integers: at general
// scales (down also by 45/32, whose rows blend whole values exactly), at 1.2 (whose sums fall on integers so often that it leaves the
// rows after a few to the double loops), 2.5 times larger, and 2 rows to
// 11, where a flat 3 blended with itself in the second row gives 2, and 8
// columns to 44, where near the left edge a pair of equal samples does not
// sum exactly to its value; and 6 columns, too few for an octet.
TEST(ImageResize, EveryLoopGivesTheSameBytes) {
  const struct {
    int w, h, tw, th;
    int loop;        // for 3-byte pixels with AVX2
    int widestLoop;  // the same with AVX-512
  } sizes[] = {{960, 270, 640, 180, kResizeFixedPoint, kResizeFixedPoint},
               {480, 135, 640, 180, kResizeFixedPoint, kResizeFixedPoint},
               {640, 400, 320, 200, kResizeFixedPoint, kResizeFixedPoint},
               {900, 330, 800, 320, kResizeFixedPoint, kResizeFixedPoint},
               {514, 20, 512, 20, kResizeFixedPoint, kResizeFixedPoint},
               {340, 330, 320, 320, kResizeChecked, kResizeDoubles},
               {640, 400, 211, 97, kResizeChecked, kResizeDoubles},
               {97, 61, 211, 37, kResizeChecked, kResizeDoubles},
               {300, 300, 299, 301, kResizeChecked, kResizeDoubles},
               {384, 216, 273, 153, kResizeChecked, kResizeDoubles},
               {384, 90, 273, 64, kResizeChecked, kResizeDoubles},
               {240, 150, 200, 125, kResizeChecked, kResizeDoubles},
               {160, 90, 400, 225, kResizeChecked, kResizeChecked},
               {224, 2, 160, 11, kResizeChecked, kResizeDoubles},
               {8, 2, 44, 2, kResizeChecked, kResizeChecked},
               {8, 4, 6, 3, kResizeDoubles, kResizeDoubles},
               {1000, 3, 130, 5, kResizeDoubles, kResizeDoubles}};
  uint32_t seed = 11;
  for (int widest = kResizeLoopsPlain; widest <= kResizeLoopsWidest; ++widest) {
    for (int bpp = 1; bpp <= 4; ++bpp) {
      for (const auto& z : sizes) {
        for (int kind = 0; kind < 5; ++kind) {
          SCOPED_TRACE(testing::Message() << z.w << "x" << z.h << " to " << z.tw << "x" << z.th
                                          << ", " << bpp << " bytes a pixel, loops up to "
                                          << widest << ", picture " << kind);
          const bool wide = widest >= kResizeLoopsAvx2 && ProcessorHasAvx2();
          const bool widest512 = widest == kResizeLoopsWidest && ProcessorHasAvx512Bytes();
          LimitResizeLoops(widest);
          const int loop = ResizeLoopFor(z.w, z.h, z.tw, z.th, bpp);
          LimitResizeLoops(kResizeLoopsWidest);
          EXPECT_EQ(loop, !wide || bpp < 3   ? kResizeRowsOnly
                          : bpp == 4         ? kResizeDoubles
                          : widest512        ? z.widestLoop
                                             : z.loop);
          const Bytes src = TestPicture(kind, z.w, z.h, bpp, &seed);
          Bytes dst(static_cast<size_t>(z.tw) * z.th * bpp, 0xEE);
          LimitResizeLoops(widest);
          const BOOL done = ResizeImage(src.data(), z.w, z.h, dst.data(), z.tw, z.th, bpp);
          LimitResizeLoops(kResizeLoopsWidest);
          ASSERT_TRUE(done);
          EXPECT_TRUE(dst == ReferenceResize(src, z.w, z.h, z.tw, z.th, bpp));
        }
      }
    }
  }
}

TEST(ImageResize, SameSizeCopies) {
  Bytes src(4 * 3 * 3);
  for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i * 29 + 3);
  Bytes dst(src.size());
  ASSERT_TRUE(ResizeImage(src.data(), 4, 3, dst.data(), 4, 3, 3));
  EXPECT_EQ(dst, src);
}

TEST(ImageResize, BilinearAgainstHandValues) {
  struct Row {
    const char* name;
    Bytes src;
    int w, h, tw, th, bpp;
    Bytes expected;
  } rows[] = {
      {"2x1 to 4x1", {0, 0, 0, 200, 100, 51}, 2, 1, 4, 1, 3, {0, 0, 0, 100, 50, 25, 200, 100, 51, 200, 100, 51}},
      {"1x2 to 1x4", {10, 100}, 1, 2, 1, 4, 1, {10, 55, 100, 100}},
      {"2x2 to 4x4", {0, 100, 100, 200}, 2, 2, 4, 4, 1,
       {0, 50, 100, 100, 50, 100, 150, 150, 100, 150, 200, 200, 100, 150, 200, 200}},
      {"4x1 to 2x1", {8, 16, 32, 64}, 4, 1, 2, 1, 1, {8, 32}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Bytes dst(r.expected.size(), 0xEE);
    ASSERT_TRUE(ResizeImage(r.src.data(), r.w, r.h, dst.data(), r.tw, r.th, r.bpp));
    EXPECT_EQ(dst, r.expected);
  }
  Bytes one = {1, 2, 3};
  Bytes out(3);
  EXPECT_FALSE(ResizeImage(one.data(), 0, 1, out.data(), 1, 1, 3));
  EXPECT_EQ(GetImageError(), kImgBadParam);
  EXPECT_FALSE(ResizeImage(one.data(), 1, 1, out.data(), -1, 1, 3));
  EXPECT_EQ(GetImageError(), kImgBadParam);
  SetImageProgressHook(Stop, 0);
  EXPECT_FALSE(ResizeImage(one.data(), 1, 1, out.data(), 1, 1, 3));
  EXPECT_EQ(GetImageError(), kImgAborted);
  SetImageProgressHook(nullptr, 0);
}

TEST(ImageResize, PaletteImageMatchesNearest) {
  RGBQUAD pal[4] = {Quad(0, 0, 0), Quad(255, 255, 255), Quad(128, 128, 128), Quad(100, 100, 100)};
  Bytes src = {0, 1};  // black over white, one column
  Bytes dst(4, 0xEE);
  ASSERT_TRUE(ResizePaletteImage(src.data(), 1, 2, dst.data(), 1, 4, 4, pal));
  EXPECT_EQ(dst, (Bytes{0, 2, 1, 1}));
  EXPECT_FALSE(ResizePaletteImage(src.data(), 1, 2, src.data(), 1, 2, 4, pal)) << "in place";
  EXPECT_EQ(GetImageError(), kImgBadParam);
  EXPECT_FALSE(ResizePaletteImage(src.data(), 1, 2, dst.data(), 1, 4, 0, pal));
  EXPECT_EQ(GetImageError(), kImgBadParam);
}

TEST(ImageResize, MatcherTiesAndCache) {
  PaletteMatcher* m = new PaletteMatcher();
  EXPECT_EQ(m->Match(10, 10, 10), 0) << "no palette yet";
  RGBQUAD pal[8];
  for (RGBQUAD& q : pal) q = Quad(255, 255, 255);
  pal[3] = Quad(10, 0, 0);
  pal[7] = Quad(30, 0, 0);
  m->SetPalette(pal, 8);
  EXPECT_EQ(m->Match(20, 0, 0), 3) << "ties keep the earlier entry";
  EXPECT_EQ(m->Match(30, 0, 0), 7);
  m->SetPalette(pal, 8);
  for (int i = 0; i < 255; ++i) m->Match(i, 1, 2);
  EXPECT_EQ(m->CacheSize(), 255);
  EXPECT_EQ(m->Match(0, 1, 2), m->Match(0, 1, 2));
  EXPECT_EQ(m->CacheSize(), 255) << "a cached colour adds nothing";
  m->Match(255, 9, 9);
  EXPECT_EQ(m->CacheSize(), 1) << "the 256th colour empties the cache first";
  delete m;
}

TEST(ImageRows, ConvertRowDepths) {
  RGBQUAD pal[256] = {};
  pal[1] = Quad(1, 2, 3);
  pal[2] = Quad(4, 5, 6);
  DWORD masks565[3] = {0xF800, 0x07E0, 0x001F};
  struct Row {
    const char* name;
    Bytes stored;
    int pixels;
    int bits;
    const DWORD* masks;
    Bytes rgb;
  } rows[] = {
      {"1 bit", {0x40}, 2, 1, nullptr, {0, 0, 0, 1, 2, 3}},
      {"4 bits", {0x21}, 2, 4, nullptr, {4, 5, 6, 1, 2, 3}},
      {"8 bits", {2}, 1, 8, nullptr, {4, 5, 6}},
      {"16 bits 5-5-5 black", {0, 0}, 1, 16, nullptr, {7, 7, 7}},
      {"16 bits 5-6-5 white", {0xFF, 0xFF}, 1, 16, masks565, {255, 255, 255}},
      {"16 bits 5-6-5 green", {0xE0, 0x07}, 1, 16, masks565, {7, 255, 7}},
      {"24 bits", {1, 2, 3}, 1, 24, nullptr, {3, 2, 1}},
      {"32 bits", {1, 2, 3, 4}, 1, 32, nullptr, {3, 2, 1}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Bytes out(r.rgb.size());
    ConvertRow(r.stored.data(), out.data(), r.pixels, r.bits, pal, r.masks, false, 0);
    EXPECT_EQ(out, r.rgb);
  }
  Bytes withAlpha(4);
  Bytes one = {2};
  ConvertRow(one.data(), withAlpha.data(), 1, 8, pal, nullptr, true, 77);
  EXPECT_EQ(withAlpha, (Bytes{4, 5, 6, 77}));

  Bytes image(4 * 3 * 3, 0);
  BYTE colour[4] = {9, 8, 7, 0};
  ASSERT_EQ(FillPixelRect(image.data(), 4, 3, 2, 1, 5, 5, colour, 3), 1);
  EXPECT_EQ(image[(1 * 4 + 2) * 3], 9);
  EXPECT_EQ(image[(2 * 4 + 3) * 3 + 2], 7);
  EXPECT_EQ(image[(1 * 4 + 1) * 3], 0) << "left of the rectangle";
  EXPECT_EQ(FillPixelRect(image.data(), 4, 3, 9, 9, 1, 1, colour, 3), 1) << "outside: nothing to do";
  EXPECT_EQ(FillPixelRect(image.data(), 4, 3, 0, 0, 1, 1, colour, 2), 0);
}

TEST(ImageGdi, BitmapRoundTripAndDcCapture) {
  const int w = 5, h = 3;
  Bytes rgb(w * h * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 13 + 1);
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = RgbToHBitmap(rgb.data(), w, h, nullptr, screen);
  ASSERT_NE(bitmap, nullptr);
  int rw = 0, rh = 0;
  BYTE* back = HBitmapToRgb(bitmap, &rw, &rh, screen, nullptr);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(rw, w);
  EXPECT_EQ(rh, h);
  EXPECT_EQ(Bytes(back, back + rgb.size()), rgb);
  GlobalFree(back);
  DeleteObject(bitmap);

  Canvas canvas(20, 10);
  canvas.Fill(RGB(1, 2, 3));
  ASSERT_TRUE(DrawImage(canvas.dc(), rgb.data(), w, h, 4, 2, w, h, nullptr));
  BYTE* captured = DcToRgb(canvas.dc(), 4, 2, w, h);
  ASSERT_NE(captured, nullptr);
  EXPECT_EQ(Bytes(captured, captured + rgb.size()), rgb);
  GlobalFree(captured);

  EXPECT_EQ(DcToRgb(canvas.dc(), 0, 0, 0, 5), nullptr);
  EXPECT_EQ(GetImageError(), kImgBadParam);
  HDC meta = CreateEnhMetaFileA(screen, nullptr, nullptr, nullptr);
  EXPECT_EQ(DcToRgb(meta, 0, 0, 4, 4), nullptr) << "a metafile cannot be read back";
  int metaError = GetImageError();
  EXPECT_TRUE(metaError == kImgDeviceUnsupported || metaError == kImgBitBlt) << metaError;
  DeleteEnhMetaFile(CloseEnhMetaFile(meta));
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(RgbToHBitmap(nullptr, 1, 1, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetImageError(), kImgBadParam);
}

TEST(ImageGdi, DrawImageOutputSizeLimitsTheCopy) {
  const int w = 4, h = 4;
  Bytes rgb(w * h * 3, 200);
  Canvas canvas(10, 10);
  canvas.Fill(RGB(5, 5, 5));
  ASSERT_TRUE(DrawImage(canvas.dc(), rgb.data(), w, h, 1, 1, 2, 3, nullptr));
  EXPECT_EQ(canvas.Pixel(1, 1), RGB(200, 200, 200));
  EXPECT_EQ(canvas.Pixel(2, 3), RGB(200, 200, 200));
  EXPECT_EQ(canvas.Pixel(3, 1), RGB(5, 5, 5)) << "right of the output width";
  EXPECT_EQ(canvas.Pixel(1, 4), RGB(5, 5, 5)) << "below the output height";
  EXPECT_EQ(canvas.Pixel(0, 0), RGB(5, 5, 5));
}

TEST(ImageGdi, KeyedDrawingLeavesKeyPixelsUntouched) {
  const int w = 4, h = 2;
  const BYTE key[3] = {0xE0, 0xE0, 0xE0};
  Bytes rgb;
  for (int i = 0; i < w * h; ++i) {
    if (i % 3 == 0)
      rgb.insert(rgb.end(), key, key + 3);
    else
      rgb.insert(rgb.end(), {uint8_t(10 * i), 50, uint8_t(255 - i)});
  }
  Canvas canvas(8, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) SetPixel(canvas.dc(), x, y, RGB(x * 20, y * 30, 99));
  ASSERT_TRUE(DrawImageTransparent(canvas.dc(), rgb.data(), w, h, 2, 3, RGB(0xE0, 0xE0, 0xE0)));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      SCOPED_TRACE(testing::Message() << x << "," << y);
      bool inside = x >= 2 && x < 2 + w && y >= 3 && y < 3 + h;
      int i = inside ? (y - 3) * w + (x - 2) : -1;
      COLORREF expected = (!inside || i % 3 == 0)
                              ? RGB(x * 20, y * 30, 99)
                              : RGB(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
      EXPECT_EQ(canvas.Pixel(x, y), expected);
    }
}
