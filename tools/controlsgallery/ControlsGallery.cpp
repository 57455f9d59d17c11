// controlsgallery.exe [--letters] [SCRIPT] OUTDIR
// Hosts the gallery's tree of controls in a hidden window, plays a script of taps
// and keys (or the built-in one) and saves OUTDIR\NN-verb.png after each step.
// --letters shows the letter page instead: names filtered by the letter bar.
//
// Script lines (blank lines and lines from '#' on are skipped):
//   size W H         client size of the host window (240 x 320 at the start)
//   tap X Y          pen down and up;  down X Y / move X Y / up X Y / dbltap X Y
//   key CODE         key down and up (CODE decimal, or 0x hex); keydown CODE / keyup CODE
//   wait MS          lets timers run for MS milliseconds
//   menu N           the next popup menu chooses its item at position N (-1: dismissed,
//                    the default; no person is ever asked)
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/controlsgallery/GalleryControls.h"
#include "tools/controlsgallery/GalleryPanels.h"
#include "tools/controlsgallery/LetterGallery.h"
#include "controls/PopupMenuTracker.h"
#include "tools/controlsgallery/PngWriter.h"
#include "platform/windowlib/WindowImpl.h"

namespace {

class CGalleryWindow : public CWindowImpl<CGalleryWindow> {
 public:
  DECLARE_WND_CLASS_EX(L"ControlsGalleryHost", CS_DBLCLKS, -1)
  explicit CGalleryWindow(CVirtualRoot& page) : root(page) {}
  BEGIN_MSG_MAP(CGalleryWindow)
    CHAIN_MSG_MAP_MEMBER(root)
  END_MSG_MAP()
  CVirtualRoot& root;
};

// The position the next menu chooses; -1 dismisses it.
int g_menuChoice = -1;

int AnswerMenu(HMENU menu, UINT, int, int, HWND, void*) {
  const int choice = g_menuChoice;
  g_menuChoice = -1;
  if (choice < 0 || choice >= GetMenuItemCount(menu)) return 0;
  return static_cast<int>(GetMenuItemID(menu, choice));
}

const char kBuiltInScript[] =
    "tap 40 46\n"
    "down 40 46\n"
    "up 40 46\n"
    "tap 40 80\n"
    "key 39\n"
    "key 39\n"
    "key 65\n"
    "down 20 116\n"
    "move 120 116\n"
    "move 300 116\n"
    "up 300 116\n"
    "tap 180 46\n"
    "wait 500\n"
    "tap 180 46\n"
    "tap 60 160\n"
    "tap 60 185\n"
    "tap 60 185\n"
    "menu 2\n"
    "tap 110 210\n"
    "down 180 210\n"
    "wait 1100\n"
    "up 180 210\n"
    "tap 16 236\n"
    "dbltap 100 236\n"
    "size 200 300\n";

void Pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  MSG msg;
  do {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
}

bool Step(CGalleryWindow& host, const std::string& verb, std::istringstream& args) {
  HWND hwnd = host.m_hWnd;
  if (verb == "size") {
    int w = 0, h = 0;
    if (!(args >> w >> h) || w <= 0 || h <= 0) return false;
    return SetWindowPos(hwnd, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE) != FALSE;
  }
  if (verb == "menu") {
    int position = -1;
    if (!(args >> position)) return false;
    g_menuChoice = position;
    return true;
  }
  if (verb == "wait") {
    int ms = 0;
    if (!(args >> ms) || ms < 0) return false;
    Pump(static_cast<DWORD>(ms));
    return true;
  }
  if (verb == "key" || verb == "keydown" || verb == "keyup") {
    std::string text;
    if (!(args >> text)) return false;
    const unsigned long code = std::strtoul(text.c_str(), nullptr, 0);
    if (code == 0 || code > 0xFE) return false;
    if (verb != "keyup") SendMessageW(hwnd, WM_KEYDOWN, code, 0);
    if (verb != "keydown") SendMessageW(hwnd, WM_KEYUP, code, 0xC0000001);
    return true;
  }
  int x = 0, y = 0;
  if (!(args >> x >> y)) return false;
  const LPARAM at = MAKELPARAM(x, y);
  if (verb == "tap") {
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
  } else if (verb == "down") {
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  } else if (verb == "move") {
    SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, at);
  } else if (verb == "up") {
    SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
  } else if (verb == "dbltap") {
    SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
  } else {
    return false;
  }
  return true;
}

bool SavePicture(CGalleryWindow& host, const std::wstring& folder, int number, const std::string& verb) {
  Pump(0);
  RECT client;
  GetClientRect(host.m_hWnd, &client);
  if (!host.root.RenderBackBuffer(client)) return false;
  wchar_t name[64];
  swprintf(name, 64, L"%02d-%hs.png", number, verb.c_str());
  return SavePng(host.root.GetBackBuffer(), (folder + L"\\" + name).c_str()) != FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool letters = argc > 1 && wcscmp(argv[1], L"--letters") == 0;
  if (letters) {
    ++argv;
    --argc;
  }
  if (argc < 2 || argc > 3) {
    fwprintf(stderr,
             L"usage: controlsgallery [--letters] [SCRIPT] OUTDIR\n       controlsgallery --panels OUTDIR\n");
    return 2;
  }
  if (!letters && argc == 3 && wcscmp(argv[1], L"--panels") == 0) {
    CreateDirectoryW(argv[2], nullptr);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    const int result = RunPanelTour(argv[2]);
    CoUninitialize();
    return result;
  }
  std::string script = letters ? kLetterTourScript : kBuiltInScript;
  if (argc == 3) {
    std::ifstream file(argv[1]);
    if (!file) {
      fwprintf(stderr, L"controlsgallery: cannot read %ls\n", argv[1]);
      return 1;
    }
    std::ostringstream all;
    all << file.rdbuf();
    script = all.str();
  }
  const std::wstring folder = argv[argc - 1];
  CreateDirectoryW(folder.c_str(), nullptr);

  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  CPopupMenuTracker::SetHook(&AnswerMenu, nullptr);
  int result = 0;
  {
    CGalleryRoot controls;
    CLetterGalleryRoot letterPage;
    CGalleryWindow host(letters ? static_cast<CVirtualRoot&>(letterPage) : controls);
    RECT at = {0, 0, 240, 320};
    if (!host.Create(nullptr, &at, L"Controls gallery", WS_POPUP)) {
      fwprintf(stderr, L"controlsgallery: no host window\n");
      result = 1;
    }
    int number = 0;
    if (result == 0 && !SavePicture(host, folder, number++, "start")) result = 1;
    std::istringstream lines(script);
    std::string line;
    int lineNumber = 0;
    while (result == 0 && std::getline(lines, line)) {
      ++lineNumber;
      line = line.substr(0, line.find('#'));
      std::istringstream args(line);
      std::string verb;
      if (!(args >> verb)) continue;
      if (!Step(host, verb, args)) {
        fwprintf(stderr, L"controlsgallery: line %d: cannot do \"%hs\"\n", lineNumber, line.c_str());
        result = 1;
      } else if (!SavePicture(host, folder, number++, verb)) {
        fwprintf(stderr, L"controlsgallery: cannot save the picture of line %d\n", lineNumber);
        result = 1;
      }
    }
    if (host.m_hWnd) host.DestroyWindow();
  }
  CoUninitialize();
  return result;
}
