// libFuzzer target: any bytes as an archive; extraction must stay inside its folder.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "archive/volumefile.h"

namespace fs = std::filesystem;

namespace {

fs::path Sandbox() {
    static fs::path sandbox = [] {
        char pattern[] = "/tmp/quellmark-fuzz-XXXXXX";
        return fs::path(mkdtemp(pattern));
    }();
    return sandbox;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fs::path sandbox = Sandbox();
    fs::path archive = sandbox / "input.zrm";
    fs::path output = sandbox / "out";
    FILE* file = fopen(archive.c_str(), "wb");
    if (file == nullptr)
        abort();
    fwrite(data, 1, size, file);
    fclose(file);

    auto reader = std::make_unique<VolumeFile>();
    reader->ExtractAll(archive.c_str(), output.c_str());
    if (reader->Count > VolumeFile::maxEntries)
        abort();
    // Every file written must be a direct child of the output folder.
    for (const auto& entry : fs::recursive_directory_iterator(sandbox)) {
        fs::path parent = entry.path().parent_path();
        if (entry.path() == archive || entry.path() == output)
            continue;
        if (parent != output || !entry.is_regular_file())
            abort();
    }
    fs::remove_all(output);
    return 0;
}
