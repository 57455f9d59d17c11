// Saves a picture as PNG through the system's image encoders.
#pragma once
#include <windows.h>

class CDib;

BOOL SavePng(const CDib& picture, LPCWSTR path);
