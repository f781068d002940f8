#include "script_support.h"

#include <windows.h>

#include "script/PickSource.h"
#include "tests/support/files.h"
#if LW_SCRIPT_EDITING
#include "script/Options.h"
#endif

namespace {
RecordingSink g_sink;

class ScriptEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    SetMessageBoxSink(&g_sink);
#if LW_SCRIPT_EDITING
    const std::string path = lwtest::TempPath("lw_test_options.opt");
    DeleteFileA(path.c_str());
    CBuilderOptions::SetFilePath(path.c_str());
#endif
  }
};

::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new ScriptEnvironment);
}  // namespace

RecordingSink& Messages() { return g_sink; }
