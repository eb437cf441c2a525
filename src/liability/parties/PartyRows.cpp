#include "liability/parties/PartyRows.h"

#include "core/Theme.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Screen.h"

namespace PartyRows {

std::shared_ptr<ui::TableViewCell> makeRow(const std::string& caption, double height) {
    auto cell = std::make_shared<ui::TableViewCell>(ui::TableViewCellStyle::Default);
    double width = ui::Screen::mainScreen().bounds().width();
    cell->setFrame({0, 0, width, height});
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    auto label = std::make_shared<ui::Label>(ui::Rect(kCaptionX, 0, kValueX - kCaptionX - 5, height));
    label->setText(caption);
    label->setFont(ui::Font::systemFont(15));
    cell->contentView()->addSubview(label);
    return cell;
}

std::shared_ptr<ui::Label> addValueLabel(ui::TableViewCell& row) {
    double width = ui::Screen::mainScreen().bounds().width();
    auto label = std::make_shared<ui::Label>(ui::Rect(kValueX, 0, width - kValueX - 12.5, row.frame().height()));
    label->setFont(ui::Font::systemFont(15));
    row.contentView()->addSubview(label);
    return label;
}

}  // namespace PartyRows

PartyHeaderView::PartyHeaderView(double height, double inset, double gap) : inset_(inset), gap_(gap) {
    double width = ui::Screen::mainScreen().bounds().width();
    setFrame({0, 0, width, height});
    setBackgroundColor(Theme::pageGrey());
    auto tip = std::make_shared<ui::Label>(ui::Rect(0, 0, width, kTipHeight));
    tip->setFont(ui::Font::systemFont(15));
    tip->setNumberOfLines(0);
    tip->setTextColor(ui::Color::white());
    tip->setBackgroundColor(Theme::hintGrey());
    tip->setTextAlignment(ui::TextAlignment::Center);
    tip->setHidden(true);
    addSubview(tip);
    titleLabel_ = tip;
    auto text = std::make_shared<ui::Label>(ui::Rect(inset, inset, width - 2 * inset, 20));
    text->setFont(ui::Font::systemFont(15));
    addSubview(text);
    textLabel_ = text;
}

void PartyHeaderView::showTip(const std::string& tip) {
    auto label = titleLabel();
    label->setText(tip);
    label->setHidden(false);
    setNeedsLayout();
    layoutSubviews();
}

void PartyHeaderView::setText(const std::string& text, const ui::Color& colour) {
    auto label = textLabel();
    label->setText(text);
    label->setTextColor(colour);
}

void PartyHeaderView::layoutSubviews() {
    ui::View::layoutSubviews();
    auto tip = titleLabel();
    auto text = textLabel();
    if (!tip || !text) return;
    double width = bounds().width();
    tip->setFrame({0, 0, width, kTipHeight});
    double top = tip->isHidden() ? inset_ : tip->frame().maxY() + gap_;
    text->setFrame({inset_, top, width - 2 * inset_, 20});
}

PartySections::PartySections(std::string tip, std::vector<std::string> captions, Style style)
    : tip_(std::move(tip)), captions_(std::move(captions)), style_(std::move(style)) {}

void PartySections::makeRows() {
    for (auto& rows : rows_) {
        rows.clear();
        for (const auto& caption : captions_) rows.push_back(PartyRows::makeRow(caption, style_.rowHeight));
    }
}

std::shared_ptr<ui::Label> PartySections::addValueLabel(int section, int row) {
    auto cell = this->row(ui::IndexPath::forRow(row, section));
    return cell ? PartyRows::addValueLabel(*cell) : nullptr;
}

std::shared_ptr<ui::TableViewCell> PartySections::row(ui::IndexPath indexPath) const {
    if (indexPath.section < 0 || indexPath.section > 1) return nullptr;
    const auto& rows = rows_[indexPath.section];
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(rows.size())) return nullptr;
    return rows[indexPath.row];
}

double PartySections::headerHeight(int section) const {
    return section == 0 ? style_.ownHeaderHeight : style_.otherHeaderHeight;
}

std::shared_ptr<ui::View> PartySections::header(int section) {
    if (section < 0 || section > 1) return nullptr;
    if (!headers_[section]) {
        auto header = std::make_shared<PartyHeaderView>(headerHeight(section), style_.inset, style_.gap);
        if (section == 0) {
            header->showTip(tip_);
            if (style_.tipBackground) header->titleLabel()->setBackgroundColor(*style_.tipBackground);
            if (style_.tipTextColour) header->titleLabel()->setTextColor(*style_.tipTextColour);
            header->setText(kOwnHeader, Theme::ownParty());
        } else {
            header->setText(kOtherHeader, Theme::otherParty());
        }
        headers_[section] = header;
    }
    return headers_[section];
}
