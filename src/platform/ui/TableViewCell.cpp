#include "platform/ui/TableViewCell.h"

#include <algorithm>

#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Screen.h"

namespace ui {

TableViewCell::TableViewCell(TableViewCellStyle style, std::string reuseIdentifier)
    : View(Rect(0, 0, Screen::mainScreen().bounds().width(), 44)), style_(style), reuseIdentifier_(std::move(reuseIdentifier)) {
    setBackgroundColor(Color::white());
    contentView_ = std::make_shared<View>(bounds());
    contentView_->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    addSubview(contentView_);
}

std::shared_ptr<Label> TableViewCell::textLabel() {
    if (!textLabel_) {
        textLabel_ = std::make_shared<Label>();
        textLabel_->setFont(Font::systemFont(18));
        if (style_ == TableViewCellStyle::Value2) {
            textLabel_->setFont(Font::boldSystemFont(12));
            textLabel_->setTextColor(defaultTintColor());
            textLabel_->setTextAlignment(TextAlignment::Right);
        }
        contentView_->addSubview(textLabel_);
        setNeedsLayout();
    }
    return textLabel_;
}

std::shared_ptr<Label> TableViewCell::detailTextLabel() {
    if (style_ == TableViewCellStyle::Default) return nullptr;
    if (!detailTextLabel_) {
        detailTextLabel_ = std::make_shared<Label>();
        switch (style_) {
        case TableViewCellStyle::Value1:
            detailTextLabel_->setFont(Font::systemFont(17));
            detailTextLabel_->setTextColor(Color::grey(0.56));
            detailTextLabel_->setTextAlignment(TextAlignment::Right);
            break;
        case TableViewCellStyle::Subtitle:
            detailTextLabel_->setFont(Font::systemFont(12));
            break;
        default:
            detailTextLabel_->setFont(Font::boldSystemFont(15));
            break;
        }
        contentView_->addSubview(detailTextLabel_);
        setNeedsLayout();
    }
    return detailTextLabel_;
}

std::shared_ptr<ImageView> TableViewCell::imageView() {
    if (!imageView_) {
        imageView_ = std::make_shared<ImageView>();
        contentView_->addSubview(imageView_);
        setNeedsLayout();
    }
    return imageView_;
}

void TableViewCell::setAccessoryView(std::shared_ptr<View> view) {
    if (accessoryView_) accessoryView_->removeFromSuperview();
    accessoryView_ = std::move(view);
    if (accessoryView_) addSubview(accessoryView_);
    setNeedsLayout();
}

void TableViewCell::setBackgroundView(std::shared_ptr<View> view) {
    if (backgroundView_) backgroundView_->removeFromSuperview();
    backgroundView_ = std::move(view);
    if (backgroundView_) {
        backgroundView_->setFrame(bounds());
        insertSubview(backgroundView_, 0);
    }
}

void TableViewCell::setSelectedBackgroundView(std::shared_ptr<View> view) {
    if (selectedBackgroundView_) selectedBackgroundView_->removeFromSuperview();
    selectedBackgroundView_ = std::move(view);
    if (selectedBackgroundView_) {
        selectedBackgroundView_->setFrame(bounds());
        selectedBackgroundView_->setHidden(!(selected_ || highlighted_));
        insertSubview(selectedBackgroundView_, backgroundView_ ? 1 : 0);
    }
}

void TableViewCell::setSelected(bool selected) { setSelected(selected, false); }

void TableViewCell::setSelected(bool selected, bool animated) {
    (void)animated;
    setSelectedState(selected);
    if (selectedBackgroundView_) selectedBackgroundView_->setHidden(!(selected_ || highlighted_));
}

void TableViewCell::setHighlighted(bool highlighted) { setHighlighted(highlighted, false); }

void TableViewCell::setHighlighted(bool highlighted, bool animated) {
    (void)animated;
    setHighlightedState(highlighted);
    if (selectedBackgroundView_) selectedBackgroundView_->setHidden(!(selected_ || highlighted_));
}

void TableViewCell::layoutSubviews() {
    View::layoutSubviews();
    Rect b = bounds();
    double accessoryWidth = 0;
    if (accessoryView_) {
        Rect f = accessoryView_->frame();
        accessoryWidth = f.width() + 15;
        accessoryView_->setFrame({b.width() - 15 - f.width(), (b.height() - f.height()) / 2, f.width(), f.height()});
    } else if (accessoryType_ != TableViewCellAccessoryType::None) {
        accessoryWidth = 33;
    }
    contentView_->setFrame({0, 0, std::max(0.0, b.width() - accessoryWidth), b.height()});
    if (backgroundView_) backgroundView_->setFrame(b);
    if (selectedBackgroundView_) selectedBackgroundView_->setFrame(b);
    double cw = contentView_->bounds().width(), h = b.height();
    double x = 15;
    if (imageView_ && imageView_->image()) {
        Size s = imageView_->image()->size();
        double ih = std::min(s.height, h);
        double iw = s.height > 0 ? s.width * ih / s.height : s.width;
        imageView_->setFrame({15, (h - ih) / 2, iw, ih});
        x = 15 + iw + 15;
    }
    double right = cw - 15;
    switch (style_) {
    case TableViewCellStyle::Default:
        if (textLabel_) textLabel_->setFrame({x, 0, std::max(0.0, right - x), h});
        break;
    case TableViewCellStyle::Value1: {
        double dw = detailTextLabel_ ? std::min(detailTextLabel_->sizeThatFits({0, 0}).width, std::max(0.0, right - x)) : 0;
        if (detailTextLabel_) detailTextLabel_->setFrame({right - dw, 0, dw, h});
        if (textLabel_) textLabel_->setFrame({x, 0, std::max(0.0, right - dw - x - (dw > 0 ? 8 : 0)), h});
        break;
    }
    case TableViewCellStyle::Value2:
        if (textLabel_) textLabel_->setFrame({x, 0, 67, h});
        if (detailTextLabel_) detailTextLabel_->setFrame({x + 67 + 6, 0, std::max(0.0, right - x - 73), h});
        break;
    case TableViewCellStyle::Subtitle: {
        double th = textLabel_ && !textLabel_->text().empty() ? textLabel_->font().lineHeight() : 0;
        double dh = detailTextLabel_ && !detailTextLabel_->text().empty() ? detailTextLabel_->font().lineHeight() : 0;
        double y = (h - th - dh) / 2;
        if (textLabel_) textLabel_->setFrame({x, y, std::max(0.0, right - x), th});
        if (detailTextLabel_) detailTextLabel_->setFrame({x, y + th, std::max(0.0, right - x), dh});
        break;
    }
    }
}

void TableViewCell::draw(GraphicsContext& context, Rect rect) {
    (void)rect;
    Rect b = bounds();
    if ((selected_ || highlighted_) && selectionStyle_ != TableViewCellSelectionStyle::None && !selectedBackgroundView_) {
        context.setFillColor(Color::grey(0.85));
        context.fillRect(b);
    }
    if (!separatorColor_.isClear()) {
        context.setFillColor(separatorColor_);
        double left = tableSeparatorInset_.left;
        context.fillRect({left, b.maxY() - 0.5, std::max(0.0, b.width() - left - tableSeparatorInset_.right), 0.5});
    }
    if (accessoryView_) return;
    double cx = b.width() - 15, cy = b.height() / 2;
    context.setLineWidth(2);
    context.setLineCap(LineCap::Round);
    context.setLineJoin(LineJoin::Round);
    switch (accessoryType_) {
    case TableViewCellAccessoryType::DisclosureIndicator:
    case TableViewCellAccessoryType::DetailDisclosureButton:
        context.setStrokeColor(Color::grey(0.78));
        context.beginPath();
        context.moveTo({cx - 6, cy - 6});
        context.addLineTo({cx, cy});
        context.addLineTo({cx - 6, cy + 6});
        context.strokePath();
        break;
    case TableViewCellAccessoryType::Checkmark:
        context.setStrokeColor(tintColor().value_or(defaultTintColor()));
        context.beginPath();
        context.moveTo({cx - 12, cy});
        context.addLineTo({cx - 7, cy + 5});
        context.addLineTo({cx + 1, cy - 6});
        context.strokePath();
        break;
    case TableViewCellAccessoryType::DetailButton:
        context.setStrokeColor(tintColor().value_or(defaultTintColor()));
        context.beginPath();
        context.addEllipseInRect({cx - 11, cy - 11, 22, 22});
        context.strokePath();
        break;
    case TableViewCellAccessoryType::None:
        break;
    }
}

std::string TableViewCell::describeContent() const {
    std::string s = textLabel_ ? textLabel_->text() : "";
    if (detailTextLabel_ && !detailTextLabel_->text().empty()) s += (s.empty() ? "" : " ") + detailTextLabel_->text();
    return s;
}

}  // namespace ui
