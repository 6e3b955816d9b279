// The device selection dialog: lists the DirectDraw drivers and hands back the chosen one's GUID.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

struct DisplayDeviceEntry {
    char driverName[256];
    char description[256];
    GUID guid;
};

struct DisplayDeviceTable {
    static constexpr int capacity = 256;
    DisplayDeviceEntry entries[capacity];
    int32_t deviceCount;
    int32_t selectedDevice;
};

extern DisplayDeviceTable displayDeviceTable;

// Shows the dialog of template "DEVICE_DIALOG1" from "Vardo_DLL.dll". Nonzero when a driver was
// chosen (its GUID then in outGuid; all zero for the primary driver, which the display takes as
// the default driver); 0 when cancelled, when the template is missing or the dialog could not be
// shown.
int SelectDisplayDevice(HWND parent, HINSTANCE instance, GUID* outGuid);
BOOL CALLBACK EnumDisplayDeviceCallback(GUID* guid, LPSTR description, LPSTR driverName,
                                        LPVOID context);
INT_PTR CALLBACK DeviceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
