// Media files made in code for the players' tests: silent MP3 frames (with
// or without an ID3v2 tag in front), a PCM wave file, a MIDI file of one
// note and a small uncompressed AVI clip.
#pragma once

#include <windows.h>

#include <cstdint>

#include "tests/support/files.h"

namespace lwtest {

// A silent MPEG-1 layer III frame: 128 kbit/s, 44,100 Hz, stereo.
constexpr uint32_t kMp3Header = 0xFFFB9000;
constexpr uint32_t kMp3FrameBytes = 417;
// The PCM bytes one such frame decodes to (1,152 stereo 16-bit samples).
constexpr uint32_t kMp3FramePcmBytes = 1152 * 4;

// frames silent frames of the header (a 417-byte frame, or the size the
// header's own bit rate and sample rate give when it is not kMp3Header).
Bytes SilentMp3(int frames, uint32_t header = kMp3Header);
// An ID3v2.3 tag of the body size (its bytes zero) in front of the bytes.
Bytes WithId3v2(const Bytes& mp3, uint32_t body);
// A 16-bit PCM wave file of the samples (each channel's sample the same).
Bytes PcmWave(const std::vector<int16_t>& samples, int rate, int channels);
// A format-0 MIDI file that plays one note for about a quarter second.
Bytes OneNoteMidi();
// An uncompressed 24-bit AVI of frames frames of the colour, width x
// height (width a multiple of 4), at fps frames a second; its rows stored
// bottom-up (a positive height in its format), or top-down (negative).
Bytes SolidAvi(int width, int height, int frames, int fps, COLORREF colour, bool topDown = false);

}  // namespace lwtest
