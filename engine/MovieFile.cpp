// The carried movie: its checks and its copy to a temporary file.
#include "engine/MovieFile.h"

#include <windows.h>

#include "common/AppUtils.h"
#include "common/Payload.h"
#include "framework/Sync.h"

bool GetOwnProgramPath(char* out, int size) {
  const DWORD n = ::GetModuleFileNameA(nullptr, out, static_cast<DWORD>(size));
  return n > 0 && n < static_cast<DWORD>(size);
}

void GetTempMoviePath(char* out, int size) { GetProcessTempPath("Lumenweave", "swf", out, size); }

namespace {

bool ReadExactly(HANDLE file, void* out, DWORD size) {
  DWORD got = 0;
  return ::ReadFile(file, out, size, &got, nullptr) && got == size;
}

bool WriteExactly(HANDLE file, const void* data, DWORD size) {
  DWORD put = 0;
  return ::WriteFile(file, data, size, &put, nullptr) && put == size;
}

// The copy's piece of memory, taken from the heap: a static buffer would sit
// in the program's image as zeros.
constexpr DWORD kPiece = 64 * 1024;

class CPiece {
 public:
  CPiece() : m_bytes(static_cast<uint8_t*>(::HeapAlloc(::GetProcessHeap(), 0, kPiece))) {}
  ~CPiece() {
    if (m_bytes) ::HeapFree(::GetProcessHeap(), 0, m_bytes);
  }
  CPiece(const CPiece&) = delete;
  CPiece& operator=(const CPiece&) = delete;
  uint8_t* Bytes() const { return m_bytes; }

 private:
  uint8_t* m_bytes;
};

// Copies `length` bytes from the source's position to the target, starting
// with the `size` bytes already read into buffer (of `capacity` bytes).
bool CopyRest(HANDLE source, HANDLE target, uint8_t* buffer, DWORD capacity, DWORD size,
              uint64_t length) {
  for (;;) {
    if (!WriteExactly(target, buffer, size)) return false;
    length -= size;
    if (length == 0) return true;
    size = length < capacity ? static_cast<DWORD>(length) : capacity;
    if (!ReadExactly(source, buffer, size)) return false;
  }
}

}  // namespace

int ExtractMovie(const char* source, const char* target) {
  CHandle in(::CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!in.IsValid()) return kExitNoMovie;
  LARGE_INTEGER size = {};
  uint64_t offset = 0, length = 0;
  if (!::GetFileSizeEx(in, &size) ||
      !carried::LocateAppendedData(static_cast<uint64_t>(size.QuadPart),
                                   carried::kEngineImageSize, &offset, &length))
    return kExitNoMovie;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  const CPiece piece;
  uint8_t* buffer = piece.Bytes();
  if (!buffer) return kExitCannotPlay;
  const DWORD first = length < kPiece ? static_cast<DWORD>(length) : kPiece;
  if (!::SetFilePointerEx(in, at, nullptr, FILE_BEGIN) || !ReadExactly(in, buffer, first))
    return kExitNoMovie;
  if (!IsMovieHeader(buffer, first, length)) return kExitDamagedMovie;
  bool copied;
  {
    CHandle out(::CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.IsValid()) return kExitCannotPlay;
    copied = CopyRest(in, out, buffer, kPiece, first, length);
  }
  if (copied) return 0;
  ::DeleteFileA(target);
  return kExitCannotPlay;
}
