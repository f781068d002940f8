// Files for tests: whole files read and written at once, paths in the
// temporary folder, and temporary folders that go with everything in them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lwtest {

using Bytes = std::vector<uint8_t>;

// The file's bytes; empty when it cannot be opened or read whole.
Bytes ReadAll(const std::string& path);
// The file's lines, each without its '\n'; a last line without one is left
// out (a writer may not have finished it).
std::vector<std::string> ReadLines(const std::string& path);
// Writes the file anew; false when it cannot be made or written whole.
bool WriteAll(const std::string& path, const Bytes& bytes);

bool FileExists(const std::string& path);

// Names outside the code page: an ASCII path widened, and whole files
// written and read by wide names.
std::wstring Widen(const std::string& ascii);
bool WriteAllWide(const std::wstring& path, const Bytes& bytes);
Bytes ReadAllWide(const std::wstring& path);

// The name in the system's temporary folder. Test programs run side by
// side: a name that several programs use should hold the process id.
std::string TempPath(const std::string& name);

// Removes the folder and everything below it; a missing folder is fine.
void RemoveTree(const std::string& folder);

// The names of the files (not folders) in the folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);

// What is wrong with the page that a Help command handed the shell: it
// must be "Help\" and a page name in the running program's folder (the
// builder opens its pages beside itself), and that page must be in the
// built help folder `helpFolder` (the builder's own "Help"), not empty.
// "" when all is well.
std::string HelpPageFault(const std::string& opened, const std::string& helpFolder);

// A folder of the test's own in the temporary folder, "<name><pid>\",
// made empty at the start and removed with its contents at the end.
class CTempFolder {
 public:
  explicit CTempFolder(const std::string& name);
  ~CTempFolder();
  CTempFolder(const CTempFolder&) = delete;
  CTempFolder& operator=(const CTempFolder&) = delete;

  // The folder, with a trailing backslash.
  const std::string& Path() const { return m_path; }
  // A file in the folder.
  std::string File(const std::string& name) const { return m_path + name; }

 private:
  std::string m_path;
};

}  // namespace lwtest
