#include "liability/history/StoryCell.h"

#include <charconv>

#include "core/StoreManager.h"
#include "core/Theme.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Screen.h"

namespace {
std::shared_ptr<ui::Label> rowLabel(ui::Rect frame) {
    auto label = std::make_shared<ui::Label>(frame);
    label->setFont(ui::Font::systemFont(15));
    label->setTextColor(Theme::hintGrey());
    return label;
}
}  // namespace

std::optional<int> StoryCell::stateCode(const std::optional<std::string>& state) {
    if (!state || state->empty() || state->size() > 9) return std::nullopt;
    int value = 0;
    auto [end, error] = std::from_chars(state->data(), state->data() + state->size(), value);
    if (error != std::errc() || end != state->data() + state->size()) return std::nullopt;
    return value;
}

StoryCell::StoryCell(std::string reuseIdentifier)
    : ui::TableViewCell(ui::TableViewCellStyle::Default, std::move(reuseIdentifier)) {
    const double W = ui::Screen::mainScreen().bounds().width();
    setSelectionStyle(ui::TableViewCellSelectionStyle::None);  // selecting changes nothing on screen
    // The type and the state side by side, both clear of the button: each shrinks its text to fit.
    const double buttonX = W - 65, stateX = W / 2 - 20;
    storyLabel_ = rowLabel({15, 10, stateX - 6 - 15, 15});
    stateLabel_ = rowLabel({stateX, 10, buttonX - 6 - stateX, 15});
    for (const auto& label : {storyLabel_, stateLabel_}) label->setAdjustsFontSizeToFitWidth(true);
    carNoLabel_ = rowLabel({15, 35, W - 80, 15});
    dealBtn_ = std::make_shared<ui::Button>(ui::ButtonType::Custom, ui::Rect(W - 65, 8, 55, 44));
    dealBtn_->setTitle(kDealTitle);
    // Dark: white does not read on the yellow.
    dealBtn_->setTitleColor(ui::Color::rgbBytes(51, 51, 51));
    dealBtn_->titleLabel()->setFont(ui::Font::systemFont(15));
    dealBtn_->setBackgroundImage(graphics::Image::named("黄色btn"));
    dealBtn_->setBackgroundImage(graphics::Image::named("黄色btn-按下"), ui::ControlStates::Highlighted);
    auto* self = this;  // the cell owns the button that owns the action
    dealBtn_->addTarget([self] {
        if (self->btnClickBlock && self->story_) self->btnClickBlock(self->story_);
    }, ui::ControlEvent::TouchUpInside);
    for (const auto& view : std::initializer_list<std::shared_ptr<ui::View>>{storyLabel_, stateLabel_, carNoLabel_, dealBtn_})
        contentView()->addSubview(view);
}

void StoryCell::setStory(const std::shared_ptr<Story>& story) {
    if (!story) return;
    story_ = story;
    auto& store = StoreManager::shareStoreManager();
    storyLabel_->setText(kTypePrefix + store.getCaseTypeWithCode(story->casetype).value_or(""));
    auto code = stateCode(story->state);
    stateLabel_->setText(kStatePrefix + (code ? store.getTitleWithCode(story->state) : std::string()));
    carNoLabel_->setText(kTimePrefix + story->reportime.value_or(""));
    dealBtn_->setHidden(code == 5 || code == 6);
}
