// The layer's kernel calls on paths: Windows form, buffer rules, folders and the Windows directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platformtest.h"
#include "support/tempfolder.h"

namespace {

class PathsTest : public ::testing::Test {
protected:
    void SetUp() override { PlatformTest::Reset(); }
    void TearDown() override { PlatformTest::Reset(); }
    TempFolder folder;
};

TEST_F(PathsTest, CurrentDirectoryIsShownInWindowsFormSizedAsWindowsDoesAndSetFromIt) {
    folder.Enter();
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    std::string expected = WindowsForm(std::filesystem::current_path().string());
    EXPECT_EQ(expected, buffer);
    EXPECT_EQ(expected.size(), length);
    char small[4] = "abc"; // too small: the size needed with the terminator, the buffer untouched
    EXPECT_EQ(length + 1, GetCurrentDirectoryA(sizeof small, small));
    EXPECT_STREQ("abc", small);
    EXPECT_EQ(length, GetCurrentDirectoryA(length + 1, buffer));
    EXPECT_EQ(length + 1, GetCurrentDirectoryA(length, buffer)) << "one byte short";
    UINT windowsLength = GetWindowsDirectoryA(buffer, MAX_PATH);
    EXPECT_EQ(windowsLength + 1, GetWindowsDirectoryA(small, sizeof small));

    std::filesystem::create_directory(folder.Path() / "sub");
    EXPECT_TRUE(SetCurrentDirectoryA(".\\sub"));
    EXPECT_EQ(folder.Path() / "sub", std::filesystem::current_path());
    EXPECT_TRUE(SetCurrentDirectoryA(expected.c_str()));
    EXPECT_EQ(folder.Path(), std::filesystem::current_path());
    EXPECT_TRUE(SetCurrentDirectoryA((expected + "\\sub\\").c_str()));
    EXPECT_FALSE(SetCurrentDirectoryA(""));
    EXPECT_FALSE(SetCurrentDirectoryA("C:\\WINDOWS")) << "only drive Z: exists";
    // Drive Z: is the root, named in either case; "Z:name" is a name in the root.
    const std::string linuxForm = folder.Path().string();
    for (const std::string& path : {"z:" + expected.substr(2), "Z:" + linuxForm.substr(1)}) {
        EXPECT_TRUE(SetCurrentDirectoryA(path.c_str())) << path;
        EXPECT_EQ(folder.Path(), std::filesystem::current_path()) << path;
    }
    SetCurrentDirectoryA(".\\sub");
    EXPECT_FALSE(SetCurrentDirectoryA("no-such-folder"));
    EXPECT_EQ(folder.Path() / "sub", std::filesystem::current_path());
}

TEST_F(PathsTest, WindowsDirectoryIsAPerUserWritableFolder) {
    std::string previous = getenv("XDG_DATA_HOME") ? getenv("XDG_DATA_HOME") : "";
    setenv("XDG_DATA_HOME", folder.Path().c_str(), 1);
    char buffer[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(buffer, MAX_PATH), 0u);
    EXPECT_EQ(WindowsForm((folder.Path() / program_invocation_short_name / "Windows").string()),
              buffer);
    EXPECT_TRUE(
        std::filesystem::is_directory(folder.Path() / program_invocation_short_name / "Windows"));
    std::string temp = std::string(buffer) + "\\Temp\\";
    EXPECT_TRUE(CreateDirectoryA(temp.c_str(), nullptr));

    unsetenv("XDG_DATA_HOME");
    GetWindowsDirectoryA(buffer, MAX_PATH);
    std::string home = WindowsForm(std::string(getenv("HOME")));
    EXPECT_EQ(0u, std::string(buffer).rfind(home, 0)) << buffer;
    EXPECT_NE(std::string::npos, std::string(buffer).find(".local\\share")) << buffer;
    EXPECT_NE("Z:\\tmp", std::string(buffer));
    if (!previous.empty())
        setenv("XDG_DATA_HOME", previous.c_str(), 1);
}

// The private temporary folder lies in XDG_RUNTIME_DIR only when that is this user's folder and no
// one else may use it at all (mode 0700); otherwise in a folder of the user's own in /tmp.
TEST_F(PathsTest, TheTempFolderIsInTheRuntimeFolderOnlyWhenThatIsPrivate) {
    std::string previous = getenv("XDG_RUNTIME_DIR") ? getenv("XDG_RUNTIME_DIR") : "";
    const std::filesystem::path runtime = folder.Path() / "run";
    const std::string program = program_invocation_short_name;
    const std::string own = WindowsForm((runtime / program / "Temp").string()) + "\\";
    const std::string fallback =
        WindowsForm("/tmp/" + program + "-" + std::to_string(geteuid()) + "/Temp") + "\\";
    for (auto [mode, expected] :
         {std::pair{0700, own}, {0720, fallback}, {0702, fallback}, {0710, fallback}}) {
        std::filesystem::create_directory(runtime);
        chmod(runtime.c_str(), static_cast<mode_t>(mode));
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        char buffer[MAX_PATH];
        ASSERT_GT(GetTempPathA(MAX_PATH, buffer), 0u);
        EXPECT_EQ(expected, buffer) << std::oct << mode;
        std::filesystem::remove_all(runtime);
    }
    if (previous.empty())
        unsetenv("XDG_RUNTIME_DIR");
    else
        setenv("XDG_RUNTIME_DIR", previous.c_str(), 1);
}

TEST_F(PathsTest, ModuleFileNameIsCutToTheBufferAndTerminatedAsWindowsDoes) {
    PlatformTest::SetModulePath("/opt/game/Quellmark");
    // "Z:\opt\game\Quellmark" is 21 bytes.
    struct Case {
        DWORD size, result;
        const char* text;
        DWORD error;
    };
    const Case cases[] = {{22, 21, "Z:\\opt\\game\\Quellmark", ERROR_SUCCESS},
                          {21, 21, "Z:\\opt\\game\\Quellmar", ERROR_INSUFFICIENT_BUFFER},
                          {1, 1, "", ERROR_INSUFFICIENT_BUFFER}};
    for (const Case& c : cases) {
        char buffer[32];
        memset(buffer, 'x', sizeof buffer);
        SetLastError(12345);
        EXPECT_EQ(c.result, GetModuleFileNameA(nullptr, buffer, c.size)) << c.size;
        EXPECT_STREQ(c.text, buffer) << c.size;
        EXPECT_EQ('x', buffer[c.size]) << "nothing written past the buffer";
        EXPECT_EQ(c.error, GetLastError()) << c.size;
    }
}

// Lead bytes of code page 932 are 0x81 to 0x9F and 0xE0 to 0xFC, and nothing either side.
TEST_F(PathsTest, LeadBytesAreExactlyThoseOfCodePage932) {
    for (int byte = 0; byte < 256; ++byte)
        EXPECT_EQ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC),
                  IsDBCSLeadByteEx(932, static_cast<BYTE>(byte)) != FALSE)
            << byte;
}

// Names are matched without regard to case, '*' and '?' as Windows has them; each way to fail
// leaves Windows' failure code.
TEST_F(PathsTest, FindingFilesMatchesNamesAndFailsAsWindowsDoes) {
    folder.Enter();
    for (const char* name : {"Title.bmp.12.part", "Stage.mid", "notes.txt"})
        WriteBytes(folder / name, "x");
    struct Case {
        const char* pattern;
        std::vector<std::string> found; // sorted
        DWORD error;                    // when nothing is found
    };
    const Case cases[] = {{".\\*.PART", {"Title.bmp.12.part"}, 0},
                          {".\\?????.???", {"Stage.mid", "notes.txt"}, 0},
                          {".\\*.bmp", {}, ERROR_FILE_NOT_FOUND},
                          {".\\missing\\*", {}, ERROR_PATH_NOT_FOUND}};
    for (const Case& c : cases) {
        WIN32_FIND_DATAA data;
        std::vector<std::string> found;
        HANDLE find = FindFirstFileA(c.pattern, &data);
        for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data))
            found.push_back(data.cFileName);
        EXPECT_EQ(c.error != 0 ? c.error : static_cast<DWORD>(ERROR_NO_MORE_FILES), GetLastError())
            << c.pattern;
        std::sort(found.begin(), found.end());
        EXPECT_EQ(c.found, found) << c.pattern;
        EXPECT_EQ(find != INVALID_HANDLE_VALUE, FindClose(find) != FALSE) << c.pattern;
    }
}

TEST_F(PathsTest, CreateDirectoryMakesOneLevelAndReportsWhyNot) {
    folder.Enter();
    struct Case {
        std::string path;
        BOOL result;
        DWORD error;
    };
    const Case cases[] = {
        {".\\one", TRUE, 0},
        {".\\one\\", FALSE, ERROR_ALREADY_EXISTS},
        {".\\missing\\two", FALSE, ERROR_PATH_NOT_FOUND},
        {"", FALSE, ERROR_PATH_NOT_FOUND},
        {".\\" + std::string(245, 'd'), TRUE, 0}, // 247 bytes: the longest a new folder may have
        {".\\" + std::string(246, 'e'), FALSE, ERROR_FILENAME_EXCED_RANGE},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(c.result, CreateDirectoryA(c.path.c_str(), nullptr)) << c.path;
        if (!c.result) {
            EXPECT_EQ(c.error, GetLastError()) << c.path;
        }
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "one"));
    PlatformTest::FailNext("CreateDirectoryA");
    EXPECT_FALSE(CreateDirectoryA(".\\three", nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_TRUE(CreateDirectoryA(".\\three", nullptr)) << "only the next call fails";
}

TEST_F(PathsTest, CodePage932NamesAreOneUtf8NameEachFoldersOnDiskAreFoundByTheirBytes) {
    folder.Enter();
    struct Case {
        const char* name;      // in code page 932, as the program gives it
        const char* linuxName; // what Linux holds
    };
    const Case cases[] = {
        {"ソ表", "\xE3\x82\xBD\xE8\xA1\xA8"}, // trail bytes 0x5C are no separators
        {"ポ", "\xE3\x83\x9D"},               // trail byte 0x7C
        {"\xE1\x8D\x77\x91\x83\xEC\x5C", "\xE7\x98\xA2w\xE5\xB7\xA3?"}, // an undefined pair
        {"plain", "plain"},
        // Names on disk that are no UTF-8 are found by their bytes; names inside them still
        // convert, and so do names inside UTF-8 folders.
        {"caf\xE9\\\x83\x5C", "caf\xE9/\xE3\x82\xBD"},
        {"\x94\x5C\\\x83\x7C", "\x94\x5C/\xE3\x83\x9D"},
        {"\xE3\x81\x98\\\x95\x5C", "\xE3\x81\x98/\xE8\xA1\xA8"},
    };
    for (const char* raw : {"caf\xE9", "\x94\x5C", "\xE3\x81\x98"})
        std::filesystem::create_directory(folder.Path() / raw);
    for (const Case& c : cases) {
        ASSERT_TRUE(CreateDirectoryA(c.name, nullptr)) << c.linuxName;
        EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / c.linuxName)) << c.linuxName;
        ASSERT_TRUE(SetCurrentDirectoryA(c.name));
        char back[MAX_PATH];
        ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, back), 0u);
        ASSERT_TRUE(SetCurrentDirectoryA("..") && SetCurrentDirectoryA(back)) << back;
        EXPECT_EQ(folder.Path() / c.linuxName, std::filesystem::current_path());
        folder.Enter();
    }
    // Wide text: code page 932 names become their characters, but a path to a name on disk that
    // is no UTF-8 keeps its bytes (as U+DC80 to U+DCFF), so that it leads back to that name.
    const std::pair<std::string, std::wstring> wideCases[] = {
        {"\x83\x5C", L"\u30BD"},
        {"caf\xE9\\\x83\x5C", L"caf\xDCE9\\\xDC83\\"},
        {"\x83\x5C\x95\x5C", L"\u30BD\u8868"}, // a name on disk in UTF-8: its characters
    };
    for (const auto& [ansi, expected] : wideCases) {
        wchar_t wide[16] = {};
        // Both answer the length with the terminator, as the input is zero-terminated.
        ASSERT_EQ(static_cast<int>(expected.size()) + 1,
                  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, 16));
        EXPECT_EQ(expected, wide);
        char back[16] = {};
        ASSERT_EQ(static_cast<int>(ansi.size()) + 1,
                  WideCharToMultiByte(CP_ACP, 0, wide, -1, back, 16, nullptr, nullptr));
        EXPECT_EQ(ansi, back);
    }
    for (const char* drive : {"C:", "C:\\", "d:\\x"})
        EXPECT_FALSE(CreateDirectoryA(drive, nullptr)) << drive;
    // Code page 932 text is valid text of the ANSI code page; only UTF-8 refuses it.
    wchar_t wide[4];
    EXPECT_EQ(2, MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, "\x83\x5C", -1, wide, 4));
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\x83\x5C", -1, wide, 4));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
    EXPECT_EQ(0, MultiByteToWideChar(CP_ACP, 0, "a", -1, wide, -1)) << "a negative length";
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

} // namespace
