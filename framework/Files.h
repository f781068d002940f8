// CFile over a Win32 file handle, and CMemFile, a growable file in memory.
// Both report failures with the framework's file exception; Open reports
// them through its optional exception object instead.
#pragma once

#include <cstdint>

#include "framework/Object.h"
#include "framework/Strings.h"

class CFileException;

class CFile : public CObject {
 public:
  enum OpenFlags : unsigned {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000
  };
  enum SeekPosition { begin = 0, current = 1, end = 2 };

  CFile();
  // Takes over an open handle; the file closes it when destroyed.
  explicit CFile(void* hFile);
  // Opens or throws the file exception.
  CFile(const char* fileName, unsigned openFlags);
  ~CFile() override;

  virtual bool Open(const char* fileName, unsigned openFlags,
                    CFileException* error = nullptr);
  virtual unsigned Read(void* buffer, unsigned count);
  virtual void Write(const void* buffer, unsigned count);
  virtual uint64_t Seek(int64_t offset, unsigned from);
  uint64_t SeekToEnd() { return Seek(0, end); }
  void SeekToBegin() { Seek(0, begin); }
  virtual uint64_t GetLength() const;
  virtual uint64_t GetPosition() const;
  virtual void SetLength(uint64_t length);
  virtual void Flush();
  virtual void Close();
  // Closes without throwing.
  virtual void Abort();

  const CString& GetFilePath() const { return m_strFileName; }
  void* GetHandle() const { return m_hFile; }
  bool IsOpen() const { return m_hFile != hFileNull; }

  static void Remove(const char* fileName);
  static void Rename(const char* oldName, const char* newName);

  static void* const hFileNull;

 protected:
  void* m_hFile;
  bool m_bCloseOnDelete;
  CString m_strFileName;
};

// A file written in the place of another only once it is whole (a saved
// document, a made screen saver): it is written under a temporary name in
// the target's own folder, so that putting it in the target's place is a
// rename on the same volume, and an earlier file of the target's name
// stays as it was until then.
//
// MakeTemporaryBeside makes an empty temporary file in the target's folder
// and gives its name; false, with the system's error, when the folder
// takes no file. ReplaceWithTemporary puts the finished temporary file in
// the target's place, keeping an earlier target's attributes; false, with
// the system's error, when it cannot (the temporary file is then the
// caller's to delete). A folder or a read-only file of the target's name
// is never replaced.
bool MakeTemporaryBeside(const char* target, CString& temporary);
// The same made open for writing (one opening fewer for a writer that
// writes it at once): the handle, or INVALID_HANDLE_VALUE with the
// system's error.
void* CreateTemporaryBeside(const char* target, CString& temporary);
// A temporary file that CreateTemporaryBeside made and is still open may be
// given (openTemporary): it is then renamed through its handle, which its
// caller closes afterwards.
bool ReplaceWithTemporary(const char* temporary, const char* target,
                          void* openTemporary = nullptr);

// Names that come in from the system as UTF-16 (the command line, dropped
// files, the file dialogs) made into the ANSI paths these programs use.
// AnsiPathFromWide gives the path itself when the code page holds every
// character of it, else the system's short name of the existing file or
// folder when that has an ANSI form; false when there is neither, so that
// such a name is refused rather than read as some other file.
// AnsiCommandLineFromWide gives the arguments of a wide command line (the
// program's name already cut off) as ANSI text, an argument outside the
// code page by the short name of the file it names, quoted. IsOutsideCodePage
// tells an ANSI name that lost characters on the way ('?' cannot be in a
// file name).
bool AnsiPathFromWide(const wchar_t* path, CString& ansi);
CString AnsiCommandLineFromWide(const wchar_t* args);
bool IsOutsideCodePage(const char* name);
// The name of a folder listing's entry (cFileName, cAlternateFileName) by
// which it opens: its short name when its own name lost characters.
const char* OpenableFoundName(const char* name, const char* shortName);

class CMemFile : public CFile {
 public:
  explicit CMemFile(unsigned growBytes = 1024);
  // Works over a caller's buffer; with growBytes 0 it cannot grow and the
  // buffer stays the caller's.
  CMemFile(uint8_t* buffer, unsigned size, unsigned growBytes = 0);
  ~CMemFile() override;

  void Attach(uint8_t* buffer, unsigned size, unsigned growBytes = 0);
  // Gives the buffer to the caller (who frees it with free() when the file
  // allocated it) and empties the file.
  uint8_t* Detach();

  bool Open(const char* fileName, unsigned openFlags, CFileException* error = nullptr) override;
  unsigned Read(void* buffer, unsigned count) override;
  void Write(const void* buffer, unsigned count) override;
  uint64_t Seek(int64_t offset, unsigned from) override;
  uint64_t GetLength() const override { return m_nFileSize; }
  uint64_t GetPosition() const override { return m_nPosition; }
  void SetLength(uint64_t length) override;
  void Flush() override {}
  void Close() override;
  void Abort() override;

  const uint8_t* GetBuffer() const { return m_lpBuffer; }

 protected:
  // Allocation hooks for derived memory files (shared global memory).
  virtual uint8_t* Alloc(size_t bytes);
  virtual uint8_t* Realloc(uint8_t* block, size_t bytes);
  virtual void Free(uint8_t* block);
  void AttachOwned(uint8_t* buffer, uint64_t size, uint64_t bufferSize);

 private:
  void GrowFile(uint64_t newLength);

  unsigned m_nGrowBytes;
  uint64_t m_nPosition;
  uint64_t m_nBufferSize;
  uint64_t m_nFileSize;
  uint8_t* m_lpBuffer;
  bool m_bAutoDelete;
};

// A memory file in moveable, shareable global memory, for the clipboard and
// drag and drop: the block can be handed over as an HGLOBAL.
class CSharedFile : public CMemFile {
 public:
  explicit CSharedFile(unsigned growBytes = 4096);
  ~CSharedFile() override;

  // Gives the block (unlocked, cut to the file's length) to the caller and
  // empties the file.
  void* Detach();
  // Works over a caller's HGLOBAL. A borrowed block (the clipboard's, a
  // drop's) stays the caller's: the file only reads and writes inside it
  // and never frees it. An owned block is the file's from then on: it may
  // grow and is freed when the file closes.
  void SetHandle(void* hGlobal, bool owned = false);
  void Close() override;
  void Abort() override { Close(); }

 protected:
  uint8_t* Alloc(size_t bytes) override;
  uint8_t* Realloc(uint8_t* block, size_t bytes) override;
  void Free(uint8_t* block) override;

 private:
  void* m_hGlobal = nullptr;
  bool m_bBorrowed = false;
};
