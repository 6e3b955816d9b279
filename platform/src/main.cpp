// The process entry for Linux: calls the program's WinMain as Windows would start it.
#include <string>

#include "windows.h"

namespace {
// The instance handle only identifies the executable; it points at nothing.
char moduleAnchor;
} // namespace

int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    return WinMain(reinterpret_cast<HINSTANCE>(&moduleAnchor), nullptr, commandLine.data(),
                   SW_SHOWDEFAULT);
}
