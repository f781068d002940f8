#include "tests/support/dialog_layout.h"

#include <set>

#include "tests/support/processes.h"
#include "tests/support/screen.h"

namespace lwtest {

namespace {

std::string Name(HWND control) {
  return "control " + std::to_string(::GetDlgCtrlID(control)) + " (" + ClassName(control) + " \"" +
         WindowText(control) + "\")";
}

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// How a control lays out its caption: the box it draws it in (client
// coordinates), the DrawText flags, and where in the box the text goes.
struct CaptionLayout {
  RECT box;
  UINT format;
  int across;  // 0 left, 1 centred, 2 right
  int down;    // 0 top, 1 centred
};

// The caption layout of a control, as the system's static and button
// controls lay their text out; false when the control shows no caption of
// its own (pictures, frames, owner-drawn or edit-like controls, texts meant
// to be shortened).
bool CaptionLayoutOf(HWND control, HDC dc, CaptionLayout* c) {
  const std::string cls = ClassName(control);
  const LONG style = ::GetWindowLongA(control, GWL_STYLE);
  ::GetClientRect(control, &c->box);
  c->across = 0;
  c->down = 0;
  if (!lstrcmpiA(cls.c_str(), "Static")) {
    switch (style & SS_TYPEMASK) {
      case SS_LEFT:
      case SS_CENTER:
      case SS_RIGHT:
        c->format = (style & SS_CENTERIMAGE) ? DT_SINGLELINE : DT_WORDBREAK | DT_EXPANDTABS;
        c->across = (style & SS_TYPEMASK) == SS_CENTER ? 1 : (style & SS_TYPEMASK) == SS_RIGHT ? 2 : 0;
        c->down = (style & SS_CENTERIMAGE) ? 1 : 0;
        break;
      case SS_SIMPLE:
        c->format = DT_SINGLELINE;
        break;
      case SS_LEFTNOWORDWRAP:
        c->format = DT_EXPANDTABS;
        break;
      default:
        return false;
    }
    if (style & (SS_ENDELLIPSIS | SS_PATHELLIPSIS | SS_WORDELLIPSIS)) return false;
    if (style & SS_NOPREFIX) c->format |= DT_NOPREFIX;
    if (style & SS_EDITCONTROL) c->format |= DT_EDITCONTROL;
    return true;
  }
  if (lstrcmpiA(cls.c_str(), "Button") || (style & (BS_BITMAP | BS_ICON))) return false;
  c->format = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
  const LONG type = style & BS_TYPEMASK;
  const int aligned = (style & BS_CENTER) == BS_CENTER ? 1 : (style & BS_CENTER) == BS_RIGHT ? 2
                      : (style & BS_CENTER) == BS_LEFT ? 0 : -1;
  if (type == BS_GROUPBOX) {
    // In the frame's top edge, 7 pixels in, and one more.
    c->format = DT_SINGLELINE;
    ::InflateRect(&c->box, -7, 0);
    c->box.left += 1;
    c->across = aligned < 0 ? 0 : aligned;
    return true;
  }
  const bool check = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                     type == BS_3STATE || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
  c->down = 1;
  if (check && !(style & BS_PUSHLIKE)) {
    // Beside the box, half a digit's width away, and one pixel in (room
    // for the focus rectangle).
    INT digit = 0;
    ::GetCharWidth32A(dc, '0', '0', &digit);
    const int boxWidth = 12 * ::GetDeviceCaps(dc, LOGPIXELSX) / 96 + 1;
    if (style & BS_LEFTTEXT)
      c->box.right -= boxWidth + digit / 2 + 1;
    else
      c->box.left += boxWidth + digit / 2 + 1;
    c->across = aligned < 0 ? 0 : aligned;
    return true;
  }
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || check) {
    // Inside the raised frame and the focus rectangle.
    ::InflateRect(&c->box, -3, -1);
    c->across = aligned < 0 ? 1 : aligned;
    return true;
  }
  return false;
}

// The caption's fault, or "" when it fits: measured in the control's font
// against its box, a word-wrapped text at the box's width. *drawn is where
// the text lands (client coordinates), empty without a caption.
std::string CaptionFault(HWND control, double room, RECT* drawn) {
  *drawn = {};
  const std::string text = WindowText(control);
  if (text.empty()) return "";
  HDC dc = ::GetDC(control);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
  HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(SYSTEM_FONT));
  CaptionLayout c;
  std::string fault;
  if (CaptionLayoutOf(control, dc, &c)) {
    const int width = c.box.right - c.box.left, height = c.box.bottom - c.box.top;
    // A wrapped text is laid out in the narrower width that leaves the room.
    RECT need = {0, 0, static_cast<LONG>(width / room), 0};
    ::DrawTextA(dc, text.c_str(), -1, &need, c.format | DT_CALCRECT);
    const int textWidth = need.right - need.left, textHeight = need.bottom - need.top;
    const int needWidth = static_cast<int>(textWidth * room + 0.999);
    if (needWidth > width || textHeight > height)
      fault = Name(control) + ": its caption needs " + std::to_string(needWidth) + "x" +
              std::to_string(textHeight) + " pixels, it has " + std::to_string(width) + "x" +
              std::to_string(height);
    const int left = c.box.left + (c.across == 1 ? (width - textWidth) / 2 : c.across == 2 ? width - textWidth : 0);
    const int top = c.box.top + (c.down == 1 ? (height - textHeight) / 2 : 0);
    *drawn = {left, top, left + textWidth, top + textHeight};
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return fault;
}

bool IsGroupBox(HWND control) {
  return !lstrcmpiA(ClassName(control).c_str(), "Button") &&
         (::GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// The control's window rectangle in the dialog's client coordinates.
RECT PlaceIn(HWND dialog, HWND control) {
  RECT r = {};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::vector<std::string> Faults(HWND dialog, double room, const std::vector<COLORREF>* shot) {
  std::vector<std::string> faults;
  RECT client = {};
  ::GetClientRect(dialog, &client);
  RECT window = {};
  ::GetWindowRect(dialog, &window);
  std::vector<HWND> controls;
  for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) controls.push_back(c);
  for (HWND c : controls) {
    const RECT r = PlaceIn(dialog, c);
    if (r.left < client.left || r.top < client.top || r.right > client.right ||
        r.bottom > client.bottom)
      faults.push_back(Name(c) + " at " + RectText(r) + " reaches outside the client area " +
                       RectText(client));
    RECT drawn = {};
    const std::string fault = CaptionFault(c, room, &drawn);
    if (!fault.empty()) faults.push_back(fault);
    if (!::IsWindowVisible(c) || ::IsRectEmpty(&drawn)) continue;
    // The text itself: under no other visible control (a group box frames
    // what it holds), and painted in the shot.
    ::MapWindowPoints(c, dialog, reinterpret_cast<POINT*>(&drawn), 2);
    for (HWND other : controls) {
      if (other == c || !::IsWindowVisible(other) || IsGroupBox(other)) continue;
      RECT under = PlaceIn(dialog, other), both;
      if (::IntersectRect(&both, &drawn, &under))
        faults.push_back(Name(c) + ": its caption runs under " + Name(other));
    }
    if (!shot) continue;
    const int w = window.right - window.left, h = window.bottom - window.top;
    POINT at = {0, 0};
    ::ClientToScreen(dialog, &at);
    std::set<COLORREF> colours;
    for (int y = drawn.top + at.y - window.top; y < drawn.bottom + at.y - window.top; ++y)
      for (int x = drawn.left + at.x - window.left; x < drawn.right + at.x - window.left; ++x)
        if (x >= 0 && y >= 0 && x < w && y < h && static_cast<size_t>(y) * w + x < shot->size())
          colours.insert((*shot)[static_cast<size_t>(y) * w + x]);
    if (colours.size() < 2) faults.push_back(Name(c) + ": its caption does not show in the shot");
  }
  return faults;
}

}  // namespace

std::vector<std::string> LayoutFaults(HWND dialog, double room) {
  return Faults(dialog, room, nullptr);
}

std::vector<std::string> ShownFaults(HWND dialog, const std::vector<COLORREF>& shot, double room) {
  return Faults(dialog, room, &shot);
}

std::vector<std::string> ShootAndCheck(HWND dialog, const std::string& folder,
                                       const std::string& name, double room) {
  std::vector<COLORREF> shot;
  if (!ShowAndShoot(dialog, folder, name, &shot)) return {name + ": the shot cannot be written"};
  return ShownFaults(dialog, shot, room);
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

}  // namespace lwtest
