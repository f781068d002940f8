// The script's commands as OLE data: CSceneDataSource renders the three
// command blocks (script/SceneClipboard.h) from the dragged or copied
// commands when a reader asks; CSceneDropSource shows the drag cursors.
// The drag image travels between the views through a temporary file, so
// that a view a drag enters can show the image the drag started with.
// Drags run through one replaceable function, so that tests can drop the
// data where they like without the system's drag loop.
#pragma once

#include <vector>

#include "framework/ImageList.h"
#include "framework/Ole.h"

class CObArray;

// The registered clipboard formats of the three blocks.
struct CSceneFormats {
  CLIPFORMAT copy;
  CLIPFORMAT move;
  CLIPFORMAT link;
};
const CSceneFormats& SceneFormats();

class CSceneDataSource : public COleDataSource {
 public:
  // Over the commands (not owned), whose ids must be their lines now.
  explicit CSceneDataSource(const CObArray* selected);

 protected:
  bool OnRenderFileData(const FORMATETC& format, CFile* file) override;

 private:
  const CObArray* m_pSelected;
  // The lines at the start: the copy block renumbers the commands, and
  // every block is written from these.
  std::vector<int> m_lines;
};

class CSceneDropSource : public COleDropSource {
 public:
  // single: exactly one command is dragged (its own move and copy cursors).
  explicit CSceneDropSource(bool single);
  SCODE GiveFeedback(DWORD dropEffect) override;

 private:
  HCURSOR m_move = nullptr;
  HCURSOR m_copy = nullptr;
  HCURSOR m_link = nullptr;
};

// Runs a drag of the data with the effects allowed; returns the effect of
// the drop. The default is the system's drag loop (COleDataSource's
// DoDragDrop); SetSceneDragRunner replaces it (null restores it) and
// returns the previous one.
using SceneDragRunner = DWORD (*)(COleDataSource& data, DWORD allowed, COleDropSource& source);
SceneDragRunner SetSceneDragRunner(SceneDragRunner runner);
DWORD RunSceneDrag(COleDataSource& data, DWORD allowed, COleDropSource& source);

// The drag image of the drag running now and the point of it under the
// cursor, in the temporary file that every view can read.
bool SaveDragImage(const CImageList& image, CPoint hotSpot);
bool LoadDragImage(CImageList& image, CPoint& hotSpot);
void DeleteDragImageFile();
