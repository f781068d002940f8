// The folder tree's watches: a thread for each watched folder that waits
// for the system's change notification and tells the control, which reads
// the branch again.
#include "wizards/TreeFileCtrl.h"

namespace {

// How long AddWatch waits for its thread to watch the folder, and how long
// a watch that is stopped is waited for. A thread still held by its drive
// (a network drive that is gone) is not waited for beyond that: it ends by
// itself and lets go of its record then.
constexpr DWORD kArmMilliseconds = 2000;
constexpr DWORD kStopMilliseconds = 2000;

// The watch threads of the whole process that have not ended yet.
volatile LONG g_runningWatchThreads = 0;

}  // namespace

struct CTreeFileCtrl::Watch {
  CString path;  // with a trailing backslash
  HANDLE thread = nullptr;
  HANDLE stop = nullptr;
  HANDLE armed = nullptr;  // set once the thread watches
  HWND owner = nullptr;
  int key = 0;
  volatile LONG refresh = 1;  // the owner's auto refresh, as the thread reads it
  volatile LONG holds = 2;    // the owner's and the thread's; the last deletes
  bool files = true;
  CTreeFileSystem* system = nullptr;
};

int CTreeFileCtrl::GetRunningWatchThreads() {
  return static_cast<int>(::InterlockedCompareExchange(&g_runningWatchThreads, 0, 0));
}

DWORD WINAPI CTreeFileCtrl::WatchThread(void* param) {
  // The thread uses its record only, never the control, which may be gone
  // by the time a slow drive lets the thread go on.
  auto* watch = static_cast<Watch*>(param);
  DWORD filter = FILE_NOTIFY_CHANGE_DIR_NAME;
  if (watch->files) filter |= FILE_NOTIFY_CHANGE_FILE_NAME;
  const HANDLE change = watch->system->WatchFolder(watch->path, true, filter);
  ::SetEvent(watch->armed);
  if (change && change != INVALID_HANDLE_VALUE) {
    for (;;) {
      // The stop comes first: a stopped watch tells nobody of a change.
      const HANDLE handles[2] = {watch->stop, change};
      if (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) break;
      if (::InterlockedCompareExchange(&watch->refresh, 0, 0) == 0) break;
      ::PostMessageA(watch->owner, WM_USER, static_cast<WPARAM>(watch->key), 0);
      if (!::FindNextChangeNotification(change)) break;
    }
    ::FindCloseChangeNotification(change);
  }
  ::InterlockedDecrement(&g_runningWatchThreads);
  ReleaseWatch(watch);
  return 0;
}

void CTreeFileCtrl::AddWatch(const char* path) {
  auto* watch = new Watch;
  watch->path = path;
  if (watch->path.IsEmpty() || watch->path[watch->path.GetLength() - 1] != '\\') watch->path += "\\";
  watch->owner = m_hWnd;
  watch->key = m_nextWatchKey++;
  watch->refresh = m_autoRefreshFlag;
  watch->files = m_showFiles;
  watch->system = GetTreeFileSystem();
  watch->stop = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  watch->armed = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ::InterlockedIncrement(&g_runningWatchThreads);
  watch->thread = watch->stop && watch->armed
                      ? ::CreateThread(nullptr, 0, WatchThread, watch, CREATE_SUSPENDED, nullptr)
                      : nullptr;
  if (!watch->thread) {
    ::InterlockedDecrement(&g_runningWatchThreads);
    CloseWatchHandles(watch);
    delete watch;
    return;
  }
  ::SetThreadPriority(watch->thread, THREAD_PRIORITY_IDLE);
  m_watches.Add(watch);
  ::ResumeThread(watch->thread);
  // A change made while the thread starts would go unseen: the branch was
  // read before. Wait (bounded) until the system watches the folder.
  ::WaitForSingleObject(watch->armed, kArmMilliseconds);
}

void CTreeFileCtrl::CloseWatchHandles(Watch* watch) {
  for (HANDLE* handle : {&watch->thread, &watch->stop, &watch->armed})
    if (*handle) {
      ::CloseHandle(*handle);
      *handle = nullptr;
    }
}

void CTreeFileCtrl::ReleaseWatch(Watch* watch) {
  if (::InterlockedDecrement(&watch->holds) != 0) return;
  CloseWatchHandles(watch);
  delete watch;
}

void CTreeFileCtrl::SetWatchRefresh(bool on) {
  ::InterlockedExchange(&m_autoRefreshFlag, on ? 1 : 0);
  for (int i = 0; i < m_watches.GetSize(); ++i)
    ::InterlockedExchange(&static_cast<Watch*>(m_watches.GetAt(i))->refresh, on ? 1 : 0);
}

int CTreeFileCtrl::GetWatchKey(const char* path) const {
  CString wanted(path);
  if (wanted.IsEmpty() || wanted[wanted.GetLength() - 1] != '\\') wanted += "\\";
  for (int i = 0; i < m_watches.GetSize(); ++i) {
    const auto* watch = static_cast<const Watch*>(m_watches.GetAt(i));
    if (watch->path.CompareNoCase(wanted) == 0) return watch->key;
  }
  return 0;
}

void CTreeFileCtrl::RemoveWatch(const char* path) {
  CString wanted(path);
  if (wanted.IsEmpty() || wanted[wanted.GetLength() - 1] != '\\') wanted += "\\";
  for (int i = 0; i < m_watches.GetSize(); ++i) {
    auto* watch = static_cast<Watch*>(m_watches.GetAt(i));
    if (watch->path.CompareNoCase(wanted) != 0) continue;
    ::SetEvent(watch->stop);
    ::WaitForSingleObject(watch->thread, kStopMilliseconds);
    m_watches.RemoveAt(i);
    ReleaseWatch(watch);
    return;
  }
}

void CTreeFileCtrl::StopAllWatches() {
  const int count = m_watches.GetSize();
  for (int i = 0; i < count; ++i) ::SetEvent(static_cast<Watch*>(m_watches.GetAt(i))->stop);
  if (count > 0) {
    HANDLE* threads = new HANDLE[count];
    for (int i = 0; i < count; ++i) threads[i] = static_cast<Watch*>(m_watches.GetAt(i))->thread;
    WaitForAllHandles(threads, count, kStopMilliseconds);
    delete[] threads;
  }
  for (int i = 0; i < count; ++i) ReleaseWatch(static_cast<Watch*>(m_watches.GetAt(i)));
  m_watches.RemoveAll();
}

// Called when a watch thread saw its folder change: the branch is read
// again and the selection kept. A key that no watch has any more (the
// watch was removed after the thread posted) is ignored.
void CTreeFileCtrl::OnWatchNotification(int key) {
  const Watch* watch = nullptr;
  for (int i = 0; i < m_watches.GetSize() && !watch; ++i)
    if (static_cast<const Watch*>(m_watches.GetAt(i))->key == key)
      watch = static_cast<const Watch*>(m_watches.GetAt(i));
  if (!watch || !m_autoRefresh) return;
  const CString path = watch->path;
  const HTREEITEM item = FindPathItem(path);
  if (!item) return;
  SendMessage(WM_SETREDRAW, FALSE);
  m_refreshing = true;
  const Selection selection = RememberSelection();
  CString folder = path;
  if (folder.GetLength() > 3) folder = folder.Left(folder.GetLength() - 1);
  DisplayPath(folder, item);
  RestoreSelection(selection);
  m_refreshing = false;
  SendMessage(WM_SETREDRAW, TRUE);
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
}
