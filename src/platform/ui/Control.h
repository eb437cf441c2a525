#pragma once
#include <functional>
#include <vector>

#include "platform/ui/View.h"

namespace ui {

using ControlEvents = unsigned;
namespace ControlEvent {
constexpr ControlEvents TouchDown = 1 << 0;
constexpr ControlEvents TouchDownRepeat = 1 << 1;
constexpr ControlEvents TouchDragInside = 1 << 2;
constexpr ControlEvents TouchDragOutside = 1 << 3;
constexpr ControlEvents TouchDragEnter = 1 << 4;
constexpr ControlEvents TouchDragExit = 1 << 5;
constexpr ControlEvents TouchUpInside = 1 << 6;
constexpr ControlEvents TouchUpOutside = 1 << 7;
constexpr ControlEvents TouchCancel = 1 << 8;
constexpr ControlEvents ValueChanged = 1 << 12;
constexpr ControlEvents EditingDidBegin = 1 << 16;
constexpr ControlEvents EditingChanged = 1 << 17;
constexpr ControlEvents EditingDidEnd = 1 << 18;
constexpr ControlEvents EditingDidEndOnExit = 1 << 19;
constexpr ControlEvents AllTouchEvents = 0x00000FFF;
constexpr ControlEvents AllEditingEvents = 0x000F0000;
constexpr ControlEvents AllEvents = 0xFFFFFFFF;
}  // namespace ControlEvent

using ControlState = unsigned;
namespace ControlStates {
constexpr ControlState Normal = 0;
constexpr ControlState Highlighted = 1 << 0;
constexpr ControlState Disabled = 1 << 1;
constexpr ControlState Selected = 1 << 2;
}  // namespace ControlStates

enum class ControlContentHorizontalAlignment { Center, Left, Right, Fill };
enum class ControlContentVerticalAlignment { Center, Top, Bottom, Fill };

// A view that sends actions for touch and editing events. Touches: touch-down highlights and
// sends TouchDown; moving further than 70 points outside the bounds sends TouchDragExit (and
// back, TouchDragEnter); lifting inside sends TouchUpInside, outside TouchUpOutside.
// A disabled control takes no touches (hit testing skips it). The control and the action are
// kept alive while an action runs, even when the action removes the control's screen.
class Control : public View {
public:
    using Action = std::function<void()>;

    Control() = default;
    explicit Control(Rect frame) : View(frame) {}
    std::string className() const override { return "Control"; }

    // `owner` lets removeTarget drop all of an owner's actions at once.
    void addTarget(Action action, ControlEvents events, const void* owner = nullptr);
    void removeTarget(const void* owner, ControlEvents events = ControlEvent::AllEvents);
    void removeAllTargets();
    bool hasActionsForEvents(ControlEvents events) const;
    size_t actionCount(ControlEvents events) const;
    // Runs the actions registered for any of the events, in the order they were added.
    void sendActionsForControlEvents(ControlEvents events);

    bool isEnabled() const { return enabled_; }
    virtual void setEnabled(bool enabled);
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted);
    ControlState state() const;
    bool isTracking() const { return tracking_; }
    bool isTouchInside() const { return touchInside_; }

    ControlContentHorizontalAlignment contentHorizontalAlignment() const { return hAlign_; }
    void setContentHorizontalAlignment(ControlContentHorizontalAlignment a) { hAlign_ = a; setNeedsLayout(); }
    ControlContentVerticalAlignment contentVerticalAlignment() const { return vAlign_; }
    void setContentVerticalAlignment(ControlContentVerticalAlignment a) { vAlign_ = a; setNeedsLayout(); }

    std::shared_ptr<View> hitTest(Point point) override;
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void touchesCancelled(const Touches& touches) override;

protected:
    virtual void stateChanged() { setNeedsLayout(); setNeedsDisplay(); }

private:
    struct Target {
        Action action;
        ControlEvents events;
        const void* owner;
    };
    std::vector<Target> targets_;
    bool enabled_ = true;
    bool selected_ = false;
    bool highlighted_ = false;
    bool tracking_ = false;
    bool touchInside_ = false;
    ControlContentHorizontalAlignment hAlign_ = ControlContentHorizontalAlignment::Center;
    ControlContentVerticalAlignment vAlign_ = ControlContentVerticalAlignment::Center;
};

}  // namespace ui
