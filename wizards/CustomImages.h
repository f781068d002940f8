// The custom images a user may put beside the builder for the outputs'
// icons and the saver runtime's logo: the ".ico" reader and the logo
// bitmap's check. Plain C++ over bytes, without the system's headers, so
// that they can be built and fuzzed on any host; the output writer reads
// the files and patches what these accept.
#pragma once

#include <cstdint>

// A logo bitmap file: its 14-byte file header ("BM") followed by exactly the
// slotSize bytes of the logo slot (information header, palette, pixels).
constexpr uint32_t kBitmapFileHeaderSize = 14;
bool IsLogoBitmapFile(const uint8_t* data, uint32_t size, uint32_t slotSize);

// Reads an ".ico" file: its directory and each image's bytes.
class CIconFile {
 public:
  CIconFile() = default;
  virtual ~CIconFile();
  CIconFile(const CIconFile&) = delete;
  CIconFile& operator=(const CIconFile&) = delete;

  // The whole file (SaverMaker.cpp); false only when it cannot be read.
  bool Load(const char* path);
  // The file's bytes: any bytes give a directory, of the images that lie
  // whole inside them.
  void LoadBytes(const uint8_t* p, uint32_t size);
  int Find16x16() const { return Find(16, 16); }
  int Find32x32() const { return Find(32, 16); }
  int Find48x48() const { return Find(48, 0); }

  int GetBytesInRes(int index) const;
  int GetImageOffset(int index) const;
  int GetWidth(int index) const;
  int GetHeight(int index) const;
  int GetColorCount(int index) const;
  const uint8_t* GetImage(int index) const;
  int GetCount() const { return m_count; }

 private:
  struct Entry {  // an icon directory entry as the file stores it
    uint8_t width, height, colorCount, reserved;
    uint16_t planes, bitCount;
    uint32_t bytesInRes, imageOffset;
  };
  int Find(int size, int colours) const;
  bool Valid(int index) const { return index >= 0 && index < m_count; }
  void Clear();

  Entry* m_entries = nullptr;
  uint8_t** m_images = nullptr;
  uint16_t m_count = 0;
};
