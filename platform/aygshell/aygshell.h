// The Pocket PC shell extensions: menu bars, full-screen dialogs, the input panel,
// tap-and-hold, user-interface metrics, images, the documents folder and file-change
// notifications. Structures are the device's, laid out with this machine's pointers.
#pragma once
#include <windows.h>

#ifdef TARVO_BUILDING_AYGSHELL
#define AYG_API extern "C"
#else
#define AYG_API extern "C" __declspec(dllimport)
#endif

// ---------------------------------------------------------------------------
// Initialisation (ordinal 9): nothing to prepare on this platform; kept so that
// programs can call it at start as they do on the device.
AYG_API BOOL WINAPI AygInitialize();

// ---------------------------------------------------------------------------
// Menu bar (ordinals 34, 188)
struct SHMENUBARINFO {
  DWORD cbSize;  // sizeof(SHMENUBARINFO), or the older size that ends before clrBk
  HWND hwndParent;
  DWORD dwFlags;
  UINT nToolBarId;  // a menu bar resource (RCDATA), or a menu with SHCMBF_HMENU
  HINSTANCE hInstRes;
  int nBmpId;
  int cBmpImages;
  HWND hwndMB;  // out: the menu bar
  COLORREF clrBk;
};
typedef SHMENUBARINFO* PSHMENUBARINFO;

constexpr DWORD SHCMBF_EMPTYBAR = 0x0001;
constexpr DWORD SHCMBF_HIDDEN = 0x0002;
constexpr DWORD SHCMBF_HIDESIPBUTTON = 0x0004;
constexpr DWORD SHCMBF_COLORBK = 0x0008;
constexpr DWORD SHCMBF_HMENU = 0x0010;

// Values of a menu bar resource's button records.
constexpr WORD NOMENU = 0xFFFF;

// A menu bar is a toolbar of this window class. Each button that opens a popup
// carries that popup's HMENU in its lParam (TBIF_LPARAM), so callers can read,
// translate and change the menus; the popup's items send WM_COMMAND to the owner.
#define MENUBAR_CLASSNAME L"menu_worker"

AYG_API BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* info);
AYG_API HWND WINAPI SHFindMenuBar(HWND owner);

// ---------------------------------------------------------------------------
// Dialogs (ordinals 56, 69)
struct SHINITDLGINFO {
  DWORD dwMask;
  HWND hDlg;
  DWORD dwFlags;
};
typedef SHINITDLGINFO* PSHINITDLGINFO;

constexpr DWORD SHIDIM_FLAGS = 0x0001;

constexpr DWORD SHIDIF_DONEBUTTON = 0x0001;
constexpr DWORD SHIDIF_SIZEDLG = 0x0002;
constexpr DWORD SHIDIF_SIZEDLGFULLSCREEN = 0x0004;
constexpr DWORD SHIDIF_SIPDOWN = 0x0008;
constexpr DWORD SHIDIF_FULLSCREENNOMENUBAR = 0x0010;
constexpr DWORD SHIDIF_EMPTYMENU = 0x0020;

AYG_API BOOL WINAPI SHInitDialog(SHINITDLGINFO* info);

constexpr DWORD SHDB_SHOW = 0x0001;
constexpr DWORD SHDB_HIDE = 0x0002;
constexpr DWORD SHDB_SHOWCANCEL = 0x0003;

AYG_API BOOL WINAPI SHDoneButton(HWND window, DWORD state);

// The shell tells its full-screen dialogs that they scrolled (wParam = new position).
#define PPCD_SCROLLMESSAGE L"PPCD_ScrollMessage"

// ---------------------------------------------------------------------------
// Input panel (ordinal 4; SipGetInfo by name)
struct SIPINFO {
  DWORD cbSize;  // sizeof(SIPINFO)
  DWORD fdwFlags;
  RECT rcVisibleDesktop;  // the part of the work area the panel leaves free
  RECT rcSipRect;         // where the panel is, up or down
  DWORD dwImDataSize;
  void* pvImData;
};

constexpr DWORD SIPF_OFF = 0x0000;
constexpr DWORD SIPF_ON = 0x0001;
constexpr DWORD SIPF_DOCKED = 0x0002;
constexpr DWORD SIPF_LOCKED = 0x0004;
constexpr DWORD SIPF_DISABLECOMPLETION = 0x0008;

// The input panel's system-parameter actions; WM_SETTINGCHANGE carries
// SPI_SETSIPINFO in wParam to every top-level window when the panel goes up or down.
constexpr UINT SPI_SETSIPINFO = 224;
constexpr UINT SPI_GETSIPINFO = 225;

AYG_API BOOL WINAPI SHSipInfo(UINT action, UINT param, void* info, UINT winIni);
AYG_API BOOL WINAPI SipGetInfo(SIPINFO* info);

// A child of this class keeps the input panel state of its dialog.
#define WC_SIPPREF L"SIPPREF"
// The task bar's input panel button, and the message programs send it (wParam 4,
// lParam 25) to have it refresh.
#define SIPBUTTON_CLASSNAME L"MS_SIPBUTTON"
constexpr UINT WM_SIPBUTTON_REFRESH = 268;

// ---------------------------------------------------------------------------
// Tap-and-hold (ordinal 40)
struct SHRGINFO {
  DWORD cbSize;  // sizeof(SHRGINFO)
  HWND hwndClient;
  POINT ptDown;  // client coordinates of the press
  DWORD dwFlags;
};
typedef SHRGINFO* PSHRGINFO;

constexpr DWORD SHRG_RETURNCMD = 0x0001;
constexpr DWORD SHRG_NOTIFYPARENT = 0x0002;
constexpr DWORD SHRG_LONGDELAY = 0x0008;
constexpr DWORD SHRG_NOANIMATION = 0x0010;

// WM_NOTIFY code (and return value) of the context-menu gesture.
constexpr UINT GN_CONTEXTMENU = 1000;

struct NMRGINFO {
  NMHDR hdr;
  POINT ptAction;  // screen coordinates
  DWORD dwItemSpec;
};
typedef NMRGINFO* PNMRGINFO;

// List and tree views ask their parent before they recognise the gesture
// themselves; an answer of 1 keeps them from doing so.
constexpr UINT NM_RECOGNIZEGESTURE = static_cast<UINT>(-50);

AYG_API DWORD WINAPI SHRecognizeGesture(SHRGINFO* info);

// ---------------------------------------------------------------------------
// User-interface metrics (by name)
enum SHUIMETRIC {
  SHUIM_INVALID = 0,
  SHUIM_FONTSIZE_POINT = 1,
  SHUIM_FONTSIZE_PIXEL = 2,
  SHUIM_FONTSIZE_PERCENTAGE = 3,
};

// Registered message sent to every top-level window when the system font size changes.
#define SH_UIMETRIC_CHANGE L"SH_UIMETRIC_CHANGE"

AYG_API HRESULT WINAPI SHGetUIMetrics(SHUIMETRIC metric, void* buffer, DWORD size,
                                      DWORD* needed);

// ---------------------------------------------------------------------------
// Images and folders (ordinal 75; SHGetDocumentsFolder by name)

// A .bmp, .gif, .png or .jpg file as a device-independent bitmap; null when it cannot be read.
AYG_API HBITMAP WINAPI SHLoadImageFile(LPCWSTR path);

// The documents folder of a volume ("\" or empty for main memory, else a storage
// card's top folder) into a buffer of MAX_PATH characters; FALSE when the volume is absent.
AYG_API BOOL WINAPI SHGetDocumentsFolder(LPCWSTR volume, LPWSTR documents);

// ---------------------------------------------------------------------------
// Notification bubbles (ordinal 157): ERROR_SUCCESS when the notification of that
// class and id was removed, else a system error code.
AYG_API LRESULT WINAPI SHNotificationRemove(const CLSID* clsid, DWORD id);

// ---------------------------------------------------------------------------
// File-change notifications (ordinals 113, 114, 115)
struct SHCHANGENOTIFYENTRY {
  DWORD dwEventMask;     // SHCNE_ bits
  LPWSTR pszWatchDir;    // null: every folder
  BOOL fRecursive;       // also the folders below pszWatchDir
};

struct FILECHANGEINFO {
  DWORD cbSize;  // sizeof(FILECHANGEINFO)
  LONG wEventId;  // the one SHCNE_ event
  ULONG uFlags;
  DWORD_PTR dwItem1;  // LPCWSTR: the path changed (old path on a rename)
  DWORD_PTR dwItem2;  // LPCWSTR: the new path on a rename, else null
  DWORD dwAttributes;
  FILETIME ftModified;
  ULONG nFileSize;
};

struct FILECHANGENOTIFY {
  DWORD dwRefCount;
  FILECHANGEINFO fci;
};

// Posted to a registered window with lParam = FILECHANGENOTIFY*; the receiver frees
// the record with SHChangeNotifyFree.
constexpr UINT WM_FILECHANGEINFO = 0x8101;

// Event bits (the same values as the desktop shell's).
#ifndef SHCNE_RENAMEITEM
#define SHCNE_RENAMEITEM 0x00000001L
#define SHCNE_CREATE 0x00000002L
#define SHCNE_DELETE 0x00000004L
#define SHCNE_MKDIR 0x00000008L
#define SHCNE_RMDIR 0x00000010L
#define SHCNE_MEDIAINSERTED 0x00000020L
#define SHCNE_MEDIAREMOVED 0x00000040L
#define SHCNE_DRIVEREMOVED 0x00000080L
#define SHCNE_DRIVEADD 0x00000100L
#define SHCNE_NETSHARE 0x00000200L
#define SHCNE_NETUNSHARE 0x00000400L
#define SHCNE_ATTRIBUTES 0x00000800L
#define SHCNE_UPDATEDIR 0x00001000L
#define SHCNE_UPDATEITEM 0x00002000L
#define SHCNE_RENAMEFOLDER 0x00020000L
#endif
#ifndef SHCNF_PATHW
#define SHCNF_PATHW 0x0005  // FILECHANGEINFO.uFlags: the items are paths
#endif

// The device's SHChangeNotifyRegister and SHChangeNotifyDeregister (ordinals 113, 114);
// the desktop shell header takes those names for calls of another shape.
AYG_API BOOL WINAPI SHChangeNotifyRegisterCE(HWND window, const SHCHANGENOTIFYENTRY* entry);
AYG_API BOOL WINAPI SHChangeNotifyDeregisterCE(HWND window);
AYG_API void WINAPI SHChangeNotifyFree(FILECHANGENOTIFY* notify);
