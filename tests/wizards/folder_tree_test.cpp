// The shell folder tree on a fixture root folder: folders before files,
// each sorted without regard to case, hidden and system files left out,
// paths selected and read back, back and forward, a branch read again when
// its folder changes, change notifications keyed by their watch, every
// watch thread ended when the window goes, the drive types and the shares
// through the seam, shares read from their typed records, the network
// pictures and the drag cursors.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <vector>

#include "framework/Sync.h"
#include "framework/Wnd.h"
#include "tests/support/files.h"
#include "tests/support/message_sequence.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/screen.h"
#include "wizards/TreeFileCtrl.h"
#include "wizards/WizardToolsResource.h"

namespace {

class CShotsEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&init);
    ::CreateDirectoryA(LW_BUILD_DIR "/screenshots", nullptr);
  }
};
testing::Environment* const g_environment = testing::AddGlobalTestEnvironment(new CShotsEnvironment);

// Drives C: (fixed) and Z: (removable), those the test adds, and the
// shares the test sets. A drive's look or a folder's watch can be held, as
// a network drive that is gone holds the shell, until the test releases it.
class CFakeSystem : public CTreeFileSystem {
 public:
  DWORD GetLogicalDrives() override { return drives; }
  UINT GetDriveType(const char* root) override {
    if (root[0] == 'Z') return DRIVE_REMOVABLE;
    return root[0] == remoteDrive ? DRIVE_REMOTE : DRIVE_FIXED;
  }
  bool EnumShares(SHARE_INFO_502** records, DWORD* count) override {
    *records = shares.empty() ? nullptr : shares.data();
    *count = static_cast<DWORD>(shares.size());
    return true;
  }
  void FreeShares(SHARE_INFO_502*) override {}
  bool GetVolumeSerial(const char* root, DWORD* serial) override {
    ++mediaChecks;
    *serial = 0x1234;
    return root[0] != 'Z';  // no medium in the removable drive
  }
  void GetDriveLook(const char* root, CDriveLook* look) override {
    if (root[0] == remoteDrive) Hold();
    CTreeFileSystem::GetDriveLook(root, look);
  }
  // A held watch gets, once released, a real handle that has a change to
  // tell: the folder `changes` gets a new folder.
  HANDLE WatchFolder(const char* path, bool subtree, DWORD filter) override {
    if (path[0] != remoteDrive) return CTreeFileSystem::WatchFolder(path, subtree, filter);
    Hold();
    const HANDLE change = CTreeFileSystem::WatchFolder(changes.c_str(), false, FILE_NOTIFY_CHANGE_DIR_NAME);
    ::CreateDirectoryA((changes + "\\x" + std::to_string(++made)).c_str(), nullptr);
    return change;
  }
  void AddRemoteDrive(char letter) {
    remoteDrive = letter;
    drives |= 1u << (letter - 'A');
  }

  DWORD drives = (1u << 2) | (1u << 25);
  char remoteDrive = 0;
  int mediaChecks = 0;
  std::vector<SHARE_INFO_502> shares;
  std::string changes;
  CEvent release{false, true};
  std::atomic<int> holding{0};
  std::atomic<int> made{0};

 private:
  void Hold() {
    ++holding;
    release.Wait(20000);
    --holding;
  }
};

SHARE_INFO_502 Share(const wchar_t* name, DWORD type, const wchar_t* path) {
  SHARE_INFO_502 record = {};
  record.shi502_netname = const_cast<wchar_t*>(name);
  record.shi502_type = type;
  record.shi502_path = const_cast<wchar_t*>(path);
  return record;
}

// The centre of the item's label, in the tree's client coordinates.
POINT ItemCentre(HWND tree, HTREEITEM item) {
  RECT r = {};
  *reinterpret_cast<HTREEITEM*>(&r) = item;
  ::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class FolderTree : public testing::Test {
 protected:
  void SetUp() override {
    previous = SetTreeFileSystem(&system);
    for (const char* dir : {"beta", "Alpha", "gamma", "Hidden", "beta\\deep", "onlyfiles"})
      ASSERT_TRUE(::CreateDirectoryA(root.File(dir).c_str(), nullptr)) << dir;
    ::SetFileAttributesA(root.File("Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    for (const char* file : {"b.txt", "A.txt", "c.TXT", "hidden.txt", "sys.txt", "onlyfiles\\f.txt"})
      ASSERT_TRUE(lwtest::WriteAll(root.File(file), {1})) << file;
    ::SetFileAttributesA(root.File("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesA(root.File("sys.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(host.CreateEx(0, CWnd::RegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW),
                                                         reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)),
                              "Folders", WS_POPUP | WS_CAPTION | WS_VISIBLE, 40, 40, 320, 420, nullptr, 0));
  }
  void TearDown() override {
    // No thread may still be inside the fake when it goes.
    system.release.SetEvent();
    tree.DestroyWindow();
    EXPECT_TRUE(lwtest::PumpUntil([&] {
      return system.holding == 0 && CTreeFileCtrl::GetRunningWatchThreads() == 0 &&
             CTreeFileCtrl::GetRunningDriveProbes() == 0;
    }, 30000));
    host.DestroyWindow();
    SetTreeFileSystem(previous);
    for (const char* file : {"Hidden", "hidden.txt", "sys.txt"})
      ::SetFileAttributesA(root.File(file).c_str(), FILE_ATTRIBUTE_NORMAL);
  }

  // Makes the tree over the fixture root (or the drives when rootFolder
  // is empty).
  void MakeTree(bool files, const std::string& rootFolder) {
    const HWND hwnd = ::CreateWindowExA(
        0, WC_TREEVIEWA, "",
        WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
            TVS_SHOWSELALWAYS,
        0, 0, 300, 380, host.GetSafeHwnd(), reinterpret_cast<HMENU>(100), ::GetModuleHandleA(nullptr),
        nullptr);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(tree.SubclassWindow(hwnd));
    tree.m_rootFolder = rootFolder.c_str();
    tree.m_nameMode = 1;
    tree.m_showNetwork = false;
    tree.m_showFiles = files;
    tree.AttachSystemImageList();
  }
  std::string Root() const {
    std::string r = root.Path();
    r.pop_back();
    return r;
  }
  std::vector<std::string> Children(HTREEITEM parent) {
    std::vector<std::string> names;
    for (HTREEITEM i = tree.GetChildItem(parent); i; i = tree.GetNextSiblingItem(i))
      names.push_back(tree.GetItemText(i).GetString());
    return names;
  }

  lwtest::CTempFolder root{"foldertree"};
  CFakeSystem system;
  CTreeFileSystem* previous = nullptr;
  CWnd host;
  CTreeFileCtrl tree;
  lwtest::CRecordedShell shell;
};

TEST_F(FolderTree, FoldersComeBeforeFilesEachSortedAndHiddenFilesAreLeftOut) {
  MakeTree(true, Root());
  EXPECT_EQ(Children(TVI_ROOT), (std::vector<std::string>{"Alpha", "beta", "gamma", "Hidden", "onlyfiles",
                                                          "A.txt", "b.txt", "c.TXT"}));
  lwtest::FlushEvents(100);
  lwtest::SaveWindowShot(host.GetSafeHwnd(), LW_BUILD_DIR "/screenshots/folder_tree.bmp");
}

TEST_F(FolderTree, WithFilesHiddenAFolderOfFilesHasNoExpandButton) {
  MakeTree(false, Root());
  EXPECT_EQ(Children(TVI_ROOT), (std::vector<std::string>{"Alpha", "beta", "gamma", "Hidden", "onlyfiles"}));
  const HTREEITEM onlyFiles = tree.FindPathItem((Root() + "\\onlyfiles").c_str());
  ASSERT_NE(onlyFiles, nullptr);
  EXPECT_FALSE(tree.ItemHasChildren(onlyFiles));
  EXPECT_TRUE(tree.ItemHasChildren(tree.FindPathItem((Root() + "\\beta").c_str())));
}

TEST_F(FolderTree, SelectedPathsComeBack) {
  MakeTree(false, Root());
  for (const std::string& path : {Root() + "\\beta\\deep", Root() + "\\gamma", Root() + "\\beta\\deep\\"}) {
    SCOPED_TRACE(path);
    ASSERT_NE(tree.SetSelectedPath(path.c_str(), true), nullptr);
    std::string expected = path;
    if (expected.back() == '\\') expected.pop_back();
    EXPECT_EQ(std::string(tree.GetSelectedPath()), expected);
  }
  // Outside the root folder nothing is selected.
  EXPECT_EQ(tree.SetSelectedPath("C:\\windows", false), nullptr);
  EXPECT_EQ(std::string(tree.GetSelectedPath()), Root() + "\\beta\\deep");
}

TEST_F(FolderTree, BackAndForwardRetraceTheSelections) {
  MakeTree(false, Root());
  for (const char* name : {"Alpha", "beta", "gamma"}) tree.SetSelectedPath((Root() + "\\" + name).c_str());
  tree.GoBack();
  EXPECT_EQ(std::string(tree.GetSelectedPath()), Root() + "\\beta");
  tree.GoBack();
  EXPECT_EQ(std::string(tree.GetSelectedPath()), Root() + "\\Alpha");
  EXPECT_TRUE(tree.CanGoForward());
  tree.GoForward();
  EXPECT_EQ(std::string(tree.GetSelectedPath()), Root() + "\\beta");
  // Through the control's command and keys, as the user goes back.
  ::SendMessageA(tree.GetSafeHwnd(), WM_COMMAND, ID_TREE_BACK, 0);
  EXPECT_EQ(std::string(tree.GetSelectedPath()), Root() + "\\Alpha");
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_MENU] = 0x80;
  ::SetKeyboardState(keys);
  ::SendMessageA(tree.GetSafeHwnd(), WM_SYSKEYDOWN, VK_RIGHT, 0);
  keys[VK_MENU] = 0;
  ::SetKeyboardState(keys);
  lwtest::FlushEvents(50);
  EXPECT_EQ(std::string(tree.GetSelectedPath()), Root() + "\\beta");
  // A shorter history drops the oldest entries.
  tree.SetMaxHistory(1);
  tree.GoBack();
  EXPECT_EQ(std::string(tree.GetSelectedPath()), Root() + "\\Alpha");
  EXPECT_FALSE(tree.CanGoBack());
}

TEST_F(FolderTree, OpenAndPropertiesGoToTheShellWhenAllowed) {
  MakeTree(false, Root());
  ASSERT_NE(tree.SetSelectedPath((Root() + "\\gamma").c_str()), nullptr);
  ::SendMessageA(tree.GetSafeHwnd(), WM_COMMAND, ID_TREE_OPEN, 0);
  ::SendMessageA(tree.GetSafeHwnd(), WM_COMMAND, ID_TREE_PROPERTIES, 0);
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.calls[0].file, Root() + "\\gamma");
  EXPECT_EQ(shell.calls[0].mask, ULONG(SEE_MASK_INVOKEIDLIST));
  EXPECT_EQ(shell.calls[1].verb, "properties");
  // The one-step wizard's tree allows neither.
  tree.m_allowOpen = tree.m_allowProperties = false;
  ::SendMessageA(tree.GetSafeHwnd(), WM_COMMAND, ID_TREE_OPEN, 0);
  ::SendMessageA(tree.GetSafeHwnd(), WM_COMMAND, ID_TREE_PROPERTIES, 0);
  EXPECT_EQ(shell.calls.size(), 2u);
  // Up one level selects the parent.
  ASSERT_NE(tree.SetSelectedPath((Root() + "\\beta\\deep").c_str()), nullptr);
  ::SendMessageA(tree.GetSafeHwnd(), WM_COMMAND, ID_TREE_UPONELEVEL, 0);
  EXPECT_EQ(std::string(tree.GetSelectedPath()), Root() + "\\beta");
}

TEST_F(FolderTree, NetworkPicturesAreReadyOnceTheWindowIsAttached) {
  MakeTree(false, Root());
  const HIMAGELIST network = tree.GetNetworkImageList();
  ASSERT_NE(network, nullptr);
  EXPECT_EQ(::ImageList_GetImageCount(network), 4);
  int cx = 0, cy = 0;
  ::ImageList_GetIconSize(network, &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);
}

TEST_F(FolderTree, FilesDragIntoFoldersButNotOntoTheirOwnParent) {
  ASSERT_TRUE(lwtest::WriteAll(root.File("beta\\inner.txt"), {2}));
  MakeTree(true, Root());
  tree.m_allowDragDrop = true;
  ASSERT_NE(tree.SetSelectedPath((Root() + "\\beta").c_str(), true), nullptr);
  // Drags the item of `from` onto the item of `to` as the mouse would; over
  // the target the cursor is the drawn one `cursor` (the arrow for 0).
  auto drag = [&](const std::string& from, const std::string& to, bool ctrl, int cursor) {
    const HTREEITEM source = tree.FindPathItem((Root() + "\\" + from).c_str());
    const HTREEITEM target = tree.FindPathItem((Root() + "\\" + to).c_str());
    ASSERT_NE(source, nullptr);
    ASSERT_NE(target, nullptr);
    NMTREEVIEWA tv = {};
    tv.hdr.hwndFrom = tree.GetSafeHwnd();
    tv.hdr.idFrom = 100;
    tv.hdr.code = TVN_BEGINDRAGA;
    tv.itemNew.hItem = source;
    tv.ptDrag = ItemCentre(tree.GetSafeHwnd(), source);
    ::SendMessageA(host.GetSafeHwnd(), WM_NOTIFY, 100, reinterpret_cast<LPARAM>(&tv));
    ASSERT_TRUE(tree.IsDragging());
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    ::SetKeyboardState(keys);
    const POINT at = ItemCentre(tree.GetSafeHwnd(), target);
    ::SendMessageA(tree.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    const HCURSOR expected = cursor ? ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(cursor))
                                    : ::LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_NE(expected, nullptr) << "cursor " << cursor;
    EXPECT_EQ(::GetCursor(), expected) << "cursor " << cursor;
    ::SendMessageA(tree.GetSafeHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    EXPECT_FALSE(tree.IsDragging());
  };
  // Onto its own parent: refused, nothing moves or is copied.
  drag("beta\\inner.txt", "beta", false, IDC_TREE_MOVE_REFUSED);
  drag("beta\\inner.txt", "beta", true, IDC_TREE_COPY_REFUSED);
  EXPECT_TRUE(lwtest::FileExists(root.File("beta\\inner.txt")));
  // Into another folder: moved, and its item goes.
  drag("A.txt", "gamma", false, 0);
  EXPECT_TRUE(lwtest::FileExists(root.File("gamma\\A.txt")));
  EXPECT_FALSE(lwtest::FileExists(root.File("A.txt")));
  EXPECT_EQ(tree.FindPathItem((Root() + "\\A.txt").c_str()), nullptr);
  // With Ctrl: copied.
  drag("b.txt", "Alpha", true, IDC_TREE_COPY);
  EXPECT_TRUE(lwtest::FileExists(root.File("Alpha\\b.txt")));
  EXPECT_TRUE(lwtest::FileExists(root.File("b.txt")));
  // Folders do not drag.
  NMTREEVIEWA tv = {};
  tv.hdr.hwndFrom = tree.GetSafeHwnd();
  tv.hdr.code = TVN_BEGINDRAGA;
  tv.itemNew.hItem = tree.FindPathItem((Root() + "\\gamma").c_str());
  ::SendMessageA(host.GetSafeHwnd(), WM_NOTIFY, 100, reinterpret_cast<LPARAM>(&tv));
  EXPECT_FALSE(tree.IsDragging());
}

TEST_F(FolderTree, AMenuForTheTreeGetsItsItemsEnabledByTheTree) {
  MakeTree(false, Root());
  const HMENU menu = ::CreatePopupMenu();
  for (UINT id : {ID_TREE_UPONELEVEL, ID_TREE_OPEN, ID_TREE_DELETE, ID_TREE_RENAME, ID_TREE_PROPERTIES,
                  ID_TREE_REFRESH, ID_TREE_BACK, ID_TREE_FORWARD})
    ::AppendMenuA(menu, MF_STRING, id, "item");
  ASSERT_NE(tree.SetSelectedPath((Root() + "\\beta\\deep").c_str()), nullptr);
  ::SendMessageA(tree.GetSafeHwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
  auto enabled = [&](UINT id) { return !(::GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED); };
  EXPECT_TRUE(enabled(ID_TREE_UPONELEVEL));
  EXPECT_TRUE(enabled(ID_TREE_OPEN));
  EXPECT_FALSE(enabled(ID_TREE_DELETE)) << "delete is not allowed by default";
  EXPECT_FALSE(enabled(ID_TREE_RENAME));
  EXPECT_TRUE(enabled(ID_TREE_PROPERTIES));
  EXPECT_TRUE(enabled(ID_TREE_REFRESH));
  EXPECT_TRUE(enabled(ID_TREE_BACK));
  EXPECT_FALSE(enabled(ID_TREE_FORWARD));
  tree.m_allowRename = true;
  ::SendMessageA(tree.GetSafeHwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
  EXPECT_TRUE(enabled(ID_TREE_RENAME));
  ::DestroyMenu(menu);
}

TEST_F(FolderTree, TheMenuKeyAsksTheParentForAMenuAtTheSelection) {
  MakeTree(false, Root());
  const HTREEITEM gamma = tree.SetSelectedPath((Root() + "\\gamma").c_str());
  ASSERT_NE(gamma, nullptr);
  lwtest::CMessageSequence seq;
  seq.Watch(host.GetSafeHwnd());
  ::SendMessageA(tree.GetSafeHwnd(), WM_KEYDOWN, VK_APPS, 0);
  POINT expected = ItemCentre(tree.GetSafeHwnd(), gamma);
  ::ClientToScreen(tree.GetSafeHwnd(), &expected);
  int menus = 0;
  for (const lwtest::MessageEntry& e : seq.Recorded())
    if (e.message == WM_CONTEXTMENU) {
      ++menus;
      EXPECT_EQ(static_cast<short>(LOWORD(e.lParam)), expected.x);
      EXPECT_EQ(static_cast<short>(HIWORD(e.lParam)), expected.y);
    }
  EXPECT_EQ(menus, 1);
}

TEST_F(FolderTree, ANewFolderShowsWithoutARefresh) {
  MakeTree(false, Root());
  ASSERT_EQ(tree.GetWatchCount(), 1);
  ASSERT_TRUE(::CreateDirectoryA(root.File("delta").c_str(), nullptr));
  EXPECT_TRUE(lwtest::PumpUntil([&] { return tree.FindPathItem((Root() + "\\delta").c_str()) != nullptr; },
                                10000));
  // And a refresh finds it as well, keeping the selection.
  tree.SetSelectedPath((Root() + "\\gamma").c_str());
  ::SendMessageA(tree.GetSafeHwnd(), WM_COMMAND, 32775, 0);
  EXPECT_NE(tree.FindPathItem((Root() + "\\delta").c_str()), nullptr);
  EXPECT_EQ(std::string(tree.GetSelectedPath()), Root() + "\\gamma");
}

TEST_F(FolderTree, ANotificationReachesItsOwnWatchAndOneOfARemovedWatchIsIgnored) {
  MakeTree(false, Root());
  tree.m_autoRefresh = true;
  tree.AddWatch((Root() + "\\Alpha").c_str());
  tree.AddWatch((Root() + "\\beta").c_str());
  const int alphaKey = tree.GetWatchKey((Root() + "\\Alpha").c_str());
  const int betaKey = tree.GetWatchKey((Root() + "\\beta").c_str());
  ASSERT_NE(alphaKey, 0);
  ASSERT_NE(betaKey, alphaKey);
  ASSERT_NE(tree.SetSelectedPath((Root() + "\\beta").c_str(), true), nullptr);
  tree.RemoveWatch((Root() + "\\Alpha").c_str());
  EXPECT_EQ(tree.GetWatchKey((Root() + "\\Alpha").c_str()), 0);
  ASSERT_TRUE(::CreateDirectoryA(root.File("beta\\fresh").c_str(), nullptr));
  const std::string fresh = Root() + "\\beta\\fresh";
  // Sent, not posted: only these two notifications are handled here.
  ::SendMessageA(tree.GetSafeHwnd(), WM_USER, alphaKey, 0);
  EXPECT_EQ(tree.FindPathItem(fresh.c_str()), nullptr) << "the removed watch's notification was acted on";
  ::SendMessageA(tree.GetSafeHwnd(), WM_USER, 12345, 0);
  EXPECT_EQ(tree.FindPathItem(fresh.c_str()), nullptr);
  ::SendMessageA(tree.GetSafeHwnd(), WM_USER, betaKey, 0);
  EXPECT_NE(tree.FindPathItem(fresh.c_str()), nullptr);
}

TEST_F(FolderTree, EveryWatchThreadEndsWhenTheWindowGoesEvenBeyondSixtyFour) {
  MakeTree(false, Root());
  for (int i = 0; i < 70; ++i) tree.AddWatch((Root() + "\\gamma").c_str());
  EXPECT_EQ(tree.GetWatchCount(), 71);
  EXPECT_GE(CTreeFileCtrl::GetRunningWatchThreads(), 71);
  tree.DestroyWindow();
  EXPECT_EQ(CTreeFileCtrl::GetRunningWatchThreads(), 0);
  EXPECT_EQ(tree.GetWatchCount(), 0);
}

TEST_F(FolderTree, DrivesComeThroughTheSeamAndHiddenTypesStayAway) {
  struct Case {
    DWORD hide;
    std::vector<std::string> roots;
  } const cases[] = {{0, {"C:\\", "Z:\\"}}, {1, {"C:\\"}}, {2, {"Z:\\"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hide);
    tree.DestroyWindow();
    MakeTree(false, "");
    tree.m_driveHideFlags = c.hide;
    tree.Refresh();
    const HTREEITEM computer = tree.GetMyComputerNode();
    ASSERT_NE(computer, nullptr);
    tree.Expand(computer, TVE_EXPAND);
    std::vector<std::string> roots;
    for (HTREEITEM i = tree.GetChildItem(computer); i; i = tree.GetNextSiblingItem(i))
      roots.push_back(tree.GetItemPath(i).GetString());
    EXPECT_EQ(roots, c.roots);
    // A removable drive keeps its button without its medium being read.
    for (HTREEITEM i = tree.GetChildItem(computer); i; i = tree.GetNextSiblingItem(i))
      if (tree.GetItemPath(i) == "Z:\\") {
        EXPECT_TRUE(tree.ItemHasChildren(i));
      }
  }
}

TEST_F(FolderTree, ARemovableDriveWithoutAMediumStaysClosedWithItsButton) {
  MakeTree(false, "");
  const HTREEITEM computer = tree.GetMyComputerNode();
  ASSERT_NE(computer, nullptr);
  tree.Expand(computer, TVE_EXPAND);
  const HTREEITEM z = tree.FindPathItem("Z:\\");
  ASSERT_NE(z, nullptr);
  EXPECT_EQ(system.mediaChecks, 0) << "listing the drives reads no medium";
  tree.Expand(z, TVE_EXPAND);
  EXPECT_EQ(system.mediaChecks, 1);
  EXPECT_EQ(tree.GetChildItem(z), nullptr);
  EXPECT_TRUE(tree.ItemHasChildren(z));
  EXPECT_FALSE(::SendMessageA(tree.GetSafeHwnd(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(z), TVIS_EXPANDED) &
               TVIS_EXPANDED);
}

TEST_F(FolderTree, ALabelEditRenamesTheFile) {
  MakeTree(true, Root());
  tree.m_allowRename = true;
  const HTREEITEM item = tree.SetSelectedPath((Root() + "\\c.TXT").c_str());
  ASSERT_NE(item, nullptr);
  ::SendMessageA(tree.GetSafeHwnd(), WM_COMMAND, ID_TREE_RENAME, 0);
  const HWND edit = reinterpret_cast<HWND>(::SendMessageA(tree.GetSafeHwnd(), TVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  ::SetWindowTextA(edit, "renamed.txt");
  ::SendMessageA(tree.GetSafeHwnd(), TVM_ENDEDITLABELNOW, FALSE, 0);
  EXPECT_TRUE(lwtest::FileExists(root.File("renamed.txt")));
  EXPECT_FALSE(lwtest::FileExists(root.File("c.TXT")));
  EXPECT_EQ(std::string(tree.GetItemPath(item)), Root() + "\\renamed.txt");
  EXPECT_EQ(std::string(tree.GetItemText(item)), "renamed.txt");
  // Drives and disallowed trees start no edit.
  tree.m_allowRename = false;
  ::SendMessageA(tree.GetSafeHwnd(), WM_COMMAND, ID_TREE_RENAME, 0);
  EXPECT_EQ(::SendMessageA(tree.GetSafeHwnd(), TVM_GETEDITCONTROL, 0, 0), 0);
}

TEST_F(FolderTree, SharesAreReadFromTheirTypedRecords) {
  const std::string rootPath = Root();
  const std::wstring shared = std::wstring(rootPath.begin(), rootPath.end()) + L"\\beta";
  system.shares = {Share(L"IPC$", STYPE_IPC, L""), Share(L"C$", STYPE_DISKTREE | STYPE_SPECIAL, L"C:\\"),
                   Share(L"beta", STYPE_DISKTREE, shared.c_str())};
  MakeTree(false, Root());
  EXPECT_TRUE(tree.IsShared((Root() + "\\BETA").c_str()));
  EXPECT_FALSE(tree.IsShared((Root() + "\\gamma").c_str()));
  EXPECT_FALSE(tree.IsShared("C:\\"));
  const HTREEITEM beta = tree.FindPathItem((Root() + "\\beta").c_str());
  ASSERT_NE(beta, nullptr);
  const UINT state = static_cast<UINT>(
      ::SendMessageA(tree.GetSafeHwnd(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(beta), TVIS_OVERLAYMASK));
  EXPECT_EQ(state & TVIS_OVERLAYMASK, UINT(INDEXTOOVERLAYMASK(1)));

  CShareEnumerator list;
  list.Load(system.shares.data(), static_cast<DWORD>(system.shares.size()));
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_TRUE(list.IsShared((Root() + "\\beta").c_str()));
}

// A drive that does not answer (a network drive that is gone) holds up
// neither the list of drives nor the window: it shows by its root at once,
// with its button, without being read; the drives that answer show as the
// shell shows them.
TEST_F(FolderTree, ADriveThatDoesNotAnswerHoldsUpNothing) {
  system.AddRemoteDrive('Q');
  MakeTree(false, "");
  const HTREEITEM computer = tree.GetMyComputerNode();
  ASSERT_NE(computer, nullptr);
  tree.Expand(computer, TVE_EXPAND);
  EXPECT_EQ(system.holding.load(), 1) << "the list waited for the drive";
  const HTREEITEM q = tree.FindPathItem("Q:\\");
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(std::string(tree.GetItemText(q)), "Q:\\");
  EXPECT_TRUE(tree.ItemHasChildren(q)) << "a drive shows its button without being read";
  CDriveLook look = {};
  system.CTreeFileSystem::GetDriveLook("C:\\", &look);
  const HTREEITEM c = tree.FindPathItem("C:\\");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(std::string(tree.GetItemText(c)), look.name[0] ? look.name : "C:\\");
  system.release.SetEvent();
  EXPECT_TRUE(lwtest::PumpUntil([] { return CTreeFileCtrl::GetRunningDriveProbes() == 0; }, 10000))
      << "the drive's probe never ended";
}

// A watch whose thread is still held by its drive holds up neither its
// removal nor the window's end: the thread is left to end by itself, and
// once its drive answers it tells nobody of a change and ends.
TEST_F(FolderTree, AWatchStillHeldByItsDriveIsLeftToEndByItself) {
  system.AddRemoteDrive('Q');
  lwtest::CTempFolder changes("foldertree_changes");
  system.changes = changes.Path();
  system.changes.pop_back();
  MakeTree(false, "");
  tree.AddWatch("Q:\\");
  ASSERT_EQ(system.holding.load(), 1);
  tree.RemoveWatch("Q:\\");
  EXPECT_EQ(system.holding.load(), 1) << "the removal waited for the thread";
  EXPECT_EQ(tree.GetWatchCount(), 0);
  lwtest::CMessageSequence seq;
  seq.Watch(tree.GetSafeHwnd());
  system.release.SetEvent();
  EXPECT_TRUE(lwtest::PumpUntil([] { return CTreeFileCtrl::GetRunningWatchThreads() == 0; }, 10000));
  lwtest::FlushEvents(200);
  for (const lwtest::MessageEntry& e : seq.Recorded()) EXPECT_NE(e.message, UINT(WM_USER)) << "a removed watch told";

  system.release.ResetEvent();
  tree.AddWatch("Q:\\");
  ASSERT_EQ(system.holding.load(), 1);
  tree.DestroyWindow();
  EXPECT_EQ(system.holding.load(), 1) << "the window's end waited for the thread";
  EXPECT_EQ(tree.GetWatchCount(), 0);
  system.release.SetEvent();
  EXPECT_TRUE(lwtest::PumpUntil([] { return CTreeFileCtrl::GetRunningWatchThreads() == 0; }, 10000));
}

// A folder that vanished while it was shown goes when it is selected, and
// its parent, left without children, loses its button. A selection of a
// vanished item just before the whole tree is read again deletes nothing
// of the new tree.
TEST_F(FolderTree, AVanishedFolderGoesWhenItIsSelected) {
  MakeTree(false, Root());
  tree.m_autoRefresh = false;  // the watch does not read the branches again
  const HTREEITEM beta = tree.SetSelectedPath((Root() + "\\beta").c_str(), true);
  ASSERT_NE(beta, nullptr);
  const HTREEITEM deep = tree.FindPathItem((Root() + "\\beta\\deep").c_str());
  ASSERT_NE(deep, nullptr);
  ASSERT_TRUE(::RemoveDirectoryA(root.File("beta\\deep").c_str()));
  ::SendMessageA(tree.GetSafeHwnd(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(deep));
  lwtest::FlushEvents(100);
  EXPECT_EQ(tree.GetChildItem(beta), nullptr);
  EXPECT_FALSE(tree.ItemHasChildren(beta)) << "the parent keeps a button with nothing under it";

  ASSERT_TRUE(::RemoveDirectoryA(root.File("gamma").c_str()));
  const HTREEITEM gamma = tree.FindPathItem((Root() + "\\gamma").c_str());
  ASSERT_NE(gamma, nullptr);
  lwtest::CMessageSequence seq;
  seq.Watch(tree.GetSafeHwnd());
  ::SendMessageA(tree.GetSafeHwnd(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(gamma));
  tree.Refresh();
  lwtest::FlushEvents(100);
  EXPECT_EQ(Children(TVI_ROOT), (std::vector<std::string>{"Alpha", "beta", "Hidden", "onlyfiles"}));
  for (const lwtest::MessageEntry& e : seq.Recorded())
    EXPECT_FALSE(e.message == TVM_DELETEITEM && e.lParam == reinterpret_cast<LPARAM>(gamma))
        << "a deletion reached the item after it had gone";
}

TEST(FolderTreeWait, AllThreadsAreWaitedForEvenBeyondSixtyFour) {
  std::vector<HANDLE> threads;
  for (int i = 0; i < 70; ++i) {
    threads.push_back(::CreateThread(
        nullptr, 0, [](void*) -> DWORD {
          ::Sleep(300);
          return 7;
        },
        nullptr, 0, nullptr));
    ASSERT_NE(threads.back(), nullptr);
  }
  WaitForAllHandles(threads.data(), static_cast<int>(threads.size()));
  int running = 0;
  for (HANDLE thread : threads) {
    DWORD code = 0;
    ::GetExitCodeThread(thread, &code);
    if (code == STILL_ACTIVE) ++running;
    ::WaitForSingleObject(thread, 5000);
    ::CloseHandle(thread);
  }
  EXPECT_EQ(running, 0);
}

TEST(FolderTreeSort, QuickSortOrdersWithTheComparison) {
  CStringArray items;
  for (const char* s : {"d", "B", "a", "C", "b", "e", "A"}) items.Add(s);
  QuickSortStrings(items, [](const char* a, const char* b) { return lstrcmpiA(a, b); });
  std::string joined;
  for (int i = 0; i < items.GetSize(); ++i) joined += std::string(items[i]) + ",";
  // Equal keys in either order: compare without case.
  for (char& ch : joined) ch = static_cast<char>(::tolower(ch));
  EXPECT_EQ(joined, "a,a,b,b,c,d,e,");
}

}  // namespace
