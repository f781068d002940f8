// The payload format and the resource slots of the carried programs.
#include "common/Payload.h"

namespace carried {

void EncodeWord(uint32_t length, uint8_t out[kWordSize]) {
  out[0] = static_cast<uint8_t>(length);
  out[1] = static_cast<uint8_t>(length >> 8);
  out[2] = static_cast<uint8_t>(length >> 16);
  out[3] = static_cast<uint8_t>(length >> 24);
}

uint32_t DecodeWord(const uint8_t word[kWordSize]) {
  return word[0] | (word[1] << 8) | (word[2] << 16) | (uint32_t(word[3]) << 24);
}

PayloadError LocateScriptPayload(uint64_t fileSize, const uint8_t word[kWordSize],
                                 const uint8_t trailer[kTrailerSize], ScriptPayload* out) {
  if (fileSize < uint64_t(kRuntimeImageSize) + kWordSize + kTrailerSize)
    return PayloadError::kNoPayload;
  if (trailer[1] > kFlagTestRun) return PayloadError::kBadFlag;
  const uint64_t length = fileSize - kRuntimeImageSize - kWordSize - kTrailerSize;
  if (DecodeWord(word) != length) return PayloadError::kBadWord;
  if (length == 0) return PayloadError::kNoDocument;
  out->documentOffset = uint64_t(kRuntimeImageSize) + kWordSize;
  out->documentLength = static_cast<uint32_t>(length);
  out->settings = trailer[0];
  out->flag = trailer[1];
  return PayloadError::kNone;
}

const char* DescribePayloadError(PayloadError error) {
  switch (error) {
    case PayloadError::kNone: return "the payload is whole";
    case PayloadError::kNoPayload: return "the saver file has no payload";
    case PayloadError::kBadFlag: return "the payload's flag is neither 0 nor 1";
    case PayloadError::kBadWord: return "the payload word is not the document's length";
    case PayloadError::kNoDocument: return "the payload holds no document";
  }
  return "the payload is damaged";
}

bool LocateAppendedData(uint64_t fileSize, uint32_t imageSize, uint64_t* offset,
                        uint64_t* length) {
  if (fileSize <= imageSize) return false;
  *offset = imageSize;
  *length = fileSize - imageSize;
  return true;
}

namespace {

bool Read16(const uint8_t* p, size_t size, size_t at, uint32_t* out) {
  if (at > size || size - at < 2) return false;
  *out = p[at] | (p[at + 1] << 8);
  return true;
}

bool Read32(const uint8_t* p, size_t size, size_t at, uint32_t* out) {
  if (at > size || size - at < 4) return false;
  *out = p[at] | (p[at + 1] << 8) | (p[at + 2] << 16) | (uint32_t(p[at + 3]) << 24);
  return true;
}

// The entry of a resource directory (at file offset dir) with the integer
// id; its offset field (relative to the resource section start) in *entry.
bool FindEntry(const uint8_t* p, size_t size, size_t dir, uint32_t id,
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
  return false;
}

}  // namespace

bool FindResourceSlot(const uint8_t* p, size_t size, uint32_t type, uint32_t id, Slot* slot) {
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
  if (!FindEntry(p, size, rsrc, type, &e) || !(e & 0x80000000u)) return false;
  if (!FindEntry(p, size, rsrc + (e & 0x7FFFFFFFu), id, &e) || !(e & 0x80000000u))
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

bool FindPatchSlots(const uint8_t* p, size_t size, bool withLogo, PatchSlots* out) {
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
