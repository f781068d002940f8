// Taking the carried saver out of the installer's own file. The file is
// read in pieces, so that a saver of any size costs one small buffer; a
// file that ends before its size said is a corrupted one.
#include "installer/CarriedSaver.h"

#include <windows.h>

namespace installer {

namespace {

constexpr DWORD kChunk = 64 * 1024;

// The installer's file for reading, shared with other readers.
class CReadFile {
 public:
  explicit CReadFile(const char* path)
      : m_handle(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~CReadFile() {
    if (IsOpen()) ::CloseHandle(m_handle);
  }
  CReadFile(const CReadFile&) = delete;
  CReadFile& operator=(const CReadFile&) = delete;

  bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
  HANDLE Handle() const { return m_handle; }

 private:
  HANDLE m_handle;
};

// Where the carried saver lies, from the file's size.
CarriedResult Locate(HANDLE file, uint64_t* offset, uint64_t* length) {
  LARGE_INTEGER size = {};
  if (!::GetFileSizeEx(file, &size)) return CarriedResult::kCorrupted;
  if (!LocateCarriedSaver(static_cast<uint64_t>(size.QuadPart), offset, length))
    return CarriedResult::kCorrupted;
  return CarriedResult::kOk;
}

}  // namespace

CarriedResult CheckInstallerFile(const char* path) {
  CReadFile file(path);
  if (!file.IsOpen()) return CarriedResult::kCannotOpen;
  uint64_t offset = 0, length = 0;
  return Locate(file.Handle(), &offset, &length);
}

CarriedResult CCarriedSaver::Extract(const char* path) {
  Remove();
  CReadFile file(path);
  if (!file.IsOpen()) return CarriedResult::kCannotOpen;
  uint64_t offset = 0, length = 0;
  CarriedResult result = Locate(file.Handle(), &offset, &length);
  if (result != CarriedResult::kOk) return result;

  char folder[MAX_PATH + 1];
  char name[MAX_PATH + 1];
  const DWORD n = ::GetTempPathA(sizeof folder, folder);
  if (n == 0 || n >= sizeof folder || !::GetTempFileNameA(folder, "SCR", 0, name))
    return CarriedResult::kTempFailed;
  m_tempFile = name;  // the service has made it, empty
  result = CopyOut(file.Handle(), offset, length);
  if (result == CarriedResult::kOk) {
    m_scrFile = m_tempFile;
    m_scrFile += ".SCR";
    if (!::CopyFileA(m_tempFile, m_scrFile, FALSE)) result = CarriedResult::kTempFailed;
  }
  if (result != CarriedResult::kOk) Remove();
  return result;
}

CarriedResult CCarriedSaver::CopyOut(void* installer, uint64_t offset, uint64_t length) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!::SetFilePointerEx(installer, at, nullptr, FILE_BEGIN)) return CarriedResult::kCorrupted;
  HANDLE out = ::CreateFileA(m_tempFile, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return CarriedResult::kTempFailed;
  void* buffer = ::HeapAlloc(::GetProcessHeap(), 0, kChunk);
  CarriedResult result = buffer ? CarriedResult::kOk : CarriedResult::kTempFailed;
  while (result == CarriedResult::kOk && length > 0) {
    const DWORD want = length < kChunk ? static_cast<DWORD>(length) : kChunk;
    DWORD got = 0, written = 0;
    // A file that ends early has changed since its size was taken.
    if (!::ReadFile(installer, buffer, want, &got, nullptr) || got != want)
      result = CarriedResult::kCorrupted;
    else if (!::WriteFile(out, buffer, want, &written, nullptr) || written != want)
      result = CarriedResult::kTempFailed;
    length -= want;
  }
  if (buffer) ::HeapFree(::GetProcessHeap(), 0, buffer);
  if (!::CloseHandle(out) && result == CarriedResult::kOk) result = CarriedResult::kTempFailed;
  return result;
}

namespace {

// Deletes the file and forgets its name, unless it is still there.
void Delete(CString& path) {
  if (path.IsEmpty()) return;
  if (::DeleteFileA(path) || ::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) path.Empty();
}

}  // namespace

// A ".SCR" copy that a running preview keeps is alone once its temporary
// file is gone: the next installer's start knows it as left behind.
bool CCarriedSaver::Remove() {
  Delete(m_scrFile);
  Delete(m_tempFile);
  return IsEmpty();
}

void RemoveLeftPreviews() {
  char folder[MAX_PATH + 1];
  const DWORD n = ::GetTempPathA(sizeof folder, folder);
  if (n == 0 || n >= sizeof folder) return;
  WIN32_FIND_DATAA found;
  HANDLE find = ::FindFirstFileA(CString(folder) + "SCR*.tmp.SCR", &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    // The pattern may match short names too: the long name is checked.
    const CString name = found.cFileName;
    if (name.GetLength() < 12 || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        name.Left(3).CompareNoCase("SCR") != 0 || name.Right(8).CompareNoCase(".tmp.SCR") != 0)
      continue;
    const CString copy = CString(folder) + name;
    const CString temp = copy.Left(copy.GetLength() - 4);
    if (::GetFileAttributesA(temp) == INVALID_FILE_ATTRIBUTES) ::DeleteFileA(copy);
  } while (::FindNextFileA(find, &found));
  ::FindClose(find);
}

}  // namespace installer
