// What the fuzz targets share: each input written whole to one scratch file of the target's own.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// A scratch folder made once per target (its name starts /tmp/quellmark-fuzz-NAME-).
inline const std::string& ScratchFolder(const char* name) {
    static const std::string folder = [name] {
        std::string pattern = std::string("/tmp/quellmark-fuzz-") + name + "-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            abort();
        return pattern;
    }();
    return folder;
}

// Writes the input to path; a failing write ends the run, as it would make every later input void.
inline void WriteInput(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr || fwrite(data, 1, size, file) != size || fclose(file) != 0)
        abort();
}
