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

  // A failed read is not told here: the application's one message about
  // the file names it and gives the reason kept in LastReadFailure. A
  // failed save is told as the framework tells it.
  void ReportSaveLoadException(const char* path, CException* e, bool saving) override;

  // Set when an open got as far as reading the file, so that a failed open
  // can tell a refused file from a user who kept the current script.
  bool m_bOpenReached = false;
  // Why the last open could not read its file; empty when it could, or
  // when the file was refused before reading (its header). Kept beyond the
  // document, which a failed first open deletes.
  static CString& LastReadFailure();

 private:
  CCommandPalette* m_pPalette = nullptr;
};
