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
    size_t len = text::length(text_);
    if (!selection_) return {len, 0};
    TextRange r = *selection_;
    r.location = std::min(r.location, len);
    r.length = std::min(r.length, len - r.location);
    return r;
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
    size_t caret = range.location + text::length(replacement);
    if (caret >= text::length(text_)) selection_.reset();
    else selection_ = TextRange{caret, 0};
    textChanged();
    return true;
}

bool TextField::insertText(const std::string& text) {
    if (!isFirstResponder()) return false;
    if (marked_) {
        // A keystroke while composing replaces the composition.
        TextRange m = *marked_;
        marked_.reset();
        text_ = text::replace(text_, m, "");
        selection_ = TextRange{m.location, 0};
    }
    return applyEdit(selectedRange(), text, true);
}

void TextField::typeText(const std::string& s) {
    for (auto& c : text::characters(s)) insertText(c);
}

bool TextField::deleteBackward() {
    if (!isFirstResponder()) return false;
    if (marked_) {
        auto chars = text::characters(text::substring(text_, marked_->location, marked_->length));
        if (!chars.empty()) chars.pop_back();
        std::string shorter;
        for (auto& c : chars) shorter += c;
        setMarkedText(shorter);
        return true;
    }
    TextRange sel = selectedRange();
    if (sel.length == 0) {
        if (sel.location == 0) return false;
        sel = {sel.location - 1, 1};
    }
    return applyEdit(sel, "", true);
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
    TextRange range = marked_ ? *marked_ : selectedRange();
    text_ = text::replace(text_, range, marked);
    size_t len = text::length(marked);
    if (len > 0) marked_ = TextRange{range.location, len};
    else marked_.reset();
    size_t caret = range.location + len;
    if (caret >= text::length(text_)) selection_.reset();
    else selection_ = TextRange{caret, 0};
    textChanged();
}

void TextField::unmarkText() {
    if (!marked_) return;
    TextRange m = *marked_;
    std::string committed = text::substring(text_, m.location, m.length);
    marked_.reset();
    // The committed text is asked for as an insertion into the text without the composition.
    text_ = text::replace(text_, m, "");
    if (!applyEdit({m.location, 0}, committed, true)) {
        selection_ = TextRange{m.location, 0};
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
