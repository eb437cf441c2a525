#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/Touch.h"
#include "platform/ui/Types.h"

namespace ui {

enum class GestureRecognizerState { Possible, Began, Changed, Ended, Cancelled, Failed, Recognized = Ended };

// A recognizer attached to a view sees the touches that begin in that view or inside it,
// before the view does. When it recognizes and `cancelsTouchesInView` is set, the view gets
// touchesCancelled instead of the rest of the sequence. Tap recognizers of views that contain
// a control do not fire for touches on that control (the control takes the tap).
class GestureRecognizer : public std::enable_shared_from_this<GestureRecognizer> {
public:
    using Action = std::function<void(GestureRecognizer&)>;

    explicit GestureRecognizer(Action action = nullptr);
    virtual ~GestureRecognizer() = default;

    void addTarget(Action action) { actions_.push_back(std::move(action)); }
    GestureRecognizerState state() const { return state_; }
    std::shared_ptr<View> view() const;
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool cancelsTouchesInView() const { return cancelsTouchesInView_; }
    void setCancelsTouchesInView(bool v) { cancelsTouchesInView_ = v; }
    // The location of the touch (the centroid for several) in `view` (null: window).
    Point locationInView(const View* view) const;
    Point locationInView(const std::shared_ptr<View>& view) const { return locationInView(view.get()); }
    size_t numberOfTouches() const { return touches_.size(); }

    // Driven by the window.
    virtual void touchesBegan(const Touches& touches);
    virtual void touchesMoved(const Touches& touches);
    virtual void touchesEnded(const Touches& touches);
    virtual void touchesCancelled(const Touches& touches);
    virtual void reset();
    virtual bool isTap() const { return false; }

    // Internal.
    View* view_ = nullptr;   // cleared when the view goes
    void setState(GestureRecognizerState state);

protected:
    void sendActions();
    GestureRecognizerState state_ = GestureRecognizerState::Possible;
    Touches touches_;
    Point lastWindowPoint_;

private:
    std::vector<Action> actions_;
    bool enabled_ = true;
    bool cancelsTouchesInView_ = true;
};

// Recognizes a finger that goes down and up without moving more than 10 points.
class TapGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;
    int numberOfTapsRequired() const { return tapsRequired_; }
    void setNumberOfTapsRequired(int n) { tapsRequired_ = n; }
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    bool isTap() const override { return true; }

private:
    int tapsRequired_ = 1;
    Point start_;
};

// Recognizes a finger moving more than 10 points: Began, Changed with every move, Ended.
class PanGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;
    // The movement since the gesture began (or since the last setTranslation) in `view`'s
    // coordinate system (null: window).
    Point translationInView(const View* view) const;
    Point translationInView(const std::shared_ptr<View>& view) const { return translationInView(view.get()); }
    void setTranslation(Point translation, const View* view);
    Point velocityInView(const View* view) const { (void)view; return {0, 0}; }
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void touchesCancelled(const Touches& touches) override;

private:
    Point start_;   // window coordinates
};

}  // namespace ui
