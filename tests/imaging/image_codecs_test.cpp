// The image library's decoding core under Wine: per-thread state and error
// texts, handles, the type guess, and tables of BMP, PCX, TGA, JPEG and PNG
// decodes built from bytes, with the malformed cases each reader refuses.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/ImageInternal.h"
#include "imaging/ImageLib.h"
#include "tests/imaging/image_bytes.h"

using namespace imgtest;

namespace {

// RGB bytes of palette indices through 4-byte BGR palette entries.
Bytes ViaPalette(const Bytes& palette, const std::vector<int>& indices) {
  Bytes rgb;
  for (int i : indices) {
    rgb.push_back(palette[4 * i + 2]);
    rgb.push_back(palette[4 * i + 1]);
    rgb.push_back(palette[4 * i]);
  }
  return rgb;
}

Bytes BlackWhite() { return {0, 0, 0, 0, 255, 255, 255, 0}; }
// Entry i: blue i*16, green 255-i*16, red i*8.
Bytes Palette16() {
  Bytes p;
  for (int i = 0; i < 16; ++i) p.insert(p.end(), {uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t(i * 8), 0});
  return p;
}
// Entry i: blue i, green 255-i, red i/2.
Bytes Palette256() {
  Bytes p;
  for (int i = 0; i < 256; ++i) p.insert(p.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0});
  return p;
}

Bytes Le16s(std::initializer_list<unsigned> words) {
  Bytes b;
  for (unsigned w : words) Put16(b, w);
  return b;
}
Bytes Le32s(std::initializer_list<uint32_t> words) {
  Bytes b;
  for (uint32_t w : words) Put32(b, w);
  return b;
}

Bytes ReadFileBytes(const std::string& path) {
  Bytes b;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return b;
  int c;
  while ((c = fgetc(f)) != EOF) b.push_back(static_cast<uint8_t>(c));
  fclose(f);
  return b;
}

DWORD WINAPI SetErrorOnThread(void* out) {
  int* result = static_cast<int*>(out);
  result[0] = GetImageError();
  OpenMemorySource(nullptr, 0);  // sets 5 on this thread only
  result[1] = GetImageError();
  return 0;
}

}  // namespace

TEST(ImageState, LastErrorIsPerThread) {
  OpenMemorySource(nullptr, 0);
  ASSERT_EQ(GetImageError(), kImgBadParam);
  Bytes b = {1, 2, 3};
  HPVSRC src = OpenMemorySource(b.data(), 3);
  ASSERT_NE(src, nullptr);
  EXPECT_EQ(GetImageError(), kImgBadParam) << "a successful open leaves the last error";
  CloseSource(src);

  int seen[2] = {-1, -1};
  HANDLE thread = CreateThread(nullptr, 0, SetErrorOnThread, seen, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(seen[0], 0) << "a new thread starts with no error";
  EXPECT_EQ(seen[1], kImgBadParam);
  BmpSpec one;
  one.pixels = {1, 2, 3, 0};
  Bytes bmp = MakeBmp(one);
  Decoded ok = Decode(bmp, Reader::Bmp, 24);
  EXPECT_EQ(ok.error, 0);
}

TEST(ImageState, ErrorTexts) {
  struct Row {
    int code;
    const char* text;
  } rows[] = {
      {1, "out of memory"},
      {8, "reserved value"},
      {12, "reserved value"},
      {34, "reserved value "},
      {38, "the HPVSRC or HPVDEST object passed into the function does not appear to be valid"},
      {57, "no EXIF string was found with the given ID"},
      {0, "Unknown error"},
      {58, "Unknown error"},
      {-1, "Unknown error"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.code);
    EXPECT_STREQ(GetImageErrorText(r.code), r.text);
  }
}

TEST(ImageHandles, MemorySeekBoundsAndEnd) {
  Bytes b(50, 7);
  HPVSRC src = OpenMemorySource(b.data(), 50);
  ASSERT_NE(src, nullptr);
  EXPECT_FALSE(SeekSource(src, 50, 0)) << "exactly the size is past the end";
  EXPECT_FALSE(SeekSource(src, -1, 0));
  EXPECT_FALSE(SeekSource(src, 1, 2));
  EXPECT_FALSE(SeekSource(src, -51, 2));
  EXPECT_FALSE(SeekSource(src, 0x7FFFFFFF, 1));
  EXPECT_TRUE(SeekSource(src, 49, 0));
  EXPECT_TRUE(SeekSource(src, 0, 2));
  EXPECT_EQ(GuessImageType(src), 0);
  EXPECT_EQ(GetImageError(), kImgFileRead) << "nothing left to read at the end";
  EXPECT_EQ(CloseSource(src), 50u);
}

TEST(ImageHandles, InvalidHandlesAreRefused) {
  Bytes b(60, 0);
  HPVSRC src = OpenMemorySource(b.data(), 60);
  ASSERT_NE(src, nullptr);
  CloseSource(src);
  int w, h;
  RGBQUAD pal[256];
  EXPECT_EQ(ReadBmp(src, &w, &h, 24, pal), nullptr) << "a closed handle";
  EXPECT_EQ(GetImageError(), kImgBadHandle);
  EXPECT_EQ(CloseSource(src), 0u) << "closing twice frees nothing";
  EXPECT_EQ(GetImageError(), kImgBadHandle);

  // A block too small for a handle, and a look-alike with the right magics.
  HGLOBAL small = GlobalAlloc(GPTR, 8);
  ImageHandle fake = {};
  fake.headMagic = kHandleHeadMagic;
  fake.tailMagic = kHandleTailMagic;
  fake.kind = kHandleMemory;
  fake.memBase = b.data();
  fake.memSize = 60;
  HPVSRC bad[] = {static_cast<HPVSRC>(small), &fake};
  for (HPVSRC h2 : bad) {
    EXPECT_EQ(ReadPcx(h2, &w, &h, 24, pal), nullptr);
    EXPECT_EQ(GetImageError(), kImgBadHandle);
    EXPECT_EQ(ReadJpeg(h2, &w, &h, 24), nullptr);
    EXPECT_EQ(GetImageError(), kImgBadHandle);
    EXPECT_EQ(SeekSource(h2, 0, 0), FALSE);
    EXPECT_EQ(GetImageError(), kImgBadHandle);
  }
  GlobalFree(small);
  EXPECT_EQ(ReadTga(nullptr, &w, &h, 24, pal), nullptr);
  EXPECT_EQ(GetImageError(), kImgBadParam);
  EXPECT_EQ(WriteBmp(nullptr, b.data(), 1, 1, 24, 0, nullptr, FALSE), 0u);
  EXPECT_EQ(GetImageError(), kImgBadParam);
}

TEST(ImageHandles, FilesAndDestinations) {
  std::string path = TempPath("lw_handles.bmp");
  BYTE px[3] = {1, 2, 3};
  HPVDEST dest = OpenFileDest(path.c_str());
  ASSERT_NE(dest, nullptr);
  DWORD written = WriteBmp(dest, px, 1, 1, 24, 0, nullptr, FALSE);
  EXPECT_EQ(written, 58u);
  EXPECT_EQ(CloseDest(dest), 58u) << "the length of the written file";

  Bytes b(60, 0);
  HPVSRC src = OpenMemorySource(b.data(), 60);
  EXPECT_EQ(WriteBmp(src, px, 1, 1, 24, 0, nullptr, FALSE), 0u) << "a source is not writable";
  EXPECT_EQ(GetImageError(), kImgFileWrite);
  CloseSource(src);

  EXPECT_EQ(OpenFileSource(""), nullptr);
  EXPECT_EQ(GetImageError(), kImgFileOpen);
  EXPECT_EQ(OpenFileSource(TempPath("lw_no_such_file.bmp").c_str()), nullptr);
  EXPECT_EQ(GetImageError(), kImgFileOpen);

  HPVSRC file = OpenFileSource(path.c_str());
  ASSERT_NE(file, nullptr);
  EXPECT_STREQ(file->path, path.c_str());
  CloseSource(file);
  DeleteFileA(path.c_str());
}

TEST(ImageGuess, MagicTable) {
  struct Row {
    const char* name;
    Bytes head;
    int offset;
    int type;
  } rows[] = {
      {"bmp", {'B', 'M'}, 0, kImageBmp},
      {"jqw", {'J', 'Q', 'W'}, 0, kImageJqw},
      {"gif89", {'G', 'I', 'F', '8', '9', 'a'}, 0, kImageGif},
      {"gif87", {'G', 'I', 'F', '8', '7', 'a'}, 0, kImageGif},
      {"jfif", {0xFF, 0xD8, 0xFF, 0xE0}, 0, kImageJpeg},
      {"jpeg", {0xFF, 0xD8, 0xFF, 0xE1}, 0, kImageJpeg},
      {"pcx0", {0x0A, 0x00}, 0, kImagePcx},
      {"pcx5", {0x0A, 0x05}, 0, kImagePcx},
      {"pcx4", {0x0A, 0x04}, 0, kImageUnknown},
      {"tiffmm", {'M', 'M'}, 0, kImageTiff},
      {"tiffii", {'I', 'I'}, 0, kImageTiff},
      {"png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, 0, kImagePng},
      {"wmf", {0x01, 0x00, 0x09, 0x00, 0x00}, 0, kImageWmf},
      {"wmfp", {0xD7, 0xCD, 0xC6, 0x9A}, 0, kImageWmf},
      {"emf", {' ', 'E', 'M', 'F'}, 40, kImageEmf},
      {"psd", {'8', 'B', 'P', 'S'}, 0, kImagePsd},
      {"xkv", {'X', 'K', 'V', 1}, 0, kImageXkv},
      {"xkv2", {'T', 'L', 'A', 'U'}, 0, kImageXkv2},
      {"zeros", {0, 0}, 0, kImageWbmp},
      {"none", {0x42, 0x00}, 0, kImageUnknown},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Bytes file(64, 0x55);
    std::copy(r.head.begin(), r.head.end(), file.begin() + r.offset);
    HPVSRC src = OpenMemorySource(file.data(), static_cast<DWORD>(file.size()));
    EXPECT_EQ(GuessImageType(src), r.type);
    EXPECT_EQ(GetImageError(), 0);
    CloseSource(src);
  }
  Bytes shortFile = {'B', 'M', 0, 0};
  HPVSRC src = OpenMemorySource(shortFile.data(), 4);
  EXPECT_EQ(GuessImageType(src), 0) << "shorter than 44 bytes";
  EXPECT_EQ(GetImageError(), kImgFileRead);
  CloseSource(src);
}

// A TGA header whose fields agree is a TGA whatever the file's name; bytes
// that start with two zeros but are no such header are a TGA only when the
// name says so, else a wireless bitmap.
TEST(ImageGuess, TgaByItsHeaderOrItsExtension) {
  TgaSpec spec;
  spec.pixels = {1, 2, 3};
  Bytes tga = MakeTga(spec);
  tga.resize(64, 0);
  Bytes zeros(64, 0);
  struct Row {
    const char* name;
    const Bytes* bytes;
    int type;
  } rows[] = {{"lw_guess.tga", &tga, kImageTga},    {"lw_guess.TGA", &tga, kImageTga},
              {"lw_guess.dat", &tga, kImageTga},    {"lw_guess.wbmp", &tga, kImageTga},
              {"lw_zeros.tga", &zeros, kImageTga},  {"lw_zeros.dat", &zeros, kImageWbmp},
              {"lw_zeros.wbmp", &zeros, kImageWbmp}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::string path = TempPath(r.name);
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(r.bytes->data(), 1, r.bytes->size(), f);
    fclose(f);
    HPVSRC src = OpenFileSource(path.c_str());
    EXPECT_EQ(GuessImageType(src), r.type);
    CloseSource(src);
    DeleteFileA(path.c_str());
  }
}

namespace {

// The pixel bytes of a w x h TGA image of the spec's type and depth: plain
// pixels of value v, or one run packet per row for the run-length types.
Bytes TgaPixels(const TgaSpec& s, uint8_t v) {
  const int bytes = (s.depth + 7) / 8;
  Bytes pixel(bytes, v);
  Bytes out;
  for (int y = 0; y < s.height; ++y) {
    if (s.type >= 9) {
      out.push_back(static_cast<uint8_t>(0x80 | (s.width - 1)));
      Append(out, pixel);
    } else {
      for (int x = 0; x < s.width; ++x) Append(out, pixel);
    }
  }
  return out;
}

// A TGA of 3 x 2 pixels of the given type and depth, with a colour map of
// `mapLength` entries of `mapBits` when that is not 0, and an ID field.
TgaSpec TgaOf(int type, int depth, int mapLength = 0, int mapBits = 24, int idLength = 0) {
  TgaSpec s;
  s.type = type;
  s.width = 3;
  s.height = 2;
  s.depth = depth;
  s.mapLength = mapLength;
  s.mapBits = mapBits;
  s.map = Bytes(static_cast<size_t>(mapLength) * ((mapBits + 7) / 8), 0x40);
  s.id = Bytes(idLength, 'i');
  s.pixels = TgaPixels(s, 1);
  return s;
}

// The file of a spec, padded to the guess's 44 bytes, with `bytes` written
// over it from `at` (a header field changed).
Bytes TgaFile(const TgaSpec& s, int at = 0, std::initializer_list<uint8_t> bytes = {}) {
  Bytes b = MakeTga(s);
  b.resize(std::max<size_t>(b.size(), 44), 0);
  std::copy(bytes.begin(), bytes.end(), b.begin() + at);
  return b;
}

int GuessBytes(const Bytes& file) {
  HPVSRC src = OpenMemorySource(file.data(), static_cast<DWORD>(file.size()));
  const int type = GuessImageType(src);
  CloseSource(src);
  return type;
}

}  // namespace

// Headers of every image type, colour-mapped ones and ones with an ID field
// among them, are taken as TGA from memory, where no name helps, and read.
TEST(ImageGuess, ConsistentTgaHeadersAreRecognisedAndRead) {
  struct Row {
    const char* name;
    TgaSpec spec;
    int descriptor;
  } rows[] = {
      {"type 1, 24-bit map", TgaOf(1, 8, 2), 0x20},
      {"type 1, 16-bit map, ID field", TgaOf(1, 8, 4, 16, 5), 0x20},
      {"type 1, 32-bit map, 16-bit indices", TgaOf(1, 16, 2, 32), 0},
      {"type 1, ID field of 10 bytes (starts like a PCX)", TgaOf(1, 8, 2, 24, 10), 0x20},
      {"type 2, 24 bits, bottom-left", TgaOf(2, 24), 0},
      {"type 2, 32 bits with alpha", TgaOf(2, 32), 0x28},
      {"type 2, 16 bits, right-to-left", TgaOf(2, 16), 0x31},
      {"type 2, 15 bits", TgaOf(2, 15), 0x20},
      {"type 2 with an ignored map", TgaOf(2, 24, 3, 24), 0x20},
      {"type 2, ID field of 10 bytes", TgaOf(2, 24, 0, 24, 10), 0x20},
      {"type 3 grey", TgaOf(3, 8), 0x20},
      {"type 3 grey with alpha", TgaOf(3, 16), 0x28},
      {"type 9, 15-bit map", TgaOf(9, 8, 2, 15), 0x20},
      {"type 9, ID field", TgaOf(9, 8, 2, 24, 1), 0x20},
      {"type 10, 24 bits", TgaOf(10, 24), 0x20},
      {"type 10, ID field of 255 bytes", TgaOf(10, 32, 0, 24, 255), 0x28},
      {"type 11 grey", TgaOf(11, 8), 0},
      {"type 11 with an 8-bit map", TgaOf(11, 8, 256, 8), 0x20},
  };
  for (Row& r : rows) {
    SCOPED_TRACE(r.name);
    r.spec.descriptor = r.descriptor;
    Bytes file = TgaFile(r.spec);
    EXPECT_EQ(GuessBytes(file), kImageTga);
    Decoded d = Decode(file, Reader::Tga, 24);
    EXPECT_TRUE(d.ok) << "error " << d.error;
    EXPECT_EQ(d.width, 3);
    EXPECT_EQ(d.height, 2);
  }
}

// The seeds of every other format, and headers that are nearly a TGA's, are
// not taken as TGA; the TGA seeds are.
TEST(ImageGuess, OtherFormatsAndNearTgaHeadersAreNotTga) {
  int seeds = 0;
  const std::string dir = std::string(LW_SOURCE_DIR) + "/tests/imaging/seeds/";
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((dir + "*").c_str(), &fd);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    SCOPED_TRACE(fd.cFileName);
    const std::string name = fd.cFileName;
    const bool isTga = name.size() > 4 && name.compare(name.size() - 4, 4, ".tga") == 0;
    Bytes file = ReadFileBytes(dir + name);
    file.resize(std::max<size_t>(file.size(), 44), 0);
    EXPECT_EQ(GuessBytes(file) == kImageTga, isTga);
    ++seeds;
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  EXPECT_GT(seeds, 20);

  Bytes ico = {0, 0, 1, 0, 1, 0, 16, 16, 16, 0, 1, 0, 4, 0, 0x28, 1, 0, 0, 22, 0, 0, 0};
  Bytes cur = ico;
  cur[2] = 2;
  Bytes text(std::begin("Hello, this is no picture at all, only text."),
             std::end("Hello, this is no picture at all, only text."));
  struct Row {
    const char* name;
    Bytes file;
  } rows[] = {
      {"image type 0", TgaFile(TgaOf(2, 24), 2, {0})},
      {"image type 4", TgaFile(TgaOf(2, 24), 2, {4})},
      {"image type 12", TgaFile(TgaOf(2, 24), 2, {12})},
      {"image type 0x82", TgaFile(TgaOf(2, 24), 2, {0x82})},
      {"colour-map type 2", TgaFile(TgaOf(1, 8, 2), 1, {2})},
      {"type 1 without a map", TgaFile(TgaOf(1, 8, 2), 1, {0, 1, 0, 0, 0, 0, 0})},
      {"type 9 without a map", TgaFile(TgaOf(9, 8, 2), 1, {0, 9, 0, 0, 0, 0, 0})},
      {"no map but a first entry", TgaFile(TgaOf(2, 24), 3, {1})},
      {"no map but a map length", TgaFile(TgaOf(2, 24), 5, {1})},
      {"no map but an entry size", TgaFile(TgaOf(2, 24), 7, {24})},
      {"a map of no entries", TgaFile(TgaOf(1, 8, 2), 5, {0, 0})},
      {"map entries of 12 bits", TgaFile(TgaOf(1, 8, 2), 7, {12})},
      {"zero width", TgaFile(TgaOf(2, 24), 12, {0, 0})},
      {"zero height", TgaFile(TgaOf(2, 24), 14, {0, 0})},
      {"beyond any decodable size", TgaFile(TgaOf(2, 24), 12, {0xFF, 0xFF, 0xFF, 0xFF})},
      {"true colour of 8 bits", TgaFile(TgaOf(2, 8))},
      {"true colour of 7 bits", TgaFile(TgaOf(2, 24), 16, {7})},
      {"grey of 24 bits", TgaFile(TgaOf(3, 24))},
      {"colour-mapped of 24 bits", TgaFile(TgaOf(1, 24, 2))},
      {"colour-mapped of 32 bits", TgaFile(TgaOf(9, 32, 2))},
      {"reserved descriptor bits", TgaFile(TgaOf(2, 24), 17, {0x60})},
      {"nine attribute bits", TgaFile(TgaOf(2, 32), 17, {0x29})},
      {"icon", ico},
      {"cursor", cur},
      {"text", text},
      {"zeros", Bytes(64, 0)},
  };
  for (Row& r : rows) {
    SCOPED_TRACE(r.name);
    r.file.resize(std::max<size_t>(r.file.size(), 44), 0);
    EXPECT_NE(GuessBytes(r.file), kImageTga);
  }
}

struct DecodeRow {
  const char* name;
  Reader reader;
  Bytes file;
  int width;
  int height;
  Bytes rgb;
  int error;
};

void CheckDecodes(const std::vector<DecodeRow>& rows) {
  for (const DecodeRow& r : rows) {
    SCOPED_TRACE(r.name);
    Decoded d = Decode(r.file, r.reader, 24);
    ASSERT_TRUE(d.ok) << "error " << d.error;
    EXPECT_EQ(d.error, r.error);
    EXPECT_EQ(d.width, r.width);
    EXPECT_EQ(d.height, r.height);
    EXPECT_EQ(d.pixels, r.rgb);
  }
}

namespace {

// A BMP file listing as many colours as the palette holds.
Bytes BmpOf(int w, int h, int bits, Bytes pixels, Bytes palette = {}, int compression = 0,
            Bytes masks = {}, int header = 40) {
  BmpSpec s;
  s.width = w;
  s.height = h;
  s.bits = bits;
  s.pixels = pixels;
  s.palette = palette;
  s.clrUsed = static_cast<uint32_t>(palette.size() / 4);
  s.compression = compression;
  s.masks = masks;
  s.headerSize = header;
  return MakeBmp(s);
}

}  // namespace

TEST(ImageBmp, DecodeTable) {
  Bytes p16 = Palette16(), p256 = Palette256();
  Bytes bgr2 = {10, 20, 30, 0, 40, 50, 60, 0};
  std::vector<DecodeRow> rows = {
      {"1-bit bottom-up", Reader::Bmp, BmpOf(9, 2, 1, {0xA5, 0x80, 0, 0, 0x5A, 0x00, 0, 0}, BlackWhite()), 9, 2,
       ViaPalette(BlackWhite(), {0, 1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 0, 1, 1}), 0},
      {"4-bit bottom-up", Reader::Bmp, BmpOf(3, 2, 4, {0x12, 0x30, 0, 0, 0xFE, 0xD0, 0, 0}, p16), 3, 2,
       ViaPalette(p16, {15, 14, 13, 1, 2, 3}), 0},
      {"8-bit top-down", Reader::Bmp, BmpOf(3, -2, 8, {1, 2, 3, 0, 250, 251, 252, 0}, p256), 3, 2,
       ViaPalette(p256, {1, 2, 3, 250, 251, 252}), 0},
      {"16-bit 5-5-5", Reader::Bmp, BmpOf(2, 1, 16, Le16s({0x7FFF, 0x001F})), 2, 1, {255, 255, 255, 7, 7, 255}, 0},
      {"16-bit 5-6-5 bit fields", Reader::Bmp,
       BmpOf(2, 1, 16, Le16s({0xFFFF, 0xF800}), {}, 3, Le32s({0xF800, 0x07E0, 0x001F})), 2, 1,
       {255, 255, 255, 255, 3, 7}, 0},
      {"24-bit bottom-up", Reader::Bmp, BmpOf(2, 2, 24, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}), 2, 2,
       {9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}, 0},
      {"24-bit top-down", Reader::Bmp, BmpOf(2, -2, 24, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}), 2, 2,
       {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}, 0},
      {"32-bit, V5 header", Reader::Bmp, BmpOf(1, 1, 32, {1, 2, 3, 0}, {}, 0, {}, 124), 1, 1, {3, 2, 1}, 0},
      {"32-bit bit fields in a V4 header", Reader::Bmp,
       BmpOf(1, 1, 32, {1, 2, 3, 0}, {}, 3, Le32s({0xFF, 0xFF00, 0xFF0000}), 108), 1, 1, {1, 2, 3}, 0},
      {"8-bit, palette after a V4 header", Reader::Bmp, BmpOf(1, 1, 8, {1, 0, 0, 0}, bgr2, 0, {}, 108), 1, 1,
       {60, 50, 40}, 0},
      {"RLE8 delta and odd absolute run", Reader::Bmp,
       BmpOf(4, 3, 8, {2, 5, 0, 0, 0, 3, 1, 2, 3, 0, 0, 2, 0, 1, 1, 7, 0, 1}, p256, 1), 4, 3,
       ViaPalette(p256, {0, 0, 0, 7, 1, 2, 3, 0, 5, 5, 0, 0}), 0},
      {"RLE4 odd absolute run and a run", Reader::Bmp,
       BmpOf(5, 2, 4, {0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 5, 0x12, 0, 1}, p16, 2), 5, 2,
       ViaPalette(p16, {1, 2, 1, 2, 1, 1, 2, 3, 4, 5}), 0},
      {"RLE8 runs past the row are dropped", Reader::Bmp, BmpOf(2, 1, 8, {5, 9, 0, 1}, p256, 1), 2, 1,
       ViaPalette(p256, {9, 9}), 0},
      {"RLE8 without end code", Reader::Bmp, BmpOf(2, 1, 8, {2, 5}, p256, 1), 2, 1, ViaPalette(p256, {5, 5}),
       kImgFileRead},
  };
  CheckDecodes(rows);
}

TEST(ImageBmp, EightBitReadsFillThePalette) {
  BmpSpec s;
  s.width = 2;
  s.bits = 4;
  s.palette = Palette16();
  s.clrUsed = 16;
  s.pixels = {0x1F, 0, 0, 0};
  Decoded d = Decode(MakeBmp(s), Reader::Bmp, 8);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.pixels, (Bytes{1, 15}));
  EXPECT_EQ(d.palette[15].rgbRed, 15 * 8);
  for (int i = 16; i < 256; ++i) EXPECT_EQ(d.palette[i].rgbGreen, 255) << i;

  s.offBitsDelta = -4;  // pixel offset inside the palette
  EXPECT_EQ(Decode(MakeBmp(s), Reader::Bmp, 8).error, kImgBadBmp);
  Decoded d24 = Decode(MakeBmp(s), Reader::Bmp, 24);
  EXPECT_TRUE(d24.ok) << "24-bit reads seek back to the offset";
  EXPECT_EQ(d24.error, 0);

  BmpSpec one;
  one.width = 9;
  one.bits = 1;
  one.palette = BlackWhite();
  one.pixels = {0xA5, 0x80, 0, 0};
  Decoded packed = Decode(MakeBmp(one), Reader::Bmp, 1, 2);
  ASSERT_TRUE(packed.ok);
  EXPECT_EQ(packed.pixels, (Bytes{0xA5, 0x80}));
}

TEST(ImageBmp, MalformedFilesAreRefused) {
  auto base = [] {
    BmpSpec s;
    s.width = 2;
    s.height = 2;
    s.pixels = Bytes(16, 9);
    return s;
  };
  struct Row {
    const char* name;
    BmpSpec spec;
    int bits;
    int error;
  };
  std::vector<Row> rows;
  BmpSpec s = base();
  s.offBitsDelta = 0x7FFFFF00;
  rows.push_back({"huge pixel offset", s, 24, kImgBadBmp});
  s = base();
  s.width = 0;
  rows.push_back({"zero width", s, 24, kImgBadBmp});
  s = base();
  s.width = -3;
  rows.push_back({"negative width", s, 24, kImgBadBmp});
  s = base();
  s.height = 0;
  rows.push_back({"zero height", s, 24, kImgBadBmp});
  s = base();
  s.width = s.height = 65536;
  rows.push_back({"over the pixel cap", s, 24, kImgBadBmp});
  s = base();
  s.width = 0x7FFFFFFF;
  s.height = 1;
  rows.push_back({"row size past 32 bits", s, 24, kImgBadBmp});
  s = base();
  s.compression = 5;
  rows.push_back({"unknown compression", s, 24, kImgBadBmp});
  s = base();
  s.compression = 1;
  rows.push_back({"RLE8 at 24 bits per pixel", s, 24, kImgBadBmp});
  s = base();
  s.bits = 7;
  rows.push_back({"7 bits per pixel", s, 24, kImgBadBmp});
  s = base();
  s.headerSize = 16;
  rows.push_back({"info header between the core and the 40-byte forms", s, 24, kImgBadBmp});
  for (int bits : {16, 32}) {
    s = base();
    s.headerSize = 12;
    s.bits = bits;
    rows.push_back({"core header of 16 or 32 bits", s, 24, kImgBadBmp});
  }
  s = base();
  s.headerSize = 12;
  s.width = 0;
  rows.push_back({"core header of zero width", s, 24, kImgBadBmp});
  s = base();
  rows.push_back({"24-bit file read at 8 bits", s, 8, kImgWrongDepth});
  s = base();
  s.bits = 8;
  s.compression = 1;
  s.height = -2;
  s.palette = Palette256();
  rows.push_back({"top-down RLE", s, 24, kImgBadBmp});
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Decoded d = Decode(MakeBmp(r.spec), Reader::Bmp, r.bits);
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.error, r.error);
  }
  Bytes notBmp = MakeBmp(base());
  notBmp[1] = 'X';
  EXPECT_EQ(Decode(notBmp, Reader::Bmp, 24).error, kImgBadBmp);
  Bytes header = MakeBmp(base());
  header.resize(30);
  EXPECT_EQ(Decode(header, Reader::Bmp, 24).error, kImgFileRead);

  // Truncated rows: the rows read so far, the rest zero, and code 3.
  BmpSpec t = base();
  t.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
  Decoded d = Decode(MakeBmp(t), Reader::Bmp, 24);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.error, kImgFileRead);
  EXPECT_EQ(d.pixels, (Bytes{0, 0, 0, 0, 0, 0, 3, 2, 1, 6, 5, 4}));
}

TEST(ImageBmp, WriteThenReadRoundTrips) {
  struct Row {
    const char* name;
    int bits;
  } rows[] = {{"8 bits", 8}, {"24 bits", 24}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const int w = 5, h = 3;
    Bytes pixels(w * h * r.bits / 8);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 37 + 11);
    Bytes pal = Palette256();
    std::string path = TempPath("lw_roundtrip.bmp");
    HPVDEST dest = OpenFileDest(path.c_str());
    ASSERT_NE(dest, nullptr);
    DWORD size = WriteBmp(dest, pixels.data(), w, h, r.bits, r.bits == 8 ? 256 : 0,
                          reinterpret_cast<const RGBQUAD*>(pal.data()), FALSE);
    EXPECT_EQ(size, CloseDest(dest));
    HPVSRC src = OpenFileSource(path.c_str());
    int rw = 0, rh = 0;
    RGBQUAD readPal[256];
    BYTE* read = ReadBmp(src, &rw, &rh, r.bits, readPal);
    CloseSource(src);
    DeleteFileA(path.c_str());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(GetImageError(), 0);
    EXPECT_EQ(rw, w);
    EXPECT_EQ(rh, h);
    EXPECT_EQ(Bytes(read, read + pixels.size()), pixels);
    if (r.bits == 8) {
      EXPECT_EQ(memcmp(readPal, pal.data(), 1024), 0);
    }
    GlobalFree(read);
  }
}

namespace {

// The BMP file the writer made, with the 12-byte core header instead of
// the 40-byte one: 16-bit sizes and 3-byte palette entries, the pixel rows
// as they are.
Bytes ToCoreHeader(const Bytes& bmp) {
  BmpSpec s;
  s.headerSize = 12;
  s.width = static_cast<int>(ReadLe32(&bmp[18]));
  s.height = static_cast<int>(ReadLe32(&bmp[22]));
  s.bits = ReadLe16(&bmp[28]);
  const size_t offBits = ReadLe32(&bmp[10]);
  s.palette.assign(bmp.begin() + 54, bmp.begin() + offBits);
  s.pixels.assign(bmp.begin() + offBits, bmp.end());
  return MakeBmp(s);
}

}  // namespace

// Old BMP files with the core header read as the same picture written with
// the 40-byte header, at 24 bits and (palette files) at 8 bits with the
// same palette; a core palette shorter than the depth's, ended by the
// pixel offset, is read as far as it goes.
TEST(ImageBmp, CoreHeaderReadsAsItsInfoHeaderTwin) {
  struct Row {
    const char* name;
    int bits;
    int colours;
  } rows[] = {{"1 bit", 1, 2}, {"4 bits", 4, 16}, {"8 bits", 8, 256}, {"24 bits", 24, 0},
              {"8 bits, 16 palette entries", 8, 16}};
  const int w = 13, h = 5;
  uint32_t seed = 3;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const int rowBytes = r.bits == 1 ? (w + 7) / 8 : r.bits == 4 ? (w + 1) / 2 : w * r.bits / 8;
    Bytes pixels(static_cast<size_t>(rowBytes) * h);
    for (uint8_t& b : pixels) {
      seed = seed * 1103515245u + 12345u;
      b = static_cast<uint8_t>(seed >> 24);
      if (r.bits == 8) b %= r.colours;
    }
    const Bytes pal = Palette256();
    const std::string path = TempPath("lw_core_twin.bmp");
    HPVDEST dest = OpenFileDest(path.c_str());
    ASSERT_NE(dest, nullptr);
    ASSERT_NE(WriteBmp(dest, pixels.data(), w, h, r.bits, r.colours,
                       reinterpret_cast<const RGBQUAD*>(pal.data()), FALSE),
              0u);
    CloseDest(dest);
    const Bytes info = ReadFileBytes(path);
    DeleteFileA(path.c_str());
    const Bytes core = ToCoreHeader(info);
    for (int bits : {24, 8}) {
      if (bits == 8 && r.bits > 8) continue;
      SCOPED_TRACE(testing::Message() << "read at " << bits << " bits");
      const Decoded want = Decode(info, Reader::Bmp, bits);
      ASSERT_TRUE(want.ok);
      ASSERT_EQ(want.error, 0);
      const Decoded got = Decode(core, Reader::Bmp, bits);
      ASSERT_TRUE(got.ok) << "error " << got.error;
      EXPECT_EQ(got.error, 0);
      EXPECT_EQ(got.width, w);
      EXPECT_EQ(got.height, h);
      EXPECT_TRUE(got.pixels == want.pixels);
      if (bits == 8) {
        EXPECT_EQ(memcmp(got.palette, want.palette, sizeof(got.palette)), 0);
      }
    }
  }
}

TEST(ImageBmp, RunLengthWriterReadsBack) {
  Bytes pixels = {3, 3, 3, 4, 5, 5, 9, 9, 9, 9, 9, 9};
  Bytes pal = Palette256();
  std::string path = TempPath("lw_rle.bmp");
  HPVDEST dest = OpenFileDest(path.c_str());
  ASSERT_NE(WriteBmp(dest, pixels.data(), 6, 2, 8, 256, reinterpret_cast<const RGBQUAD*>(pal.data()), TRUE),
            0u);
  CloseDest(dest);
  HPVSRC src = OpenFileSource(path.c_str());
  int w, h;
  RGBQUAD readPal[256];
  BYTE* read = ReadBmp(src, &w, &h, 8, readPal);
  EXPECT_EQ(GetImageError(), 0);
  CloseSource(src);
  DeleteFileA(path.c_str());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(Bytes(read, read + 12), pixels);
  GlobalFree(read);
}

TEST(ImagePcx, DecodeTable) {
  Bytes vga;  // the 256-colour palette: entry i = (i, 255 - i, i / 2)
  vga.push_back(0x0C);
  for (int i = 0; i < 256; ++i) vga.insert(vga.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
  auto pcx = [](int version, int w, int h, int bpp, int planes, int bpl, Bytes data, Bytes tail = {},
                Bytes pal16 = Bytes(48, 0)) {
    PcxSpec s;
    s.version = version;
    s.width = w;
    s.height = h;
    s.bitsPerPlane = bpp;
    s.planes = planes;
    s.bytesPerLine = bpl;
    s.data = data;
    s.tail = tail;
    s.palette16 = pal16;
    return MakePcx(s);
  };
  Bytes rgb16(48);
  for (int i = 0; i < 48; ++i) rgb16[i] = static_cast<uint8_t>(i);
  auto vgaRgb = [](std::vector<int> idx) {
    Bytes b;
    for (int i : idx) b.insert(b.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    return b;
  };
  auto headerRgb = [](std::vector<int> idx) {
    Bytes b;
    for (int i : idx) b.insert(b.end(), {uint8_t(3 * i), uint8_t(3 * i + 1), uint8_t(3 * i + 2)});
    return b;
  };
  Bytes longData(800, 0);  // enough data that the palette is not the pixels
  std::vector<DecodeRow> rows = {
      {"version 5, 8 bits, palette", Reader::Pcx, pcx(5, 3, 2, 8, 1, 4, {0xC3, 7, 0, 1, 2, 3, 0}, vga), 3, 2,
       vgaRgb({7, 7, 7, 1, 2, 3}), 0},
      {"version 5, 8 bits, no palette marker", Reader::Pcx, pcx(5, 2, 1, 8, 1, 2, {9, 100}), 2, 1,
       {9, 9, 9, 100, 100, 100}, 0},
      {"24 bits in three planes", Reader::Pcx, pcx(5, 2, 1, 8, 3, 2, {10, 20, 30, 40, 0xC2, 50}), 2, 1,
       {10, 30, 50, 20, 40, 50}, 0},
      {"1 bit is black and white", Reader::Pcx, pcx(2, 8, 1, 1, 1, 2, {0x55, 0}, {}, rgb16), 8, 1,
       {0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255}, 0},
      {"four 1-bit planes", Reader::Pcx, pcx(3, 8, 1, 1, 4, 1, {0xC1, 0xFF, 0x0F, 0xC1, 0xF0, 0xAA}, {}, rgb16),
       8, 1, headerRgb({13, 5, 13, 5, 11, 3, 11, 3}), 0},
      {"4 bits, one plane", Reader::Pcx, pcx(3, 3, 1, 4, 1, 2, {0x12, 0x30}, {}, rgb16), 3, 1,
       headerRgb({1, 2, 3}), 0},
      {"2 bits, one plane", Reader::Pcx, pcx(3, 3, 1, 2, 1, 1, {0x1B}, {}, rgb16), 3, 1, headerRgb({0, 1, 2}),
       0},
      {"run cut at the end of the scan line", Reader::Pcx, pcx(0, 2, 2, 8, 1, 2, {0xC3, 9, 0xC2, 4}), 2, 2,
       {9, 9, 9, 9, 9, 9, 4, 4, 4, 4, 4, 4}, 0},
      {"lines shorter than the row are zero-padded", Reader::Pcx, pcx(0, 3, 1, 8, 1, 1, {9}), 3, 1,
       {9, 9, 9, 0, 0, 0, 0, 0, 0}, 0},
      {"missing data gives zero rows", Reader::Pcx, pcx(0, 2, 2, 8, 1, 2, {5}), 2, 2,
       {5, 5, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0},
  };
  CheckDecodes(rows);

  Decoded indexed = Decode(pcx(5, 3, 2, 8, 1, 4, {0xC3, 7, 0, 1, 2, 3, 0}, vga), Reader::Pcx, 8);
  ASSERT_TRUE(indexed.ok);
  EXPECT_EQ(indexed.pixels, (Bytes{7, 7, 7, 1, 2, 3}));
  EXPECT_EQ(indexed.palette[7].rgbRed, 7);
  EXPECT_EQ(indexed.palette[7].rgbGreen, 248);
  EXPECT_EQ(indexed.palette[7].rgbBlue, 3);
}

TEST(ImagePcx, MalformedFilesAreRefused) {
  struct Row {
    const char* name;
    int manufacturer, version, bpp, planes, width, bpl, bits, error;
  } rows[] = {
      {"zero planes", 0x0A, 5, 8, 0, 2, 2, 24, kImgBadPcx},
      {"two 8-bit planes", 0x0A, 5, 8, 2, 2, 2, 24, kImgBadPcx},
      {"four 8-bit planes", 0x0A, 5, 8, 4, 2, 2, 24, kImgBadPcx},
      {"two 4-bit planes", 0x0A, 5, 4, 2, 2, 2, 24, kImgBadPcx},
      {"version 4", 0x0A, 4, 8, 1, 2, 2, 24, kImgBadPcx},
      {"not a PCX", 0x0B, 5, 8, 1, 2, 2, 24, kImgBadPcx},
      {"zero bytes per line", 0x0A, 5, 8, 1, 2, 0, 24, kImgBadPcx},
      {"24 bits read at 8", 0x0A, 5, 8, 3, 2, 2, 8, kImgWrongDepth},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    PcxSpec s;
    s.version = r.version;
    s.bitsPerPlane = r.bpp;
    s.planes = r.planes;
    s.width = r.width;
    s.bytesPerLine = r.bpl;
    s.data = {1, 2, 3, 4, 5, 6};
    Bytes file = MakePcx(s);
    file[0] = static_cast<uint8_t>(r.manufacturer);
    Decoded d = Decode(file, Reader::Pcx, r.bits);
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.error, r.error);
  }
  PcxSpec s;
  s.width = 2;
  s.data = {1, 2};
  Bytes file = MakePcx(s);
  file[4] = 5;  // xmin after xmax
  EXPECT_EQ(Decode(file, Reader::Pcx, 24).error, kImgBadPcx);
}

TEST(ImageTga, DecodeTable) {
  auto tga = [](int type, int w, int h, int depth, int desc, Bytes pixels, Bytes map = {}, int mapLength = 0,
                int mapBits = 24, int mapFirst = 0, Bytes id = {}) {
    TgaSpec s;
    s.type = type;
    s.width = w;
    s.height = h;
    s.depth = depth;
    s.descriptor = desc;
    s.pixels = pixels;
    s.map = map;
    s.mapLength = mapLength;
    s.mapBits = mapBits;
    s.mapFirst = mapFirst;
    s.id = id;
    return MakeTga(s);
  };
  Bytes bigMap;
  for (int i = 0; i < 300; ++i) bigMap.push_back(static_cast<uint8_t>(i));
  std::vector<DecodeRow> rows = {
      {"type 2, 24 bits, top-left", Reader::Tga, tga(2, 2, 1, 24, 0x20, {1, 2, 3, 4, 5, 6}), 2, 1,
       {3, 2, 1, 6, 5, 4}, 0},
      {"type 2, 24 bits, bottom-left", Reader::Tga, tga(2, 1, 2, 24, 0, {1, 2, 3, 4, 5, 6}), 1, 2,
       {6, 5, 4, 3, 2, 1}, 0},
      {"type 2, 32 bits", Reader::Tga, tga(2, 1, 1, 32, 0x28, {1, 2, 3, 99}), 1, 1, {3, 2, 1}, 0},
      {"type 2, 16 bits", Reader::Tga, tga(2, 2, 1, 16, 0x20, Le16s({0x7C00, 0x001F})), 2, 1,
       {248, 0, 0, 0, 0, 248}, 0},
      {"type 1 with an ID field", Reader::Tga,
       tga(1, 2, 1, 8, 0x20, {1, 0}, {1, 2, 3, 4, 5, 6}, 2, 24, 0, {'i', 'd'}), 2, 1, {6, 5, 4, 3, 2, 1}, 0},
      {"type 1, map from index 2; indices past it black", Reader::Tga,
       tga(1, 3, 1, 8, 0x20, {2, 0, 200}, {7, 8, 9}, 1, 24, 2), 3, 1, {9, 8, 7, 0, 0, 0, 0, 0, 0}, 0},
      {"type 1, map of 300 entries", Reader::Tga, tga(1, 1, 1, 8, 0x20, {5}, bigMap, 300, 8), 1, 1, {5, 5, 5},
       0},
      {"type 3 grey", Reader::Tga, tga(3, 2, 1, 8, 0x20, {9, 200}), 2, 1, {9, 9, 9, 200, 200, 200}, 0},
      {"type 9 with a 16-bit map", Reader::Tga,
       tga(9, 3, 1, 8, 0x20, {0x81, 1, 0x00, 0}, Le16s({0x7C00, 0x03E0}), 2, 16), 3, 1,
       {0, 248, 0, 0, 248, 0, 248, 0, 0}, 0},
      {"type 10, a run across rows", Reader::Tga, tga(10, 2, 2, 24, 0x20, {0x83, 1, 2, 3}), 2, 2,
       {3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1}, 0},
      {"type 10, a run past the end stops there", Reader::Tga, tga(10, 2, 1, 24, 0x20, {0xFF, 1, 2, 3}), 2, 1,
       {3, 2, 1, 3, 2, 1}, 0},
      {"type 11 grey, bottom-left", Reader::Tga, tga(11, 2, 2, 8, 0, {0x01, 10, 20, 0x81, 30}), 2, 2,
       {30, 30, 30, 30, 30, 30, 10, 10, 10, 20, 20, 20}, 0},
  };
  CheckDecodes(rows);

  Decoded indexed = Decode(tga(1, 2, 1, 8, 0x20, {1, 0}, {1, 2, 3, 4, 5, 6}, 2), Reader::Tga, 8);
  ASSERT_TRUE(indexed.ok);
  EXPECT_EQ(indexed.pixels, (Bytes{1, 0}));
  EXPECT_EQ(indexed.palette[1].rgbBlue, 4);
  EXPECT_EQ(indexed.palette[1].rgbRed, 6);

  struct Bad {
    const char* name;
    Bytes file;
    int bits;
    int error;
  } bad[] = {
      {"truncated", tga(2, 2, 2, 24, 0x20, {1, 2, 3}), 24, kImgFileRead},
      {"truncated run", tga(10, 2, 2, 24, 0x20, {0x01, 1, 2, 3}), 24, kImgFileRead},
      {"depth 7", tga(2, 1, 1, 7, 0x20, {1}), 24, kImgBadTga},
      {"depth 12", tga(2, 1, 1, 12, 0x20, {1, 2}), 24, kImgFileRead},
      {"type 4", tga(4, 1, 1, 24, 0x20, {1, 2, 3}), 24, kImgBadTga},
      {"zero width", tga(2, 0, 1, 24, 0x20, {1, 2, 3}), 24, kImgBadTga},
      {"map entries of 12 bits", tga(1, 1, 1, 8, 0x20, {0}, {1, 2}, 1, 12), 24, kImgBadTga},
      {"24 bits read at 8", tga(2, 1, 1, 24, 0x20, {1, 2, 3}), 8, kImgWrongDepth},
      {"colour-mapped without a map at 8", tga(1, 1, 1, 8, 0x20, {0}), 8, kImgBadTga},
  };
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.name);
    Decoded d = Decode(b.file, Reader::Tga, b.bits);
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.error, b.error);
  }
}

namespace {

Bytes WriteJpegBytes(const Bytes& pixels, int w, int h, int bits, int quality, BOOL progressive) {
  std::string path = TempPath("lw_jpeg.jpg");
  HPVDEST dest = OpenFileDest(path.c_str());
  DWORD size = WriteJpeg(dest, pixels.data(), w, h, quality, progressive, bits, nullptr);
  DWORD closed = CloseDest(dest);
  EXPECT_EQ(size, closed);
  Bytes b = ReadFileBytes(path);
  DeleteFileA(path.c_str());
  return b;
}

}  // namespace

TEST(ImageJpeg, WriteThenReadWithinTolerance) {
  const int w = 32, h = 24;
  Bytes rgb(w * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &rgb[(y * w + x) * 3];
      p[0] = static_cast<uint8_t>(x * 8);
      p[1] = static_cast<uint8_t>(y * 10);
      p[2] = 128;
    }
  for (BOOL progressive : {FALSE, TRUE}) {
    SCOPED_TRACE(progressive ? "progressive" : "baseline");
    Bytes file = WriteJpegBytes(rgb, w, h, 24, 100, progressive);
    ASSERT_GT(file.size(), 100u);
    Decoded d = Decode(file, Reader::Jpeg, 24);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.error, 0);
    ASSERT_EQ(d.width, w);
    ASSERT_EQ(d.height, h);
    int worst = 0;
    for (size_t i = 0; i < rgb.size(); ++i) worst = std::max(worst, std::abs(d.pixels[i] - rgb[i]));
    EXPECT_LE(worst, 8) << "quality 100 with 2x2 chroma subsampling";
  }
  // Grey: written and read at 8 bits, and read at 24 with equal channels.
  Bytes grey(w * h);
  for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i % 200);
  Bytes greyFile = WriteJpegBytes(grey, w, h, 8, 100, FALSE);
  Decoded g8 = Decode(greyFile, Reader::Jpeg, 8);
  ASSERT_TRUE(g8.ok);
  int worst = 0;
  for (size_t i = 0; i < grey.size(); ++i) worst = std::max(worst, std::abs(g8.pixels[i] - grey[i]));
  EXPECT_LE(worst, 4);
  Decoded g24 = Decode(greyFile, Reader::Jpeg, 24);
  ASSERT_TRUE(g24.ok);
  for (int i = 0; i < w * h; ++i) {
    ASSERT_EQ(g24.pixels[3 * i], g24.pixels[3 * i + 1]);
    ASSERT_EQ(g24.pixels[3 * i], g24.pixels[3 * i + 2]);
  }
  // A colour file read at 8 bits is converted to grey.
  Bytes colourFile = WriteJpegBytes(rgb, w, h, 24, 100, FALSE);
  Decoded c8 = Decode(colourFile, Reader::Jpeg, 8);
  ASSERT_TRUE(c8.ok);
  EXPECT_NEAR(c8.pixels[0], 0.114 * 128, 6);
}

TEST(ImageJpeg, FailuresAndTruncation) {
  Bytes rgb(16 * 16 * 3, 90);
  Bytes file = WriteJpegBytes(rgb, 16, 16, 24, 90, FALSE);
  ASSERT_GT(file.size(), 200u);

  Bytes noisy(32 * 32 * 3);
  for (size_t i = 0; i < noisy.size(); ++i) noisy[i] = static_cast<uint8_t>((i * 7919) % 251);
  Bytes full = WriteJpegBytes(noisy, 32, 32, 24, 90, FALSE);
  ASSERT_GT(full.size(), 1000u);
  Bytes cut(full.begin(), full.end() - 300);
  Decoded d = Decode(cut, Reader::Jpeg, 24);
  ASSERT_TRUE(d.ok) << "a cut file decodes what it holds; error " << d.error;
  EXPECT_EQ(d.error, 0);
  EXPECT_EQ(d.width, 32);

  Bytes notJpeg(100, 0x42);
  EXPECT_EQ(Decode(notJpeg, Reader::Jpeg, 24).error, kImgBadJpeg);
  Bytes headerOnly(file.begin(), file.begin() + 2);
  EXPECT_EQ(Decode(headerOnly, Reader::Jpeg, 24).error, kImgBadJpeg);
  EXPECT_EQ(Decode(file, Reader::Jpeg, 16).error, kImgBadParam);

  std::string path = TempPath("lw_jpeg16.jpg");
  HPVDEST dest = OpenFileDest(path.c_str());
  OpenMemorySource(nullptr, 0);
  EXPECT_EQ(WriteJpeg(dest, rgb.data(), 16, 16, 90, FALSE, 16, nullptr), 0u);
  EXPECT_EQ(GetImageError(), 0) << "an unknown depth writes nothing and clears the error";
  EXPECT_EQ(WriteJpeg(dest, rgb.data(), 0, 16, 90, FALSE, 24, nullptr), 0u);
  EXPECT_EQ(GetImageError(), kImgBadParam);
  CloseDest(dest);
  DeleteFileA(path.c_str());

  Bytes src(16, 0);
  HPVSRC memory = OpenMemorySource(src.data(), 16);
  EXPECT_EQ(WriteJpeg(memory, rgb.data(), 16, 16, 90, FALSE, 24, nullptr), 0u)
      << "a write that fails is not reported as success";
  EXPECT_EQ(GetImageError(), kImgFileWrite);
  CloseSource(memory);
}

// Arithmetic-coded files (sequential with restarts, and progressive) hold
// the coefficients of a picture this library wrote with Huffman coding
// (tools/fuzz/make-jpeg-seeds.cpp): they read as its very pixels.
TEST(ImageJpeg, ArithmeticCodedReadsAsItsHuffmanTwin) {
  const std::string dir = std::string(LW_SOURCE_DIR) + "/tests/imaging/seeds/";
  const Decoded reference = Decode(ReadFileBytes(dir + "huffman.jpg"), Reader::Jpeg, 24);
  ASSERT_TRUE(reference.ok);
  ASSERT_EQ(reference.width, 61);
  for (const char* name : {"arithmetic.jpg", "arithmetic-progressive.jpg"}) {
    SCOPED_TRACE(name);
    Decoded d = Decode(ReadFileBytes(dir + name), Reader::Jpeg, 24);
    ASSERT_TRUE(d.ok) << "error " << d.error;
    EXPECT_EQ(d.error, 0);
    EXPECT_EQ(d.width, reference.width);
    EXPECT_EQ(d.height, reference.height);
    EXPECT_TRUE(d.pixels == reference.pixels);
  }
}

namespace {

// A smooth picture: red a wave along x, green one along y, blue their mean.
struct WavePicture {
  WavePicture(int w, int h) : red(w), green(h) {
    for (int x = 0; x < w; ++x) red[x] = static_cast<uint8_t>(128.5 + 100 * std::sin(x * 6.2831853 / 1500));
    for (int y = 0; y < h; ++y) green[y] = static_cast<uint8_t>(128.5 + 100 * std::cos(y * 6.2831853 / 1100));
  }
  uint8_t Blue(int x, int y) const { return static_cast<uint8_t>((red[x] + green[y] + 1) / 2); }
  Bytes Rgb() const {
    Bytes rgb(red.size() * green.size() * 3);
    uint8_t* p = rgb.data();
    for (size_t y = 0; y < green.size(); ++y)
      for (size_t x = 0; x < red.size(); ++x, p += 3) {
        p[0] = red[x];
        p[1] = green[y];
        p[2] = Blue(static_cast<int>(x), static_cast<int>(y));
      }
    return rgb;
  }
  Bytes red, green;
};

}  // namespace

// A photo over the pixel limit (108 megapixels, as phones write) is read
// scaled down by the decoder, to half of each side: the picture it holds
// reduced, each pixel within a few steps of the mean of the 2 x 2 pixels
// it stands for.
TEST(ImageJpeg, OverTheLimitReadsScaledDown) {
  const int w = 10800, h = 10000;
  const WavePicture picture(w, h);
  const Bytes file = WriteJpegBytes(picture.Rgb(), w, h, 24, 90, FALSE);
  ASSERT_GT(file.size(), 1000u);
  const Decoded d = Decode(file, Reader::Jpeg, 24);
  ASSERT_TRUE(d.ok) << "error " << d.error;
  EXPECT_EQ(d.error, 0);
  const int rw = d.width, rh = d.height;
  ASSERT_EQ(rw, w / 2);
  ASSERT_EQ(rh, h / 2);
  double worst = 0, sum = 0;
  const uint8_t* p = d.pixels.data();
  for (int y = 0; y < rh; ++y)
    for (int x = 0; x < rw; ++x, p += 3) {
      const int l = 2 * x, t = 2 * y;
      const double want[3] = {
          (picture.red[l] + picture.red[l + 1]) / 2.0, (picture.green[t] + picture.green[t + 1]) / 2.0,
          (picture.Blue(l, t) + picture.Blue(l + 1, t) + picture.Blue(l, t + 1) + picture.Blue(l + 1, t + 1)) / 4.0};
      for (int c = 0; c < 3; ++c) {
        const double d = std::fabs(p[c] - want[c]);
        worst = std::max(worst, d);
        sum += d;
      }
    }
  EXPECT_LE(worst, 6.0);
  EXPECT_LE(sum / (3.0 * rw * rh), 1.0);
}

// Sizes declared by a header with no data behind it: up to four times the
// pixel limit they are read scaled down (to half of each side, or a
// quarter when the half, rounded up, is still over the limit) and hold
// what the data held; a larger one is refused from its header, before any
// pixel memory is taken.
TEST(ImageJpeg, DeclaredSizesOverTheLimit) {
  Bytes rgb(16 * 16 * 3, 90);
  const Bytes file = WriteJpegBytes(rgb, 16, 16, 24, 90, FALSE);
  const struct {
    int w, h;
    int readW, readH;  // 0: refused
  } rows[] = {{16320, 12240, 8160, 6120}, {19999, 20001, 5000, 5001}, {20000, 20001, 0, 0},
              {65535, 65535, 0, 0}};
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.w << "x" << r.h);
    Bytes declared = file;
    for (size_t i = 0; i + 8 < declared.size(); ++i)
      if (declared[i] == 0xFF && declared[i + 1] == 0xC0) {
        declared[i + 5] = static_cast<uint8_t>(r.h >> 8);
        declared[i + 6] = static_cast<uint8_t>(r.h);
        declared[i + 7] = static_cast<uint8_t>(r.w >> 8);
        declared[i + 8] = static_cast<uint8_t>(r.w);
        break;
      }
    const Decoded d = Decode(declared, Reader::Jpeg, 24, 1);
    EXPECT_EQ(d.ok, r.readW != 0);
    EXPECT_EQ(d.error, r.readW ? 0 : kImgBadJpeg);
    EXPECT_EQ(d.width, r.readW);
    EXPECT_EQ(d.height, r.readH);
  }
}

// ---- pixel blocks handed back ------------------------------------------------

namespace {

// Pictures of these sizes give blocks large enough to be kept.
const int kKeptWidth = 512, kKeptHeight = 256;

Bytes PlainBmp(int w, int h, uint8_t value) {
  BmpSpec s;
  s.width = w;
  s.height = h;
  s.pixels.assign(static_cast<size_t>(w) * 3 * h, value);
  return MakeBmp(s);
}

// The block a read returned (handed back at once), and its size.
struct ReadBlock {
  BYTE* block;
  int width, height;
};
ReadBlock ReadBlockOf(const Bytes& file) {
  ReadBlock r = {nullptr, 0, 0};
  HPVSRC src = OpenMemorySource(file.data(), static_cast<DWORD>(file.size()));
  if (!src) return r;
  r.block = ReadBmp(src, &r.width, &r.height, 24, nullptr);
  CloseSource(src);
  return r;
}

BOOL CALLBACK StopAfterRow(int row, int, int last) { return row < last; }

// Reads a picture of one value and hands the block back, many times;
// counts the reads that failed or saw another value.
struct RepeatedRead {
  Bytes file;
  uint8_t value;
  int wrong;
};
DWORD WINAPI ReadAndHandBack(void* param) {
  RepeatedRead* job = static_cast<RepeatedRead*>(param);
  for (int i = 0; i < 40; ++i) {
    ReadBlock r = ReadBlockOf(job->file);
    const size_t bytes = static_cast<size_t>(r.width) * r.height * 3;
    if (!r.block || std::count(r.block, r.block + bytes, job->value) != static_cast<ptrdiff_t>(bytes))
      ++job->wrong;
    FreeImageBlock(r.block);
  }
  return 0;
}

}  // namespace

TEST(ImageBlocks, AHandedBackBlockServesTheNextReadOfAboutItsSize) {
  EmptyKeptPixelBlocks();
  const Bytes picture = PlainBmp(kKeptWidth, kKeptHeight, 7);
  ReadBlock first = ReadBlockOf(picture);
  ASSERT_NE(first.block, nullptr);
  FreeImageBlock(first.block);
  ReadBlock again = ReadBlockOf(picture);
  EXPECT_EQ(again.block, first.block) << "the kept block is taken again";
  ASSERT_NE(again.block, nullptr);
  EXPECT_EQ(Bytes(again.block, again.block + 12), Bytes(12, 7));
  FreeImageBlock(again.block);

  // Twice the bytes does not fit; half the bytes would leave half of the
  // block idle: both get blocks of their own.
  ReadBlock larger = ReadBlockOf(PlainBmp(kKeptWidth, 2 * kKeptHeight, 8));
  ReadBlock smaller = ReadBlockOf(PlainBmp(kKeptWidth, kKeptHeight / 2, 9));
  EXPECT_NE(larger.block, again.block);
  EXPECT_NE(smaller.block, again.block);
  // Any fixed global block may be handed back, and a reader's block may
  // still be freed plainly.
  EXPECT_EQ(GlobalFree(larger.block), nullptr);
  FreeImageBlock(smaller.block);
  FreeImageBlock(nullptr);

  // Two blocks are kept: the ones handed back last.
  EmptyKeptPixelBlocks();
  BYTE* blocks[3];
  for (BYTE*& b : blocks) {
    b = ReadBlockOf(picture).block;
    ASSERT_NE(b, nullptr);
  }
  for (BYTE* b : blocks) FreeImageBlock(b);
  BYTE* taken[2] = {ReadBlockOf(picture).block, ReadBlockOf(picture).block};
  EXPECT_TRUE((taken[0] == blocks[1] && taken[1] == blocks[2]) ||
              (taken[0] == blocks[2] && taken[1] == blocks[1]));
  for (BYTE* b : taken) FreeImageBlock(b);
  EmptyKeptPixelBlocks();
}

// A reader that stops before writing every byte gives the bytes it gives
// in a fresh zeroed block, also when the block it gets held another
// picture before.
TEST(ImageBlocks, AReusedBlockGivesWhatAFreshOneGives) {
  const int w = kKeptWidth, h = kKeptHeight;
  Bytes rgb(static_cast<size_t>(w) * h * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(40 + (i / 3 / w) % 100);

  const size_t row24 = static_cast<size_t>(w) * 3;
  Bytes half24(row24 * h / 2, 77);
  Bytes bottomUp = BmpOf(w, h, 24, half24);
  Bytes topDown = BmpOf(w, -h, 24, half24);
  Bytes indices8 = BmpOf(2 * w, h, 8, Bytes(static_cast<size_t>(2 * w) * h / 2, 3), Palette256());
  // One-bit rows are packed into the start of a block of one byte a pixel.
  Bytes bits1 = BmpOf(2 * w, h, 1, Bytes(static_cast<size_t>(2 * w / 8) * h / 2, 0xF0), BlackWhite());
  // A run, a move down and right, another run, then the end of the picture.
  Bytes rle8 = BmpOf(2 * w, h, 8, {10, 5, 0, 2, 7, 9, 20, 6, 0, 1}, Palette256(), 1);

  PcxSpec pcx;
  pcx.width = w;
  pcx.height = h;
  pcx.planes = 3;
  pcx.bytesPerLine = w;
  for (int y = 0; y < h; ++y)
    for (int plane = 0; plane < 3; ++plane)
      for (int x = 0; x < w; x += 32) pcx.data.insert(pcx.data.end(), {0xE0, uint8_t(y + plane)});

  // Colour-mapped, 16-bit indices: an index past the 256 entries is black.
  TgaSpec tga;
  tga.type = 9;
  tga.width = w;
  tga.height = h;
  tga.depth = 16;
  tga.mapLength = 2;
  tga.map = {1, 2, 3, 4, 5, 6};
  for (int k = 0; k < w * h / 128; ++k)
    tga.pixels.insert(tga.pixels.end(), {0xFF, uint8_t(k & 1), uint8_t(k & 2 ? 1 : 0)});

  // Grey samples in the order of the seven passes, each row with filter 0.
  static const int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                    {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  Bytes interlaced;
  for (const auto& pass : kPasses)
    for (int y = pass[1]; y < h; y += pass[3]) {
      interlaced.push_back(0);
      for (int x = pass[0]; x < w; x += pass[2]) interlaced.push_back(static_cast<uint8_t>(x ^ y));
    }

  struct Row {
    const char* name;
    Reader reader;
    Bytes file;
    int bits;
    int stopAfterRow;  // -1: no progress hook
  } rows[] = {
      {"BMP cut short, bottom-up", Reader::Bmp, bottomUp, 24, -1},
      {"BMP cut short, top-down", Reader::Bmp, topDown, 24, -1},
      {"BMP indices cut short", Reader::Bmp, indices8, 8, -1},
      {"BMP of one bit, cut short", Reader::Bmp, bits1, 1, -1},
      {"BMP RLE8 indices, moved over and ended early", Reader::Bmp, rle8, 8, -1},
      {"BMP stopped by the hook", Reader::Bmp, BmpOf(w, h, 24, Bytes(row24 * h, 5)), 24, 9},
      {"PCX stopped by the hook", Reader::Pcx, MakePcx(pcx), 24, 11},
      {"JPEG stopped by the hook", Reader::Jpeg, WriteJpegBytes(rgb, w, h, 24, 90, FALSE), 24, 13},
      {"TGA indices past the palette", Reader::Tga, MakeTga(tga), 24, -1},
      {"PNG interlaced", Reader::Png, MakePng(w, h, 0, 8, interlaced, {}, 1), 24, -1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto read = [&] {
      if (r.stopAfterRow >= 0) SetImageProgressHook(StopAfterRow, r.stopAfterRow);
      Decoded d = Decode(r.file, r.reader, r.bits, 0, true);
      SetImageProgressHook(nullptr, 0);
      return d;
    };
    EmptyKeptPixelBlocks();
    const Decoded fresh = read();
    ASSERT_TRUE(fresh.ok) << "error " << fresh.error;
    const size_t bytes = fresh.wholeBlock.size();
    ASSERT_GE(bytes, fresh.pixels.size());

    EmptyKeptPixelBlocks();
    BYTE* used = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, bytes));
    ASSERT_NE(used, nullptr);
    memset(used, 0xA5, bytes);
    FreeImageBlock(used);
    const Decoded again = read();
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(again.block, used) << "the read took the used block";
    EXPECT_EQ(again.error, fresh.error);
    EXPECT_TRUE(again.wholeBlock == fresh.wholeBlock) << "the bytes differ from a fresh block's";
  }
  EmptyKeptPixelBlocks();
}

TEST(ImageBlocks, ThreadsReadingAtOnceNeverShareABlock) {
  RepeatedRead jobs[3];
  HANDLE threads[3];
  for (int i = 0; i < 3; ++i) {
    jobs[i] = {PlainBmp(kKeptWidth, kKeptHeight, static_cast<uint8_t>(20 + i)),
               static_cast<uint8_t>(20 + i), 0};
    threads[i] = CreateThread(nullptr, 0, ReadAndHandBack, &jobs[i], 0, nullptr);
    ASSERT_NE(threads[i], nullptr);
  }
  EXPECT_EQ(WaitForMultipleObjects(3, threads, TRUE, 60000), WAIT_OBJECT_0);
  for (int i = 0; i < 3; ++i) {
    CloseHandle(threads[i]);
    EXPECT_EQ(jobs[i].wrong, 0) << "thread " << i;
  }
  EmptyKeptPixelBlocks();
}

TEST(ImagePng, DecodeTable) {
  auto be16 = [](std::initializer_list<unsigned> v) {
    Bytes b;
    for (unsigned x : v) {
      b.push_back(static_cast<uint8_t>(x >> 8));
      b.push_back(static_cast<uint8_t>(x));
    }
    return b;
  };
  Bytes plte = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  // 3 x 3 grey, Adam7: passes 1, 4, 5, 6 (two rows) and 7 hold pixels.
  Bytes interlacedRaw = {0, 10, 0, 11, 0, 12, 13, 0, 14, 0, 15, 0, 16, 17, 18};
  std::vector<DecodeRow> rows = {
      {"RGB", Reader::Png, MakePng(2, 1, 2, 8, {0, 1, 2, 3, 4, 5, 6}), 2, 1, {1, 2, 3, 4, 5, 6}, 0},
      {"palette, 4 bits", Reader::Png, MakePng(3, 1, 3, 4, {0, 0x01, 0x20}, {{"PLTE", plte}}), 3, 1,
       {255, 0, 0, 0, 255, 0, 0, 0, 255}, 0},
      {"grey, 16 bits stripped", Reader::Png, MakePng(2, 1, 0, 16, {0, 0x12, 0x34, 0xFF, 0xFF}), 2, 1,
       {0x12, 0x12, 0x12, 255, 255, 255}, 0},
      {"RGBA over black without bKGD", Reader::Png,
       MakePng(2, 1, 6, 8, {0, 255, 0, 0, 0, 0, 255, 0, 255}), 2, 1, {0, 0, 0, 0, 255, 0}, 0},
      {"palette with tRNS over its bKGD", Reader::Png,
       MakePng(1, 1, 3, 8, {0, 0}, {{"PLTE", plte}, {"tRNS", {0}}, {"bKGD", {2}}}), 1, 1, {0, 0, 255}, 0},
      {"RGBA over its bKGD", Reader::Png,
       MakePng(1, 1, 6, 8, {0, 255, 0, 0, 0}, {{"bKGD", be16({0, 0, 255})}}), 1, 1, {0, 0, 255}, 0},
      {"interlaced grey", Reader::Png, MakePng(3, 3, 0, 8, interlacedRaw, {}, 1), 3, 3,
       {10, 10, 10, 14, 14, 14, 11, 11, 11, 16, 16, 16, 17, 17, 17, 18, 18, 18, 12, 12, 12, 15, 15, 15, 13, 13,
        13},
       0},
  };
  CheckDecodes(rows);

  Decoded rgba = Decode(MakePng(2, 1, 6, 8, {0, 1, 2, 3, 4, 5, 6, 7, 8}), Reader::Png, 32);
  ASSERT_TRUE(rgba.ok);
  EXPECT_EQ(rgba.pixels, (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
  Decoded filled = Decode(MakePng(1, 1, 2, 8, {0, 1, 2, 3}), Reader::Png, 32);
  ASSERT_TRUE(filled.ok);
  EXPECT_EQ(filled.pixels, (Bytes{1, 2, 3, 255}));

  Decoded indexed = Decode(MakePng(3, 1, 3, 4, {0, 0x01, 0x20}, {{"PLTE", plte}, {"tRNS", {7}}}), Reader::Png, 8);
  ASSERT_TRUE(indexed.ok);
  EXPECT_EQ(indexed.pixels, (Bytes{0, 1, 2}));
  EXPECT_EQ(indexed.palette[0].rgbRed, 255);
  EXPECT_EQ(indexed.palette[0].rgbReserved, 7);
  EXPECT_EQ(indexed.palette[2].rgbBlue, 255);
  EXPECT_EQ(indexed.palette[2].rgbReserved, 255);
  EXPECT_EQ(indexed.palette[100].rgbRed, 255) << "entries past the palette copy entry 0";

  EXPECT_EQ(Decode(MakePng(1, 1, 2, 8, {0, 1, 2, 3}), Reader::Png, 8).error, kImgWrongDepth);
}

TEST(ImagePng, GammaAndBackground) {
  Bytes plain = MakePng(1, 1, 0, 8, {0, 128});
  Decoded same = Decode(plain, Reader::Png, 24);
  ASSERT_TRUE(same.ok);
  EXPECT_EQ(same.pixels[0], 128) << "without gAMA the samples stay";
  Bytes gama = {0, 0, 0xB1, 0x8F};  // 45455: 1 / 2.2
  Decoded brighter = Decode(MakePng(1, 1, 0, 8, {0, 128}, {{"gAMA", gama}}), Reader::Png, 24);
  ASSERT_TRUE(brighter.ok);
  EXPECT_GT(brighter.pixels[0], 140);
  // Half-transparent red over a blue background, blended in linear light
  // and encoded for the screen gamma of 2.9: 255 x 0.5^(1/2.9) = 201.
  Bytes half = MakePng(1, 1, 6, 8, {0, 255, 0, 0, 128}, {{"bKGD", {0, 0, 0, 0, 0, 255}}});
  Decoded blended = Decode(half, Reader::Png, 24);
  ASSERT_TRUE(blended.ok);
  EXPECT_NEAR(blended.pixels[0], 201, 2);
  EXPECT_EQ(blended.pixels[1], 0);
  EXPECT_NEAR(blended.pixels[2], 201, 2);
}

namespace {
std::vector<int> g_progress;
BOOL CALLBACK RecordProgress(int row, int count, int) {
  g_progress.push_back(row);
  EXPECT_EQ(count, 3);
  return TRUE;
}
BOOL CALLBACK StopAtOnce(int, int, int) { return FALSE; }
}  // namespace

TEST(ImagePng, InterlacedProgressRunsOnce) {
  Bytes raw = {0, 10, 0, 11, 0, 12, 13, 0, 14, 0, 15, 0, 16, 17, 18};
  g_progress.clear();
  SetImageProgressHook(RecordProgress, 0);
  Decoded d = Decode(MakePng(3, 3, 0, 8, raw, {}, 1), Reader::Png, 24);
  SetImageProgressHook(nullptr, 0);
  ASSERT_TRUE(d.ok);
  ASSERT_FALSE(g_progress.empty());
  EXPECT_EQ(g_progress.front(), 0);
  EXPECT_EQ(g_progress.back(), 3);
  for (size_t i = 1; i < g_progress.size(); ++i) EXPECT_GT(g_progress[i], g_progress[i - 1]);

  SetImageProgressHook(StopAtOnce, 0);
  Decoded stopped = Decode(MakePng(3, 3, 0, 8, raw, {}, 1), Reader::Png, 24);
  SetImageProgressHook(nullptr, 0);
  EXPECT_FALSE(stopped.ok);
  EXPECT_EQ(stopped.error, kImgAborted);
}

TEST(ImagePng, MalformedFilesAreRefused) {
  Bytes good = MakePng(2, 1, 2, 8, {0, 1, 2, 3, 4, 5, 6});
  Bytes badCrc = good;
  badCrc[29] ^= 0xFF;  // inside the IHDR CRC
  Bytes cut(good.begin(), good.begin() + 40);
  Bytes huge = MakePng(60000, 60000, 2, 8, {0});
  struct Row {
    const char* name;
    Bytes file;
  } rows[] = {{"bad IHDR CRC", badCrc}, {"cut in the data", cut}, {"over the pixel cap", huge}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Decoded d = Decode(r.file, Reader::Png, 24);
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.error, kImgBadPng);
  }
}

// Every input that once broke a reader, and the fuzzers' seeds, read
// through the guess and the reader it names without a crash.
TEST(ImageFixtures, KeptInputsReadSafely) {
  int files = 0;
  for (const char* folder : {"/tests/imaging/fixtures/", "/tests/imaging/seeds/"}) {
    std::string dir = std::string(LW_SOURCE_DIR) + folder;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((dir + "*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      SCOPED_TRACE(fd.cFileName);
      Bytes file = ReadFileBytes(dir + fd.cFileName);
      HPVSRC src = OpenMemorySource(file.data(), static_cast<DWORD>(file.size()));
      if (!src) continue;
      int type = GuessImageType(src);
      Reader reader;
      switch (type) {
        case kImageBmp: reader = Reader::Bmp; break;
        case kImagePcx: reader = Reader::Pcx; break;
        case kImageJpeg: reader = Reader::Jpeg; break;
        case kImagePng: reader = Reader::Png; break;
        default: reader = Reader::Tga; break;
      }
      CloseSource(src);
      for (int bits : {24, 8}) Decode(file, reader, bits);
      ++files;
    } while (FindNextFileA(find, &fd));
    FindClose(find);
  }
  EXPECT_GT(files, 20);
}

// Every seed is a valid picture of one of the readers' layouts, and the
// codec libraries built for the programs decode each of them whole.
TEST(ImageFixtures, EverySeedDecodes) {
  const std::string dir = std::string(LW_SOURCE_DIR) + "/tests/imaging/seeds/";
  const struct {
    const char* extension;
    Reader reader;
  } kReaders[] = {{".bmp", Reader::Bmp}, {".pcx", Reader::Pcx}, {".tga", Reader::Tga},
                  {".jpg", Reader::Jpeg}, {".png", Reader::Png}};
  int files = 0;
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((dir + "*").c_str(), &fd);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    SCOPED_TRACE(fd.cFileName);
    const std::string name = fd.cFileName;
    const auto* match = std::find_if(std::begin(kReaders), std::end(kReaders), [&](const auto& r) {
      const size_t n = std::strlen(r.extension);
      return name.size() > n && name.compare(name.size() - n, n, r.extension) == 0;
    });
    ASSERT_NE(match, std::end(kReaders)) << "a seed of no reader";
    Decoded d = Decode(ReadFileBytes(dir + name), match->reader, 24);
    EXPECT_TRUE(d.ok);
    EXPECT_EQ(d.error, 0);
    EXPECT_GT(d.width, 0);
    EXPECT_GT(d.height, 0);
    ++files;
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  EXPECT_GT(files, 20);
}
