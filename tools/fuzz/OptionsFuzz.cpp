// The options file reader over any bytes, built natively against
// native_script/windows.h with the builder's script model. A read either
// fails or leaves every number in its range; what it read is stored in
// the file's fixed size and reads back to the same bytes.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "framework/Archive.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "script/Options.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool Load(const uint8_t* data, size_t size, CBuilderOptions& options) {
  CMemFile file(const_cast<uint8_t*>(data), static_cast<unsigned>(size));
  bool read = false;
  try {
    CArchive ar(&file, CArchive::load, 4096);
    options.Load(ar);
    read = true;
  } catch (CException* e) {
    e->Delete();
  }
  file.Detach();
  return read;
}

size_t Store(const CBuilderOptions& options, uint8_t** out) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store, 4096);
    options.Store(ar);
    ar.Close();
  }
  const size_t size = static_cast<size_t>(file.GetLength());
  *out = file.Detach();
  return size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  CBuilderOptions options;
  if (!Load(data, size, options)) {
    Check(size < CBuilderOptions::kStoredSize);
    return 0;
  }
  Check(options.m_tabSize >= 0 && options.m_tabSize <= CBuilderOptions::kMaxTabSize);
  Check(options.m_scrollTime >= 0 && options.m_scrollTime <= CBuilderOptions::kMaxScrollTime);
  Check(options.m_waitTick > 0 && options.m_waitTick <= CBuilderOptions::kMaxWaitTick);
  Check(options.m_beepOnWait >= 0 &&
        options.m_beepOnWait <= CBuilderOptions::kMaxBeepTicks * options.m_waitTick);
  const LOGFONTA* fonts[] = {&options.m_normalFont, &options.m_commentFont,
                             &options.m_disableFont};
  for (const LOGFONTA* font : fonts) Check(memchr(font->lfFaceName, 0, LF_FACESIZE) != nullptr);
  uint8_t* first = nullptr;
  const size_t firstSize = Store(options, &first);
  Check(firstSize == CBuilderOptions::kStoredSize);
  CBuilderOptions again;
  Check(Load(first, firstSize, again));
  uint8_t* second = nullptr;
  const size_t secondSize = Store(again, &second);
  Check(secondSize == firstSize && memcmp(first, second, firstSize) == 0);
  free(first);
  free(second);
  return 0;
}
