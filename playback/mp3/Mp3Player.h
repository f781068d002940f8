// MP3 sound played from memory: the first frame header is found in the
// bytes (CMP3Reader), the frames are converted to PCM by the system's ACM
// codec (CAcmStream) and written to the wave-out device in two alternating
// buffers (CMP3WavePlayer), on a worker thread that repeats on request
// (CMP3Thread), started and stopped by CMP3Player. The bytes are read in
// place, never copied: they must outlive the play.
//
// Below the script model, which test-decodes an MP3 when a file is loaded.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <cstdint>

#include "framework/Sync.h"
#include "framework/Thread.h"
#include "playback/mp3/Mp3Frame.h"

// A converter stream of the ACM with one source and one destination buffer.
class CAcmStream {
 public:
  static const DWORD kSourceSize = 0x20000;

  CAcmStream() = default;
  virtual ~CAcmStream() { Close(); }
  CAcmStream(const CAcmStream&) = delete;
  CAcmStream& operator=(const CAcmStream&) = delete;

  bool Open(const WAVEFORMATEX* src, const WAVEFORMATEX* dst);
  // Sizes and allocates both buffers and prepares the header.
  bool Prepare();
  // kind 0: the first block, 1: a following one, 2: the last.
  bool Convert(int kind);
  void Close();

  ACMSTREAMHEADER m_header = {};
  DWORD m_destSize = 0;
  MMRESULT m_result = 0;

 private:
  HACMSTREAM m_stream = nullptr;
  BYTE* m_source = nullptr;
  BYTE* m_dest = nullptr;
};

// The first frame of MP3 bytes (Mp3Frame.h) and the formats derived from
// it.
class CMP3Reader : public CMp3FrameSearch {
 public:
  // The MP3 format of the frames and a 16-bit PCM format of their channels:
  // at half their rate when halve is set (for 32, 44.1 and 48 kHz), else at
  // their own.
  void BuildFormats(WAVEFORMATEX& pcm, MPEGLAYER3WAVEFORMAT& mp3, bool halve) const;
};

// Decodes MP3 bytes and plays them on the wave-out device. The device calls
// are virtual so that a test can stand in for the device.
class CMP3WavePlayer {
 public:
  CMP3WavePlayer();
  virtual ~CMP3WavePlayer();
  CMP3WavePlayer(const CMP3WavePlayer&) = delete;
  CMP3WavePlayer& operator=(const CMP3WavePlayer&) = delete;

  void SetEvents(HANDLE started, HANDLE finished, HANDLE stop) {
    m_started = started;
    m_finished = finished;
    m_stop = stop;
  }
  // Plays the bytes once; true when playing ended normally or by the stop
  // event.
  bool PlayMemory(const uint8_t* data, uint32_t length);
  // 1 when the bytes decode and the device takes them, 0 when the bytes,
  // the codec or the decoding fail, -1 when the wave-out device is busy.
  int TestDecode(const uint8_t* data, uint32_t length);
  // Called by the device when a buffer has played (any thread).
  void OnBufferDone();

  const WAVEFORMATEX& GetPcmFormat() const { return m_pcm; }

 protected:
  virtual MMRESULT OpenDevice(const WAVEFORMATEX& format);
  virtual MMRESULT PrepareBuffer(WAVEHDR* header);
  virtual MMRESULT UnprepareBuffer(WAVEHDR* header);
  virtual MMRESULT WriteBuffer(WAVEHDR* header);
  virtual MMRESULT PauseDevice();
  virtual MMRESULT ResetDevice();
  virtual MMRESULT CloseDevice();
  HWAVEOUT m_waveOut = nullptr;

 private:
  // Steps 1 to 3 of a play: formats, converter, device, buffers.
  bool Begin(const uint8_t* data, uint32_t length);
  bool Fill(int index);
  // Closes converter and device; false when the device refused.
  bool CloseAll();
  LONG Queued() { return ::InterlockedCompareExchange(&m_queued, 0, 0); }

  volatile LONG m_queued = 0;
  bool m_endOfData = false;
  bool m_firstBlock = true;
  CEvent m_bufferDone;
  HANDLE m_started = nullptr;
  HANDLE m_finished = nullptr;
  HANDLE m_stop = nullptr;
  CAcmStream m_acm;
  CMP3Reader m_reader;
  int m_next = 0;
  DWORD m_bufferSize = 0;
  uint32_t m_readPos = 0;
  WAVEFORMATEX m_pcm;
  MPEGLAYER3WAVEFORMAT m_mp3 = {};
  WAVEHDR m_headers[2] = {};
  BYTE* m_buffers[2] = {nullptr, nullptr};
};

// The worker thread of one sound: plays it, repeating while asked, then
// waits for the stop event so that its controller can join it.
class CMP3Thread : public CWinThread {
 public:
  // After a failed attempt a repeating thread waits this long (or until
  // stopped) before it tries again.
  static const DWORD kRetryDelayMs = 1000;

  CMP3Thread() { m_bAutoDelete = false; }
  void SetEvents(HANDLE started, HANDLE finished, HANDLE stop);
  bool InitInstance() override;

  CMP3WavePlayer m_player;
  const uint8_t* m_data = nullptr;
  uint32_t m_length = 0;
  bool m_repeat = false;
  volatile bool m_failed = false;
  volatile LONG m_attempts = 0;

 private:
  HANDLE m_startedEvent = nullptr;
  HANDLE m_finishedEvent = nullptr;
  HANDLE m_stopEvent = nullptr;
};

// Starts and stops one sound at a time. Play and Stop may be called from
// different threads.
class CMP3Player {
 public:
  CMP3Player() = default;
  virtual ~CMP3Player() { Stop(); }
  CMP3Player(const CMP3Player&) = delete;
  CMP3Player& operator=(const CMP3Player&) = delete;

  // Stops the sound before, then plays the bytes unless the device is busy,
  // there are none or there is no codec (false). With wait, returns when
  // the sound has played (once, or after the first failure) or abortWait
  // (when given) is set.
  bool Play(const uint8_t* data, uint32_t length, bool wait, bool repeat,
            HANDLE abortWait = nullptr);
  // Stops the sound and joins its thread; nothing when none plays.
  void Stop();
  bool IsFinished() const { return m_finished.IsSet(); }
  bool HasThread() const { return m_thread != nullptr; }
  // The sound's thread, or null (for tests).
  CMP3Thread* GetThread() const { return m_thread; }

 private:
  void StopLocked();

  CEvent m_stop;
  CEvent m_finished;
  CEvent m_started;
  CMP3Thread* m_thread = nullptr;
  CCriticalSection m_lock;
};

// Whether the ACM has an MP3 (format tag 0x55) codec.
bool IsMp3CodecInstalled();
// Whether the wave-out device cannot be opened (none, or in use).
bool IsWaveOutBusy();
