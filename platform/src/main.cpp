// The process entry for Linux: chooses the layer's drivers, then calls the program's WinMain as
// Windows would start it.
#include <string>

#include "screen/screen.h"
#include "windows.h"

int main(int argc, char** argv) {
    Layer::ChooseScreen(Layer::ScreenKind::display);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
