// The device dialog's enumeration and list, run the same on Linux and under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/devicedialog.h"
#include "support/tempfolder.h"
#include "support/testwindow.h"

namespace {

class DeviceDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = MakeTestWindow("DeviceDialogTest");
        list =
            CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VSCROLL, 0, 0, 100, 100, dialog,
                            reinterpret_cast<HMENU>(static_cast<intptr_t>(1000)), nullptr, nullptr);
        ASSERT_NE(nullptr, list);
        displayDeviceTable.deviceCount = 0;
    }
    void TearDown() override {
        DestroyWindow(dialog);
        UnregisterClassA("DeviceDialogTest", nullptr);
    }
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        auto count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[512] = {};
            SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            lines.push_back(text);
        }
        return lines;
    }
    HWND dialog = nullptr;
    HWND list = nullptr;
};

TEST_F(DeviceDialogTest, ListShowsEveryDriverInTheOrderReported) {
    GUID second{0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
    char names[3][32] = {"zeta", "alpha", "mid"};
    char descriptions[3][32] = {"Zeta Driver", "Alpha Driver", "Middle Driver"};
    EXPECT_TRUE(EnumDisplayDeviceCallback(nullptr, descriptions[0], names[0], nullptr));
    EXPECT_TRUE(EnumDisplayDeviceCallback(&second, descriptions[1], names[1], nullptr));
    EXPECT_TRUE(EnumDisplayDeviceCallback(nullptr, descriptions[2], names[2], nullptr));
    ASSERT_EQ(3, displayDeviceTable.deviceCount);
    EXPECT_EQ(TRUE, DeviceDialogProc(dialog, WM_INITDIALOG, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"Zeta Driver", "Alpha Driver", "Middle Driver"}), Lines())
        << "an unsorted list in enumeration order";
    EXPECT_EQ(0, memcmp(&second, &displayDeviceTable.entries[1].guid, sizeof second));
    GUID zero{};
    EXPECT_EQ(0, memcmp(&zero, &displayDeviceTable.entries[0].guid, sizeof zero))
        << "the primary driver comes without a GUID";
    EXPECT_STREQ("alpha", displayDeviceTable.entries[1].driverName);
}

TEST_F(DeviceDialogTest, EnumerationStopsAtAFullTableAndCutsLongNames) {
    std::string longText(400, 'd');
    for (int i = 0; i < DisplayDeviceTable::capacity; ++i)
        EXPECT_TRUE(EnumDisplayDeviceCallback(nullptr, longText.data(), longText.data(), nullptr));
    EXPECT_FALSE(EnumDisplayDeviceCallback(nullptr, longText.data(), longText.data(), nullptr));
    EXPECT_EQ(DisplayDeviceTable::capacity, displayDeviceTable.deviceCount);
    EXPECT_EQ(255u, strlen(displayDeviceTable.entries[255].description));
}

TEST_F(DeviceDialogTest, RealDirectDrawReportsThePrimaryDriver) {
    ASSERT_EQ(DD_OK, DirectDrawEnumerateA(EnumDisplayDeviceCallback, nullptr));
    ASSERT_GE(displayDeviceTable.deviceCount, 1);
    GUID zero{};
    EXPECT_EQ(0, memcmp(&zero, &displayDeviceTable.entries[0].guid, sizeof zero));
}

TEST_F(DeviceDialogTest, TemplateComesFromTheResourceLibraryWhereThereIsOne) {
    HMODULE library = LoadLibraryA("Vardo_DLL.dll");
    if (library != nullptr) {
        // Windows: the library beside the program holds the template.
        EXPECT_NE(nullptr, FindResourceA(library, "DEVICE_DIALOG1", RT_DIALOG));
        FreeLibrary(library);
        return;
    }
    // Without the library the executable is searched, and it holds no template.
    TempFolder folder;
    folder.Enter();
    GUID chosen{};
    EXPECT_EQ(0, SelectDisplayDevice(nullptr, nullptr, &chosen));
    std::string log = ReadBytes(folder / "Error.txt");
    // ダイアログテンプレートの読み込みに失敗 in code page 932.
    EXPECT_NE(std::string::npos, log.find("\x83\x5F\x83\x43\x83\x41\x83\x8D\x83\x4F\x83\x65\x83\x93"
                                          "\x83\x76\x83\x8C\x81\x5B\x83\x67\x82\xCC"))
        << log;
}

} // namespace
