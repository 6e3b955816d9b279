// The thread's message queue with Win32 retrieval order, dispatch, sending and default processing.
//
// Retrieval order: posted messages first (oldest first), then WM_QUIT once PostQuitMessage was
// called and no posted message is left, then input messages (keyboard, mouse, close box) in the
// order they happened. Sent messages call the window procedure at once. In headless mode a
// GetMessageA that would wait forever returns -1 instead of hanging.
#include <deque>

#include "user/userinternal.h"
#include "kernel/testhooks.h"
#include "mmsystem.h"

namespace {

std::deque<MSG>& Posted() {
    static auto* queue = new std::deque<MSG>;
    return *queue;
}

std::deque<MSG>& Input() {
    static auto* queue = new std::deque<MSG>;
    return *queue;
}

bool quitPosted = false;
int quitCode = 0;

bool PassesFilter(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window == reinterpret_cast<HWND>(-1)) {
        if (msg.hwnd != nullptr)
            return false;
    } else if (window != nullptr && msg.hwnd != window) {
        return false;
    }
    if (filterMin == 0 && filterMax == 0)
        return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

bool TakeFrom(std::deque<MSG>& queue, MSG* out, HWND window, UINT filterMin, UINT filterMax,
              bool remove) {
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (!PassesFilter(*it, window, filterMin, filterMax))
            continue;
        *out = *it;
        if (remove)
            queue.erase(it);
        return true;
    }
    return false;
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = Layer::ClockNow();
    return msg;
}

bool ValidTarget(HWND window) {
    return window == nullptr || Layer::CheckWindow(window);
}

} // namespace

namespace Layer {

void PostInputMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::deque<MSG>& input = Input();
    if (message == WM_MOUSEMOVE && !input.empty() && input.back().message == WM_MOUSEMOVE &&
        input.back().hwnd == window) {
        input.back() = MakeMessage(window, message, wParam, lParam); // the newest position only
        return;
    }
    if (input.size() < static_cast<size_t>(queueLimit))
        input.push_back(MakeMessage(window, message, wParam, lParam));
}

void ClearQueues() {
    Posted().clear();
    Input().clear();
    quitPosted = false;
    quitCode = 0;
}

} // namespace Layer

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (msg == nullptr)
        return FALSE;
    if (window != nullptr && window != reinterpret_cast<HWND>(-1) && !Layer::CheckWindow(window))
        return FALSE;
    Layer::Screen().BeginLoopTurn();
    Layer::Screen().PumpInput();
    Layer::DeliverCloseRequests();
    bool remove = (removeFlags & PM_REMOVE) != 0;
    if (TakeFrom(Posted(), msg, window, filterMin, filterMax, remove))
        return TRUE;
    if (quitPosted &&
        ((filterMin == 0 && filterMax == 0) || (WM_QUIT >= filterMin && WM_QUIT <= filterMax))) {
        *msg = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0);
        if (remove)
            quitPosted = false;
        return TRUE;
    }
    if (TakeFrom(Input(), msg, window, filterMin, filterMax, remove))
        return TRUE;
    // Nothing waits: rest until input comes or the program may have work again, so that a
    // program polling in a loop does not keep a processor busy.
    Layer::Screen().RestWhileIdle();
    return FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    if (window != nullptr && window != reinterpret_cast<HWND>(-1) && !Layer::CheckWindow(window))
        return -1;
    for (;;) {
        if (PeekMessageA(msg, window, filterMin, filterMax, PM_REMOVE))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        if (!Layer::Screen().WaitForInput(10))
            return -1; // nothing can ever arrive: report it rather than hang
    }
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (msg == nullptr)
        return FALSE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)
        return msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP;
    // Keys that produce a character post it right behind the key message.
    int key = static_cast<int>(msg->wParam);
    int character = 0;
    if ((key >= '0' && key <= '9') || key == VK_SPACE)
        character = key;
    else if (key >= 'A' && key <= 'Z')
        character = key - 'A' + 'a';
    else if (key == VK_RETURN || key == VK_ESCAPE || key == VK_BACK || key == VK_TAB)
        character = key;
    if (character != 0)
        Posted().push_back(MakeMessage(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR,
                                       static_cast<WPARAM>(character), msg->lParam));
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr)
        return 0;
    if (!Layer::CheckWindow(msg->hwnd))
        return 0;
    return msg->hwnd->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!ValidTarget(window))
        return FALSE;
    if (Posted().size() >= static_cast<size_t>(queueLimit)) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return FALSE;
    }
    Posted().push_back(MakeMessage(window, message, wParam, lParam));
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!Layer::CheckWindow(window))
        return 0;
    return window->procedure(window, message, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode) {
    quitPosted = true;
    quitCode = exitCode;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SYSKEYDOWN:
        // Alt+F4 asks the window to close through the system menu command.
        if (wParam == VK_F4 && (lParam & (1L << 29)))
            SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_WINDOWPOSCHANGED: {
        // Default processing of a position change reports the new client size and place.
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (position == nullptr || !Layer::IsLiveWindow(window))
            return 0;
        RECT client = Layer::ClientRectOf(window);
        if (!(position->flags & SWP_NOSIZE))
            SendMessageA(window, WM_SIZE, SIZE_RESTORED,
                         MAKELPARAM(client.right - client.left, client.bottom - client.top));
        if (!(position->flags & SWP_NOMOVE) && Layer::IsLiveWindow(window))
            SendMessageA(window, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
        return 0;
    }
    default:
        return 0;
    }
}
