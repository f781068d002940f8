// The ".ico" reader and the logo bitmap's check.
#include "wizards/CustomImages.h"

#include <cstring>
#include <new>

bool IsLogoBitmapFile(const uint8_t* data, uint32_t size, uint32_t slotSize) {
  return size >= kBitmapFileHeaderSize && size - kBitmapFileHeaderSize == slotSize &&
         data[0] == 'B' && data[1] == 'M';
}

CIconFile::~CIconFile() { Clear(); }

void CIconFile::Clear() {
  for (int i = 0; i < m_count; ++i) delete[] m_images[i];
  delete[] m_images;
  delete[] m_entries;
  m_images = nullptr;
  m_entries = nullptr;
  m_count = 0;
}

void CIconFile::LoadBytes(const uint8_t* p, uint32_t size) {
  Clear();
  if (size < 6) return;
  uint32_t count = p[4] | (p[5] << 8);
  if (6 + uint64_t(count) * 16 > size) count = (size - 6) / 16;
  m_entries = new (std::nothrow) Entry[count ? count : 1];
  m_images = new (std::nothrow) uint8_t*[count ? count : 1];
  if (!m_entries || !m_images) {
    Clear();
    return;
  }
  // Entries whose image lies outside the file are dropped.
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* d = p + 6 + 16 * i;
    Entry e;
    e.width = d[0];
    e.height = d[1];
    e.colorCount = d[2];
    e.reserved = d[3];
    e.planes = static_cast<uint16_t>(d[4] | (d[5] << 8));
    e.bitCount = static_cast<uint16_t>(d[6] | (d[7] << 8));
    std::memcpy(&e.bytesInRes, d + 8, 4);
    std::memcpy(&e.imageOffset, d + 12, 4);
    if (e.bytesInRes == 0 || e.imageOffset > size || size - e.imageOffset < e.bytesInRes)
      continue;
    uint8_t* image = new (std::nothrow) uint8_t[e.bytesInRes];
    if (!image) continue;
    std::memcpy(image, p + e.imageOffset, e.bytesInRes);
    // The entry is rewritten from the image's own information header.
    if (e.bytesInRes >= 40) {
      int32_t w, h;
      std::memcpy(&w, image + 4, 4);
      std::memcpy(&h, image + 8, 4);
      e.width = static_cast<uint8_t>(w);
      e.height = static_cast<uint8_t>(h / 2);
      e.planes = static_cast<uint16_t>(image[12] | (image[13] << 8));
      e.bitCount = static_cast<uint16_t>(image[14] | (image[15] << 8));
    }
    m_entries[m_count] = e;
    m_images[m_count] = image;
    ++m_count;
  }
}

int CIconFile::Find(int size, int colours) const {
  for (int i = 0; i < m_count; ++i)
    if (m_entries[i].width == size && m_entries[i].height == size &&
        m_entries[i].colorCount == colours)
      return i;
  return -1;
}

int CIconFile::GetBytesInRes(int i) const { return Valid(i) ? int(m_entries[i].bytesInRes) : -1; }
int CIconFile::GetImageOffset(int i) const { return Valid(i) ? int(m_entries[i].imageOffset) : -1; }
int CIconFile::GetWidth(int i) const { return Valid(i) ? m_entries[i].width : 0; }
int CIconFile::GetHeight(int i) const { return Valid(i) ? m_entries[i].height : 0; }
int CIconFile::GetColorCount(int i) const { return Valid(i) ? m_entries[i].colorCount : -1; }
const uint8_t* CIconFile::GetImage(int i) const { return Valid(i) ? m_images[i] : nullptr; }
