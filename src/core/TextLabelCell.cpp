#include "core/TextLabelCell.h"

#include <algorithm>

namespace {
constexpr double kMargin = 15;
}

void TextLabelCell::setLabelWidth(double width) {
    labelWidth_ = std::max(0.0, width);
    setNeedsLayout();
}

void TextLabelCell::layoutSubviews() {
    ui::TableViewCell::layoutSubviews();
    if (labelWidth_ <= 0) return;
    ui::Rect content = contentView()->bounds();
    double left = kMargin;
    auto image = imageView();
    if (image && image->image()) left = image->frame().maxX() + kMargin;
    textLabel()->setFrame({left, 0, labelWidth_, content.height()});
    if (auto detail = detailTextLabel()) {
        double x = left + labelWidth_;
        detail->setTextAlignment(ui::TextAlignment::Left);
        detail->setFrame({x, 0, std::max(0.0, content.width() - x - kMargin), content.height()});
    }
}
