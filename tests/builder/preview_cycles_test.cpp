// The builder's preview opened and left over and over: rounds of Preview,
// Go, Stop and Exit on a script with pictures, effects and every kind of
// media leave no thread, GDI object, USER object, handle or temporary file
// behind, and never hang. A long test of its own (its CTest entry is
// labelled "soak").
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "builder/resource.h"
#include "playback/painter/ImagePainter.h"
#include "tests/builder/preview_support.h"
#include "tests/support/processes.h"

namespace {

using previewtest::CWaitForStop;

const bool g_environment = previewtest::RegisterEnvironment("lw_preview_cycles_test.opt");

// The players' temporary files go to a folder of the test's own while it
// runs, so that other programs' files do not count.
class CPrivateTempFolder {
 public:
  CPrivateTempFolder() : m_folder("lw_preview_cycles") {
    for (const char* name : {"TMP", "TEMP"}) {
      char value[MAX_PATH] = "";
      m_saved.push_back(::GetEnvironmentVariableA(name, value, sizeof value) ? value : "");
      ::SetEnvironmentVariableA(name, m_folder.Path().c_str());
    }
  }
  ~CPrivateTempFolder() {
    const char* names[] = {"TMP", "TEMP"};
    for (size_t i = 0; i < m_saved.size(); ++i)
      ::SetEnvironmentVariableA(names[i], m_saved[i].empty() ? nullptr : m_saved[i].c_str());
  }
  std::vector<std::string> Files() const { return lwtest::FilesIn(m_folder.Path()); }

 private:
  lwtest::CTempFolder m_folder;
  std::vector<std::string> m_saved;
};

// What a round may leave behind, counted in this process.
struct Resources {
  std::vector<lwtest::ThreadOrigin> threads;
  int gdi, user, handles;
  std::vector<std::string> files;

  static Resources Now(const CPrivateTempFolder& temp) {
    return {lwtest::OwnThreads(), lwtest::CountOwnGdiObjects(), lwtest::CountOwnUserObjects(),
            lwtest::CountOwnHandles(), temp.Files()};
  }
  bool HasThreadOf(const char* module) const {
    for (const lwtest::ThreadOrigin& t : threads)
      if (_stricmp(t.module.c_str(), module) == 0) return true;
    return false;
  }
  // True when nothing is above the baseline.
  bool WithinOf(const Resources& base) const {
    return threads.size() <= base.threads.size() && gdi <= base.gdi && user <= base.user &&
           handles <= base.handles && files == base.files;
  }
};

std::string Describe(const Resources& base, const Resources& now) {
  std::string text = "threads " + std::to_string(base.threads.size()) + " -> " +
                     std::to_string(now.threads.size()) + " (new: " +
                     lwtest::NewThreads(base.threads, now.threads) + "), GDI objects " +
                     std::to_string(base.gdi) + " -> " + std::to_string(now.gdi) +
                     ", USER objects " + std::to_string(base.user) + " -> " +
                     std::to_string(now.user) + ", handles " + std::to_string(base.handles) +
                     " -> " + std::to_string(now.handles) + ", files";
  for (const std::string& f : now.files) text += " " + f;
  return text;
}

// The system's sound layer (winmm.dll) keeps a thread with a message-only
// window while sound devices are open, and lets it end only when something
// wakes it after the last one has closed. Waking it: the thread ends now
// unless a device is still open.
void WakeSoundLayerThread(const Resources& now) {
  for (HWND w = ::FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = ::FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr)) {
    DWORD pid = 0;
    const DWORD thread = ::GetWindowThreadProcessId(w, &pid);
    if (pid != ::GetCurrentProcessId()) continue;
    for (const lwtest::ThreadOrigin& t : now.threads)
      if (t.id == thread && _stricmp(t.module.c_str(), "winmm.dll") == 0)
        ::PostMessageA(w, WM_NULL, 0, 0);
  }
}

class PreviewCycles : public previewtest::PreviewTest {
 protected:
  PreviewCycles() : PreviewTest(300000) {}

  // Cls, a picture shown with a few transitions (not the fades, whose
  // many frames would make each round long), every kind of media played
  // without waiting, endlessly, then a wait for the stop.
  void MakeScript() {
    script.Add(new CClsCommand)->m_colour.m_colour = RGB(0, 0, 120);
    CImageTextObject* picture = AddPicture(script, RGB(255, 0, 0), 120, 90);
    const int kEffects[] = {kEffectNone, 20, 37, 50};
    for (int i = 0; i < 4; ++i) AddShow(script, picture, 100 + 130 * i, 100, kEffects[i]);
    previewtest::AddEveryMedia(script);
    script.Add(new CWaitForStop(started, stopped));
    script.Prepare();
  }

  // Preview, Go (the whole script plays up to its wait), Stop, Exit.
  void Cycle(int round) {
    CPreviewFrame* frame = Open();
    ASSERT_NE(frame, nullptr);
    const HWND h = frame->GetSafeHwnd();
    Command(frame, ID_PREVIEW_GO);
    ASSERT_TRUE(PumpUntilStarted(round)) << "the script did not reach its end";
    Command(frame, ID_PREVIEW_STOP);
    ASSERT_EQ(frame->GetSceneThread(), nullptr);
    ASSERT_EQ(stopped, round);
    Command(frame, ID_PREVIEW_EXIT);
    ASSERT_TRUE(PumpUntilGone(h));
  }

  CPrivateTempFolder temp;
};

TEST_F(PreviewCycles, TwoHundredRoundsLeaveNothingBehind) {
  times = 0;  // the effects run without delays
  MakeScript();
  // The first rounds load what the system keeps once loaded (its sound
  // and media layers, their threads).
  const int kWarmUp = 3, kRounds = 200;
  int round = 0;
  while (round < kWarmUp) {
    ++round;
    SCOPED_TRACE(testing::Message() << "warm-up round " << round);
    Cycle(round);
    if (HasFatalFailure()) return;
  }
  // The system keeps the window DCs it hands out (each a DC, its region and
  // its bitmap) for reuse, as many as were ever in use at once: grown here
  // beyond what any round uses at once, so that their number stays.
  {
    HDC dcs[64];
    for (HDC& dc : dcs) dc = ::GetDC(main.GetSafeHwnd());
    for (HDC dc : dcs) ::ReleaseDC(main.GetSafeHwnd(), dc);
  }
  // Counted once the sound layer's thread has gone (it goes when woken with
  // no sound device open), so that it can neither hide a thread left
  // behind nor be taken for one.
  Resources base = Resources::Now(temp);
  EXPECT_TRUE(lwtest::PumpUntil([&] {
    base = Resources::Now(temp);
    WakeSoundLayerThread(base);
    return !base.HasThreadOf("winmm.dll");
  }, 10000)) << "a sound device stays open";
  EXPECT_EQ(base.files, std::vector<std::string>{}) << "left by the warm-up rounds";
  for (int i = 0; i < kRounds; ++i) {
    ++round;
    SCOPED_TRACE(testing::Message() << "round " << round);
    Cycle(round);
    if (HasFatalFailure()) return;
  }
  Resources now = Resources::Now(temp);
  const bool back = lwtest::PumpUntil([&] {
    now = Resources::Now(temp);
    WakeSoundLayerThread(now);
    return now.WithinOf(base);
  }, 10000);
  EXPECT_TRUE(back) << Describe(base, now);
}

}  // namespace
