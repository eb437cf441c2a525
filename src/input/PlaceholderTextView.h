#pragma once
#include <memory>
#include <string>

#include "platform/ui/Label.h"
#include "platform/ui/TextView.h"

// A text view that shows a grey placeholder text while it is empty.
class PlaceholderTextView : public ui::TextView {
public:
    PlaceholderTextView();
    explicit PlaceholderTextView(ui::Rect frame);
    std::string className() const override { return "PlaceholderTextView"; }

    const std::string& placeholder() const { return placeholder_; }
    void setPlaceholder(const std::string& placeholder);
    const ui::Color& placeholderColor() const { return placeholderColor_; }
    void setPlaceholderColor(const ui::Color& color);

    void setText(const std::string& text) override;
    void layoutSubviews() override;

protected:
    void textDidChange() override;

private:
    void build();
    void refresh();
    std::string placeholder_;
    ui::Color placeholderColor_ = ui::Color::grey(0.7);
    // Shows the placeholder; hidden while there is text.
    std::shared_ptr<ui::Label> placeholderLabel_;
};
