// The wizards' dialogs through real windows, answered as a user would: the
// folder-limit warning (its two numbers, its three endings), the loading
// progress run modally on a thread of its own (stepped from this thread,
// ended by its event, cancelled from this thread), and the preview of one
// sequence item with its sound test.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "builder/WizardHelperDialogs.h"
#include "framework/Sync.h"
#include "framework/Thread.h"
#include "script/Objects.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/files.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/pump.h"
#include "tests/support/screen.h"
#include "wizards/WizardPagesResource.h"

namespace {

std::string ItemText(HWND dialog, int id) {
  char text[600] = "";
  ::GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

std::string WindowText(HWND hwnd) {
  char text[256] = "";
  ::GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

// The window as the screen shows it, kept in build/screenshots for a
// person to look at. A dialog answered from its hook is not on the screen
// yet: it is shown first.
void Shoot(HWND hwnd, const char* name) {
  ::CreateDirectoryA(LW_BUILD_DIR "/screenshots", nullptr);
  ::SetWindowPos(hwnd, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  ::UpdateWindow(hwnd);
  lwtest::FlushEvents(300);
  EXPECT_TRUE(lwtest::SaveWindowShot(hwnd, std::string(LW_BUILD_DIR "/screenshots/") + name + ".bmp"));
}

// ---- folder limit ------------------------------------------------------------------

TEST(FolderLimitDlg, ShowsTheLimitAndTheTotalAndEndsThreeWays) {
  struct Case {
    int button;
    INT_PTR result;
  } cases[] = {{IDOK, IDOK}, {IDC_WZ_LOAD_ALL, CFolderLimitDlg::kLoadAll}, {IDCANCEL, IDCANCEL}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    std::string limitText, totalText;
    lwtest::CDialogScript script([&](CDialog* d) {
      limitText = ItemText(*d, IDC_WZ_LIMIT_TEXT);
      totalText = ItemText(*d, IDC_WZ_TOTAL_TEXT);
      if (c.button == IDOK) Shoot(*d, "wizard_folder_limit");
      lwtest::Press(d, c.button);
    });
    CFolderLimitDlg dlg(40, 55, nullptr);
    EXPECT_EQ(dlg.DoModal(), c.result);
    EXPECT_EQ(limitText, "Warning! Only first 40 images from this folder will be loaded.");
    EXPECT_EQ(totalText,
              "This folder contains total of 55 images. Loading so many images at once could "
              "lock the system for a long period of time and significantly lower your system "
              "resources. You can change this limit in Edit/Options dialog.");
  }
  EXPECT_NE(CFolderLimitDlg::kLoadAll, IDOK);
  EXPECT_NE(CFolderLimitDlg::kLoadAll, IDCANCEL);
}

// ---- loading progress --------------------------------------------------------------

// A thread whose main window is the progress dialog, run modally, as the
// wizard's loader runs it.
class CLoaderThread : public CWinThread {
 public:
  CLoaderThread(HANDLE done, int total, bool media) : m_done(done), m_total(total), m_media(media) {
    m_bAutoDelete = false;
  }

  bool InitInstance() override {
    CLoadingDlg dlg(m_done, m_total, m_media);
    m_pMainWnd = &dlg;
    result = dlg.DoModal();
    m_pMainWnd = nullptr;
    return false;
  }

  // The dialog's window once it is up (from this thread's point of view).
  HWND WaitForWindow() {
    HWND found = nullptr;
    lwtest::PumpUntil([&] {
      found = FindDialogOfThread();
      return found != nullptr && ::IsWindowVisible(found);
    }, 10000);
    return found;
  }

  bool Join() { return ::WaitForSingleObject(m_hThread, 10000) == WAIT_OBJECT_0; }

  volatile INT_PTR result = -2;

 private:
  HWND FindDialogOfThread() {
    struct Search {
      HWND found = nullptr;
    } search;
    ::EnumThreadWindows(m_nThreadID, [](HWND hwnd, LPARAM lp) -> BOOL {
      char cls[16] = "";
      ::GetClassNameA(hwnd, cls, sizeof cls);
      if (lstrcmpA(cls, "#32770") != 0) return TRUE;
      reinterpret_cast<Search*>(lp)->found = hwnd;
      return FALSE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  HANDLE m_done;
  int m_total;
  bool m_media;
};

int BarPos(HWND dialog) {
  return static_cast<int>(::SendMessageA(::GetDlgItem(dialog, IDC_WZ_PROGRESS), PBM_GETPOS, 0, 0));
}

TEST(LoadingDlg, StepsFromAnotherThreadAndEndsWhenTheEventIsSet) {
  CEvent done(false, true);
  CLoaderThread loader(done, 10, false);
  ASSERT_TRUE(loader.CreateThread());
  const HWND dialog = loader.WaitForWindow();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowText(dialog), "Loading images");
  PBRANGE range = {};
  ::SendMessageA(::GetDlgItem(dialog, IDC_WZ_PROGRESS), PBM_GETRANGE, 0, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 10);
  for (int i = 0; i < 3; ++i) CLoadingDlg::Step(dialog);
  EXPECT_TRUE(lwtest::PumpUntil([&] { return BarPos(dialog) == 3; }, 5000)) << BarPos(dialog);
  Shoot(dialog, "wizard_loading");

  done.SetEvent();
  ASSERT_TRUE(loader.Join()) << "the dialog polls its event and ends";
  EXPECT_EQ(loader.result, IDOK);
  EXPECT_FALSE(::IsWindow(dialog));
}

TEST(LoadingDlg, CancelFromAnotherThreadSetsTheEventForTheLoader) {
  CEvent done(false, true);
  CLoaderThread loader(done, 4, true);
  ASSERT_TRUE(loader.CreateThread());
  const HWND dialog = loader.WaitForWindow();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowText(dialog), "Loading Media...");
  EXPECT_FALSE(done.IsSet());
  // A click on Cancel, as the dialog's thread receives it.
  ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDCANCEL)));
  if (!loader.Join()) done.SetEvent();  // never leave the thread waiting
  EXPECT_EQ(loader.result, IDCANCEL);
  EXPECT_TRUE(done.IsSet()) << "the loader must see the cancel";
}

TEST(LoadingDlg, StepAfterTheWindowIsGoneDoesNothing) {
  CLoadingDlg::Step(nullptr);
  CEvent done(true, true);
  CLoaderThread loader(done, 2, false);
  ASSERT_TRUE(loader.CreateThread());
  ASSERT_TRUE(loader.Join()) << "an event already set ends the dialog at its first tick";
  EXPECT_EQ(loader.result, IDOK);
}

// ---- sequence preview --------------------------------------------------------------

TEST(SequencePreviewDlg, ShowsADisplayItemWithoutASoundTest) {
  CImageTextObject text;
  text.m_kind = 1;
  text.m_text = "Hello there";
  text.m_textColour = RGB(255, 255, 0);
  text.m_bkMode = 1;
  text.m_bkColour = RGB(0, 0, 128);
  bool testEnabled = true, stopEnabled = true;
  CPreviewStatic::Showing showing = CPreviewStatic::kShowsNoImage;
  lwtest::CDialogScript script([&](CDialog* d) {
    auto* dlg = static_cast<CSequencePreviewDlg*>(d);
    testEnabled = ::IsWindowEnabled(dlg->GetDlgItem(IDC_WZ_TEST));
    stopEnabled = ::IsWindowEnabled(dlg->GetDlgItem(IDC_WZ_STOP));
    showing = dlg->GetPreview().GetShowing();
    Shoot(*d, "wizard_sequence_preview");
    lwtest::Press(d, IDOK);
  });
  CSequencePreviewDlg dlg(nullptr);
  dlg.m_pDisplay = &text;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(testEnabled);
  EXPECT_FALSE(stopEnabled);
  EXPECT_EQ(showing, CPreviewStatic::kShowsText);
}

TEST(SequencePreviewDlg, TestPlaysSoundsOnlyAndStopAndOkEndIt) {
  lwtest::CTempFolder folder("seqpreview");
  struct Case {
    const char* name;
    lwtest::Bytes bytes;
    bool plays;  // a MIDI test leaves its temporary file while it plays
  } cases[] = {
      {"tune.mid", lwtest::OneNoteMidi(), true},
      {"clip.avi", lwtest::SolidAvi(8, 8, 2, 10, RGB(0, 255, 0)), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.Path() + c.name;
    ASSERT_TRUE(lwtest::WriteAll(path, c.bytes));
    CMediaObject media;
    ASSERT_EQ(media.LoadMediaFile(path.c_str(), false), 1);
    bool testEnabled = false;
    std::string playingPath, afterStop;
    int opened = 0;
    lwtest::CDialogScript script([&](CDialog* d) {
      if (d->GetTemplateId() != IDD_WZ_SEQUENCE_PREVIEW) {
        ++opened;  // a video's own preview: must not come
        return;
      }
      auto* dlg = static_cast<CSequencePreviewDlg*>(d);
      testEnabled = ::IsWindowEnabled(dlg->GetDlgItem(IDC_WZ_TEST));
      lwtest::Press(d, IDC_WZ_TEST);
      playingPath = dlg->GetTestPlayer().GetMidi().m_path.GetString();
      lwtest::Press(d, IDC_WZ_STOP);
      afterStop = dlg->GetTestPlayer().GetMidi().m_path.GetString();
      lwtest::Press(d, IDC_WZ_TEST);
      lwtest::Press(d, IDOK);
    });
    CSequencePreviewDlg dlg(nullptr);
    dlg.m_pMedia = &media;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(testEnabled);
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(!playingPath.empty(), c.plays);
    if (c.plays) {
      EXPECT_FALSE(lwtest::FileExists(playingPath)) << "stopped tests leave no file";
    }
    EXPECT_TRUE(afterStop.empty());
    EXPECT_TRUE(dlg.GetTestPlayer().GetMidi().m_path.IsEmpty()) << "OK stops the test";
  }
}

}  // namespace
