// CTreeFileCtrl, a tree control that shows the machine's folders as the
// shell does: a My Computer node with the drives (or one root folder's
// contents), a network node, and the folders and files below them with
// the shell's small icons, folders first, each list sorted without regard
// to case. Branches are read when they are expanded and read again when
// the folder changes: each watched folder has a thread that waits for the
// system's change notification and tells the control. The one-step
// wizard uses it as its source-folder picker.
//
// No drive is read on the window's thread while the drives are listed: a
// drive that does not answer (a network drive that is gone) would hold the
// window for the network's time-out. The shell is asked for the drives'
// looks on threads of their own, for a bounded time, and a stopped watch
// is waited for a bounded time; a thread that outlives its wait ends by
// itself later with what it still uses.
//
// The drive list, the drive types and the machine's shares come through a
// seam (CTreeFileSystem) so that tests need no removable drive or network.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <lmshare.h>

#include "framework/Collections.h"
#include "framework/Controls.h"
#include "framework/ImageList.h"
#include "framework/Strings.h"

// How the shell shows a drive: its display name (empty when the shell has
// none) and its small icons, closed and open.
struct CDriveLook {
  char name[MAX_PATH];
  int icon;
  int openIcon;
};

// What the tree asks the system about drives, shares and changes.
class CTreeFileSystem {
 public:
  virtual ~CTreeFileSystem() = default;
  // The logical-drive bit mask (bit 0 is A:).
  virtual DWORD GetLogicalDrives();
  // DRIVE_REMOVABLE, DRIVE_FIXED... of a root such as "C:\".
  virtual UINT GetDriveType(const char* root);
  // Whether a removable or CD-ROM drive holds a medium: its volume serial
  // number, false when there is none.
  virtual bool GetVolumeSerial(const char* root, DWORD* serial);
  // The local machine's shares at level 502; false when they cannot be
  // listed. The records are freed with FreeShares.
  virtual bool EnumShares(SHARE_INFO_502** records, DWORD* count);
  virtual void FreeShares(SHARE_INFO_502* records);
  // The shell's look of a drive root. The shell may have to reach the
  // drive: a network drive that is not there answers after the network's
  // time-out.
  virtual void GetDriveLook(const char* root, CDriveLook* look);
  // A change notification handle for a folder (INVALID_HANDLE_VALUE when
  // it cannot be watched); it too may have to reach the folder's drive.
  virtual HANDLE WatchFolder(const char* path, bool subtree, DWORD filter);
};
// Installs a seam (null restores the system's); returns the previous one.
CTreeFileSystem* SetTreeFileSystem(CTreeFileSystem* system);
// The seam in use: the system's own unless one was installed.
CTreeFileSystem* GetTreeFileSystem();

// The machine's shares: their paths and types, read from the typed
// records.
class CShareEnumerator {
 public:
  // Lists the shares again through the seam.
  void Enumerate();
  // Keeps the records' paths and types.
  void Load(const SHARE_INFO_502* records, DWORD count);
  // A disk or print share whose path is this one, letter case aside.
  bool IsShared(const char* path) const;
  int GetCount() const { return m_paths.GetSize(); }

 private:
  CStringArray m_paths;
  CPtrArray m_types;  // each share's type, as a number
};

// Waits until every handle is signalled, however many there are, for at
// most `timeout` milliseconds in all; true when they all were.
bool WaitForAllHandles(const HANDLE* handles, int count, DWORD timeout = INFINITE);

// Sorts the range low..high (high -1: the last element) by the comparison
// (negative, zero, positive as strcmp), in place.
void QuickSortStrings(CStringArray& items, int (*compare)(const char*, const char*), int low = 0,
                      int high = -1);

class CTreeFileCtrl : public CControl {
 public:
  CTreeFileCtrl();
  ~CTreeFileCtrl() override;

  // ---- used by the one-step wizard ----
  void SetShowFiles(bool show);
  // Selects the item of the path (expanding it when asked), walking down
  // from the drives or the root folder; null when the path is not shown.
  HTREEITEM SetSelectedPath(const char* path, bool expand = false);
  CString GetSelectedPath() const;

  // ---- the rest of the surface ----
  virtual CString GetItemPath(HTREEITEM item) const;
  virtual HTREEITEM FindPathItem(const char* path);
  virtual bool IsFile(const char* path) const;
  virtual bool IsFolder(const char* path) const;
  virtual bool IsDrive(const char* path) const;
  virtual bool IsCompressed(const char* path) const;
  virtual bool IsEncrypted(const char* path) const;
  virtual bool IsShared(const char* path) const;
  virtual void Rename(HTREEITEM item);
  virtual void ShowProperties(HTREEITEM item);
  virtual void Delete(HTREEITEM item);
  virtual void Open(HTREEITEM item);
  virtual void AttachSystemImageList();
  virtual void UpOneLevel();
  virtual void Refresh();
  virtual void GoBack();
  virtual bool CanGoBack() const { return m_back.GetSize() > 0; }
  virtual void GoForward();
  virtual bool CanGoForward() const { return m_forward.GetSize() > 0; }
  virtual int GetMaxHistory() const { return m_maxHistory; }
  virtual void SetMaxHistory(int count);
  virtual bool IsFileShown(const WIN32_FIND_DATAA& entry) const;
  virtual bool IsFolderEntry(const WIN32_FIND_DATAA& entry) const;
  virtual bool IsDriveShown(const char* root) const;
  virtual bool CanWatch(const char* path) const;
  // Dragging: only existing files (not drives); a folder accepts a drop
  // unless it is the source's own parent or lies inside the source.
  virtual bool CanDrag(HTREEITEM item) const;
  virtual bool IsDropTarget(HTREEITEM item) const;
  bool IsDragging() const { return m_dragImage != nullptr; }
  virtual void AddWatch(const char* path);
  virtual void StopAllWatches();
  virtual void RemoveWatch(const char* path);
  virtual void OnSelectionChanged(HTREEITEM) {}
  // Whether one of the control's commands (ID_TREE_...) can run now; a
  // menu shown for the control gets its items enabled by this.
  bool IsCommandEnabled(UINT id) const;

  // The watches: how many there are, the key the notifications of a
  // path's watch carry (0 when it is not watched), and how many watch
  // threads run in the whole process.
  int GetWatchCount() const { return m_watches.GetSize(); }
  int GetWatchKey(const char* path) const;
  static int GetRunningWatchThreads();
  // How many drive probes (threads asking the shell for a drive's look)
  // run in the whole process.
  static int GetRunningDriveProbes();

  // The network node, the My Computer node and the root folder's node.
  HTREEITEM GetNetworkNode() const { return m_networkNode; }
  HTREEITEM GetMyComputerNode() const { return m_myComputerNode; }
  // The pictures drawn over network items that are not shares: 0 domain,
  // 1 any other container, 2 the whole network, 3 server.
  const CImageList& GetNetworkImageList() const { return m_networkImages; }
  // The cursor a drag shows over an item: a copy (Ctrl held) or a move,
  // onto a target that takes the drop or not.
  HCURSOR GetDragCursor(bool copy, bool allowed) const;
  CString GetItemText(HTREEITEM item) const;
  HTREEITEM GetChildItem(HTREEITEM item) const { return Tree(TVGN_CHILD, item); }
  HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return Tree(TVGN_NEXT, item); }
  HTREEITEM GetParentItem(HTREEITEM item) const { return Tree(TVGN_PARENT, item); }
  HTREEITEM GetSelectedItem() const { return Tree(TVGN_CARET, nullptr); }
  bool Expand(HTREEITEM item, UINT code);
  bool ItemHasChildren(HTREEITEM item) const;

  // Settings, as a caller sets them before the window shows.
  CString m_rootFolder;  // when set, only this folder's contents
  bool m_showFiles = true;
  bool m_showMyComputer = true;
  bool m_showNetwork = true;
  bool m_showSharedOverlay = true;
  bool m_allowDragDrop = false;
  bool m_allowRename = false;
  bool m_allowOpen = true;
  bool m_allowProperties = true;
  bool m_allowDelete = false;
  bool m_autoRefresh = true;
  DWORD m_driveHideFlags = 0;  // 1 removable, 2 fixed, 4 remote, 16 CD-ROM, 32 RAM disk
  DWORD m_fileHideAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE;
  CString m_fileMask = "*.*";
  COLORREF m_compressedColour = RGB(0, 0, 255);
  bool m_showCompressed = true;
  COLORREF m_encryptedColour = RGB(255, 0, 0);
  bool m_showEncrypted = true;
  // 0 names without extension, 1 full names, 2 as the shell shows them.
  int m_nameMode = 2;

 protected:
  void PreSubclassWindow() override;
  void OnDestroy() override;
  void OnMouseMove(UINT flags, CPoint pt) override;
  void OnLButtonUp(UINT flags, CPoint pt) override;
  void OnTimer(UINT_PTR id) override;
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  virtual void DisplayPath(const char* path, HTREEITEM parent);
  virtual void DisplayDrives(HTREEITEM parent);
  virtual bool HasChildren(const char* path) const;
  virtual HTREEITEM FindChild(HTREEITEM parent, const char* name) const;
  virtual bool IsRemovableOrCD(const char* path) const;

 private:
  // What the control keeps of an item.
  struct ItemData {
    CString path;
    CString name;
    int network = 0;
    DWORD displayType = 0;  // of a network record
    bool extensionHidden = false;
    int key = 0;  // never reused by the control: names the item in posted requests
  };
  // A watched folder's record (TreeFileWatches.cpp).
  struct Watch;

  HTREEITEM Tree(UINT code, HTREEITEM item) const {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(m_hWnd, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
  }
  ItemData* Data(HTREEITEM item) const;
  HTREEITEM InsertItem(HTREEITEM parent, ItemData* data, const char* text, int image,
                       int selectedImage, bool children, bool shared);
  HTREEITEM InsertPathItem(HTREEITEM parent, const CString& path, const CString& name,
                           bool children);
  void SetChildrenFlag(HTREEITEM item, bool children);
  void DeleteChildren(HTREEITEM item);
  void SelectItem(HTREEITEM item);
  // The shell runs the verb (null: the default) on the item's path.
  void Execute(HTREEITEM item, const char* verb);
  // Reads the folder of an item that has a button but no children yet;
  // then opens it.
  void Fill(HTREEITEM item);
  void FillAndExpand(HTREEITEM item);
  CString DisplayName(const CString& path, const CString& name, bool file) const;
  void OnExpanding(NMTREEVIEWA* tv, LRESULT* result);
  void OnSelChanged(NMTREEVIEWA* tv);
  bool OnKey(UINT vk);
  void RequestContextMenu();
  void OnCommandId(UINT id);
  void OnWatchNotification(int key);
  HTREEITEM FindItemByKey(HTREEITEM parent, int key) const;
  void OnDeleteVanishedItem(int key);
  void EnumNetwork(HTREEITEM item);
  void PushHistory(CPtrArray& history, HTREEITEM item);
  // Selects the last item of `from`, the item left going onto `to`.
  void Navigate(CPtrArray& from, CPtrArray& to);
  // The names to walk from the top (the drive with its backslash first)
  // or from the root folder; false for a path outside the root folder.
  bool PathParts(const char* path, CStringArray& parts) const;
  struct Selection {
    CString path;
    bool expanded = false;
  };
  Selection RememberSelection() const;
  void RestoreSelection(const Selection& selection);
  void DropFromHistories(HTREEITEM item);
  void BeginDrag(NMTREEVIEWA* tv);
  // Ends a drag; the file is moved (copied with Ctrl) into the drop
  // target unless the drag was cancelled.
  void EndDrag(bool cancelled);
  static DWORD WINAPI WatchThread(void* param);
  // Over a network item that is not a share: its picture by display type,
  // on a white square where the item's icon sits.
  void DrawNetworkImage(HDC dc, HTREEITEM item, const ItemData* data);
  static void CloseWatchHandles(Watch* watch);
  // Lets go of the control's or the thread's hold on a watch record.
  static void ReleaseWatch(Watch* watch);
  // Whether the watch threads tell of changes (off during the control's
  // own shell operations).
  void SetWatchRefresh(bool on);

  HTREEITEM m_networkNode = nullptr;
  HTREEITEM m_myComputerNode = nullptr;
  HTREEITEM m_rootNode = nullptr;
  CPtrArray m_back;
  CPtrArray m_forward;
  int m_maxHistory = 20;
  bool m_navigating = false;
  bool m_refreshing = false;
  CPtrArray m_watches;  // Watch*, owned
  int m_nextWatchKey = 1;
  int m_nextItemKey = 1;
  volatile LONG m_autoRefreshFlag = 1;  // what new watches start with
  CShareEnumerator m_shares;
  HIMAGELIST m_dragImage = nullptr;
  CImageList m_networkImages;
  // Loaded when the window is attached; shared resources, never destroyed.
  HCURSOR m_moveCursor = nullptr;
  HCURSOR m_moveRefusedCursor = nullptr;
  HCURSOR m_copyCursor = nullptr;
  HCURSOR m_copyRefusedCursor = nullptr;
  HTREEITEM m_dragSource = nullptr;
  HTREEITEM m_dropTarget = nullptr;
  int m_autoExpandTicks = 0;
};
