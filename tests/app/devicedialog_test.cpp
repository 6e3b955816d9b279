// The device dialog: enumeration into the table, the list, its buttons, the missing template, and
// (in the Windows build) the real dialog from the resource library.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "app/devicedialog.h"
#include "app/gameapp.h"
#include "support/tempfolder.h"
#include "support/testcontrols.h"
#include "support/testwindow.h"

namespace {

const std::string templateFailed = "ダイアログテンプレートの読み込みに失敗";

class DeviceDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestControls::Reset();
        folder.Enter();
        dialog = MakeTestWindow("DeviceDialogTest");
        list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 100, 100, dialog,
                               reinterpret_cast<HMENU>(intptr_t{1000}), nullptr, nullptr);
        ASSERT_NE(nullptr, list);
        displayDeviceTable.deviceCount = 0;
    }
    void TearDown() override {
        DestroyWindow(dialog);
        UnregisterClassA("DeviceDialogTest", nullptr);
        TestControls::Reset();
    }
    std::vector<std::string> Lines() {
        std::vector<std::string> lines(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (size_t i = 0; i < lines.size(); ++i) {
            char text[512] = {};
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            lines[i] = text;
        }
        return lines;
    }
    TempFolder folder;
    HWND dialog = nullptr;
    HWND list = nullptr;
};

TEST_F(DeviceDialogTest, ListShowsEveryDriverInOrderAndEnumerationStopsAtAFullTable) {
    GUID second{0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}}, zero{};
    char names[3][32] = {"zeta", "alpha", "mid"};
    char descriptions[3][32] = {"Zeta Driver", "Alpha Driver", "Middle Driver"};
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(EnumDisplayDeviceCallback(i == 1 ? &second : nullptr, descriptions[i], names[i],
                                              nullptr));
    EXPECT_EQ(TRUE, DeviceDialogProc(dialog, WM_INITDIALOG, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"Zeta Driver", "Alpha Driver", "Middle Driver"}), Lines())
        << "an unsorted list in enumeration order";
    EXPECT_EQ(0, memcmp(&second, &displayDeviceTable.entries[1].guid, sizeof second));
    EXPECT_EQ(0, memcmp(&zero, &displayDeviceTable.entries[0].guid, sizeof zero))
        << "the primary driver comes without a GUID";
    EXPECT_STREQ("alpha", displayDeviceTable.entries[1].driverName);
    std::string longText(400, 'd');
    while (displayDeviceTable.deviceCount < DisplayDeviceTable::capacity)
        ASSERT_TRUE(EnumDisplayDeviceCallback(nullptr, longText.data(), longText.data(), nullptr));
    EXPECT_FALSE(EnumDisplayDeviceCallback(nullptr, longText.data(), longText.data(), nullptr));
    EXPECT_EQ(DisplayDeviceTable::capacity, displayDeviceTable.deviceCount);
    EXPECT_EQ(255u, strlen(displayDeviceTable.entries[255].description));
}

TEST_F(DeviceDialogTest, TemplateComesFromTheResourceLibraryWhereThereIsOne) {
    if (HMODULE library = LoadLibraryA("Vardo_DLL.dll"); library != nullptr) {
        // Windows: the library beside the program holds the template.
        EXPECT_NE(nullptr, FindResourceA(library, "DEVICE_DIALOG1", RT_DIALOG));
        FreeLibrary(library);
        return;
    }
    // Without the library the executable is searched, and it holds no template; a run that asks
    // for a device then fails before making a window, with both log entries in order.
    GUID chosen{};
    EXPECT_EQ(0, SelectDisplayDevice(nullptr, nullptr, &chosen));
    EXPECT_NE(std::string::npos, ReadBytes(folder / "Error.txt").find(templateFailed));
    remove("Error.txt");
    auto app = std::make_unique<GameApp>();
    EXPECT_FALSE(app->Run(nullptr, 320, 240, 32, true, true));
    EXPECT_EQ(nullptr, app->window);
    std::string log = ReadBytes(folder / "Error.txt");
    ASSERT_NE(std::string::npos, log.find("アプリ"));
    EXPECT_LT(log.find(templateFailed), log.find("アプリ"));
}

// The cases below read the layer's recorded boxes and dialog results (native only).
#if QUELLMARK_TEST_CONTROLS

TEST_F(DeviceDialogTest, OkWithoutALineAsksAgainThenEndsWithTheChosenLine) {
    DirectDrawEnumerateA(EnumDisplayDeviceCallback, nullptr);
    DeviceDialogProc(dialog, WM_INITDIALOG, 0, 0);
    EXPECT_EQ(TRUE, DeviceDialogProc(dialog, WM_COMMAND, IDOK, 0));
    INT_PTR result = 0;
    EXPECT_FALSE(PlatformTest::DialogResult(dialog, &result)) << "the dialog stays open";
    const auto& boxes = PlatformTest::MessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(std::make_tuple(dialog, std::string("正確に選択して下さい"), std::string("エラー"),
                              UINT{MB_ICONINFORMATION}),
              std::tie(boxes[0].owner, boxes[0].text, boxes[0].caption, boxes[0].type));
    SendDlgItemMessageA(dialog, 1000, LB_SETCURSEL, 0, 0);
    EXPECT_EQ(TRUE, DeviceDialogProc(dialog, WM_COMMAND, IDOK, 0));
    ASSERT_TRUE(PlatformTest::DialogResult(dialog, &result));
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, displayDeviceTable.selectedDevice);
}

#endif

#if !QUELLMARK_TEST_CONTROLS

// The dialog as Windows shows it from the real resource library (the Windows build, under wine64):
// the list holds the enumerated drivers; OK copies the chosen driver's GUID out, Cancel and the
// close box return 0 and leave it alone. Driven by messages from a second thread.
// Waits until the dialog shows (after WM_INITDIALOG has filled the list), then selects the first
// line and sends the given command or message.
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

#endif

} // namespace
