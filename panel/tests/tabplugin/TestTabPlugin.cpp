// The test tab plug-in: ordinal 240 makes a plain child window 24 pixels high; the
// export hands out an ITabPlugin that behaves as the state's mode says and counts
// what it was asked.
#include "panel/tests/tabplugin/TestTabPlugin.h"

#include <cwchar>
#include <stdexcept>

#include "panel/TabPlugin.h"
#include "platform/today/todaycmn.h"

namespace {

TestTabPluginState g_state = {};

class CTestPlugin final : public ITabPlugin {
 public:
  CTestPlugin() { InterlockedIncrement(&g_state.liveReferences); }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    InterlockedIncrement(&g_state.liveReferences);
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    InterlockedDecrement(&g_state.liveReferences);
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  bool STDMETHODCALLTYPE Init(HWND host, int width, int height, WCHAR tabChar) override {
    ++g_state.initCalls;
    g_state.initHost = host;
    g_state.initWidth = width;
    g_state.initHeight = height;
    g_state.initChar = tabChar;
    if (g_state.mode == kPluginInitThrows) throw std::runtime_error("init");
    return g_state.mode != kPluginRefuses;
  }
  void STDMETHODCALLTYPE DrawIcon(HDC dc, HBITMAP, const RECT* rect, BOOL selected) override {
    ++g_state.drawCalls;
    if (g_state.mode == kPluginDrawThrows) throw std::runtime_error("draw");
    if (g_state.mode == kPluginDrawsNothing || !rect) return;
    RECT square = *rect;
    InflateRect(&square, -1, -1);
    HBRUSH brush = CreateSolidBrush(selected ? TEST_TAB_PLUGIN_SELECTED : TEST_TAB_PLUGIN_NORMAL);
    FillRect(dc, &square, brush);
    DeleteObject(brush);
  }
  void STDMETHODCALLTYPE Refresh() override { ++g_state.refreshCalls; }

 private:
  LONG m_references = 1;
};

}  // namespace

extern "C" HWND WINAPI TestInitializeItem(TODAYLISTITEM* item, HWND parent) {
  if (!item || !parent) return nullptr;
  item->cyp = 24;
  return CreateWindowExW(0, L"STATIC", L"tab plug-in", WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
}

extern "C" HRESULT STDMETHODCALLTYPE GetSmartPluginInterface(LPCWSTR name, ITabPlugin** out) {
  ++g_state.exportCalls;
  if (name) {
    wcsncpy(g_state.exportName, name, 63);
    g_state.exportName[63] = 0;
  }
  if (!out) return E_POINTER;
  *out = nullptr;
  switch (g_state.mode) {
    case kPluginExportFails: return E_FAIL;
    case kPluginNoInterface: return S_OK;
    case kPluginExportThrows: throw std::runtime_error("export");
    default: *out = new CTestPlugin; return S_OK;
  }
}

extern "C" TestTabPluginState* WINAPI TestTabPluginGetState() { return &g_state; }
