#include "settings/base/TabBarHeight.h"

#include "base/RegKey.h"

int GetTabBarHeight(BOOL horizontalTabs, BOOL tabHost) {
  if (tabHost) return 60;
  if (horizontalTabs) return 80;
  int tabs = 0;
  {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    DWORD shown = product.GetDWORD(L"ShowTabs", 0xFFFFFFFF);
    for (DWORD bit = 1; bit <= 32; bit <<= 1)
      if (shown & bit) ++tabs;
  }
  CRegKey custom(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY L"\\CustomTabs");
  CString name;
  for (BOOL more = custom.EnumFirstSubKey(name); more; more = custom.EnumNextSubKey(name)) ++tabs;
  if (tabs < 3) tabs = 3;
  return 20 * tabs;
}
