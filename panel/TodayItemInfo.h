// The Today screen's items as the registry lists them, and how items are embedded
// in a container item (the panel is one): which items may be embedded, which are
// embedded where, and which container would end up inside itself.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/windowlib/String.h"

// The Today screen's list of items under HKEY_LOCAL_MACHINE.
#define TODAY_ITEMS_KEY L"Software\\Microsoft\\Today\\Items"
// The height-resize value's second letter is a Cyrillic capital IE (U+0415), as the
// embedding protocol spells it; written as an escape so that no editor "fixes" it.
#define TODAY_HEIGHT_RESIZE_VALUE L"S\x0415HeightResizeType"

struct TodayItemInfo {
  CString keyName;
  DWORD order = 50;
  CString dllPath;
  DWORD enabled = 0;
  DWORD selectability = 0;
  DWORD flags = 0;
  CString name;
  LONG minWidth = 0;
  DWORD minHeight = 0;
  DWORD version = static_cast<DWORD>(-1);  // -1: not declared
  DWORD heightResizeType = 0;
  DWORD cyclic = 0;

  // Fills every field from the open item key.
  static void Read(TodayItemInfo& info, LPCWSTR keyName, HKEY key);
  // Writes "STEmbedded" (container, may be empty) and "Enabled" from info.enabled.
  static BOOL SetEmbedding(const TodayItemInfo& info, LPCWSTR container);
};

struct TodayContainerInfo {
  WCHAR name[261] = {};
  BOOL found = FALSE;
  DWORD possibleTabs = 0;
  DWORD currentTabs = 0;
  DWORD recommendedIndent = 0;
  DWORD version = 0;
};

// True and info filled when the item may be shown in the container (null: when it
// is embedded nowhere) by a container that speaks at least minVersion.
BOOL ReadTodayItemIfEmbeddable(LPCWSTR container, DWORD minVersion, LPCWSTR keyName, TodayItemInfo& info);
// Appends the items embedded in container; an item in which the container itself
// is embedded, directly or through others, gets its cyclic flag.
void EnumEmbeddedTodayItems(LPCWSTR container, DWORD minVersion, std::vector<TodayItemInfo>& list);
// Appends the qualifying items embedded nowhere, except the item named excluded.
void EnumFreeTodayItems(std::vector<TodayItemInfo>& list, LPCWSTR excluded, DWORD minVersion);
// S_OK (info.found says whether there is a container, masks OR-ed up the chain) or
// E_FAIL for an empty name or a container further up that cannot be read. A loop
// of containers ends where a container comes round again.
HRESULT GetContainerInfo(LPCWSTR keyName, TodayContainerInfo& info);
// Whether reading an item or container writes the missing "Order", "Enabled" and
// container values back with their defaults. The plug-in does; the options
// program reads other makers' keys without writing into them. Set once at start.
void SetTodayItemDefaultsWrittenBack(BOOL writeBack);
BOOL AreTodayItemDefaultsWrittenBack();

// Enabled items first, then by display name ignoring case; < 0, 0, > 0.
int CompareTodayItemsForMenu(const TodayItemInfo& a, const TodayItemInfo& b);
