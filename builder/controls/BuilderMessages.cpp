// The main frame's class and hand-over block names, and the hand-over
// table of its private messages: the commands and addresses on their way
// to the frame, each under an id that names it only in this process and
// only until the frame takes it.
#include "builder/controls/BuilderMessages.h"

#include <vector>

#include "framework/Sync.h"
#include "script/Commands.h"

const char kMainFrameClass[] = "Lumenweave3.1";
const char kHandedFileBlock[] = "FileNamePath";

namespace {

enum HandedKind { kHandedCommand, kHandedAddress };

class CHandOverTable {
 public:
  CHandOverTable() {
    // Ids that another program cannot predict: the counter mixed with a
    // key of this process's own.
    LARGE_INTEGER now = {};
    ::QueryPerformanceCounter(&now);
    m_key = static_cast<ULONG_PTR>(now.QuadPart) ^ (static_cast<ULONG_PTR>(::GetCurrentProcessId()) << 20) ^
            reinterpret_cast<ULONG_PTR>(this);
  }
  ~CHandOverTable() {
    // Addresses whose message never arrived (the window went first).
    for (const Entry& e : m_entries)
      if (e.kind == kHandedAddress) delete static_cast<CString*>(e.item);
  }

  LPARAM Add(HandedKind kind, void* item) {
    CLock lock(m_lock);
    LPARAM id = 0;
    while (id == 0 || id == -1) id = static_cast<LPARAM>((++m_count * 0x9E3779B97F4A7C15ull) ^ m_key);
    m_entries.push_back({id, kind, item});
    return id;
  }

  // The item handed over under the id as that kind, out of the table; null
  // when the table holds no such entry.
  void* Take(HandedKind kind, LPARAM id) {
    CLock lock(m_lock);
    for (size_t i = 0; i < m_entries.size(); ++i) {
      if (m_entries[i].id != id || m_entries[i].kind != kind) continue;
      void* item = m_entries[i].item;
      m_entries.erase(m_entries.begin() + static_cast<ptrdiff_t>(i));
      return item;
    }
    return nullptr;
  }

 private:
  struct Entry {
    LPARAM id;
    HandedKind kind;
    void* item;
  };
  CCriticalSection m_lock;
  std::vector<Entry> m_entries;
  unsigned long long m_count = 0;
  ULONG_PTR m_key = 0;
};

CHandOverTable& Table() {
  static CHandOverTable table;
  return table;
}

}  // namespace

bool SendCommandToFrame(HWND frame, CSceneCommand* command) {
  if (!command) return false;
  const LPARAM id = Table().Add(kHandedCommand, command);
  const bool taken = frame && ::SendMessageA(frame, WM_ADD_COMMAND, 0, id) == 1;
  // A command nobody took (no frame, or the window went) is deleted here.
  delete static_cast<CSceneCommand*>(Table().Take(kHandedCommand, id));
  return taken;
}

CSceneCommand* TakeHandedCommand(LPARAM id) {
  return static_cast<CSceneCommand*>(Table().Take(kHandedCommand, id));
}

bool PostOpenPreviewUrl(HWND window, const char* address) {
  if (!address || !window) return false;
  const LPARAM id = Table().Add(kHandedAddress, new CString(address));
  if (::PostMessageA(window, WM_OPEN_PREVIEW_URL, 0, id)) return true;
  delete static_cast<CString*>(Table().Take(kHandedAddress, id));
  return false;
}

bool TakeHandedAddress(LPARAM id, CString& address) {
  CString* handed = static_cast<CString*>(Table().Take(kHandedAddress, id));
  if (!handed) return false;
  address = *handed;
  delete handed;
  return true;
}
