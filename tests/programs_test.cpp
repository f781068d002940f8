// End-to-end checks of the four built programs: each starts and ends
// cleanly under Wine, the carried programs have exactly their fixed sizes
// and the resource slots the output writer patches, and the builder carries
// them byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/Payload.h"
#include "installer/CarriedSaver.h"
#include "tests/support/files.h"
#include "tests/support/processes.h"
#include "tests/support/pump.h"

namespace {

std::string Program(const char* folder, const char* name) {
  return std::string(LW_BUILD_DIR) + "/" + folder + "/" + name;
}

using lwtest::ReadAll;

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

TEST(Programs, CarriedProgramsHaveTheirFixedSizes) {
  for (const Carried& c : kCarried) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(ReadAll(Program(c.folder, c.file)).size(), c.size);
  }
}

// What a carried program links, read from its link map (beside it): no
// guard of a function-local static (it brings in the threads library), and
// no single static object of 16 KB or more (zeros that the image carries).
TEST(Programs, CarriedProgramsCarryNoThreadsLibraryNorLargeStatics) {
  for (const Carried& c : kCarried) {
    SCOPED_TRACE(c.file);
    const std::vector<std::string> map = lwtest::ReadLines(Program(c.folder, c.file) + ".map");
    ASSERT_GT(map.size(), 100u) << "no link map";
    std::string linked, large;
    for (size_t i = 0; i < map.size(); ++i) {
      const std::string& line = map[i];
      for (const char* name : {"__cxa_guard_acquire", "libwinpthread_la-thread.o",
                               "libwinpthread_la-cond.o"})
        if (linked.empty() && line.find(name) != std::string::npos) linked = line;
      // " .data$NAME  ADDRESS SIZE FILE", the numbers on the next line
      // when the name is long.
      if (line.rfind(" .data", 0) != 0 && line.rfind(" .bss", 0) != 0) continue;
      char name[512] = "";
      unsigned long long address = 0, size = 0;
      if (sscanf(line.c_str(), " %511s %llx %llx", name, &address, &size) < 3 &&
          (i + 1 == map.size() || sscanf(map[i + 1].c_str(), " %llx %llx", &address, &size) < 2))
        continue;
      if (size >= 16 * 1024) large += std::string(name) + " ";
    }
    EXPECT_EQ(linked, "");
    EXPECT_EQ(large, "");
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
    // unknown switch ends it at once. The engine ends at once with an
    // error when nothing is appended to it, and, asked to run, says that
    // what it carries is no movie. The stub says that it carries no saver
    // and ends with an error once that is answered; carrying as many bytes
    // as the smallest saver, it opens its window and ends cleanly when that
    // is closed.
    const bool saver = std::string(c.file) == "Halcyra.exe";
    const bool engine = std::string(c.file) == "Emberlyn.exe";
    const bool stub = std::string(c.file) == "Quenlark.exe";
    const char* args = saver ? "/x" : engine ? "/s" : "";
    lwtest::CChildProcess run(Program(c.folder, c.file), args);
    ASSERT_TRUE(run.Started());
    if (stub) {
      HWND box = run.WaitForMessageBox("Installer file corrupted!", 60000);
      ASSERT_NE(box, nullptr);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    EXPECT_EQ(run.Wait(60000), saver ? 0u : 1u);
    if (saver) continue;
    lwtest::Bytes carrying = lwtest::ReadAll(Program(c.folder, c.file));
    carrying.insert(carrying.end(), stub ? installer::kSmallestSaver : 16, 0x5A);
    const std::string copy = lwtest::TempPath(std::string("carrying-") + c.file);
    ASSERT_TRUE(lwtest::WriteAll(copy, carrying));
    {
      lwtest::CChildProcess carrier(copy, args);
      ASSERT_TRUE(carrier.Started());
      if (stub) {
        HWND window = carrier.WaitForWindow("#32770", nullptr, 60000);
        ASSERT_NE(window, nullptr);
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
      }
      EXPECT_EQ(carrier.Wait(60000), engine ? 2u : 0u);
    }
    DeleteFileA(copy.c_str());
  }
}

// The builder's frame: its visible top-level window that no other window
// owns.
HWND FrameOf(DWORD pid) {
  const HWND top = lwtest::TopWindowOf(pid);
  return top && GetParent(top) == nullptr ? top : nullptr;
}

TEST(Programs, BuilderOpensItsWindowAndClosesCleanly) {
  lwtest::CChildProcess run(Program("builder", "Lumenweave.exe"), "");
  ASSERT_TRUE(run.Started());
  HWND frame = nullptr;
  lwtest::PumpUntil([&] { return (frame = FrameOf(run.Pid())) != nullptr || run.Ended(); }, 30000);
  ASSERT_NE(frame, nullptr) << "the builder showed no window";
  char title[256] = {};
  GetWindowTextA(frame, title, sizeof title);
  EXPECT_NE(std::string(title).find("Lumenweave"), std::string::npos) << title;
  PostMessageA(frame, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.Wait(30000), 0u);
}

}  // namespace
