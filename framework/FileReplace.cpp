// Files written beside their target and put in its place when whole.
#include <windows.h>

#include "framework/Files.h"

namespace {

// The folder part of the target, with its final separator; "." when it
// names none.
CString FolderOf(const char* target) {
  const CString path(target);
  const int slash = path.ReverseFind('\\');
  const int colon = path.ReverseFind(':');
  const int end = slash > colon ? slash : colon;
  return end >= 0 ? path.Left(end + 1) : CString(".");
}

}  // namespace

bool MakeTemporaryBeside(const char* target, CString& temporary) {
  char name[MAX_PATH];
  if (!::GetTempFileNameA(FolderOf(target), "lw", 0, name)) return false;
  temporary = name;
  return true;
}

void* CreateTemporaryBeside(const char* target, CString& temporary) {
  CString folder = FolderOf(target);
  if (folder.Right(1) != "\\" && folder.Right(1) != ":") folder += "\\";
  // Names as GetTempFileName gives them ("lw" and four hex digits), tried
  // from a number of this moment until one is free.
  const DWORD start = ::GetTickCount() ^ (::GetCurrentProcessId() << 4);
  for (DWORD n = 0; n < 0x10000; ++n) {
    const unsigned unique = ((start + n) & 0xFFFF) ? ((start + n) & 0xFFFF) : 1;
    CString name;
    name.Format("%slw%X.tmp", static_cast<const char*>(folder), unique);
    // DELETE: the file may be renamed through the handle.
    HANDLE file = ::CreateFileA(name, GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      temporary = name;
      return file;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return INVALID_HANDLE_VALUE;
  }
  ::SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
}

namespace {

// Renames the open file (opened with DELETE) to the target, replacing a
// file of that name: one request, where a move by names opens both files
// first.
bool RenameOpenFile(void* file, const char* target) {
  char full[MAX_PATH];
  const DWORD n = ::GetFullPathNameA(target, sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full) return false;
  const int chars = ::MultiByteToWideChar(CP_ACP, 0, full, -1, nullptr, 0);
  if (chars <= 0) return false;
  const DWORD size = sizeof(FILE_RENAME_INFO) + static_cast<DWORD>(chars) * sizeof(WCHAR);
  auto* info = static_cast<FILE_RENAME_INFO*>(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, size));
  if (!info) return false;
  info->ReplaceIfExists = TRUE;
  info->FileNameLength = static_cast<DWORD>(chars - 1) * sizeof(WCHAR);
  ::MultiByteToWideChar(CP_ACP, 0, full, -1, info->FileName, chars);
  const bool renamed = ::SetFileInformationByHandle(file, FileRenameInfo, info, size) != FALSE;
  ::HeapFree(::GetProcessHeap(), 0, info);
  return renamed;
}

}  // namespace

bool ReplaceWithTemporary(const char* temporary, const char* target, void* openTemporary) {
  const DWORD attributes = ::GetFileAttributesA(target);
  const DWORD written = ::GetFileAttributesA(temporary);
  // Neither a folder nor a read-only file is replaced, on any system (some
  // would take an empty folder away, or a read-only file).
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  // A rename in the same folder, with the target's attributes put back on
  // its name afterwards: a ReplaceFile that fails can leave a backup file
  // of its own behind in the folder. An open temporary file is renamed
  // through its handle; otherwise, or where that is refused, by a move.
  const bool renamed = openTemporary && openTemporary != INVALID_HANDLE_VALUE &&
                       RenameOpenFile(openTemporary, target);
  if (!renamed && !::MoveFileExA(temporary, target,
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED |
                                     MOVEFILE_WRITE_THROUGH))
    return false;
  // Set again only when they differ: the call writes the file's record.
  if (attributes != INVALID_FILE_ATTRIBUTES && attributes != written)
    ::SetFileAttributesA(target, attributes);
  return true;
}
