// The screen driver windowing uses: the null driver until a program chooses one.
#include "user/screendriver.h"

namespace {

Layer::ScreenDriver* chosen = nullptr;

} // namespace

Layer::ScreenDriver& Layer::Screen() {
    static auto* none = new ScreenDriver; // never destroyed: exit handlers may still call
    return chosen != nullptr ? *chosen : *none;
}

void Layer::UseScreen(ScreenDriver* driver) {
    chosen = driver;
}
