// Where the product is installed, and how the options program is started from there.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include "platform/windowlib/String.h"

// The installer's key under HKEY_LOCAL_MACHINE, holding "InstallDir".
#define TARVO_INSTALL_KEY L"SOFTWARE\\Apps\\Qel Tarvo"

// The install folder, or with fileName the path of that file in it: "InstallDir"
// of the installer's key, then "\" and the name. An empty "InstallDir" gives the
// device root ("\name"). Without the key, GetModuleDirPath.
void GetInstallPath(CString& path, LPCWSTR fileName = nullptr);
// The folder of the binary this code is linked into (the library or program
// itself) without its final "\", or with fileName the path of that file in it.
void GetModuleDirPath(CString& path, LPCWSTR fileName = nullptr);
// Appends "\" to a non-empty path that does not end in one.
void EnsureTrailingBackslash(CString& path);

// Starts "TarvoSettings.exe" from the install folder with the parameters ("-p3:0").
BOOL RunSettingsProgram(LPCWSTR parameters);

// Every program launch goes through this, so tests see what would be started
// instead of starting it. Returns the previous launcher; null restores ShellExecuteExW.
typedef BOOL (*PFN_PROGRAM_LAUNCHER)(SHELLEXECUTEINFOW* info);
PFN_PROGRAM_LAUNCHER SetProgramLauncher(PFN_PROGRAM_LAUNCHER launcher);
// Starts a program through the launcher (ShellExecuteExW unless one is set).
BOOL LaunchProgram(SHELLEXECUTEINFOW* info);
