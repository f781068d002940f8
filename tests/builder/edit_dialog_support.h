// Helpers of the edit dialog tests: a command's stored bytes (what Edit
// must change exactly where the user edited, and leave alone on Cancel),
// a palette installed as the global one with a live list the test fills,
// and keyboard state for Ctrl+click.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/Archive.h"
#include "framework/Files.h"
#include "script/Commands.h"
#include "script/Palette.h"

namespace lwtest {

// The bytes the document writer stores for the command.
inline std::vector<uint8_t> WrittenBytes(const CSceneCommand& command) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    command.Write(ar);
  }
  const uint8_t* bytes = file.GetBuffer();
  return std::vector<uint8_t>(bytes, bytes + file.GetLength());
}

// A palette whose live list the test fills, installed as the global one
// while it lives.
class CEditTestPalette {
 public:
  CEditTestPalette() : m_previous(g_pCommandPalette) { g_pCommandPalette = &m_palette; }
  ~CEditTestPalette() { g_pCommandPalette = m_previous; }
  CEditTestPalette(const CEditTestPalette&) = delete;
  CEditTestPalette& operator=(const CEditTestPalette&) = delete;

  // Appends the command to the live list, which owns it.
  template <class T>
  T* Add(T* command) {
    m_palette.GetCommands().Add(command);
    return command;
  }

 private:
  CCommandPalette m_palette;
  CCommandPalette* m_previous;
};

// Holds a key down in this thread's keyboard state (as GetKeyState sees
// it) while it lives.
class CHeldKey {
 public:
  explicit CHeldKey(int key) : m_key(key) { Set(0x80); }
  ~CHeldKey() { Set(0); }
  CHeldKey(const CHeldKey&) = delete;
  CHeldKey& operator=(const CHeldKey&) = delete;

 private:
  void Set(BYTE state) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[m_key] = state;
    ::SetKeyboardState(keys);
  }
  int m_key;
};

}  // namespace lwtest
