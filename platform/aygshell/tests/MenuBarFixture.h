// Resources of the menu bar fixture (MenuBarFixture.rc).
#pragma once
#define IDM_PLAIN 100        // a plain menu: popup "File", command "Done", popup "Edit"
#define IDM_POPUPS 101       // the popups of the menu bar resource
#define IDR_MENUBAR 104      // a menu bar resource: "New" (command), "Menu" (popup 0)
#define IDR_BROKENBAR 105    // a menu bar resource that claims more buttons than it has
#define IDS_NEW 200
#define IDS_MENU 201
#define ID_OPEN 40001
#define ID_CLOSE 40002
#define ID_DONE 40003
#define ID_COPY 40011
#define ID_NEW 40061
#define ID_MENU 40062
#define ID_ITEM 40070
