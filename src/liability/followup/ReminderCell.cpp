#include "liability/followup/ReminderCell.h"

#include "core/TextValues.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Screen.h"

namespace {
double contentWidth() { return ui::Screen::mainScreen().bounds().width() - 20; }
}  // namespace

ReminderCell::ReminderCell(ui::TableViewCellStyle style, std::string reuseIdentifier)
    : ui::TableViewCell(style, std::move(reuseIdentifier)) {
    setBackgroundColor(ui::Color::white());
    titleLabel_ = std::make_shared<ui::Label>(ui::Rect(10, 20, contentWidth(), 15));
    titleLabel_->setTextAlignment(ui::TextAlignment::Center);
    titleLabel_->setNumberOfLines(1);
    titleLabel_->setFont(ui::Font::systemFont(15));
    contentView()->addSubview(titleLabel_);
    contentLabel_ = std::make_shared<ui::Label>(ui::Rect(10, titleLabel_->frame().maxY() + 10, contentWidth(), 0));
    contentLabel_->setNumberOfLines(0);
    contentLabel_->setLineBreakMode(ui::LineBreakMode::CharWrapping);
    contentLabel_->setFont(ui::Font::systemFont(15));
    contentView()->addSubview(contentLabel_);
}

void ReminderCell::setDic(const nlohmann::json& dic) {
    if (dic.is_null()) return;
    dic_ = dic;
    titleLabel_->setText(TextValues::replyText(dic, "title").value_or(""));
    contentLabel_->setText(TextValues::replyText(dic, "content").value_or(""));
    setNeedsLayout();
}

double ReminderCell::getRichTextWidthWithTitle(const std::string& text) {
    if (text.empty()) return 0;
    return graphics::measureText(text, ui::Font::systemFont(15), contentWidth()).height;
}

double ReminderCell::cellWithHeight(const nlohmann::json& dic) {
    return getRichTextWidthWithTitle(TextValues::replyText(dic, "content").value_or("")) + 65;
}

void ReminderCell::layoutSubviews() {
    ui::TableViewCell::layoutSubviews();
    titleLabel_->setFrame({10, 20, contentWidth(), 15});
    contentLabel_->setFrame({10, titleLabel_->frame().maxY() + 10, contentWidth(),
                             getRichTextWidthWithTitle(contentLabel_->text())});
}
