// Registry scopes for tests. Test programs run side by side in one Wine
// prefix, so a test never leaves the registry changed: it takes a private
// root (HKEY_CURRENT_USER or HKEY_CLASSES_ROOT of this process mapped to a
// key of its own), a scratch key removed at both ends, or a saved value or
// key that is put back as it was. Every scope cleans up in its destructor,
// so a failed assertion leaves nothing behind either.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace lwtest {

// A key named by its root and path. Each call opens the key (creating it
// when it writes) and closes it again.
class CRegKeyPath {
 public:
  CRegKeyPath(HKEY root, std::string path) : m_root(root), m_path(std::move(path)) {}

  HKEY Root() const { return m_root; }
  const std::string& Path() const { return m_path; }
  // The subkey of that name.
  CRegKeyPath Sub(const std::string& name) const { return CRegKeyPath(m_root, m_path + "\\" + name); }

  bool Exists() const;
  bool SetValue(const char* name, DWORD type, const void* data, DWORD size) const;
  bool SetNumber(const char* name, DWORD value) const;
  bool SetText(const char* name, const std::string& text) const;
  bool RemoveValue(const char* name) const;
  // The DWORD value, or `absent` when there is none of that type.
  DWORD Number(const char* name, DWORD absent = 0) const;
  // The string value; empty when there is none.
  std::string Text(const char* name) const;
  // Removes the key with everything below it.
  bool DeleteTree() const;

 private:
  HKEY m_root;
  std::string m_path;
};

// A key of the test's own: removed when the scope starts and when it ends,
// with the parent keys that the scope found missing (when they are empty
// by then).
class CScratchKey : public CRegKeyPath {
 public:
  CScratchKey(HKEY root, const std::string& path);
  ~CScratchKey();
  CScratchKey(const CScratchKey&) = delete;
  CScratchKey& operator=(const CScratchKey&) = delete;

 private:
  std::vector<std::string> m_missing;  // keys the scope found missing, deepest first
};

// One named value that the test changes and the scope puts back: the old
// data and type, or no value when there was none (and no key when the key
// was missing and is empty again).
class CSavedRegValue {
 public:
  CSavedRegValue(const CRegKeyPath& key, const char* name);
  ~CSavedRegValue();
  CSavedRegValue(const CSavedRegValue&) = delete;
  CSavedRegValue& operator=(const CSavedRegValue&) = delete;

  bool Set(DWORD type, const void* data, DWORD size) { return m_key.SetValue(m_name.c_str(), type, data, size); }
  bool SetNumber(DWORD value) { return m_key.SetNumber(m_name.c_str(), value); }
  // Null removes the value.
  bool SetText(const char* text);
  bool Remove() { return m_key.RemoveValue(m_name.c_str()); }

 private:
  CRegKeyPath m_key;
  std::string m_name;
  std::vector<std::string> m_missing;  // keys the scope found missing
  bool m_existed = false;
  DWORD m_type = 0;
  std::vector<BYTE> m_data;
};

// A whole key that the test changes: its values and subkeys are kept when
// the scope starts and put back when it ends; a key that did not exist is
// removed.
class CSavedRegKey {
 public:
  explicit CSavedRegKey(const CRegKeyPath& key);
  ~CSavedRegKey();
  CSavedRegKey(const CSavedRegKey&) = delete;
  CSavedRegKey& operator=(const CSavedRegKey&) = delete;

  struct Tree;

 private:
  CRegKeyPath m_key;
  std::vector<std::string> m_missing;  // keys the scope found missing
  std::unique_ptr<Tree> m_saved;       // null when the key did not exist
};

// This process's HKEY_CURRENT_USER or HKEY_CLASSES_ROOT mapped to a fresh
// key of its own while the scope lives, so that what the code under test
// writes there reaches no other program. One at a time for each root.
class CPrivateRegRoot {
 public:
  explicit CPrivateRegRoot(HKEY predefined);
  ~CPrivateRegRoot();
  CPrivateRegRoot(const CPrivateRegRoot&) = delete;
  CPrivateRegRoot& operator=(const CPrivateRegRoot&) = delete;

  bool Ok() const { return m_key != nullptr; }

 private:
  HKEY m_predefined;
  std::string m_path;  // under the real HKEY_CURRENT_USER
  HKEY m_key = nullptr;
};

// A private root for the whole test program, as a GoogleTest environment:
//   testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER));
class CPrivateRegRootEnvironment : public testing::Environment {
 public:
  explicit CPrivateRegRootEnvironment(HKEY predefined) : m_predefined(predefined) {}
  void SetUp() override;
  void TearDown() override { m_root.reset(); }

 private:
  HKEY m_predefined;
  std::unique_ptr<CPrivateRegRoot> m_root;
};

}  // namespace lwtest
