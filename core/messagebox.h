// Message boxes whose texts are code page 932, readable whatever the system's ANSI code page is.
#pragma once

#include <windows.h>

// Converts text and caption from code page 932 and shows them through MessageBoxW, so that a
// Windows set to another language shows the Japanese texts instead of mojibake. Returns what
// MessageBoxW returns (0 when the box could not be shown or a text could not be converted).
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);
