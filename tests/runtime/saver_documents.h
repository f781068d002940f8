// Pieces of the scene documents the saver's end-to-end tests play, built
// with the script model as the builder builds them.
#pragma once

#include <cstdint>
#include <vector>

#include "script/Commands.h"
#include "script/DataBlock.h"
#include "script/Objects.h"

namespace savertest {

// A media object of the bytes, added to the list.
inline CMediaObject* AddMedia(CCommandList& list, const std::vector<uint8_t>& bytes, int kind,
                              const char* name) {
  CMediaObject* media = static_cast<CMediaObject*>(CreateCommand(kTypeMedia));
  media->SetMedia(CopyDataBlock(bytes.data(), static_cast<uint32_t>(bytes.size())),
                  static_cast<uint32_t>(bytes.size()));
  media->m_kind = kind;
  media->m_displayName = name;
  list.Add(media);
  return media;
}

}  // namespace savertest
