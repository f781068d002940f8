// Menus.
#include "framework/Menu.h"

CMenu& CMenu::operator=(CMenu&& other) noexcept {
  if (this != &other) {
    DestroyMenu();
    m_menu = other.m_menu;
    m_owned = other.m_owned;
    other.m_menu = nullptr;
  }
  return *this;
}

bool CMenu::LoadMenu(UINT resourceId, HINSTANCE instance) {
  return Attach(
      ::LoadMenuA(instance ? instance : ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)));
}

bool CMenu::Attach(HMENU menu, bool owned) {
  if (!menu) return false;
  if (menu != m_menu) DestroyMenu();
  m_menu = menu;
  m_owned = owned;
  return true;
}

HMENU CMenu::Detach() {
  HMENU menu = m_menu;
  m_menu = nullptr;
  return menu;
}

bool CMenu::DestroyMenu() {
  if (!m_menu) return false;
  const bool ok = !m_owned || ::DestroyMenu(m_menu) != FALSE;
  m_menu = nullptr;
  return ok;
}

CMenu CMenu::GetSubMenu(int position) const {
  return CMenu(m_menu ? ::GetSubMenu(m_menu, position) : nullptr);
}

CString CMenu::GetMenuString(UINT item, UINT flags) const {
  char text[256] = "";
  const int length = ::GetMenuStringA(m_menu, item, text, sizeof text, flags);
  return CString(text, length > 0 ? length : 0);
}

UINT CMenu::TrackPopupMenu(UINT flags, int x, int y, HWND owner, const RECT* exclude) const {
  TPMPARAMS params = {};
  params.cbSize = sizeof params;
  if (exclude) params.rcExclude = *exclude;
  return static_cast<UINT>(
      ::TrackPopupMenuEx(m_menu, flags, x, y, owner, exclude ? &params : nullptr));
}
