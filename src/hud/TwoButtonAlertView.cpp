#include "hud/TwoButtonAlertView.h"

#include <algorithm>

#include "platform/foundation/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace {

constexpr double kPadding = 15;
constexpr double kButtonHeight = 40;

std::shared_ptr<ui::Button> makeButton(const std::string& title, const ui::Color& background) {
    auto button = std::make_shared<ui::Button>(ui::ButtonType::Custom);
    button->setTitle(title, ui::ControlStates::Normal);
    button->setTitleColor(ui::Color::white(), ui::ControlStates::Normal);
    button->titleLabel()->setFont(ui::Font::boldSystemFont(15));
    button->setBackgroundColor(background);
    button->layer().cornerRadius = 3;
    return button;
}

}  // namespace

TwoButtonAlertView::TwoButtonAlertView(const std::string& title, const std::string& contentText,
                                       const std::optional<std::string>& leftButtonTitle,
                                       const std::string& rightButtonTitle) {
    setBackgroundColor(ui::Color::white());
    layer().cornerRadius = 5;
    setClipsToBounds(true);
    double innerWidth = kWidth - 2 * kPadding;

    titleLabel_ = std::make_shared<ui::Label>();
    titleLabel_->setText(title);
    titleLabel_->setFont(ui::Font::boldSystemFont(17));
    titleLabel_->setTextColor(ui::Color::rgbBytes(56, 64, 71));
    titleLabel_->setTextAlignment(ui::TextAlignment::Center);
    titleLabel_->setNumberOfLines(0);
    double titleHeight = std::max(30.0, titleLabel_->sizeThatFits({innerWidth, 0}).height);
    titleLabel_->setFrame({kPadding, kPadding, innerWidth, titleHeight});
    addSubview(titleLabel_);

    contentLabel_ = std::make_shared<ui::Label>();
    contentLabel_->setText(contentText);
    contentLabel_->setFont(ui::Font::systemFont(15));
    // Grey text that still reads 4.5:1 on the white box.
    contentLabel_->setTextColor(ui::Color::rgbBytes(112, 112, 112));
    contentLabel_->setTextAlignment(ui::TextAlignment::Center);
    contentLabel_->setNumberOfLines(0);
    double contentHeight = contentText.empty() ? 0 : contentLabel_->sizeThatFits({innerWidth, 0}).height;
    double contentY = titleLabel_->frame().maxY() + 10;
    contentLabel_->setFrame({kPadding, contentY, innerWidth, contentHeight});
    addSubview(contentLabel_);

    double buttonY = contentY + contentHeight + 20;
    // The buttons' white titles read 4.5:1 on these shades of the blue and of the grey.
    ui::Color blue = ui::Color::rgbBytes(30, 129, 149);
    ui::Color grey = ui::Color::rgbBytes(112, 112, 112);
    if (leftButtonTitle && !leftButtonTitle->empty()) {
        double buttonWidth = (innerWidth - kPadding) / 2;
        leftButton_ = makeButton(*leftButtonTitle, grey);
        leftButton_->setFrame({kPadding, buttonY, buttonWidth, kButtonHeight});
        rightButton_ = makeButton(rightButtonTitle, blue);
        rightButton_->setFrame({2 * kPadding + buttonWidth, buttonY, buttonWidth, kButtonHeight});
        addSubview(leftButton_);
    } else {
        rightButton_ = makeButton(rightButtonTitle, blue);
        rightButton_->setFrame({kPadding, buttonY, innerWidth, kButtonHeight});
    }
    addSubview(rightButton_);
    // The buttons belong to the alert; a raw pointer cannot outlive it (the control keeps
    // itself and its action alive while the action runs, and pressed() keeps the alert).
    if (leftButton_) leftButton_->addTarget([this] { pressed(true); }, ui::ControlEvent::TouchUpInside, this);
    rightButton_->addTarget([this] { pressed(false); }, ui::ControlEvent::TouchUpInside, this);
    setFrame({0, 0, kWidth, buttonY + kButtonHeight + kPadding});
}

std::vector<std::string> TwoButtonAlertView::dialogButtons() const {
    std::vector<std::string> titles;
    if (leftButton_) titles.push_back(leftButton_->titleForState(ui::ControlStates::Normal).value_or(""));
    titles.push_back(rightButton_->titleForState(ui::ControlStates::Normal).value_or(""));
    return titles;
}

void TwoButtonAlertView::show() {
    auto window = ui::Application::shared().keyWindow();
    auto root = window ? window->rootViewController() : nullptr;
    if (!root) {
        foundation::log("TwoButtonAlertView: no root screen to show \"" + titleLabel_->text() + "\" on");
        return;
    }
    auto host = root->view();
    auto self = weak_from_this().lock();
    if (!self) {
        foundation::log("TwoButtonAlertView: shown without a shared_ptr owner");
        return;
    }
    if (!background_) {
        background_ = std::make_shared<ui::View>(host->bounds());
        background_->setBackgroundColor(ui::Color::black().withAlpha(0.6));
        background_->setAutoresizingMask(ui::AutoresizingFlexibleWidth | ui::AutoresizingFlexibleHeight);
    }
    // The keyboard goes: it would hide the lower half of the alert and its buttons.
    ui::Keyboard::dismiss();
    background_->setFrame(host->bounds());
    host->addSubview(background_);
    host->addSubview(self);
    setCenter({host->bounds().midX(), host->bounds().midY()});
}

void TwoButtonAlertView::dismiss() {
    auto keep = weak_from_this().lock();
    if (background_) background_->removeFromSuperview();
    removeFromSuperview();
}

void TwoButtonAlertView::pressed(bool left) {
    auto keep = weak_from_this().lock();  // the blocks may drop the last other reference
    dismiss();
    // Copies: a block may replace the blocks or release the alert.
    Block dismissBlock = dismissBlock_;
    Block block = left ? leftBlock_ : rightBlock_;
    if (dismissBlock) dismissBlock();
    if (block) block();
}
