// The device dialog's buttons with recorded message boxes, and the run that asks for a device.
#include <gtest/gtest.h>

#include <memory>

#include "app/devicedialog.h"
#include "app/gameapp.h"
#include "platformtest.h"
#include "support/tempfolder.h"
#include "support/testwindow.h"

namespace {

class DeviceDialogButtonsTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformTest::Reset();
        folder.Enter();
        dialog = MakeTestWindow("Dialog");
        CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 100, 100, dialog,
                        reinterpret_cast<HMENU>(static_cast<intptr_t>(1000)), nullptr, nullptr);
        displayDeviceTable.deviceCount = 0;
        DirectDrawEnumerateA(EnumDisplayDeviceCallback, nullptr);
        DeviceDialogProc(dialog, WM_INITDIALOG, 0, 0);
    }
    void TearDown() override { PlatformTest::Reset(); }
    bool EndDialogResult(INT_PTR* result) { return PlatformTest::DialogResult(dialog, result); }
    TempFolder folder;
    HWND dialog = nullptr;
};

TEST_F(DeviceDialogButtonsTest, OkWithoutALineAsksAgainAndKeepsTheDialogOpen) {
    EXPECT_EQ(TRUE, DeviceDialogProc(dialog, WM_COMMAND, IDOK, 0));
    INT_PTR result = 0;
    EXPECT_FALSE(EndDialogResult(&result));
    const auto& boxes = PlatformTest::MessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(dialog, boxes[0].owner);
    EXPECT_EQ("\x90\xB3\x8A\x6D\x82\xC9\x91\x49\x91\xF0\x82\xB5\x82\xC4\x89\xBA\x82\xB3\x82\xA2",
              boxes[0].text);                                // 正確に選択して下さい
    EXPECT_EQ("\x83\x47\x83\x89\x81\x5B", boxes[0].caption); // エラー
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), boxes[0].type);
    // Choosing the line and pressing OK again ends the dialog with 1.
    SendDlgItemMessageA(dialog, 1000, LB_SETCURSEL, 0, 0);
    EXPECT_EQ(TRUE, DeviceDialogProc(dialog, WM_COMMAND, IDOK, 0));
    ASSERT_TRUE(EndDialogResult(&result));
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, displayDeviceTable.selectedDevice);
}

TEST_F(DeviceDialogButtonsTest, CancelAndTheCloseBoxEndWithZero) {
    for (UINT message : {static_cast<UINT>(WM_COMMAND), static_cast<UINT>(WM_CLOSE)}) {
        SetUp();
        EXPECT_EQ(TRUE, DeviceDialogProc(dialog, message, IDCANCEL, 0));
        INT_PTR result = 5;
        ASSERT_TRUE(EndDialogResult(&result));
        EXPECT_EQ(0, result);
        EXPECT_TRUE(PlatformTest::MessageBoxes().empty());
    }
    EXPECT_EQ(FALSE, DeviceDialogProc(dialog, WM_PAINT, 0, 0)) << "other messages are not handled";
}

TEST_F(DeviceDialogButtonsTest, RunThatAsksForADeviceFailsWithBothEntriesWhenNoTemplateExists) {
    auto app = std::make_unique<GameApp>();
    EXPECT_FALSE(app->Run(nullptr, 320, 240, 32, true, true));
    EXPECT_EQ(nullptr, app->window) << "no window is made before a device is chosen";
    std::string log = ReadBytes(folder / "Error.txt");
    size_t templateEntry = log.find("\x83\x5F\x83\x43\x83\x41\x83\x8D\x83\x4F"); // ダイアログ
    size_t startupEntry = log.find("\x83\x41\x83\x76\x83\x8A");                  // アプリ
    ASSERT_NE(std::string::npos, templateEntry);
    ASSERT_NE(std::string::npos, startupEntry);
    EXPECT_LT(templateEntry, startupEntry);
}

} // namespace
