// Dialogs: what the layer has of them (no templates), and the predefined list box.

#include "user/userinternal.h"

namespace {

LRESULT CALLBACK ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto count = static_cast<int>(window->listItems.size());
    switch (message) {
    case LB_ADDSTRING:
        window->listItems.emplace_back(lParam != 0 ? reinterpret_cast<const char*>(lParam) : "");
        return count;
    case LB_GETCOUNT:
        return count;
    case LB_GETCURSEL:
        return window->listSelection;
    case LB_SETCURSEL: {
        auto index = static_cast<int>(static_cast<INT_PTR>(wParam));
        window->listSelection = (index >= 0 && index < count) ? index : -1;
        return (index >= 0 && index < count) ? index : LB_ERR;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

void Layer::RegisterSystemClasses() {
    WNDCLASSA listBox{};
    listBox.lpfnWndProc = ListBoxProc;
    listBox.lpszClassName = "LISTBOX";
    DWORD error = GetLastError();
    RegisterClassA(&listBox); // fails harmlessly when it is already there
    SetLastError(error);
}

INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE, LPCDLGTEMPLATEA, HWND, DLGPROC, LPARAM) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    if (!Layer::CheckWindow(dialog))
        return FALSE;
    dialog->dialogEnded = true;
    dialog->dialogResult = result;
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    for (HWND window : Layer::LiveWindows())
        if (window->parent == dialog && window->id == id && (window->style & WS_CHILD))
            return window;
    SetLastError(1421); // ERROR_CONTROL_ID_NOT_FOUND
    return nullptr;
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr ? SendMessageA(item, message, wParam, lParam) : 0;
}
