#pragma once
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/ui/Window.h"

namespace driver {

// One view of the screen as the driver sees it.
struct ViewEntry {
    std::shared_ptr<ui::View> view;
    std::shared_ptr<ui::Window> window;
    size_t order = 0;        // drawing order over every window, back to front
    size_t subtreeEnd = 0;   // the order of the last view inside this one
    int depth = 0;           // the window is 0
    ui::Rect screenRect;     // the frame (the box around the transformed bounds) on the screen
    ui::Rect visibleRect;    // screenRect cut to the window and the clipping ancestors
    bool shown = false;      // it, its ancestors and its window are neither hidden nor transparent
    bool covered = false;    // an opaque view in front of it hides it wholly
    // What a person can see of it: shown, inside the clip, not covered.
    bool visible() const { return shown && !covered && inside; }
    bool inside = false;     // visibleRect is not empty (a view without area: its origin is inside)
};

// The windows and their views at one moment, front to back questions answered from it.
// Building it lays out every shown window first (as the run loop would before drawing).
class ScreenSnapshot {
public:
    explicit ScreenSnapshot(bool layOut = true);

    // Windows back to front: by level, then in the order the application got them. Hidden
    // windows are left out unless `includeHidden`.
    static std::vector<std::shared_ptr<ui::Window>> windows(bool includeHidden = false);

    // Every view of every window (hidden windows too), in drawing order.
    const std::vector<ViewEntry>& entries() const { return entries_; }
    const ViewEntry* entryFor(const ui::View* view) const;

    // The view a finger at a screen point lands on: the front-most shown window whose hit
    // test answers, and that answer (nulls when none).
    struct Hit {
        std::shared_ptr<ui::Window> window;
        std::shared_ptr<ui::View> view;
    };
    static Hit hitTest(ui::Point screenPoint);

private:
    void visit(const std::shared_ptr<ui::View>& view, const std::shared_ptr<ui::Window>& window, int depth,
               ui::Rect clip, bool parentShown, double parentAlpha);
    void markCovered();

    std::vector<ViewEntry> entries_;
    std::vector<double> alpha_;   // effective alpha per entry
    std::unordered_map<const ui::View*, size_t> index_;
};

// Geometry helpers.
ui::Rect intersection(const ui::Rect& a, const ui::Rect& b);
bool containsRect(const ui::Rect& outer, const ui::Rect& inner);

}  // namespace driver
