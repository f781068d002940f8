// The movie's sound through the ACM and the wave-out device.
#include "playback/movie/MovieWaveOut.h"

#include "playback/mp3/Mp3Player.h"

bool DecodeMovieMp3(const uint8_t* data, uint32_t size, MoviePcm* pcm) {
  CMP3Reader reader;
  reader.OpenMemory(data, size);
  if (!reader.Parse()) return false;
  WAVEFORMATEX format;
  MPEGLAYER3WAVEFORMAT mp3;
  reader.BuildFormats(format, mp3, false);
  CAcmStream acm;
  if (!acm.Open(&mp3.wfx, &format) || !acm.Prepare()) return false;
  pcm->channels = format.nChannels;
  pcm->rate = static_cast<int>(format.nSamplesPerSec);
  pcm->frames = 0;
  pcm->samples = nullptr;
  size_t bytes = 0, capacity = 0;
  uint32_t at = reader.m_frameOffset;
  for (bool first = true; at < size; first = false) {
    const uint32_t left = size - at;
    const DWORD take = left > CAcmStream::kSourceSize ? CAcmStream::kSourceSize : left;
    ACMSTREAMHEADER& h = acm.m_header;
    h.cbSrcLength = take;
    memcpy(h.pbSrc, data + at, take);
    if (!acm.Convert(take == left ? 2 : first ? 0 : 1)) break;
    const DWORD used = h.cbSrcLengthUsed < take ? h.cbSrcLengthUsed : take;
    if (bytes + h.cbDstLengthUsed > capacity) {
      capacity = (bytes + h.cbDstLengthUsed) * 2;
      void* more = realloc(pcm->samples, capacity);
      if (!more) break;
      pcm->samples = static_cast<int16_t*>(more);
    }
    memcpy(reinterpret_cast<uint8_t*>(pcm->samples) + bytes, h.pbDst, h.cbDstLengthUsed);
    bytes += h.cbDstLengthUsed;
    // A block the codec takes nothing from would be offered again forever.
    if (used == 0 || take == left) break;
    at += used;
  }
  pcm->frames = static_cast<uint32_t>(bytes / (2 * pcm->channels));
  if (!pcm->frames) {
    free(pcm->samples);
    pcm->samples = nullptr;
  }
  return pcm->frames > 0;
}

bool CMovieWaveOut::Feed(CMovie& movie) {
  if (!m_device) {
    if (!movie.IsSounding()) return true;
    m_silent = 0;
    WAVEFORMATEX f = {WAVE_FORMAT_PCM, 2, kMovieMixRate, kMovieMixRate * 4, 4, 16, 0};
    if (::waveOutOpen(&m_device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
      m_device = nullptr;
      return false;
    }
  }
  for (int i = 0; i < kBuffers; ++i) {
    WAVEHDR& h = m_headers[i];
    if ((h.dwFlags & WHDR_PREPARED) && !(h.dwFlags & WHDR_DONE)) continue;  // still queued
    if (h.dwFlags & WHDR_PREPARED) ::waveOutUnprepareHeader(m_device, &h, sizeof h);
    m_silent = movie.MixSound(m_samples[i], kFrames) ? 0 : m_silent + 1;
    memset(&h, 0, sizeof h);
    h.lpData = reinterpret_cast<LPSTR>(m_samples[i]);
    h.dwBufferLength = sizeof m_samples[i];
    if (::waveOutPrepareHeader(m_device, &h, sizeof h) != MMSYSERR_NOERROR ||
        ::waveOutWrite(m_device, &h, sizeof h) != MMSYSERR_NOERROR)
      return false;
  }
  if (m_silent > 20) Close();
  return true;
}

void CMovieWaveOut::Close() {
  if (!m_device) return;
  ::waveOutReset(m_device);
  for (WAVEHDR& h : m_headers)
    if (h.dwFlags & WHDR_PREPARED) ::waveOutUnprepareHeader(m_device, &h, sizeof h);
  ::waveOutClose(m_device);
  m_device = nullptr;
  memset(m_headers, 0, sizeof m_headers);
}
