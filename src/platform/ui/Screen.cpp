#include "platform/ui/Screen.h"

namespace ui {

Screen& Screen::mainScreen() {
    static Screen screen;
    return screen;
}

}  // namespace ui
