// libFuzzer target: any bytes as a BMP file through LoadImageA; it must load or fail cleanly.
#include <windows.h>

#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = ScratchFolder("bmp") + "/input.bmp";
    WriteInput(path, data, size);
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
