#pragma once
#include <memory>
#include <vector>

#include "platform/ui/Types.h"

namespace ui {

class GraphicsContext;
class Window;

// What the phone's screen shows, drawn as a person sees it: the windows back to front, the
// keyboard (while it is up) over the application's windows and under alerts, and the status
// bar along the top (unless the application hides it).
//
// `windows` are drawn in the order given (the caller sorts them by level); 0 scale is the
// screen's.
ImagePtr renderScreen(const std::vector<std::shared_ptr<Window>>& windows, double scale = 0);

// The on-screen keyboard in `frame`: the keys of the text input that has it (the pinyin keys
// of a text field, the English keys of a plain-letters field, the digit pad of a number or
// phone field), each with its letter.
void drawKeyboard(GraphicsContext& context, Rect frame);

// The status bar in `frame` over what is drawn there: signal, carrier, the time and the
// battery, in white or black, whichever reads on the colour behind them.
void drawStatusBar(GraphicsContext& context, Rect frame, const Color& behind);

}  // namespace ui
