// The saver runtime's start-up, payload reading, speed calibration and end.
#include "runtime/SaverApp.h"

#include <shellapi.h>

#include <cstring>

#include "common/AppUtils.h"
#include "common/Payload.h"
#include "framework/Seams.h"
#include "framework/Sync.h"
#include "framework/Trace.h"
#include "playback/SpeedCalibration.h"
#include "runtime/PasswordHash.h"
#include "runtime/PreviewWnd.h"
#include "runtime/SaverDialogs.h"
#include "runtime/SaverPlayback.h"
#include "runtime/SaverSettings.h"
#include "runtime/SaverWnd.h"
#include "script/ScriptPolicy.h"

namespace {

bool ReadAt(HANDLE file, ULONGLONG offset, void* out, DWORD size) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  DWORD got = 0;
  return ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
         ::ReadFile(file, out, size, &got, nullptr) && got == size;
}

}  // namespace

bool RegisterSaverWindowClass() {
  return CWnd::RegisterNamedClass(kSaverWindowClass,
                                  CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS, nullptr,
                                  nullptr, nullptr);
}

void CurrentSystemText(char* out, int size) { FormatSystemInfoText(out, size); }

CSaverApp::CSaverApp() : CWinApp("Halcyra") {
  // The saver's window is topmost and the saver waits for its scene thread:
  // a box from the script or the picture layer, on any thread, would stay
  // unseen and hold the saver. Their messages go to the debug output.
  SetLibraryMessagesToDebugOutput(true);
}

CSaverApp::~CSaverApp() {
  SetLibraryMessagesToDebugOutput(false);
  // The window object, if one is left, goes before the pictures it shows.
  delete m_window;
  m_window = nullptr;
  m_pMainWnd = nullptr;
  if (m_desktopPath[0]) ::DeleteFileA(m_desktopPath);
  if (m_wallpaperPath[0]) ::DeleteFileA(m_wallpaperPath);
  if (m_session.GetExitAddress()[0]) OpenExitAddress(m_session.GetExitAddress(), GetOsClass());
}

void CSaverApp::Refuse(const char* reason) {
  LwTrace("Halcyra: %s\n", reason);
  m_exitCode = 1;
}

bool CSaverApp::InitInstance() {
  m_exitCode = 0;
  // The pictures of the desktop and the wallpaper, made in every mode before
  // the command line is read.
  // Named for this process, so that a preview and a run of the same saver
  // never share a picture.
  GetProcessTempPath("desktop", "bmp", m_desktopPath, sizeof m_desktopPath);
  GetProcessTempPath("wallpaper", "bmp", m_wallpaperPath, sizeof m_wallpaperPath);
  GetSaverPlayback()->CapturePictures(m_desktopPath, m_wallpaperPath);
  // Picture objects made from the desktop or the wallpaper show this
  // machine's, read from these files when they are first drawn.
  ScriptPolicy::SetSourcePicturePaths(m_desktopPath, m_wallpaperPath);

  // The application's name is the shell's display name of the saver file;
  // the settings and the password live under it.
  char path[MAX_PATH] = "";
  DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) path[0] = 0;
  SHFILEINFOA info = {};
  if (path[0] && ::SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_DISPLAYNAME) &&
      info.szDisplayName[0])
    lstrcpynA(m_displayName, info.szDisplayName, sizeof m_displayName);
  else
    lstrcpynA(m_displayName, GetAppName(), sizeof m_displayName);
  SetProfileName(m_displayName);
  SetAppCaption(m_displayName);
  SetRegistryKey(saver::kRegistryKey);

  const SaverCommand command = ParseSaverCommandLine(m_lpCmdLine);
  const HWND handle = reinterpret_cast<HWND>(command.handle);
  switch (command.mode) {
    case SaverMode::Settings:
      CSaverSettingsDlg(nullptr).DoModal();
      return false;
    case SaverMode::Configure:
      CSaverSettingsDlg(::GetForegroundWindow()).DoModal();
      return false;
    case SaverMode::Preview:
      PreviewMode(handle);
      return m_window != nullptr;
    case SaverMode::Run:
      RunMode();
      return m_window != nullptr;
    case SaverMode::Password:
      if (handle && !::IsWindow(handle)) {
        Refuse("the password owner is not a window");
        return false;
      }
      PasswordMode(handle);
      return false;
    case SaverMode::None:
      break;
  }
  return false;
}

void CSaverApp::RunMode() {
  if (!ReadEmbeddedScript()) {
    m_exitCode = 1;
    return;
  }
  if (!RegisterSaverWindowClass()) return Refuse("the window class cannot be registered");
  m_session.ReadSettings(*this);
  CSaverWnd* wnd = new CSaverWnd(m_session);
  if (!wnd->CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kSaverWindowClass, "", WS_POPUP | WS_VISIBLE,
                     0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                     nullptr, 0)) {
    delete wnd;
    return Refuse("the saver window cannot be created");
  }
  m_window = wnd;
  m_pMainWnd = wnd;
  // Black on the screen before the speed count or the script begins.
  wnd->UpdateWindow();
  if (!wnd->BeginPlaying()) {
    wnd->DestroyWindow();
    delete wnd;
    m_window = nullptr;
    m_pMainWnd = nullptr;
    Refuse("the scene thread cannot be made");
  }
}

void CSaverApp::PreviewMode(HWND parent) {
  if (!parent || !::IsWindow(parent)) return Refuse("the preview area is not a window");
  if (!RegisterSaverWindowClass()) return Refuse("the window class cannot be registered");
  RECT area = {};
  ::GetClientRect(parent, &area);
  CSaverPreviewWnd* wnd = new CSaverPreviewWnd(m_displayName);
  if (!wnd->CreateEx(0, kSaverWindowClass, "", WS_CHILD | WS_VISIBLE, area, parent, 0)) {
    delete wnd;
    return Refuse("the preview window cannot be created");
  }
  m_window = wnd;
  m_pMainWnd = wnd;
}

void CSaverApp::PasswordMode(HWND owner) { ChangeSaverPassword(owner); }

bool CSaverApp::ReadEmbeddedScript() {
  char path[MAX_PATH] = "";
  DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
  char reason[200] = "the program's own file name is too long";
  if (n > 0 && n < sizeof path && ReadPayload(path, reason, sizeof reason)) return true;
  Refuse(reason);
  return false;
}

bool CSaverApp::ReadPayload(const char* path, char* reason, int reasonSize) {
  CHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  auto fail = [&](const char* why) {
    lstrcpynA(reason, why, reasonSize);
    return false;
  };
  if (!file.IsValid()) return fail("the saver file cannot be opened");
  LARGE_INTEGER size = {};
  if (!::GetFileSizeEx(file, &size)) return fail("the saver file's size cannot be read");
  const ULONGLONG total = static_cast<ULONGLONG>(size.QuadPart);
  uint8_t word[carried::kWordSize] = {};
  uint8_t trailer[carried::kTrailerSize] = {};
  if (total >= carried::kRuntimeImageSize + sizeof word + sizeof trailer &&
      (!ReadAt(file, total - sizeof trailer, trailer, sizeof trailer) ||
       !ReadAt(file, carried::kRuntimeImageSize, word, sizeof word)))
    return fail("the payload cannot be read");
  carried::ScriptPayload payload;
  const carried::PayloadError error = carried::LocateScriptPayload(total, word, trailer, &payload);
  if (error != carried::PayloadError::kNone) return fail(carried::DescribePayloadError(error));
  m_session.testRun = payload.flag != 0;
  m_payloadWord = payload.documentLength;
  return GetSaverPlayback()->LoadScript(file, payload.documentOffset, payload.documentLength,
                                        reason, reasonSize);
}
