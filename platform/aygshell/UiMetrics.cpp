#include "platform/aygshell/AygTest.h"
#include "platform/aygshell/ShellInternal.h"

namespace {

// The device's standard text size is 8 points (11 pixels at 96 dots per inch).
constexpr LONG kStandardPoints = 8;
volatile LONG g_points = kStandardPoints;

}  // namespace

AYG_API HRESULT WINAPI SHGetUIMetrics(SHUIMETRIC metric, void* buffer, DWORD size, DWORD* needed) {
  if (metric < SHUIM_FONTSIZE_POINT || metric > SHUIM_FONTSIZE_PERCENTAGE) return E_INVALIDARG;
  if (needed) *needed = sizeof(DWORD);
  if (!buffer) return S_OK;  // a size query
  if (size < sizeof(DWORD)) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  const DWORD points = static_cast<DWORD>(g_points);
  DWORD value = points;
  if (metric == SHUIM_FONTSIZE_PIXEL) value = static_cast<DWORD>(MulDiv(points, ayg::ScreenDpiY(), 72));
  if (metric == SHUIM_FONTSIZE_PERCENTAGE) value = points * 100 / kStandardPoints;
  *static_cast<DWORD*>(buffer) = value;
  return S_OK;
}

AYG_API void WINAPI AygTestSetSystemFontPoints(DWORD points) {
  if (points == 0) return;
  InterlockedExchange(&g_points, static_cast<LONG>(points));
  ayg::SendToTopLevelWindows(RegisterWindowMessageW(SH_UIMETRIC_CHANGE), 0, SHUIM_FONTSIZE_POINT);
}
