// The saver's input rules and its run's settings.
#include "runtime/SaverSession.h"

#include "framework/App.h"
#include "runtime/SaverSettings.h"

bool InputEndsSaver(const SaverInputRules& rules, SaverInput input, bool testRun) {
  const bool key = input == SaverInput::kKeyDown || input == SaverInput::kEscape;
  if (testRun) return key;
  if (rules.standard) return true;
  switch (input) {
    case SaverInput::kMouseMove:
      return rules.mouseMove;
    case SaverInput::kButtonDown:
      return rules.buttonDown;
    case SaverInput::kDoubleClick:
      return rules.doubleClick;
    case SaverInput::kKeyDown:
      return rules.keyDown;
    case SaverInput::kEscape:
      return rules.keyDown || rules.escape;
  }
  return false;
}

bool UrlKeyChosen(int keys, UINT vk) {
  switch (keys) {
    case 0:
      return vk == VK_RETURN;
    case 1:
      return vk == VK_F12;
    case 2:
      return vk == VK_SPACE;
    case 3:
      return vk == VK_RETURN || vk == VK_F12 || vk == VK_SPACE;
    default:
      return false;
  }
}

// A setting counts when it is exactly 1; Standard is on when absent.
void CSaverSession::ReadSettings(const CWinApp& app) {
  auto value = [&](const char* entry, int defaultValue) {
    return app.GetProfileInt(saver::kSettings, entry, defaultValue) == 1;
  };
  rules.standard = value(saver::kStandard, 1);
  rules.mouseMove = value(saver::kMouseMove, 0);
  rules.buttonDown = value(saver::kButtonDown, 0);
  rules.doubleClick = value(saver::kDoubleClick, 0);
  rules.keyDown = value(saver::kKeyDown, 0);
  rules.escape = value(saver::kEscape, 0);
  mute = app.GetProfileInt(saver::kSettings, saver::kMute, 0) != 0;
}

void CSaverSession::SetExitAddress(const char* address) {
  lstrcpynA(m_exitAddress, address ? address : "", sizeof m_exitAddress);
}
