// TarvoSettings.exe: the options program.
#include <windows.h>

#include "settings/pages/SectionSheet.h"
#include "settings/shell/SettingsApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
  RegisterSectionSheets();
  return CSettingsApp::Main(instance, commandLine, showCommand);
}
