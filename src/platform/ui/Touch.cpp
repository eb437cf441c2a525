#include "platform/ui/Touch.h"

#include "platform/ui/View.h"

namespace ui {

Point Touch::locationInView(const View* view) const {
    return view ? view->convertPointFromView(windowPoint_, nullptr) : windowPoint_;
}

Point Touch::previousLocationInView(const View* view) const {
    return view ? view->convertPointFromView(previousWindowPoint_, nullptr) : previousWindowPoint_;
}

}  // namespace ui
