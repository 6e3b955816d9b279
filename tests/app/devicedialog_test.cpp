// The device dialog from the real resource library (Windows only: natively it has no template).
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "app/devicedialog.h"

namespace {

// From a second thread: waits until the dialog shows (after WM_INITDIALOG has filled the list),
// then selects the first line and sends the given command or message.
void Answer(UINT message, WPARAM wParam, LRESULT* lines) {
    HWND dialog = nullptr;
    for (int tries = 0; tries < 500 && (dialog == nullptr || !IsWindowVisible(dialog)); ++tries) {
        dialog = FindWindowA(nullptr, "Quellmark - display device");
        Sleep(10);
    }
    if (dialog == nullptr)
        return;
    *lines = SendDlgItemMessageA(dialog, 1000, LB_GETCOUNT, 0, 0);
    SendDlgItemMessageA(dialog, 1000, LB_SETCURSEL, 0, 0);
    PostMessageA(dialog, message, wParam, 0);
}

TEST(DeviceDialogWindowsTest, OkCopiesTheChosenGuidCancelAndCloseLeaveItAlone) {
    struct Case {
        UINT message;
        WPARAM wParam;
        int result;
    };
    const Case cases[] = {{WM_COMMAND, IDOK, 1}, {WM_COMMAND, IDCANCEL, 0}, {WM_CLOSE, 0, 0}};
    for (const Case& c : cases) {
        GUID chosen;
        memset(&chosen, 0xAB, sizeof chosen);
        LRESULT lines = -1;
        std::thread answering(Answer, c.message, c.wParam, &lines);
        int result = SelectDisplayDevice(nullptr, GetModuleHandleA(nullptr), &chosen);
        answering.join();
        EXPECT_EQ(c.result, result) << c.message << " " << c.wParam;
        EXPECT_EQ(displayDeviceTable.deviceCount, lines) << "a line per driver; " << c.message;
        GUID expected;
        memset(&expected, 0xAB, sizeof expected);
        if (c.result != 0)
            expected = displayDeviceTable.entries[0].guid;
        EXPECT_EQ(0, memcmp(&expected, &chosen, sizeof chosen)) << c.message << " " << c.wParam;
    }
}

} // namespace
