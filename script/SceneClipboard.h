// The blocks in which commands leave the script list, on the clipboard and
// in drags: "CopyScene1.0" carries the commands themselves (so it survives
// the builder and reaches another one), "MoveScene1.0" the list positions
// of the commands a drag moves, "LinkScene1.0" the list position of the
// object a drag links. Each starts with the float document version it was
// written with; nothing here needs a window, so the readers can be driven
// by any byte source.
//
// The readers trust nothing they read: a refused version, a type code
// outside the command types, a count the block cannot hold, a position
// outside the list or of the wrong kind, or data that ends early refuses
// the whole block, and what was read so far is deleted.
#pragma once

#include <vector>

#include "script/Commands.h"

class CCommandPalette;
class CSceneObject;

// The registered names of the three formats.
extern const char kCopySceneFormat[];  // "CopyScene1.0"
extern const char kMoveSceneFormat[];  // "MoveScene1.0"
extern const char kLinkSceneFormat[];  // "LinkScene1.0"

// "CopyScene1.0": version, count, each command's type code and body, then
// per command a link flag and reference: 1 and the target's index in the
// selection when the target is copied too, else 0 and the target's id (its
// line, as the ids are before the call; -1 for none). The selected
// commands' ids become their selection indices.
void WriteCopyBlock(CArchive& ar, const CObArray& selected);
// "MoveScene1.0": version, count, the selected commands' ids (their lines)
// from the last selected to the first.
void WriteMoveBlock(CArchive& ar, const CObArray& selected);
// "LinkScene1.0": version and the object's list position as a 32-bit
// integer.
void WriteLinkBlock(CArchive& ar, int position);

// The commands of a "CopyScene1.0" block, made from the palette's
// prototypes (CreateCommand when palette is null) and linked: to each
// other, or to an object of `script` by its line when the line holds an
// object of the kind the command targets (other lines give no target).
// The pasted commands go to the end of `pasted`; false, with `pasted` and
// `script` untouched, when the block is refused. Links into `script` are
// made only once the whole block has been accepted.
bool ReadCopyBlock(CArchive& ar, const CCommandPalette* palette, const CCommandList& script,
                   CCommandList& pasted);
// The lines of a "MoveScene1.0" block for a list of lineCount lines, as
// written (highest first): each inside the list, none twice, at least one.
bool ReadMoveBlock(CArchive& ar, int lineCount, std::vector<int>& lines);
// The object a "LinkScene1.0" block names in `script`: an Image/Text or a
// Multimedia/Flash object at that position; null when refused.
CSceneObject* ReadLinkBlock(CArchive& ar, const CCommandList& script);
