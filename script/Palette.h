// CCommandPalette, the one script context: a prototype command per type
// (the factory of the document reader and the Commands tree), the live
// command list and, in the builder, the options record.
#pragma once

#include "script/Commands.h"

#if LW_SCRIPT_EDITING
#include <windows.h>
#include <commctrl.h>
#endif

class CBuilderOptions;

class CCommandPalette : public CObject {
 public:
  // Builds the live list and the options record, then the fourteen
  // prototypes in type order, then loads the options file (builder).
  // Throws the memory exception when a prototype cannot be made.
  CCommandPalette();
  ~CCommandPalette() override;

  // Callers pass 0 to 13 only.
  CSceneCommand* GetPrototype(int type) const { return m_prototypes[type]; }
  CCommandList& GetCommands() { return m_commands; }
  const CCommandList& GetCommands() const { return m_commands; }
  // The options record; null in the runtime.
  CBuilderOptions* GetOptions() const { return m_pOptions; }
  int IndexOfPrototype(const CSceneCommand* cmd) const;
  // Hands the prototype of a type to the caller, who owns it now, and puts
  // a fresh clone in its slot; null when no clone can be made.
  CSceneCommand* TakePrototype(int type);
  // Loads or saves the options file (builder only): 1, or 0 after a failure.
  int SerializeOptions(bool load);

#if LW_SCRIPT_EDITING
  // Fills a tree-view control with the Commands tree: a root "Commands"
  // (image 0; 0 and 1 are its collapsed and expanded images) appended at
  // the top level, and below it one item per type in code order with the
  // type's name, image and selected image type + 2, and the type's
  // prototype as item data. Returns the root, or null when the control
  // refused an item.
  HTREEITEM FillTree(HWND tree) const;
  // The prototype behind a tree item (its item data); null for an item
  // that stands for none, such as the root.
  CSceneCommand* GetTreeItemPrototype(HWND tree, HTREEITEM item) const;
  // Hands the prototype behind a tree item to the caller, who owns it now,
  // and puts a fresh clone in its palette slot and into the item's data.
  // Null (and nothing changed) when the item stands for no prototype or no
  // clone can be made. While a tree shows the palette, take prototypes
  // through it, so that its items never hold a prototype given away.
  CSceneCommand* TakePrototype(HWND tree, HTREEITEM item);
#endif

  int m_prototypeCount = kCommandTypeCount;
  CSceneCommand* m_prototypes[kCommandTypeCount] = {};
  CCommandList m_commands;
  CBuilderOptions* m_pOptions = nullptr;
};

// The palette every part of the program reaches; set by whoever creates it.
extern CCommandPalette* g_pCommandPalette;

// A new command of a type with its default values; null for a type outside
// 0 to 13 or when memory runs out.
CSceneCommand* CreateCommand(int type);
