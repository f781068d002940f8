// A saver's sound end to end: a document that plays a wave sound and an
// MP3, each waited for, made into a ".scr" by the output writer and run
// with /s as Windows runs it. Its sounds land on this program's file
// device (tests/support/sound_device.h), which the saver inherits: the
// wave's samples and the MP3's decoded PCM are read back from it. With
// "Mute" set the saver writes nothing.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Archive.h"
#include "framework/Files.h"
#include "script/Commands.h"
#include "script/DataBlock.h"
#include "script/Objects.h"
#include "script/Palette.h"
#include "script/SceneDocument.h"
#include "tests/runtime/saver_documents.h"
#include "tests/support/files.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/processes.h"
#include "tests/support/pump.h"
#include "tests/support/registry.h"
#include "tests/support/sound_device.h"
#include "wizards/SaverMaker.h"

namespace {

using lwtest::Bytes;
using lwtest::CSoundDevice;
using savertest::AddMedia;

void AddWaitedPlay(CCommandList& list, CMediaObject* media) {
  CPlayCommand* play = static_cast<CPlayCommand*>(CreateCommand(kTypePlay));
  play->m_placement.m_flash.m_wait = 1;
  play->m_placement.m_flash.m_count = 1;
  list.Add(play);
  play->SetTarget(media);
}

// The wave, then the MP3, then a long Wait so the saver stays until ended.
Bytes SoundDocument(const Bytes& wave, const Bytes& mp3) {
  CCommandList list;
  CMediaObject* w = AddMedia(list, wave, kMediaAudio, "tone.wav");
  CMediaObject* m = AddMedia(list, mp3, kMediaMp3, "silence.mp3");
  AddWaitedPlay(list, w);
  AddWaitedPlay(list, m);
  CWaitCommand* wait = static_cast<CWaitCommand*>(CreateCommand(kTypeWait));
  wait->m_duration.m_milliseconds = 100000;
  list.Add(wait);
  list.NumberCommands();
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    WriteSceneDocument(ar, list);
    ar.Close();
  }
  return Bytes(file.GetBuffer(), file.GetBuffer() + file.GetLength());
}

std::string DisplayName(const std::string& path) {
  SHFILEINFOA info = {};
  SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME);
  return info.szDisplayName;
}

class SaverSound : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CSoundDevice::Given()) << "run through CTest: the test's environment gives the device";
    CSoundDevice::Clear();
    builder_ = LoadLibraryExA(LW_BUILD_DIR "/builder/Lumenweave.exe", nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(builder_, nullptr);
    maker_.m_resources = builder_;
    for (int i = 0; i < 4000; ++i) samples_.push_back(static_cast<int16_t>((i * 97) % 3000 - 1500));
    wave_ = lwtest::PcmWave(samples_, 22050, 1);
  }
  void TearDown() override {
    if (builder_) FreeLibrary(builder_);
    CSoundDevice::Clear();
  }
  std::string MakeSaver(const char* name) {
    const std::string fsd = folder_.File(std::string(name) + ".fsd");
    const std::string scr = folder_.File(std::string(name) + ".scr");
    EXPECT_TRUE(lwtest::WriteAll(fsd, SoundDocument(wave_, mp3_)));
    EXPECT_TRUE(maker_.MakeScr(scr.c_str(), fsd.c_str()));
    return scr;
  }

  lwtest::CTempFolder folder_{"saver_sound"};
  HMODULE builder_ = nullptr;
  CSaverMaker maker_;
  std::vector<int16_t> samples_;
  Bytes wave_;
  const int mp3Frames_ = 60;
  Bytes mp3_ = lwtest::SilentMp3(mp3Frames_);
};

TEST_F(SaverSound, PlaysAWaveAndAnMp3) {
  const std::string scr = MakeSaver("Sounds");
  lwtest::CChildProcess run(scr, "/s");
  HWND saver = run.WaitForWindow("SS3.0");
  ASSERT_NE(saver, nullptr);
  const Bytes waveData(wave_.end() - samples_.size() * 2, wave_.end());
  const size_t mp3Pcm = mp3Frames_ * lwtest::kMp3FramePcmBytes;
  const Bytes played = CSoundDevice::WaitForBytes(waveData.size() + mp3Pcm * 9 / 10, 30000);
  EXPECT_FALSE(run.Ended()) << "the saver goes on after its sounds";
  const int plays = CSoundDevice::PlayCount();
  PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(run.Wait(15000), 0u);
  // One play of the device for each sound.
  EXPECT_EQ(plays, 2);
  EXPECT_TRUE(std::search(played.begin(), played.end(), waveData.begin(), waveData.end()) !=
              played.end())
      << "the wave's samples were not played";
  EXPECT_GE(played.size(), waveData.size() + mp3Pcm * 9 / 10) << "the MP3's PCM is missing";
  EXPECT_LE(played.size(), waveData.size() + mp3Pcm + 8192);
}

TEST_F(SaverSound, MutedPlaysNothing) {
  const std::string scr = MakeSaver("Muted");
  lwtest::CScratchKey profile(HKEY_CURRENT_USER,
                              "Software\\Corvanta\\Screen Saver\\" + DisplayName(scr));
  ASSERT_TRUE(profile.Sub("Settings").SetNumber("Mute", 1));
  lwtest::CChildProcess run(scr, "/s");
  HWND saver = run.WaitForWindow("SS3.0");
  ASSERT_NE(saver, nullptr);
  lwtest::FlushEvents(3000);
  PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(run.Wait(15000), 0u);
  EXPECT_EQ(CSoundDevice::Read().size(), 0u);
}

}  // namespace
