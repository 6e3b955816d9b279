// Last-error value and the failures that tests inject into layer calls.
#include <map>
#include <string>

#include "internal.h"
#include "platformtest.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
std::map<std::string, int>& PendingFailures() {
    static auto* pending = new std::map<std::string, int>;
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
    if (found == pending.end() || found->second <= 0)
        return false;
    if (--found->second == 0)
        pending.erase(found);
    return true;
}

void ClearFailures() {
    PendingFailures().clear();
}

} // namespace Layer

void PlatformTest::FailNext(const std::string& function, int times) {
    PendingFailures()[function] += times;
}
