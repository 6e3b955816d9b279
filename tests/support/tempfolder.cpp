// TempFolder and file helpers for tests; also points SDL at its dummy video driver for tests.
#include "tempfolder.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {
// Tests never open real windows or audio unless a test run asks for a driver itself.
const bool dummyVideo = [] {
    if (getenv("SDL_VIDEODRIVER") == nullptr)
        putenv(const_cast<char*>("SDL_VIDEODRIVER=dummy"));
    if (getenv("SDL_AUDIODRIVER") == nullptr)
        putenv(const_cast<char*>("SDL_AUDIODRIVER=dummy"));
    return true;
}();
} // namespace

TempFolder::TempFolder() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    fs::path base = fs::temp_directory_path();
    for (;;) {
        path = base / ("quellmark-test-" + std::to_string(random() % 1000000000));
        if (fs::create_directory(path))
            break;
    }
}

TempFolder::~TempFolder() {
    (void)dummyVideo;
    std::error_code ignored;
    if (!previous.empty())
        fs::current_path(previous, ignored);
    fs::remove_all(path, ignored);
}

void TempFolder::Enter() {
    if (previous.empty())
        previous = fs::current_path();
    fs::current_path(path);
}

std::vector<std::string> TempFolder::Files() const {
    return FilesBelow(path);
}

std::vector<std::string> TempFolder::FilesBelow(const fs::path& path) {
    std::vector<std::string> files;
    std::error_code missing;
    for (const auto& entry : fs::recursive_directory_iterator(path, missing))
        if (entry.is_regular_file())
            files.push_back(fs::relative(entry.path(), path).generic_string());
    std::sort(files.begin(), files.end());
    return files;
}

std::string WindowsForm(const std::string& linuxPath) {
    std::string result = "Z:" + linuxPath;
    for (char& c : result)
        if (c == '/')
            c = '\\';
    return result;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> LoggedTexts(const std::string& path) {
    std::string bytes = ReadBytes(path);
    std::vector<std::string> texts;
    size_t start = 0;
    for (int line = 0; start < bytes.size(); ++line) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos)
            break;
        if (line % 2 == 1)
            texts.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return texts;
}
