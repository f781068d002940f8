// The custom image files' readers over any bytes: the ".ico" directory and
// its images, and the logo bitmap's check, against the slot sizes the
// output writer patches. Every image found must be a copy of bytes inside
// the file.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "common/Payload.h"
#include "wizards/CustomImages.h"
#include "tools/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  const uint32_t n = static_cast<uint32_t>(size);
  CIconFile icon;
  icon.LoadBytes(data, n);
  FuzzCheck(icon.GetCount() >= 0 && icon.GetImage(icon.GetCount()) == nullptr);
  for (int i = 0; i < icon.GetCount(); ++i) {
    const uint32_t bytes = static_cast<uint32_t>(icon.GetBytesInRes(i));
    const uint32_t offset = static_cast<uint32_t>(icon.GetImageOffset(i));
    FuzzCheck(bytes > 0 && offset <= n && n - offset >= bytes);
    FuzzCheck(memcmp(icon.GetImage(i), data + offset, bytes) == 0);
  }
  const int found[3] = {icon.Find16x16(), icon.Find32x32(), icon.Find48x48()};
  for (int f : found) {
    FuzzCheck(f >= -1 && f < icon.GetCount());
    if (f >= 0) FuzzCheck(icon.GetWidth(f) == icon.GetHeight(f));
  }
  // The same object read again holds only the new file's images.
  icon.LoadBytes(data, n < 6 ? n : 6);
  FuzzCheck(icon.GetCount() == 0);

  if (IsLogoBitmapFile(data, n, carried::kLogoSize))
    FuzzCheck(n == kBitmapFileHeaderSize + carried::kLogoSize && data[0] == 'B');
  FuzzCheck(!IsLogoBitmapFile(data, n, n));
  return 0;
}
