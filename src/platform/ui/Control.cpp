#include "platform/ui/Control.h"

#include <algorithm>

namespace ui {

namespace {
constexpr double kDragMargin = 70;
}

void Control::addTarget(Action action, ControlEvents events, const void* owner) {
    if (!action || events == 0) return;
    targets_.push_back({std::move(action), events, owner});
}

void Control::removeTarget(const void* owner, ControlEvents events) {
    for (auto it = targets_.begin(); it != targets_.end();) {
        if (it->owner == owner) {
            it->events &= ~events;
            if (it->events == 0) {
                it = targets_.erase(it);
                continue;
            }
        }
        ++it;
    }
}

void Control::removeAllTargets() {
    targets_.clear();
}

bool Control::hasActionsForEvents(ControlEvents events) const {
    return actionCount(events) > 0;
}

size_t Control::actionCount(ControlEvents events) const {
    return static_cast<size_t>(std::count_if(targets_.begin(), targets_.end(),
                                             [events](const Target& t) { return (t.events & events) != 0; }));
}

void Control::sendActionsForControlEvents(ControlEvents events) {
    auto keep = weak_from_this().lock();
    std::vector<Action> actions;
    for (auto& t : targets_) {
        if (t.events & events) actions.push_back(t.action);
    }
    for (auto& a : actions) a();
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (!enabled) highlighted_ = false;
    stateChanged();
}

void Control::setSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    stateChanged();
}

void Control::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted) return;
    highlighted_ = highlighted;
    stateChanged();
}

ControlState Control::state() const {
    ControlState s = ControlStates::Normal;
    if (highlighted_) s |= ControlStates::Highlighted;
    if (!enabled_) s |= ControlStates::Disabled;
    if (selected_) s |= ControlStates::Selected;
    return s;
}

std::shared_ptr<View> Control::hitTest(Point point) {
    if (!enabled_) return nullptr;
    return View::hitTest(point);
}

void Control::touchesBegan(const Touches& touches) {
    auto keep = weak_from_this().lock();
    tracking_ = true;
    touchInside_ = true;
    setHighlighted(true);
    sendActionsForControlEvents(ControlEvent::TouchDown);
    (void)touches;
}

void Control::touchesMoved(const Touches& touches) {
    if (!tracking_ || touches.empty()) return;
    auto keep = weak_from_this().lock();
    Point p = touches.front()->locationInView(this);
    bool inside = bounds().inset(-kDragMargin, -kDragMargin).contains(p);
    if (inside != touchInside_) {
        touchInside_ = inside;
        setHighlighted(inside);
        sendActionsForControlEvents(inside ? ControlEvent::TouchDragEnter : ControlEvent::TouchDragExit);
    }
    sendActionsForControlEvents(inside ? ControlEvent::TouchDragInside : ControlEvent::TouchDragOutside);
}

void Control::touchesEnded(const Touches& touches) {
    if (!tracking_) return;
    auto keep = weak_from_this().lock();
    bool inside = touchInside_;
    if (!touches.empty()) inside = bounds().inset(-kDragMargin, -kDragMargin).contains(touches.front()->locationInView(this));
    tracking_ = false;
    touchInside_ = false;
    setHighlighted(false);
    sendActionsForControlEvents(inside ? ControlEvent::TouchUpInside : ControlEvent::TouchUpOutside);
}

void Control::touchesCancelled(const Touches& touches) {
    (void)touches;
    if (!tracking_) return;
    auto keep = weak_from_this().lock();
    tracking_ = false;
    touchInside_ = false;
    setHighlighted(false);
    sendActionsForControlEvents(ControlEvent::TouchCancel);
}

}  // namespace ui
