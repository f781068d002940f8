// The movie engine's switches.
#include "engine/EngineCommandLine.h"

namespace {

// The text after the program name: a quoted name up to and including its
// closing quote, else up to the first blank and that blank.
const char* SkipProgramName(const char* line) {
  if (*line == '"') {
    ++line;
    while (*line && *line != '"') ++line;
    return *line ? line + 1 : line;
  }
  while (*line && !IsCommandLineBlank(*line)) ++line;
  return *line ? line + 1 : line;
}

// The decimal handle after any blanks and colons, trailing blanks allowed;
// an empty rest gives 0 and true when `optional`.
bool ReadHandle(const char* rest, bool optional, std::uintptr_t* handle) {
  while (*rest == ':' || IsCommandLineBlank(*rest)) ++rest;
  char digits[32];
  int n = 0;
  for (; *rest && !IsCommandLineBlank(*rest); ++rest) {
    if (n == sizeof digits - 1) return false;
    digits[n++] = *rest;
  }
  digits[n] = 0;
  while (IsCommandLineBlank(*rest)) ++rest;
  if (*rest) return false;  // a second word: not a handle
  if (n == 0) {
    *handle = 0;
    return optional;
  }
  return ParseWindowHandle(digits, handle);
}

}  // namespace

SaverCommand ParseEngineCommandLine(const char* commandLine) {
  SaverCommand command;
  const char* p = SkipProgramName(commandLine ? commandLine : "");
  while (IsCommandLineBlank(*p)) ++p;
  if (!*p) {
    command.mode = SaverMode::Settings;
    return command;
  }
  if (*p == '-' || *p == '/') ++p;
  const char letter = *p >= 'A' && *p <= 'Z' ? static_cast<char>(*p - 'A' + 'a') : *p;
  if (letter) ++p;
  SaverMode mode = SaverMode::None;
  bool optional = false;
  switch (letter) {
    case 's':
      command.mode = SaverMode::Run;
      return command;
    case 'a':
      mode = SaverMode::Password;
      optional = true;  // no owner
      break;
    case 'c':
      mode = SaverMode::Configure;
      optional = true;  // the foreground window
      break;
    case 'p':
    case 'l':
      mode = SaverMode::Preview;
      break;
    default:
      return command;
  }
  if (ReadHandle(p, optional, &command.handle)) command.mode = mode;
  return command;
}
