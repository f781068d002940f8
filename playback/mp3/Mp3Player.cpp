// The MP3 player: formats, the ACM converter, the double-buffered
// wave-out loop, its thread and its controller (the frame search is in
// Mp3Frame.cpp).
#include "playback/mp3/Mp3Player.h"

#include <cstring>
#include <new>

namespace {

void CALLBACK WaveOutCallback(HWAVEOUT, UINT msg, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
  if (msg == WOM_DONE) reinterpret_cast<CMP3WavePlayer*>(instance)->OnBufferDone();
}

}  // namespace

// ---- CAcmStream ------------------------------------------------------------

bool CAcmStream::Open(const WAVEFORMATEX* src, const WAVEFORMATEX* dst) {
  Close();
  m_result = ::acmStreamOpen(&m_stream, nullptr, const_cast<WAVEFORMATEX*>(src),
                             const_cast<WAVEFORMATEX*>(dst), nullptr, 0, 0,
                             ACM_STREAMOPENF_NONREALTIME);
  if (m_result != 0) m_stream = nullptr;
  return m_result == 0;
}

bool CAcmStream::Prepare() {
  if (!m_stream) return false;
  m_result = ::acmStreamSize(m_stream, kSourceSize, &m_destSize, ACM_STREAMSIZEF_SOURCE);
  if (m_result != 0 || m_destSize == 0) return false;
  m_source = static_cast<BYTE*>(::HeapAlloc(::GetProcessHeap(), 0, kSourceSize));
  m_dest = static_cast<BYTE*>(::HeapAlloc(::GetProcessHeap(), 0, m_destSize));
  if (!m_source || !m_dest) return false;
  std::memset(&m_header, 0, sizeof m_header);
  m_header.cbStruct = sizeof m_header;
  m_header.pbSrc = m_source;
  m_header.cbSrcLength = kSourceSize;
  m_header.pbDst = m_dest;
  m_header.cbDstLength = m_destSize;
  m_result = ::acmStreamPrepareHeader(m_stream, &m_header, 0);
  return m_result == 0;
}

bool CAcmStream::Convert(int kind) {
  DWORD flags = ACM_STREAMCONVERTF_BLOCKALIGN;
  if (kind == 0) flags |= ACM_STREAMCONVERTF_START;
  if (kind == 2) flags |= ACM_STREAMCONVERTF_END;
  m_result = ::acmStreamConvert(m_stream, &m_header, flags);
  return m_result == 0;
}

void CAcmStream::Close() {
  if (m_stream) {
    if (m_header.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) {
      // The header must be unprepared with the lengths it was prepared with.
      m_header.cbSrcLength = kSourceSize;
      m_header.cbDstLength = m_destSize;
      ::acmStreamUnprepareHeader(m_stream, &m_header, 0);
    }
    ::acmStreamClose(m_stream, 0);
    m_stream = nullptr;
  }
  if (m_source) ::HeapFree(::GetProcessHeap(), 0, m_source);
  if (m_dest) ::HeapFree(::GetProcessHeap(), 0, m_dest);
  m_source = m_dest = nullptr;
  std::memset(&m_header, 0, sizeof m_header);
}

// ---- CMP3Reader ------------------------------------------------------------

void CMP3Reader::BuildFormats(WAVEFORMATEX& pcm, MPEGLAYER3WAVEFORMAT& mp3, bool halve) const {
  const WORD channels = m_channelMode == 3 ? 1 : 2;
  std::memset(&mp3, 0, sizeof mp3);
  mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
  mp3.wfx.nChannels = channels;
  mp3.wfx.nSamplesPerSec = m_sampleRate;
  mp3.wfx.nAvgBytesPerSec = m_bitRate * 1000 / 8;
  mp3.wfx.nBlockAlign = 1;
  mp3.wfx.wBitsPerSample = 0;
  mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
  mp3.wID = MPEGLAYER3_ID_MPEG;
  mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
  // A layer III frame holds 1,152 samples in MPEG-1, 576 in MPEG-2 and 2.5.
  const int perKbit = m_version == 1.0f ? 144000 : 72000;
  mp3.nBlockSize = m_sampleRate ? static_cast<WORD>(m_bitRate * perKbit / m_sampleRate) : 0;
  mp3.nFramesPerBlock = 1;
  mp3.nCodecDelay = 1393;

  int rate = m_sampleRate;
  if (halve && (rate == 32000 || rate == 44100 || rate == 48000)) rate /= 2;
  pcm.wFormatTag = WAVE_FORMAT_PCM;
  pcm.nChannels = channels;
  pcm.wBitsPerSample = 16;
  pcm.nSamplesPerSec = rate;
  pcm.nBlockAlign = static_cast<WORD>(channels * pcm.wBitsPerSample / 8);
  pcm.nAvgBytesPerSec = rate * pcm.nBlockAlign;
  pcm.cbSize = 0;
}

// ---- CMP3WavePlayer --------------------------------------------------------

CMP3WavePlayer::CMP3WavePlayer() : m_pcm{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0} {}

CMP3WavePlayer::~CMP3WavePlayer() { CloseAll(); }

MMRESULT CMP3WavePlayer::OpenDevice(const WAVEFORMATEX& format) {
  return ::waveOutOpen(&m_waveOut, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(WaveOutCallback),
                       reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
}
MMRESULT CMP3WavePlayer::PrepareBuffer(WAVEHDR* h) {
  return ::waveOutPrepareHeader(m_waveOut, h, sizeof *h);
}
MMRESULT CMP3WavePlayer::UnprepareBuffer(WAVEHDR* h) {
  return ::waveOutUnprepareHeader(m_waveOut, h, sizeof *h);
}
MMRESULT CMP3WavePlayer::WriteBuffer(WAVEHDR* h) { return ::waveOutWrite(m_waveOut, h, sizeof *h); }
MMRESULT CMP3WavePlayer::PauseDevice() { return ::waveOutPause(m_waveOut); }
MMRESULT CMP3WavePlayer::ResetDevice() { return ::waveOutReset(m_waveOut); }
MMRESULT CMP3WavePlayer::CloseDevice() {
  const MMRESULT r = ::waveOutClose(m_waveOut);
  m_waveOut = nullptr;
  return r;
}

// Called on the device's thread: only the count and the event.
void CMP3WavePlayer::OnBufferDone() {
  ::InterlockedDecrement(&m_queued);
  m_bufferDone.SetEvent();
}

bool CMP3WavePlayer::Begin(const uint8_t* data, uint32_t length) {
  m_reader.OpenMemory(data, length);
  if (!m_reader.Parse()) return false;
  m_endOfData = false;
  m_firstBlock = true;
  m_next = 0;
  m_queued = 0;
  // The frames are fed from the first one, past any tag in front.
  m_readPos = m_reader.m_frameOffset;
  // Half the rate halves the work, but some codecs convert only at the
  // file's own rate.
  m_reader.BuildFormats(m_pcm, m_mp3, true);
  if (!m_acm.Open(&m_mp3.wfx, &m_pcm)) {
    m_reader.BuildFormats(m_pcm, m_mp3, false);
    if (!m_acm.Open(&m_mp3.wfx, &m_pcm)) return false;
  }
  if (!m_acm.Prepare()) return false;
  m_bufferSize = m_acm.m_destSize;
  if (OpenDevice(m_pcm) != MMSYSERR_NOERROR) {
    m_waveOut = nullptr;
    return false;
  }
  for (int i = 0; i < 2; ++i) {
    m_buffers[i] = static_cast<BYTE*>(::HeapAlloc(::GetProcessHeap(), 0, m_bufferSize));
    std::memset(&m_headers[i], 0, sizeof m_headers[i]);
    if (!m_buffers[i]) return false;
  }
  return true;
}

bool CMP3WavePlayer::Fill(int i) {
  WAVEHDR& h = m_headers[i];
  if ((h.dwFlags & WHDR_PREPARED) && UnprepareBuffer(&h) != MMSYSERR_NOERROR) return false;
  const uint32_t length = m_reader.m_length;
  const uint32_t remaining = length > m_readPos ? length - m_readPos : 0;
  int kind = 2;
  DWORD take = remaining;
  if (remaining > CAcmStream::kSourceSize) {
    take = CAcmStream::kSourceSize;
    kind = m_firstBlock ? 0 : 1;
  }
  m_firstBlock = false;
  ACMSTREAMHEADER& a = m_acm.m_header;
  a.cbSrcLength = take;
  if (take) std::memcpy(a.pbSrc, m_reader.m_data + m_readPos, take);
  if (!m_acm.Convert(kind)) return false;
  const DWORD used = a.cbSrcLengthUsed < take ? a.cbSrcLengthUsed : take;
  m_readPos += used;
  // A block the codec takes nothing from would be offered again forever.
  if (m_readPos >= length || kind == 2 || used == 0) m_endOfData = true;
  const DWORD out = a.cbDstLengthUsed < m_bufferSize ? a.cbDstLengthUsed : m_bufferSize;
  if (out == 0) return true;
  std::memcpy(m_buffers[i], a.pbDst, out);
  std::memset(&h, 0, sizeof h);
  h.lpData = reinterpret_cast<LPSTR>(m_buffers[i]);
  h.dwBufferLength = out;
  if (PrepareBuffer(&h) != MMSYSERR_NOERROR) return false;
  // Counted and the event cleared before the write: the buffer may be done
  // before WriteBuffer returns.
  m_bufferDone.ResetEvent();
  ::InterlockedIncrement(&m_queued);
  if (WriteBuffer(&h) != MMSYSERR_NOERROR) {
    ::InterlockedDecrement(&m_queued);
    return false;
  }
  m_next = 1 - i;
  return true;
}

bool CMP3WavePlayer::CloseAll() {
  m_acm.Close();
  bool ok = true;
  if (m_waveOut) {
    if (ResetDevice() != MMSYSERR_NOERROR) ok = false;
    for (WAVEHDR& h : m_headers)
      if ((h.dwFlags & WHDR_PREPARED) && UnprepareBuffer(&h) != MMSYSERR_NOERROR) ok = false;
    if (CloseDevice() != MMSYSERR_NOERROR) ok = false;
  }
  m_waveOut = nullptr;
  for (BYTE*& b : m_buffers) {
    if (b) ::HeapFree(::GetProcessHeap(), 0, b);
    b = nullptr;
  }
  std::memset(m_headers, 0, sizeof m_headers);
  m_queued = 0;
  return ok;
}

bool CMP3WavePlayer::PlayMemory(const uint8_t* data, uint32_t length) {
  if (!Begin(data, length) || !Fill(m_next)) {
    CloseAll();
    return false;
  }
  if (m_started) ::SetEvent(m_started);
  HANDLE events[2] = {m_bufferDone, m_stop ? m_stop : m_bufferDone.GetHandle()};
  for (;;) {
    // Two buffers stay queued while there is data; buffers play in the
    // order written, so the free one is always the next.
    if (!m_endOfData && Queued() < 2) {
      if (!Fill(m_next)) {
        CloseAll();
        return false;
      }
      continue;
    }
    if (Queued() <= 0) break;
    const DWORD got = ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
    if (m_stop && (got == WAIT_OBJECT_0 + 1 || ::WaitForSingleObject(m_stop, 0) == WAIT_OBJECT_0))
      break;
    // Cleared before the count is read again, so that a buffer done after
    // this sets it anew.
    m_bufferDone.ResetEvent();
  }
  const bool ok = CloseAll();
  if (m_finished) ::SetEvent(m_finished);
  return ok;
}

int CMP3WavePlayer::TestDecode(const uint8_t* data, uint32_t length) {
  m_reader.OpenMemory(data, length);
  if (!m_reader.Parse() || !IsMp3CodecInstalled()) return 0;
  if (IsWaveOutBusy()) return -1;
  bool ok = Begin(data, length) && PauseDevice() == MMSYSERR_NOERROR && Fill(m_next) &&
            (m_endOfData || Fill(m_next));
  if (!CloseAll()) ok = false;
  return ok ? 1 : 0;
}

// ---- CMP3Thread and CMP3Player ---------------------------------------------

void CMP3Thread::SetEvents(HANDLE started, HANDLE finished, HANDLE stop) {
  m_startedEvent = started;
  m_finishedEvent = finished;
  m_stopEvent = stop;
  m_player.SetEvents(started, finished, stop);
}

bool CMP3Thread::InitInstance() {
  do {
    ::InterlockedIncrement(&m_attempts);
    if (!m_player.PlayMemory(m_data, m_length)) {
      m_failed = true;
      ::SetEvent(m_startedEvent);
      // What failed now most likely fails again at once.
      if (m_repeat) ::WaitForSingleObject(m_stopEvent, kRetryDelayMs);
    }
  } while (m_repeat && ::WaitForSingleObject(m_stopEvent, 0) == WAIT_TIMEOUT);
  ::SetEvent(m_finishedEvent);
  ::WaitForSingleObject(m_stopEvent, INFINITE);
  return false;
}

bool CMP3Player::Play(const uint8_t* data, uint32_t length, bool wait, bool repeat,
                      HANDLE abortWait) {
  {
    CLock lock(m_lock);
    StopLocked();
    if (!data || !IsMp3CodecInstalled() || IsWaveOutBusy()) return false;
    m_started.ResetEvent();
    m_finished.ResetEvent();
    m_stop.ResetEvent();
    CMP3Thread* thread = new (std::nothrow) CMP3Thread;
    if (!thread) return false;
    thread->SetEvents(m_started, m_finished, m_stop);
    thread->m_data = data;
    thread->m_length = length;
    thread->m_repeat = repeat;
    if (!thread->CreateThread()) {
      delete thread;
      return false;
    }
    m_thread = thread;
  }
  if (wait) {
    HANDLE events[2] = {m_finished, abortWait};
    ::WaitForMultipleObjects(abortWait ? 2 : 1, events, FALSE, INFINITE);
  }
  return true;
}

void CMP3Player::Stop() {
  CLock lock(m_lock);
  StopLocked();
}

void CMP3Player::StopLocked() {
  if (!m_thread || !IsMp3CodecInstalled()) return;
  // A thread that has not opened the device yet is not stopped under it.
  HANDLE startedOrEnded[2] = {m_started, m_thread->m_hThread};
  ::WaitForMultipleObjects(2, startedOrEnded, FALSE, INFINITE);
  m_stop.SetEvent();
  ::WaitForSingleObject(m_thread->m_hThread, INFINITE);
  delete m_thread;
  m_thread = nullptr;
  m_finished.SetEvent();
}

// ---- Device and codec tests ------------------------------------------------

bool IsMp3CodecInstalled() {
  ACMFORMATTAGDETAILSA details = {};
  details.cbStruct = sizeof details;
  details.dwFormatTag = WAVE_FORMAT_MPEGLAYER3;
  return ::acmFormatTagDetailsA(nullptr, &details, ACM_FORMATTAGDETAILSF_FORMATTAG) == 0;
}

bool IsWaveOutBusy() {
  WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, 22050, 44100, 2, 8, 0};
  HWAVEOUT out = nullptr;
  if (::waveOutOpen(&out, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
    return true;
  ::waveOutClose(out);
  return false;
}
