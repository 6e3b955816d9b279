// GetLastError and SetLastError: the calling thread's last-error value; and the note a maintainer
// gets of flags the layer does not support.
#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "kernel/kernelinternal.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
} // namespace

void Layer::NoteUnsupportedFlags(const char* call, unsigned long flags, unsigned long supported) {
    unsigned long unsupported = flags & ~supported;
    if (unsupported == 0)
        return;
    static std::mutex lock;
    static auto* noted = new std::set<std::string>; // never destroyed: exit handlers may call
    std::lock_guard<std::mutex> guard(lock);
    if (noted->insert(call).second)
        fprintf(stderr, "platform: %s does not support the flags 0x%lx and ignores them\n", call,
                unsupported);
}

DWORD WINAPI GetLastError(void) {
    return lastError;
}
void WINAPI SetLastError(DWORD errorCode) {
    lastError = errorCode;
}
