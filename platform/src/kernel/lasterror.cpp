// GetLastError and SetLastError: the calling thread's last-error value.
#include "kernel/kernelinternal.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
} // namespace

DWORD WINAPI GetLastError(void) {
    return lastError;
}
void WINAPI SetLastError(DWORD errorCode) {
    lastError = errorCode;
}
