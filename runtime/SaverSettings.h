// Names in the registry shared by the saver runtime's windows and dialogs:
// the saver's profile (under Software\Corvanta\Screen Saver\<display name of
// the saver file>) and the system's own screen-saver values.
#pragma once

namespace saver {

constexpr char kRegistryKey[] = "Corvanta\\Screen Saver";
// The speed key, shared by all savers of the machine.
constexpr char kSpeedKey[] = "Software\\Corvanta\\Screen Saver";
constexpr char kSysInfo[] = "SysInfo";
constexpr char kTimes[] = "Times";

constexpr char kSettings[] = "Settings";
constexpr char kStandard[] = "Standard";
constexpr char kMouseMove[] = "MouseMove";
constexpr char kButtonDown[] = "ButtonDown";
constexpr char kDoubleClick[] = "DoubleClick";
constexpr char kKeyDown[] = "KeyDown";
constexpr char kEscape[] = "Escape";
constexpr char kMute[] = "Mute";

constexpr char kPassword[] = "Password";
constexpr char kEncrypt[] = "Encrypt";

constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kUsePassword[] = "ScreenSaveUsePassword";

}  // namespace saver
