// The start-up copy of earlier settings, on a private HKEY_CURRENT_USER:
// which tree is copied where, that it happens once, and that large values,
// unreadable sub-keys and failed copies are handled.
#include <gtest/gtest.h>

#include <aclapi.h>

#include <map>
#include <string>
#include <vector>

#include "builder/SettingsMigration.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"

namespace {

using lwtest::CRegKeyPath;

const std::string kBase = "Software\\Corvanta\\Screen Saver";

CRegKeyPath Key(const std::string& path) { return CRegKeyPath(HKEY_CURRENT_USER, path); }
CRegKeyPath Version(const char* text) { return Key(kBase + "\\" + text); }

struct StoredValue {
  DWORD type;
  std::vector<BYTE> data;
  bool operator==(const StoredValue& o) const { return type == o.type && data == o.data; }
};

// Every value of a key by name; empty when the key is missing.
std::map<std::string, StoredValue> Values(const CRegKeyPath& path) {
  std::map<std::string, StoredValue> values;
  HKEY key;
  if (::RegOpenKeyExA(path.Root(), path.Path().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return values;
  char name[300];
  std::vector<BYTE> data(1 << 16);
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = sizeof name, type = 0, size = static_cast<DWORD>(data.size());
    if (::RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data.data(), &size) !=
        ERROR_SUCCESS)
      break;
    values[name] = StoredValue{type, std::vector<BYTE>(data.begin(), data.begin() + size)};
  }
  ::RegCloseKey(key);
  return values;
}

// A small tree of settings: two values, a sub-key with one and a deeper
// sub-key with one, all marked with `tag`.
void MakeTree(const CRegKeyPath& key, const std::string& tag) {
  ASSERT_TRUE(key.SetText("Name", tag));
  ASSERT_TRUE(key.SetNumber("Count", 7));
  ASSERT_TRUE(key.Sub("Settings").SetText("Path", tag + "\\path"));
  ASSERT_TRUE(key.Sub("Settings\\Deeper").SetNumber("Level", 3));
}

void ExpectTree(const CRegKeyPath& key, const std::string& tag) {
  EXPECT_EQ(key.Text("Name"), tag);
  EXPECT_EQ(key.Number("Count"), 7u);
  EXPECT_EQ(key.Sub("Settings").Text("Path"), tag + "\\path");
  EXPECT_EQ(key.Sub("Settings\\Deeper").Number("Level"), 3u);
}

class MigrationTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_root.Ok()); }

  lwtest::CPrivateRegRoot m_root{HKEY_CURRENT_USER};
  lwtest::CRecordedBoxes m_boxes;
  CRegistryMigrator m_migrator;
};

TEST(MigrationPaths, VersionKeys) {
  EXPECT_STREQ(VersionKeyPath(kBase.c_str(), 4.2f), (kBase + "\\4.20").c_str());
  EXPECT_STREQ(VersionKeyPath(kBase.c_str(), 4.7f), (kBase + "\\4.70").c_str());
  EXPECT_STREQ(VersionKeyPath("B", 4.0f), "B\\4.00");
}

TEST_F(MigrationTest, NewestOlderVersionIsCopiedOnce) {
  struct Case {
    std::vector<const char*> present;
    float newest;
    const char* copied;  // null: nothing
  } cases[] = {
      {{"4.20"}, 4.2f, "4.20"},
      {{"4.00"}, 4.0f, "4.00"},
      {{"4.50", "4.20", "4.00"}, 4.5f, "4.50"},
      {{"4.70", "4.50"}, 4.7f, nullptr},
      {{"4.70"}, 4.7f, nullptr},
      {{"4.60", "3.00"}, -1.0f, nullptr},  // not known versions
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.present.front());
    Key("Software").DeleteTree();
    ASSERT_FALSE(Key("Software").Exists());
    for (const char* v : c.present) MakeTree(Version(v), v);
    EXPECT_EQ(m_migrator.FindNewestVersion(HKEY_CURRENT_USER, kBase.c_str()), c.newest);
    EXPECT_TRUE(m_migrator.MigrateOldSettings(4.7f));
    if (c.copied) {
      ExpectTree(Version("4.70"), c.copied);
      // A second start finds 4.70 and copies nothing more.
      ASSERT_TRUE(Version(c.copied).SetText("Name", "changed"));
      EXPECT_TRUE(m_migrator.MigrateOldSettings(4.7f));
      EXPECT_EQ(Version("4.70").Text("Name"), c.copied);
    } else if (c.newest == 4.7f) {
      ExpectTree(Version("4.70"), "4.70");
    } else {
      EXPECT_FALSE(Version("4.70").Exists());
    }
  }
  EXPECT_TRUE(m_boxes.texts.empty());
}

TEST_F(MigrationTest, OlderBuilderTreeGoesUnderTheCurrentVersion) {
  MakeTree(Key(kBase + "\\Lumenweave"), "builder");
  EXPECT_TRUE(m_migrator.MigrateOldSettings(4.7f));
  ExpectTree(Version("4.70").Sub("Lumenweave"), "builder");
  EXPECT_TRUE(Values(Version("4.70")).empty());
  ASSERT_TRUE(Key(kBase + "\\Lumenweave").SetText("Name", "changed"));
  EXPECT_TRUE(m_migrator.MigrateOldSettings(4.7f));
  EXPECT_EQ(Version("4.70").Sub("Lumenweave").Text("Name"), "builder");
  EXPECT_TRUE(m_boxes.texts.empty());
}

TEST_F(MigrationTest, ShortNameTreeIsCopiedOnceAndMarked) {
  const CRegKeyPath shortName = Key(kSettingsShortNameTree);
  MakeTree(shortName, "short");
  EXPECT_FALSE(m_migrator.IsMarkedCopied(HKEY_CURRENT_USER, kSettingsShortNameTree));
  EXPECT_TRUE(m_migrator.MigrateOldSettings(4.7f));
  ExpectTree(Version("4.70"), "short");
  EXPECT_EQ(shortName.Number(kSettingsCopiedMarker), 1u);
  EXPECT_TRUE(m_migrator.IsMarkedCopied(HKEY_CURRENT_USER, kSettingsShortNameTree));
  // Even with the copy gone, the marked tree is not copied again.
  ASSERT_TRUE(Version("4.70").DeleteTree());
  EXPECT_TRUE(m_migrator.MigrateOldSettings(4.7f));
  EXPECT_FALSE(Version("4.70").Exists());
  EXPECT_TRUE(m_boxes.texts.empty());
}

TEST_F(MigrationTest, VersionTreeWinsOverTheOtherTrees) {
  MakeTree(Version("4.20"), "4.20");
  MakeTree(Key(kBase + "\\Lumenweave"), "builder");
  MakeTree(Key(kSettingsShortNameTree), "short");
  EXPECT_TRUE(m_migrator.MigrateOldSettings(4.7f));
  ExpectTree(Version("4.70"), "4.20");
  EXPECT_FALSE(Version("4.70").Sub("Lumenweave").Exists());
  EXPECT_EQ(Key(kSettingsShortNameTree).Number(kSettingsCopiedMarker, 99), 99u);
}

TEST_F(MigrationTest, LargeValuesSurviveAndTheRestOfTheirKeyIsCopied) {
  const CRegKeyPath source = Version("4.20");
  std::vector<BYTE> big(5000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<BYTE>(i * 7);
  const std::string longText(1500, 'x');
  // The large ones first, so that values after them in the key's order
  // must still be copied.
  ASSERT_TRUE(source.SetValue("Blob", REG_BINARY, big.data(), static_cast<DWORD>(big.size())));
  ASSERT_TRUE(source.SetText("Long", longText));
  ASSERT_TRUE(source.SetNumber("After", 5));
  ASSERT_TRUE(source.SetText("Small", "s"));
  ASSERT_TRUE(source.Sub("Inner").SetValue("InnerBlob", REG_BINARY, big.data(), 513));
  ASSERT_TRUE(source.Sub("Inner").SetNumber("InnerAfter", 9));
  EXPECT_TRUE(m_migrator.MigrateOldSettings(4.7f));
  EXPECT_EQ(Values(Version("4.70")), Values(source));
  EXPECT_EQ(Values(Version("4.70")).size(), 4u);
  EXPECT_EQ(Values(Version("4.70").Sub("Inner")), Values(source.Sub("Inner")));
  EXPECT_EQ(Version("4.70").Sub("Inner").Number("InnerAfter"), 9u);
  EXPECT_EQ(Version("4.70").Text("Long"), longText);
}

// Denies everyone every access to a key while it lives; the owner may
// still change the key's access list, so the scope gives it back.
class CLockedKey {
 public:
  explicit CLockedKey(const CRegKeyPath& key) : m_key(key) { Set(true); }
  ~CLockedKey() { Set(false); }
  bool Ok() const { return m_ok; }

 private:
  void Set(bool locked) {
    HKEY key;
    if (::RegOpenKeyExA(m_key.Root(), m_key.Path().c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS)
      return;
    SECURITY_DESCRIPTOR sd;
    ::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    alignas(DWORD) BYTE buffer[64];
    PACL empty = reinterpret_cast<PACL>(buffer);
    ::InitializeAcl(empty, sizeof buffer, ACL_REVISION);
    // An empty access list denies everything; none allows everything.
    ::SetSecurityDescriptorDacl(&sd, TRUE, locked ? empty : nullptr, FALSE);
    m_ok = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
    ::RegCloseKey(key);
  }

  CRegKeyPath m_key;
  bool m_ok = false;
};

TEST_F(MigrationTest, UnreadableSubKeyLeavesTheOthersCopied) {
  const CRegKeyPath source = Version("4.50");
  MakeTree(source, "4.50");
  ASSERT_TRUE(source.Sub("Locked").SetNumber("Hidden", 1));
  ASSERT_TRUE(source.Sub("Later").SetNumber("Seen", 2));
  {
    CLockedKey locked(source.Sub("Locked"));
    ASSERT_TRUE(locked.Ok());
    ASSERT_FALSE(source.Sub("Locked").Exists());
    EXPECT_TRUE(m_migrator.MigrateOldSettings(4.7f));
  }
  ExpectTree(Version("4.70"), "4.50");
  EXPECT_EQ(Version("4.70").Sub("Later").Number("Seen"), 2u);
  EXPECT_EQ(Version("4.70").Sub("Locked").Number("Hidden", 0), 0u);
  EXPECT_TRUE(m_boxes.texts.empty());
}

// A migrator whose copies fail, for the failure path of the start-up.
class CFailingMigrator : public CRegistryMigrator {
 public:
  bool CopyTree(HKEY, const char* source, const char* destination) override {
    copies.push_back(std::string(source) + " -> " + destination);
    return false;
  }
  std::vector<std::string> copies;
};

TEST_F(MigrationTest, FailedCopyShowsTheMessageAndReturnsFalse) {
  struct Case {
    const char* name;
    std::string tree;
    std::string copy;
  } cases[] = {
      {"version", kBase + "\\4.20", kBase + "\\4.20 -> " + kBase + "\\4.70"},
      {"older builder", kBase + "\\Lumenweave", kBase + "\\Lumenweave -> " + kBase + "\\4.70\\Lumenweave"},
      {"short name", kSettingsShortNameTree, std::string(kSettingsShortNameTree) + " -> " + kBase + "\\4.70"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Key("Software").DeleteTree();
    ASSERT_FALSE(Key("Software").Exists());
    m_boxes.texts.clear();
    m_boxes.types.clear();
    MakeTree(Key(c.tree), "x");
    CFailingMigrator failing;
    EXPECT_FALSE(failing.MigrateOldSettings(4.7f));
    ASSERT_EQ(failing.copies.size(), 1u);
    EXPECT_EQ(failing.copies[0], c.copy);
    ASSERT_EQ(m_boxes.texts.size(), 1u);
    EXPECT_EQ(m_boxes.texts[0], "Error during copying of reg entries!");
    EXPECT_EQ(m_boxes.types[0] & (MB_ICONMASK | MB_TYPEMASK), static_cast<UINT>(MB_OK));
    // A failed copy of the short-name tree is tried again at the next start.
    EXPECT_EQ(Key(kSettingsShortNameTree).Number(kSettingsCopiedMarker, 0), 0u);
  }
}

TEST_F(MigrationTest, NothingToCopyIsNoFailure) {
  EXPECT_TRUE(m_migrator.MigrateOldSettings(4.7f));
  EXPECT_FALSE(Version("4.70").Exists());
  MakeTree(Key(kSettingsShortNameTree), "short");
  ASSERT_TRUE(Key(kSettingsShortNameTree).SetNumber(kSettingsCopiedMarker, 1));
  EXPECT_TRUE(m_migrator.MigrateOldSettings(4.7f));
  EXPECT_FALSE(Version("4.70").Exists());
  EXPECT_TRUE(m_boxes.texts.empty());
}

}  // namespace
