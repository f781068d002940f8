// The saver modes by name, for tests that compare parsed command lines and
// print what they found.
#pragma once

#include "common/SaverCommandLine.h"

inline const char* SaverModeName(SaverMode mode) {
  switch (mode) {
    case SaverMode::Settings: return "Settings";
    case SaverMode::Configure: return "Configure";
    case SaverMode::Preview: return "Preview";
    case SaverMode::Run: return "Run";
    case SaverMode::Password: return "Password";
    case SaverMode::None: return "None";
  }
  return "?";
}
