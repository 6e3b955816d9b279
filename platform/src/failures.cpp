// Last-error value and the failures that tests inject into layer calls.
#include <map>
#include <string>

#include "internal.h"
#include "platformtest.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
struct Pending {
    int skip = 0;
    int times = 0;
};

std::map<std::string, Pending>& PendingFailures() {
    static auto* pending = new std::map<std::string, Pending>;
    return *pending;
}
} // namespace

DWORD WINAPI GetLastError(void) {
    return lastError;
}
void WINAPI SetLastError(DWORD errorCode) {
    lastError = errorCode;
}

namespace Layer {

bool ShouldFail(const char* function) {
    auto& pending = PendingFailures();
    auto found = pending.find(function);
    if (found == pending.end())
        return false;
    if (found->second.skip > 0) {
        --found->second.skip;
        return false;
    }
    if (--found->second.times <= 0)
        pending.erase(found);
    return true;
}

void ClearFailures() {
    PendingFailures().clear();
}

} // namespace Layer

void PlatformTest::FailNext(const std::string& function, int times, int after) {
    Pending& pending = PendingFailures()[function];
    pending.times += times;
    pending.skip = after;
}
