// End-to-end checks of the four built programs: each starts and ends
// cleanly under Wine, the carried programs have exactly their fixed sizes
// and the resource slots the output writer patches, and the builder carries
// them byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Payload.h"
#include "tests/TestFiles.h"

namespace {

std::string Program(const char* folder, const char* name) {
  return std::string(LW_BUILD_DIR) + "/" + folder + "/" + name;
}

std::vector<unsigned char> ReadAll(const std::string& path) {
  std::vector<unsigned char> bytes;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size;
  GetFileSizeEx(f, &size);
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD got = 0;
  if (!bytes.empty() && (!ReadFile(f, bytes.data(), (DWORD)bytes.size(), &got, nullptr) ||
                         got != bytes.size()))
    bytes.clear();
  CloseHandle(f);
  return bytes;
}

struct Carried {
  const char* folder;
  const char* file;
  unsigned long size;
  const char* resource;
};

const Carried kCarried[] = {
    {"runtime", "Halcyra.exe", carried::kRuntimeImageSize, "#271"},
    {"engine", "Emberlyn.exe", carried::kEngineImageSize, "#446"},
    {"installer", "Quenlark.exe", carried::kInstallerImageSize, "#274"},
};

// Starts a program and returns its process; the caller closes the handles.
PROCESS_INFORMATION Start(const std::string& path, const char* args = "") {
  std::string cmd = "\"" + path + "\" " + args;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi))
    pi.hProcess = nullptr;
  return pi;
}

DWORD WaitExit(const PROCESS_INFORMATION& pi, DWORD ms) {
  if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) {
    TerminateProcess(pi.hProcess, 99);
    return 0xFFFFFFFF;
  }
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  return code;
}

TEST(Programs, CarriedProgramsHaveTheirFixedSizes) {
  for (const Carried& c : kCarried) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(ReadAll(Program(c.folder, c.file)).size(), c.size);
  }
}

TEST(Programs, BuilderCarriesThemByteForByte) {
  HMODULE builder = LoadLibraryExA(Program("builder", "Lumenweave.exe").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(builder, nullptr);
  for (const Carried& c : kCarried) {
    SCOPED_TRACE(c.resource);
    HRSRC res = FindResourceA(builder, c.resource, "FILE");
    ASSERT_NE(res, nullptr);
    DWORD size = SizeofResource(builder, res);
    const unsigned char* data =
        static_cast<const unsigned char*>(LockResource(LoadResource(builder, res)));
    ASSERT_NE(data, nullptr);
    std::vector<unsigned char> file = ReadAll(Program(c.folder, c.file));
    ASSERT_EQ(size, file.size());
    EXPECT_TRUE(std::equal(file.begin(), file.end(), data));
  }
  // The program icon and the document icon, index 0 and 1.
  EXPECT_NE(FindResourceA(builder, MAKEINTRESOURCEA(128), MAKEINTRESOURCEA(14)), nullptr);
  EXPECT_NE(FindResourceA(builder, MAKEINTRESOURCEA(129), MAKEINTRESOURCEA(14)), nullptr);
  FreeLibrary(builder);
}

// The output writer patches icon images 1, 2 and 3 of the saver runtime and
// the installer stub, and the runtime's logo bitmap: they must exist with
// exactly the sizes of the slots.
TEST(Programs, CarriedProgramsHaveTheIconAndLogoSlots) {
  struct Slot {
    const char* folder;
    const char* file;
    LPCSTR type;
    int id;
    DWORD size;
    int width;
    int height;
    int bits;
  };
  const Slot kSlots[] = {
      {"runtime", "Halcyra.exe", MAKEINTRESOURCEA(3), 1, 296, 16, 32, 4},
      {"runtime", "Halcyra.exe", MAKEINTRESOURCEA(3), 2, 744, 32, 64, 4},
      {"runtime", "Halcyra.exe", MAKEINTRESOURCEA(3), 3, 3752, 48, 96, 8},
      {"runtime", "Halcyra.exe", MAKEINTRESOURCEA(2), 144, 11816, 96, 112, 8},
      {"installer", "Quenlark.exe", MAKEINTRESOURCEA(3), 1, 296, 16, 32, 4},
      {"installer", "Quenlark.exe", MAKEINTRESOURCEA(3), 2, 744, 32, 64, 4},
      {"installer", "Quenlark.exe", MAKEINTRESOURCEA(3), 3, 3752, 48, 96, 8},
  };
  for (const Slot& s : kSlots) {
    SCOPED_TRACE(testing::Message() << s.file << " resource " << s.id);
    HMODULE m = LoadLibraryExA(Program(s.folder, s.file).c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(m, nullptr);
    HRSRC res = FindResourceA(m, MAKEINTRESOURCEA(s.id), s.type);
    ASSERT_NE(res, nullptr);
    EXPECT_EQ(SizeofResource(m, res), s.size);
    const BITMAPINFOHEADER* h =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(m, res)));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, s.width);
    EXPECT_EQ(h->biHeight, s.height);
    EXPECT_EQ(h->biBitCount, s.bits);
    FreeLibrary(m);
  }
}

TEST(Programs, CarriedProgramsStartAndEndCleanly) {
  for (const Carried& c : kCarried) {
    SCOPED_TRACE(c.file);
    // Without an argument the saver runtime opens its settings dialog; an
    // unknown switch ends it at once. The engine and the stub end at once
    // with an error when nothing is appended to them, and cleanly when
    // something is.
    const bool saver = std::string(c.file) == "Halcyra.exe";
    PROCESS_INFORMATION pi = Start(Program(c.folder, c.file), saver ? "/x" : "");
    ASSERT_NE(pi.hProcess, nullptr);
    EXPECT_EQ(WaitExit(pi, 60000), saver ? 0u : 1u);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (saver) continue;
    std::vector<unsigned char> carrying = ReadAll(Program(c.folder, c.file));
    carrying.insert(carrying.end(), 16, 0x5A);
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string copy = std::string(folder) + "carrying-" + c.file;
    testfiles::WriteAll(copy, carrying);
    pi = Start(copy);
    ASSERT_NE(pi.hProcess, nullptr);
    EXPECT_EQ(WaitExit(pi, 60000), 0u);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DeleteFileA(copy.c_str());
  }
}

struct FindFrame {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindFrameProc(HWND hwnd, LPARAM lp) {
  FindFrame* f = reinterpret_cast<FindFrame*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == f->pid && IsWindowVisible(hwnd) && GetParent(hwnd) == nullptr) {
    f->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

TEST(Programs, BuilderOpensItsWindowAndClosesCleanly) {
  PROCESS_INFORMATION pi = Start(Program("builder", "Lumenweave.exe"));
  ASSERT_NE(pi.hProcess, nullptr);
  FindFrame f = {pi.dwProcessId, nullptr};
  for (int i = 0; i < 600 && !f.found; ++i) {
    Sleep(50);
    EnumWindows(FindFrameProc, reinterpret_cast<LPARAM>(&f));
  }
  ASSERT_NE(f.found, nullptr) << "the builder showed no window";
  char title[256] = {};
  GetWindowTextA(f.found, title, sizeof title);
  EXPECT_NE(std::string(title).find("Lumenweave"), std::string::npos) << title;
  PostMessageA(f.found, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitExit(pi, 30000), 0u);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

}  // namespace
