// Command tables and their lookup, the routing order, update-UI items, and
// the window that routes its commands.
#include "framework/CmdTarget.h"

const CCommandTable CCmdTarget::commandTable = {nullptr, nullptr, 0};

namespace {

bool Matches(const CCommandEntry& entry, const CCommandMsg& msg) {
  if (entry.kind != msg.kind || msg.id < entry.firstId || msg.id > entry.lastId) return false;
  return (entry.kind != CCommandEntry::kControl && entry.kind != CCommandEntry::kNotify) ||
         entry.code == msg.code;
}

}  // namespace

bool CCmdTarget::OnCmdMsg(CCommandMsg& msg) {
  for (const CCommandTable* table = GetCommandTable(); table; table = table->base) {
    for (int i = 0; i < table->count; ++i) {
      const CCommandEntry& entry = table->entries[i];
      if (!Matches(entry, msg)) continue;
      if (msg.probe) return true;
      switch (entry.kind) {
        case CCommandEntry::kCommand:
        case CCommandEntry::kControl:
          if ((this->*entry.command)(msg.id)) return true;
          break;
        case CCommandEntry::kNotify:
          if ((this->*entry.notify)(msg.hdr, msg.result)) return true;
          break;
        case CCommandEntry::kUpdateUI:
          (this->*entry.update)(msg.ui);
          return true;
      }
    }
  }
  return false;
}

bool CCommandRoute::Route(CCommandMsg& msg) const {
  // The routing order: the active view, then its document, then the frame,
  // then the application. The most specific target answers first: the view
  // what concerns its selection, the document what concerns the data
  // whichever view shows it, the frame what concerns the window (its bars
  // and panes), the application what needs none of them (new, open, exit).
  // A handler that returns false passes the command on down this order.
  CCmdTarget* const order[] = {m_view, m_document, m_frame, m_application};
  for (CCmdTarget* target : order)
    if (target && target->OnCmdMsg(msg)) return true;
  return false;
}

void CCmdUI::Enable(bool on) {
  if (m_menu) {
    ::EnableMenuItem(m_menu, m_index, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
  } else if (m_control && (::IsWindowEnabled(m_control) != FALSE) != on) {
    ::EnableWindow(m_control, on);
  }
}

void CCmdUI::SetCheck(int state) {
  if (m_menu) {
    ::CheckMenuItem(m_menu, m_index, MF_BYPOSITION | (state ? MF_CHECKED : MF_UNCHECKED));
  } else if (m_control && (::SendMessageA(m_control, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)) {
    ::SendMessageA(m_control, BM_SETCHECK, static_cast<WPARAM>(state), 0);
  }
}

void CCmdUI::SetText(const char* text) {
  if (m_menu) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(text);
    ::SetMenuItemInfoA(m_menu, m_index, TRUE, &info);
  } else if (m_control) {
    // Set only when it differs, so that an idle update does not flicker.
    char current[256];
    ::GetWindowTextA(m_control, current, sizeof current);
    if (lstrcmpA(current, text) != 0) ::SetWindowTextA(m_control, text);
  }
}

bool CCmdWnd::RouteCommand(CCommandMsg& msg) {
  return m_route ? m_route->Route(msg) : OnCmdMsg(msg);
}

void CCmdWnd::UpdateItem(CCmdUI& ui, bool disableIfNoHandler) {
  CCommandMsg update(CCommandEntry::kUpdateUI, ui.GetID());
  update.ui = &ui;
  if (RouteCommand(update) || !disableIfNoHandler) return;
  CCommandMsg probe(CCommandEntry::kCommand, ui.GetID());
  probe.probe = true;
  ui.Enable(RouteCommand(probe));
}

void CCmdWnd::UpdateMenu(HMENU menu) {
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    // Separators have id 0, sub-menus -1: neither is a command.
    const UINT id = ::GetMenuItemID(menu, i);
    if (id == 0 || id == static_cast<UINT>(-1)) continue;
    CCmdUI ui(menu, static_cast<UINT>(i), id);
    UpdateItem(ui, true);
  }
}

void CCmdWnd::UpdateControls(bool disableIfNoHandler) {
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    const int id = ::GetDlgCtrlID(child);
    if (id <= 0) continue;
    CCmdUI ui(child, static_cast<UINT>(id));
    UpdateItem(ui, disableIfNoHandler);
  }
}

bool CCmdWnd::OnCommand(UINT id, UINT code, HWND control) {
  return RouteCommandMessage(*this, id, code, control);
}

bool CCmdWnd::OnNotify(NMHDR* hdr, LRESULT* result) { return RouteNotifyMessage(*this, hdr, result); }

LRESULT CCmdWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  // The window menu (HIWORD set) is the system's own.
  if (msg == WM_INITMENUPOPUP && !HIWORD(lp)) UpdateMenu(reinterpret_cast<HMENU>(wp));
  return CWnd::WindowProc(msg, wp, lp);
}
