// The output writer as the end-to-end tests use it: it takes the carried
// programs from the builder of this build, loaded as a data file, and
// writes into a folder of the test's own.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/files.h"
#include "wizards/SaverMaker.h"

namespace lwtest {

class CBuiltSaverMakerTest : public testing::Test {
 protected:
  explicit CBuiltSaverMakerTest(const char* folder) : folder_(folder) {}
  void SetUp() override {
    builder_ = LoadLibraryExA(LW_BUILD_DIR "/builder/Lumenweave.exe", nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(builder_, nullptr);
    maker_.m_resources = builder_;
  }
  void TearDown() override {
    if (builder_) FreeLibrary(builder_);
  }

  CTempFolder folder_;
  const std::string& dir_ = folder_.Path();
  HMODULE builder_ = nullptr;
  CSaverMaker maker_;
};

}  // namespace lwtest
