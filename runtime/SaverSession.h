// A run of the saver as its window sees it (CSaverSession), and the run's
// input rules as pure functions: which input ends the saver under its
// settings and in a test run, and which key picks a Url command's address.
#pragma once

#include <windows.h>

// Input that may end the saver. Escape is a key too.
enum class SaverInput { kMouseMove, kButtonDown, kDoubleClick, kKeyDown, kEscape };

// The saver's settings of which input ends it: with standard, any input;
// otherwise the inputs set.
struct SaverInputRules {
  bool standard = true;
  bool mouseMove = false;
  bool buttonDown = false;
  bool doubleClick = false;
  bool keyDown = false;
  bool escape = false;
};

// A test run ends by keys only, whatever the settings say.
bool InputEndsSaver(const SaverInputRules& rules, SaverInput input, bool testRun);
// keys as a Url command names them: 0 Enter, 1 F12, 2 Space, 3 any of
// them; anything else (-1 when no address is set) picks nothing.
bool UrlKeyChosen(int keys, UINT vk);

class CWinApp;

// What the saver window needs of its run: made by the application from the
// payload and the saver's settings, and read by it at the program's end for
// the address a key chose.
class CSaverSession {
 public:
  // The settings as the saver's profile holds them.
  void ReadSettings(const CWinApp& app);

  void SetExitAddress(const char* address);
  const char* GetExitAddress() const { return m_exitAddress; }

  bool testRun = false;
  // The speed value the scene thread paces with, counted on a machine's
  // first run.
  UINT times = 0;
  SaverInputRules rules;
  bool mute = false;

 private:
  char m_exitAddress[2084] = "";
};
