#include "platform/ui/AlertView.h"

#include <algorithm>

#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextInput.h"

namespace ui {

namespace {
std::vector<std::shared_ptr<AlertView>>& alerts() {
    static std::vector<std::shared_ptr<AlertView>> list;
    return list;
}
constexpr double kBoxWidth = 270;
constexpr double kButtonHeight = 44;
}  // namespace

AlertView::AlertView(const std::string& title, const std::string& message, std::weak_ptr<AlertViewDelegate> delegate,
                     const std::string& cancelButtonTitle, const std::vector<std::string>& otherButtonTitles)
    : View(Screen::mainScreen().bounds()), title_(title), message_(message), delegate_(std::move(delegate)) {
    if (!cancelButtonTitle.empty()) {
        buttonTitles_.push_back(cancelButtonTitle);
        cancelIndex_ = 0;
    }
    for (auto& t : otherButtonTitles) buttonTitles_.push_back(t);
    setBackgroundColor(Color::black().withAlpha(0.4));
    setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
}

int AlertView::addButtonWithTitle(const std::string& title) {
    buttonTitles_.push_back(title);
    if (visible_) build();
    return static_cast<int>(buttonTitles_.size()) - 1;
}

std::string AlertView::buttonTitleAtIndex(int index) const {
    if (index < 0 || index >= numberOfButtons()) return "";
    return buttonTitles_[static_cast<size_t>(index)];
}

int AlertView::firstOtherButtonIndex() const {
    int first = cancelIndex_ == 0 ? 1 : 0;
    return first < numberOfButtons() ? first : -1;
}

int AlertView::indexOfButtonWithTitle(const std::string& title) const {
    auto it = std::find(buttonTitles_.begin(), buttonTitles_.end(), title);
    return it == buttonTitles_.end() ? -1 : static_cast<int>(it - buttonTitles_.begin());
}

void AlertView::build() {
    if (box_) box_->removeFromSuperview();
    box_ = std::make_shared<View>();
    box_->setBackgroundColor(Color::grey(0.97));
    box_->layer().cornerRadius = 7;
    box_->setClipsToBounds(true);
    double y = 20;
    auto addLabel = [&](const std::string& text, const Font& font) {
        if (text.empty()) return;
        auto l = std::make_shared<Label>();
        l->setText(text);
        l->setFont(font);
        l->setNumberOfLines(0);
        l->setTextAlignment(TextAlignment::Center);
        l->setFrame({16, y, kBoxWidth - 32, 0});
        l->sizeToFit();
        l->setFrame({16, y, kBoxWidth - 32, l->frame().height()});
        box_->addSubview(l);
        y += l->frame().height() + 4;
    };
    addLabel(title_, Font::boldSystemFont(17));
    addLabel(message_, Font::systemFont(13));
    y += 16;
    int n = numberOfButtons();
    bool sideBySide = n == 2;
    for (int i = 0; i < n; ++i) {
        auto b = std::make_shared<Button>(ButtonType::System);
        b->setTitle(buttonTitles_[static_cast<size_t>(i)]);
        b->titleLabel()->setFont(i == cancelIndex_ ? Font::boldSystemFont(17) : Font::systemFont(17));
        if (sideBySide) b->setFrame({i * kBoxWidth / 2, y, kBoxWidth / 2, kButtonHeight});
        else b->setFrame({0, y + i * kButtonHeight, kBoxWidth, kButtonHeight});
        b->addTarget(foundation::weakBind(this, [i](const auto& a) { a->clickButtonAtIndex(i); }),
                     ControlEvent::TouchUpInside);
        box_->addSubview(b);
    }
    double h = y + (sideBySide ? kButtonHeight : n * kButtonHeight);
    box_->setFrame({0, 0, kBoxWidth, h});
    addSubview(box_);
    layoutSubviews();
}

void AlertView::layoutSubviews() {
    View::layoutSubviews();
    if (!box_) return;
    Rect b = bounds();
    Rect f = box_->frame();
    box_->setFrame({(b.width() - f.width()) / 2, (b.height() - f.height()) / 2, f.width(), f.height()});
}

void AlertView::show() {
    if (visible_) return;
    auto self = std::static_pointer_cast<AlertView>(weak_from_this().lock());
    if (!self) {
        foundation::log("alert: show needs an alert made with make_shared");
        return;
    }
    Keyboard::dismiss();
    visible_ = true;
    alerts().push_back(self);
    auto window = Application::shared().keyWindow();
    if (!window && !Application::shared().windows().empty()) window = Application::shared().windows().back();
    if (window) setFrame(window->bounds());
    build();
    if (window) window->addSubview(self);
}

void AlertView::clickButtonAtIndex(int index) {
    if (!visible_) return;
    auto keep = weak_from_this().lock();
    if (auto d = delegate()) d->clickedButtonAtIndex(*this, index);
    if (auto b = clickedBlock_) b(index);
    finish(index);
}

void AlertView::dismissWithClickedButtonIndex(int index, bool animated) {
    (void)animated;
    if (!visible_) return;
    finish(index);
}

void AlertView::finish(int index) {
    if (!visible_) return;
    auto keep = weak_from_this().lock();
    if (auto d = delegate()) d->willDismissWithButtonIndex(*this, index);
    visible_ = false;
    removeFromSuperview();
    auto& list = alerts();
    list.erase(std::remove_if(list.begin(), list.end(), [this](const std::shared_ptr<AlertView>& a) { return a.get() == this; }),
               list.end());
    if (auto d = delegate()) d->didDismissWithButtonIndex(*this, index);
    if (auto b = dismissBlock_) b(index);
}

std::vector<std::shared_ptr<AlertView>> AlertView::visibleAlerts() {
    return alerts();
}

void AlertView::resetAll() {
    auto list = std::move(alerts());
    alerts().clear();
    for (auto& a : list) {
        a->visible_ = false;
        a->removeFromSuperview();
    }
}

}  // namespace ui
