// The movie control's sound: MP3 frames decoded by the system's ACM codec
// as the MP3 player decodes them, and the movie's mixed sound written to
// the wave-out device the MP3 player plays on, a few short buffers ahead.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include "playback/movie/Movie.h"

// The frames' 16-bit samples at their own rate and channels; false when
// they are not MP3 the codec decodes.
bool DecodeMovieMp3(const uint8_t* data, uint32_t size, MoviePcm* pcm);

class CMovieWaveOut {
 public:
  ~CMovieWaveOut() { Close(); }
  // Fills every buffer the device has played with the movie's next
  // sound, opening the device first when a sound plays and letting it go
  // after a second of silence; false when the device cannot be opened.
  bool Feed(CMovie& movie);
  // Stops what is queued and lets the device go.
  void Close();
  bool IsOpen() const { return m_device != nullptr; }

 private:
  static const int kBuffers = 4;
  static const uint32_t kFrames = 2205;  // 50 ms at 44.1 kHz
  HWAVEOUT m_device = nullptr;
  int m_silent = 0;  // buffers of silence in a row
  WAVEHDR m_headers[kBuffers] = {};
  int16_t m_samples[kBuffers][2 * kFrames];
};
