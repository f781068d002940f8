// Finds where a resource's data lies in the file of a Windows program, from
// the program's own resource table. The output writer patches custom icon
// and logo images there; the build's padding tool checks that the slots
// exist with their sizes. Plain C++ over bytes, so that both can use it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace carried {

// Sizes of the patchable slots: icon images 1, 2, 3 (16 x 16 and 32 x 32
// with 16 colours, 48 x 48 with 256) and the 96 x 112 256-colour logo
// bitmap 144.
constexpr uint32_t kIcon16Size = 296;
constexpr uint32_t kIcon32Size = 744;
constexpr uint32_t kIcon48Size = 3752;
constexpr uint32_t kLogoSize = 11816;
constexpr int kLogoId = 144;
constexpr int kTypeIcon = 3;    // RT_ICON
constexpr int kTypeBitmap = 2;  // RT_BITMAP

struct Slot {
  uint32_t offset = 0;  // file offset of the resource's data
  uint32_t size = 0;
};

namespace detail {

inline bool Read16(const uint8_t* p, size_t size, size_t at, uint32_t* out) {
  if (at > size || size - at < 2) return false;
  *out = p[at] | (p[at + 1] << 8);
  return true;
}

inline bool Read32(const uint8_t* p, size_t size, size_t at, uint32_t* out) {
  if (at > size || size - at < 4) return false;
  *out = p[at] | (p[at + 1] << 8) | (p[at + 2] << 16) | (uint32_t(p[at + 3]) << 24);
  return true;
}

// The entry of a resource directory (at file offset dir) with the integer
// id; its offset field (relative to the resource section start) in *entry.
inline bool FindEntry(const uint8_t* p, size_t size, size_t rsrc, size_t dir, uint32_t id,
                      uint32_t* entry) {
  uint32_t named, ids;
  if (!Read16(p, size, dir + 12, &named) || !Read16(p, size, dir + 14, &ids)) return false;
  for (uint32_t i = 0; i < named + ids; ++i) {
    uint32_t name, value;
    size_t at = dir + 16 + 8 * size_t(i);
    if (!Read32(p, size, at, &name) || !Read32(p, size, at + 4, &value)) return false;
    if (!(name & 0x80000000u) && name == id) {
      *entry = value;
      return true;
    }
  }
  (void)rsrc;
  return false;
}

}  // namespace detail

// Looks up resource (type, id) of the first language. False when the file
// is not a program with such a resource.
inline bool FindResourceSlot(const uint8_t* p, size_t size, uint32_t type, uint32_t id, Slot* slot) {
  using detail::Read16;
  using detail::Read32;
  uint32_t peOffset, signature, sections, optSize, magic;
  if (size < 64 || p[0] != 'M' || p[1] != 'Z') return false;
  if (!Read32(p, size, 0x3C, &peOffset) || !Read32(p, size, peOffset, &signature) ||
      signature != 0x4550)
    return false;
  size_t fileHeader = size_t(peOffset) + 4;
  if (!Read16(p, size, fileHeader + 2, &sections) || !Read16(p, size, fileHeader + 16, &optSize))
    return false;
  size_t opt = fileHeader + 20;
  if (!Read16(p, size, opt, &magic)) return false;
  size_t dirs = opt + (magic == 0x20B ? 112 : 96);  // PE32+ or PE32
  uint32_t rsrcRva, rsrcSize;
  if (!Read32(p, size, dirs + 2 * 8, &rsrcRva) || !Read32(p, size, dirs + 2 * 8 + 4, &rsrcSize) ||
      rsrcRva == 0)
    return false;
  // Map RVAs through the section table.
  size_t table = opt + optSize;
  auto toFile = [&](uint32_t rva, size_t* out) {
    for (uint32_t s = 0; s < sections; ++s) {
      size_t at = table + 40 * size_t(s);
      uint32_t vsize, va, rawSize, raw;
      if (!Read32(p, size, at + 8, &vsize) || !Read32(p, size, at + 12, &va) ||
          !Read32(p, size, at + 16, &rawSize) || !Read32(p, size, at + 20, &raw))
        return false;
      uint32_t extent = vsize > rawSize ? vsize : rawSize;
      if (rva >= va && rva - va < extent) {
        *out = size_t(raw) + (rva - va);
        return *out <= size;
      }
    }
    return false;
  };
  size_t rsrc;
  if (!toFile(rsrcRva, &rsrc)) return false;
  uint32_t e;
  if (!detail::FindEntry(p, size, rsrc, rsrc, type, &e) || !(e & 0x80000000u)) return false;
  if (!detail::FindEntry(p, size, rsrc, rsrc + (e & 0x7FFFFFFFu), id, &e) || !(e & 0x80000000u))
    return false;
  // First language.
  size_t langDir = rsrc + (e & 0x7FFFFFFFu);
  uint32_t named, ids, dataEntry;
  if (!Read16(p, size, langDir + 12, &named) || !Read16(p, size, langDir + 14, &ids) ||
      named + ids == 0 || !Read32(p, size, langDir + 16 + 4, &dataEntry) ||
      (dataEntry & 0x80000000u))
    return false;
  uint32_t dataRva, dataSize;
  size_t entryAt = rsrc + dataEntry;
  if (!Read32(p, size, entryAt, &dataRva) || !Read32(p, size, entryAt + 4, &dataSize)) return false;
  size_t dataAt;
  if (!toFile(dataRva, &dataAt) || dataAt > size || size - dataAt < dataSize) return false;
  slot->offset = static_cast<uint32_t>(dataAt);
  slot->size = dataSize;
  return true;
}

// The patchable slots of a carried program: icons 1 to 3 always, the logo
// when asked. False unless each exists with exactly its size.
struct PatchSlots {
  Slot icon[3];
  Slot logo;
};

inline bool FindPatchSlots(const uint8_t* p, size_t size, bool withLogo, PatchSlots* out) {
  const uint32_t kIconSizes[3] = {kIcon16Size, kIcon32Size, kIcon48Size};
  for (int i = 0; i < 3; ++i)
    if (!FindResourceSlot(p, size, kTypeIcon, i + 1, &out->icon[i]) ||
        out->icon[i].size != kIconSizes[i])
      return false;
  if (withLogo &&
      (!FindResourceSlot(p, size, kTypeBitmap, kLogoId, &out->logo) || out->logo.size != kLogoSize))
    return false;
  return true;
}

}  // namespace carried
