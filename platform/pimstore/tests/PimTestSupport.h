// Shared by the object-model tests: a device root of the program's own, the server
// registered in the prefix, fresh stores, and the program re-run as a child.
#pragma once
#include <windows.h>

#include <string>

#include "platform/pimstore/pimstore.h"

namespace pimtest {

// Selects the older (version 4.21) or the newer (5.1) store for objects made after it.
void UseLayout(bool newer);
// Empties every PIM database of both layouts.
void ClearStores();
// A new application object through CoCreateInstance (registered in the prefix).
IPOutlookApp* CreateApp();
// Runs this program again with "--pim-child JOB ARG"; the exit code, or -1.
int RunChild(const wchar_t* job, const std::wstring& arg);
// A child's job (defined by the tests): returns its exit code.
int ChildJob(const std::wstring& job, const std::wstring& arg);

}  // namespace pimtest
