// The sound device of a test program that its test's environment gives it
// (lw_sound_device in tests/CMakeLists.txt): Wine's ALSA driver writing
// every sound played into files of a folder of the program's own, so that
// the PCM bytes played can be read back. The programs this one starts
// (a saver) write there too. Without that environment there is no device.
#pragma once

#include <string>

#include "tests/support/files.h"

namespace lwtest {

class CSoundDevice {
 public:
  // True when the program was given a device.
  static bool Given();
  // Deletes what was played so far.
  static void Clear();
  // Everything played since Clear: each play's file in turn.
  static Bytes Read();
  // How many openings of the device wrote sound (a device opened only to
  // see whether it is free writes none).
  static int PlayCount();
  // Waits (pumping messages, at most ms) until at least `bytes` were played
  // and no more came for a moment; returns what was played.
  static Bytes WaitForBytes(size_t bytes, unsigned ms);
};

}  // namespace lwtest
