// The MP3 player: where the first frame is found, the formats it derives,
// and playing on the program's own file device (tests/support/
// sound_device.h): the PCM a file decodes to reaches the device, Stop ends
// a play at once, repeat plays until stopped and waits between failed
// attempts, a buffer done before its write returns is not lost, and the
// test decode that loading an MP3 runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "playback/MediaPlayers.h"
#include "playback/mp3/Mp3Player.h"
#include "script/DataBlock.h"
#include "script/Objects.h"
#include "tests/support/files.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/screen.h"
#include "tests/support/sound_device.h"
#include "tests/support/worker.h"

namespace {

using lwtest::Bytes;
using lwtest::CSoundDevice;

Bytes Header(uint32_t h) {
  return Bytes{static_cast<uint8_t>(h >> 24), static_cast<uint8_t>(h >> 16),
               static_cast<uint8_t>(h >> 8), static_cast<uint8_t>(h)};
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

const uint32_t kGood = lwtest::kMp3Header;
const uint32_t kMpeg2 = 0xFFF38000;  // MPEG-2 layer III, 64 kbit/s, 22,050 Hz, stereo

TEST(Mp3FrameSearch, FindsTheFirstValidHeader) {
  const struct {
    const char* name;
    Bytes data;
    uint32_t length;  // of data given to the reader (0: all)
    bool found;
    uint32_t offset;
  } kCases[] = {
      {"at the start", Header(kGood), 0, true, 0},
      {"after junk", Concat({Bytes(7, 0x12), Header(kGood)}), 0, true, 7},
      {"broken sync skipped", Concat({Header(kGood & ~(1u << 21)), Bytes(46, 0), Header(kGood)}), 0, true, 50},
      {"reserved version skipped", Concat({Header((kGood & ~(3u << 19)) | (1u << 19)), Bytes(46, 0), Header(kGood)}), 0, true, 50},
      {"layer 0 skipped", Concat({Header(kGood & ~(3u << 17)), Bytes(46, 0), Header(kGood)}), 0, true, 50},
      {"bit rate 0 skipped", Concat({Header(kGood & ~(15u << 12)), Bytes(46, 0), Header(kGood)}), 0, true, 50},
      {"bit rate 15 skipped", Concat({Header(kGood | (15u << 12)), Bytes(46, 0), Header(kGood)}), 0, true, 50},
      {"sample rate 3 skipped", Concat({Header(kGood | (3u << 10)), Bytes(46, 0), Header(kGood)}), 0, true, 50},
      {"emphasis 2 skipped", Concat({Header((kGood & ~3u) | 2u), Bytes(46, 0), Header(kGood)}), 0, true, 50},
      {"last offset in range", Concat({Bytes(10239, 0), Header(kGood)}), 0, true, 10239},
      {"nothing in range", Concat({Bytes(10240, 0), Header(kGood)}), 0, false, 10240},
      {"three bytes", Bytes{0xFF, 0xFB, 0x90}, 0, false, 10240},
      {"a header past the end is not read", Concat({Bytes(2, 0), Header(kGood)}), 4, false, 10240},
      {"a tag skipped", lwtest::WithId3v2(Header(kMpeg2), 100), 0, true, 110},
      {"a tag's false sync skipped", lwtest::WithId3v2(Header(kMpeg2), 0), 0, true, 10},
      {"the range counts after the tag", lwtest::WithId3v2(Concat({Bytes(9000, 0), Header(kGood)}), 20000), 0, true, 29010},
      {"a tag longer than the data is no tag", Concat({Bytes{'I', 'D', '3', 3, 0, 0, 0, 0, 0x7F, 0x7F}, Header(kGood)}), 0, true, 10},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const uint32_t length = c.length ? c.length : static_cast<uint32_t>(c.data.size());
    CMP3Reader reader;
    reader.OpenMemory(c.data.data(), length);
    EXPECT_EQ(reader.Parse(), c.found);
    EXPECT_EQ(reader.m_found, c.found);
    EXPECT_EQ(reader.m_frameOffset, c.offset);
  }
}

// A tag whose body holds a frame header: the search starts after it.
TEST(Mp3FrameSearch, ATagsContentsAreNotFrames) {
  Bytes tagged = lwtest::WithId3v2(Header(kMpeg2), 8);
  for (int i = 0; i < 4; ++i) tagged[10 + i] = Header(kGood)[i];
  CMP3Reader reader;
  reader.OpenMemory(tagged.data(), static_cast<uint32_t>(tagged.size()));
  ASSERT_TRUE(reader.Parse());
  EXPECT_EQ(reader.m_frameOffset, 18u);
  EXPECT_EQ(reader.m_version, 2.0f);
  EXPECT_EQ(reader.m_sampleRate, 22050);
}

TEST(Mp3Formats, FollowTheFirstFrame) {
  const struct {
    uint32_t header;
    float version;
    int bitRate, sampleRate, channels, halvedRate;
    WORD blockSize;
  } kCases[] = {
      {kGood, 1.0f, 128, 44100, 2, 22050, 417},
      {kGood | 0xC0, 1.0f, 128, 44100, 1, 22050, 417},
      // MPEG-2 frames hold half the samples: 72,000 x 64 / 22,050.
      {kMpeg2, 2.0f, 64, 22050, 2, 22050, 208},
      {0xFFE38000, 2.5f, 64, 11025, 2, 11025, 417},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.header);
    Bytes data = Header(c.header);
    CMP3Reader reader;
    reader.OpenMemory(data.data(), 4);
    ASSERT_TRUE(reader.Parse());
    EXPECT_EQ(reader.m_version, c.version);
    EXPECT_EQ(reader.m_layer, 3);
    EXPECT_EQ(reader.m_bitRate, c.bitRate);
    EXPECT_EQ(reader.m_sampleRate, c.sampleRate);
    WAVEFORMATEX pcm = {};
    MPEGLAYER3WAVEFORMAT mp3 = {};
    reader.BuildFormats(pcm, mp3, true);
    EXPECT_EQ(mp3.wfx.wFormatTag, WAVE_FORMAT_MPEGLAYER3);
    EXPECT_EQ(mp3.wfx.nChannels, c.channels);
    EXPECT_EQ(mp3.nBlockSize, c.blockSize);
    EXPECT_EQ(mp3.wfx.nAvgBytesPerSec, static_cast<DWORD>(c.bitRate * 125));
    EXPECT_EQ(pcm.nSamplesPerSec, static_cast<DWORD>(c.halvedRate));
    EXPECT_EQ(pcm.nChannels, c.channels);
    EXPECT_EQ(pcm.nBlockAlign, c.channels * 2);
    reader.BuildFormats(pcm, mp3, false);
    EXPECT_EQ(pcm.nSamplesPerSec, static_cast<DWORD>(c.sampleRate));
    EXPECT_EQ(pcm.nAvgBytesPerSec, static_cast<DWORD>(c.sampleRate * c.channels * 2));
  }
}

// A device that plays each buffer the moment it is written: its done
// notice comes before the write returns.
class CInstantDevice : public CMP3WavePlayer {
 public:
  size_t m_written = 0;

 protected:
  MMRESULT OpenDevice(const WAVEFORMATEX&) override {
    m_waveOut = reinterpret_cast<HWAVEOUT>(1);
    return MMSYSERR_NOERROR;
  }
  MMRESULT PrepareBuffer(WAVEHDR* h) override {
    h->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
  }
  MMRESULT UnprepareBuffer(WAVEHDR* h) override {
    h->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
  }
  MMRESULT WriteBuffer(WAVEHDR* h) override {
    m_written += h->dwBufferLength;
    h->dwFlags |= WHDR_DONE;
    OnBufferDone();
    return MMSYSERR_NOERROR;
  }
  MMRESULT PauseDevice() override { return MMSYSERR_NOERROR; }
  MMRESULT ResetDevice() override { return MMSYSERR_NOERROR; }
  MMRESULT CloseDevice() override {
    m_waveOut = nullptr;
    return MMSYSERR_NOERROR;
  }
};

struct InstantPlay {
  CInstantDevice device;
  Bytes mp3;
  CEvent started, finished, stop;
  bool result = false;
  static DWORD WINAPI Run(void* self) {
    InstantPlay& p = *static_cast<InstantPlay*>(self);
    p.result = p.device.PlayMemory(p.mp3.data(), static_cast<uint32_t>(p.mp3.size()));
    return 0;
  }
};

TEST(Mp3WavePlayer, ABufferDoneBeforeItsWriteReturnsIsNotLost) {
  for (int frames : {20, 1000}) {
    SCOPED_TRACE(testing::Message() << frames << " frames");
    InstantPlay play;
    play.mp3 = lwtest::SilentMp3(frames);
    play.device.SetEvents(play.started, play.finished, play.stop);
    HANDLE thread = CreateThread(nullptr, 0, InstantPlay::Run, &play, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    // A lost notice leaves the play waiting for ever: the stop ends it.
    const bool ended = WaitForSingleObject(thread, 20000) == WAIT_OBJECT_0;
    if (!ended) {
      play.stop.SetEvent();
      WaitForSingleObject(thread, 20000);
    }
    CloseHandle(thread);
    EXPECT_TRUE(ended) << "the play waited for a notice that had already come";
    EXPECT_TRUE(play.result);
    EXPECT_TRUE(play.finished.IsSet());
    EXPECT_GT(play.device.m_written, static_cast<size_t>(frames - 2) * lwtest::kMp3FramePcmBytes);
  }
}

class Mp3Device : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CSoundDevice::Given()) << "run through CTest: the test's environment gives the device";
    ASSERT_TRUE(IsMp3CodecInstalled());
    CSoundDevice::Clear();
  }
  void TearDown() override { CSoundDevice::Clear(); }
};

// The file's own rate where the codec refuses half of it: 44,100 Hz stereo
// 16-bit, 4,608 bytes a frame, all silent.
TEST_F(Mp3Device, DecodingWritesTheFilesPcm) {
  const int frames = 100;
  const Bytes mp3 = lwtest::WithId3v2(lwtest::SilentMp3(frames), 64);
  CMP3Player player;
  ASSERT_TRUE(player.Play(mp3.data(), static_cast<uint32_t>(mp3.size()), true, false));
  EXPECT_TRUE(player.IsFinished());
  ASSERT_NE(player.GetThread(), nullptr);
  EXPECT_FALSE(player.GetThread()->m_failed);
  EXPECT_EQ(player.GetThread()->m_player.GetPcmFormat().nSamplesPerSec, 44100u);
  player.Stop();
  const size_t expected = frames * lwtest::kMp3FramePcmBytes;
  const Bytes pcm = CSoundDevice::WaitForBytes(expected * 9 / 10, 20000);
  EXPECT_GE(pcm.size(), expected * 9 / 10);
  EXPECT_LE(pcm.size(), expected + lwtest::kMp3FramePcmBytes);
}

TEST_F(Mp3Device, StopDuringPlayEndsItAndSetsFinished) {
  const int frames = 2000;  // about 52 s of sound, in several blocks
  const Bytes mp3 = lwtest::SilentMp3(frames);
  CMP3Player player;
  ASSERT_TRUE(player.Play(mp3.data(), static_cast<uint32_t>(mp3.size()), false, false));
  ASSERT_TRUE(lwtest::PumpUntil([] { return CSoundDevice::Read().size() > 100000; }, 20000));
  EXPECT_FALSE(player.IsFinished());
  player.Stop();
  EXPECT_TRUE(player.IsFinished());
  EXPECT_FALSE(player.HasThread());
  const size_t afterStop = CSoundDevice::WaitForBytes(0, 3000).size();
  EXPECT_LT(afterStop, frames * lwtest::kMp3FramePcmBytes / 2) << "the sound went on";
  player.Stop();  // nothing plays: nothing happens
  EXPECT_TRUE(player.IsFinished());
}

TEST_F(Mp3Device, RepeatPlaysUntilStopped) {
  const int frames = 20;
  const Bytes mp3 = lwtest::SilentMp3(frames);
  CMP3Player player;
  ASSERT_TRUE(player.Play(mp3.data(), static_cast<uint32_t>(mp3.size()), false, true));
  ASSERT_NE(player.GetThread(), nullptr);
  CMP3Thread& thread = *player.GetThread();
  EXPECT_TRUE(lwtest::PumpUntil([&] { return thread.m_attempts >= 3; }, 30000))
      << thread.m_attempts << " plays";
  EXPECT_FALSE(thread.m_failed);
  EXPECT_EQ(WaitForSingleObject(thread.m_hThread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  player.Stop();
  EXPECT_TRUE(player.IsFinished());
  EXPECT_FALSE(player.HasThread());
  // Each play opened the device anew; all but the stopped one played
  // whole.
  EXPECT_GE(CSoundDevice::WaitForBytes(0, 3000).size(), 2 * frames * lwtest::kMp3FramePcmBytes);
  EXPECT_GE(CSoundDevice::PlayCount(), 3);
}

// Bytes without a frame fail every attempt: the thread waits between them
// instead of trying again at once.
TEST_F(Mp3Device, RepeatWaitsBetweenFailedAttempts) {
  const Bytes junk(4000, 0x11);
  CMP3Player player;
  ASSERT_TRUE(player.Play(junk.data(), static_cast<uint32_t>(junk.size()), false, true));
  lwtest::FlushEvents(1500);
  ASSERT_NE(player.GetThread(), nullptr);
  const LONG attempts = player.GetThread()->m_attempts;
  EXPECT_TRUE(player.GetThread()->m_failed);
  EXPECT_GE(attempts, 1);
  EXPECT_LE(attempts, 3) << "tried again without waiting";
  player.Stop();
  EXPECT_TRUE(player.IsFinished());
}

// Waiting for a play that fails returns after the first failure.
TEST_F(Mp3Device, AWaitedPlayThatFailsReturns) {
  const Bytes junk(4000, 0x11);
  CMP3Player player;
  ASSERT_TRUE(player.Play(junk.data(), static_cast<uint32_t>(junk.size()), true, false));
  EXPECT_TRUE(player.IsFinished());
  EXPECT_TRUE(player.GetThread()->m_failed);
}

TEST_F(Mp3Device, TestDecodeAndLoadingAcceptAGoodFile) {
  const Bytes mp3 = lwtest::SilentMp3(400);
  CMP3WavePlayer test;
  EXPECT_EQ(test.TestDecode(mp3.data(), static_cast<uint32_t>(mp3.size())), 1);
  const Bytes junk(4000, 0x11);
  EXPECT_EQ(test.TestDecode(junk.data(), static_cast<uint32_t>(junk.size())), 0);

  lwtest::CTempFolder folder("mp3load");
  const std::string path = folder.File("song.mp3");
  ASSERT_TRUE(lwtest::WriteAll(path, mp3));
  lwtest::CRecordedBoxes boxes;
  CMediaObject media;
  EXPECT_EQ(media.LoadMediaFile(path.c_str(), true), 1);
  EXPECT_EQ(media.m_kind, kMediaMp3);
  EXPECT_EQ(media.m_dataSize, mp3.size());
  const std::string bad = folder.File("bad.mp3");
  ASSERT_TRUE(lwtest::WriteAll(bad, junk));
  EXPECT_EQ(media.LoadMediaFile(bad.c_str(), true), 0);
  EXPECT_EQ(media.m_pData, nullptr);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], kMp3DecodeErrorMessage);
}

// A wave sound played synchronously holds the scene thread: stopping all
// media from the window's thread ends it first, so the scene thread is
// free at once.
TEST_F(Mp3Device, StopAllEndsASynchronousWaveFirst) {
  lwtest::CHostWindow output(0, 0, 200, 200);
  CSceneMediaPlayers players(output.Hwnd());
  const std::vector<int16_t> samples(22050 * 60, 1000);  // a minute of sound
  const Bytes wave = lwtest::PcmWave(samples, 22050, 1);
  CMediaObject media;
  media.SetMedia(CopyDataBlock(wave.data(), static_cast<uint32_t>(wave.size())),
                 static_cast<uint32_t>(wave.size()));
  media.m_kind = kMediaAudio;
  CEvent stop;
  const RECT place = {0, 0, 0, 0};
  bool played = false;
  lwtest::CWorkerCall scene([&] { played = players.Play(media, 1, 0, place, -1, stop); });
  ASSERT_TRUE(lwtest::PumpUntil([] { return CSoundDevice::Read().size() > 50000; }, 20000));
  players.StopAll();
  EXPECT_TRUE(scene.Finish(5000)) << "the synchronous sound went on";
  EXPECT_LT(CSoundDevice::WaitForBytes(0, 2000).size(), samples.size() * 2 / 2);
}

}  // namespace
