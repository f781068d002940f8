// A system function that this test program imports, replaced for the
// life of a scope: the program's import slots that name the function (in
// any library) point to the replacement, which a test uses to count the
// calls its code makes, and then calls the original. Only calls made from
// this program's own code are seen, not those a system library makes.
#pragma once

namespace lwtest {

class CImportPatch {
 public:
  CImportPatch(const char* name, void* replacement);
  ~CImportPatch();
  CImportPatch(const CImportPatch&) = delete;
  CImportPatch& operator=(const CImportPatch&) = delete;

  // True when at least one slot was replaced.
  bool Patched() const { return m_count > 0; }
  // The function the slots held.
  void* Original() const { return m_original; }

 private:
  static constexpr int kMaxSlots = 8;
  void** m_slots[kMaxSlots] = {};
  int m_count = 0;
  void* m_original = nullptr;
};

}  // namespace lwtest
