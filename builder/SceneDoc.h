// CSceneDoc, the builder's one document: the script. It owns the command
// palette (the prototypes, the live command list and the options), reads
// and writes the scene document file through the script model, checks a
// file's header before anything of the current script is dropped, treats
// an empty file (the shell's New) as a new script, and on closing empties
// the clipboard's script data as the options ask.
#pragma once

#include "framework/DocView.h"
// The clipboard format that holds copied commands, kCopySceneFormat.
#include "script/SceneClipboard.h"

class CCommandList;
class CCommandPalette;

class CSceneDoc : public CDocument {
 public:
  // Creates the palette and publishes it in g_pCommandPalette; without
  // memory for it, says so and posts a quit message with code 17.
  CSceneDoc();
  ~CSceneDoc() override;

  CCommandPalette* GetPalette() const { return m_pPalette; }
  // The live list; the document owns its commands.
  CCommandList& GetCommands();

  bool OnNewDocument() override;
  // Refuses (false, the script left as it is) a file that cannot be opened
  // or whose header or version this builder does not read; an empty file
  // opens as a new script.
  bool OnOpenDocument(const char* path) override;
  void Serialize(CArchive& ar) override;
  // The script views let go of their lines, then every command is deleted.
  void DeleteContents() override;
  bool CanCloseFrame(CFrameWnd* frame) override;

  // Set when an open got as far as reading the file, so that a failed open
  // can tell a refused file from a user who kept the current script.
  bool m_bOpenReached = false;

 private:
  CCommandPalette* m_pPalette = nullptr;
};
