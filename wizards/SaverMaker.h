// The output writer: turns a saved scene document or a movie into the files
// the user gets: a scripted screen saver (the saver runtime followed by the
// payload), an installer carrying such a saver, and a movie-only saver with
// its installer. It never interprets the document; it copies its bytes.
//
// Scripted saver: runtime image | 4-byte word (the document's length) |
// document | settings byte | flag byte. Installer: stub image | saver.
// Movie saver: engine image | movie. Custom icon and logo images replace
// the carried programs' own, found in their resource tables; only data
// that exactly fits a slot is written. An output that is the very file it
// is made from (the document or the movie, under any spelling) is refused
// before anything is opened for writing. Each output is written under a
// temporary name in its folder and takes its own name only when whole: a
// make that fails leaves an earlier file of that name as it was.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/Object.h"
#include "framework/Strings.h"
#include "common/Payload.h"
#include "wizards/CustomImages.h"

// Raised by the writer's steps; never leaves CSaverMaker's public
// operations. Thrown as a pointer; the catcher deletes it.
class CUtilMakeException : public CObject {
 public:
  CUtilMakeException(int code, const char* message) : m_code(code), m_message(message) {}
  ~CUtilMakeException() override = default;

  int m_code;  // 1 to 11
  CString m_message;
};

class CSaverMaker : public CObject {
 public:
  CSaverMaker();
  ~CSaverMaker() override;

  BOOL MakeScr(const char* output, const char* document);
  BOOL MakeInstaller(const char* output, const char* document);
  BOOL MakeMovieSaver(const char* output, const char* movie);
  // Saver and installer beside m_documentPath, flag byte 1; shows its own
  // messages.
  BOOL MakeBesideDocument();
  // An installer for a finished screen saver of this builder (scripted or
  // movie-only): the installer stub followed by the saver's bytes as they
  // are. Any other file is refused (code 11).
  BOOL MakeInstallerForSaver(const char* output, const char* saver);

  // Steps; each raises CUtilMakeException.
  void WriteRuntime(const char* output, bool create);
  void WriteEngine(const char* output, bool create);
  void WriteInstallerStub(const char* output);
  // The document's length word, the document and the settings byte; with
  // a flag (0 to 255) also the flag byte, in the same writing.
  void AppendScript(const char* output, const char* document, int flag = -1);
  void AppendMovie(const char* output, const char* movie);
  // The custom logo over the logo slot of the runtime that starts at base.
  void PatchBitmap(const char* output, uint32_t base);
  // The custom icon images over the icon slots of the carried program
  // (runtime or installer stub) that starts at base.
  void PatchIcon(const char* output, uint32_t base, bool stub);
  uint32_t GetInstallerStubSize();

  CString m_documentPath;
  // Where the carried programs are found: the builder's own module unless
  // set (tests load the builder as a data file).
  HMODULE m_resources = nullptr;
  // The folder of "custom.bmp" and "Custom.ico", with its last backslash:
  // the builder's own folder unless set.
  CString m_customFolder;

  // Why the last make returned false: the step's code and message (code 0
  // when an output would have overwritten its own input, which the message
  // names), and whether the user has been told already (the document that
  // could not be read shows its own message). Cleared by every make.
  int m_lastErrorCode = 0;
  CString m_lastErrorMessage;
  bool m_lastErrorShown = false;

 private:
  void ResetLastError();
  // Keeps the exception's code and message, and deletes it.
  void Fail(CUtilMakeException* e);
  // Keeps why the input is refused as an output; returns FALSE.
  BOOL RefuseOverwrite(const char* input);
  bool IsCarriedSaver(const uint8_t* bytes, uint32_t size);
  // The bytes of a "FILE" resource, or codes notFound/notLoaded.
  const uint8_t* CarriedImage(const char* name, uint32_t* size, int notFound, int notLoaded);
  void WriteCarried(const char* output, const char* name, bool create, bool seekEnd, int notFound,
                    int notLoaded, int ioError);
  // The patch slots of the runtime or the stub, looked up once. A patch
  // raises its own code when the program is missing or lacks the slots it
  // needs (the icons, or the runtime's logo).
  struct CarriedSlots {
    bool looked = false;
    bool icons = false;
    bool logo = false;
    carried::PatchSlots slots;
  };
  const CarriedSlots& Slots(bool stub, int code);
  CString CustomFolder() const;

  CarriedSlots m_runtimeSlots;
  CarriedSlots m_stubSlots;
};
