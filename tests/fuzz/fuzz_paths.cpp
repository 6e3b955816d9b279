// libFuzzer target: any bytes as a Windows path (double-byte names, "..", drive letters, long
// names) through the layer's path calls, inside a scratch folder. A folder made from a name must
// round-trip: the current directory read back in Windows form leads to the same folder again.
#include <windows.h>

#include <climits>
#include <cstring>
#include <filesystem>

#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string home = std::filesystem::current_path().string(); // libFuzzer's
    const std::string& scratch = ScratchFolder("paths");
    std::string name(reinterpret_cast<const char*>(data),
                     strnlen(reinterpret_cast<const char*>(data), size));
    if (chdir(scratch.c_str()) != 0)
        abort();
    GetFileAttributesA(name.c_str());
    // Folders are made only from names that stay inside the scratch folder.
    bool inside = !name.empty() && name[0] != '\\' && name[0] != '/' &&
                  !(name.size() > 1 && name[1] == ':') && name.find("..") == std::string::npos;
    if (inside && CreateDirectoryA(name.c_str(), nullptr) && SetCurrentDirectoryA(name.c_str())) {
        char linuxBefore[PATH_MAX];
        char windowsForm[MAX_PATH];
        DWORD length = GetCurrentDirectoryA(MAX_PATH, windowsForm);
        if (getcwd(linuxBefore, sizeof linuxBefore) == nullptr)
            abort();
        if (length > 0 && length < MAX_PATH) {
            if (chdir("/") != 0 || !SetCurrentDirectoryA(windowsForm))
                abort(); // the Windows form of a folder must lead back to it
            char linuxAfter[PATH_MAX];
            if (getcwd(linuxAfter, sizeof linuxAfter) == nullptr ||
                strcmp(linuxBefore, linuxAfter) != 0)
                abort();
        }
    }
    if (chdir(scratch.c_str()) != 0)
        abort();
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(scratch, ignored))
        std::filesystem::remove_all(entry.path(), ignored);
    if (chdir(home.c_str()) != 0) // libFuzzer reads its corpus by relative names
        abort();
    return 0;
}
