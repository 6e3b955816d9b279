// SelectDisplayDevice, its enumeration callback and its dialog procedure.
#include "devicedialog.h"

#include <cstring>

#include "core/errorlog.h"
#include "core/messagebox.h"

DisplayDeviceTable displayDeviceTable;

namespace {
constexpr int listBoxId = 1000;
constexpr const char* templateMissingText = "ダイアログテンプレートの読み込みに失敗";

// Copies at most the field's size less its terminator.
void CopyField(char (&field)[256], const char* text) {
    if (text == nullptr)
        text = "";
    strncpy(field, text, sizeof field - 1);
    field[sizeof field - 1] = '\0';
}
} // namespace

BOOL CALLBACK EnumDisplayDeviceCallback(GUID* guid, LPSTR description, LPSTR driverName, LPVOID) {
    DisplayDeviceTable& table = displayDeviceTable;
    if (table.deviceCount >= DisplayDeviceTable::capacity)
        return DDENUMRET_CANCEL; // the table is full: stop the enumeration
    DisplayDeviceEntry& entry = table.entries[table.deviceCount];
    CopyField(entry.description, description);
    CopyField(entry.driverName, driverName);
    // The primary driver comes without a GUID; an all-zero GUID stands for it.
    if (guid != nullptr)
        entry.guid = *guid;
    else
        memset(&entry.guid, 0, sizeof entry.guid);
    table.deviceCount += 1;
    return DDENUMRET_OK;
}

INT_PTR CALLBACK DeviceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    DisplayDeviceTable& table = displayDeviceTable;
    switch (message) {
    case WM_INITDIALOG:
        for (int i = 0; i < table.deviceCount; ++i)
            SendDlgItemMessageA(dialog, listBoxId, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(table.entries[i].description));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            table.selectedDevice =
                static_cast<int32_t>(SendDlgItemMessageA(dialog, listBoxId, LB_GETCURSEL, 0, 0));
            if (table.selectedDevice >= 0 && table.selectedDevice < table.deviceCount)
                EndDialog(dialog, 1);
            else
                ShowMessageBox(dialog, "正確に選択して下さい", "エラー", MB_ICONINFORMATION);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
        }
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

int SelectDisplayDevice(HWND parent, HINSTANCE instance, GUID* outGuid) {
    displayDeviceTable.deviceCount = 0;
    DirectDrawEnumerateA(EnumDisplayDeviceCallback, nullptr);
    HMODULE library = LoadLibraryA("Vardo_DLL.dll");
    HRSRC found = FindResourceA(library, "DEVICE_DIALOG1", RT_DIALOG);
    if (found == nullptr) {
        WriteErrorLog(templateMissingText);
        return 0;
    }
    HGLOBAL loaded = LoadResource(library, found);
    auto dialogTemplate = static_cast<LPCDLGTEMPLATEA>(LockResource(loaded));
    INT_PTR result = DialogBoxIndirectParamA(instance, dialogTemplate, parent, DeviceDialogProc, 0);
    FreeResource(loaded);
    // -1 means the dialog could not be created: nothing was chosen.
    if (result == 0 || result == -1)
        return 0;
    *outGuid = displayDeviceTable.entries[displayDeviceTable.selectedDevice].guid;
    return static_cast<int>(result);
}
