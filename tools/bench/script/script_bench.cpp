// Script benchmark (not a test): how long the builder takes to open a large
// document, made in this process from its own application object and
// resources, and where that time goes:
//   read         the document read into a command list (the script model
//                alone, no window)
//   open         File Open of the document in the builder: the old script
//                emptied, the file read, the list filled and indented, up
//                to the first painted window
//   close        the script emptied again (File New)
// Documents of 10,000 and 100,000 commands in blocks as the wizards write
// them: an object (a text) shown, moved, waited on and hidden, and one of a
// few objects that every block shows (thousands of commands each), inside
// Repeat and Until loops. The goal is a share of
// a second per 10,000 commands, the same at both sizes (no step of the open
// grows faster than the script).
//   tools/bench/run script [ROUNDS]
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "builder/BuilderApp.h"
#include "builder/MainFrame.h"
#include "builder/SceneView.h"
#include "builder/StartDialogs.h"
#include "framework/Archive.h"
#include "framework/CommandIds.h"
#include "framework/Files.h"
#include "script/Objects.h"
#include "script/Options.h"
#include "script/Palette.h"
#include "script/SceneDocument.h"
#include "tests/builder/builder_run.h"
#include "tools/bench/support/timing.h"

namespace {

using bench::Median;
using bench::NowMs;

// A script of about `count` commands: loops of blocks, each block a text
// object shown, moved, waited on and hidden, and one of a few objects that
// every block shows.
void MakeScript(int count, CCommandList& list) {
  std::vector<CSceneObject*> shared;
  auto add = [&](int type) {
    CSceneCommand* cmd = CreateCommand(type);
    list.Add(cmd);
    return cmd;
  };
  auto object = [&](int n) {
    auto* text = static_cast<CImageTextObject*>(add(kTypeImageText));
    text->m_kind = 1;
    text->m_text.Format("Picture %d", n);
    return text;
  };
  for (int i = 0; i < 4; ++i) shared.push_back(object(i));
  int n = 0;
  while (list.GetSize() < count) {
    add(kTypeRepeat);
    for (int b = 0; b < 100 && list.GetSize() < count; ++b, ++n) {
      CSceneObject* own = object(n);
      add(kTypeShow)->SetTarget(own);
      add(kTypeMove)->SetTarget(own);
      add(kTypeWait);
      add(kTypeShow)->SetTarget(shared[n % shared.size()]);
      add(kTypeHide)->SetTarget(own);
      add(kTypeComment);
    }
    add(kTypeUntil);
  }
}

bool WriteDocument(const std::string& path, int count) {
  CCommandList list;
  MakeScript(count, list);
  CFile file;
  if (!file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite)) return false;
  CArchive ar(&file, CArchive::store, 64 * 1024);
  WriteSceneDocument(ar, list);
  ar.Close();
  file.Close();
  return true;
}

void Pump() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

struct Times {
  double read = 0, open = 0, close = 0;
  int lines = 0;
};

Times Measure(CBuilderApp* app, const std::string& path, int rounds) {
  std::vector<double> read, open, close;
  Times t;
  for (int r = 0; r < rounds; ++r) {
    {
      CCommandList list;
      CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
      CArchive ar(&file, CArchive::load, 4096);
      const double start = NowMs();
      ReadSceneDocument(ar, list, g_pCommandPalette);
      read.push_back(NowMs() - start);
    }
    HWND frame = app->m_pMainWnd->GetSafeHwnd();
    double start = NowMs();
    app->OpenDocumentFile(path.c_str());
    ::UpdateWindow(frame);
    ::RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    open.push_back(NowMs() - start);
    CSceneView* view = static_cast<CMainFrame*>(app->m_pMainWnd)->GetSceneView();
    t.lines = view->GetLineCount();
    start = NowMs();
    ::SendMessageA(frame, WM_COMMAND, ID_FILE_NEW, 0);
    Pump();
    close.push_back(NowMs() - start);
  }
  t.read = Median(read);
  t.open = Median(open);
  t.close = Median(close);
  return t;
}

}  // namespace

// Argument: the rounds of each size (3).
int main(int argc, char** argv) {
  const int rounds = argc > 1 && atoi(argv[1]) > 0 ? atoi(argv[1]) : 3;
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "lw_script_" + std::to_string(::GetCurrentProcessId());
  ::CreateDirectoryA(folder.c_str(), nullptr);
  ::SetCurrentDirectoryA(folder.c_str());

  // The builder's profile goes to a key of this run, which says that the
  // Start window has been seen: the frame alone, as a user's second start.
  const std::string profile = "Software\\LumenweaveScriptBench\\" + std::to_string(::GetCurrentProcessId());
  HKEY root = nullptr, settings = nullptr;
  ::RegCreateKeyExA(HKEY_CURRENT_USER, profile.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr);
  ::RegOverridePredefKey(HKEY_CURRENT_USER, root);
  ::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Corvanta\\Lumenweave\\4.70\\Lumenweave\\Settings", 0,
                    nullptr, 0, KEY_ALL_ACCESS, nullptr, &settings, nullptr);
  const DWORD seen = 1;
  ::RegSetValueExA(settings, "StartDlg", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seen), sizeof seen);
  ::RegCloseKey(settings);

  // The options file, which the builder writes at its end, is put back as
  // it was found.
  const std::string options = static_cast<const char*>(CBuilderOptions::GetFilePath());
  const std::string kept = folder + "\\options.kept";
  const bool hadOptions = ::CopyFileA(options.c_str(), kept.c_str(), FALSE) != 0;

  lwtest::CBuilderRun run;
  if (!run.Start("") || !run.app->m_pMainWnd) {
    printf("the builder did not start\n");
    return 1;
  }
  CSplashWnd::HideSplashScreen();
  Pump();

  printf("script: medians of %d rounds\n", rounds);
  printf("\n%-28s %8s %10s %10s %10s %14s %8s %s\n", "document", "lines", "read ms", "open ms",
         "close ms", "open ms/10000", "goal", "met");
  const int sizes[] = {10000, 100000};
  for (int count : sizes) {
    const std::string path = folder + "\\large-" + std::to_string(count) + ".fsd";
    if (!WriteDocument(path, count)) {
      printf("%s cannot be written\n", path.c_str());
      return 1;
    }
    const Times t = Measure(run.app, path, rounds);
    const double per = t.open * 10000.0 / count;
    const double goal = 250.0;
    printf("%-28s %8d %10.1f %10.1f %10.1f %14.1f %8s %s\n",
           (std::to_string(count) + " commands").c_str(), t.lines, t.read, t.open, t.close, per,
           "<=250", per <= goal ? "yes" : "NO");
    fflush(stdout);
    ::DeleteFileA(path.c_str());
  }
  run.Stop();
  if (hadOptions)
    ::MoveFileExA(kept.c_str(), options.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
  else
    ::DeleteFileA(options.c_str());
  ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  ::RegCloseKey(root);
  ::RegDeleteTreeA(HKEY_CURRENT_USER, profile.c_str());
  ::SetCurrentDirectoryA(temp);
  ::RemoveDirectoryA(folder.c_str());
  return 0;
}
