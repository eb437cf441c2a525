#include "platform/testing/ScreenSnapshot.h"

#include <algorithm>

#include "platform/ui/Application.h"
#include "platform/ui/ScrollView.h"

namespace driver {

ui::Rect intersection(const ui::Rect& a, const ui::Rect& b) {
    double x0 = std::max(a.minX(), b.minX());
    double y0 = std::max(a.minY(), b.minY());
    double x1 = std::min(a.maxX(), b.maxX());
    double y1 = std::min(a.maxY(), b.maxY());
    if (x1 < x0) x1 = x0;
    if (y1 < y0) y1 = y0;
    return {x0, y0, x1 - x0, y1 - y0};
}

bool containsRect(const ui::Rect& outer, const ui::Rect& inner) {
    constexpr double e = 0.01;
    return inner.minX() >= outer.minX() - e && inner.minY() >= outer.minY() - e &&
           inner.maxX() <= outer.maxX() + e && inner.maxY() <= outer.maxY() + e;
}

std::vector<std::shared_ptr<ui::Window>> ScreenSnapshot::windows(bool includeHidden) {
    auto all = ui::Application::shared().windows();
    if (auto key = ui::Application::shared().keyWindow();
        key && std::find(all.begin(), all.end(), key) == all.end()) {
        all.push_back(key);
    }
    std::vector<std::shared_ptr<ui::Window>> out;
    for (auto& w : all) {
        if (w && (includeHidden || !w->isHidden())) out.push_back(w);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const auto& a, const auto& b) { return a->windowLevel() < b->windowLevel(); });
    return out;
}

ScreenSnapshot::ScreenSnapshot(bool layOut) {
    auto ws = windows(true);
    if (layOut) {
        for (auto& w : ws) {
            if (!w->isHidden()) w->layoutIfNeeded();
        }
    }
    for (auto& w : ws) {
        visit(w, w, 0, w->frame(), true, 1.0);
    }
    markCovered();
}

void ScreenSnapshot::visit(const std::shared_ptr<ui::View>& view, const std::shared_ptr<ui::Window>& window,
                           int depth, ui::Rect clip, bool parentShown, double parentAlpha) {
    ViewEntry e;
    e.view = view;
    e.window = window;
    e.order = entries_.size();
    e.depth = depth;
    ui::Point origin = window->frame().origin;
    if (view == window) {
        e.screenRect = window->frame();
    } else {
        ui::Rect r = view->convertRectToView(view->bounds(), nullptr);
        e.screenRect = r.offset(origin.x, origin.y);
    }
    e.visibleRect = intersection(e.screenRect, clip);
    double alpha = parentAlpha * view->alpha();
    e.shown = parentShown && !view->isHidden() && view->alpha() >= 0.01;
    if (e.screenRect.isEmpty()) {
        e.inside = clip.contains(e.screenRect.origin);
    } else {
        e.inside = !e.visibleRect.isEmpty();
    }
    size_t index = entries_.size();
    entries_.push_back(e);
    alpha_.push_back(alpha);
    index_[view.get()] = index;

    bool clips = view->clipsToBounds() || dynamic_cast<const ui::ScrollView*>(view.get()) != nullptr;
    ui::Rect childClip = clips ? e.visibleRect : clip;
    // Copy: a layout pass cannot run here, but keep the list stable anyway.
    auto subviews = view->subviews();
    for (auto& sub : subviews) {
        if (sub) visit(sub, window, depth + 1, childClip, entries_[index].shown, alpha);
    }
    entries_[index].subtreeEnd = entries_.size() - 1;
}

void ScreenSnapshot::markCovered() {
    // Opaque views that hide what lies behind them.
    std::vector<size_t> covers;
    for (size_t i = 0; i < entries_.size(); ++i) {
        auto& e = entries_[i];
        if (!e.shown || !e.inside || e.visibleRect.isEmpty()) continue;
        auto bg = e.view->backgroundColor();
        if (bg && bg->a >= 0.99 && alpha_[i] >= 0.99) covers.push_back(i);
    }
    for (auto& e : entries_) {
        if (!e.shown || !e.inside) continue;
        ui::Rect r = e.visibleRect;
        if (r.isEmpty()) r = {e.screenRect.origin, {0, 0}};
        for (auto it = std::upper_bound(covers.begin(), covers.end(), e.subtreeEnd); it != covers.end(); ++it) {
            const auto& c = entries_[*it];
            if (containsRect(c.visibleRect, r)) {
                e.covered = true;
                break;
            }
        }
    }
}

const ViewEntry* ScreenSnapshot::entryFor(const ui::View* view) const {
    auto it = index_.find(view);
    return it == index_.end() ? nullptr : &entries_[it->second];
}

ScreenSnapshot::Hit ScreenSnapshot::hitTest(ui::Point screenPoint) {
    auto ws = windows(false);
    for (auto it = ws.rbegin(); it != ws.rend(); ++it) {
        auto& w = *it;
        ui::Point local{screenPoint.x - w->frame().x(), screenPoint.y - w->frame().y()};
        w->layoutIfNeeded();
        if (auto hit = w->hitTest(local)) return {w, hit};
    }
    return {};
}

}  // namespace driver
