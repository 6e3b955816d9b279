// Libraries, resources and dialogs: what the layer has of them, and the predefined list box.
#include <cstdarg>
#include <cstdio>
#include <cstring>

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
    case LB_GETTEXTLEN:
    case LB_GETTEXT: {
        auto index = static_cast<int>(static_cast<INT_PTR>(wParam));
        if (index < 0 || index >= count)
            return LB_ERR;
        const std::string& text = window->listItems[static_cast<size_t>(index)];
        if (message == LB_GETTEXT && lParam != 0)
            memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
        return static_cast<LRESULT>(text.size());
    }
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

HMODULE WINAPI LoadLibraryA(LPCSTR) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

BOOL WINAPI FreeLibrary(HMODULE) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    if (name == nullptr)
        return Layer::ProgramInstance(); // the program itself
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

FARPROC WINAPI GetProcAddress(HMODULE, LPCSTR) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

HRSRC WINAPI FindResourceA(HMODULE, LPCSTR, LPCSTR) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC) {
    return nullptr;
}
LPVOID WINAPI LockResource(HGLOBAL) {
    return nullptr;
}
BOOL WINAPI FreeResource(HGLOBAL) {
    return FALSE;
}

INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE, LPCDLGTEMPLATEA, HWND, DLGPROC, LPARAM) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    if (!Layer::IsLiveWindow(dialog)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
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

int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(buffer, 1025, format, arguments);
    va_end(arguments);
    return length < 0 ? 0 : (length > 1024 ? 1024 : length);
}
