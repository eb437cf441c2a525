#pragma once
#include "platform/ui/Types.h"

namespace ui {

// The phone's screen: 320 x 568 points in portrait at 2 pixels per point unless configured.
class Screen {
public:
    static Screen& mainScreen();

    Rect bounds() const { return {0, 0, size_.width, size_.height}; }
    double scale() const { return scale_; }
    // Status bar height in points (20) when shown.
    double statusBarHeight() const { return 20; }

    void setSize(Size size) { size_ = size; }
    void setScale(double scale) { scale_ = scale; }
    void reset() { size_ = {320, 568}; scale_ = 2; }

private:
    Size size_{320, 568};
    double scale_ = 2;
};

}  // namespace ui
