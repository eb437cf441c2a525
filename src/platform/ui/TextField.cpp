#include "platform/ui/TextField.h"

#include <algorithm>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/GraphicsContext.h"

namespace ui {

void TextField::init() {
    setOpaque(false);
    setContentVerticalAlignment(ControlContentVerticalAlignment::Center);
}

void TextField::setText(const std::string& text) {
    text_ = text;
    selection_.reset();
    marked_.reset();
    setNeedsDisplay();
}

void TextField::setLeftView(std::shared_ptr<View> v) {
    if (leftView_) leftView_->removeFromSuperview();
    leftView_ = std::move(v);
    if (leftView_) addSubview(leftView_);
    setNeedsLayout();
}

TextRange TextField::selectedRange() const {
    return text::clampedSelection(text_, selection_);
}

void TextField::setSelectedRange(TextRange range) {
    selection_ = range;
}

void TextField::textChanged() {
    auto keep = weak_from_this().lock();
    setNeedsDisplay();
    sendActionsForControlEvents(ControlEvent::EditingChanged);
    foundation::NotificationCenter::defaultCenter().post(TextFieldTextDidChangeNotification, this);
}

bool TextField::applyEdit(TextRange range, const std::string& replacement, bool askDelegate) {
    auto keep = weak_from_this().lock();
    if (askDelegate) {
        if (auto d = delegate(); d && !d->shouldChangeCharactersInRange(*this, range, replacement)) return false;
    }
    text_ = text::replace(text_, range, replacement);
    selection_ = text::caretAt(text_, range.location + text::length(replacement));
    textChanged();
    return true;
}

bool TextField::insertText(const std::string& text) {
    if (!isFirstResponder()) return false;
    // A keystroke while composing replaces the composition.
    text::dropComposition(text_, selection_, marked_);
    return applyEdit(selectedRange(), text, true);
}

void TextField::typeText(const std::string& s) {
    for (auto& c : text::characters(s)) insertText(c);
}

bool TextField::deleteBackward() {
    if (!isFirstResponder()) return false;
    if (marked_) {
        setMarkedText(text::compositionLessLastCharacter(text_, *marked_));
        return true;
    }
    auto removed = text::backspaceRange(selectedRange());
    return removed && applyEdit(*removed, "", true);
}

void TextField::pressReturn() {
    if (!isFirstResponder()) return;
    auto keep = weak_from_this().lock();
    bool ok = true;
    if (auto d = delegate()) ok = d->textFieldShouldReturn(*this);
    if (ok && hasActionsForEvents(ControlEvent::EditingDidEndOnExit)) {
        sendActionsForControlEvents(ControlEvent::EditingDidEndOnExit);
        resignFirstResponder();
    }
}

void TextField::clear() {
    auto keep = weak_from_this().lock();
    if (auto d = delegate(); d && !d->textFieldShouldClear(*this)) return;
    marked_.reset();
    applyEdit({0, text::length(text_)}, "", false);
}

void TextField::setMarkedText(const std::string& marked) {
    if (!isFirstResponder()) return;
    text::setComposition(text_, selection_, marked_, marked);
    textChanged();
}

void TextField::unmarkText() {
    if (!marked_) return;
    TextRange m = *marked_;
    std::string committed = text::substring(text_, m.location, m.length);
    // The committed text is asked for as an insertion into the text without the composition.
    text::dropComposition(text_, selection_, marked_);
    if (!applyEdit({m.location, 0}, committed, true)) {
        textChanged();
    }
}

bool TextField::canBecomeFirstResponder() const {
    return isEnabled();
}

bool TextField::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!canBecomeFirstResponder()) return false;
    auto keep = weak_from_this().lock();
    if (auto d = delegate(); d && !d->textFieldShouldBeginEditing(*this)) return false;
    return Control::becomeFirstResponder();
}

bool TextField::resignFirstResponder() {
    if (!isFirstResponder()) return true;
    auto keep = weak_from_this().lock();
    if (auto d = delegate(); d && !d->textFieldShouldEndEditing(*this)) return false;
    return Control::resignFirstResponder();
}

void TextField::didBecomeFirstResponder() {
    auto keep = weak_from_this().lock();
    editing_ = true;
    if (clearsOnBeginEditing_) text_.clear();
    selection_.reset();
    if (auto d = delegate()) d->textFieldDidBeginEditing(*this);
    sendActionsForControlEvents(ControlEvent::EditingDidBegin);
}

void TextField::didResignFirstResponder() {
    auto keep = weak_from_this().lock();
    marked_.reset();
    editing_ = false;
    if (auto d = delegate()) d->textFieldDidEndEditing(*this);
    sendActionsForControlEvents(ControlEvent::EditingDidEnd);
}

void TextField::touchesEnded(const Touches& touches) {
    auto keep = weak_from_this().lock();
    bool inside = !touches.empty() && bounds().contains(touches.front()->locationInView(this));
    Control::touchesEnded(touches);
    if (inside) becomeFirstResponder();
}

void TextField::layoutSubviews() {
    Control::layoutSubviews();
    if (leftView_) {
        bool show = leftViewMode_ == TextFieldViewMode::Always ||
                    (leftViewMode_ == TextFieldViewMode::WhileEditing && editing_) ||
                    (leftViewMode_ == TextFieldViewMode::UnlessEditing && !editing_);
        leftView_->setHidden(!show);
        Rect f = leftView_->frame();
        leftView_->setFrame({0, (bounds().height() - f.height()) / 2, f.width(), f.height()});
    }
}

Size TextField::sizeThatFits(Size size) const {
    Size t = graphics::measureText(text_.empty() ? placeholder_ : text_, font_);
    return {std::max(size.width, t.width + 14), std::max(t.height, font_.lineHeight()) + 8};
}

void TextField::draw(GraphicsContext& context, Rect rect) {
    (void)rect;
    Rect b = bounds();
    switch (borderStyle_) {
    case TextBorderStyle::RoundedRect:
        context.setFillColor(Color::white());
        context.beginPath();
        context.addRoundedRect(b.inset(0.5, 0.5), 5);
        context.fillPath();
        context.setStrokeColor(Color::grey(0.8));
        context.setLineWidth(1);
        context.beginPath();
        context.addRoundedRect(b.inset(0.5, 0.5), 5);
        context.strokePath();
        break;
    case TextBorderStyle::Line:
    case TextBorderStyle::Bezel:
        context.setStrokeColor(borderStyle_ == TextBorderStyle::Line ? Color::black() : Color::grey(0.5));
        context.setLineWidth(1);
        context.strokeRect(b.inset(0.5, 0.5));
        break;
    case TextBorderStyle::None:
        break;
    }
    double left = borderStyle_ == TextBorderStyle::None ? 0 : 7;
    if (leftView_ && !leftView_->isHidden()) left = std::max(left, leftView_->frame().maxX());
    Rect textRect{b.x() + left, b.y(), std::max(0.0, b.width() - left - 7), b.height()};
    if (text_.empty()) {
        context.drawText(placeholder_, textRect, font_, Color::grey(0.7), alignment_, 1, true);
        return;
    }
    std::string shown = text_;
    if (secure_) {
        shown.clear();
        for (size_t i = 0, n = text::length(text_); i < n; ++i) shown += "\u2022";
    }
    context.drawText(shown, textRect, font_, textColor_, alignment_, 1, true);
}

std::string TextField::describeContent() const {
    if (text_.empty()) return placeholder_;
    if (!secure_) return text_;
    std::string s;
    for (size_t i = 0, n = text::length(text_); i < n; ++i) s += "\u2022";
    return s;
}

}  // namespace ui
