#include "platform/ui/GestureRecognizer.h"

#include <cmath>

#include "platform/ui/View.h"

namespace ui {

namespace {
constexpr double kSlop = 10;
double distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }
}  // namespace

GestureRecognizer::GestureRecognizer(Action action) {
    if (action) actions_.push_back(std::move(action));
}

std::shared_ptr<View> GestureRecognizer::view() const {
    return view_ ? view_->weak_from_this().lock() : nullptr;
}

Point GestureRecognizer::locationInView(const View* view) const {
    Point p = lastWindowPoint_;
    if (!touches_.empty()) {
        double x = 0, y = 0;
        for (auto& t : touches_) {
            x += t->windowPoint_.x;
            y += t->windowPoint_.y;
        }
        p = {x / touches_.size(), y / touches_.size()};
    }
    return view ? view->convertPointFromView(p, nullptr) : p;
}

void GestureRecognizer::setState(GestureRecognizerState state) {
    state_ = state;
}

void GestureRecognizer::sendActions() {
    auto keep = weak_from_this().lock();
    auto actions = actions_;
    for (auto& a : actions) {
        if (a) a(*this);
    }
}

void GestureRecognizer::touchesBegan(const Touches& touches) {
    touches_ = touches;
    if (!touches.empty()) lastWindowPoint_ = touches.front()->windowPoint_;
}

void GestureRecognizer::touchesMoved(const Touches& touches) {
    touches_ = touches;
    if (!touches.empty()) lastWindowPoint_ = touches.front()->windowPoint_;
}

void GestureRecognizer::touchesEnded(const Touches& touches) {
    if (!touches.empty()) lastWindowPoint_ = touches.front()->windowPoint_;
}

void GestureRecognizer::touchesCancelled(const Touches& touches) {
    (void)touches;
    if (state_ == GestureRecognizerState::Began || state_ == GestureRecognizerState::Changed) {
        state_ = GestureRecognizerState::Cancelled;
        sendActions();
    } else {
        state_ = GestureRecognizerState::Failed;
    }
}

void GestureRecognizer::reset() {
    state_ = GestureRecognizerState::Possible;
    touches_.clear();
}

void TapGestureRecognizer::touchesBegan(const Touches& touches) {
    GestureRecognizer::touchesBegan(touches);
    start_ = lastWindowPoint_;
}

void TapGestureRecognizer::touchesMoved(const Touches& touches) {
    GestureRecognizer::touchesMoved(touches);
    if (state_ == GestureRecognizerState::Possible && distance(start_, lastWindowPoint_) > kSlop) {
        state_ = GestureRecognizerState::Failed;
    }
}

void TapGestureRecognizer::touchesEnded(const Touches& touches) {
    GestureRecognizer::touchesEnded(touches);
    if (state_ != GestureRecognizerState::Possible) return;
    int taps = touches.empty() ? 1 : touches.front()->tapCount_;
    if (taps < tapsRequired_ || distance(start_, lastWindowPoint_) > kSlop) {
        state_ = GestureRecognizerState::Failed;
        return;
    }
    state_ = GestureRecognizerState::Ended;
    sendActions();
}

Point PanGestureRecognizer::translationInView(const View* view) const {
    Point cur = lastWindowPoint_;
    if (!view) return {cur.x - start_.x, cur.y - start_.y};
    Point a = view->convertPointFromView(start_, nullptr);
    Point b = view->convertPointFromView(cur, nullptr);
    return {b.x - a.x, b.y - a.y};
}

void PanGestureRecognizer::setTranslation(Point translation, const View* view) {
    Point current = translationInView(view);
    // Move the start so that the translation reads as given (window units, the common case).
    start_ = {start_.x + current.x - translation.x, start_.y + current.y - translation.y};
}

void PanGestureRecognizer::touchesBegan(const Touches& touches) {
    GestureRecognizer::touchesBegan(touches);
    start_ = lastWindowPoint_;
}

void PanGestureRecognizer::touchesMoved(const Touches& touches) {
    GestureRecognizer::touchesMoved(touches);
    if (state_ == GestureRecognizerState::Possible) {
        if (distance(start_, lastWindowPoint_) > kSlop) {
            state_ = GestureRecognizerState::Began;
            sendActions();
        }
    } else if (state_ == GestureRecognizerState::Began || state_ == GestureRecognizerState::Changed) {
        state_ = GestureRecognizerState::Changed;
        sendActions();
    }
}

void PanGestureRecognizer::touchesEnded(const Touches& touches) {
    GestureRecognizer::touchesEnded(touches);
    if (state_ == GestureRecognizerState::Began || state_ == GestureRecognizerState::Changed) {
        state_ = GestureRecognizerState::Ended;
        sendActions();
    } else {
        state_ = GestureRecognizerState::Failed;
    }
}

void PanGestureRecognizer::touchesCancelled(const Touches& touches) {
    GestureRecognizer::touchesCancelled(touches);
}

}  // namespace ui
