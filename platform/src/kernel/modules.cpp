// Modules and resources: the Linux program is the only module, and it has no DLLs, and no
// resources but those the layer links in (icons, see user/icons.cpp).
#include "kernel/kernelinternal.h"

namespace Layer {

HINSTANCE ProgramInstance() {
    static char anchor; // the instance handle only identifies the program; it points at nothing
    return reinterpret_cast<HINSTANCE>(&anchor);
}

} // namespace Layer

HMODULE WINAPI LoadLibraryA(LPCSTR) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

BOOL WINAPI SetDllDirectoryA(LPCSTR) {
    return TRUE;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    if (name == nullptr)
        return Layer::ProgramInstance(); // the program itself
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
