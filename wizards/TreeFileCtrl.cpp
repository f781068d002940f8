// The shell folder tree: listing and sorting, the drives and the network,
// paths walked to items, history, and the control's commands and keys.
// Its shell actions, drag and drop and folder watches are in
// TreeFileShell.cpp, TreeFileDragDrop.cpp and TreeFileWatches.cpp.
#include "wizards/TreeFileCtrl.h"

#include <mbstring.h>
#include <cstring>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winnetwk.h>

#include "common/Paths.h"
#include "framework/App.h"
#include "framework/Files.h"
#include "framework/Seams.h"
#include "wizards/WizardToolsResource.h"

namespace {

// How long a list of drives waits, in all, for the shell's looks of its
// drives; a drive that has not answered by then shows by its root.
constexpr DWORD kDriveLookMilliseconds = 1000;

// The tree's posted request to delete an item whose folder has vanished,
// carrying the item's key (WM_USER is the watch threads').
constexpr UINT kDeleteVanishedItem = WM_USER + 1;

// The drive probes of the whole process that have not ended yet.
volatile LONG g_runningDriveProbes = 0;

CTreeFileSystem g_systemTreeFileSystem;
CTreeFileSystem* g_treeFileSystem = &g_systemTreeFileSystem;

// The shell's small-icon list, shared by every tree and never destroyed:
// the system owns it.
HIMAGELIST SystemImageList() {
  static HIMAGELIST list = nullptr;
  if (!list) {
    char temp[MAX_PATH] = "";
    ::GetTempPathA(sizeof temp, temp);
    temp[3] = 0;  // the drive's root
    SHFILEINFOA info = {};
    list = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(
        temp, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  }
  return list;
}

int CompareNoCase(const char* a, const char* b) {
  return _mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b));
}

CString JoinPath(const CString& folder, const char* name) {
  if (!folder.IsEmpty() && folder[folder.GetLength() - 1] == '\\') return folder + name;
  return folder + "\\" + name;
}

int IconIndex(const char* path, bool open) {
  SHFILEINFOA info = {};
  UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
  if (open) flags |= SHGFI_OPENICON;
  if (!::SHGetFileInfoA(path, 0, &info, sizeof info, flags)) return 0;
  return info.iIcon;
}

// The icon and name of a special folder (My Computer, the network).
bool SpecialFolder(int csidl, CString& name, int& icon, int& openIcon) {
  LPITEMIDLIST pidl = nullptr;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl) return false;
  SHFILEINFOA info = {};
  const auto path = reinterpret_cast<const char*>(pidl);
  ::SHGetFileInfoA(path, 0, &info, sizeof info,
                   SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  name = info.szDisplayName;
  icon = info.iIcon;
  ::SHGetFileInfoA(path, 0, &info, sizeof info,
                   SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
  openIcon = info.iIcon;
  ::CoTaskMemFree(pidl);
  return true;
}

// The two spellings name one folder, with or without a final backslash.
bool IsSameFolder(const char* a, const char* b) {
  CString x(a), y(b);
  for (CString* t : {&x, &y})
    if (t->GetLength() > 3 && (*t)[t->GetLength() - 1] == '\\') *t = t->Left(t->GetLength() - 1);
  return x.CompareNoCase(y) == 0;
}

// A drive's look without asking the drive: its root as the name and the
// shell's icons for a folder.
void PlainDriveLook(const char* root, CDriveLook* look) {
  look->name[0] = 0;
  SHFILEINFOA info = {};
  const UINT flags = SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
  look->icon = ::SHGetFileInfoA(root, FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags) ? info.iIcon : 0;
  look->openIcon = ::SHGetFileInfoA(root, FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags | SHGFI_OPENICON)
                       ? info.iIcon
                       : 0;
}

// One drive's look, asked of the shell on a thread of its own so that a
// drive that does not answer holds up no window. The lister and the thread
// each hold the probe; whichever lets go last deletes it, so a lister that
// stops waiting leaves the thread everything it still uses.
struct DriveProbe {
  volatile LONG holds = 2;
  CTreeFileSystem* system = nullptr;
  char root[4] = {};
  CDriveLook look = {};
  HANDLE done = nullptr;  // set once the look is in
  HANDLE thread = nullptr;
};

void ReleaseProbe(DriveProbe* probe) {
  if (::InterlockedDecrement(&probe->holds) != 0) return;
  for (HANDLE handle : {probe->done, probe->thread})
    if (handle) ::CloseHandle(handle);
  delete probe;
}

DWORD WINAPI DriveProbeThread(void* param) {
  auto* probe = static_cast<DriveProbe*>(param);
  const HRESULT com = ::CoInitialize(nullptr);
  probe->system->GetDriveLook(probe->root, &probe->look);
  if (SUCCEEDED(com)) ::CoUninitialize();
  ::SetEvent(probe->done);
  ::InterlockedDecrement(&g_runningDriveProbes);
  ReleaseProbe(probe);
  return 0;
}

// A running probe of the root, or null when none could be started.
DriveProbe* StartDriveProbe(CTreeFileSystem* system, const char* root) {
  auto* probe = new DriveProbe;
  probe->system = system;
  lstrcpynA(probe->root, root, sizeof probe->root);
  probe->done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ::InterlockedIncrement(&g_runningDriveProbes);
  probe->thread = probe->done ? ::CreateThread(nullptr, 0, DriveProbeThread, probe, 0, nullptr) : nullptr;
  if (probe->thread) return probe;
  ::InterlockedDecrement(&g_runningDriveProbes);
  probe->holds = 1;
  ReleaseProbe(probe);
  return nullptr;
}

CString WideToAnsi(const wchar_t* text) {
  if (!text) return CString();
  char buffer[MAX_PATH * 2] = "";
  ::WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

}  // namespace

// ---------------------------------------------------------------------------
// The seam and the share list

DWORD CTreeFileSystem::GetLogicalDrives() { return ::GetLogicalDrives(); }

UINT CTreeFileSystem::GetDriveType(const char* root) { return ::GetDriveTypeA(root); }

bool CTreeFileSystem::GetVolumeSerial(const char* root, DWORD* serial) {
  return ::GetVolumeInformationA(root, nullptr, 0, serial, nullptr, nullptr, nullptr, 0) != FALSE;
}

void CTreeFileSystem::GetDriveLook(const char* root, CDriveLook* look) {
  SHFILEINFOA info = {};
  look->name[0] = 0;
  if (::SHGetFileInfoA(root, 0, &info, sizeof info, SHGFI_DISPLAYNAME))
    lstrcpynA(look->name, info.szDisplayName, sizeof look->name);
  look->icon = IconIndex(root, false);
  look->openIcon = IconIndex(root, true);
}

HANDLE CTreeFileSystem::WatchFolder(const char* path, bool subtree, DWORD filter) {
  return ::FindFirstChangeNotificationA(path, subtree, filter);
}

namespace {
using NetShareEnumProc = DWORD(WINAPI*)(LPWSTR, DWORD, LPBYTE*, DWORD, LPDWORD, LPDWORD, LPDWORD);
using NetApiBufferFreeProc = DWORD(WINAPI*)(LPVOID);

// The network library, loaded when the shares are first listed and kept
// for the program's life.
HMODULE NetworkLibrary() {
  static HMODULE library = ::LoadLibraryA("NETAPI32.dll");
  return library;
}
}  // namespace

bool CTreeFileSystem::EnumShares(SHARE_INFO_502** records, DWORD* count) {
  *records = nullptr;
  *count = 0;
  const HMODULE library = NetworkLibrary();
  if (!library) return false;
  const auto enumerate =
      reinterpret_cast<NetShareEnumProc>(::GetProcAddress(library, "NetShareEnum"));
  if (!enumerate) return false;
  LPBYTE buffer = nullptr;
  DWORD read = 0, total = 0, resume = 0;
  if (enumerate(nullptr, 502, &buffer, MAX_PREFERRED_LENGTH, &read, &total, &resume) != 0) {
    FreeShares(reinterpret_cast<SHARE_INFO_502*>(buffer));
    return false;
  }
  *records = reinterpret_cast<SHARE_INFO_502*>(buffer);
  *count = read;
  return true;
}

void CTreeFileSystem::FreeShares(SHARE_INFO_502* records) {
  if (!records) return;
  const HMODULE library = NetworkLibrary();
  const auto release = library ? reinterpret_cast<NetApiBufferFreeProc>(
                                     ::GetProcAddress(library, "NetApiBufferFree"))
                               : nullptr;
  if (release) release(records);
}

CTreeFileSystem* GetTreeFileSystem() { return g_treeFileSystem; }

CTreeFileSystem* SetTreeFileSystem(CTreeFileSystem* system) {
  CTreeFileSystem* previous = g_treeFileSystem == &g_systemTreeFileSystem ? nullptr : g_treeFileSystem;
  g_treeFileSystem = system ? system : &g_systemTreeFileSystem;
  return previous;
}

void CShareEnumerator::Enumerate() {
  SHARE_INFO_502* records = nullptr;
  DWORD count = 0;
  if (!g_treeFileSystem->EnumShares(&records, &count)) {
    Load(nullptr, 0);
    return;
  }
  Load(records, count);
  g_treeFileSystem->FreeShares(records);
}

void CShareEnumerator::Load(const SHARE_INFO_502* records, DWORD count) {
  m_paths.RemoveAll();
  m_types.RemoveAll();
  for (DWORD i = 0; records && i < count; ++i) {
    m_paths.Add(WideToAnsi(records[i].shi502_path));
    m_types.Add(reinterpret_cast<void*>(static_cast<UINT_PTR>(records[i].shi502_type)));
  }
}

bool CShareEnumerator::IsShared(const char* path) const {
  for (int i = 0; i < m_paths.GetSize(); ++i) {
    const DWORD type = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(m_types.GetAt(i)));
    // Disk and print shares only; special (administrative) shares carry a
    // flag in the type and are not the user's.
    if ((type == STYPE_DISKTREE || type == STYPE_PRINTQ) && !m_paths[i].IsEmpty() &&
        m_paths[i].CompareNoCase(path) == 0)
      return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Waiting

bool WaitForAllHandles(const HANDLE* handles, int count, DWORD timeout) {
  // The system waits for at most MAXIMUM_WAIT_OBJECTS handles at a time;
  // the batches share one time limit.
  const DWORD start = ::GetTickCount();
  for (int first = 0; first < count; first += MAXIMUM_WAIT_OBJECTS) {
    const int n = count - first < MAXIMUM_WAIT_OBJECTS ? count - first : MAXIMUM_WAIT_OBJECTS;
    DWORD left = INFINITE;
    if (timeout != INFINITE) {
      const DWORD waited = ::GetTickCount() - start;
      left = waited < timeout ? timeout - waited : 0;
    }
    const DWORD r = ::WaitForMultipleObjects(static_cast<DWORD>(n), handles + first, TRUE, left);
    if (r == WAIT_TIMEOUT || r == WAIT_FAILED) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Sorting

void QuickSortStrings(CStringArray& items, int (*compare)(const char*, const char*), int low,
                      int high) {
  if (high < 0) high = items.GetSize() - 1;
  while (!items.IsEmpty() && high - low >= 1) {
    if (high - low == 1) {
      if (compare(items[high], items[low]) < 0) {
        const CString t = items[low];
        items[low] = items[high];
        items[high] = t;
      }
      return;
    }
    const int middle = (low + high) / 2;
    CString t = items[low];
    items[low] = items[middle];
    items[middle] = t;
    int boundary = low;
    for (int i = low + 1; i <= high; ++i) {
      if (compare(items[i], items[low]) <= 0) {
        ++boundary;
        t = items[i];
        items[i] = items[boundary];
        items[boundary] = t;
      }
    }
    t = items[low];
    items[low] = items[boundary];
    items[boundary] = t;
    QuickSortStrings(items, compare, low, boundary - 1);
    low = boundary + 1;
  }
}

// ---------------------------------------------------------------------------
// Items

CTreeFileCtrl::CTreeFileCtrl() = default;

CTreeFileCtrl::~CTreeFileCtrl() { StopAllWatches(); }

int CTreeFileCtrl::GetRunningDriveProbes() {
  return static_cast<int>(::InterlockedCompareExchange(&g_runningDriveProbes, 0, 0));
}

void CTreeFileCtrl::PreSubclassWindow() {
  m_shares.Enumerate();
  const HINSTANCE instance = ::GetModuleHandleA(nullptr);
  m_copyRefusedCursor = ::LoadCursorA(instance, MAKEINTRESOURCEA(IDC_TREE_COPY_REFUSED));
  m_copyCursor = ::LoadCursorA(instance, MAKEINTRESOURCEA(IDC_TREE_COPY));
  m_moveRefusedCursor = ::LoadCursorA(instance, MAKEINTRESOURCEA(IDC_TREE_MOVE_REFUSED));
  m_moveCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  if (!m_networkImages.GetSafeHandle())
    m_networkImages.Create(IDB_TREE_NETWORK, 16, 1, RGB(255, 0, 255), instance);
}

HCURSOR CTreeFileCtrl::GetDragCursor(bool copy, bool allowed) const {
  HCURSOR cursor = copy ? (allowed ? m_copyCursor : m_copyRefusedCursor)
                        : (allowed ? m_moveCursor : m_moveRefusedCursor);
  // A module without the drawn cursors still shows what a drop would do.
  if (!cursor) cursor = ::LoadCursorA(nullptr, allowed ? IDC_ARROW : IDC_NO);
  return cursor;
}

CTreeFileCtrl::ItemData* CTreeFileCtrl::Data(HTREEITEM item) const {
  if (!item || item == TVI_ROOT || !m_hWnd) return nullptr;
  TVITEMA tv = {};
  tv.mask = TVIF_PARAM | TVIF_HANDLE;
  tv.hItem = item;
  if (!::SendMessageA(m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return nullptr;
  return reinterpret_cast<ItemData*>(tv.lParam);
}

CString CTreeFileCtrl::GetItemText(HTREEITEM item) const {
  char text[MAX_PATH] = "";
  TVITEMA tv = {};
  tv.mask = TVIF_TEXT | TVIF_HANDLE;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = sizeof text;
  ::SendMessageA(m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  return text;
}

bool CTreeFileCtrl::ItemHasChildren(HTREEITEM item) const {
  TVITEMA tv = {};
  tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
  tv.hItem = item;
  ::SendMessageA(m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  return tv.cChildren != 0;
}

bool CTreeFileCtrl::Expand(HTREEITEM item, UINT code) {
  return ::SendMessageA(m_hWnd, TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)) != 0;
}

void CTreeFileCtrl::SetChildrenFlag(HTREEITEM item, bool children) {
  if (!item || item == TVI_ROOT) return;
  TVITEMA tv = {};
  tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
  tv.hItem = item;
  tv.cChildren = children ? 1 : 0;
  ::SendMessageA(m_hWnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
}

HTREEITEM CTreeFileCtrl::InsertItem(HTREEITEM parent, ItemData* data, const char* text, int image,
                                    int selectedImage, bool children, bool shared) {
  TVINSERTSTRUCTA insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask =
      TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
  insert.item.pszText = const_cast<char*>(text);
  insert.item.lParam = reinterpret_cast<LPARAM>(data);
  insert.item.iImage = image;
  insert.item.iSelectedImage = selectedImage;
  insert.item.cChildren = children ? 1 : 0;
  if (shared && m_showSharedOverlay) {
    insert.item.state = INDEXTOOVERLAYMASK(1);
    insert.item.stateMask = TVIS_OVERLAYMASK;
  }
  if (data) data->key = m_nextItemKey++;
  const auto item = reinterpret_cast<HTREEITEM>(
      ::SendMessageA(m_hWnd, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!item) delete data;
  return item;
}

CString CTreeFileCtrl::DisplayName(const CString& path, const CString& name, bool file) const {
  if (m_nameMode == 0 && file) {
    const int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
  }
  if (m_nameMode == 2) {
    char title[MAX_PATH] = "";
    if (::GetFileTitleA(path, title, sizeof title) == 0 && title[0]) return title;
  }
  return name;
}

HTREEITEM CTreeFileCtrl::InsertPathItem(HTREEITEM parent, const CString& path, const CString& name,
                                        bool children) {
  auto* data = new ItemData;
  data->path = path;
  data->name = name;
  const bool file = IsFile(path);
  const CString text = DisplayName(path, name, file);
  data->extensionHidden = file && text != name;
  const bool shared = !file && IsShared(path);
  return InsertItem(parent, data, text, IconIndex(path, false), IconIndex(path, true), children,
                    shared);
}

void CTreeFileCtrl::DeleteChildren(HTREEITEM item) {
  HTREEITEM child = Tree(TVGN_CHILD, item);
  while (child) {
    const HTREEITEM next = Tree(TVGN_NEXT, child);
    ::SendMessageA(m_hWnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child));
    child = next;
  }
}

void CTreeFileCtrl::SelectItem(HTREEITEM item) {
  ::SendMessageA(m_hWnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

// ---------------------------------------------------------------------------
// Path tests

bool CTreeFileCtrl::IsFile(const char* path) const {
  const DWORD a = ::GetFileAttributesA(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CTreeFileCtrl::IsFolder(const char* path) const {
  const DWORD a = ::GetFileAttributesA(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CTreeFileCtrl::IsDrive(const char* path) const {
  return path && lstrlenA(path) == 3 && path[1] == ':' && path[2] == '\\';
}

bool CTreeFileCtrl::IsCompressed(const char* path) const {
  const DWORD a = ::GetFileAttributesA(path);
  return !IsDrive(path) && a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_COMPRESSED);
}

bool CTreeFileCtrl::IsEncrypted(const char* path) const {
  const DWORD a = ::GetFileAttributesA(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_ENCRYPTED);
}

bool CTreeFileCtrl::IsShared(const char* path) const { return m_shares.IsShared(path); }

bool CTreeFileCtrl::IsRemovableOrCD(const char* path) const {
  if (!IsDrive(path)) return false;
  const UINT type = g_treeFileSystem->GetDriveType(path);
  return type == DRIVE_REMOVABLE || type == DRIVE_CDROM;
}

bool CTreeFileCtrl::IsFileShown(const WIN32_FIND_DATAA& entry) const {
  return m_showFiles && !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(entry.dwFileAttributes & m_fileHideAttributes);
}

bool CTreeFileCtrl::IsFolderEntry(const WIN32_FIND_DATAA& entry) const {
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && lstrcmpA(entry.cFileName, ".") != 0 &&
         lstrcmpA(entry.cFileName, "..") != 0;
}

bool CTreeFileCtrl::IsDriveShown(const char* root) const {
  DWORD bit = 0;
  switch (g_treeFileSystem->GetDriveType(root)) {
    case DRIVE_REMOVABLE: bit = 1; break;
    case DRIVE_FIXED: bit = 2; break;
    case DRIVE_REMOTE: bit = 4; break;
    case DRIVE_CDROM: bit = 16; break;
    case DRIVE_RAMDISK: bit = 32; break;
    default: return true;
  }
  return (m_driveHideFlags & bit) == 0;
}

bool CTreeFileCtrl::CanWatch(const char* path) const { return IsFolder(path); }

bool CTreeFileCtrl::HasChildren(const char* path) const {
  if (IsRemovableOrCD(path)) return true;
  const CString folder(path);
  WIN32_FIND_DATAA entry;
  HANDLE find = ::FindFirstFileA(JoinPath(folder, "*.*"), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    bool found = false;
    do found = IsFolderEntry(entry);
    while (!found && ::FindNextFileA(find, &entry));
    ::FindClose(find);
    if (found) return true;
  }
  if (!m_showFiles) return false;
  find = ::FindFirstFileA(JoinPath(folder, m_fileMask), &entry);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do found = IsFileShown(entry);
  while (!found && ::FindNextFileA(find, &entry));
  ::FindClose(find);
  return found;
}

// ---------------------------------------------------------------------------
// Filling

void CTreeFileCtrl::DisplayPath(const char* path, HTREEITEM parent) {
  DeleteChildren(parent);
  const CString folder(path);
  CStringArray folders, files;
  WIN32_FIND_DATAA entry;
  HANDLE find = ::FindFirstFileA(JoinPath(folder, "*.*"), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do
      if (IsFolderEntry(entry))
        folders.Add(OpenableFoundName(entry.cFileName, entry.cAlternateFileName));
    while (::FindNextFileA(find, &entry));
    ::FindClose(find);
  }
  find = ::FindFirstFileA(JoinPath(folder, m_fileMask), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do
      if (IsFileShown(entry)) files.Add(OpenableFoundName(entry.cFileName, entry.cAlternateFileName));
    while (::FindNextFileA(find, &entry));
    ::FindClose(find);
  }
  QuickSortStrings(folders, CompareNoCase);
  QuickSortStrings(files, CompareNoCase);
  for (int i = 0; i < folders.GetSize(); ++i) {
    const CString child = JoinPath(folder, folders[i]);
    InsertPathItem(parent, child, folders[i], HasChildren(child));
  }
  for (int i = 0; i < files.GetSize(); ++i)
    InsertPathItem(parent, JoinPath(folder, files[i]), files[i], false);
  if (folders.IsEmpty() && files.IsEmpty()) SetChildrenFlag(parent, false);
}

void CTreeFileCtrl::DisplayDrives(HTREEITEM parent) {
  // Nothing here reads a drive on this thread: a drive gets its button
  // without being looked into, and the shell's looks of all drives are
  // asked side by side on threads of their own, waited for a bounded time.
  const DWORD drives = g_treeFileSystem->GetLogicalDrives();
  char roots[26][4];
  DriveProbe* probes[26];
  HANDLE done[26];
  int count = 0, waiting = 0;
  for (int bit = 0; bit < 26; ++bit) {
    if (!(drives & (1u << bit))) continue;
    char* root = roots[count];
    root[0] = static_cast<char>('A' + bit);
    root[1] = ':';
    root[2] = '\\';
    root[3] = 0;
    if (!IsDriveShown(root)) continue;
    probes[count] = StartDriveProbe(g_treeFileSystem, root);
    if (probes[count]) done[waiting++] = probes[count]->done;
    ++count;
  }
  if (waiting > 0)
    ::WaitForMultipleObjects(static_cast<DWORD>(waiting), done, TRUE, kDriveLookMilliseconds);
  for (int i = 0; i < count; ++i) {
    CDriveLook look = {};
    if (probes[i] && ::WaitForSingleObject(probes[i]->done, 0) == WAIT_OBJECT_0)
      look = probes[i]->look;
    else
      PlainDriveLook(roots[i], &look);
    if (probes[i]) ReleaseProbe(probes[i]);
    auto* data = new ItemData;
    data->path = roots[i];
    data->name = roots[i];
    InsertItem(parent, data, look.name[0] ? look.name : roots[i], look.icon, look.openIcon, true,
               IsShared(roots[i]));
  }
}

void CTreeFileCtrl::EnumNetwork(HTREEITEM item) {
  const ItemData* data = Data(item);
  NETRESOURCEA below = {};
  HANDLE enumeration = nullptr;
  DWORD result;
  if (item == m_networkNode) {
    result = ::WNetOpenEnumA(RESOURCE_CONTEXT, RESOURCETYPE_ANY, 0, nullptr, &enumeration);
  } else {
    below.dwScope = RESOURCE_GLOBALNET;
    below.dwUsage = RESOURCEUSAGE_CONTAINER;
    below.lpRemoteName = data ? const_cast<char*>(static_cast<const char*>(data->path)) : nullptr;
    result = ::WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0, &below, &enumeration);
  }
  if (result != NO_ERROR) return;
  DWORD size = 16384;
  char* buffer = new char[size];
  for (;;) {
    DWORD count = static_cast<DWORD>(-1);
    DWORD bytes = size;
    result = ::WNetEnumResourceA(enumeration, &count, buffer, &bytes);
    if (result == ERROR_MORE_DATA) {
      delete[] buffer;
      size *= 2;
      buffer = new char[size];
      continue;
    }
    if (result != NO_ERROR) break;
    const auto* records = reinterpret_cast<const NETRESOURCEA*>(buffer);
    for (DWORD i = 0; i < count; ++i) {
      const NETRESOURCEA& r = records[i];
      CString text = r.lpRemoteName && *r.lpRemoteName ? r.lpRemoteName : (r.lpComment ? r.lpComment : "");
      for (int k = 0; k < 2 && text.GetLength() > 0 && text[0] == '\\'; ++k) text = text.Mid(1);
      auto* child = new ItemData;
      child->path = r.lpRemoteName ? r.lpRemoteName : "";
      child->network = 1;
      child->displayType = r.dwDisplayType;
      if (r.dwDisplayType == RESOURCEDISPLAYTYPE_SHARE) {
        const int slash = text.Find('\\');
        child->name = slash >= 0 ? text.Mid(slash + 1) : text;
        InsertItem(item, child, text, IconIndex(child->path, false), IconIndex(child->path, true),
                   true, false);
      } else {
        child->name = text;
        InsertItem(item, child, text, 0, 0, true, false);
      }
    }
  }
  delete[] buffer;
  ::WNetCloseEnum(enumeration);
}

void CTreeFileCtrl::SetShowFiles(bool show) {
  m_showFiles = show;
  if (m_hWnd) Refresh();
}

void CTreeFileCtrl::AttachSystemImageList() {
  if (HIMAGELIST list = SystemImageList())
    ::SendMessageA(m_hWnd, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(list));
  Refresh();
}

void CTreeFileCtrl::Refresh() {
  HCURSOR previousCursor = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
  SendMessage(WM_SETREDRAW, FALSE);
  m_refreshing = true;
  const Selection selection = RememberSelection();
  m_shares.Enumerate();
  StopAllWatches();
  ::SendMessageA(m_hWnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  m_networkNode = m_myComputerNode = m_rootNode = nullptr;
  m_back.RemoveAll();
  m_forward.RemoveAll();

  if (!m_rootFolder.IsEmpty()) {
    DisplayPath(m_rootFolder, TVI_ROOT);
    if (CanWatch(m_rootFolder)) AddWatch(m_rootFolder);
  } else {
    CString name;
    int icon = 0, openIcon = 0;
    if (m_showMyComputer) {
      if (!SpecialFolder(CSIDL_DRIVES, name, icon, openIcon)) name = "My Computer";
      m_myComputerNode = InsertItem(TVI_ROOT, new ItemData, name, icon, openIcon, true, false);
    } else {
      DisplayDrives(TVI_ROOT);
    }
    if (m_showNetwork) {
      if (!SpecialFolder(CSIDL_NETWORK, name, icon, openIcon)) name = "Network";
      auto* data = new ItemData;
      data->network = 1;
      m_networkNode = InsertItem(TVI_ROOT, data, name, icon, openIcon, true, false);
    }
  }
  RestoreSelection(selection);
  m_refreshing = false;
  SendMessage(WM_SETREDRAW, TRUE);
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  ::SetCursor(previousCursor);
}

// ---------------------------------------------------------------------------
// Paths and items

CTreeFileCtrl::Selection CTreeFileCtrl::RememberSelection() const {
  Selection selection;
  const HTREEITEM selected = GetSelectedItem();
  if (!selected) return selection;
  selection.path = GetItemPath(selected);
  selection.expanded = (::SendMessageA(m_hWnd, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(selected),
                                       TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
  return selection;
}

void CTreeFileCtrl::RestoreSelection(const Selection& selection) {
  if (!selection.path.IsEmpty()) SetSelectedPath(selection.path, selection.expanded);
}

CString CTreeFileCtrl::GetItemPath(HTREEITEM item) const {
  const ItemData* data = Data(item);
  return data ? data->path : CString();
}

CString CTreeFileCtrl::GetSelectedPath() const { return GetItemPath(GetSelectedItem()); }

HTREEITEM CTreeFileCtrl::FindChild(HTREEITEM parent, const char* name) const {
  for (HTREEITEM child = Tree(TVGN_CHILD, parent); child; child = Tree(TVGN_NEXT, child)) {
    const ItemData* data = Data(child);
    if (data && data->name.CompareNoCase(name) == 0) return child;
  }
  return nullptr;
}

bool CTreeFileCtrl::PathParts(const char* pathText, CStringArray& parts) const {
  CString path(pathText);
  if (path.GetLength() > 3 && path[path.GetLength() - 1] == '\\') path = path.Left(path.GetLength() - 1);
  int start = 0;
  if (!m_rootFolder.IsEmpty()) {
    // Below the root folder: the names after it.
    CString root = m_rootFolder;
    if (root[root.GetLength() - 1] == '\\') root = root.Left(root.GetLength() - 1);
    if (path.GetLength() <= root.GetLength() || path.Left(root.GetLength()).CompareNoCase(root) != 0 ||
        path[root.GetLength()] != '\\')
      return false;
    start = root.GetLength() + 1;
  } else if (path.GetLength() >= 2 && path[1] == ':') {
    // A drive keeps its backslash, as the drive items are named.
    parts.Add(path.Left(path.GetLength() >= 3 ? 3 : 2));
    start = 3;
  }
  while (start < path.GetLength()) {
    int end = path.Find('\\', start);
    if (end < 0) end = path.GetLength();
    if (end > start) parts.Add(path.Mid(start, end - start));
    start = end + 1;
  }
  return true;
}

void CTreeFileCtrl::Fill(HTREEITEM item) {
  if (Tree(TVGN_CHILD, item) || !ItemHasChildren(item)) return;
  const CString folder = GetItemPath(item);
  if (IsFolder(folder)) DisplayPath(folder, item);
}

void CTreeFileCtrl::FillAndExpand(HTREEITEM item) {
  Fill(item);
  Expand(item, TVE_EXPAND);
}

HTREEITEM CTreeFileCtrl::SetSelectedPath(const char* pathText, bool expand) {
  if (!m_hWnd || !pathText || !*pathText) return nullptr;
  CStringArray parts;
  if (!PathParts(pathText, parts)) return nullptr;
  HTREEITEM current = TVI_ROOT;
  if (m_rootFolder.IsEmpty() && m_myComputerNode) {
    current = m_myComputerNode;
    if (!Tree(TVGN_CHILD, current)) DisplayDrives(current);
    Expand(current, TVE_EXPAND);
  }
  SendMessage(WM_SETREDRAW, FALSE);
  const bool bareDrive = m_rootFolder.IsEmpty() && parts.GetSize() == 1 && IsDrive(parts[0]);
  HTREEITEM found = nullptr;
  for (int i = 0; i < parts.GetSize(); ++i) {
    if (current != TVI_ROOT) Fill(current);
    found = FindChild(current, parts[i]);
    if (!found) break;
    const bool last = i == parts.GetSize() - 1;
    if (!last && !bareDrive) {
      SelectItem(found);
      FillAndExpand(found);
    }
    current = found;
  }
  if (found) {
    SelectItem(found);
    if (expand) FillAndExpand(found);
    ::SendMessageA(m_hWnd, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(found));
  }
  SendMessage(WM_SETREDRAW, TRUE);
  return found;
}

HTREEITEM CTreeFileCtrl::FindPathItem(const char* pathText) {
  if (!pathText || !*pathText) return nullptr;
  if (!m_rootFolder.IsEmpty() && IsSameFolder(pathText, m_rootFolder)) return TVI_ROOT;
  CStringArray parts;
  if (!PathParts(pathText, parts)) return nullptr;
  HTREEITEM current = m_rootFolder.IsEmpty() && m_myComputerNode ? m_myComputerNode : TVI_ROOT;
  for (int i = 0; i < parts.GetSize() && current; ++i) current = FindChild(current, parts[i]);
  return current;
}

// ---------------------------------------------------------------------------
// History

void CTreeFileCtrl::PushHistory(CPtrArray& history, HTREEITEM item) {
  if (!item) return;
  while (history.GetSize() > 0 && history.GetSize() >= m_maxHistory) history.RemoveAt(0);
  history.Add(item);
}

void CTreeFileCtrl::DropFromHistories(HTREEITEM item) {
  for (CPtrArray* history : {&m_back, &m_forward})
    for (int i = history->GetSize() - 1; i >= 0; --i)
      if (history->GetAt(i) == item) history->RemoveAt(i);
}

void CTreeFileCtrl::Navigate(CPtrArray& from, CPtrArray& to) {
  if (from.IsEmpty()) return;
  const HTREEITEM previous = GetSelectedItem();
  const auto item = static_cast<HTREEITEM>(from.GetAt(from.GetSize() - 1));
  from.RemoveAt(from.GetSize() - 1);
  m_navigating = true;
  SelectItem(item);
  ::SendMessageA(m_hWnd, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
  m_navigating = false;
  PushHistory(to, previous);
}

void CTreeFileCtrl::GoBack() { Navigate(m_back, m_forward); }

void CTreeFileCtrl::GoForward() { Navigate(m_forward, m_back); }

void CTreeFileCtrl::SetMaxHistory(int count) {
  m_maxHistory = count;
  for (CPtrArray* history : {&m_back, &m_forward})
    while (history->GetSize() > count && history->GetSize() > 0) history->RemoveAt(0);
}

void CTreeFileCtrl::UpOneLevel() {
  const HTREEITEM parent = GetParentItem(GetSelectedItem());
  if (parent) SelectItem(parent);
}

// ---------------------------------------------------------------------------
// Notifications, keys and commands

void CTreeFileCtrl::OnExpanding(NMTREEVIEWA* tv, LRESULT* result) {
  const HTREEITEM item = tv->itemNew.hItem;
  const ItemData* data = Data(item);
  const CString path = data ? data->path : CString();
  if (tv->action & TVE_COLLAPSE) {
    if (IsDrive(path)) RemoveWatch(path);
    return;
  }
  if (Tree(TVGN_CHILD, item)) return;
  HCURSOR previousCursor = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
  if (IsRemovableOrCD(path)) {
    DWORD serial = 0;
    if (!g_treeFileSystem->GetVolumeSerial(path, &serial)) {
      // No medium: the button stays for the next try.
      *result = TRUE;
      ::SetCursor(previousCursor);
      return;
    }
  }
  if (item == m_myComputerNode) {
    DisplayDrives(item);
  } else if (item == m_networkNode || (data && data->network && data->displayType != RESOURCEDISPLAYTYPE_SHARE)) {
    EnumNetwork(item);
  } else if (!path.IsEmpty() && IsFolder(path)) {
    DisplayPath(path, item);
    if (m_autoRefresh && IsDrive(path)) AddWatch(path);
  } else if (!path.IsEmpty()) {
    const HTREEITEM parent = GetParentItem(item);
    ::SendMessageA(m_hWnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    if (parent && !Tree(TVGN_CHILD, parent)) SetChildrenFlag(parent, false);
    *result = TRUE;
  }
  ::SetCursor(previousCursor);
}

void CTreeFileCtrl::OnSelChanged(NMTREEVIEWA* tv) {
  if (m_refreshing) return;
  const HTREEITEM item = tv->itemNew.hItem;
  if (!item) return;
  const ItemData* data = Data(item);
  const bool known = item == m_networkNode || item == m_myComputerNode || (data && data->network) ||
                     (data && (IsFolder(data->path) || IsFile(data->path)));
  if (!known) {
    // The folder has vanished. The item goes once the tree is done with
    // the selection; the request names it by its key, so that an item
    // that went meanwhile (a refresh, a collapse) is not looked for.
    if (data) ::PostMessageA(m_hWnd, kDeleteVanishedItem, static_cast<WPARAM>(data->key), 0);
    return;
  }
  if (!m_navigating && tv->itemOld.hItem) PushHistory(m_back, tv->itemOld.hItem);
  OnSelectionChanged(item);
}

HTREEITEM CTreeFileCtrl::FindItemByKey(HTREEITEM parent, int key) const {
  for (HTREEITEM child = Tree(TVGN_CHILD, parent); child; child = Tree(TVGN_NEXT, child)) {
    const ItemData* data = Data(child);
    if (data && data->key == key) return child;
    if (const HTREEITEM found = FindItemByKey(child, key)) return found;
  }
  return nullptr;
}

// Called for the request OnSelChanged posted: the vanished item goes, and
// a parent left without children loses its button.
void CTreeFileCtrl::OnDeleteVanishedItem(int key) {
  const HTREEITEM item = FindItemByKey(TVI_ROOT, key);
  const ItemData* data = Data(item);
  if (!data || IsFolder(data->path) || IsFile(data->path)) return;
  const HTREEITEM parent = GetParentItem(item);
  ::SendMessageA(m_hWnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
  if (parent && !Tree(TVGN_CHILD, parent)) SetChildrenFlag(parent, false);
}

void CTreeFileCtrl::OnCommandId(UINT id) {
  const HTREEITEM selected = GetSelectedItem();
  if (!IsCommandEnabled(id)) return;
  switch (id) {
    case ID_TREE_UPONELEVEL: UpOneLevel(); break;
    case ID_TREE_OPEN: Open(selected); break;
    case ID_TREE_DELETE: Delete(selected); break;
    case ID_TREE_RENAME: Rename(selected); break;
    case ID_TREE_PROPERTIES: ShowProperties(selected); break;
    case ID_TREE_REFRESH: Refresh(); break;
    case ID_TREE_BACK: GoBack(); break;
    case ID_TREE_FORWARD: GoForward(); break;
    default: break;
  }
}

bool CTreeFileCtrl::IsCommandEnabled(UINT id) const {
  const HTREEITEM selected = GetSelectedItem();
  const ItemData* data = Data(selected);
  const bool network = data && data->network;
  const bool drive = data && IsDrive(data->path);
  // Network items open only as servers and shares.
  const bool openable = !network || (data && (data->displayType == RESOURCEDISPLAYTYPE_SERVER ||
                                             data->displayType == RESOURCEDISPLAYTYPE_SHARE));
  switch (id) {
    case ID_TREE_UPONELEVEL: return selected && GetParentItem(selected);
    case ID_TREE_OPEN: return m_allowOpen && selected && openable;
    case ID_TREE_DELETE: return m_allowDelete && selected && !drive && !network;
    case ID_TREE_RENAME: return m_allowRename && selected && !drive && !network;
    case ID_TREE_PROPERTIES: return m_allowProperties && selected && openable;
    case ID_TREE_REFRESH: return true;
    case ID_TREE_BACK: return CanGoBack();
    case ID_TREE_FORWARD: return CanGoForward();
    default: return false;
  }
}

// Called for Shift+F10 and the menu key: the parent is asked for a context
// menu at the centre of the selected item, as a right click there would.
void CTreeFileCtrl::RequestContextMenu() {
  const HTREEITEM selected = GetSelectedItem();
  if (!selected) return;
  RECT r = {};
  *reinterpret_cast<HTREEITEM*>(&r) = selected;
  if (!::SendMessageA(m_hWnd, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r))) return;
  POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ::ClientToScreen(m_hWnd, &centre);
  ::SendMessageA(::GetParent(m_hWnd), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd),
                 MAKELPARAM(centre.x, centre.y));
}

bool CTreeFileCtrl::OnKey(UINT vk) {
  const bool alt = ::GetKeyState(VK_MENU) < 0;
  if ((vk == VK_F10 && ::GetKeyState(VK_SHIFT) < 0) || vk == VK_APPS) {
    RequestContextMenu();
    return true;
  }
  UINT command = 0;
  switch (vk) {
    case VK_RETURN: command = alt ? ID_TREE_PROPERTIES : ID_TREE_OPEN; break;
    case VK_DELETE: command = ID_TREE_DELETE; break;
    case VK_F2: command = ID_TREE_RENAME; break;
    case VK_F5: command = ID_TREE_REFRESH; break;
    case VK_BACK: command = ID_TREE_UPONELEVEL; break;
    case VK_LEFT: command = alt ? ID_TREE_BACK : 0; break;
    case VK_RIGHT: command = alt ? ID_TREE_FORWARD : 0; break;
    case VK_ESCAPE:
      if (!IsDragging()) return false;
      EndDrag(true);
      return true;
    default: break;
  }
  if (!command) return false;
  ::PostMessageA(m_hWnd, WM_COMMAND, command, 0);
  return true;
}

bool CTreeFileCtrl::OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
  if (msg != WM_NOTIFY) return false;
  auto* hdr = reinterpret_cast<NMHDR*>(lp);
  auto* tv = reinterpret_cast<NMTREEVIEWA*>(lp);
  switch (hdr->code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW:
      *result = FALSE;
      OnExpanding(tv, result);
      return true;
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW:
      // A collapsed branch is read again when it opens next.
      if (tv->action & TVE_COLLAPSE) {
        const ItemData* data = Data(tv->itemNew.hItem);
        const bool keep = !(data && data->network && data->displayType != RESOURCEDISPLAYTYPE_SHARE);
        DeleteChildren(tv->itemNew.hItem);
        SetChildrenFlag(tv->itemNew.hItem, keep || tv->itemNew.hItem == m_networkNode);
        TVITEMA item = {};
        item.mask = TVIF_STATE | TVIF_HANDLE;
        item.hItem = tv->itemNew.hItem;
        item.stateMask = TVIS_EXPANDEDONCE;
        ::SendMessageA(m_hWnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      }
      *result = 0;
      return true;
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
      OnSelChanged(tv);
      *result = 0;
      return true;
    case TVN_BEGINDRAGA:
    case TVN_BEGINDRAGW:
      BeginDrag(tv);
      *result = 0;
      return true;
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW:
      DropFromHistories(tv->itemOld.hItem);
      delete reinterpret_cast<ItemData*>(tv->itemOld.lParam);
      *result = 0;
      return true;
    case TVN_BEGINLABELEDITA: {
      const ItemData* data = Data(reinterpret_cast<NMTVDISPINFOA*>(lp)->item.hItem);
      *result = !m_allowRename || !data || data->network || IsDrive(data->path);
      return true;
    }
    case TVN_ENDLABELEDITA: {
      const auto* info = reinterpret_cast<NMTVDISPINFOA*>(lp);
      ItemData* data = Data(info->item.hItem);
      *result = FALSE;
      if (!info->item.pszText || !data) return true;
      CString parent = GetFileDirectory(data->path);
      CString target = parent + info->item.pszText;
      if (data->extensionHidden) {
        const int dot = data->name.ReverseFind('.');
        if (dot >= 0) target += data->name.Mid(dot);
      }
      char from[MAX_PATH + 2] = {}, to[MAX_PATH + 2] = {};
      lstrcpynA(from, data->path, MAX_PATH);
      lstrcpynA(to, target, MAX_PATH);
      SHFILEOPSTRUCTA op = {};
      op.hwnd = m_hWnd;
      op.wFunc = FO_RENAME;
      op.pFrom = from;
      op.pTo = to;
      op.fFlags = FOF_ALLOWUNDO;
      SetWatchRefresh(false);
      const int failed = ::SHFileOperationA(&op);
      SetWatchRefresh(m_autoRefresh);
      if (failed || op.fAnyOperationsAborted) return true;
      data->path = target;
      data->name = GetFileName(target);
      TVITEMA item = {};
      item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
      item.hItem = info->item.hItem;
      item.pszText = info->item.pszText;
      item.iImage = IconIndex(target, false);
      item.iSelectedImage = IconIndex(target, true);
      ::SendMessageA(m_hWnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      return true;
    }
    case NM_DBLCLK: {
      TVHITTESTINFO hit = {};
      ::GetCursorPos(&hit.pt);
      ::ScreenToClient(m_hWnd, &hit.pt);
      const auto item = reinterpret_cast<HTREEITEM>(
          ::SendMessageA(m_hWnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      if (item && item == GetSelectedItem() && !ItemHasChildren(item))
        ::PostMessageA(m_hWnd, WM_COMMAND, ID_TREE_OPEN, 0);
      *result = 0;
      return true;
    }
    case NM_CUSTOMDRAW: {
      auto* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(lp);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        *result = CDRF_NOTIFYITEMDRAW;
        return true;
      }
      const ItemData* data = reinterpret_cast<const ItemData*>(draw->nmcd.lItemlParam);
      if (draw->nmcd.dwDrawStage == CDDS_ITEMPOSTPAINT) {
        DrawNetworkImage(draw->nmcd.hdc, reinterpret_cast<HTREEITEM>(draw->nmcd.dwItemSpec), data);
        *result = CDRF_DODEFAULT;
        return true;
      }
      *result = CDRF_DODEFAULT;
      if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return true;
      if (!(draw->nmcd.uItemState & CDIS_SELECTED) && data && !data->path.IsEmpty() && !data->network) {
        if (m_showCompressed && IsCompressed(data->path))
          draw->clrText = m_compressedColour;
        else if (m_showEncrypted && IsEncrypted(data->path))
          draw->clrText = m_encryptedColour;
      }
      if (data && data->network && data->displayType != RESOURCEDISPLAYTYPE_SHARE &&
          draw->nmcd.dwItemSpec != reinterpret_cast<DWORD_PTR>(m_networkNode))
        *result = CDRF_NOTIFYPOSTPAINT;
      return true;
    }
    default:
      return false;
  }
}

void CTreeFileCtrl::DrawNetworkImage(HDC dc, HTREEITEM item, const ItemData* data) {
  if (!data || !m_networkImages.GetSafeHandle()) return;
  RECT row = {};
  std::memcpy(&row, &item, sizeof item);  // the item goes in the rectangle
  if (!::SendMessageA(m_hWnd, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&row))) return;
  // The icon's left edge: walk the row until the hit lands on the icon.
  TVHITTESTINFO hit = {};
  hit.pt.y = (row.top + row.bottom) / 2;
  int left = -1;
  for (int x = row.left; x < row.right; ++x) {
    hit.pt.x = x;
    ::SendMessageA(m_hWnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.flags & TVHT_ONITEMICON) {
      left = x;
      break;
    }
  }
  if (left < 0) return;
  int image = 1;
  switch (data->displayType) {
    case RESOURCEDISPLAYTYPE_DOMAIN: image = 0; break;
    case RESOURCEDISPLAYTYPE_SERVER: image = 3; break;
    case RESOURCEDISPLAYTYPE_ROOT: image = 2; break;
    default: break;
  }
  const int top = row.top + (row.bottom - row.top - 16) / 2;
  RECT square = {left, top, left + 16, top + 16};
  ::FillRect(dc, &square, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  m_networkImages.Draw(dc, image, CPoint(left, top), ILD_TRANSPARENT);
}

LRESULT CTreeFileCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_USER:
      OnWatchNotification(static_cast<int>(wp));
      return 0;
    case kDeleteVanishedItem:
      OnDeleteVanishedItem(static_cast<int>(wp));
      return 0;
    case WM_COMMAND:
      if (lp == 0 && wp >= ID_TREE_UPONELEVEL && wp <= ID_TREE_FORWARD) {
        OnCommandId(static_cast<UINT>(LOWORD(wp)));
        return 0;
      }
      break;
    case WM_INITMENUPOPUP: {
      const HMENU menu = reinterpret_cast<HMENU>(wp);
      for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        const UINT id = ::GetMenuItemID(menu, i);
        if (id >= ID_TREE_UPONELEVEL && id <= ID_TREE_FORWARD)
          ::EnableMenuItem(menu, i, MF_BYPOSITION | (IsCommandEnabled(id) ? MF_ENABLED : MF_GRAYED));
      }
      return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (!::SendMessageA(m_hWnd, TVM_GETEDITCONTROL, 0, 0) && OnKey(static_cast<UINT>(wp))) return 0;
      break;
    default:
      break;
  }
  return CControl::WindowProc(msg, wp, lp);
}

void CTreeFileCtrl::OnDestroy() {
  if (IsDragging()) EndDrag(true);
  StopAllWatches();
  m_refreshing = true;
  ::SendMessageA(m_hWnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  m_networkNode = m_myComputerNode = m_rootNode = nullptr;
  CControl::OnDestroy();
}
