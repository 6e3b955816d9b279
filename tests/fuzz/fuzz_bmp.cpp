// libFuzzer target: any bytes as a BMP file through LoadImageA; it must load or fail cleanly.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        char pattern[] = "/tmp/quellmark-fuzz-bmp-XXXXXX";
        int descriptor = mkstemp(pattern);
        if (descriptor < 0)
            abort();
        close(descriptor);
        return std::string(pattern);
    }();
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        abort();
    fwrite(data, 1, size, file);
    fclose(file);
    HANDLE image = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                              LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (image != nullptr) {
        BITMAP info{};
        if (GetObjectA(image, sizeof info, &info) != sizeof info || info.bmWidth <= 0 ||
            info.bmHeight <= 0 || info.bmWidth > 8192 || info.bmHeight > 8192)
            abort();
        DeleteObject(image);
    }
    return 0;
}
