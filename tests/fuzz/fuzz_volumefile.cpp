// libFuzzer target: any bytes as an archive; extraction must stay inside its folder.
#include <filesystem>
#include <memory>

#include "archive/volumefile.h"
#include "fuzzinput.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fs::path sandbox = ScratchFolder("archive");
    fs::path archive = sandbox / "input.zrm";
    fs::path output = sandbox / "out";
    WriteInput(archive, data, size);

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
