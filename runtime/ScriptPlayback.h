// The saver runtime's player: makes the desktop and wallpaper pictures,
// reads the scene document out of the payload into the command palette's
// live list, through the script model's runtime build, and plays it with a
// scene thread over the saver window. Owns the palette for the life of the
// program.
#pragma once

#include "runtime/SaverPlayback.h"

class CCommandListPlay;
class CCommandPalette;
class CSceneMediaPlayers;
class CSceneThread;
class CSaverPlayOutput;

class CScriptPlayback : public CSaverPlayback {
 public:
  CScriptPlayback();
  ~CScriptPlayback() override;

  void CapturePictures(const char* desktopPath, const char* wallpaperPath) override;
  bool LoadScript(HANDLE file, ULONGLONG offset, ULONGLONG length, char* reason,
                  int reasonSize) override;
  bool StartPlaying(CSaverWnd* window, UINT* times) override;
  void StopPlaying() override;
  void OnMciNotify(WPARAM code, LPARAM device) override;
  bool Paint(HDC dc) override;

 private:
  CCommandPalette* m_palette = nullptr;
  // The scene thread over the saver window and the window as it sees it;
  // kept until StopPlaying, even after the script has ended by itself.
  CSaverPlayOutput* m_output = nullptr;
  CCommandListPlay* m_commands = nullptr;  // the live list, as the thread plays it
  // The media players of the run, made on the saver window's thread.
  CSceneMediaPlayers* m_media = nullptr;
  CSceneThread* m_thread = nullptr;
};
