#pragma once
#include <memory>
#include <vector>

#include "platform/ui/Types.h"

namespace ui {

enum class TouchPhase { Began, Moved, Stationary, Ended, Cancelled };

// One finger on the screen. Points are kept in window coordinates and converted on demand.
class Touch {
public:
    TouchPhase phase() const { return phase_; }
    // The view the touch began in (the hit-test result at touch-down).
    std::shared_ptr<View> view() const { return view_.lock(); }
    std::shared_ptr<Window> window() const { return window_.lock(); }
    // Location in `view`'s coordinates (nullptr: window coordinates).
    Point locationInView(const View* view) const;
    Point locationInView(const std::shared_ptr<View>& view) const { return locationInView(view.get()); }
    Point previousLocationInView(const View* view) const;
    Point previousLocationInView(const std::shared_ptr<View>& view) const { return previousLocationInView(view.get()); }
    int tapCount() const { return tapCount_; }
    double timestamp() const { return timestamp_; }

    // Set by the window while delivering.
    TouchPhase phase_ = TouchPhase::Began;
    std::weak_ptr<View> view_;
    std::weak_ptr<Window> window_;
    Point windowPoint_;
    Point previousWindowPoint_;
    int tapCount_ = 1;
    double timestamp_ = 0;
};

using TouchPtr = std::shared_ptr<Touch>;
using Touches = std::vector<TouchPtr>;

}  // namespace ui
