// The output writer against the builder's real carried programs: layouts
// and sizes of the three outputs, custom icon and logo patches, and every
// failure deleting what it was writing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/App.h"
#include "common/Payload.h"
#include "framework/Seams.h"
#include "tests/support/files.h"
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

struct IconImage {
  int size;
  int colourCount;  // the directory's byte: 16, or 0 for 256 colours
  int bitCount;
  uint32_t bytes;
};

// An ".ico" whose images are an information header and filler.
Bytes MakeIco(const std::vector<IconImage>& images, uint8_t seed) {
  Bytes out(6 + 16 * images.size());
  out[2] = 1;
  out[4] = static_cast<uint8_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const IconImage& im = images[i];
    Bytes data = Filled(im.bytes, static_cast<uint8_t>(seed + i));
    int32_t h = 2 * im.size;
    if (data.size() < 40) data.resize(40);
    memset(data.data(), 0, 40);
    data[0] = 40;
    memcpy(&data[4], &im.size, 4);
    memcpy(&data[8], &h, 4);
    data[12] = 1;
    data[14] = static_cast<uint8_t>(im.bitCount);
    uint8_t* d = &out[6 + 16 * i];
    d[0] = d[1] = static_cast<uint8_t>(im.size);
    d[2] = static_cast<uint8_t>(im.colourCount);
    d[4] = 1;
    d[6] = static_cast<uint8_t>(im.bitCount);
    uint32_t offset = static_cast<uint32_t>(out.size());
    memcpy(d + 8, &im.bytes, 4);
    memcpy(d + 12, &offset, 4);
    out.insert(out.end(), data.begin(), data.end());
  }
  return out;
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

// An installer name that is a link to the saver just written leaves the
// saver whole and makes no installer.
TEST_F(SaverMakerTest, MovieSaverKeepsItselfWhenItsInstallerNameLinksToIt) {
  const Bytes movie = Filled(3000, 5);
  WriteAll(Path("clip.swf"), movie);
  WriteAll(Path("Linked.scr"), Filled(10, 2));
  ASSERT_TRUE(CreateHardLinkA(Path("Linked.exe").c_str(), Path("Linked.scr").c_str(), nullptr));
  EXPECT_FALSE(maker_.MakeMovieSaver(Path("Linked.scr").c_str(), Path("clip.swf").c_str()));
  const Bytes scr = ReadAll(Path("Linked.scr"));
  ASSERT_EQ(scr.size(), carried::kEngineImageSize + movie.size());
  EXPECT_TRUE(std::equal(engine_.begin(), engine_.end(), scr.begin()));
  EXPECT_TRUE(std::equal(movie.begin(), movie.end(), scr.begin() + carried::kEngineImageSize));
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
