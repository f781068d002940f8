// Command routing, the start of the user interface layer (linked by the
// builder only). A class that takes commands derives from CCmdTarget and
// keeps a static table of entries: command ids (menus, accelerators,
// clicked buttons), control notifications (WM_COMMAND codes), WM_NOTIFY
// codes and update-UI requests, each to a handler of the class. A table
// chains to its base class's table. CCommandRoute passes a command through
// the targets of a window in a fixed order; CCmdUI is what an update-UI
// handler sets (enabled, checked, text) on a menu item when its pop-up
// opens, or on a control when the thread is idle. CCmdWnd is a window whose
// commands and update-UI go that way; frames and views derive from it.
// framework/README.md shows a class with its table.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"

class CCmdTarget;
class CCmdUI;

// One entry of a class's command table. The handler is a member of the
// class (or a base of it), stored as a member of CCmdTarget.
struct CCommandEntry {
  enum Kind : unsigned char { kCommand, kControl, kNotify, kUpdateUI };
  // Commands and control notifications: true when handled, false passes
  // the command on to the next entry or target.
  using CommandHandler = bool (CCmdTarget::*)(UINT id);
  // WM_NOTIFY: true when handled, with the answer in *result.
  using NotifyHandler = bool (CCmdTarget::*)(NMHDR* hdr, LRESULT* result);
  // Update-UI: sets the item's state; always counts as handled.
  using UpdateHandler = void (CCmdTarget::*)(CCmdUI* ui);

  constexpr CCommandEntry(Kind kind, UINT code, UINT first, UINT last, CommandHandler handler)
      : kind(kind), code(code), firstId(first), lastId(last), command(handler) {}
  constexpr CCommandEntry(UINT code, UINT id, NotifyHandler handler)
      : kind(kNotify), code(code), firstId(id), lastId(id), notify(handler) {}
  constexpr CCommandEntry(UINT first, UINT last, UpdateHandler handler)
      : kind(kUpdateUI), code(0), firstId(first), lastId(last), update(handler) {}

  Kind kind;
  UINT code;  // kControl: the WM_COMMAND code; kNotify: the NMHDR code
  UINT firstId;
  UINT lastId;
  union {
    CommandHandler command;
    NotifyHandler notify;
    UpdateHandler update;
  };
};

// A class's entries, and its base class's table (null for CCmdTarget's).
struct CCommandTable {
  const CCommandTable* base;
  const CCommandEntry* entries;
  int count;
};

// A command, notification or update-UI request on its way to a handler.
struct CCommandMsg {
  CCommandMsg(CCommandEntry::Kind kind, UINT id, UINT code = 0) : kind(kind), id(id), code(code) {}

  CCommandEntry::Kind kind;
  UINT id;
  UINT code;
  NMHDR* hdr = nullptr;      // kNotify
  LRESULT* result = nullptr; // kNotify
  CCmdUI* ui = nullptr;      // kUpdateUI
  // Only asks whether some handler would take the message; none is called.
  bool probe = false;
};

class CCmdTarget {
 public:
  CCmdTarget() = default;
  virtual ~CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  // Offers the message to the entries of this object's class table, then
  // to its base classes' tables, in order; true when a handler took it (or,
  // for a probe, would).
  virtual bool OnCmdMsg(CCommandMsg& msg);

 protected:
  virtual const CCommandTable* GetCommandTable() const { return &commandTable; }
  // Empty: the end of every chain.
  static const CCommandTable commandTable;

  // The entries of a table, as a class writes them (see LW_DECLARE_COMMAND_TABLE).
  template <class T>
  static constexpr CCommandEntry CommandEntry(UINT id, bool (T::*handler)(UINT)) {
    return CommandRangeEntry(id, id, handler);
  }
  template <class T>
  static constexpr CCommandEntry CommandRangeEntry(UINT first, UINT last,
                                                   bool (T::*handler)(UINT)) {
    return CCommandEntry(CCommandEntry::kCommand, 0, first, last,
                         static_cast<CCommandEntry::CommandHandler>(handler));
  }
  template <class T>
  static constexpr CCommandEntry ControlEntry(UINT id, UINT code, bool (T::*handler)(UINT)) {
    return CCommandEntry(CCommandEntry::kControl, code, id, id,
                         static_cast<CCommandEntry::CommandHandler>(handler));
  }
  template <class T>
  static constexpr CCommandEntry NotifyEntry(UINT id, UINT code,
                                             bool (T::*handler)(NMHDR*, LRESULT*)) {
    return CCommandEntry(code, id, static_cast<CCommandEntry::NotifyHandler>(handler));
  }
  template <class T>
  static constexpr CCommandEntry UpdateUIEntry(UINT id, void (T::*handler)(CCmdUI*)) {
    return UpdateUIRangeEntry(id, id, handler);
  }
  template <class T>
  static constexpr CCommandEntry UpdateUIRangeEntry(UINT first, UINT last,
                                                    void (T::*handler)(CCmdUI*)) {
    return CCommandEntry(first, last, static_cast<CCommandEntry::UpdateHandler>(handler));
  }
};

// In a class that has a command table: its entries and table, and the
// override that finds them. What follows the macro is protected until the
// class says otherwise.
#define LW_DECLARE_COMMAND_TABLE()                 \
 protected:                                        \
  static const CCommandEntry commandEntries[];     \
  static const CCommandTable commandTable;         \
  const CCommandTable* GetCommandTable() const override { return &commandTable; }

// After the definition of cls::commandEntries: the table, chained to the
// base class's.
#define LW_IMPLEMENT_COMMAND_TABLE(cls, base)                                  \
  const CCommandTable cls::commandTable = {                                    \
      &base::commandTable, cls::commandEntries,                                \
      static_cast<int>(sizeof cls::commandEntries / sizeof cls::commandEntries[0])};

// The targets that the commands of a frame visit, in the order Route
// gives. Frames, views and documents put themselves in as they come and
// go; any of them may be missing.
class CCommandRoute {
 public:
  void SetView(CCmdTarget* view) { m_view = view; }
  void SetDocument(CCmdTarget* document) { m_document = document; }
  void SetFrame(CCmdTarget* frame) { m_frame = frame; }
  void SetApplication(CCmdTarget* application) { m_application = application; }
  CCmdTarget* GetView() const { return m_view; }
  CCmdTarget* GetDocument() const { return m_document; }

  // True when one of the targets took the message.
  bool Route(CCommandMsg& msg) const;

 private:
  CCmdTarget* m_view = nullptr;
  CCmdTarget* m_document = nullptr;
  CCmdTarget* m_frame = nullptr;
  CCmdTarget* m_application = nullptr;
};

// One item that a command drives, as an update-UI handler sees it: a menu
// item (by position in its menu) or a control. Items of other kinds (a
// toolbar's buttons, a status bar's panes) derive and set their own state.
class CCmdUI {
 public:
  CCmdUI(HMENU menu, UINT index, UINT id) : m_menu(menu), m_index(index), m_id(id) {}
  CCmdUI(HWND control, UINT id) : m_control(control), m_id(id) {}
  virtual ~CCmdUI() = default;

  UINT GetID() const { return m_id; }
  virtual void Enable(bool on = true);
  // 0 clear, 1 checked, 2 indeterminate (check boxes only).
  virtual void SetCheck(int state = 1);
  virtual void SetText(const char* text);

 protected:
  explicit CCmdUI(UINT id) : m_id(id) {}

 private:
  HMENU m_menu = nullptr;
  UINT m_index = 0;
  HWND m_control = nullptr;
  UINT m_id;
};

// What a window's WM_COMMAND and WM_NOTIFY become on their way to the
// handlers: menus, accelerators and clicked buttons give commands; anything
// else a control reports is a control notification. `router` offers each
// to the window's targets (its RouteCommand); true when one took it.
template <class Router>
bool RouteCommandMessage(Router& router, UINT id, UINT code, HWND control) {
  if (!control || code == BN_CLICKED) {
    CCommandMsg command(CCommandEntry::kCommand, id);
    if (router.RouteCommand(command)) return true;
  }
  if (!control) return false;
  CCommandMsg notification(CCommandEntry::kControl, id, code);
  return router.RouteCommand(notification);
}

template <class Router>
bool RouteNotifyMessage(Router& router, NMHDR* hdr, LRESULT* result) {
  CCommandMsg msg(CCommandEntry::kNotify, static_cast<UINT>(hdr->idFrom), hdr->code);
  msg.hdr = hdr;
  msg.result = result;
  return router.RouteCommand(msg);
}

// A window whose commands, control notifications, WM_NOTIFY and update-UI
// go through command tables: along its route when it has one, else to its
// own table.
class CCmdWnd : public CWnd, public CCmdTarget {
 public:
  // The route stays the caller's; null: the window's own table only.
  void SetCommandRoute(const CCommandRoute* route) { m_route = route; }
  bool RouteCommand(CCommandMsg& msg);

  // Called when a pop-up menu opens: each command item asks its update-UI
  // handler; an item without one is enabled when some target handles its
  // command and greyed when none does.
  void UpdateMenu(HMENU menu);
  // Called by the thread when it is idle: the child controls whose ids have
  // update-UI handlers take the state those set; with disableIfNoHandler,
  // the others are enabled only when their command has a handler.
  void UpdateControls(bool disableIfNoHandler = false);
  // The item takes the state its update-UI handler along the route sets;
  // without one, and with disableIfNoHandler, it is enabled exactly when
  // some target handles its command.
  void UpdateItem(CCmdUI& ui, bool disableIfNoHandler);

 protected:
  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool OnNotify(NMHDR* hdr, LRESULT* result) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  const CCommandRoute* m_route = nullptr;
};
