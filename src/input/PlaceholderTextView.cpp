#include "input/PlaceholderTextView.h"

PlaceholderTextView::PlaceholderTextView() { build(); }

PlaceholderTextView::PlaceholderTextView(ui::Rect frame) : ui::TextView(frame) { build(); }

void PlaceholderTextView::build() {
    placeholderLabel_ = std::make_shared<ui::Label>();
    placeholderLabel_->setNumberOfLines(0);
    placeholderLabel_->setTextColor(placeholderColor_);
    placeholderLabel_->setFont(font());
    placeholderLabel_->setUserInteractionEnabled(false);
    addSubview(placeholderLabel_);
    refresh();
}

void PlaceholderTextView::setPlaceholder(const std::string& placeholder) {
    placeholder_ = placeholder;
    placeholderLabel_->setText(placeholder);
    setNeedsLayout();
    refresh();
}

void PlaceholderTextView::setPlaceholderColor(const ui::Color& color) {
    placeholderColor_ = color;
    placeholderLabel_->setTextColor(color);
}

void PlaceholderTextView::setText(const std::string& text) {
    ui::TextView::setText(text);
    refresh();
}

void PlaceholderTextView::textDidChange() { refresh(); }

void PlaceholderTextView::refresh() {
    placeholderLabel_->setHidden(placeholder_.empty() || !text().empty());
}

void PlaceholderTextView::layoutSubviews() {
    ui::TextView::layoutSubviews();
    // The placeholder sits where the first line of text starts, as wide as the text area.
    ui::EdgeInsets inset = textContainerInset();
    const double padding = 5;
    double width = bounds().width() - inset.left - inset.right - 2 * padding;
    if (width < 0) width = 0;
    placeholderLabel_->setFont(font());
    ui::Size fit = placeholderLabel_->sizeThatFits({width, 0});
    placeholderLabel_->setFrame({inset.left + padding, inset.top, width, fit.height});
}
