#include "platform/richink/richink.h"

#include <richedit.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/aygshell/aygshell.h"

namespace {

HINSTANCE g_module = nullptr;
WNDPROC g_richEdit = nullptr;

// Streams larger than this are refused rather than held in memory whole.
constexpr size_t kMaxStream = 64u * 1024 * 1024;

// Wine's rich edit brings the process down on combining marks of right-to-left and
// complex scripts it cannot place (a Hebrew point with no letter before it, a Latin
// letter carrying an Arabic vowel sign, dozens of points on one letter). Text from
// outside is shown without those scripts' own marks; the marks every script shares
// (U+0300-U+036F) stay on a letter, at most kMaxMarks of them.
constexpr int kMaxMarks = 3;

std::wstring WithoutStrayMarks(const wchar_t* text, size_t length) {
  std::wstring out;
  if (!text || length == 0) return out;
  std::vector<WORD> types(length);
  if (!GetStringTypeW(CT_CTYPE3, text, static_cast<int>(length), types.data())) return std::wstring(text, length);
  std::vector<WORD> classes(length);
  GetStringTypeW(CT_CTYPE1, text, static_cast<int>(length), classes.data());
  out.reserve(length);
  int marks = -1;  // -1: no letter to carry a mark
  for (size_t i = 0; i < length; ++i) {
    const wchar_t c = text[i];
    if ((types[i] & C3_NONSPACING) && !(types[i] & C3_ALPHA)) {
      const bool anyLetter = c >= 0x0300 && c <= 0x036F;
      if (marks < 0 || marks >= kMaxMarks || !anyLetter) continue;
      ++marks;
    } else {
      marks = (classes[i] & C1_ALPHA) ? 0 : -1;
    }
    out += c;
  }
  return out;
}

// Wine's rich edit keeps RTF groups on a stack of fixed depth and brings the process
// down on a group nested deeper (from 33 levels on). Groups nested deeper than this are
// read as part of the group around them: their text stays, only the braces go.
constexpr int kMaxGroupDepth = 30;

// The RTF of `data` with groups nested deeper than kMaxGroupDepth flattened. Escaped
// braces are not group braces and are kept. The rich edit reads the bytes of binary
// data (\binN) as RTF too, so they are counted alike.
std::vector<BYTE> WithShallowGroups(const std::vector<BYTE>& data) {
  std::vector<BYTE> out;
  out.reserve(data.size());
  std::vector<bool> kept;  // per open group: whether its brace was kept
  int depth = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    const BYTE c = data[i];
    if (c == '\\' && i + 1 < data.size()) {
      out.push_back(c);
      out.push_back(data[++i]);
    } else if (c == '{') {
      kept.push_back(depth < kMaxGroupDepth);
      if (kept.back()) {
        ++depth;
        out.push_back(c);
      }
    } else if (c == '}' && !kept.empty()) {
      if (kept.back()) {
        --depth;
        out.push_back(c);
      }
      kept.pop_back();
    } else {
      out.push_back(c);
    }
  }
  return out;
}

struct Buffered {
  const std::vector<BYTE>* data;
  size_t at;
};

DWORD CALLBACK FromBuffer(DWORD_PTR cookie, LPBYTE out, LONG wanted, LONG* given) {
  auto* source = reinterpret_cast<Buffered*>(cookie);
  size_t left = source->data->size() - source->at;
  size_t n = wanted > 0 ? static_cast<size_t>(wanted) : 0;
  if (n > left) n = left;
  if (n) memcpy(out, source->data->data() + source->at, n);
  source->at += n;
  *given = static_cast<LONG>(n);
  return 0;
}

// Reads the caller's stream whole, then hands it to the rich edit, so that RTF that
// is not RTF can be refused before anything is replaced.
LRESULT StreamIn(HWND window, WPARAM format, EDITSTREAM* stream) {
  if (!stream || !stream->pfnCallback) return ERROR_INVALID_PARAMETER;
  const UINT kind = static_cast<UINT>(format) & (SF_TEXT | SF_RTF);
  if (kind != SF_TEXT && kind != SF_RTF) {
    stream->dwError = ERROR_INVALID_PARAMETER;
    return ERROR_INVALID_PARAMETER;
  }
  std::vector<BYTE> data;
  BYTE chunk[4096];
  for (;;) {
    LONG got = 0;
    DWORD error = stream->pfnCallback(stream->dwCookie, chunk, sizeof(chunk), &got);
    if (error) {
      stream->dwError = error;
      return error;
    }
    if (got <= 0) break;
    if (got > static_cast<LONG>(sizeof(chunk)) || data.size() + got > kMaxStream) {
      stream->dwError = ERROR_INVALID_DATA;
      return ERROR_INVALID_DATA;
    }
    data.insert(data.end(), chunk, chunk + got);
  }
  static const char kRtf[] = "{\\rtf";
  if (kind == SF_RTF && (data.size() < 5 || memcmp(data.data(), kRtf, 5) != 0)) {
    stream->dwError = ERROR_INVALID_DATA;
    return ERROR_INVALID_DATA;
  }
  if (kind == SF_TEXT) {
    // Text is read as the caller's characters, cleaned, and given on as UTF-16.
    std::wstring text;
    if (format & SF_UNICODE) {
      text.assign(data.size() / sizeof(wchar_t), L'\0');
      if (!text.empty()) memcpy(&text[0], data.data(), text.size() * sizeof(wchar_t));
    } else if (!data.empty() && data.size() < 0x7FFFFFFF) {
      const int n = static_cast<int>(data.size());
      const int chars = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(data.data()), n, nullptr, 0);
      text.assign(chars > 0 ? chars : 0, L'\0');
      if (chars > 0) MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(data.data()), n, &text[0], chars);
    }
    text = WithoutStrayMarks(text.c_str(), text.size());
    data.assign(reinterpret_cast<const BYTE*>(text.data()),
                reinterpret_cast<const BYTE*>(text.data()) + text.size() * sizeof(wchar_t));
    format = (format & ~static_cast<WPARAM>(SF_TEXT | SF_RTF)) | SF_TEXT | SF_UNICODE;
  } else {
    data = WithShallowGroups(data);
  }
  Buffered source = {&data, 0};
  EDITSTREAM inner = {};
  inner.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  inner.pfnCallback = FromBuffer;
  CallWindowProcW(g_richEdit, window, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&inner));
  stream->dwError = inner.dwError;
  return inner.dwError;
}

void SetZoom(HWND window, UINT percent) {
  // The rich edit zooms by a ratio between 1/64 and 64; 0 turns zooming off.
  if (percent > 6400) percent = 6400;
  CallWindowProcW(g_richEdit, window, EM_SETZOOM, percent, percent ? 100 : 0);
}

LRESULT NotifyContext(HWND window, POINT at) {
  NMRGINFO note = {};
  note.hdr.hwndFrom = window;
  note.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
  note.hdr.code = GN_CONTEXTMENU;
  note.ptAction = at;
  HWND parent = GetParent(window);
  return parent ? SendMessageW(parent, WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note)) : 0;
}

POINT PointOf(LPARAM lParam) { return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

LRESULT CALLBACK RichInkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
    case WM_CREATE: {
      // A RichInk is a document view: always many lines, whatever style it is given.
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      if (create && !(create->style & ES_MULTILINE)) {
        create->style |= ES_MULTILINE;
        SetWindowLongW(window, GWL_STYLE, GetWindowLongW(window, GWL_STYLE) | ES_MULTILINE);
      }
      break;
    }
    case EM_SETZOOMPERCENT:
      SetZoom(window, static_cast<UINT>(wParam));
      return TRUE;
    case EM_SETVIEWATTRIBUTES: {
      const auto* attributes = reinterpret_cast<const VIEWATTRIBUTES*>(lParam);
      if (attributes && (attributes->mask & VIEWATTRIBUTE_ZOOM)) SetZoom(window, attributes->uZoom);
      return 0;
    }
    case EM_RICHINK_1353:
      return 0;
    case EM_STREAMIN:
      return StreamIn(window, wParam, reinterpret_cast<EDITSTREAM*>(lParam));
    case WM_SETTEXT:
    case EM_REPLACESEL:
      if (lParam) {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        const std::wstring clean = WithoutStrayMarks(text, wcslen(text));
        return CallWindowProcW(g_richEdit, window, message, wParam, reinterpret_cast<LPARAM>(clean.c_str()));
      }
      break;
    case WM_RBUTTONDOWN:
      return 0;
    case WM_RBUTTONUP:
      NotifyContext(window, PointOf(lParam));
      return 0;
    case WM_LBUTTONDOWN: {
      SHRGINFO gesture = {};
      gesture.cbSize = sizeof(gesture);
      gesture.hwndClient = window;
      gesture.ptDown = PointOf(lParam);
      gesture.dwFlags = SHRG_RETURNCMD;
      if (SHRecognizeGesture(&gesture) == GN_CONTEXTMENU) {
        NotifyContext(window, gesture.ptDown);
        return 0;
      }
      break;
    }
    default:
      break;
  }
  return CallWindowProcW(g_richEdit, window, message, wParam, lParam);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

RICHINK_API void WINAPI InitRichInkDLL() {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(g_module, WC_RICHINK, &existing)) return;
  if (!LoadLibraryW(L"riched20.dll")) return;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(nullptr, L"RichEdit20W", &wc)) return;
  g_richEdit = wc.lpfnWndProc;
  wc.lpfnWndProc = RichInkProc;
  wc.hInstance = g_module;
  wc.style |= CS_GLOBALCLASS;
  wc.lpszClassName = WC_RICHINK;
  RegisterClassExW(&wc);
}
