// Linked into each carried program by its build rule (lw_carried_program in
// the top CMakeLists.txt): replaces two parts of the C++ runtime that cost
// more than they do.
// - The verbose terminate handler, whose demangler costs about 70 KB.
// - The record of each thread's exceptions being handled (the ABI's
//   __cxa_get_globals): the runtime keeps it in emulated thread-local
//   storage, which links the threads library (about 25 KB). Here it lives
//   in a fiber-local slot of the system, freed when its thread ends.

#include <windows.h>

#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace __cxxabiv1 {

struct __cxa_eh_globals;

namespace {

// The ABI's record: the exceptions caught and not yet finished with, and
// how many are thrown and not yet caught.
struct CThreadExceptions {
  void* caught;
  unsigned int uncaught;
};

// For a thread whose own record cannot be made (no memory): shared, but
// never null.
CThreadExceptions g_sparedExceptions;
// FLS_OUT_OF_INDEXES until the first use; 0 is a slot too, so the slot is
// kept plus one.
LONG g_exceptionsSlot = 0;

void WINAPI FreeThreadExceptions(void* record) {
  if (record) ::HeapFree(::GetProcessHeap(), 0, record);
}

DWORD ExceptionsSlot() {
  LONG kept = __atomic_load_n(&g_exceptionsSlot, __ATOMIC_ACQUIRE);
  if (kept != 0) return static_cast<DWORD>(kept - 1);
  const DWORD made = ::FlsAlloc(&FreeThreadExceptions);
  LONG expected = 0;
  // Another thread may have taken one meanwhile: that one is kept.
  if (__atomic_compare_exchange_n(&g_exceptionsSlot, &expected, static_cast<LONG>(made + 1), false,
                                  __ATOMIC_ACQ_REL, __ATOMIC_ACQUIRE))
    return made;
  if (made != FLS_OUT_OF_INDEXES) ::FlsFree(made);
  return static_cast<DWORD>(expected - 1);
}

}  // namespace

// Called as exceptions are thrown and caught: the thread's last error stays
// what the failure that threw left.
extern "C" __cxa_eh_globals* __cxa_get_globals_fast() noexcept {
  const DWORD error = ::GetLastError();
  const DWORD slot = ExceptionsSlot();
  void* record = slot == FLS_OUT_OF_INDEXES ? &g_sparedExceptions : ::FlsGetValue(slot);
  if (!record) {
    record = ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(CThreadExceptions));
    if (!record || !::FlsSetValue(slot, record)) {
      FreeThreadExceptions(record);
      record = &g_sparedExceptions;
    }
  }
  ::SetLastError(error);
  return static_cast<__cxa_eh_globals*>(record);
}

extern "C" __cxa_eh_globals* __cxa_get_globals() noexcept { return __cxa_get_globals_fast(); }

}  // namespace __cxxabiv1
