// CCommandPalette, the one script context: a prototype command per type
// (the factory of the document reader and the Commands tree), the live
// command list and, in the builder, the options record.
#pragma once

#include "script/Commands.h"

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
