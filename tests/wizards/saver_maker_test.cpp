// The output writer against the builder's real carried programs: layouts
// and sizes of the three outputs, custom icon and logo patches, every
// failure leaving nothing of its own and an earlier output as it was, each
// step's failure code (with copies of the builder whose carried programs
// are empty, unreadable, missing or swapped), and outputs that are the
// very file they are made from.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/App.h"
#include "common/Payload.h"
#include "framework/Seams.h"
#include "tests/support/files.h"
#include "tests/support/icon_files.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"
#include "wizards/SaverMaker.h"

namespace {

using lwtest::Bytes;
using lwtest::FileExists;
using lwtest::ReadAll;
using lwtest::WriteAll;

Bytes Filled(size_t n, uint8_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 7);
  return b;
}

using lwtest::IconImage;
using lwtest::MakeIco;

uint32_t Le16(const Bytes& b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t Le32(const Bytes& b, size_t at) { return Le16(b, at) | (Le16(b, at + 2) << 16); }
void Put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Where resource "FILE" #id lies in a program file's resource table: the
// file offsets of its entry in the "FILE" directory and of its data entry
// (data address, size). Zero offsets when it is not there.
struct FileResource {
  size_t idEntry = 0;
  size_t dataEntry = 0;
};

FileResource FindFileResource(const Bytes& pe, uint32_t id) {
  FileResource found;
  const size_t fileHeader = Le32(pe, 0x3C) + 4;
  const uint32_t sections = Le16(pe, fileHeader + 2);
  const size_t opt = fileHeader + 20;
  const size_t table = opt + Le16(pe, fileHeader + 16);
  const uint32_t rsrcRva = Le32(pe, opt + (Le16(pe, opt) == 0x20B ? 112 : 96) + 16);
  size_t rsrc = 0;
  for (uint32_t i = 0; i < sections; ++i) {
    const size_t at = table + 40 * i;
    const uint32_t va = Le32(pe, at + 12);
    if (rsrcRva >= va && rsrcRva - va < Le32(pe, at + 8)) rsrc = Le32(pe, at + 20) + (rsrcRva - va);
  }
  if (rsrc == 0) return found;
  // The entries of a directory: named ones first, then ids.
  auto entries = [&](size_t dir, const std::function<bool(uint32_t name)>& match) -> size_t {
    const uint32_t n = Le16(pe, dir + 12) + Le16(pe, dir + 14);
    for (uint32_t i = 0; i < n; ++i)
      if (match(Le32(pe, dir + 16 + 8 * i))) return dir + 16 + 8 * i;
    return 0;
  };
  const size_t type = entries(rsrc, [&](uint32_t name) {
    if (!(name & 0x80000000u)) return false;
    const size_t at = rsrc + (name & 0x7FFFFFFFu);
    const char kFile[] = "FILE";
    if (Le16(pe, at) != 4) return false;
    for (int i = 0; i < 4; ++i)
      if (Le16(pe, at + 2 + 2 * i) != static_cast<uint32_t>(kFile[i])) return false;
    return true;
  });
  if (type == 0) return found;
  const size_t ids = rsrc + (Le32(pe, type + 4) & 0x7FFFFFFFu);
  found.idEntry = entries(ids, [&](uint32_t name) { return name == id; });
  if (found.idEntry == 0) return found;
  const size_t languages = rsrc + (Le32(pe, found.idEntry + 4) & 0x7FFFFFFFu);
  found.dataEntry = rsrc + Le32(pe, languages + 16 + 4);
  return found;
}

class SaverMakerTest : public testing::Test {
 protected:
  void SetUp() override {
    builder_ = LoadLibraryExA(LW_BUILD_DIR "/builder/Lumenweave.exe", nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(builder_, nullptr);
    app_.SetRegistryKey("LumenweaveMakerTests");
    maker_.m_resources = builder_;
    maker_.m_customFolder = dir_.c_str();
    runtime_ = ReadAll(LW_BUILD_DIR "/runtime/Halcyra.exe");
    stub_ = ReadAll(LW_BUILD_DIR "/installer/Quenlark.exe");
    engine_ = ReadAll(LW_BUILD_DIR "/engine/Emberlyn.exe");
  }
  void TearDown() override { FreeLibrary(builder_); }
  std::string Path(const char* name) const { return dir_ + name; }

  HMODULE builder_ = nullptr;
  const lwtest::CScratchKey profile_{HKEY_CURRENT_USER, "Software\\LumenweaveMakerTests"};
  const lwtest::CTempFolder folder_{"maker"};
  const std::string& dir_ = folder_.Path();
  CWinApp app_{"MakerTest"};
  CSaverMaker maker_;
  lwtest::CRecordedBoxes sink_;
  Bytes runtime_, stub_, engine_;
};

TEST_F(SaverMakerTest, ScrAndInstallerLayouts) {
  const Bytes doc = Filled(1234, 3);
  WriteAll(Path("Sea.fsd"), doc);
  app_.WriteProfileInt("Settings", "SCRSettings", 0x1A5);  // only the low byte is stored

  ASSERT_TRUE(maker_.MakeScr(Path("Sea.scr").c_str(), Path("Sea.fsd").c_str()));
  Bytes scr = ReadAll(Path("Sea.scr"));
  ASSERT_EQ(scr.size(), carried::kRuntimeImageSize + 4 + doc.size() + 2);
  EXPECT_TRUE(std::equal(runtime_.begin(), runtime_.end(), scr.begin()));
  uint32_t word;
  memcpy(&word, &scr[carried::kRuntimeImageSize], 4);
  EXPECT_EQ(word, doc.size());
  EXPECT_TRUE(std::equal(doc.begin(), doc.end(), scr.begin() + carried::kRuntimeImageSize + 4));
  EXPECT_EQ(scr[scr.size() - 2], 0xA5);
  EXPECT_EQ(scr.back(), 0);

  ASSERT_TRUE(maker_.MakeInstaller(Path("Sea.exe").c_str(), Path("Sea.fsd").c_str()));
  Bytes exe = ReadAll(Path("Sea.exe"));
  ASSERT_EQ(exe.size(), carried::kInstallerImageSize + scr.size());
  EXPECT_TRUE(std::equal(stub_.begin(), stub_.end(), exe.begin()));
  EXPECT_TRUE(std::equal(scr.begin(), scr.end(), exe.begin() + carried::kInstallerImageSize));
  EXPECT_TRUE(sink_.texts.empty());
}

TEST_F(SaverMakerTest, BesideDocumentWritesBothWithFlagOne) {
  WriteAll(Path("Night.fsd"), Filled(99, 1));
  maker_.m_documentPath = Path("Night.fsd").c_str();
  ASSERT_TRUE(maker_.MakeBesideDocument());
  Bytes scr = ReadAll(Path("Night.scr")), exe = ReadAll(Path("Night.exe"));
  ASSERT_EQ(scr.size(), carried::kRuntimeImageSize + 4 + 99 + 2);
  EXPECT_EQ(scr.back(), 1);
  ASSERT_EQ(exe.size(), carried::kInstallerImageSize + scr.size());
  EXPECT_EQ(exe.back(), 1);
}

TEST_F(SaverMakerTest, MovieSaverAndItsInstaller) {
  const Bytes movie = Filled(5000, 9);
  WriteAll(Path("clip.swf"), movie);
  ASSERT_TRUE(maker_.MakeMovieSaver(Path("Clip.scr").c_str(), Path("clip.swf").c_str()));
  Bytes scr = ReadAll(Path("Clip.scr")), exe = ReadAll(Path("Clip.exe"));
  ASSERT_EQ(scr.size(), carried::kEngineImageSize + movie.size());
  EXPECT_TRUE(std::equal(engine_.begin(), engine_.end(), scr.begin()));
  EXPECT_TRUE(std::equal(movie.begin(), movie.end(), scr.begin() + carried::kEngineImageSize));
  ASSERT_EQ(exe.size(), 389120 + movie.size());
  EXPECT_TRUE(std::equal(scr.begin(), scr.end(), exe.begin() + carried::kInstallerImageSize));
}

// Documents and movies are copied in pieces: sizes on both sides of a piece
// boundary and of several pieces come out byte for byte.
TEST_F(SaverMakerTest, InputsOfEverySizeAreCopiedWhole) {
  for (size_t size : {size_t(0), size_t(1), size_t(65535), size_t(65536), size_t(65537),
                      size_t(3 * 65536 + 5), size_t(1000003)}) {
    SCOPED_TRACE(size);
    const Bytes input = Filled(size, static_cast<uint8_t>(size));
    WriteAll(Path("in.fsd"), input);
    ASSERT_TRUE(maker_.MakeScr(Path("in.scr").c_str(), Path("in.fsd").c_str()));
    Bytes expected = runtime_;
    for (int i = 0; i < 4; ++i) expected.push_back(static_cast<uint8_t>(size >> (8 * i)));
    expected.insert(expected.end(), input.begin(), input.end());
    expected.push_back(0);  // settings
    expected.push_back(0);  // flag
    EXPECT_TRUE(ReadAll(Path("in.scr")) == expected);

    ASSERT_TRUE(maker_.MakeMovieSaver(Path("in_movie.scr").c_str(), Path("in.fsd").c_str()));
    expected = engine_;
    expected.insert(expected.end(), input.begin(), input.end());
    EXPECT_TRUE(ReadAll(Path("in_movie.scr")) == expected);
  }
  EXPECT_TRUE(sink_.texts.empty());
}

TEST_F(SaverMakerTest, CustomIconAndLogoReplaceExactlyTheirSlots) {
  WriteAll(Path("Sea.fsd"), Filled(300, 4));
  ASSERT_TRUE(maker_.MakeInstaller(Path("plain.exe").c_str(), Path("Sea.fsd").c_str()));
  const Bytes plain = ReadAll(Path("plain.exe"));

  // 16 and 32 pixel images only: the 48 pixel slot keeps its own image.
  WriteAll(Path("Custom.ico"), MakeIco({{16, 16, 4, 296}, {32, 16, 4, 744}}, 50));
  Bytes bmp = Filled(14 + carried::kLogoSize, 77);
  bmp[0] = 'B';
  bmp[1] = 'M';
  WriteAll(Path("custom.bmp"), bmp);
  app_.WriteProfileInt("Settings", "CustomIcon", 1);
  app_.WriteProfileInt("Settings", "CustomImage", 1);
  ASSERT_TRUE(maker_.MakeInstaller(Path("custom.exe").c_str(), Path("Sea.fsd").c_str()));
  const Bytes patched = ReadAll(Path("custom.exe"));
  ASSERT_EQ(patched.size(), plain.size());

  carried::PatchSlots rt, st;
  ASSERT_TRUE(carried::FindPatchSlots(runtime_.data(), runtime_.size(), true, &rt));
  ASSERT_TRUE(carried::FindPatchSlots(stub_.data(), stub_.size(), false, &st));
  const Bytes ico = ReadAll(Path("Custom.ico"));
  const size_t icoImage[2] = {6 + 32, 6 + 32 + 296};
  Bytes expected = plain;
  const uint32_t S = carried::kInstallerImageSize;
  for (int i = 0; i < 2; ++i) {
    memcpy(&expected[st.icon[i].offset], &ico[icoImage[i]], st.icon[i].size);
    memcpy(&expected[S + rt.icon[i].offset], &ico[icoImage[i]], rt.icon[i].size);
  }
  memcpy(&expected[S + rt.logo.offset], &bmp[14], carried::kLogoSize);
  EXPECT_TRUE(expected == patched) << "only the icon and logo slots may change";
  EXPECT_NE(expected, plain);
}

TEST_F(SaverMakerTest, FailuresDeleteTheOutputAndReturnFalse) {
  WriteAll(Path("Sea.fsd"), Filled(10, 4));
  struct Case {
    const char* name;
    const char* document;
    const char* icon;     // "" none, else which icon to write
    int logoBytes;        // 0 none
    bool expectReadMessage;
  };
  const Case kCases[] = {
      {"missing document", "Nope.fsd", "", 0, true},
      {"custom icon missing", "Sea.fsd", "missing", 0, false},
      {"icon image too large for its slot", "Sea.fsd", "large", 0, false},
      {"logo larger than its slot", "Sea.fsd", "", 14 + 11816 + 4, false},
      {"logo smaller than its slot", "Sea.fsd", "", 14 + 1000, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    sink_.texts.clear();
    DeleteFileA(Path("Custom.ico").c_str());
    DeleteFileA(Path("custom.bmp").c_str());
    app_.WriteProfileInt("Settings", "CustomIcon", c.icon[0] ? 1 : 0);
    app_.WriteProfileInt("Settings", "CustomImage", c.logoBytes ? 1 : 0);
    if (std::string(c.icon) == "large")
      WriteAll(Path("Custom.ico"), MakeIco({{16, 16, 4, 400}}, 1));
    if (c.logoBytes) {
      Bytes bmp = Filled(c.logoBytes, 2);
      bmp[0] = 'B';
      bmp[1] = 'M';
      WriteAll(Path("custom.bmp"), bmp);
    }
    for (int kind = 0; kind < 2; ++kind) {
      std::string out = Path(kind ? "out.exe" : "out.scr");
      BOOL ok = kind ? maker_.MakeInstaller(out.c_str(), Path(c.document).c_str())
                     : maker_.MakeScr(out.c_str(), Path(c.document).c_str());
      EXPECT_FALSE(ok) << out;
      EXPECT_FALSE(FileExists(out)) << out;
    }
    if (c.expectReadMessage) {
      ASSERT_EQ(sink_.texts.size(), 2u);
      EXPECT_EQ(sink_.texts[0], Path("Nope.fsd") + "\nCannot be read data.");
    } else {
      EXPECT_TRUE(sink_.texts.empty());
    }
  }
}

// A make that fails part-way (its document or movie gone, a custom icon
// missing) leaves a file already there under the output's name as it was,
// and nothing of its own beside it: the output is written under another
// name in its folder and put in place only when whole. A make that
// succeeds replaces the earlier file.
TEST_F(SaverMakerTest, AFailedMakeKeepsTheEarlierOutput) {
  WriteAll(Path("Sea.fsd"), Filled(10, 4));
  ASSERT_TRUE(maker_.MakeScr(Path("built.scr").c_str(), Path("Sea.fsd").c_str()));
  const Bytes earlier = {'e', 'a', 'r', 'l', 'i', 'e', 'r'};
  using Make = std::function<BOOL(CSaverMaker&)>;
  struct Case {
    const char* name;
    std::vector<std::string> outputs;
    bool customIcon;
    Make make;
  } const cases[] = {
      {"saver, document gone", {"old.scr"}, false,
       [&](CSaverMaker& m) { return m.MakeScr(Path("old.scr").c_str(), Path("Nope.fsd").c_str()); }},
      {"saver, custom icon missing", {"old.scr"}, true,
       [&](CSaverMaker& m) { return m.MakeScr(Path("old.scr").c_str(), Path("Sea.fsd").c_str()); }},
      {"installer, document gone", {"old.exe"}, false,
       [&](CSaverMaker& m) { return m.MakeInstaller(Path("old.exe").c_str(), Path("Nope.fsd").c_str()); }},
      {"installer, custom icon missing", {"old.exe"}, true,
       [&](CSaverMaker& m) { return m.MakeInstaller(Path("old.exe").c_str(), Path("Sea.fsd").c_str()); }},
      {"movie saver, movie gone", {"old.scr", "old.exe"}, false,
       [&](CSaverMaker& m) { return m.MakeMovieSaver(Path("old.scr").c_str(), Path("none.swf").c_str()); }},
      {"beside the document, document gone", {"Gone.scr", "Gone.exe"}, false,
       [&](CSaverMaker& m) {
         m.m_documentPath = Path("Gone.fsd").c_str();
         return m.MakeBesideDocument();
       }},
      {"installer of a saver, custom icon missing", {"old.exe"}, true,
       [&](CSaverMaker& m) { return m.MakeInstallerForSaver(Path("old.exe").c_str(), Path("built.scr").c_str()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::string& output : c.outputs) ASSERT_TRUE(WriteAll(Path(output.c_str()), earlier));
    app_.WriteProfileInt("Settings", "CustomIcon", c.customIcon ? 1 : 0);
    const std::vector<std::string> before = lwtest::FilesIn(dir_);
    EXPECT_FALSE(c.make(maker_));
    for (const std::string& output : c.outputs) EXPECT_EQ(ReadAll(Path(output.c_str())), earlier) << output;
    EXPECT_EQ(lwtest::FilesIn(dir_), before);
  }
  app_.WriteProfileInt("Settings", "CustomIcon", 0);
  const std::vector<std::string> before = lwtest::FilesIn(dir_);
  ASSERT_TRUE(maker_.MakeScr(Path("old.scr").c_str(), Path("Sea.fsd").c_str()));
  EXPECT_EQ(ReadAll(Path("old.scr")), ReadAll(Path("built.scr")));
  ASSERT_TRUE(maker_.MakeMovieSaver(Path("old.scr").c_str(), Path("Sea.fsd").c_str()));
  EXPECT_EQ(ReadAll(Path("old.scr")).size(), engine_.size() + 10);
  EXPECT_EQ(ReadAll(Path("old.exe")).size(), stub_.size() + engine_.size() + 10);
  EXPECT_EQ(lwtest::FilesIn(dir_), before);
}

TEST_F(SaverMakerTest, MovieFailures) {
  WriteAll(Path("clip.swf"), Filled(10, 1));
  // A missing movie: nothing stays.
  EXPECT_FALSE(maker_.MakeMovieSaver(Path("M.scr").c_str(), Path("none.swf").c_str()));
  EXPECT_FALSE(FileExists(Path("M.scr")));
  // An output named like its own installer is refused before anything is
  // written, so the saver is never overwritten by its installer.
  EXPECT_FALSE(maker_.MakeMovieSaver(Path("M.exe").c_str(), Path("clip.swf").c_str()));
  EXPECT_FALSE(FileExists(Path("M.exe")));
}

// Every spelling of an output that the file system takes as the installer's
// own name is refused before anything is written.
TEST_F(SaverMakerTest, MovieSaverNamedLikeItsInstallerIsRefused) {
  WriteAll(Path("clip.swf"), Filled(10, 1));
  const char* kNames[] = {"M.exe", "M.EXE", "M.exe ", "M.exe  ", "sub\\..\\M.exe"};
  for (const char* name : kNames) {
    SCOPED_TRACE(std::string("'") + name + "'");
    EXPECT_FALSE(maker_.MakeMovieSaver(Path(name).c_str(), Path("clip.swf").c_str()));
    EXPECT_FALSE(FileExists(Path("M.exe")));
  }
}

// An installer name that is a link to the saver's: each output takes its
// own name's place when whole, so the installer never writes through the
// link into the saver. Both come out whole.
TEST_F(SaverMakerTest, MovieSaverKeepsItselfWhenItsInstallerNameLinksToIt) {
  const Bytes movie = Filled(3000, 5);
  WriteAll(Path("clip.swf"), movie);
  WriteAll(Path("Linked.scr"), Filled(10, 2));
  ASSERT_TRUE(CreateHardLinkA(Path("Linked.exe").c_str(), Path("Linked.scr").c_str(), nullptr));
  EXPECT_TRUE(maker_.MakeMovieSaver(Path("Linked.scr").c_str(), Path("clip.swf").c_str()));
  const Bytes scr = ReadAll(Path("Linked.scr"));
  ASSERT_EQ(scr.size(), carried::kEngineImageSize + movie.size());
  EXPECT_TRUE(std::equal(engine_.begin(), engine_.end(), scr.begin()));
  EXPECT_TRUE(std::equal(movie.begin(), movie.end(), scr.begin() + carried::kEngineImageSize));
  const Bytes exe = ReadAll(Path("Linked.exe"));
  ASSERT_EQ(exe.size(), stub_.size() + scr.size());
  EXPECT_TRUE(std::equal(stub_.begin(), stub_.end(), exe.begin()));
  EXPECT_TRUE(std::equal(scr.begin(), scr.end(), exe.begin() + stub_.size()));
}

// Copies of the builder with their carried programs changed, loaded as
// plain data files: resources are then looked up in the file's own layout,
// and a resource whose data lies outside every section cannot be loaded.
class SaverMakerFailures : public SaverMakerTest {
 protected:
  void SetUp() override {
    SaverMakerTest::SetUp();
    builderBytes_ = ReadAll(LW_BUILD_DIR "/builder/Lumenweave.exe");
    ASSERT_FALSE(builderBytes_.empty());
  }
  void TearDown() override {
    for (auto& m : modules_) FreeLibrary(m.second);
    SaverMakerTest::TearDown();
  }
  // A copy changed by `change`, loaded once under `name`.
  HMODULE Crafted(const char* name, const std::function<void(Bytes&)>& change) {
    Bytes copy = builderBytes_;
    change(copy);
    const std::string path = Path(name);
    WriteAll(path, copy);
    HMODULE m = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(m, nullptr) << name;
    modules_[name] = m;
    return m;
  }
  FileResource Resource(const Bytes& pe, uint32_t id) {
    FileResource r = FindFileResource(pe, id);
    EXPECT_NE(r.dataEntry, 0u) << "FILE #" << id;
    return r;
  }
  // The carried programs' data entries: emptied, or pointing outside the
  // file (found, but their bytes cannot be had).
  void Empty(Bytes& pe, uint32_t id) { Put32(pe, Resource(pe, id).dataEntry + 4, 0); }
  void Unreadable(Bytes& pe, uint32_t id) { Put32(pe, Resource(pe, id).dataEntry, 0x7FFF0000); }

  Bytes builderBytes_;
  std::map<std::string, HMODULE> modules_;
};

// Each step's failure code and message, from the table of codes.
TEST_F(SaverMakerFailures, EachStepRaisesItsCode) {
  const std::map<int, std::string> kMessages = {
      {1, "Runtime resource not found!"},
      {2, "Runtime resource cannot be accessed!"},
      {3, "Error during file read/write operation!"},
      {4, "File not found!"},
      {5, "Error during file read/write operation!"},
      {6, "Installer resource not found!"},
      {7, "Installer resource cannot be accessed!"},
      {8, "Error during file read/write operation!"},
      {9, "Custom icon error!"},
      {10, "Custom image error!"},
  };
  const HMODULE none = GetModuleHandleA(nullptr);  // this test: no carried programs
  const HMODULE empty = Crafted("empty.dll", [&](Bytes& pe) {
    for (uint32_t id : {271u, 446u, 274u}) Empty(pe, id);
  });
  const HMODULE unreadable = Crafted("unreadable.dll", [&](Bytes& pe) {
    for (uint32_t id : {271u, 446u, 274u}) Unreadable(pe, id);
  });
  // The runtime's bytes start two bytes in: no program, so no slots.
  const HMODULE noSlots = Crafted("noslots.dll", [&](Bytes& pe) {
    const size_t data = Resource(pe, 271).dataEntry;
    Put32(pe, data, Le32(pe, data) + 2);
    Put32(pe, data + 4, Le32(pe, data + 4) - 2);
  });
  // The movie engine in the runtime's place: icon slots, but no logo.
  const HMODULE engineAsRuntime = Crafted("engine.dll", [&](Bytes& pe) {
    const size_t runtime = Resource(pe, 271).dataEntry, engine = Resource(pe, 446).dataEntry;
    Put32(pe, runtime, Le32(pe, engine));
    Put32(pe, runtime + 4, Le32(pe, engine + 4));
  });

  WriteAll(Path("Sea.fsd"), Filled(10, 4));
  WriteAll(Path("clip.swf"), Filled(10, 5));
  const Bytes ico = MakeIco({{16, 16, 4, 296}, {32, 16, 4, 744}}, 50);
  Bytes bmp = Filled(14 + carried::kLogoSize, 77);
  bmp[0] = 'B';
  bmp[1] = 'M';
  const std::string out = Path("out.bin"), absent = Path("absent.bin");
  const std::string noFolder = Path("no such folder\\out.bin");
  const std::string doc = Path("Sea.fsd"), movie = Path("clip.swf");
  // The steps, each writing `out` unless its name says otherwise.
  using Step = std::function<void(CSaverMaker&)>;
  const Step runtime = [&](CSaverMaker& m) { m.WriteRuntime(out.c_str(), true); };
  const Step runtimeNoFolder = [&](CSaverMaker& m) { m.WriteRuntime(noFolder.c_str(), true); };
  const Step engine = [&](CSaverMaker& m) { m.WriteEngine(out.c_str(), false); };
  const Step engineNoFolder = [&](CSaverMaker& m) { m.WriteEngine(noFolder.c_str(), true); };
  const Step stub = [&](CSaverMaker& m) { m.WriteInstallerStub(out.c_str()); };
  const Step stubNoFolder = [&](CSaverMaker& m) { m.WriteInstallerStub(noFolder.c_str()); };
  const Step script = [&](CSaverMaker& m) { m.AppendScript(out.c_str(), doc.c_str()); };
  const Step scriptNoDocument = [&](CSaverMaker& m) {
    m.AppendScript(out.c_str(), Path("Nope.fsd").c_str());
  };
  const Step scriptNoOutput = [&](CSaverMaker& m) { m.AppendScript(absent.c_str(), doc.c_str()); };
  const Step movieNoMovie = [&](CSaverMaker& m) {
    m.AppendMovie(out.c_str(), Path("none.swf").c_str());
  };
  const Step movieNoOutput = [&](CSaverMaker& m) { m.AppendMovie(absent.c_str(), movie.c_str()); };
  const Step icon = [&](CSaverMaker& m) { m.PatchIcon(out.c_str(), 0, false); };
  const Step stubIcon = [&](CSaverMaker& m) { m.PatchIcon(out.c_str(), 0, true); };
  const Step iconNoFile = [&](CSaverMaker& m) {
    DeleteFileA(Path("Custom.ico").c_str());
    m.PatchIcon(out.c_str(), 0, false);
  };
  const Step iconNoOutput = [&](CSaverMaker& m) { m.PatchIcon(absent.c_str(), 0, false); };
  const Step logo = [&](CSaverMaker& m) { m.PatchBitmap(out.c_str(), 0); };
  const Step logoNoFile = [&](CSaverMaker& m) {
    DeleteFileA(Path("custom.bmp").c_str());
    m.PatchBitmap(out.c_str(), 0);
  };
  const Step logoNoOutput = [&](CSaverMaker& m) { m.PatchBitmap(absent.c_str(), 0); };
  struct Row {
    int code;  // 0: the step succeeds
    const char* name;
    HMODULE module;
    const Step& step;
  } rows[] = {
      {0, "runtime written", builder_, runtime},
      {1, "runtime: not in the module", none, runtime},
      {1, "runtime: empty", empty, runtime},
      {1, "engine: not in the module", none, engine},
      {1, "engine: empty", empty, engine},
      {2, "runtime: unreadable", unreadable, runtime},
      {2, "engine: unreadable", unreadable, engine},
      {3, "runtime: no folder", builder_, runtimeNoFolder},
      {3, "engine: no folder", builder_, engineNoFolder},
      {0, "script appended", builder_, script},
      {4, "script: no document", builder_, scriptNoDocument},
      {5, "script: no output", builder_, scriptNoOutput},
      {5, "movie: no movie", builder_, movieNoMovie},
      {5, "movie: no output", builder_, movieNoOutput},
      {0, "stub written", builder_, stub},
      {6, "stub: not in the module", none, stub},
      {6, "stub: empty", empty, stub},
      {7, "stub: unreadable", unreadable, stub},
      {8, "stub: no folder", builder_, stubNoFolder},
      {0, "icon patched", builder_, icon},
      {9, "icon: no Custom.ico", builder_, iconNoFile},
      {9, "icon: no output", builder_, iconNoOutput},
      {9, "icon: the runtime has no icon slots", noSlots, icon},
      {9, "icon: the runtime is missing", none, icon},
      {9, "icon: the stub is unreadable", unreadable, stubIcon},
      {0, "icon: a runtime without a logo still has its icons", engineAsRuntime, icon},
      {0, "logo patched", builder_, logo},
      {10, "logo: no custom.bmp", builder_, logoNoFile},
      {10, "logo: no output", builder_, logoNoOutput},
      {10, "logo: the runtime has no logo slot", engineAsRuntime, logo},
      {10, "logo: the runtime has no slots at all", noSlots, logo},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    WriteAll(out, runtime_);
    WriteAll(Path("Custom.ico"), ico);
    WriteAll(Path("custom.bmp"), bmp);
    sink_.texts.clear();
    CSaverMaker maker;
    maker.m_resources = r.module;
    maker.m_customFolder = dir_.c_str();
    int code = 0;
    std::string message;
    try {
      r.step(maker);
    } catch (CUtilMakeException* e) {
      code = e->m_code;
      message = e->m_message;
      delete e;
    }
    EXPECT_EQ(code, r.code);
    if (r.code != 0) {
      EXPECT_EQ(message, kMessages.at(r.code));
    }
    // Only the document read tells the user anything itself.
    EXPECT_EQ(sink_.texts.size(), r.code == 4 ? 1u : 0u);
  }
  EXPECT_FALSE(FileExists(absent));
}

// When the installer half of a movie saver fails, the saver already written
// stays whole and the installer is deleted.
TEST_F(SaverMakerFailures, MovieInstallerFailingKeepsTheSaver) {
  const Bytes movie = Filled(4000, 6);
  WriteAll(Path("clip.swf"), movie);
  const HMODULE noStub = Crafted("nostub.dll", [&](Bytes& pe) {
    Put32(pe, Resource(pe, 274).idEntry, 275);  // the stub under another id
  });
  const HMODULE unreadableStub = Crafted("badstub.dll", [&](Bytes& pe) { Unreadable(pe, 274); });
  struct Row {
    const char* name;
    HMODULE module;
  } rows[] = {{"no stub", noStub}, {"stub unreadable", unreadableStub}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    DeleteFileA(Path("Clip.scr").c_str());
    DeleteFileA(Path("Clip.exe").c_str());
    CSaverMaker maker;
    maker.m_resources = r.module;
    EXPECT_FALSE(maker.MakeMovieSaver(Path("Clip.scr").c_str(), Path("clip.swf").c_str()));
    const Bytes scr = ReadAll(Path("Clip.scr"));
    ASSERT_EQ(scr.size(), carried::kEngineImageSize + movie.size());
    EXPECT_TRUE(std::equal(engine_.begin(), engine_.end(), scr.begin()));
    EXPECT_TRUE(std::equal(movie.begin(), movie.end(), scr.begin() + carried::kEngineImageSize));
    EXPECT_FALSE(FileExists(Path("Clip.exe")));
  }
  EXPECT_TRUE(sink_.texts.empty());
}

// An output that is the document itself, under any spelling of its name,
// is refused before anything is written: the document stays as it was.
TEST_F(SaverMakerTest, AnOutputThatIsTheDocumentIsRefused) {
  const std::string doc = Path("Long document name.fsd");
  const Bytes bytes = Filled(700, 8);
  WriteAll(doc, bytes);
  ASSERT_TRUE(CreateHardLinkA(Path("linked.scr").c_str(), doc.c_str(), nullptr));
  char shortName[MAX_PATH] = "";
  ASSERT_GT(GetShortPathNameA(doc.c_str(), shortName, MAX_PATH), 0u);
  std::string upper = doc;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  const std::string kNames[] = {doc,
                                upper,
                                doc + ".",
                                doc + " ",
                                Path("sub\\..\\Long document name.fsd"),
                                shortName,
                                Path("linked.scr")};
  for (const std::string& name : kNames) {
    SCOPED_TRACE(name);
    for (int kind = 0; kind < 2; ++kind) {
      SCOPED_TRACE(kind ? "installer" : "saver");
      const BOOL ok = kind ? maker_.MakeInstaller(name.c_str(), doc.c_str())
                           : maker_.MakeScr(name.c_str(), doc.c_str());
      EXPECT_FALSE(ok);
      EXPECT_EQ(ReadAll(doc), bytes) << "the document is kept";
    }
  }
  EXPECT_TRUE(sink_.texts.empty());

  // A document named like the saver or installer made beside it.
  for (const char* name : {"Night.scr", "Night.EXE"}) {
    SCOPED_TRACE(name);
    sink_.texts.clear();
    WriteAll(Path(name), bytes);
    maker_.m_documentPath = Path(name).c_str();
    EXPECT_FALSE(maker_.MakeBesideDocument());
    EXPECT_EQ(ReadAll(Path(name)), bytes);
    EXPECT_EQ(sink_.texts.size(), 1u);
    if (std::string(name) != "Night.scr") {
      EXPECT_FALSE(FileExists(Path("Night.scr")));
    }
    DeleteFileA(Path(name).c_str());
  }
}

// A movie saver, or its installer, named like the movie is refused first.
TEST_F(SaverMakerTest, AMovieSaverThatIsTheMovieIsRefused) {
  const Bytes movie = Filled(900, 3);
  struct Row {
    const char* movie;
    const char* output;
  } rows[] = {{"Clip.scr", "Clip.scr"}, {"Clip.scr", "clip.SCR"}, {"Clip.exe", "Clip.scr"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.movie) + " into " + r.output);
    WriteAll(Path(r.movie), movie);
    EXPECT_FALSE(maker_.MakeMovieSaver(Path(r.output).c_str(), Path(r.movie).c_str()));
    EXPECT_EQ(ReadAll(Path(r.movie)), movie);
    const std::string other = std::string(r.movie) == "Clip.exe" ? "Clip.scr" : "Clip.exe";
    EXPECT_FALSE(FileExists(Path(other.c_str()))) << "nothing was written";
    DeleteFileA(Path(r.movie).c_str());
  }
}

TEST(IconFile, FindsImagesByKindAndRejectsNothingLoaded) {
  CIconFile none;
  EXPECT_EQ(none.Find16x16(), -1);
  EXPECT_EQ(none.GetBytesInRes(0), -1);
  EXPECT_EQ(none.GetWidth(0), 0);
  const std::string path = lwtest::TempPath("probe.ico");
  // 16 x 16 with 256 colours is not the 16-colour image; the 48 x 48 with
  // colour count 0 is taken.
  WriteAll(path, MakeIco({{16, 0, 8, 1384}, {48, 0, 8, 3752}, {16, 16, 4, 296}}, 5));
  CIconFile icon;
  ASSERT_TRUE(icon.Load(path.c_str()));
  EXPECT_EQ(icon.Find16x16(), 2);
  EXPECT_EQ(icon.Find32x32(), -1);
  EXPECT_EQ(icon.Find48x48(), 1);
  EXPECT_EQ(icon.GetHeight(1), 48);
  EXPECT_EQ(icon.GetBytesInRes(1), 3752);
  // A directory that points past the file keeps only the sound entries.
  Bytes broken = MakeIco({{16, 16, 4, 296}, {32, 16, 4, 744}}, 5);
  broken.resize(broken.size() - 10);
  WriteAll(path, broken);
  ASSERT_TRUE(icon.Load(path.c_str()));
  EXPECT_EQ(icon.GetCount(), 1);
  DeleteFileA(path.c_str());
  EXPECT_FALSE(icon.Load(path.c_str()));
}

}  // namespace
