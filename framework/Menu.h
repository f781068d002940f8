// CMenu: a menu handle, owned (destroyed with the object) or borrowed (a
// sub-menu, a window's menu). Loaded from a resource, its sub-menus taken
// apart, tracked as a pop-up whose chosen command reaches the owner window
// as WM_COMMAND, its items checked and enabled.
#pragma once

#include <windows.h>

#include "framework/Strings.h"

class CMenu {
 public:
  CMenu() = default;
  // Borrows a menu: it is not destroyed with the object.
  explicit CMenu(HMENU borrowed) : m_menu(borrowed), m_owned(false) {}
  ~CMenu() { DestroyMenu(); }
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;
  CMenu(CMenu&& other) noexcept : m_menu(other.m_menu), m_owned(other.m_owned) {
    other.m_menu = nullptr;
  }
  CMenu& operator=(CMenu&& other) noexcept;

  // The menu resource (from the program's module unless given).
  bool LoadMenu(UINT resourceId, HINSTANCE instance = nullptr);
  bool CreateMenu() { return Attach(::CreateMenu()); }
  bool CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
  // Takes the menu (destroying the one held when owned); false for null.
  bool Attach(HMENU menu, bool owned = true);
  HMENU Detach();
  // Destroys an owned menu, forgets a borrowed one.
  bool DestroyMenu();

  HMENU GetSafeHmenu() const { return m_menu; }
  operator HMENU() const { return m_menu; }

  // The pop-up at that position, borrowed from this menu (empty when there
  // is none).
  CMenu GetSubMenu(int position) const;
  int GetMenuItemCount() const { return ::GetMenuItemCount(m_menu); }
  // The command id at the position: 0 for a separator, -1 for a pop-up.
  UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_menu, position); }
  CString GetMenuString(UINT item, UINT flags = MF_BYCOMMAND) const;
  UINT GetMenuState(UINT item, UINT flags = MF_BYCOMMAND) const {
    return ::GetMenuState(m_menu, item, flags);
  }

  bool AppendMenu(UINT flags, UINT_PTR idOrPopup = 0, const char* text = nullptr) {
    return ::AppendMenuA(m_menu, flags, idOrPopup, text) != FALSE;
  }
  bool InsertMenu(UINT position, UINT flags, UINT_PTR idOrPopup = 0, const char* text = nullptr) {
    return ::InsertMenuA(m_menu, position, flags, idOrPopup, text) != FALSE;
  }
  bool RemoveMenu(UINT item, UINT flags) { return ::RemoveMenu(m_menu, item, flags) != FALSE; }
  bool DeleteMenu(UINT item, UINT flags) { return ::DeleteMenu(m_menu, item, flags) != FALSE; }
  // Flags MF_CHECKED or MF_UNCHECKED (and MF_BYCOMMAND or MF_BYPOSITION);
  // returns the previous state, or -1 when there is no such item.
  UINT CheckMenuItem(UINT item, UINT flags) { return ::CheckMenuItem(m_menu, item, flags); }
  // Flags MF_ENABLED, MF_GRAYED or MF_DISABLED (and MF_BYCOMMAND or
  // MF_BYPOSITION); returns the previous state, or -1.
  UINT EnableMenuItem(UINT item, UINT flags) { return ::EnableMenuItem(m_menu, item, flags); }

  // Shows the menu as a pop-up at the screen point (TPM_ flags) for the
  // owner window, which receives WM_INITMENUPOPUP as it opens and
  // WM_COMMAND for the item chosen (with TPM_RETURNCMD the id is returned
  // instead). `exclude`, in screen coordinates, is an area the menu does
  // not cover (a toolbar button under a drop-down menu).
  UINT TrackPopupMenu(UINT flags, int x, int y, HWND owner, const RECT* exclude = nullptr) const;

 private:
  HMENU m_menu = nullptr;
  bool m_owned = true;
};
