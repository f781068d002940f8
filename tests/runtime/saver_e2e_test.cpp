// The main road end to end: a document written by the script model, made
// into a ".scr" by the output writer from the builder's carried runtime,
// started with /s as Windows starts it. Damaged payloads end quietly: no
// window, a nonzero exit code, within a few seconds.
#include <gtest/gtest.h>

#include "tests/TestFiles.h"

#include <string>
#include <vector>

#include "framework/Archive.h"
#include "framework/Files.h"
#include "script/Commands.h"
#include "script/Palette.h"
#include "script/SceneDocument.h"
#include "wizards/CarriedSizes.h"
#include "wizards/SaverMaker.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string TempDir() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string dir = std::string(temp) + "saver_e2e" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

using testfiles::ReadAll;
using testfiles::WriteAll;

// A document of two comments, as the builder saves it.
Bytes CommentDocument() {
  CCommandList list;
  for (int i = 0; i < 2; ++i) list.Add(CreateCommand(kTypeComment));
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    WriteSceneDocument(ar, list);
    ar.Close();
  }
  Bytes out(file.GetBuffer(), file.GetBuffer() + file.GetLength());
  return out;
}

struct FoundWindow {
  DWORD pid;
  HWND hwnd;
};

HWND SaverWindowOf(DWORD pid) {
  FoundWindow f = {pid, nullptr};
  EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        auto* f = reinterpret_cast<FoundWindow*>(lp);
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
      reinterpret_cast<LPARAM>(&f));
  return f.hwnd;
}

struct SaverProcess {
  PROCESS_INFORMATION pi = {};
  bool started = false;
  explicit SaverProcess(const std::string& scr, const char* args) {
    std::string cmd = "\"" + scr + "\" " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    started = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                             &pi) != FALSE;
  }
  ~SaverProcess() {
    if (!started) return;
    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  // The exit code, or 0xFFFF when it did not end in time; sawWindow tells
  // whether a saver window showed meanwhile.
  DWORD Wait(DWORD ms, bool* sawWindow) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
      if (sawWindow && SaverWindowOf(pi.dwProcessId)) *sawWindow = true;
      if (WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        return code;
      }
    }
    return 0xFFFF;
  }
};

class SaverRun : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = TempDir();
    builder_ = LoadLibraryExA(LW_BUILD_DIR "/builder/Lumenweave.exe", nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(builder_, nullptr);
    maker_.m_resources = builder_;
  }
  void TearDown() override { FreeLibrary(builder_); }

  // A saver made by the writer from the document bytes.
  std::string MakeSaver(const char* name, const Bytes& document) {
    std::string fsd = dir_ + name + ".fsd", scr = dir_ + name + ".scr";
    WriteAll(fsd, document);
    EXPECT_TRUE(maker_.MakeScr(scr.c_str(), fsd.c_str()));
    return scr;
  }

  std::string dir_;
  HMODULE builder_ = nullptr;
  CSaverMaker maker_;
};

TEST_F(SaverRun, RunsFullScreenAndEndsOnAKey) {
  std::string scr = MakeSaver("Comments", CommentDocument());
  SaverProcess run(scr, "/s");
  ASSERT_TRUE(run.started);
  HWND saver = nullptr;
  for (int i = 0; i < 400 && !saver; ++i) {
    Sleep(25);
    saver = SaverWindowOf(run.pi.dwProcessId);
  }
  ASSERT_NE(saver, nullptr) << "the saver showed no window";
  RECT r;
  GetWindowRect(saver, &r);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_TRUE(GetWindowLongA(saver, GWL_EXSTYLE) & WS_EX_TOPMOST);
  Sleep(300);  // the saver ignores input in its first moments
  PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(run.Wait(10000, nullptr), 0u);
}

// Every damaged payload ends the saver quietly.
TEST_F(SaverRun, DamagedPayloadsEndWithoutAWindow) {
  const std::string good = MakeSaver("Good", CommentDocument());
  const Bytes saver = ReadAll(good);
  ASSERT_GT(saver.size(), carried::kRuntimeImageSize + 30);
  const size_t doc = carried::kRuntimeImageSize + 4;  // the document's first byte
  const size_t version = doc + 16;                    // after the 15-character string

  struct Case {
    const char* name;
    Bytes bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"no payload", Bytes(saver.begin(), saver.begin() + carried::kRuntimeImageSize)});
  cases.push_back({"truncated", Bytes(saver.begin(), saver.end() - 7)});
  Bytes badHeader = saver;
  badHeader[doc + 1] = 'X';
  cases.push_back({"bad header", badHeader});
  for (float v : {4.71f, 5.0f, __builtin_nanf("")}) {
    Bytes b = saver;
    memcpy(&b[version], &v, 4);
    cases.push_back({v == v ? "version above 4.71" : "NaN version", b});
  }
  Bytes hugeCount = saver;
  const int32_t count = 0x7FFFFFFF;
  memcpy(&hugeCount[version + 4], &count, 4);
  cases.push_back({"huge count", hugeCount});
  Bytes badType = saver;
  const int32_t type = 14;
  memcpy(&badType[version + 8], &type, 4);
  cases.push_back({"bad type code", badType});
  Bytes badWord = saver;
  badWord[carried::kRuntimeImageSize] ^= 0x40;
  cases.push_back({"word is not the document's length", badWord});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = dir_ + "damaged.scr";
    WriteAll(path, c.bytes);
    SaverProcess run(path, "/s");
    ASSERT_TRUE(run.started);
    bool sawWindow = false;
    DWORD code = run.Wait(15000, &sawWindow);
    EXPECT_NE(code, 0xFFFFu) << "did not end";
    EXPECT_NE(code, 0u);
    EXPECT_FALSE(sawWindow);
  }
}

}  // namespace
