// Resources a native program links in, as windres links them into a Windows program. A program
// with resources defines the table (a generated source file); the layer's LoadIconA finds an icon
// there by its number when asked with the program's instance.
#pragma once

#include <cstddef>

struct PlatformResource {
    const char* type; // "ICON": the bytes of a whole .ico file
    int id;
    const unsigned char* bytes;
    size_t size;
};

// Ends with an entry whose type is null.
extern "C" const PlatformResource platformResources[];
