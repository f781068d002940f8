#include "ScriptTestSupport.h"

#include <windows.h>

#include "script/PickSource.h"
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
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    CString path(dir);
    path += "lw_test_options.opt";
    DeleteFileA(path);
    CBuilderOptions::SetFilePath(path);
#endif
  }
};

::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new ScriptEnvironment);
}  // namespace

RecordingSink& Messages() { return g_sink; }
