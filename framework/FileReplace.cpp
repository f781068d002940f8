// Writing a file whole or not at all: a temporary file beside the target
// that replaces it once complete.
#include <windows.h>

#include "framework/Files.h"

CString MakeTemporaryBeside(const char* target) {
  const CString path(target);
  const int slash = path.ReverseFind('\\');
  const int colon = path.ReverseFind(':');
  const int end = slash > colon ? slash : colon;
  const CString folder = end >= 0 ? path.Left(end + 1) : CString(".");
  char temporary[MAX_PATH];
  if (!::GetTempFileNameA(folder, "lw", 0, temporary)) return CString();
  return temporary;
}

bool ReplaceWithTemporary(const char* temporary, const char* target) {
  // The target's attributes stay with its name. (ReplaceFile would keep
  // them as well, but one that fails can leave a backup file of its own
  // behind in the folder.)
  const DWORD attributes = ::GetFileAttributesA(target);
  if (!::MoveFileExA(temporary, target,
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
    return false;
  if (attributes != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesA(target, attributes);
  return true;
}
