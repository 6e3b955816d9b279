// Test helpers: a fresh temporary folder per test, whole-file reads and writes, the error log.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path; }
    // name inside the folder, as a native path string.
    std::string operator/(const std::string& name) const { return (path / name).string(); }
    // Makes the folder the current directory until the object is destroyed.
    void Enter();
    // Every regular file below the folder, as paths relative to it with '/' separators, sorted.
    std::vector<std::string> Files() const;
    static std::vector<std::string>
    FilesBelow(const std::filesystem::path& path); // none if missing

private:
    std::filesystem::path path;
    std::filesystem::path previous;
};

// A Linux path as the layer shows it ("Z:\\home\\me").
std::string WindowsForm(const std::string& linuxPath);
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// The message texts of an error log (the second line of each two-line CR LF entry), in order.
std::vector<std::string> LoggedTexts(const std::string& path);
