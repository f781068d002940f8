// The copy of an earlier version's registry settings into the tree of the
// current version, done once at every start before the profile key is set:
// the newest older version's tree, else the older builder's tree without a
// version level, else the tree under the maker's short name (marked once
// copied). A plain recursive copy of keys and values.
#pragma once

#include <windows.h>

#include "framework/Strings.h"

// "Software\Corvanta\Screen Saver", the known versions' parent.
extern const char kSettingsVersionBase[];
// The short-name tree and the value that marks it copied.
extern const char kSettingsShortNameTree[];
extern const char kSettingsCopiedMarker[];  // "OLD Reg Copied"
extern const char kSettingsCopyFailedMessage[];  // "Error during copying of reg entries!"

class CRegistryMigrator {
 public:
  // root: where every path below lies (HKEY_CURRENT_USER for the builder).
  explicit CRegistryMigrator(HKEY root = HKEY_CURRENT_USER) : m_root(root) {}
  virtual ~CRegistryMigrator() = default;
  CRegistryMigrator(const CRegistryMigrator&) = delete;
  CRegistryMigrator& operator=(const CRegistryMigrator&) = delete;

  // Called at start-up with the current version (4.7). True when nothing
  // had to be done or the copy succeeded; false after a failed copy, whose
  // message has been shown.
  bool MigrateOldSettings(float version);

  // The newest known version (4.7, 4.5, 4.2, 4.0) whose key
  // base\"%.2f" exists, or -1.
  float FindNewestVersion(HKEY root, const char* base) const;
  // Copies the source key with its values and every sub-key to the
  // destination; true when the source key could be opened.
  virtual bool CopyTree(HKEY root, const char* source, const char* destination);

  bool KeyExists(HKEY root, const char* path) const;
  bool IsMarkedCopied(HKEY root, const char* path) const;
  bool MarkCopied(HKEY root, const char* path) const;

 protected:
  // relative: the key's path below the tree's source ("" for the source).
  bool CopyKey(HKEY parent, const char* name, const CString& relative);
  // Copies every value of the source key to the destination key (created
  // when missing). A value that cannot be read is skipped; false when
  // either key cannot be opened.
  bool CopyValues(const CString& source, const CString& destination);

  HKEY m_root;
  CString m_source;
  CString m_destination;
};

// The key of a version: base + "\" + the version as "%.2f".
CString VersionKeyPath(const char* base, float version);
