// The saver runtime plays its script with the scene thread: a saver made
// from a document of Cls, Line and an endless loop of Waits colours the
// screen, draws the line, keeps playing, and ends promptly on a key (the
// window's destruction stops the thread in its loop); a picture object
// shown with a transition appears on the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Archive.h"
#include "framework/Files.h"
#include "script/Commands.h"
#include "script/Palette.h"
#include "script/Objects.h"
#include "script/SceneDocument.h"
#include "tests/playback/PictureBytes.h"
#include "wizards/SaverMaker.h"

namespace {

void WriteList(const std::string& path, CCommandList& list) {
  list.NumberCommands();
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    WriteSceneDocument(ar, list);
    ar.Close();
  }
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(f, file.GetBuffer(), static_cast<DWORD>(file.GetLength()), &put, nullptr);
  CloseHandle(f);
}

std::string WriteDocument(const std::string& path) {
  CCommandList list;
  CClsCommand* cls = static_cast<CClsCommand*>(CreateCommand(kTypeCls));
  cls->m_colour.m_colour = RGB(0, 160, 0);
  list.Add(cls);
  CLineCommand* line = static_cast<CLineCommand*>(CreateCommand(kTypeLine));
  line->m_motion.m_startModeX = line->m_motion.m_startModeY = kModeStored;
  line->m_motion.m_endModeX = line->m_motion.m_endModeY = kModeStored;
  line->m_motion.m_startX = 20;
  line->m_motion.m_startY = 40;
  line->m_motion.m_endX = 200;
  line->m_motion.m_endY = 40;
  line->m_colour.m_colour = RGB(255, 0, 0);
  line->m_penWidth = 5;
  // Drawn again every round: a repaint of the saver window (another
  // program's window coming and going) erases it with the Cls colour.
  list.Add(CreateCommand(kTypeRepeat));
  list.Add(line);
  CWaitCommand* wait = static_cast<CWaitCommand*>(CreateCommand(kTypeWait));
  wait->m_duration.m_milliseconds = 250;
  list.Add(wait);
  CUntilCommand* until = static_cast<CUntilCommand*>(CreateCommand(kTypeUntil));
  until->m_repeat.m_infinite = 1;
  list.Add(until);
  WriteList(path, list);
  return path;
}

// Cls, then a red picture at (300, 200) revealed by Wipe Down, shown again
// every round (a repaint of the saver window erases it).
std::string WritePictureDocument(const std::string& path) {
  CCommandList list;
  CClsCommand* cls = static_cast<CClsCommand*>(CreateCommand(kTypeCls));
  cls->m_colour.m_colour = RGB(0, 0, 160);
  list.Add(cls);
  CImageTextObject* picture = static_cast<CImageTextObject*>(CreateCommand(kTypeImageText));
  picturetest::SetPictureBytes(*picture,
                               picturetest::MakeBmp(64, 48, [](int, int) { return RGB(255, 0, 0); }));
  picture->m_displayName = "red.bmp";
  list.Add(picture);
  list.Add(CreateCommand(kTypeRepeat));
  CShowCommand* show = static_cast<CShowCommand*>(CreateCommand(kTypeShow));
  CMotionAttribute& m = show->m_ref.m_motion;
  m.m_startModeX = m.m_startModeY = m.m_endModeX = m.m_endModeY = kModeStored;
  m.m_startX = m.m_endX = 300;
  m.m_startY = m.m_endY = 200;
  m.m_effect = 37;
  list.Add(show);
  show->SetTarget(picture);
  CWaitCommand* wait = static_cast<CWaitCommand*>(CreateCommand(kTypeWait));
  wait->m_duration.m_milliseconds = 250;
  list.Add(wait);
  CUntilCommand* until = static_cast<CUntilCommand*>(CreateCommand(kTypeUntil));
  until->m_repeat.m_infinite = 1;
  list.Add(until);
  WriteList(path, list);
  return path;
}

HWND SaverWindowOf(DWORD pid) {
  struct Found {
    DWORD pid;
    HWND hwnd;
  } found = {pid, nullptr};
  EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        auto* f = reinterpret_cast<Found*>(lp);
        DWORD p = 0;
        GetWindowThreadProcessId(h, &p);
        char cls[32] = {};
        GetClassNameA(h, cls, sizeof cls);
        if (p == f->pid && strcmp(cls, "SS3.0") == 0) {
          f->hwnd = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.hwnd;
}

COLORREF ScreenPixel(int x, int y) {
  HDC dc = GetDC(nullptr);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(nullptr, dc);
  return c;
}

}  // namespace

TEST(SceneSaver, PlaysItsScriptAndStopsOnAKey) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string dir = std::string(temp) + "scene_saver" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string fsd = WriteDocument(dir + "\\Play.fsd"), scr = dir + "\\Play.scr";
  HMODULE builder = LoadLibraryExA(LW_BUILD_DIR "/builder/Lumenweave.exe", nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(builder, nullptr);
  CSaverMaker maker;
  maker.m_resources = builder;
  ASSERT_TRUE(maker.MakeScr(scr.c_str(), fsd.c_str()));
  FreeLibrary(builder);

  std::string cmd = "\"" + scr + "\" /s";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                             &pi));
  HWND saver = nullptr;
  bool cleared = false, lined = false;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 15000 && !(cleared && lined);
       Sleep(10)) {
    if (!saver) saver = SaverWindowOf(pi.dwProcessId);
    if (!saver) continue;
    cleared = cleared || ScreenPixel(100, 300) == RGB(0, 160, 0);
    lined = lined || ScreenPixel(100, 40) == RGB(255, 0, 0);
  }
  DWORD early = STILL_ACTIVE;
  GetExitCodeProcess(pi.hProcess, &early);
  ASSERT_EQ(early, static_cast<DWORD>(STILL_ACTIVE))
      << "the saver ended by itself; window seen: " << (saver != nullptr);
  EXPECT_TRUE(cleared) << "the Cls colour on the screen";
  EXPECT_TRUE(lined) << "the line on the screen";
  EXPECT_EQ(ScreenPixel(10, 40), RGB(0, 160, 0)) << "left of the line";
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 300), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the endless loop keeps the saver going";
  if (saver) PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  DWORD code = 0xFFFF;
  if (WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0)
    GetExitCodeProcess(pi.hProcess, &code);
  else
    TerminateProcess(pi.hProcess, 99);
  EXPECT_EQ(code, 0u) << "ended on the key while the thread waited";
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  DeleteFileA(scr.c_str());
  DeleteFileA(fsd.c_str());
  RemoveDirectoryA(dir.c_str());
}

TEST(SceneSaver, ShowsAPictureOfItsScript) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string dir =
      std::string(temp) + "scene_saver_picture" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string fsd = WritePictureDocument(dir + "\\Picture.fsd"), scr = dir + "\\Picture.scr";
  HMODULE builder = LoadLibraryExA(LW_BUILD_DIR "/builder/Lumenweave.exe", nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(builder, nullptr);
  CSaverMaker maker;
  maker.m_resources = builder;
  ASSERT_TRUE(maker.MakeScr(scr.c_str(), fsd.c_str()));
  FreeLibrary(builder);

  std::string cmd = "\"" + scr + "\" /s";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                             &pi));
  HWND saver = nullptr;
  bool shown = false;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 15000 && !shown; Sleep(10)) {
    if (!saver) saver = SaverWindowOf(pi.dwProcessId);
    if (!saver) continue;
    shown = ScreenPixel(301, 201) == RGB(255, 0, 0) && ScreenPixel(363, 247) == RGB(255, 0, 0) &&
            ScreenPixel(299, 201) == RGB(0, 0, 160) && ScreenPixel(364, 247) == RGB(0, 0, 160);
  }
  EXPECT_TRUE(shown) << "the picture on the Cls colour; window seen: " << (saver != nullptr);
  if (saver) PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  DWORD code = 0xFFFF;
  if (WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0)
    GetExitCodeProcess(pi.hProcess, &code);
  else
    TerminateProcess(pi.hProcess, 99);
  EXPECT_EQ(code, 0u);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  DeleteFileA(scr.c_str());
  DeleteFileA(fsd.c_str());
  RemoveDirectoryA(dir.c_str());
}
