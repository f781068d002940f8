// What a user sees wrong in a dialog's layout, measured on the live
// window: a control that reaches outside the dialog's client area, a
// caption (static text, check box, radio button, group box, push button)
// that its control cannot hold in the control's own font, or a visible
// caption whose text runs under another visible control. Used on bare
// dialog templates and on the dialogs as the builder shows them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lwtest {

// One line per fault, naming the control by its id and caption. `room` is
// how much wider than measured each caption must still fit (1.1: a font a
// tenth wider would not cut it either). Hidden and disabled controls count:
// the dialog may show or enable them.
std::vector<std::string> LayoutFaults(HWND dialog, double room = 1.0);

// LayoutFaults, and whether the screenshot `shot` of the dialog's window
// rectangle (rows top-down, as SaveWindowShot gives them) shows what the
// dialog holds: each visible caption's rectangle has more than one colour
// in it (its text was painted there).
std::vector<std::string> ShownFaults(HWND dialog, const std::vector<COLORREF>& shot,
                                     double room = 1.0);

// The dialog brought up and shot as ShowAndShoot does (into folder, as
// name.bmp), and the faults ShownFaults finds in that shot; one saying so
// when the shot cannot be written.
std::vector<std::string> ShootAndCheck(HWND dialog, const std::string& folder,
                                       const std::string& name, double room = 1.0);

// The lines, one per row, for a failure message.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace lwtest
