// The wizards' dialogs through real windows, answered as a user would: the
// folder-limit warning (its two numbers, its three endings), the loading
// progress run modally on a thread of its own (stepped from this thread,
// ended by its event, cancelled from this thread), the preview of one
// sequence item with its sound test, the sequence step's pages on a sheet
// in a stand-in step window (each control edits exactly its field of the
// template, the enable rules, Apply to selection, Add through the insert
// dialogs) and the insert dialogs themselves.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "wizards/WizardHelperDialogs.h"
#include "framework/Seams.h"
#include "framework/Sync.h"
#include "framework/Thread.h"
#include "script/Objects.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/files.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/screen.h"
#include "tests/support/swf_writer.h"
#include "wizards/WizardPages.h"
#include "wizards/WizardPagesResource.h"
#include "wizards/WizardSteps.h"

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

// The loader's own thread: once the window has gone (the user cancelled),
// the thread publishes no window, so the load steps nothing, and the
// handle it had names no bar any more.
TEST(LoadingDlg, StepAfterTheWindowIsGoneDoesNothing) {
  const CString name = LoadEventName(false) + "-gone";
  CEvent done(false, true, name);
  CWizardStep2LoaderThread loader(name, 3);
  ASSERT_TRUE(loader.CreateThread());
  // The thread uses the object until it ends: it is never left running.
  auto join = [&] {
    if (::WaitForSingleObject(loader.m_hThread, 10000) == WAIT_OBJECT_0) return true;
    done.SetEvent();
    ::WaitForSingleObject(loader.m_hThread, 10000);
    return false;
  };
  if (!lwtest::PumpUntil([&] { return loader.GetWindow() != nullptr; }, 10000)) {
    join();
    FAIL() << "the progress window did not come up";
  }
  const HWND window = loader.GetWindow();
  CLoadingDlg::Step(window);
  EXPECT_TRUE(lwtest::PumpUntil([&] { return BarPos(window) == 1; }, 5000)) << "a step reaches a window that is up";
  ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(window, IDCANCEL)));
  ASSERT_TRUE(join()) << "Cancel did not end the progress window";
  EXPECT_TRUE(done.IsSet());
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(loader.GetWindow(), nullptr) << "a load would step a window that has gone";
  CLoadingDlg::Step(window);
  EXPECT_EQ(::GetDlgItem(window, IDC_WZ_PROGRESS), nullptr);
}

// A load runs on this thread while the progress window runs on its own:
// what is posted to this thread meanwhile (a click on the step, a quit)
// waits until the load is over instead of running inside it.
TEST(WizardLoad, WhatIsQueuedDuringALoadWaitsUntilItIsOver) {
  const CString name = LoadEventName(false) + "-queued";
  CEvent event(false, true, name);
  lwtest::CHostWindow step(10, 10, 100, 80);
  CStringArray paths;
  for (const char* path : {"a.bmp", "b.bmp", "c.bmp"}) paths.Add(path);
  int loaded = 0;
  const int tried = CWizardLoad(event, name).Run(paths, [&](const CString&) {
    ++loaded;
    ::PostMessageA(step.Hwnd(), WM_COMMAND, MAKEWPARAM(1316, BN_CLICKED), 0);
    if (loaded == 1) ::PostQuitMessage(7);
  });
  EXPECT_EQ(tried, 3);
  MSG msg;
  ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit was lost";
  EXPECT_EQ(msg.wParam, 7u);
  int clicks = 0;
  while (::PeekMessageA(&msg, step.Hwnd(), WM_COMMAND, WM_COMMAND, PM_REMOVE)) ++clicks;
  EXPECT_EQ(clicks, 3) << "the clicks ran inside the load";
  EXPECT_TRUE(lwtest::PumpUntil([] { return CWizardStep2LoaderThread::GetLiveCount() == 0; }, 10000));
}

// A progress window that does not go within the load's bound is left to
// end by itself; its thread then deletes what it used, and the load is not
// held up by it.
TEST(WizardLoad, AProgressWindowThatStaysIsLeftToEndByItself) {
  const CString name = LoadEventName(true) + "-stays";
  CEvent event(false, true, name);
  CEvent release(false, true);
  std::atomic<int> held{0};
  lwtest::CDialogScript script([&](CDialog* d) {
    if (!dynamic_cast<CLoadingDlg*>(d)) return;
    ++held;
    release.Wait(30000);  // the window stays past the load's end
    --held;
  });
  CStringArray paths;
  paths.Add("tune.mid");
  const int tried = CWizardLoad(event, name, 200).Run(paths, [](const CString&) {});
  EXPECT_EQ(tried, 1);
  EXPECT_EQ(held.load(), 1) << "the load waited for the window";
  EXPECT_EQ(CWizardStep2LoaderThread::GetLiveCount(), 1);
  release.SetEvent();
  EXPECT_TRUE(lwtest::PumpUntil([] { return CWizardStep2LoaderThread::GetLiveCount() == 0; }, 10000))
      << "the thread that ended by itself left its object behind";
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

// ---- the sequence pages -------------------------------------------------------------

// Every value of a sequence, in one list, to see which ones an action
// changed.
std::vector<int> Fields(const CWizardSequence& s) {
  return {s.m_waitForMedia, s.m_move,       s.m_hide,        s.m_wait,        s.m_clearScreen,
          s.m_startX,       s.m_startY,     s.m_endX,        s.m_endY,        s.m_repeatCount,
          s.m_showX,        s.m_showY,      s.m_waitSeconds, s.m_effectSpeed, s.m_effect,
          s.m_showModeX,    s.m_showModeY,  s.m_startModeX,  s.m_startModeY,  s.m_endModeX,
          s.m_endModeY,     s.m_positionX,  s.m_positionY,   s.m_positionModeX,
          s.m_positionModeY, s.m_sizeWidth, s.m_sizeHeight,  s.m_fullScreen,  s.GetKind()};
}

// The field names in the order Fields gives them.
const char* const kFieldNames[] = {
    "wait for media", "move", "hide", "wait", "clear screen", "start x", "start y", "end x",
    "end y", "repeat count", "show x", "show y", "wait seconds", "effect speed", "effect",
    "show mode x", "show mode y", "start mode x", "start mode y", "end mode x", "end mode y",
    "position x", "position y", "position mode x", "position mode y", "size width",
    "size height", "full screen", "kind"};

// "name=value" for each field that differs.
std::vector<std::string> Changed(const CWizardSequence& before, const CWizardSequence& after) {
  std::vector<std::string> out;
  const std::vector<int> a = Fields(before), b = Fields(after);
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) out.push_back(std::string(kFieldNames[i]) + "=" + std::to_string(b[i]));
  return out;
}

// A stand-in for the sequence step: rows of sequences (owned), the
// templates, the editor, and the material of each kind; the pages on a
// sheet embedded in its window.
class CStepHost : public CCmdWnd, public CWizardSequenceHost {
 public:
  CStepHost() : m_templates{CWizardSequence(0), CWizardSequence(1), CWizardSequence(2)}, m_editor(0) {}
  ~CStepHost() override {
    for (Row& r : rows) delete r.sequence;
    for (int k = 0; k < 3; ++k)
      for (int i = 0; i < items[k].GetSize(); ++i) delete items[k].GetAt(i);
  }

  bool Create() {
    return CreateEx(0, RegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)),
                    "Step", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 30, 30, 720, 380, nullptr, 0);
  }

  struct Row {
    CWizardSequence* sequence;
    bool selected;
  };
  std::vector<Row> rows;
  int current = -1;
  int commits = 0;
  int scrolledTo = -1;
  CObArray items[3];

  // A row as the step makes one current.
  void MakeCurrent(int index) {
    current = index;
    CWizardSequence& s = *rows[index].sequence;
    m_templates[s.GetKind()].CopyFrom(s);
    m_editor.CopyFrom(s);
  }
  void AddSelectedRow(CWizardSequence* s) {
    rows.push_back({s, true});
    MakeCurrent(static_cast<int>(rows.size()) - 1);
  }

  CWizardSequence& GetTemplate(int kind) override { return m_templates[kind]; }
  CWizardSequence& GetEditor() override { return m_editor; }
  void Commit() override {
    ++commits;
    if (current >= 0) rows[current].sequence->CopyFrom(m_editor);
  }
  int GetSelectedCount() const override {
    int n = 0;
    for (const Row& r : rows) n += r.selected;
    return n;
  }
  bool IsFirstSelectionOfKind(int kind) const override {
    for (const Row& r : rows)
      if (r.selected) return r.sequence->GetKind() == kind;
    return true;
  }
  void DeselectAll() override {
    for (Row& r : rows) r.selected = false;
    current = -1;
  }
  void ApplyToSelection() override {
    for (Row& r : rows)
      if (r.selected) m_editor.ApplyTo(*r.sequence, r.sequence->GetKind());
  }
  void CollectRows() override {}
  int AddRow(CWizardSequence* s) override {
    AddSelectedRow(s);
    return current;
  }
  void ScrollToRow(int index) override { scrolledTo = index; }
  const CObArray& GetItems(int kind) override { return items[kind]; }

 private:
  CWizardSequence m_templates[3];
  CWizardSequence m_editor;
};

CImageTextObject* MakePicture(const char* name) {
  auto* o = new CImageTextObject;
  o->m_displayName = name;
  return o;
}

CImageTextObject* MakeText(const char* text) {
  auto* o = new CImageTextObject;
  o->m_kind = 1;
  o->m_text = text;
  o->m_textColour = RGB(255, 255, 255);
  o->m_bkMode = 1;
  o->m_bkColour = RGB(0, 0, 0);
  return o;
}

CMediaObject* MakeMedia(const char* name, int kind, const lwtest::Bytes& bytes = {}) {
  auto* o = new CMediaObject;
  o->m_displayName = name;
  o->m_kind = kind;
  if (!bytes.empty()) {
    auto* block = static_cast<uint8_t*>(::GlobalAlloc(GMEM_FIXED, bytes.size()));
    memcpy(block, bytes.data(), bytes.size());
    o->SetMedia(block, static_cast<uint32_t>(bytes.size()));
  }
  return o;
}

// Clicks as the user's clicks reach the page.
void ClickRadio(CDialog* d, int first, int last, int id) {
  ::CheckRadioButton(*d, first, last, id);
  lwtest::Press(d, id);
}
// "Show" and "Move" (whose ids are far apart).
void ClickMode(CDialog* d, bool move) {
  ::CheckDlgButton(*d, IDC_WZ_SHOW, move ? BST_UNCHECKED : BST_CHECKED);
  ::CheckDlgButton(*d, IDC_WZ_MOVE, move ? BST_CHECKED : BST_UNCHECKED);
  lwtest::Press(d, move ? IDC_WZ_MOVE : IDC_WZ_SHOW);
}
void ClickCheck(CDialog* d, int id, bool on) {
  ::CheckDlgButton(*d, id, on ? BST_CHECKED : BST_UNCHECKED);
  lwtest::Press(d, id);
}
void ChooseEffect(CDialog* d, int effect) {
  const HWND combo = d->GetDlgItem(IDC_WZ_EFFECT);
  ::SendMessageA(combo, CB_SETCURSEL, effect, 0);
  d->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_WZ_EFFECT, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}
void ReleaseSlider(CDialog* d, int pos) {
  const HWND slider = d->GetDlgItem(IDC_WZ_EFFECT_SPEED);
  ::SendMessageA(slider, TBM_SETPOS, TRUE, pos);
  NMHDR hdr = {slider, IDC_WZ_EFFECT_SPEED, static_cast<UINT>(NM_RELEASEDCAPTURE)};
  d->SendMessage(WM_NOTIFY, IDC_WZ_EFFECT_SPEED, reinterpret_cast<LPARAM>(&hdr));
}
bool Enabled(CDialog* d, int id) { return ::IsWindowEnabled(d->GetDlgItem(id)) != FALSE; }
bool Visible(CDialog* d, int id) { return ::IsWindowVisible(d->GetDlgItem(id)) != FALSE; }

// The step with the three pages on its sheet, every page's window made.
class SequencePagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create());
    host.items[0].Add(MakePicture("sunset.jpg"));
    host.items[0].Add(MakePicture("beach.png"));
    host.items[0].Add(MakePicture("forest.bmp"));
    host.items[2].Add(MakeText("Hello"));
    sheet.AddPage(&image);
    sheet.AddPage(&media);
    sheet.AddPage(&text);
    ASSERT_TRUE(sheet.Create(host));
    ::SetWindowPos(sheet, nullptr, 8, 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    for (int i = 2; i >= 0; --i) sheet.SetActivePage(i);
  }

  // Runs the action on the page and checks that the template of the
  // page's kind changed in exactly the expected fields, that the editor
  // took the template and that the step committed.
  void ExpectEdit(CWizardSequencePage& page, const std::function<void()>& act,
                  const std::vector<std::string>& expected) {
    CWizardSequence before(0);
    before.CopyFrom(host.GetTemplate(page.GetKind()));
    const int commits = host.commits;
    act();
    EXPECT_EQ(Changed(before, host.GetTemplate(page.GetKind())), expected);
    EXPECT_EQ(Fields(host.GetEditor()), Fields(host.GetTemplate(page.GetKind())));
    EXPECT_GT(host.commits, commits);
  }

  CStepHost host;
  CWizardPropertyPageImage image;
  CWizardPropertyPageMedia media;
  CWizardPropertyPageText text;
  CPropertySheet sheet;
};

TEST_F(SequencePagesTest, EachPictureControlEditsItsOwnField) {
  lwtest::CRecordedBoxes boxes;
  sheet.SetActivePage(&image);
  CDialog* d = &image;
  ASSERT_EQ(image.GetHost(), &host) << "the page finds the step that holds its sheet";
  ExpectEdit(image, [&] { ClickRadio(d, IDC_WZ_SHOW_X_MODE, IDC_WZ_SHOW_X_MODE + 5, IDC_WZ_SHOW_X_MODE + 2); },
             {"show mode x=2"});
  EXPECT_FALSE(Enabled(d, IDC_WZ_SHOW_X));
  ExpectEdit(image, [&] { ClickRadio(d, IDC_WZ_SHOW_Y_MODE, IDC_WZ_SHOW_Y_MODE + 5, IDC_WZ_SHOW_Y_MODE + 5); },
             {"show mode y=5"});
  EXPECT_TRUE(Enabled(d, IDC_WZ_SHOW_Y));
  ExpectEdit(image, [&] { ::SetDlgItemTextA(*d, IDC_WZ_SHOW_Y, "250"); }, {"show y=250"});
  ExpectEdit(image, [&] { ClickCheck(d, IDC_WZ_CLEAR, false); }, {"clear screen=0"});
  ExpectEdit(image, [&] { ClickCheck(d, IDC_WZ_HIDE, false); }, {"hide=0"});
  ExpectEdit(image, [&] { ::SetDlgItemTextA(*d, IDC_WZ_WAIT_SECONDS, "12"); }, {"wait seconds=12"});
  ExpectEdit(image, [&] { ClickCheck(d, IDC_WZ_WAIT, false); }, {"wait=0"});
  EXPECT_FALSE(Enabled(d, IDC_WZ_WAIT_SECONDS));
  EXPECT_FALSE(Enabled(d, IDC_WZ_WAIT_SPIN));
  ExpectEdit(image, [&] { ChooseEffect(d, 40); }, {"effect=40"});
  ExpectEdit(image, [&] { ReleaseSlider(d, 500); }, {"effect speed=500"});
  EXPECT_EQ(ItemText(*d, IDC_WZ_SPEED_VALUE), "500");
  ExpectEdit(image, [&] { ClickMode(d, true); }, {"move=1"});
  ExpectEdit(image, [&] { ClickRadio(d, IDC_WZ_END_X_MODE, IDC_WZ_END_X_MODE + 5, IDC_WZ_END_X_MODE + 5); },
             {"end mode x=5"});
  ExpectEdit(image, [&] { ::SetDlgItemTextA(*d, IDC_WZ_END_X, "-40"); }, {"end x=-40"});
  ExpectEdit(image, [&] { ::SetDlgItemTextA(*d, IDC_WZ_START_Y, "77"); }, {"start y=77"});
  EXPECT_TRUE(boxes.texts.empty());
}

// The speed slider moved with the keyboard or the wheel, which capture no
// mouse: the template and the row take the new speed at once and the label
// follows, as after a drag.
TEST_F(SequencePagesTest, TheSpeedSliderMovedByKeyOrWheelIsTaken) {
  sheet.SetActivePage(&image);
  host.AddSelectedRow(new CWizardSequence(0));
  const HWND slider = image.GetDlgItem(IDC_WZ_EFFECT_SPEED);
  ::SetFocus(slider);
  // Keys go to the control itself; the wheel, which this platform's
  // control does not take, comes as the control reports it: a line step
  // without an end of tracking.
  auto key = [&](UINT vk) {
    ::SendMessageA(slider, WM_KEYDOWN, vk, 0);
    ::SendMessageA(slider, WM_KEYUP, vk, 0xC0000001);
  };
  auto wheel = [&] {
    ::SendMessageA(slider, TBM_SETPOS, TRUE, ::SendMessageA(slider, TBM_GETPOS, 0, 0) + 3);
    image.SendMessage(WM_HSCROLL, TB_LINEDOWN, reinterpret_cast<LPARAM>(slider));
  };
  struct Case {
    const char* name;
    std::function<void()> act;
  } const cases[] = {
      {"right arrow", [&] { key(VK_RIGHT); }},
      {"page down", [&] { key(VK_NEXT); }},
      {"wheel", wheel},
      {"home", [&] { key(VK_HOME); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int before = static_cast<int>(::SendMessageA(slider, TBM_GETPOS, 0, 0));
    c.act();
    const int pos = static_cast<int>(::SendMessageA(slider, TBM_GETPOS, 0, 0));
    ASSERT_NE(pos, before) << "the slider did not move";
    EXPECT_EQ(host.GetTemplate(0).m_effectSpeed, pos);
    EXPECT_EQ(host.rows.back().sequence->m_effectSpeed, pos);
    EXPECT_EQ(ItemText(image, IDC_WZ_SPEED_VALUE), std::to_string(pos));
  }
}

TEST_F(SequencePagesTest, HalfTypedAndOutOfRangeNumbersNeitherComplainNorLeaveTheRange) {
  lwtest::CRecordedBoxes boxes;
  sheet.SetActivePage(&image);
  CDialog* d = &image;
  ExpectEdit(image, [&] { ::SetDlgItemTextA(*d, IDC_WZ_SHOW_X, "-"); }, {});
  ExpectEdit(image, [&] { ::SetDlgItemTextA(*d, IDC_WZ_WAIT_SECONDS, ""); }, {});
  ExpectEdit(image, [&] { ::SetDlgItemTextA(*d, IDC_WZ_WAIT_SECONDS, "150"); }, {"wait seconds=100"});
  ExpectEdit(image, [&] { ::SetDlgItemTextA(*d, IDC_WZ_WAIT_SECONDS, "0"); }, {"wait seconds=1"});
  EXPECT_TRUE(boxes.texts.empty()) << (boxes.texts.empty() ? "" : boxes.texts[0]);
}

TEST_F(SequencePagesTest, MoveAndShowRelabelAndSwapTheirControls) {
  sheet.SetActivePage(&image);
  CDialog* d = &image;
  ClickMode(d, true);
  EXPECT_EQ(ItemText(*d, IDC_WZ_FIRST_X_FRAME), "Start Position - X");
  EXPECT_EQ(ItemText(*d, IDC_WZ_FIRST_Y_FRAME), "Start Position - Y");
  EXPECT_EQ(ItemText(*d, IDC_WZ_WAIT_LABEL), "second(s) after final positioning");
  for (int id : {IDC_WZ_START_X_MODE, IDC_WZ_END_Y_MODE + 5, IDC_WZ_START_X, IDC_WZ_END_Y, IDC_WZ_END_X_FRAME})
    EXPECT_TRUE(Visible(d, id)) << id;
  for (int id : {IDC_WZ_SHOW_X_MODE, IDC_WZ_SHOW_X, IDC_WZ_EFFECT, IDC_WZ_EFFECT_SPEED, IDC_WZ_EFFECT_FRAME,
                 IDC_WZ_SPEED_PAUSE, IDC_WZ_SPEED_MAX})
    EXPECT_FALSE(Visible(d, id)) << id;
  ClickMode(d, false);
  EXPECT_EQ(ItemText(*d, IDC_WZ_FIRST_X_FRAME), "Show Position - X");
  EXPECT_EQ(ItemText(*d, IDC_WZ_WAIT_LABEL), "second(s) before moving on to next sequence");
  EXPECT_TRUE(Visible(d, IDC_WZ_EFFECT));
  EXPECT_FALSE(Visible(d, IDC_WZ_END_X_FRAME));
}

TEST_F(SequencePagesTest, TileAndStretchTakeAwayTheShowPosition) {
  sheet.SetActivePage(&image);
  CDialog* d = &image;
  ClickRadio(d, IDC_WZ_SHOW_X_MODE, IDC_WZ_SHOW_X_MODE + 5, IDC_WZ_SHOW_X_MODE + 5);
  ChooseEffect(d, 2);
  for (int id = IDC_WZ_SHOW_X_MODE; id <= IDC_WZ_SHOW_Y_MODE + 5; ++id) EXPECT_FALSE(Enabled(d, id)) << id;
  EXPECT_FALSE(Enabled(d, IDC_WZ_SHOW_X));
  EXPECT_FALSE(Enabled(d, IDC_WZ_SHOW_Y));
  ChooseEffect(d, 5);
  for (int id = IDC_WZ_SHOW_X_MODE; id <= IDC_WZ_SHOW_Y_MODE + 5; ++id) EXPECT_TRUE(Enabled(d, id)) << id;
  EXPECT_TRUE(Enabled(d, IDC_WZ_SHOW_X)) << "its Absolute is checked";
  EXPECT_FALSE(Enabled(d, IDC_WZ_SHOW_Y)) << "Center is checked";
}

TEST_F(SequencePagesTest, TextPageRightDisablesItsValueBoxAndWaitTakesTheSecondsAlong) {
  sheet.SetActivePage(&text);
  CDialog* d = &text;
  for (int first : {IDC_WZ_SHOW_X_MODE}) {
    ClickRadio(d, first, first + 5, first + 5);
    EXPECT_TRUE(Enabled(d, IDC_WZ_SHOW_X));
    ExpectEdit(text, [&] { ClickRadio(d, first, first + 5, first + 2); }, {"show mode x=2"});
    EXPECT_FALSE(Enabled(d, IDC_WZ_SHOW_X));
  }
  ClickCheck(d, IDC_WZ_WAIT, false);
  EXPECT_FALSE(Enabled(d, IDC_WZ_WAIT_SECONDS));
  EXPECT_FALSE(Enabled(d, IDC_WZ_WAIT_SPIN));
  ClickCheck(d, IDC_WZ_WAIT, true);
  EXPECT_TRUE(Enabled(d, IDC_WZ_WAIT_SECONDS));
  EXPECT_TRUE(Enabled(d, IDC_WZ_WAIT_SPIN));
  EXPECT_EQ(host.GetTemplate(0).m_showModeX, 1) << "the picture template is not the text page's";
}

TEST_F(SequencePagesTest, MediaControlsEditTheirFieldsAndFollowTheMediaKind) {
  sheet.SetActivePage(&media);
  CDialog* d = &media;
  ExpectEdit(media, [&] { ClickCheck(d, IDC_WZ_CLEAR, false); }, {"clear screen=0"});
  ExpectEdit(media, [&] { ::SetDlgItemTextA(*d, IDC_WZ_REPEAT, "4"); }, {"repeat count=4"});
  ExpectEdit(media, [&] { ::SetDlgItemTextA(*d, IDC_WZ_POS_X, "120"); }, {"position x=120"});
  ExpectEdit(media, [&] { ClickRadio(d, IDC_WZ_Y_ABSOLUTE, IDC_WZ_Y_CENTERED, IDC_WZ_Y_CENTERED); },
             {"position mode y=1"});
  EXPECT_FALSE(Enabled(d, IDC_WZ_POS_Y));
  ExpectEdit(media, [&] { ClickCheck(d, IDC_WZ_WAIT_MEDIA, false); }, {"wait for media=0"});
  EXPECT_FALSE(Enabled(d, IDC_WZ_REPEAT));

  struct Case {
    int kind;
    bool positions, radios;
  } cases[] = {{kMediaVideo, true, false}, {kMediaFlash, true, true}, {kMediaMp3, false, false},
               {kMediaAudio, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    host.GetEditor().m_media.m_kind = c.kind;
    media.SetUpForEditor();
    EXPECT_EQ(Enabled(d, IDC_WZ_X_LABEL), c.positions);
    EXPECT_EQ(Enabled(d, IDC_WZ_X_ABSOLUTE), c.radios);
    EXPECT_EQ(Enabled(d, IDC_WZ_WIDTH), c.radios);
    EXPECT_EQ(Enabled(d, IDC_WZ_FULL_SCREEN), c.radios);
    if (c.kind == kMediaVideo) EXPECT_TRUE(Enabled(d, IDC_WZ_POS_X));
  }
  // A MIDI sequence leaves the controls as they were.
  host.GetEditor().m_media.m_kind = kMediaVideo;
  media.SetUpForEditor();
  host.GetEditor().m_media.m_kind = kMediaMidi;
  media.SetUpForEditor();
  EXPECT_TRUE(Enabled(d, IDC_WZ_X_LABEL));
  EXPECT_FALSE(Enabled(d, IDC_WZ_X_ABSOLUTE));
}

TEST_F(SequencePagesTest, ApplyToSelectionNeedsTwoRowsOfThePagesKind) {
  lwtest::CRecordedBoxes boxes;
  sheet.SetActivePage(&media);
  for (int i = 0; i < 2; ++i) {
    auto* s = new CWizardSequence(1);
    s->m_media.m_kind = kMediaVideo;
    s->m_positionModeX = 1;
    host.AddSelectedRow(s);
  }
  host.current = -1;
  lwtest::Press(&media, IDC_WZ_APPLY_SELECTION);
  ASSERT_EQ(boxes.texts.size(), 0u) << boxes.texts[0];
  host.GetEditor().SetKind(1);
  host.GetTemplate(1).m_repeatCount = 7;
  host.GetTemplate(1).m_positionModeX = 5;
  host.GetTemplate(1).m_positionX = 33;
  media.SetUpForEditor();
  lwtest::Press(&media, IDC_WZ_APPLY_SELECTION);
  for (auto& r : host.rows) {
    EXPECT_EQ(r.sequence->m_repeatCount, 7);
    EXPECT_EQ(r.sequence->m_positionX, 33);
    EXPECT_EQ(r.sequence->m_positionModeX, 1) << "position modes are not applied";
  }
  host.rows[1].selected = false;
  lwtest::Press(&media, IDC_WZ_APPLY_SELECTION);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0].substr(0, 58), "You have to select more than one sequence of the same type");
  host.rows[1].selected = true;
  host.GetEditor().SetKind(0);
  lwtest::Press(&media, IDC_WZ_APPLY_SELECTION);
  ASSERT_EQ(boxes.texts.size(), 2u);
  EXPECT_EQ(boxes.texts[1], "Selected sequences are not comatible with this command.");
}

TEST_F(SequencePagesTest, ShowingAPageOfAnotherKindThanTheSelectionDeselects) {
  host.AddSelectedRow(new CWizardSequence(0));
  sheet.SetActivePage(&media);
  EXPECT_EQ(host.GetSelectedCount(), 0);
  host.AddSelectedRow(new CWizardSequence(1));
  sheet.SetActivePage(&text);
  sheet.SetActivePage(&media);
  EXPECT_EQ(host.GetSelectedCount(), 0);
  host.AddSelectedRow(new CWizardSequence(1));
  sheet.SetActivePage(&image);
  sheet.SetActivePage(&media);
  EXPECT_EQ(host.GetSelectedCount(), 0);
  host.rows.back().selected = true;
  sheet.SetActivePage(&media);
  EXPECT_EQ(host.GetSelectedCount(), 1);
}

TEST_F(SequencePagesTest, AddMakesOneSelectedRowPerChosenPictureTheLastCurrent) {
  sheet.SetActivePage(&image);
  host.GetTemplate(0).m_waitSeconds = 9;
  image.SetUpForEditor();
  ClickCheck(&image, IDC_WZ_HIDE, false);
  std::vector<std::string> listed;
  lwtest::CDialogScript script([&](CDialog* d) {
    const HWND list = d->GetDlgItem(IDC_WZ_ITEMS);
    for (int i = 0; i < 3; ++i) {
      char entry[64] = "";
      ::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry));
      listed.push_back(entry);
    }
    ::SendMessageA(list, LB_SETSEL, FALSE, -1);
    ::SendMessageA(list, LB_SETSEL, TRUE, 0);
    ::SendMessageA(list, LB_SETSEL, TRUE, 2);
    lwtest::Press(d, IDOK);
  });
  lwtest::Press(&image, IDC_WZ_ADD);
  EXPECT_EQ(listed, (std::vector<std::string>{"sunset.jpg", "beach.png", "forest.bmp"}));
  ASSERT_EQ(host.rows.size(), 2u);
  EXPECT_EQ(host.rows[0].sequence->m_display.m_displayName, "sunset.jpg");
  EXPECT_EQ(host.rows[1].sequence->m_display.m_displayName, "forest.bmp");
  for (auto& r : host.rows) {
    EXPECT_TRUE(r.selected);
    EXPECT_EQ(r.sequence->GetKind(), 0);
    EXPECT_EQ(r.sequence->m_waitSeconds, 9);
    EXPECT_EQ(r.sequence->m_hide, 0);
  }
  EXPECT_EQ(host.current, 1);
  EXPECT_EQ(host.scrolledTo, 1);
}

TEST_F(SequencePagesTest, AddedMoviesTakeTheirFrameSizeAndCancelAddsNothing) {
  lwtest::CSwfWriter movie(320 * 20, 240 * 20);
  host.items[1].Add(MakeMedia("intro.swf", kMediaFlash, movie.Fws()));
  host.items[1].Add(MakeMedia("song.mp3", kMediaMp3, lwtest::SilentMp3(2)));
  sheet.SetActivePage(&media);
  {
    const std::vector<int> before = Fields(host.GetTemplate(1));
    lwtest::CDialogScript script([](CDialog* d) { lwtest::Press(d, IDCANCEL); });
    lwtest::Press(&media, IDC_WZ_ADD);
    EXPECT_TRUE(host.rows.empty());
    EXPECT_EQ(Fields(host.GetTemplate(1)), before);
  }
  lwtest::CDialogScript script([](CDialog* d) { lwtest::Press(d, IDC_WZ_ADD_ALL); });
  lwtest::Press(&media, IDC_WZ_ADD);
  ASSERT_EQ(host.rows.size(), 2u);
  EXPECT_EQ(host.rows[0].sequence->m_media.m_displayName, "intro.swf");
  EXPECT_EQ(host.rows[0].sequence->m_sizeWidth, 320);
  EXPECT_EQ(host.rows[0].sequence->m_sizeHeight, 240);
  EXPECT_EQ(host.rows[1].sequence->GetKind(), 1);
}

TEST_F(SequencePagesTest, Screenshots) {
  CWizardPropertyPageEmpty empty;
  sheet.AddPage(&empty);
  const struct {
    CPropertyPage* page;
    const char* name;
  } shots[] = {{&image, "wizard_page_image"}, {&media, "wizard_page_media"},
               {&text, "wizard_page_text"},  {&empty, "wizard_page_empty"}};
  for (const auto& s : shots) {
    sheet.SetActivePage(s.page);
    Shoot(host, s.name);
  }
  EXPECT_FALSE(Enabled(&media, IDC_WZ_WIDTH)) << "a sound has no size";
  EXPECT_FALSE(Enabled(&media, IDC_WZ_HEIGHT));
  sheet.SetActivePage(&image);
  ClickMode(&image, true);
  Shoot(host, "wizard_page_image_move");
  char caption[64] = "";
  TCITEMA item = {};
  item.mask = TCIF_TEXT;
  item.pszText = caption;
  item.cchTextMax = sizeof caption;
  TabCtrl_GetItem(sheet.GetTabControl(), 3, &item);
  EXPECT_STREQ(caption, "Empty sequence list");
}

// ---- the insert dialogs ------------------------------------------------------------

TEST(InsertSequenceDlg, AddNeedsAChosenItemAndReturnsTheChosenIndices) {
  lwtest::CRecordedBoxes boxes;
  CImageSequenceDlg dlg(nullptr);
  std::unique_ptr<CImageTextObject> a(MakePicture("a.bmp")), b(MakePicture("b.bmp")), c(MakePicture("c.bmp"));
  for (auto* o : {a.get(), b.get(), c.get()}) dlg.m_items.Add(o);
  bool stayed = false;
  lwtest::CDialogScript script([&](CDialog* d) {
    lwtest::Press(d, IDC_WZ_DESELECT_ALL);
    lwtest::Press(d, IDOK);
    stayed = ::IsWindow(*d) && ::IsWindowEnabled(*d);
    ::SendMessageA(d->GetDlgItem(IDC_WZ_ITEMS), LB_SETSEL, TRUE, 1);
    ::SendMessageA(d->GetDlgItem(IDC_WZ_ITEMS), LB_SETSEL, TRUE, 2);
    Shoot(*d, "wizard_insert_images");
    lwtest::Press(d, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(stayed);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "You must select item to make sequence");
  ASSERT_EQ(dlg.m_selection.m_count, 2);
  EXPECT_EQ(dlg.m_selection.m_pIndices[0], 1);
  EXPECT_EQ(dlg.m_selection.m_pIndices[1], 2);
}

TEST(InsertSequenceDlg, AddAllOnAnEmptyListAsksForAnItem) {
  lwtest::CRecordedBoxes boxes;
  CTextSequenceDlg dlg(nullptr);
  lwtest::CDialogScript script([](CDialog* d) {
    lwtest::Press(d, IDC_WZ_ADD_ALL);
    lwtest::Press(d, IDCANCEL);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "You must select item to make sequence");
  EXPECT_EQ(dlg.m_sequence.GetKind(), 2) << "the text dialog makes text sequences";
}

TEST(InsertSequenceDlg, FieldsAreCheckedOnAddAndTakenIntoTheTemplate) {
  struct Case {
    const char* wait;
    const char* showX;
    const char* message;  // "" when taken
  } cases[] = {
      {"0", "10", "Please enter an integer between 1 and 100."},
      {"101", "10", "Please enter an integer between 1 and 100."},
      {"100", "5001", "Please enter an integer between -5000 and 5000."},
      {"1", "-5000", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wait);
    lwtest::CRecordedBoxes boxes;
    CTextSequenceDlg dlg(nullptr);
    std::unique_ptr<CImageTextObject> t(MakeText("Welcome to the show"));
    dlg.m_items.Add(t.get());
    dlg.m_sequence.m_showModeX = 5;
    lwtest::CDialogScript script([&](CDialog* d) {
      ::SetDlgItemTextA(*d, IDC_WZ_WAIT_SECONDS, c.wait);
      ::SetDlgItemTextA(*d, IDC_WZ_SHOW_X, c.showX);
      lwtest::Press(d, IDOK);
      if (!boxes.texts.empty()) lwtest::Press(d, IDCANCEL);  // refused: still up
    });
    const INT_PTR result = dlg.DoModal();
    if (*c.message) {
      EXPECT_EQ(result, IDCANCEL);
      ASSERT_EQ(boxes.texts.size(), 1u);
      EXPECT_EQ(boxes.texts[0], c.message);
    } else {
      EXPECT_EQ(result, IDOK) << (boxes.texts.empty() ? "" : boxes.texts[0]);
      EXPECT_EQ(dlg.m_sequence.m_waitSeconds, atoi(c.wait));
      EXPECT_EQ(dlg.m_sequence.m_showX, atoi(c.showX));
    }
  }
}

TEST(InsertSequenceDlg, MoveRelabelsAndAVideoKeepsItsPositionEditsWithoutRadios) {
  {
    CImageSequenceDlg dlg(nullptr);
    std::string moveLabel, showLabel;
    lwtest::CDialogScript script([&](CDialog* d) {
      ClickMode(d, true);
      moveLabel = ItemText(*d, IDC_WZ_FIRST_X_FRAME) + "|" + ItemText(*d, IDC_WZ_WAIT_LABEL);
      ClickMode(d, false);
      showLabel = ItemText(*d, IDC_WZ_FIRST_X_FRAME) + "|" + ItemText(*d, IDC_WZ_WAIT_LABEL);
      lwtest::Press(d, IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_EQ(moveLabel, "Start Position - X|second(s) after final positioning");
    EXPECT_EQ(showLabel, "Show Position - X|second(s) before moving on to next sequence");
  }
  CMediaSequenceDlg dlg(nullptr);
  std::unique_ptr<CMediaObject> video(MakeMedia("clip.avi", kMediaVideo));
  std::unique_ptr<CMediaObject> movie(MakeMedia("intro.swf", kMediaFlash));
  dlg.m_items.Add(video.get());
  dlg.m_items.Add(movie.get());
  dlg.m_sequence.m_positionModeY = 1;
  bool editX = false, radioX = true, editYFlash = true, radioFlash = false;
  lwtest::CDialogScript script([&](CDialog* d) {
    editX = Enabled(d, IDC_WZ_POS_X);
    radioX = Enabled(d, IDC_WZ_X_ABSOLUTE);
    const HWND list = d->GetDlgItem(IDC_WZ_ITEMS);
    ::SendMessageA(list, LB_SETCARETINDEX, 1, FALSE);
    d->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_WZ_ITEMS, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    editYFlash = Enabled(d, IDC_WZ_POS_Y);
    radioFlash = Enabled(d, IDC_WZ_Y_ABSOLUTE);
    Shoot(*d, "wizard_insert_media");
    lwtest::Press(d, IDCANCEL);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(editX);
  EXPECT_FALSE(radioX);
  EXPECT_FALSE(editYFlash) << "a movie centred in y has no y value";
  EXPECT_TRUE(radioFlash);
  EXPECT_EQ(dlg.m_sequence.GetKind(), 1);
}

TEST(InsertSequenceDlg, TextsListTheirTextsAndShowTheFocusedOne) {
  CTextSequenceDlg dlg(nullptr);
  std::unique_ptr<CImageTextObject> t1(MakeText("Good morning")), t2(MakeText("Good night"));
  dlg.m_items.Add(t1.get());
  dlg.m_items.Add(t2.get());
  std::string first;
  CPreviewStatic::Showing showing = CPreviewStatic::kShowsNoImage;
  lwtest::CDialogScript script([&](CDialog* d) {
    char entry[64] = "";
    ::SendMessageA(d->GetDlgItem(IDC_WZ_ITEMS), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(entry));
    first = entry;
    showing = static_cast<CTextSequenceDlg*>(d)->GetPreview().GetShowing();
    Shoot(*d, "wizard_insert_texts");
    lwtest::Press(d, IDCANCEL);
  });
  dlg.DoModal();
  EXPECT_EQ(first, "Good morning");
  EXPECT_EQ(showing, CPreviewStatic::kShowsText);
}

TEST(InsertSequenceDlg, TestPlaysTheFirstChosenMediaAndEveryEndingStopsIt) {
  lwtest::CTempFolder folder("insertmedia");
  const std::string path = folder.Path() + "tune.mid";
  ASSERT_TRUE(lwtest::WriteAll(path, lwtest::OneNoteMidi()));
  std::unique_ptr<CMediaObject> video(MakeMedia("clip.avi", kMediaVideo));
  std::unique_ptr<CMediaObject> tune(new CMediaObject);
  ASSERT_EQ(tune->LoadMediaFile(path.c_str(), false), 1);
  CMediaSequenceDlg dlg(nullptr);
  dlg.m_items.Add(video.get());
  dlg.m_items.Add(tune.get());
  std::string playing, stopped;
  int spinLow = 0, spinHigh = 0;
  lwtest::CDialogScript script([&](CDialog* d) {
    if (d->GetTemplateId() != IDD_WZ_INSERT_MEDIA) return;  // no video preview may come
    ::SendMessageA(d->GetDlgItem(IDC_WZ_REPEAT_SPIN), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&spinLow),
                   reinterpret_cast<LPARAM>(&spinHigh));
    const HWND list = d->GetDlgItem(IDC_WZ_ITEMS);
    ::SendMessageA(list, LB_SETSEL, FALSE, -1);
    ::SendMessageA(list, LB_SETSEL, TRUE, 1);
    lwtest::Press(d, IDC_WZ_TEST);
    playing = dlg.GetTestPlayer().GetMidi().m_path.GetString();
    lwtest::Press(d, IDC_WZ_STOP);
    stopped = dlg.GetTestPlayer().GetMidi().m_path.GetString();
    lwtest::Press(d, IDC_WZ_TEST);
    lwtest::Press(d, IDCANCEL);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(script.Opened(), 1);
  EXPECT_FALSE(playing.empty());
  EXPECT_TRUE(stopped.empty());
  EXPECT_TRUE(dlg.GetTestPlayer().GetMidi().m_path.IsEmpty()) << "Cancel stops the test";
  EXPECT_EQ(spinLow, 1);
  EXPECT_EQ(spinHigh, 100);
}

TEST_F(SequencePagesTest, TheSpinsRunFromOneToAHundred) {
  int low = 0, high = 0;
  sheet.SetActivePage(&image);
  ::SendMessageA(image.GetDlgItem(IDC_WZ_WAIT_SPIN), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                 reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, 1);
  EXPECT_EQ(high, 100);
  sheet.SetActivePage(&media);
  ::SendMessageA(media.GetDlgItem(IDC_WZ_REPEAT_SPIN), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                 reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, 1);
  EXPECT_EQ(high, 100);
}

TEST(SequencePages, APageWithoutAStepStaysIdle) {
  lwtest::CRecordedBoxes boxes;
  lwtest::CHostWindow window(20, 20, 700, 380, ::GetSysColor(COLOR_BTNFACE));
  CWizardPropertyPageImage page;
  CPropertySheet sheet;
  sheet.AddPage(&page);
  ASSERT_TRUE(sheet.Create(window.Hwnd()));
  EXPECT_EQ(page.GetHost(), nullptr);
  ClickCheck(&page, IDC_WZ_HIDE, false);
  lwtest::Press(&page, IDC_WZ_ADD);
  lwtest::Press(&page, IDC_WZ_APPLY_SELECTION);
  page.SetUpForEditor();
  EXPECT_TRUE(boxes.texts.empty());
}

TEST(SequencePages, APageOpensWithTheEnableRulesOfItsTemplate) {
  CStepHost host;
  ASSERT_TRUE(host.Create());
  host.GetTemplate(2).m_wait = 0;
  host.GetTemplate(2).m_effect = 2;  // Stretch
  host.GetTemplate(2).m_showModeX = 5;
  CWizardPropertyPageText page;
  CPropertySheet sheet;
  sheet.AddPage(&page);
  ASSERT_TRUE(sheet.Create(host));
  EXPECT_FALSE(Enabled(&page, IDC_WZ_WAIT_SECONDS));
  EXPECT_FALSE(Enabled(&page, IDC_WZ_WAIT_SPIN));
  EXPECT_FALSE(Enabled(&page, IDC_WZ_SHOW_X_MODE));
  EXPECT_FALSE(Enabled(&page, IDC_WZ_SHOW_X)) << "Stretch leaves no show position";
  EXPECT_EQ(host.GetTemplate(2).m_effect, 2);
}

}  // namespace
