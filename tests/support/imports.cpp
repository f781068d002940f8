#include "tests/support/imports.h"

#include <windows.h>

#include <cstring>

namespace lwtest {

namespace {

void SetSlot(void** slot, void* value) {
  DWORD old = 0;
  ::VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old);
  *slot = value;
  ::VirtualProtect(slot, sizeof(void*), old, &old);
}

}  // namespace

CImportPatch::CImportPatch(const char* name, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.VirtualAddress) return;
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
    if (!d->OriginalFirstThunk) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0 || m_count == kMaxSlots)
        continue;
      void** slot = reinterpret_cast<void**>(&slots->u1.Function);
      if (!m_original) m_original = *slot;
      m_slots[m_count++] = slot;
      SetSlot(slot, replacement);
    }
  }
}

CImportPatch::~CImportPatch() {
  for (int i = 0; i < m_count; ++i) SetSlot(m_slots[i], m_original);
}

}  // namespace lwtest
