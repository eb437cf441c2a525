#pragma once

namespace ui {
class View;
}

// Shortcuts of a view's frame edges.
class ViewFrameEdges {
public:
    // x of the frame.
    static double left(const ui::View& view);
    // x + width of the frame.
    static double right(const ui::View& view);
    // y of the frame.
    static double top(const ui::View& view);
};
