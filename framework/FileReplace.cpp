// Files written beside their target and put in its place when whole.
#include <windows.h>

#include "framework/Files.h"

bool MakeTemporaryBeside(const char* target, CString& temporary) {
  // The folder part of the target, with its final separator; "." when it
  // names none.
  const CString path(target);
  const int slash = path.ReverseFind('\\');
  const int colon = path.ReverseFind(':');
  const int end = slash > colon ? slash : colon;
  const CString folder = end >= 0 ? path.Left(end + 1) : CString(".");
  char name[MAX_PATH];
  if (!::GetTempFileNameA(folder, "lw", 0, name)) return false;
  temporary = name;
  return true;
}

bool ReplaceWithTemporary(const char* temporary, const char* target) {
  const DWORD attributes = ::GetFileAttributesA(target);
  // Neither a folder nor a read-only file is replaced, on any system (some
  // would take an empty folder away, or a read-only file).
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  // A move, with the target's attributes put back on its name afterwards:
  // a ReplaceFile that fails can leave a backup file of its own behind in
  // the folder.
  if (!::MoveFileExA(temporary, target,
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
    return false;
  if (attributes != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesA(target, attributes);
  return true;
}
