// The options file reader over any bytes, built natively against
// native_script/windows.h with the builder's script model. A read either
// fails or leaves every number in its range; what it read is stored in
// the file's fixed size and reads back to the same bytes.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "script/Options.h"
#include "tools/fuzz/ArchiveBytes.h"
#include "tools/fuzz/FuzzCheck.h"

namespace {

bool Load(const uint8_t* data, size_t size, CBuilderOptions& options) {
  return ReadArchiveBytes(data, size, [&](CArchive& ar) {
    options.Load(ar);
    return true;
  });
}

size_t Store(const CBuilderOptions& options, uint8_t** out) {
  return StoreArchiveBytes([&](CArchive& ar) { options.Store(ar); }, out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  CBuilderOptions options;
  if (!Load(data, size, options)) {
    FuzzCheck(size < CBuilderOptions::kStoredSize);
    return 0;
  }
  FuzzCheck(options.m_tabSize >= 0 && options.m_tabSize <= CBuilderOptions::kMaxTabSize);
  FuzzCheck(options.m_scrollTime >= 0 && options.m_scrollTime <= CBuilderOptions::kMaxScrollTime);
  FuzzCheck(options.m_waitTick > 0 && options.m_waitTick <= CBuilderOptions::kMaxWaitTick);
  FuzzCheck(options.m_beepOnWait >= 0 &&
        options.m_beepOnWait <= CBuilderOptions::kMaxBeepTicks * options.m_waitTick);
  const LOGFONTA* fonts[] = {&options.m_normalFont, &options.m_commentFont,
                             &options.m_disableFont};
  for (const LOGFONTA* font : fonts) FuzzCheck(memchr(font->lfFaceName, 0, LF_FACESIZE) != nullptr);
  uint8_t* first = nullptr;
  const size_t firstSize = Store(options, &first);
  FuzzCheck(firstSize == CBuilderOptions::kStoredSize);
  CBuilderOptions again;
  FuzzCheck(Load(first, firstSize, again));
  uint8_t* second = nullptr;
  const size_t secondSize = Store(again, &second);
  FuzzCheck(secondSize == firstSize && memcmp(first, second, firstSize) == 0);
  free(first);
  free(second);
  return 0;
}
