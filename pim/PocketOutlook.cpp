#include "pim/PocketOutlook.h"

namespace {

// The class context the device's programs create the object model with.
const DWORD kClassContext = 23;

IPOutlookApp* g_app = nullptr;
IUnknown* g_app2 = nullptr;
BOOL g_loggedOn = FALSE;
BOOL g_useWindow = FALSE;
HWND g_notificationWindow = nullptr;
CPocketOutlook::Factory g_factory = nullptr;

HRESULT CreateApplication(IPOutlookApp** app) {
  if (g_factory) return g_factory(app);
  return CoCreateInstance(CLSID_Application, nullptr, kClassContext, IID_IPOutlookApp,
                          reinterpret_cast<void**>(app));
}

}  // namespace

CPocketOutlook::CPocketOutlook(BOOL useWindow) { g_useWindow = useWindow; }

IPOutlookApp* CPocketOutlook::GetInst() {
  if (g_app) return g_app;
  IPOutlookApp* app = nullptr;
  if (FAILED(CreateApplication(&app)) || !app) return nullptr;
  g_app = app;
  IUnknown* second = nullptr;
  if (SUCCEEDED(app->QueryInterface(IID_IPOutlookApp2, reinterpret_cast<void**>(&second)))) g_app2 = second;
  // No extra reference is taken here: Logoff gives back exactly what creation took,
  // so an object model in another process can end.
  Login();
  return g_app;
}

IUnknown* CPocketOutlook::GetInst2() {
  GetInst();
  return g_app2;
}

BOOL CPocketOutlook::Login() {
  if (!g_app) return FALSE;
  // Before the notification window exists the logon names no window; it is not
  // repeated later (the database notifications still reach the panel).
  HWND window = g_useWindow ? g_notificationWindow : nullptr;
  HRESULT hr = g_app->Logon(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
  if (FAILED(hr)) return FALSE;
  g_loggedOn = TRUE;
  return TRUE;
}

BOOL CPocketOutlook::IsLoggedOn() { return g_loggedOn; }

void CPocketOutlook::Logoff() {
  if (!g_app) return;
  if (g_loggedOn) g_app->Logoff();
  g_loggedOn = FALSE;
  if (g_app2) g_app2->Release();
  g_app2 = nullptr;
  IPOutlookApp* app = g_app;
  g_app = nullptr;
  app->Release();
}

void CPocketOutlook::SetNotificationWindow(HWND window) { g_notificationWindow = window; }

void CPocketOutlook::SetFactory(Factory factory) { g_factory = factory; }
