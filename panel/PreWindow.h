// The placeholder: the light window the Today screen (and the tab host) gets at
// first. It answers the height query from the registry alone and turns into the
// panel the first time it is painted or asked to show a tab; the window handle
// stays the same.
#pragma once
#include <windows.h>

#include "platform/today/todaycmn.h"

#define TARVO_PRE_WINDOW_CLASS L"Qel_Tarvo_PreWindow"
#define TARVO_PRE_WINDOW_TITLE L"QelTarvo_NULL"

// The placeholder for an enabled item (a new one, or the one that still exists),
// null for a null or disabled item. mode: 0 Today screen, 1 tab host.
HWND CreatePreWindow(TODAYLISTITEM* item, HWND parent, int mode);
LRESULT CALLBACK PreWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The height, in device pixels, the placeholder reports; never negative.
int GetItemHeight();
// The record the host gave the placeholder (null when none): the one record the
// height answers may write.
TODAYLISTITEM* GetPreWindowItem();
// Builds the panel on the window; FALSE when no panel could be made.
BOOL CreateTodayPanel(HWND window);

// How the placeholder makes its panel: MakeTodayPanel unless another maker is set
// (null restores it). Returns the previous maker.
class CTodayPanelBase;
typedef CTodayPanelBase* (*PFN_MAKE_TODAY_PANEL)(int mode);
PFN_MAKE_TODAY_PANEL SetTodayPanelMaker(PFN_MAKE_TODAY_PANEL maker);

// The registered messages the placeholder answers (registered with the window).
UINT GetActivateTabMessage();
UINT GetSetCurrentPluginMessage();
UINT GetUpdateSettingsMessage();
