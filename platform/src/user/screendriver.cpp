// The screen driver windowing uses, and the null driver that stands until a program chooses one.
#include "user/screendriver.h"

#include <ctime>

namespace {

// No screen: windows are records only, no input comes, and a wait is a plain sleep.
class NullScreen : public Layer::ScreenDriver {
public:
    bool MakeView(HWND) override { return true; }
    void DestroyView(HWND) override {}
    void ShowView(HWND, bool) override {}
    void PlaceView(HWND) override {}
    void SetViewTopmost(HWND) override {}
    void ReadViewPlace(HWND) override {}
    void SetCursorVisible(bool) override {}
    bool ScreenSize(int*, int*) override { return false; }
    void ShowPicture(HWND, const uint32_t*, int, int, int) override {}
    void PumpInput() override {}
    bool WaitForInput(int) override { return false; }
    void BeginLoopTurn() override {}
    void RestWhileIdle() override {
        timespec millisecond{0, 1000000};
        nanosleep(&millisecond, nullptr);
    }
    int ShowMessageBox(HWND, const std::string&, const std::string&, UINT) override { return 0; }
};

Layer::ScreenDriver* chosen = nullptr;

} // namespace

Layer::ScreenDriver& Layer::Screen() {
    static NullScreen* none = new NullScreen; // never destroyed: exit handlers may still call
    return chosen != nullptr ? *chosen : *none;
}

void Layer::UseScreen(ScreenDriver* driver) {
    chosen = driver;
}
