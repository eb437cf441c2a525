#include "apps/simulator/PlaceholderScreen.h"

namespace simulator {

PlaceholderScreen::PlaceholderScreen(std::string standsFor) : standsFor_(std::move(standsFor)) {
    setTitle(standsFor_);
}

void PlaceholderScreen::viewDidLoad() {
    auto root = view();
    root->setBackgroundColor(ui::Color::white());
    double width = root->bounds().width();

    name_ = std::make_shared<ui::Label>(ui::Rect{20, 90, width - 40, 30});
    name_->setText(standsFor_);
    name_->setFont(ui::Font::boldSystemFont(20));
    name_->setTextAlignment(ui::TextAlignment::Center);
    root->addSubview(name_);

    notice_ = std::make_shared<ui::Label>(ui::Rect{20, 125, width - 40, 24});
    notice_->setText("此页面尚未建成");
    notice_->setFont(ui::Font::systemFont(14));
    notice_->setTextColor(ui::Color::gray());
    notice_->setTextAlignment(ui::TextAlignment::Center);
    root->addSubview(notice_);

    field_ = std::make_shared<ui::TextField>(ui::Rect{20, 170, width - 40, 40});
    field_->setPlaceholder("备注");
    field_->setBorderStyle(ui::TextBorderStyle::RoundedRect);
    root->addSubview(field_);

    button_ = std::make_shared<ui::Button>(ui::ButtonType::System, ui::Rect{20, 225, width - 40, 44});
    button_->setTitle("确定");
    std::weak_ptr<PlaceholderScreen> weak = sharedAs<PlaceholderScreen>();
    button_->addTarget([weak] {
        auto self = weak.lock();
        if (!self) return;
        self->field_->resignFirstResponder();
        self->echo_->setText("备注: " + self->field_->text());
    }, ui::ControlEvent::TouchUpInside, this);
    root->addSubview(button_);

    echo_ = std::make_shared<ui::Label>(ui::Rect{20, 285, width - 40, 24});
    root->addSubview(echo_);
    push_ = std::make_shared<ui::Label>(ui::Rect{20, 315, width - 40, 24});
    root->addSubview(push_);
}

void PlaceholderScreen::showPush(const std::string& key) {
    view();
    push_->setText("推送: " + key);
}

}  // namespace simulator
