// The version state of one read of a scene document: the format version
// stored in the file and, for a file of the older format, its version again
// as the old-format marker (0 for the current format). Every read carries
// its own, so one read never sees another's marker.
#pragma once

// The version this program writes.
constexpr float kSceneDocumentVersion = 4.7f;

// The two identification strings, 15 characters each.
constexpr const char kSceneIdCurrent[] = "LumenweaveScene";
constexpr const char kSceneIdOlder[] = "LumenweaveDraft";

struct CSceneVersion {
  float version = kSceneDocumentVersion;
  float oldMarker = 0.0f;

  bool IsOldFormat() const { return oldMarker != 0.0f; }
};
