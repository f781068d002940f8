// Fixtures of the wizard tools' tests: solid pictures and small movies
// written into a folder, and the builder started in the test's process
// with its profile in a private registry root.
#pragma once

#include <windows.h>

#include <string>

#include "script/Options.h"
#include "tests/builder/builder_run.h"
#include "tests/playback/picture_bytes.h"
#include "tests/support/files.h"
#include "tests/support/registry.h"
#include "tests/support/swf_writer.h"

namespace wiztest {

inline lwtest::CRegKeyPath Settings() {
  return lwtest::CRegKeyPath(HKEY_CURRENT_USER,
                             "Software\\Corvanta\\Lumenweave\\4.70\\Lumenweave\\Settings");
}

// A w x h BMP of one colour.
inline bool WritePicture(const std::string& path, int w, int h, COLORREF colour) {
  return lwtest::WriteAll(path, picturetest::MakeBmp(w, h, [colour](int, int) { return colour; }));
}

// A 24-bit uncompressed TGA of one colour, rows top-down.
inline bool WriteTga(const std::string& path, int w, int h, COLORREF colour) {
  lwtest::Bytes b = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (int v : {w, h}) {
    b.push_back(static_cast<uint8_t>(v & 0xFF));
    b.push_back(static_cast<uint8_t>(v >> 8));
  }
  b.push_back(24);
  b.push_back(0x20);
  for (int i = 0; i < w * h; ++i) {
    b.push_back(GetBValue(colour));
    b.push_back(GetGValue(colour));
    b.push_back(GetRValue(colour));
  }
  return lwtest::WriteAll(path, b);
}

// A one-frame movie of w x h pixels with a filled rectangle.
inline bool WriteMovie(const std::string& path, int w, int h) {
  lwtest::CSwfWriter movie(w * 20, h * 20);
  movie.SetBackground(RGB(0, 0, 128));
  movie.ShowFrame();
  return lwtest::WriteAll(path, movie.Fws());
}

// The options file of the process's own, and the screenshots folder.
class CFilesEnvironment : public testing::Environment {
 public:
  explicit CFilesEnvironment(const char* name) : m_name(name) {}
  void SetUp() override {
    CBuilderOptions::SetFilePath(
        lwtest::TempPath(m_name + std::to_string(::GetCurrentProcessId()) + ".opt").c_str());
    ::CreateDirectoryA(LW_BUILD_DIR "/screenshots", nullptr);
  }

 private:
  std::string m_name;
};

}  // namespace wiztest
