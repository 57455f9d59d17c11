#include "platform/today/TodayScript.h"

#include <algorithm>

#include <cwchar>
#include <cwctype>
#include <sstream>

#include "platform/today/RowSteps.h"
#include "platform/today/ScriptAnswers.h"
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

// The uppermost window of this thread the screen shows at a point: a popup an item
// opened over the screen where it lies, else the screen itself. Windows of other
// programs are not looked at: the screen's pictures show this program's windows only.
HWND ShownWindowAt(HWND frame, POINT screen) {
  const DWORD thread = GetCurrentThreadId();
  for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
    if (window == frame) break;
    if (GetWindowThreadProcessId(window, nullptr) != thread || !IsWindowVisible(window)) continue;
    RECT rect;
    if (!GetWindowRect(window, &rect) || !PtInRect(&rect, screen)) continue;
    // What lets the stylus through (a tip, a hint) is not what it lands on.
    if (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT) continue;
    if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTTRANSPARENT) continue;
    return window;
  }
  return frame;
}

// The stylus on a window that is not in front brings it to the front first, as the
// device's touch screen does: the window is asked (WM_MOUSEACTIVATE) and its top-level
// window activated unless it answers not to. So a popup that closes when it loses the
// front closes at a tap beside it. False when the answer keeps the tap from the window.
bool BringForwardForTap(HWND top, HWND target, POINT screen) {
  if (top == GetForegroundWindow()) return true;
  const LRESULT hit = SendMessageW(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
  const LRESULT answer = SendMessageW(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                      MAKELPARAM(static_cast<WORD>(hit), WM_LBUTTONDOWN));
  const bool activates = answer != MA_NOACTIVATE && answer != MA_NOACTIVATEANDEAT &&
                         !(GetWindowLongW(top, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
  if (activates && !SetForegroundWindow(top)) SetActiveWindow(top);
  return answer != MA_ACTIVATEANDEAT && answer != MA_NOACTIVATEANDEAT;
}

// The deepest visible window at a point of the screen below a top-level window, and the
// point in its client space.
HWND TargetAt(HWND top, POINT screen, POINT& client) {
  HWND window = top;
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

// Where a running script stands, shared with its answers from inside modal loops: a
// menu or dialog a step opens keeps that step running, and the steps after it that
// answer it are carried out from the loop's own messages (a timer) in their order.
struct RunState {
  const std::vector<CTodayScript::Step>* steps = nullptr;
  CTodayHost* host = nullptr;
  size_t next = 0;  // the first step not started
  bool failed = false;
  std::wstring error;
  bool busy = false;
  DWORD answerSince = 0;  // when the next step, an answer, began waiting
  DWORD answerTimeoutMs = 0;

  const CTodayScript::Step* Next() const { return steps && next < steps->size() ? &(*steps)[next] : nullptr; }
  bool NextAnswersDialog() const {
    const CTodayScript::Step* step = Next();
    return !failed && step && (step->kind == CTodayScript::Kind::Field || step->kind == CTodayScript::Kind::Press);
  }
  void Fail(const CTodayScript::Step& step, const std::wstring& why) {
    failed = true;
    error = L"line " + std::to_wstring(step.line) + L": " + why;
  }
  void Advance() {
    ++next;
    answerSince = GetTickCount();
  }
};
thread_local RunState* g_run = nullptr;

// Carries out the next step when it answers a menu or dialog that is open now.
void CALLBACK AnswerOpenModal(HWND, UINT, UINT_PTR, DWORD) {
  RunState* run = g_run;
  if (!run || run->busy || run->failed) return;
  const CTodayScript::Step* step = run->Next();
  if (!step) return;
  using Kind = CTodayScript::Kind;
  if (step->kind != Kind::Menu && step->kind != Kind::Field && step->kind != Kind::Press) return;
  run->busy = true;
  const bool late = GetTickCount() - run->answerSince > run->answerTimeoutMs;
  if (step->kind == Kind::Menu) {
    scriptanswers::MenuEntry entry;
    entry.byId = step->b != 0;
    entry.id = static_cast<UINT>(step->a);
    entry.text = step->text;
    std::wstring note, error;
    switch (scriptanswers::AdvanceMenu(entry, note, error)) {
      case scriptanswers::Outcome::Done:
        run->host->Note(note);
        run->Advance();
        break;
      case scriptanswers::Outcome::Failed:
        run->Fail(*step, error);
        break;
      case scriptanswers::Outcome::Absent:
        break;  // the wait for one to open is the step's own
      case scriptanswers::Outcome::Waiting:
        if (late) {
          // Open all this time yet never reached: let the step that opened it end.
          run->Fail(*step, L"the menu never reached " + entry.Name());
          scriptanswers::DismissMenus();
        }
        break;
    }
  } else if (HWND dialog = scriptanswers::OpenDialog()) {
    WCHAR caption[128] = {};
    GetWindowTextW(dialog, caption, 128);
    std::wstring error;
    if (step->kind == Kind::Press) {
      run->host->Note(L"dialog \"" + std::wstring(caption) + L"\" pressed " + std::to_wstring(step->a));
      scriptanswers::PressButton(dialog, static_cast<int>(step->a));
      run->Advance();
    } else if (scriptanswers::SetField(dialog, static_cast<int>(step->a), step->text, error)) {
      run->host->Note(L"dialog \"" + std::wstring(caption) + L"\" field " + std::to_wstring(step->a) + L": " +
                      step->text);
      run->Advance();
    } else {
      // Nobody else will close it: the step that opened it could never end.
      run->Fail(*step, error);
      scriptanswers::PressButton(dialog, IDCANCEL);
    }
  }
  run->busy = false;
}

// A box is activated while it is being made, before it has set up its buttons: it is
// answered a moment later, from its own modal loop, once they are in place.
thread_local std::vector<HWND> g_unanswered;

void CALLBACK AnswerLater(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  std::vector<HWND> dialogs;
  dialogs.swap(g_unanswered);
  for (HWND dialog : dialogs) {
    if (!IsWindow(dialog)) continue;
    // The script's next steps fill it in and press its button.
    if (g_run && g_run->NextAnswersDialog()) continue;
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

namespace {

// The rest of the line after its first n words, trimmed.
std::wstring RestOfLine(const std::wstring& line, size_t words) {
  size_t at = 0;
  for (size_t i = 0; i < words; ++i) {
    at = line.find_first_not_of(L" \t", at);
    at = line.find_first_of(L" \t", at);
    if (at == std::wstring::npos) return L"";
  }
  at = line.find_first_not_of(L" \t", at);
  if (at == std::wstring::npos) return L"";
  std::wstring rest = line.substr(at);
  while (!rest.empty() && iswspace(rest.back())) rest.pop_back();
  return rest;
}

const wchar_t* AnswerSyntax(const std::wstring& verb) {
  if (verb == L"menu") return L"expected an entry's text or #ID";
  if (verb == L"field") return L"expected a control number and a value";
  return L"expected ok, cancel, yes, no or a button number";
}

struct ButtonName {
  const wchar_t* name;
  long id;
};
const ButtonName kButtons[] = {{L"ok", IDOK}, {L"cancel", IDCANCEL}, {L"yes", IDYES}, {L"no", IDNO}};

// A menu, field or press step.
bool ParseAnswer(const std::wstring& line, const std::vector<std::wstring>& w, CTodayScript::Step& step) {
  using Kind = CTodayScript::Kind;
  if (w[0] == L"menu") {
    step.kind = Kind::Menu;
    step.text = RestOfLine(line, 1);
    if (step.text.empty()) return false;
    if (step.text[0] == L'#') {
      step.b = 1;  // by command id
      return ParseNumber(step.text.substr(1), step.a) && step.a > 0 && step.a <= 0xFFFF;
    }
    return true;
  }
  if (w[0] == L"field") {
    step.kind = Kind::Field;
    step.text = RestOfLine(line, 2);
    return w.size() >= 2 && ParseNumber(w[1], step.a) && step.a > 0 && step.a <= 0xFFFF;
  }
  step.kind = Kind::Press;
  if (w.size() != 2) return false;
  std::wstring name = w[1];
  for (auto& c : name) c = static_cast<wchar_t>(towlower(c));
  for (const ButtonName& b : kButtons)
    if (name == b.name) {
      step.a = b.id;
      return true;
    }
  return ParseNumber(w[1], step.a) && step.a > 0 && step.a <= 0xFFFF;
}

}  // namespace

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
    } else if (verb == L"menu" || verb == L"field" || verb == L"press") {
      if (!ParseAnswer(line, w, step)) return fail(AnswerSyntax(verb));
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

namespace {

// The key state this thread's windows read for the stylus (the left button).
void SetStylusDown(bool down) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_LBUTTON] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

bool RunSteps(RunState& run, std::wstring& error) {
  using Kind = CTodayScript::Kind;
  using Step = CTodayScript::Step;
  const std::vector<Step>& steps = *run.steps;
  CTodayHost& host = *run.host;
  while (!run.failed && run.next < steps.size()) {
    Step step = steps[run.next];
    auto fail = [&](const std::wstring& why) {
      error = L"line " + std::to_wstring(step.line) + L": " + why;
      return false;
    };
    PumpPendingMessages();
    if (step.kind == Kind::Menu || step.kind == Kind::Field || step.kind == Kind::Press) {
      // No step holds its menu or dialog open: it may still be on its way.
      const size_t at = run.next;
      run.answerSince = GetTickCount();
      while (run.next == at && !run.failed && GetTickCount() - run.answerSince <= run.answerTimeoutMs)
        PumpMessagesFor(20);
      if (run.next == at && !run.failed)
        return fail(step.kind == Kind::Menu ? L"no menu open" : L"no dialog open");
      continue;
    }
    // A tap on a row is a tap where the row is now.
    std::wstring why;
    if (!ResolveRowStep(host, step, why)) return fail(why);
    run.Advance();
    switch (step.kind) {
      case Kind::Tap:
      case Kind::Hold: {
        RECT frame;
        GetWindowRect(host.Frame(), &frame);
        POINT screen = {frame.left + step.a, frame.top + step.b}, client;
        HWND top = ShownWindowAt(host.Frame(), screen);
        HWND target = TargetAt(top, screen, client);
        if (!BringForwardForTap(top, target, screen)) {
          PumpPendingMessages();
          break;
        }
        LPARAM at = MAKELPARAM(client.x, client.y);
        // A hold is the button staying down while the screen runs: the stylus is down
        // for whoever asks (the shell's gesture watch does) until it is lifted.
        if (step.kind == Kind::Hold) SetStylusDown(true);
        PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
        if (step.kind == Kind::Hold) PumpMessagesFor(static_cast<DWORD>(_wtol(step.text.c_str())));
        if (step.kind == Kind::Hold) SetStylusDown(false);
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
      case Kind::Menu:
      case Kind::Field:
      case Kind::Press:
        break;
    }
  }
  return !run.failed;
}

}  // namespace

bool CTodayScript::Run(CTodayHost& host, std::wstring& error) const {
  DialogAnswerer answerer(host);
  RunState run;
  run.steps = &steps_;
  run.host = &host;
  run.answerTimeoutMs = answerTimeoutMs_;
  RunState* const outer = g_run;
  g_run = &run;
  const UINT_PTR answers = SetTimer(nullptr, 0, 40, AnswerOpenModal);
  const bool ran = RunSteps(run, error);
  if (!ran && run.failed) error = run.error;
  KillTimer(nullptr, answers);
  g_run = outer;
  return ran;
}
