// A child window holding a tree view of the file system's folders, read as they
// are opened: each item's data is 0 until its folders were read. Paths longer than
// kFolderPathLimit characters are never built: such folders are left out. The
// window follows the shell's folder changes while it lives.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "platform/aygshell/aygshell.h"
#include "platform/windowlib/String.h"
#include "platform/windowlib/WindowImpl.h"

// The longest path the tree handles, in characters (without the terminator).
constexpr int kFolderPathLimit = 259;

class CFolderTree : public CWindowImpl<CFolderTree> {
 public:
  DECLARE_WND_CLASS(L"QelTarvoFolderTree")

  CFolderTree() = default;
  ~CFolderTree() override;

  // The host window over rect of parent (child, visible); the tree fills it.
  HWND Create(HWND parent, const RECT& rect, UINT id = 0);

  // "" or "\" is the whole file system; any other folder loses its trailing "\"
  // and must exist, else FALSE and the root stays empty (and so does the tree).
  BOOL SetRoot(LPCWSTR path);
  // The folder selected when the window is made: "" or "\" selects the root; a
  // folder that does not exist is ignored.
  void SetStartPath(LPCWSTR path);
  // Rebuilds the tree and opens the folders of path from the root down (the
  // path may start with the root or be given below it). On success the path
  // becomes current and its item is selected and shown; an empty path selects
  // the root item and empties the current path.
  BOOL SelectPath(LPCWSTR path);
  // The full path of item, ending with "\"; "" for a null item.
  CString GetItemPath(HTREEITEM item) const;
  CString GetSelectedPath() const;

  const CString& GetRoot() const { return m_root; }
  const CString& GetCurrentPath() const { return m_current; }
  HWND GetTreeWindow() const { return m_tree; }
  HTREEITEM GetRootItem() const;

  BEGIN_MSG_MAP(CFolderTree)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
    MESSAGE_HANDLER(WM_FILECHANGEINFO, OnFileChange)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
  END_MSG_MAP()


 private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnFileChange(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);

  void Rebuild();
  // Reads item's folders once (the loaded flag); the root's from the root path.
  void LoadItem(HTREEITEM item, BOOL matched);
  // Adds the folders of path under parent: with depth 1 only the first, else each
  // with its own first folder below it.
  void ReadFolder(const CString& path, HTREEITEM parent, int depth);
  HTREEITEM InsertItem(HTREEITEM parent, LPCWSTR text, const CString& path, LPARAM loaded);
  HTREEITEM FindChild(HTREEITEM parent, LPCWSTR name) const;
  CString ItemText(HTREEITEM item) const;
  LPARAM ItemData(HTREEITEM item) const;
  void SetItemData(HTREEITEM item, LPARAM data);

  CString m_root;
  CString m_current;
  HWND m_tree = nullptr;
  HFONT m_font = nullptr;
  HIMAGELIST m_images = nullptr;
  BOOL m_registered = FALSE;
};
