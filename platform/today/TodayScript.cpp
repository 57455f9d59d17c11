#include "platform/today/TodayScript.h"

#include <algorithm>

#include <cwchar>
#include <cwctype>
#include <sstream>

#include "platform/today/RowSteps.h"
#include "platform/today/TodayHost.h"

namespace {

struct KeyName {
  const wchar_t* name;
  UINT vk;
};
const KeyName kKeys[] = {
    {L"up", VK_UP},         {L"down", VK_DOWN},     {L"left", VK_LEFT},   {L"right", VK_RIGHT},
    {L"enter", VK_RETURN},  {L"return", VK_RETURN}, {L"escape", VK_ESCAPE}, {L"space", VK_SPACE},
    {L"tab", VK_TAB},       {L"back", VK_BACK},
};

bool ParseNumber(const std::wstring& word, long& value) {
  if (word.empty()) return false;
  wchar_t* end = nullptr;
  value = wcstol(word.c_str(), &end, 0);
  return end && *end == 0;
}

bool ParseKey(std::wstring word, long& vk) {
  for (auto& c : word) c = static_cast<wchar_t>(towlower(c));
  for (const KeyName& k : kKeys)
    if (word == k.name) {
      vk = k.vk;
      return true;
    }
  long f = 0;
  if (word.size() > 1 && word[0] == L'f' && ParseNumber(word.substr(1), f) && f >= 1 && f <= 24) {
    vk = VK_F1 + f - 1;
    return true;
  }
  return ParseNumber(word, vk) && vk > 0 && vk < 256;
}

// The deepest visible window at a point of the screen, and the point in its client space.
HWND TargetAt(HWND frame, POINT screen, POINT& client) {
  HWND window = frame;
  for (;;) {
    POINT p = screen;
    ScreenToClient(window, &p);
    HWND child = ChildWindowFromPointEx(window, p, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
    if (!child || child == window) break;
    window = child;
  }
  client = screen;
  ScreenToClient(window, &client);
  return window;
}

// A shown push button of the dialog with that id.
bool IsShownButton(HWND dialog, int id) {
  // Its own style: the box itself is not shown yet while it is being activated.
  HWND button = GetDlgItem(dialog, id);
  if (!button || !(GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE)) return false;
  WCHAR name[16] = {};
  GetClassNameW(button, name, 16);
  return lstrcmpiW(name, L"Button") == 0;
}

// The rest of the line after its first word, trimmed: a file name or a text with spaces.
std::wstring RestAfter(const std::wstring& line, size_t words) {
  size_t at = line.find_first_not_of(L" \t");
  for (; words > 0 && at != std::wstring::npos; --words) {
    at = line.find_first_of(L" \t", at);
    if (at != std::wstring::npos) at = line.find_first_not_of(L" \t", at);
  }
  std::wstring rest = at == std::wstring::npos ? std::wstring() : line.substr(at);
  while (!rest.empty() && iswspace(rest.back())) rest.pop_back();
  return rest;
}

}  // namespace

WORD DefaultButtonOf(HWND dialog) {
  // A message box is made from one template for every kind: its default id may stay
  // the template's (OK) while the box shows Yes and No, or draws Cancel as its default.
  // Answering with a button that is not there, or not the one drawn, returns an answer
  // the device never gives; so the shown button drawn as the default comes first.
  WORD first = 0;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(child);
    if (id <= 0 || id > 0xFFFF || !IsShownButton(dialog, id)) continue;
    const LONG style = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
    if (style == BS_DEFPUSHBUTTON) return static_cast<WORD>(id);
    if (style == BS_PUSHBUTTON && !first) first = static_cast<WORD>(id);
  }
  const LRESULT def = SendMessageW(dialog, DM_GETDEFID, 0, 0);
  if (HIWORD(def) == DC_HASDEFID && IsShownButton(dialog, LOWORD(def))) return LOWORD(def);
  return first ? first : IDCANCEL;
}

namespace {

// While a script runs nobody is there to answer a dialog: a message box (or any dialog
// that does not end itself) is answered with its default button, and logged.
thread_local CTodayHost* g_answering = nullptr;

// A box is activated while it is being made, before it has set up its buttons: it is
// answered a moment later, from its own modal loop, once they are in place.
thread_local std::vector<HWND> g_unanswered;

void CALLBACK AnswerLater(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  std::vector<HWND> dialogs;
  dialogs.swap(g_unanswered);
  for (HWND dialog : dialogs) {
    if (!IsWindow(dialog)) continue;
    const WORD id = DefaultButtonOf(dialog);
    WCHAR caption[128] = {}, text[256] = {};
    GetWindowTextW(dialog, caption, 128);
    GetDlgItemTextW(dialog, 0xFFFF, text, 256);  // a message box's text
    if (g_answering)
      g_answering->Note(L"dialog \"" + std::wstring(caption) + L"\" answered " + std::to_wstring(id) + L": " + text);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  }
}

LRESULT CALLBACK AnswerDialogs(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && g_answering) {
    HWND dialog = reinterpret_cast<HWND>(wParam);
    WCHAR name[16] = {};
    GetClassNameW(dialog, name, 16);
    if (lstrcmpW(name, L"#32770") == 0 &&
        std::find(g_unanswered.begin(), g_unanswered.end(), dialog) == g_unanswered.end()) {
      g_unanswered.push_back(dialog);
      SetTimer(nullptr, 0, 1, AnswerLater);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct DialogAnswerer {
  HHOOK hook;
  CTodayHost* previous;
  explicit DialogAnswerer(CTodayHost& host)
      : hook(SetWindowsHookExW(WH_CBT, AnswerDialogs, nullptr, GetCurrentThreadId())), previous(g_answering) {
    g_answering = &host;
  }
  ~DialogAnswerer() {
    g_answering = previous;
    if (hook) UnhookWindowsHookEx(hook);
  }
};

}  // namespace

void PumpPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void PumpMessagesFor(DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    PumpPendingMessages();
    DWORD spent = GetTickCount() - start;
    if (spent >= ms) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
  }
}

bool CTodayScript::Parse(const std::wstring& text, std::wstring& error) {
  std::vector<Step> steps;
  std::wistringstream lines(text);
  std::wstring line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    std::wistringstream words(line);
    std::vector<std::wstring> w;
    for (std::wstring word; words >> word;) w.push_back(word);
    if (w.empty() || w[0][0] == L'#') continue;
    Step step{Kind::Quit, number, 0, 0, L""};
    const std::wstring& verb = w[0];
    auto fail = [&](const wchar_t* why) {
      error = L"line " + std::to_wstring(number) + L": " + why + L": " + line;
      return false;
    };
    if (verb == L"tap" || verb == L"hold") {
      step.kind = verb == L"tap" ? Kind::Tap : Kind::Hold;
      long ms = 1000;
      if (w.size() < 3 || w.size() > (verb == L"tap" ? 3u : 4u) || !ParseNumber(w[1], step.a) ||
          !ParseNumber(w[2], step.b) || (w.size() == 4 && (!ParseNumber(w[3], ms) || ms < 0)))
        return fail(L"expected X Y");
      step.text = std::to_wstring(ms);
    } else if (verb == L"key") {
      step.kind = Kind::Key;
      if (w.size() != 2 || !ParseKey(w[1], step.a)) return fail(L"expected a key name or number");
    } else if (verb == L"wait") {
      step.kind = Kind::Wait;
      if (w.size() != 2 || !ParseNumber(w[1], step.a) || step.a < 0) return fail(L"expected milliseconds");
    } else if (verb == L"post") {
      step.kind = Kind::Post;
      if (w.size() < 2 || w.size() > 4 || (w.size() > 2 && !ParseNumber(w[2], step.a)) ||
          (w.size() > 3 && !ParseNumber(w[3], step.b)))
        return fail(L"expected a message name and up to two numbers");
      step.text = w[1];
    } else if (verb == L"options") {
      step.kind = Kind::Options;
      if (w.size() != 2 || !ParseNumber(w[1], step.a) || step.a < 1) return fail(L"expected an item number");
    } else if (verb == L"screenshot") {
      step.kind = Kind::Screenshot;
      size_t at = line.find_first_not_of(L" \t", line.find(L"screenshot") + 10);
      if (at != std::wstring::npos) step.text = line.substr(at);
      while (!step.text.empty() && iswspace(step.text.back())) step.text.pop_back();
      if (step.text.empty()) return fail(L"expected a file name");
    } else if (verb == L"reload" && w.size() == 1) {
      step.kind = Kind::Reload;
    } else if (verb == L"rotate" && w.size() == 1) {
      step.kind = Kind::Rotate;
    } else if (verb == L"rows") {
      step.kind = Kind::Rows;
      step.text = RestAfter(line, 1);
      if (step.text.empty()) return fail(L"expected a file name");
    } else if (verb == L"taprow" || verb == L"holdrow") {
      step.kind = verb == L"taprow" ? Kind::TapRow : Kind::HoldRow;
      step.text = RestAfter(line, 2);
      if (w.size() < 3 || !ParseNumber(w[1], step.a) || step.text.empty()) return fail(L"expected DX and a text");
    } else if (verb == L"quit" && w.size() == 1) {
      step.kind = Kind::Quit;
    } else {
      return fail(L"unknown step");
    }
    steps.push_back(step);
  }
  steps_.swap(steps);
  return true;
}

bool CTodayScript::Load(const std::wstring& path, std::wstring& error) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) {
    error = L"cannot open " + path;
    return false;
  }
  std::string bytes;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof(buffer), file)) > 0;) bytes.append(buffer, n);
  fclose(file);
  int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(length, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], length);
  return Parse(text, error);
}

bool CTodayScript::Run(CTodayHost& host, std::wstring& error) const {
  DialogAnswerer answerer(host);
  for (Step step : steps_) {
    auto fail = [&](const std::wstring& why) {
      error = L"line " + std::to_wstring(step.line) + L": " + why;
      return false;
    };
    PumpPendingMessages();
    // A tap on a row is a tap where the row is now.
    std::wstring why;
    if (!ResolveRowStep(host, step, why)) return fail(why);
    switch (step.kind) {
      case Kind::Tap:
      case Kind::Hold: {
        RECT frame;
        GetWindowRect(host.Frame(), &frame);
        POINT screen = {frame.left + step.a, frame.top + step.b}, client;
        HWND target = TargetAt(host.Frame(), screen, client);
        LPARAM at = MAKELPARAM(client.x, client.y);
        PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
        // A hold is the button staying down while the screen runs.
        if (step.kind == Kind::Hold) PumpMessagesFor(static_cast<DWORD>(_wtol(step.text.c_str())));
        if (IsWindow(target)) PostMessageW(target, WM_LBUTTONUP, 0, at);
        PumpPendingMessages();
        break;
      }
      case Kind::Key: {
        HWND focus = GetFocus();
        HWND target = focus ? focus : host.Frame();
        PostMessageW(target, WM_KEYDOWN, step.a, 1);
        PostMessageW(target, WM_KEYUP, step.a, 0xC0000001);
        PumpPendingMessages();
        break;
      }
      case Kind::Wait:
        PumpMessagesFor(static_cast<DWORD>(step.a));
        break;
      case Kind::Post: {
        UINT message = RegisterWindowMessageW(step.text.c_str());
        if (!message) return fail(L"cannot register " + step.text);
        for (size_t i = 0; i < host.ItemCount(); ++i)
          PostMessageW(host.ItemAt(i).record->hwndCustom, message, step.a, step.b);
        PumpPendingMessages();
        break;
      }
      case Kind::Options:
        if (host.ShowOptions(static_cast<size_t>(step.a - 1)) == -1)
          return fail(L"item " + std::to_wstring(step.a) + L" has no options dialog");
        break;
      case Kind::Screenshot:
        if (!host.SaveScreenshot(step.text)) return fail(L"cannot write " + step.text);
        break;
      case Kind::Reload:
        host.Reload();
        break;
      case Kind::Rotate:
        if (!host.Rotate()) return fail(L"cannot turn the screen");
        PumpPendingMessages();
        break;
      case Kind::Rows:
        if (!WriteItemRows(host, step.text)) return fail(L"no item wrote its rows to " + step.text);
        break;
      case Kind::TapRow:
      case Kind::HoldRow:
        break;
      case Kind::Quit:
        return true;
    }
  }
  return true;
}
