// Reading the script of the payload. The document is read from memory that
// holds exactly its bytes, so no damaged count or length inside it can make
// the reader go past it into the trailing bytes or the program image.
#include "runtime/ScriptPlayback.h"

#include <new>

#include "framework/Archive.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "script/Palette.h"
#include "script/SceneDocument.h"

CScriptPlayback::CScriptPlayback() {
  try {
    m_palette = new CCommandPalette;
    g_pCommandPalette = m_palette;
  } catch (CException* e) {
    e->Delete();
    m_palette = nullptr;
  }
}

CScriptPlayback::~CScriptPlayback() {
  if (g_pCommandPalette == m_palette) g_pCommandPalette = nullptr;
  delete m_palette;
}

bool CScriptPlayback::LoadScript(HANDLE file, ULONGLONG offset, ULONGLONG length, char* reason,
                                 int reasonSize) {
  auto fail = [&](const char* why) {
    lstrcpynA(reason, why, reasonSize);
    return false;
  };
  if (!m_palette) return fail("the command palette cannot be made");
  if (length > 0x7FFFFFFF) return fail("the document is too large");
  uint8_t* bytes = new (std::nothrow) uint8_t[static_cast<size_t>(length)];
  if (!bytes) return fail("no memory for the document");
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  DWORD got = 0;
  if (!::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) ||
      !::ReadFile(file, bytes, static_cast<DWORD>(length), &got, nullptr) || got != length) {
    delete[] bytes;
    return fail("the document cannot be read");
  }
  int loaded = 0;
  {
    CMemFile memory(bytes, static_cast<unsigned>(length));
    try {
      CArchive ar(&memory, CArchive::load, 4096);
      loaded = LoadScriptArchive(ar, m_palette->GetCommands());
      ar.Close();
    } catch (CException* e) {
      e->Delete();
      loaded = -1;
    }
    memory.Detach();
  }
  delete[] bytes;
  if (loaded < 0) return fail("the document is damaged or of an unknown version");
  // A command that refused has shown its own message.
  if (loaded == 0) return fail("a command of the script refused to run");
  return true;
}

bool CScriptPlayback::StartPlaying(CSaverWnd* window, UINT* times) {
  // The scene thread plugs in here; until then the saver shows its black
  // window and ends on input as its settings say.
  return true;
}
