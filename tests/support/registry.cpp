// Registry scopes for tests.
#include "tests/support/registry.h"

#include <utility>

namespace lwtest {

namespace {

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  ::RegCloseKey(key);
  return true;
}

// The keys of the path, from the first missing one down to the path
// itself, deepest first: what writing to the path would create.
std::vector<std::string> MissingKeys(HKEY root, const std::string& path) {
  std::vector<std::string> missing;
  size_t end = path.size();
  for (;;) {
    const std::string key = path.substr(0, end);
    if (KeyExists(root, key)) break;
    missing.push_back(key);
    end = key.rfind('\\');
    if (end == std::string::npos || end == 0) break;
  }
  return missing;
}

// Removes the keys (deepest first) that hold no values and no subkeys.
void RemoveEmptyKeys(HKEY root, const std::vector<std::string>& keys) {
  for (const std::string& path : keys) {
    HKEY key;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    DWORD subkeys = 1, values = 1;
    ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                       nullptr, nullptr, nullptr, nullptr);
    ::RegCloseKey(key);
    if (subkeys != 0 || values != 0) return;
    ::RegDeleteKeyA(root, path.c_str());
  }
}

}  // namespace

// ---------------------------------------------------------------------------

bool CRegKeyPath::Exists() const { return KeyExists(m_root, m_path); }

bool CRegKeyPath::SetValue(const char* name, DWORD type, const void* data, DWORD size) const {
  HKEY key;
  if (::RegCreateKeyExA(m_root, m_path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
    return false;
  const LONG r = ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  ::RegCloseKey(key);
  return r == ERROR_SUCCESS;
}

bool CRegKeyPath::SetNumber(const char* name, DWORD value) const {
  return SetValue(name, REG_DWORD, &value, sizeof value);
}

bool CRegKeyPath::SetText(const char* name, const std::string& text) const {
  return SetValue(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool CRegKeyPath::RemoveValue(const char* name) const {
  HKEY key;
  if (::RegOpenKeyExA(m_root, m_path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
  const LONG r = ::RegDeleteValueA(key, name);
  ::RegCloseKey(key);
  return r == ERROR_SUCCESS;
}

DWORD CRegKeyPath::Number(const char* name, DWORD absent) const {
  DWORD value = 0, size = sizeof value;
  if (::RegGetValueA(m_root, m_path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS)
    return absent;
  return value;
}

std::string CRegKeyPath::Text(const char* name) const {
  DWORD size = 0;
  if (::RegGetValueA(m_root, m_path.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
          ERROR_SUCCESS ||
      size == 0)
    return std::string();
  std::string text(size, '\0');
  if (::RegGetValueA(m_root, m_path.c_str(), name, RRF_RT_REG_SZ, nullptr, &text[0], &size) !=
      ERROR_SUCCESS)
    return std::string();
  text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
  return text;
}

bool CRegKeyPath::DeleteTree() const {
  return ::RegDeleteTreeA(m_root, m_path.c_str()) == ERROR_SUCCESS;
}

// ---------------------------------------------------------------------------

CScratchKey::CScratchKey(HKEY root, const std::string& path)
    : CRegKeyPath(root, path), m_missing(MissingKeys(root, path)) {
  DeleteTree();
}

CScratchKey::~CScratchKey() {
  DeleteTree();
  RemoveEmptyKeys(Root(), m_missing);
}

// ---------------------------------------------------------------------------

CSavedRegValue::CSavedRegValue(const CRegKeyPath& key, const char* name)
    : m_key(key), m_name(name), m_missing(MissingKeys(key.Root(), key.Path())) {
  HKEY k;
  if (::RegOpenKeyExA(key.Root(), key.Path().c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
  DWORD size = 0;
  if (::RegQueryValueExA(k, name, nullptr, &m_type, nullptr, &size) == ERROR_SUCCESS) {
    m_data.resize(size);
    m_existed = ::RegQueryValueExA(k, name, nullptr, &m_type, m_data.data(), &size) == ERROR_SUCCESS;
    m_data.resize(size);
  }
  ::RegCloseKey(k);
}

CSavedRegValue::~CSavedRegValue() {
  if (m_existed) {
    m_key.SetValue(m_name.c_str(), m_type, m_data.data(), static_cast<DWORD>(m_data.size()));
    return;
  }
  m_key.RemoveValue(m_name.c_str());
  RemoveEmptyKeys(m_key.Root(), m_missing);
}

bool CSavedRegValue::SetText(const char* text) {
  if (!text) return Remove();
  return m_key.SetText(m_name.c_str(), text);
}

// ---------------------------------------------------------------------------

struct CSavedRegKey::Tree {
  struct Value {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
  };
  std::vector<Value> values;
  std::vector<std::pair<std::string, Tree>> subkeys;

  // Reads the open key and everything below it.
  void Read(HKEY key) {
    DWORD subkeyCount = 0, maxSubkey = 0, valueCount = 0, maxName = 0, maxData = 0;
    if (::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeyCount, &maxSubkey, nullptr,
                           &valueCount, &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS)
      return;
    for (DWORD i = 0; i < valueCount; ++i) {
      std::string name(maxName + 1, '\0');
      Value v;
      v.data.resize(maxData);
      DWORD nameSize = maxName + 1, dataSize = maxData;
      if (::RegEnumValueA(key, i, &name[0], &nameSize, nullptr, &v.type, v.data.data(), &dataSize) !=
          ERROR_SUCCESS)
        continue;
      v.name = name.substr(0, nameSize);
      v.data.resize(dataSize);
      values.push_back(std::move(v));
    }
    for (DWORD i = 0; i < subkeyCount; ++i) {
      std::string name(maxSubkey + 1, '\0');
      DWORD nameSize = maxSubkey + 1;
      if (::RegEnumKeyExA(key, i, &name[0], &nameSize, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS)
        continue;
      name.resize(nameSize);
      HKEY sub;
      if (::RegOpenKeyExA(key, name.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
      subkeys.emplace_back(name, Tree());
      subkeys.back().second.Read(sub);
      ::RegCloseKey(sub);
    }
  }

  // Writes what was read into the key at path, creating it.
  void Write(HKEY root, const std::string& path) const {
    HKEY key;
    if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      return;
    for (const Value& v : values)
      ::RegSetValueExA(key, v.name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    ::RegCloseKey(key);
    for (const auto& sub : subkeys) sub.second.Write(root, path + "\\" + sub.first);
  }
};

CSavedRegKey::CSavedRegKey(const CRegKeyPath& key)
    : m_key(key), m_missing(MissingKeys(key.Root(), key.Path())) {
  HKEY k;
  if (::RegOpenKeyExA(key.Root(), key.Path().c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
  m_saved.reset(new Tree);
  m_saved->Read(k);
  ::RegCloseKey(k);
}

CSavedRegKey::~CSavedRegKey() {
  m_key.DeleteTree();
  if (m_saved)
    m_saved->Write(m_key.Root(), m_key.Path());
  else
    RemoveEmptyKeys(m_key.Root(), m_missing);
}

// ---------------------------------------------------------------------------

CPrivateRegRoot::CPrivateRegRoot(HKEY predefined) : m_predefined(predefined) {
  static int count = 0;
  m_path = "Software\\LumenweavePrivate" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(++count);
  ::RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &m_key, nullptr) != ERROR_SUCCESS) {
    m_key = nullptr;
    return;
  }
  if (::RegOverridePredefKey(predefined, m_key) != ERROR_SUCCESS) {
    ::RegCloseKey(m_key);
    m_key = nullptr;
    ::RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
  }
}

CPrivateRegRoot::~CPrivateRegRoot() {
  if (!m_key) return;
  ::RegOverridePredefKey(m_predefined, nullptr);
  ::RegCloseKey(m_key);
  ::RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
}

void CPrivateRegRootEnvironment::SetUp() {
  m_root.reset(new CPrivateRegRoot(m_predefined));
  ASSERT_TRUE(m_root->Ok()) << "no private registry root";
}

}  // namespace lwtest
