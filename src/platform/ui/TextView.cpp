#include "platform/ui/TextView.h"

#include <algorithm>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/GraphicsContext.h"

namespace ui {

void TextView::init() {
    setBackgroundColor(Color::white());
}

void TextView::setText(const std::string& text) {
    text_ = text;
    selection_.reset();
    marked_.reset();
    setNeedsDisplay();
    textDidChange();
}

void TextView::setDelegate(std::weak_ptr<TextViewDelegate> d) {
    tvDelegate_ = d;
    ScrollView::setDelegate(std::weak_ptr<ScrollViewDelegate>(d));
}

TextRange TextView::selectedRange() const {
    return text::clampedSelection(text_, selection_);
}

void TextView::setSelectedRange(TextRange range) {
    selection_ = range;
    if (auto d = delegate()) d->textViewDidChangeSelection(*this);
}

bool TextView::applyEdit(TextRange range, const std::string& replacement, bool askDelegate) {
    auto keep = weak_from_this().lock();
    if (askDelegate) {
        if (auto d = delegate(); d && !d->shouldChangeTextInRange(*this, range, replacement)) return false;
    }
    text_ = text::replace(text_, range, replacement);
    selection_ = text::caretAt(text_, range.location + text::length(replacement));
    setNeedsDisplay();
    textDidChange();
    if (auto d = delegate()) d->textViewDidChange(*this);
    foundation::NotificationCenter::defaultCenter().post(TextViewTextDidChangeNotification, this);
    return true;
}

bool TextView::insertText(const std::string& text) {
    if (!isFirstResponder() || !editable_) return false;
    // A keystroke while composing replaces the composition.
    text::dropComposition(text_, selection_, marked_);
    return applyEdit(selectedRange(), text, true);
}

void TextView::typeText(const std::string& s) {
    for (auto& c : text::characters(s)) insertText(c);
}

bool TextView::deleteBackward() {
    if (!isFirstResponder() || !editable_) return false;
    if (marked_) {
        setMarkedText(text::compositionLessLastCharacter(text_, *marked_));
        return true;
    }
    auto removed = text::backspaceRange(selectedRange());
    return removed && applyEdit(*removed, "", true);
}

void TextView::setMarkedText(const std::string& marked) {
    if (!isFirstResponder() || !editable_) return;
    auto keep = weak_from_this().lock();
    text::setComposition(text_, selection_, marked_, marked);
    setNeedsDisplay();
    textDidChange();
    if (auto d = delegate()) d->textViewDidChange(*this);
}

void TextView::unmarkText() {
    if (!marked_) return;
    TextRange m = *marked_;
    std::string committed = text::substring(text_, m.location, m.length);
    // The committed text is asked for as an insertion into the text without the composition.
    text::dropComposition(text_, selection_, marked_);
    if (!applyEdit({m.location, 0}, committed, true)) {
        textDidChange();
        if (auto d = delegate()) d->textViewDidChange(*this);
    }
}

bool TextView::canBecomeFirstResponder() const {
    return editable_ || selectable_;
}

bool TextView::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!canBecomeFirstResponder()) return false;
    auto keep = weak_from_this().lock();
    if (auto d = delegate(); d && !d->textViewShouldBeginEditing(*this)) return false;
    return ScrollView::becomeFirstResponder();
}

bool TextView::resignFirstResponder() {
    if (!isFirstResponder()) return true;
    auto keep = weak_from_this().lock();
    if (auto d = delegate(); d && !d->textViewShouldEndEditing(*this)) return false;
    return ScrollView::resignFirstResponder();
}

void TextView::didBecomeFirstResponder() {
    auto keep = weak_from_this().lock();
    editing_ = editable_;
    selection_.reset();
    if (editing_) {
        if (auto d = delegate()) d->textViewDidBeginEditing(*this);
    }
}

void TextView::didResignFirstResponder() {
    auto keep = weak_from_this().lock();
    marked_.reset();
    bool was = editing_;
    editing_ = false;
    if (was) {
        if (auto d = delegate()) d->textViewDidEndEditing(*this);
    }
}

void TextView::touchesEnded(const Touches& touches) {
    auto keep = weak_from_this().lock();
    bool dragged = isDragging();
    ScrollView::touchesEnded(touches);
    if (!dragged && !touches.empty() && bounds().contains(touches.front()->locationInView(this))) becomeFirstResponder();
}

Size TextView::sizeThatFits(Size size) const {
    double w = size.width > 0 ? size.width : bounds().width();
    Size t = graphics::measureText(text_.empty() ? " " : text_, font_, std::max(1.0, w - 10));
    return {w, t.height + textInset_.top + textInset_.bottom};
}

void TextView::draw(GraphicsContext& context, Rect rect) {
    (void)rect;
    if (text_.empty()) return;
    Rect b = bounds().inset(textInset_);
    b = b.inset(5, 0);
    Size t = graphics::measureText(text_, font_, std::max(1.0, b.width()));
    context.drawText(text_, {b.x(), b.y(), b.width(), std::max(b.height(), t.height)}, font_, textColor_, alignment_, 0,
                     false);
}

}  // namespace ui
