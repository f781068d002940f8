// The scene document: the header (identification string and float
// version), the count, the commands by type code, then for every object its
// referrer ids. Reading checks every value it takes from the data and
// refuses bad input with CArchiveException::badSchema (or endOfFile for
// truncated data); a failed read leaves the caller's list as it was.
#pragma once

#include "script/Commands.h"
#include "script/SceneVersion.h"

class CCommandPalette;

#if LW_SCRIPT_EDITING
// int count; per command its type code and Write; then the referrer lists.
// The commands' ids must be their list positions (NumberCommands).
void WriteCommandList(CArchive& ar, const CCommandList& list);
// Numbers the commands, then writes the current header, version 4.7 and the
// command list.
void WriteSceneDocument(CArchive& ar, const CCommandList& list);
#endif

// The builder's version lists: with old 0 one of 4.0, 4.2, 4.5, 4.7; with
// old 1 one of 1.0, 1.1, 2.1, 2.2, 3.0, 3.1, 3.3, 3.6, 4.0, 4.2, 4.5 (then the
// matched value is the old-format marker). Exact single-precision compares.
bool IsAcceptedVersion(float version, int old, float* marker);

// Reads the identification string and the version and checks them with this
// build's rule; throws badSchema when they are refused.
void ReadSceneHeader(CArchive& ar, CSceneVersion& ver);
// Reads one command: its type code (refused outside 0 to 13), then a fresh
// command of that type from the palette's prototype (CreateCommand when
// palette is null), appended to `list`, which owns it from then on,
// numbered `id`, reads its body. Throws for refused or missing data.
CSceneCommand* ReadTypedCommand(CArchive& ar, CCommandList& list, int id, const CSceneVersion& ver,
                                const CCommandPalette* palette);
// Reads a command list and appends it to `list` whole, or throws and leaves
// `list` untouched. Commands are made from the palette's prototypes (from
// CreateCommand when palette is null).
void ReadCommandList(CArchive& ar, CCommandList& list, const CSceneVersion& ver,
                     const CCommandPalette* palette);
// Reads a whole document and, on success only, replaces the list's contents
// with it; the commands' ids are their positions. Returns the version state.
CSceneVersion ReadSceneDocument(CArchive& ar, CCommandList& list, const CCommandPalette* palette);

#if LW_SCRIPT_EDITING
// What the check of a document file before opening it found.
enum SceneFileCheck {
  kSceneFileRefused = 0,  // cannot be opened, or a header or version refused
  kSceneFileReadable,     // a header and version this build reads
  kSceneFileEmpty,        // no bytes at all: opens as a new script
};
// The header check that runs before the document is emptied for an open:
// opens the file, and unless it is empty reads the identification string
// and the version and checks them. Every failure, a truncated header
// included, refuses the file, so that the document keeps its contents.
// `version` (may be null) receives the version state of a readable file,
// the current one for an empty file.
SceneFileCheck CheckSceneDocumentFile(const char* path, CSceneVersion* version);
// The whole document through an archive, as the document's Serialize runs
// it. Storing: numbers the commands and writes the document. Loading: an
// archive without any data gives an empty script (a file made empty by the
// shell's New); otherwise the document is read and, on success only,
// replaces the list's contents. A refused or damaged document throws the
// archive exceptions (badSchema; endOfFile for data that ends early) and
// leaves the list as it was. Returns the version state read (the current
// one when storing or for an empty archive).
CSceneVersion SerializeSceneDocument(CArchive& ar, CCommandList& list,
                                     const CCommandPalette* palette);
#endif

// Prepares the commands in list order; 0 at the first refusal.
int PrepareScript(const CCommandList& list);

// The saver runtime's document read: header (this build's rule), the
// command list from the global palette's prototypes appended to `list`,
// numbering, then Prepare. Returns 1, or 0 when a command refuses the run;
// throws the archive exceptions for a refused or damaged document.
int LoadScriptArchive(CArchive& ar, CCommandList& list);
