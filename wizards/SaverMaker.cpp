// The output writer, and the reading of the custom image files
// (their bytes are judged in CustomImages.cpp).
#include "wizards/SaverMaker.h"

#include <windows.h>
#include <winternl.h>

#include <cstring>
#include <new>

#include "common/AppUtils.h"
#include "common/Payload.h"
#include "framework/App.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/Seams.h"

namespace {

using carried::kEngineResource;
using carried::kRuntimeResource;
const char* const kStubResource = carried::kInstallerResource;
const char kCustomImageFailed[] = "Custom image not found or couldn't be inserted!";
const char kOverwritesInput[] =
    "\nThe screen saver would be written over this file, which it is made from.";
const char kReadWriteError[] = "Error during file read/write operation!";

[[noreturn]] void Raise(int code) {
  static const char* const kMessages[] = {
      "",
      "Runtime resource not found!",
      "Runtime resource cannot be accessed!",
      kReadWriteError,
      "File not found!",
      kReadWriteError,
      "Installer resource not found!",
      "Installer resource cannot be accessed!",
      kReadWriteError,
      "Custom icon error!",
      "Custom image error!",
      "The file is not a screen saver made by Lumenweave!",
  };
  throw new CUtilMakeException(code, kMessages[code]);
}

int ProfileInt(const char* entry) {
  CWinApp* app = AfxGetApp();
  return app ? static_cast<int>(app->GetProfileInt("Settings", entry, 0)) : 0;
}

// A whole file in memory; empty when it cannot be read whole.
struct FileBytes {
  uint8_t* data = nullptr;
  uint32_t size = 0;
  ~FileBytes() { delete[] data; }
};

// Reads the whole file, or throws the framework's file exception.
void ReadAll(const char* path, FileBytes* out) {
  CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
  uint64_t length = file.GetLength();
  if (length > 0x7FFFFFFF) throw new CFileException(CFileException::genericException, -1, path);
  out->size = static_cast<uint32_t>(length);
  out->data = new (std::nothrow) uint8_t[out->size ? out->size : 1];
  if (!out->data) throw new CFileException(CFileException::genericException, -1, path);
  if (file.Read(out->data, out->size) != out->size)
    throw new CFileException(CFileException::endOfFile, -1, path);
  file.Close();
}

// Opens a file to read and gives its length, or throws the framework's file
// exception.
void OpenToRead(const char* path, CFile* file, uint32_t* size) {
  CFileException* error = new CFileException;
  if (!file->Open(path, CFile::modeRead | CFile::shareDenyWrite, error)) throw error;
  error->Delete();
  const uint64_t length = file->GetLength();
  if (length > 0x7FFFFFFF) throw new CFileException(CFileException::genericException, -1, path);
  *size = static_cast<uint32_t>(length);
}

// Copies size bytes from in to out through one small buffer, which the
// heap hands out again warm: a buffer of the whole file would be new
// memory every time, whose first writes cost more than the copy itself.
// A failed write throws the framework's file exception.
enum class CopyResult { kDone, kEndedEarly, kReadFailed, kNoMemory };

CopyResult CopyBytes(CFile& in, uint32_t size, CFile& out) {
  const uint32_t kChunk = 64 * 1024;
  FileBytes buffer;
  buffer.data = new (std::nothrow) uint8_t[kChunk];
  if (!buffer.data) return CopyResult::kNoMemory;
  while (size > 0) {
    const uint32_t want = size < kChunk ? size : kChunk;
    unsigned got = 0;
    try {
      got = in.Read(buffer.data, want);
    } catch (CException* e) {
      e->Delete();
      return CopyResult::kReadFailed;
    }
    if (got != want) return CopyResult::kEndedEarly;
    out.Write(buffer.data, want);
    size -= want;
  }
  return CopyResult::kDone;
}

// Opens an existing output for writing, positioned at its end.
void OpenForAppend(CFile* file, const char* output) {
  CFileException* error = new CFileException;
  if (!file->Open(output, CFile::modeWrite | CFile::shareDenyNone, error)) throw error;
  error->Delete();
  file->SeekToEnd();
}

// An output written under a temporary name in its folder and put in its
// place only when whole, as a document is saved: a make that fails leaves
// an earlier file of the output's name as it was. The temporary file goes
// with the object unless it has taken the output's place. ioError is the
// code of a folder that takes no file, or of a place that cannot be taken.
class CStagedOutput {
 public:
  CStagedOutput(const char* output, int ioError) : m_output(output), m_ioError(ioError) {
    if (!MakeTemporaryBeside(output, m_temporary)) Raise(ioError);
  }
  ~CStagedOutput() {
    if (!m_temporary.IsEmpty()) ::DeleteFileA(m_temporary);
  }
  CStagedOutput(const CStagedOutput&) = delete;
  CStagedOutput& operator=(const CStagedOutput&) = delete;

  // Where the output is written meanwhile.
  const char* Path() const { return m_temporary; }
  void PutInPlace() {
    if (!ReplaceWithTemporary(m_temporary, m_output)) Raise(m_ioError);
    m_temporary.Empty();
  }

 private:
  CString m_output;
  CString m_temporary;
  int m_ioError;
};

// The full path as the file system takes it: "a.exe " and "a.exe." both
// name "a.exe".
CString FullPath(const char* path) {
  char full[MAX_PATH];
  const DWORD n = ::GetFullPathNameA(path, sizeof full, full, nullptr);
  return n > 0 && n < sizeof full ? CString(full) : CString(path);
}

// The 128-bit file id of GetFileInformationByHandleEx (FileIdInfo, Windows
// 8 and later): the volume and the file's number on it.
struct FileIdInfo {
  ULONGLONG volume;
  BYTE id[16];
};
const FILE_INFO_BY_HANDLE_CLASS kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);

// A handle that only names a file (no access), closed at the end.
class CFileName {
 public:
  explicit CFileName(const char* path)
      : m_h(::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, 0, nullptr)) {}
  ~CFileName() {
    if (m_h != INVALID_HANDLE_VALUE) ::CloseHandle(m_h);
  }
  CFileName(const CFileName&) = delete;
  CFileName& operator=(const CFileName&) = delete;
  HANDLE Get() const { return m_h; }

 private:
  HANDLE m_h;
};

// The file's number on its volume (the file system's index, without the
// volume), or false when the system does not give it.
bool FileIndex(HANDLE file, LONGLONG* index) {
  using QueryFile = NTSTATUS(NTAPI*)(HANDLE, IO_STATUS_BLOCK*, void*, ULONG, FILE_INFORMATION_CLASS);
  static const QueryFile query = reinterpret_cast<QueryFile>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationFile")));
  if (!query) return false;
  IO_STATUS_BLOCK status;
  FILE_INTERNAL_INFORMATION info;
  if (query(file, &status, &info, sizeof info, FileInternalInformation) < 0) return false;
  *index = info.IndexNumber.QuadPart;
  return true;
}

// True when both names open the same existing file (a link, or another
// spelling of one name). Two files of different numbers are different
// files on any volumes, which the file system tells at once; only equal
// numbers need the volumes compared. Both queries that give the volume
// (the file id, and GetFileInformationByHandle where there is none) also
// gather the volume's description, which costs a millisecond or more under
// Wine.
bool SameFile(const char* a, const char* b) {
  const CFileName files[2] = {CFileName(a), CFileName(b)};
  if (files[0].Get() == INVALID_HANDLE_VALUE || files[1].Get() == INVALID_HANDLE_VALUE) return false;
  LONGLONG index[2];
  if (FileIndex(files[0].Get(), &index[0]) && FileIndex(files[1].Get(), &index[1]) && index[0] != index[1])
    return false;
  FileIdInfo ids[2];
  if (::GetFileInformationByHandleEx(files[0].Get(), kFileIdInfo, &ids[0], sizeof ids[0]) &&
      ::GetFileInformationByHandleEx(files[1].Get(), kFileIdInfo, &ids[1], sizeof ids[1]))
    return ids[0].volume == ids[1].volume && std::memcmp(ids[0].id, ids[1].id, sizeof ids[0].id) == 0;
  BY_HANDLE_FILE_INFORMATION info[2];
  for (int i = 0; i < 2; ++i)
    if (!::GetFileInformationByHandle(files[i].Get(), &info[i])) return false;
  return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
         info[0].nFileIndexHigh == info[1].nFileIndexHigh &&
         info[0].nFileIndexLow == info[1].nFileIndexLow;
}

// True when an output of that name would be the input file itself: the
// same full path in any case, or the same existing file under another
// spelling (a short name, a link). Writing it would truncate the input
// before it is read, so the makers refuse such an output first.
bool IsSameFile(const char* output, const char* input) {
  return FullPath(output).CompareNoCase(FullPath(input)) == 0 || SameFile(output, input);
}

}  // namespace

CSaverMaker::CSaverMaker() = default;
CSaverMaker::~CSaverMaker() = default;

CString CSaverMaker::CustomFolder() const {
  if (!m_customFolder.IsEmpty()) return m_customFolder;
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return GetFileDirectory(path);
}

const uint8_t* CSaverMaker::CarriedImage(const char* name, uint32_t* size, int notFound,
                                         int notLoaded) {
  HMODULE module = m_resources ? m_resources : ::GetModuleHandleA(nullptr);
  HRSRC res = ::FindResourceA(module, name, "FILE");
  DWORD length = res ? ::SizeofResource(module, res) : 0;
  if (!res || length == 0) Raise(notFound);
  HGLOBAL loaded = ::LoadResource(module, res);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes) Raise(notLoaded);
  *size = length;
  return static_cast<const uint8_t*>(bytes);
}

void CSaverMaker::WriteCarried(const char* output, const char* name, bool create, bool seekEnd,
                               int notFound, int notLoaded, int ioError) {
  uint32_t size = 0;
  const uint8_t* bytes = CarriedImage(name, &size, notFound, notLoaded);
  try {
    unsigned flags = CFile::modeWrite | CFile::modeCreate | CFile::shareDenyWrite;
    if (!create) flags |= CFile::modeNoTruncate;
    CFile file(output, flags);
    if (seekEnd) file.SeekToEnd();
    file.Write(bytes, size);
    file.Close();
  } catch (CException* e) {
    e->Delete();
    Raise(ioError);
  }
}

void CSaverMaker::WriteRuntime(const char* output, bool create) {
  WriteCarried(output, kRuntimeResource, create, true, 1, 2, 3);
}

void CSaverMaker::WriteEngine(const char* output, bool create) {
  WriteCarried(output, kEngineResource, create, true, 1, 2, 3);
}

void CSaverMaker::WriteInstallerStub(const char* output) {
  WriteCarried(output, kStubResource, true, false, 6, 7, 8);
}

uint32_t CSaverMaker::GetInstallerStubSize() {
  HMODULE module = m_resources ? m_resources : ::GetModuleHandleA(nullptr);
  HRSRC res = ::FindResourceA(module, kStubResource, "FILE");
  return res ? ::SizeofResource(module, res) : 0;
}

void CSaverMaker::AppendScript(const char* output, const char* document, int flag) {
  CFile file;
  try {
    OpenForAppend(&file, output);
  } catch (CException* e) {
    e->Delete();
    Raise(5);
  }
  auto unreadable = [&] {
    CString message = CString(document) + "\nCannot be read data.";
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    m_lastErrorShown = true;
    file.Abort();
    Raise(4);
  };
  CFile doc;
  uint32_t size = 0;
  try {
    OpenToRead(document, &doc, &size);
  } catch (CException* e) {
    e->Delete();
    unreadable();
  }
  try {
    uint8_t word[carried::kWordSize];
    carried::EncodeWord(size, word);
    file.Write(word, sizeof word);
    if (CopyBytes(doc, size, file) != CopyResult::kDone) unreadable();
    const uint8_t trailer[2] = {static_cast<uint8_t>(ProfileInt("SCRSettings") & 0xFF),
                                static_cast<uint8_t>(flag)};
    file.Write(trailer, flag >= 0 ? 2 : 1);
    file.Close();
  } catch (CException* e) {
    e->Delete();
    Raise(5);
  }
}

void CSaverMaker::AppendMovie(const char* output, const char* movie) {
  try {
    CFile in(movie, CFile::modeRead | CFile::shareDenyWrite);
    uint64_t length = in.GetLength();
    if (length > 0x7FFFFFFF) Raise(4);
    CFile out;
    OpenForAppend(&out, output);
    const CopyResult copied = CopyBytes(in, static_cast<uint32_t>(length), out);
    if (copied == CopyResult::kEndedEarly) Raise(4);
    if (copied != CopyResult::kDone) Raise(5);
    in.Close();
    out.Close();
  } catch (CException* e) {
    e->Delete();
    Raise(5);
  }
}

const CSaverMaker::CarriedSlots& CSaverMaker::Slots(bool stub, int code) {
  CarriedSlots& found = stub ? m_stubSlots : m_runtimeSlots;
  if (!found.looked) {
    uint32_t size = 0;
    const uint8_t* image = CarriedImage(stub ? kStubResource : kRuntimeResource, &size, code, code);
    found.icons = carried::FindPatchSlots(image, size, false, &found.slots);
    found.logo = !stub &&
                 carried::FindResourceSlot(image, size, carried::kTypeBitmap, carried::kLogoId,
                                           &found.slots.logo) &&
                 found.slots.logo.size == carried::kLogoSize;
    found.looked = true;
  }
  return found;
}

void CSaverMaker::PatchBitmap(const char* output, uint32_t base) {
  const CarriedSlots& program = Slots(false, 10);
  if (!program.logo) Raise(10);
  const carried::PatchSlots& slots = program.slots;
  FileBytes bmp;
  try {
    ReadAll(CustomFolder() + "custom.bmp", &bmp);
  } catch (CException* e) {
    e->Delete();
    Raise(10);
  }
  // Only a bitmap file whose resource part (everything after the file
  // header) exactly fills the logo slot is written.
  if (!IsLogoBitmapFile(bmp.data, bmp.size, slots.logo.size)) Raise(10);
  try {
    CFile out(output, CFile::modeWrite);
    if (out.GetLength() < uint64_t(base) + slots.logo.offset + slots.logo.size) Raise(10);
    out.Seek(int64_t(base) + slots.logo.offset, CFile::begin);
    out.Write(bmp.data + kBitmapFileHeaderSize, slots.logo.size);
    out.Close();
  } catch (CException* e) {
    e->Delete();
    Raise(10);
  }
}

void CSaverMaker::PatchIcon(const char* output, uint32_t base, bool stub) {
  const CarriedSlots& program = Slots(stub, 9);
  if (!program.icons) Raise(9);
  const carried::PatchSlots& slots = program.slots;
  CIconFile icon;
  CString path = CustomFolder() + "Custom.ico";
  if (!icon.Load(path)) Raise(9);
  const int found[3] = {icon.Find16x16(), icon.Find32x32(), icon.Find48x48()};
  // Every image the file has must fit its slot exactly; a missing one
  // leaves the carried program's own.
  for (int i = 0; i < 3; ++i)
    if (found[i] >= 0 && static_cast<uint32_t>(icon.GetBytesInRes(found[i])) != slots.icon[i].size)
      Raise(9);
  try {
    CFile out(output, CFile::modeWrite);
    for (int i = 0; i < 3; ++i) {
      if (found[i] < 0) continue;
      if (out.GetLength() < uint64_t(base) + slots.icon[i].offset + slots.icon[i].size) Raise(9);
      out.Seek(int64_t(base) + slots.icon[i].offset, CFile::begin);
      out.Write(icon.GetImage(found[i]), slots.icon[i].size);
    }
    out.Close();
  } catch (CException* e) {
    e->Delete();
    Raise(9);
  }
}

void CSaverMaker::ResetLastError() {
  m_lastErrorCode = 0;
  m_lastErrorMessage.Empty();
  m_lastErrorShown = false;
}

void CSaverMaker::Fail(CUtilMakeException* e) {
  m_lastErrorCode = e->m_code;
  m_lastErrorMessage = e->m_message;
  delete e;
}

BOOL CSaverMaker::RefuseOverwrite(const char* input) {
  m_lastErrorCode = 0;
  m_lastErrorMessage = CString(input) + kOverwritesInput;
  return FALSE;
}

BOOL CSaverMaker::MakeScr(const char* output, const char* document) {
  ResetLastError();
  if (IsSameFile(output, document)) return RefuseOverwrite(document);
  const bool customImage = ProfileInt("CustomImage") != 0;
  const bool customIcon = ProfileInt("CustomIcon") != 0;
  try {
    CStagedOutput staged(output, 3);
    const char* const writing = staged.Path();
    WriteRuntime(writing, true);
    AppendScript(writing, document, carried::kFlagScripted);
    if (customImage) PatchBitmap(writing, 0);
    if (customIcon) PatchIcon(writing, 0, false);
    staged.PutInPlace();
  } catch (CUtilMakeException* e) {
    Fail(e);
    return FALSE;
  }
  return TRUE;
}

BOOL CSaverMaker::MakeInstaller(const char* output, const char* document) {
  ResetLastError();
  if (IsSameFile(output, document)) return RefuseOverwrite(document);
  const bool customImage = ProfileInt("CustomImage") != 0;
  const bool customIcon = ProfileInt("CustomIcon") != 0;
  try {
    CStagedOutput staged(output, 8);
    const char* const writing = staged.Path();
    WriteInstallerStub(writing);
    WriteRuntime(writing, false);
    AppendScript(writing, document, carried::kFlagScripted);
    const uint32_t stub = GetInstallerStubSize();
    if (customImage) PatchBitmap(writing, stub);
    if (customIcon) {
      PatchIcon(writing, 0, true);
      PatchIcon(writing, stub, false);
    }
    staged.PutInPlace();
  } catch (CUtilMakeException* e) {
    Fail(e);
    return FALSE;
  }
  return TRUE;
}

BOOL CSaverMaker::MakeMovieSaver(const char* output, const char* movie) {
  const CString full = FullPath(output);
  const CString installer = GetFileDirectory(full) + GetPathTitle(full) + ".exe";
  // An output named like its own installer would be overwritten by it.
  ResetLastError();
  if (installer.CompareNoCase(full) == 0) return RefuseOverwrite(full);
  if (IsSameFile(output, movie) || IsSameFile(installer, movie)) return RefuseOverwrite(movie);
  try {
    {
      CStagedOutput saver(output, 3);
      WriteEngine(saver.Path(), true);
      AppendMovie(saver.Path(), movie);
      saver.PutInPlace();
    }
    // Written under its own name, the installer cannot reach the saver
    // through a link of the two names.
    CStagedOutput staged(installer, 8);
    WriteInstallerStub(staged.Path());
    WriteEngine(staged.Path(), false);
    AppendMovie(staged.Path(), movie);
    staged.PutInPlace();
  } catch (CUtilMakeException* e) {
    Fail(e);
    return FALSE;
  }
  return TRUE;
}

BOOL CSaverMaker::MakeBesideDocument() {
  ResetLastError();
  const bool customImage = ProfileInt("CustomImage") != 0;
  const bool customIcon = ProfileInt("CustomIcon") != 0;
  const CString base = GetFileDirectory(m_documentPath) + GetPathTitle(m_documentPath);
  const CString saver = base + ".scr";
  const CString installer = base + ".exe";
  // A document named like its saver or installer ("x.scr") would be lost.
  if (IsSameFile(saver, m_documentPath) || IsSameFile(installer, m_documentPath)) {
    AfxMessageBox(m_documentPath + kOverwritesInput, MB_ICONEXCLAMATION);
    return FALSE;
  }
  // A patch that fails tells the user and the make goes on.
  auto patch = [&](auto&& step) {
    try {
      step();
    } catch (CUtilMakeException* e) {
      delete e;
      AfxMessageBox(kCustomImageFailed, MB_ICONEXCLAMATION);
    }
  };
  try {
    {
      CStagedOutput staged(saver, 3);
      const char* const writing = staged.Path();
      WriteRuntime(writing, true);
      AppendScript(writing, m_documentPath, carried::kFlagTestRun);
      if (customImage) patch([&] { PatchBitmap(writing, 0); });
      if (customIcon) patch([&] { PatchIcon(writing, 0, false); });
      staged.PutInPlace();
    }
    const uint32_t stub = GetInstallerStubSize();
    CStagedOutput staged(installer, 8);
    const char* const writing = staged.Path();
    WriteInstallerStub(writing);
    if (customIcon) patch([&] { PatchIcon(writing, 0, true); });
    WriteRuntime(writing, false);
    AppendScript(writing, m_documentPath, carried::kFlagTestRun);
    if (customImage) patch([&] { PatchBitmap(writing, stub); });
    if (customIcon) patch([&] { PatchIcon(writing, stub, false); });
    staged.PutInPlace();
  } catch (CUtilMakeException* e) {
    AfxMessageBox(e->m_message, MB_ICONEXCLAMATION);
    Fail(e);
    m_lastErrorShown = true;
    return FALSE;
  }
  return TRUE;
}

bool CSaverMaker::IsCarriedSaver(const uint8_t* bytes, uint32_t size) {
  if (size < 2 || bytes[0] != 'M' || bytes[1] != 'Z') return false;
  // A scripted saver: the runtime, then a whole payload.
  carried::ScriptPayload payload;
  if (size >= carried::kRuntimeImageSize + carried::kWordSize + carried::kTrailerSize &&
      carried::LocateScriptPayload(size, bytes + carried::kRuntimeImageSize,
                                   bytes + size - carried::kTrailerSize,
                                   &payload) == carried::PayloadError::kNone)
    return true;
  // A movie saver: this builder's movie engine (its headers, which the
  // writer never patches), then the movie.
  const uint32_t kHeaders = 0x400;
  if (size <= carried::kEngineImageSize) return false;
  uint32_t engineSize = 0;
  const uint8_t* engine = CarriedImage(kEngineResource, &engineSize, 1, 2);
  return engineSize >= kHeaders && std::memcmp(bytes, engine, kHeaders) == 0;
}

BOOL CSaverMaker::MakeInstallerForSaver(const char* output, const char* saver) {
  ResetLastError();
  if (IsSameFile(output, saver)) return RefuseOverwrite(saver);
  const bool customIcon = ProfileInt("CustomIcon") != 0;
  try {
    FileBytes bytes;
    try {
      ReadAll(saver, &bytes);
    } catch (CException* e) {
      e->Delete();
      Raise(4);
    }
    if (!IsCarriedSaver(bytes.data, bytes.size)) Raise(11);
    // The installer's layout: the stub, then the whole saver.
    CStagedOutput staged(output, 8);
    WriteInstallerStub(staged.Path());
    try {
      CFile file;
      OpenForAppend(&file, staged.Path());
      file.Write(bytes.data, bytes.size);
      file.Close();
    } catch (CException* e) {
      e->Delete();
      Raise(8);
    }
    if (customIcon) PatchIcon(staged.Path(), 0, true);
    staged.PutInPlace();
  } catch (CUtilMakeException* e) {
    Fail(e);
    return FALSE;
  }
  return TRUE;
}

// ---------------------------------------------------------------------------

bool CIconFile::Load(const char* path) {
  FileBytes file;
  try {
    ReadAll(path, &file);
  } catch (CException* e) {
    e->Delete();
    Clear();
    return false;
  }
  LoadBytes(file.data, file.size);
  return true;
}
