// Picture files of items: the name a chosen file is stored under in an icon folder,
// and the copy into that folder.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

// Takes away the read-only attribute of an existing file, so that it can be replaced.
void ClearReadOnlyAttribute(LPCWSTR path);

// Copies source over target inside folder (with or without its trailing "\"): the
// folder is made when missing and a read-only target is cleared first.
BOOL CopyIntoFolder(LPCWSTR source, LPCWSTR folder, LPCWSTR target);

// The name a picture is kept under: the source's folder name and file name joined by
// "-", without the extension ("\pics\cars\red.bmp" gives "cars-red"). A path without
// any "\" is a bare file name and gives that name alone. ext receives the extension of
// the file name with its "." (empty when it has none).
CString IconStoredName(LPCWSTR source, CString* ext = nullptr);

// Copies source into the icon folder as the stored name with the source's extension.
// FALSE for an empty source or name, or when the copy fails.
BOOL CopyIconFile(LPCWSTR source, CString& storedName, LPCWSTR folder);
