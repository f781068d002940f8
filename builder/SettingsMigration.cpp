// The start-up copy of earlier settings (see SettingsMigration.h).
#include "builder/SettingsMigration.h"

#include <vector>

#include "framework/Registry.h"
#include "framework/Seams.h"

const char kSettingsVersionBase[] = "Software\\Corvanta\\Screen Saver";
const char kSettingsShortNameTree[] = "Software\\Tavenor\\Screen Saver";
const char kSettingsCopiedMarker[] = "OLD Reg Copied";
const char kSettingsCopyFailedMessage[] = "Error during copying of reg entries!";

namespace {

const char kOlderBuilderTree[] = "Software\\Corvanta\\Screen Saver\\Lumenweave";
// Newest first.
const float kKnownVersions[] = {4.7f, 4.5f, 4.2f, 4.0f};

CString Join(const CString& path, const CString& relative) {
  return relative.IsEmpty() ? path : path + "\\" + relative;
}

}  // namespace

CString VersionKeyPath(const char* base, float version) {
  CString path;
  path.Format("%s\\%.2f", base, static_cast<double>(version));
  return path;
}

bool CRegistryMigrator::MigrateOldSettings(float version) {
  const float found = FindNewestVersion(m_root, kSettingsVersionBase);
  if (found == version) return true;
  bool copied = true;
  if (found >= 0) {
    copied = CopyTree(m_root, VersionKeyPath(kSettingsVersionBase, found),
                      VersionKeyPath(kSettingsVersionBase, version));
  } else if (KeyExists(m_root, kOlderBuilderTree)) {
    copied = CopyTree(m_root, kOlderBuilderTree,
                      VersionKeyPath(kSettingsVersionBase, version) + "\\Lumenweave");
  } else if (KeyExists(m_root, kSettingsShortNameTree) &&
             !IsMarkedCopied(m_root, kSettingsShortNameTree)) {
    copied = CopyTree(m_root, kSettingsShortNameTree, VersionKeyPath(kSettingsVersionBase, version));
    if (copied) MarkCopied(m_root, kSettingsShortNameTree);
  }
  if (!copied) AfxMessageBox(kSettingsCopyFailedMessage, MB_OK);
  return copied;
}

float CRegistryMigrator::FindNewestVersion(HKEY root, const char* base) const {
  for (float version : kKnownVersions) {
    if (KeyExists(root, VersionKeyPath(base, version))) return version;
  }
  return -1.0f;
}

bool CRegistryMigrator::CopyTree(HKEY root, const char* source, const char* destination) {
  m_root = root;
  m_source = source;
  m_destination = destination;
  return CopyKey(root, source, CString());
}

bool CRegistryMigrator::CopyKey(HKEY parent, const char* name, const CString& relative) {
  CopyValues(Join(m_source, relative), Join(m_destination, relative));
  CRegKey key;
  if (key.Open(parent, name, KEY_READ) != ERROR_SUCCESS) return false;
  char sub[257];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof sub;
    const LONG r = ::RegEnumKeyExA(key.GetHandle(), index, sub, &length, nullptr, nullptr,
                                   nullptr, nullptr);
    if (r == ERROR_NO_MORE_ITEMS) break;
    // A name too long for the buffer cannot be opened by it either.
    if (r != ERROR_SUCCESS) continue;
    CopyKey(key.GetHandle(), sub, Join(relative, sub));
  }
  return true;
}

bool CRegistryMigrator::CopyValues(const CString& source, const CString& destination) {
  CRegKey to;
  if (to.Create(m_root, destination, KEY_WRITE) != ERROR_SUCCESS) return false;
  CRegKey from;
  if (from.Open(m_root, source, KEY_READ) != ERROR_SUCCESS) return false;
  // One buffer for the longest name and one for the largest value, so that
  // no value is too large to be copied.
  DWORD longestName = 0, largestData = 0;
  if (::RegQueryInfoKeyA(from.GetHandle(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, &longestName, &largestData, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  std::vector<char> name(longestName + 1);
  std::vector<BYTE> data(largestData + 1);
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size());
    const LONG r = ::RegEnumValueA(from.GetHandle(), index, name.data(), &nameLength, nullptr,
                                   &type, data.data(), &size);
    if (r == ERROR_NO_MORE_ITEMS) break;
    // A value that grew since the key was measured, or that cannot be read,
    // is left behind; the others are still copied.
    if (r != ERROR_SUCCESS) continue;
    ::RegSetValueExA(to.GetHandle(), name.data(), 0, type, data.data(), size);
  }
  return true;
}

bool CRegistryMigrator::KeyExists(HKEY root, const char* path) const {
  return CRegKey(root, path).IsOpen();
}

bool CRegistryMigrator::IsMarkedCopied(HKEY root, const char* path) const {
  DWORD marker = 0;
  return CRegKey(root, path).QueryDWORD(kSettingsCopiedMarker, &marker) && marker == 1;
}

bool CRegistryMigrator::MarkCopied(HKEY root, const char* path) const {
  CRegKey key;
  return key.Open(root, path, KEY_WRITE) == ERROR_SUCCESS &&
         key.SetDWORD(kSettingsCopiedMarker, 1) == ERROR_SUCCESS;
}
