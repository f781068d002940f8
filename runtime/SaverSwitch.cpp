// The screen-saver switches, matched through one table.
#include "runtime/SaverSwitch.h"

namespace {

struct SwitchRow {
  char letter;
  SaverMode mode;
  bool needsHandle;  // the second argument must be a decimal handle
};

// In the order they are tried.
const SwitchRow kSwitches[] = {
    {'c', SaverMode::Configure, false},
    {'p', SaverMode::Preview, true},
    {'s', SaverMode::Run, false},
    {'a', SaverMode::Password, true},
};

// Copies the next argument (double quotes group, and are dropped) into out,
// at most size - 1 characters; returns the rest of the line, or null when
// there is no further argument.
const char* NextArgument(const char* line, char* out, int size) {
  while (*line && IsCommandLineBlank(*line)) ++line;
  if (!*line) return nullptr;
  int n = 0;
  bool quoted = false;
  for (; *line && (quoted || !IsCommandLineBlank(*line)); ++line) {
    if (*line == '"') {
      quoted = !quoted;
      continue;
    }
    if (n < size - 1) out[n++] = *line;
  }
  out[n] = 0;
  return line;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool MatchSaverSwitch(const char* argument, char letter) {
  if (*argument == '-' || *argument == '/') ++argument;
  return Lower(argument[0]) == Lower(letter) && argument[1] == 0;
}

SaverCommand ParseSaverCommandLine(const char* commandLine) {
  SaverCommand command;
  char first[64];
  const char* rest = NextArgument(commandLine ? commandLine : "", first, sizeof first);
  if (!rest) {
    command.mode = SaverMode::Settings;
    return command;
  }
  if (first[0] && first[1]) first[2] = 0;  // only the first two characters count
  for (const SwitchRow& row : kSwitches) {
    if (!MatchSaverSwitch(first, row.letter)) continue;
    if (row.needsHandle) {
      char second[64];
      if (!NextArgument(rest, second, sizeof second) || !ParseWindowHandle(second, &command.handle))
        return command;  // None: without its handle the mode cannot run
    }
    command.mode = row.mode;
    return command;
  }
  return command;
}
