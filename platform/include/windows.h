// The Win32 subset that the game calls, for the Linux build: types, kernel, USER and GDI.
#pragma once

#include "windef.h"
#include "winbase.h"
#include "winuser.h"
#include "wingdi.h"

// The entry point that a Windows GUI program defines; the layer's main() calls it.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);
