// Message boxes whose texts are code page 932, readable whatever the system's ANSI code page is.
#pragma once

#include <windows.h>

// Converts text and caption from code page 932 and shows them through MessageBoxW, so that a
// Windows set to another language shows the Japanese texts instead of mojibake. Where code page
// 932 cannot be converted (not installed), the bytes go to MessageBoxA as they are: a box in
// mojibake still tells the player something. Returns what the box returns (0 when none was shown).
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);
