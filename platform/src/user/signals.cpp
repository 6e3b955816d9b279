// Requests to stop from outside the program: SIGINT (Ctrl+C), SIGTERM (kill, a logout) and SIGHUP
// (the terminal gone) reach the top-level windows as the close box does, so the program ends
// through its own shutdown. Any second one ends the process at once (the program did not stop when
// asked), and so does any of them while a message box is open (its loop would never see it).
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

#include "user/userinternal.h"

namespace {

std::atomic<int> pendingRequests{0};
std::atomic<bool> boxOpen{false};

// On X11, SDL shows a message box from a child process of its own. Forked while a box is open,
// that child dies with the program, so that a box never outlives a program a signal ended.
pid_t boxParent = 0;
void AfterForkInChild() {
    if (!boxOpen.load())
        return;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != boxParent)
        _exit(0); // the program ended before the line above
}

std::atomic<int> signalsReceived{0};

void OnSignal(int number) {
    if (boxOpen.load() || signalsReceived.fetch_add(1) > 0)
        _exit(128 + number); // asked twice, or nothing would hear it: stop now
    pendingRequests.fetch_add(1);
}

} // namespace

namespace Layer {

void InstallCloseSignals() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
}

void SetMessageBoxOpen(bool open) {
    static bool watchingForks = false;
    if (open && !watchingForks) {
        watchingForks = true;
        pthread_atfork(nullptr, nullptr, AfterForkInChild);
    }
    boxParent = getpid();
    boxOpen.store(open);
}

void RequestClose() {
    pendingRequests.fetch_add(1);
}

void DeliverCloseRequests() {
    if (pendingRequests.exchange(0) == 0)
        return;
    for (HWND window : LiveWindows())
        if (window->parent == nullptr)
            TranslateCloseBox(window);
}

} // namespace Layer
