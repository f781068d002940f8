// The saver runtime's player: reads the scene document out of the payload
// into the command palette's live list, through the script model's runtime
// build. Owns the palette for the life of the program.
#pragma once

#include "runtime/SaverPlayback.h"

class CCommandPalette;

class CScriptPlayback : public CSaverPlayback {
 public:
  CScriptPlayback();
  ~CScriptPlayback() override;

  bool LoadScript(HANDLE file, ULONGLONG offset, ULONGLONG length, char* reason,
                  int reasonSize) override;
  bool StartPlaying(CSaverWnd* window, UINT* times) override;

 private:
  CCommandPalette* m_palette = nullptr;
};
