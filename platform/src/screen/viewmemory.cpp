// The view a player chose, kept between runs: the windowed size, maximised state and full screen
// of a window with a sizing frame, in $XDG_CONFIG_HOME/<program>/view (by default
// ~/.config/<program>/view).
//
// The file is one line, "view 1 WIDTH HEIGHT MAXIMISED FULLSCREEN" (sizes of 1 to 16384 pixels,
// flags 0 or 1). Anything else (damaged, cut short, another program's) is ignored and replaced when
// the window closes. It is written under a temporary name and moved into place, so that it is
// never half written, and a link at its name is replaced, never written through.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "screen/screeninternal.h"
#include "kernel/testhooks.h"

namespace {

constexpr int largestSide = 16384;

std::string ConfigFolder() {
    const char* config = getenv("XDG_CONFIG_HOME");
    std::string base = config != nullptr && config[0] == '/' ? std::string(config)
                                                             : Layer::HomeFolder() + "/.config";
    return base + "/" + Layer::ProgramName();
}

bool Remembers(HWND window) {
    return Layer::ViewsRemembered() && (window->style & WS_THICKFRAME) &&
           !(window->style & WS_CHILD);
}

} // namespace

namespace Layer {

bool ReadViewMemory(ViewMemory* memory) {
    FILE* file = fopen((ConfigFolder() + "/view").c_str(), "rb");
    if (file == nullptr)
        return false;
    char line[64] = {};
    size_t length = fread(line, 1, sizeof line - 1, file);
    fclose(file);
    int width = 0, height = 0, maximized = 0, fullScreen = 0, used = 0;
    if (length == 0 || line[length - 1] != '\n' ||
        sscanf(line, "view 1 %d %d %d %d\n%n", &width, &height, &maximized, &fullScreen, &used) !=
            4 ||
        static_cast<size_t>(used) != length)
        return false;
    if (width < 1 || width > largestSide || height < 1 || height > largestSide ||
        (maximized != 0 && maximized != 1) || (fullScreen != 0 && fullScreen != 1))
        return false;
    *memory = ViewMemory{width, height, maximized == 1, fullScreen == 1};
    return true;
}

bool WriteViewMemory(const ViewMemory& memory) {
    std::string folder = ConfigFolder();
    std::string parent = folder.substr(0, folder.rfind('/'));
    mkdir(parent.c_str(), 0700);
    mkdir(folder.c_str(), 0700);
    std::string path = folder + "/view";
    std::string part = path + "." + std::to_string(getpid()) + ".part";
    unlink(part.c_str());
    FILE* file = fopen(part.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = fprintf(file, "view 1 %d %d %d %d\n", memory.width, memory.height,
                           memory.maximized ? 1 : 0, memory.fullScreen ? 1 : 0) > 0;
    written = fclose(file) == 0 && written;
    if (written && rename(part.c_str(), path.c_str()) == 0)
        return true;
    unlink(part.c_str());
    return false;
}

void RecallView(HWND window) {
    ViewMemory memory;
    if (!Remembers(window) || !ReadViewMemory(&memory))
        return;
    // A size that no longer fits the screen is fitted to it.
    memory.width = std::min(memory.width, GetSystemMetrics(SM_CXSCREEN));
    memory.height = std::min(memory.height, GetSystemMetrics(SM_CYSCREEN));
    window->view->normalViewWidth = memory.width;
    window->view->normalViewHeight = memory.height;
    window->view->maximized = memory.maximized;
    window->view->fullScreen = memory.fullScreen;
}

void RememberView(HWND window) {
    if (!Remembers(window))
        return;
    const WindowView& view = *window->view;
    int width = view.normalViewWidth, height = view.normalViewHeight;
    if (width <= 0 || height <= 0) { // never resized: the client area's own size
        RECT client = ClientRectOf(window);
        width = client.right - client.left;
        height = client.bottom - client.top;
    }
    WriteViewMemory(ViewMemory{width, height, view.maximized, view.fullScreen});
}

} // namespace Layer
