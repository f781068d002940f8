// The builder's whole scene documents: the header check before an open and
// the store and load that the document's Serialize runs, with the rule
// that an empty file is a new script (the shell's New makes such files).
#include "framework/Archive.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "script/SceneDocument.h"

SceneFileCheck CheckSceneDocumentFile(const char* path, CSceneVersion* version) {
  CFile file;  // closed on every path
  if (path == nullptr || !file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
    return kSceneFileRefused;
  CSceneVersion read;
  SceneFileCheck result = kSceneFileReadable;
  try {
    if (file.GetLength() == 0) {
      result = kSceneFileEmpty;
    } else {
      CArchive ar(&file, CArchive::load, 4096);
      ReadSceneHeader(ar, read);
    }
  } catch (CException* e) {
    e->Delete();
    return kSceneFileRefused;
  }
  if (version != nullptr) *version = read;
  return result;
}

CSceneVersion SerializeSceneDocument(CArchive& ar, CCommandList& list,
                                     const CCommandPalette* palette) {
  if (ar.IsStoring()) {
    WriteSceneDocument(ar, list);
    return CSceneVersion();
  }
  if (ar.GetBytesLeft() == 0) {
    list.DeleteAll();
    return CSceneVersion();
  }
  return ReadSceneDocument(ar, list, palette);
}
