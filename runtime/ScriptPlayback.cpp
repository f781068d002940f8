// Reading the script of the payload. The document is read from memory that
// holds exactly its bytes, so no damaged count or length inside it can make
// the reader go past it into the trailing bytes or the program image.
#include "runtime/ScriptPlayback.h"

#include <new>

#include "framework/Archive.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "playback/MediaPlayers.h"
#include "playback/SceneThread.h"
#include "runtime/DesktopPictures.h"
#include "runtime/SaverWnd.h"
#include "runtime/resource.h"
#include "script/Palette.h"
#include "script/SceneDocument.h"

// The saver window as the scene thread sees it: it keeps the picture the
// script draws, clears it with the Cls colour (always copied, whatever the
// raster operation), keeps the Url choice, shows the Exit button of a test
// run when playing begins and keeps a full-screen movie below its strip,
// and hears nothing at the end of the script (the last picture stays until
// input ends the saver).
class CSaverPlayOutput : public CWindowPlayOutput {
 public:
  explicit CSaverPlayOutput(CSaverWnd& window)
      : CWindowPlayOutput(window.GetSafeHwnd()), m_window(window) {}
  void SetBackground(COLORREF colour, DWORD) override {
    CWindowPlayOutput::SetBackground(colour, SRCCOPY);
  }
  void OnPlayStarting() override {
    if (m_window.IsTestRun()) m_window.ShowExitButton();
  }
  int GetFullScreenTop() const override { return m_window.IsTestRun() ? CExitButton::kHeight : 0; }
  void SetUrl(const char* address, int keys) override { m_window.SetUrl(address, keys); }
  void ClearUrl() override { m_window.ClearUrl(); }
  bool PostsEndMessage() const override { return false; }

 private:
  CSaverWnd& m_window;
};

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
  StopPlaying();
  if (g_pCommandPalette == m_palette) g_pCommandPalette = nullptr;
  delete m_palette;
}

// Failures leave a picture missing; the objects that show it then tell the
// user when they are first drawn.
void CScriptPlayback::CapturePictures(const char* desktopPath, const char* wallpaperPath) {
  CaptureDesktopToFile(desktopPath);
  int style = kWallpaperCentre;
  SaveActiveDesktopImage(wallpaperPath, &style);
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
  StopPlaying();
  if (!window || !m_palette) return false;
  m_output = new (std::nothrow) CSaverPlayOutput(*window);
  m_commands = new (std::nothrow) CCommandListPlay(m_palette->GetCommands());
  m_media = new (std::nothrow) CSceneMediaPlayers(window->GetSafeHwnd());
  if (m_media) {
    m_media->SetMuted(window->IsMuted());
    m_media->SetReportErrors(true);
    // A test run's movies can be clicked.
    m_media->SetMoviesTakeInput(window->IsTestRun());
    m_media->SetBlankCursor(
        ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDCUR_BLANK)));
  }
  if (m_output && m_commands && m_media)
    m_thread = new (std::nothrow)
        CSceneThread(m_output, times, CSceneThread::kPlay, m_commands, m_media);
  if (!m_thread || !m_thread->Start()) {
    StopPlaying();
    return false;
  }
  return true;
}

// The output paints its background where it has no picture.
bool CScriptPlayback::Paint(HDC dc) {
  if (!m_output) return false;
  m_output->Paint(dc);
  return true;
}

// Called while the saver window is destroyed: the thread may be redrawing
// it, so Stop answers the window's sent messages while it waits.
void CScriptPlayback::StopPlaying() {
  if (m_thread) m_thread->Stop();
  delete m_thread;
  m_thread = nullptr;
  delete m_output;
  m_output = nullptr;
  delete m_commands;
  m_commands = nullptr;
  delete m_media;
  m_media = nullptr;
}

void CScriptPlayback::OnMciNotify(WPARAM code, LPARAM device) {
  if (m_media) m_media->OnMciNotify(code, device);
}
