#include "platform/ui/ActionSheet.h"

#include <algorithm>

#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextInput.h"

namespace ui {

namespace {
std::vector<std::shared_ptr<ActionSheet>>& sheets() {
    static std::vector<std::shared_ptr<ActionSheet>> list;
    return list;
}
constexpr double kButtonHeight = 44;
constexpr double kMargin = 8;
}  // namespace

ActionSheet::ActionSheet(const std::string& title, std::weak_ptr<ActionSheetDelegate> delegate,
                         const std::string& cancelButtonTitle, const std::string& destructiveButtonTitle,
                         const std::vector<std::string>& otherButtonTitles)
    : View(Screen::mainScreen().bounds()), title_(title), delegate_(std::move(delegate)) {
    if (!destructiveButtonTitle.empty()) {
        destructiveIndex_ = 0;
        buttonTitles_.push_back(destructiveButtonTitle);
    }
    if (!otherButtonTitles.empty()) firstOtherIndex_ = static_cast<int>(buttonTitles_.size());
    for (auto& t : otherButtonTitles) buttonTitles_.push_back(t);
    if (!cancelButtonTitle.empty()) {
        cancelIndex_ = static_cast<int>(buttonTitles_.size());
        buttonTitles_.push_back(cancelButtonTitle);
    }
    setBackgroundColor(Color::black().withAlpha(0.4));
    setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
}

int ActionSheet::addButtonWithTitle(const std::string& title) {
    int index;
    if (cancelIndex_ >= 0 && cancelIndex_ == numberOfButtons() - 1) {
        index = cancelIndex_;
        buttonTitles_.insert(buttonTitles_.begin() + index, title);
        ++cancelIndex_;
    } else {
        index = numberOfButtons();
        buttonTitles_.push_back(title);
    }
    if (firstOtherIndex_ < 0 && index != destructiveIndex_) firstOtherIndex_ = index;
    if (visible_) build();
    return index;
}

std::string ActionSheet::buttonTitleAtIndex(int index) const {
    if (index < 0 || index >= numberOfButtons()) return "";
    return buttonTitles_[static_cast<size_t>(index)];
}

int ActionSheet::indexOfButtonWithTitle(const std::string& title) const {
    auto it = std::find(buttonTitles_.begin(), buttonTitles_.end(), title);
    return it == buttonTitles_.end() ? -1 : static_cast<int>(it - buttonTitles_.begin());
}

std::vector<std::shared_ptr<View>> ActionSheet::contentViews() const {
    std::vector<std::shared_ptr<View>> out;
    for (auto& v : subviews()) {
        if (v != box_ && !v->isHidden()) out.push_back(v);
    }
    return out;
}

double ActionSheet::contentHeight() const {
    double h = 0;
    for (auto& v : contentViews()) h += v->frame().height();
    return h;
}

void ActionSheet::didAddSubview(View* subview) {
    View::didAddSubview(subview);
    if (subview != box_.get()) setNeedsLayout();
}

void ActionSheet::willRemoveSubview(View* subview) {
    View::willRemoveSubview(subview);
    if (subview != box_.get()) setNeedsLayout();
}

void ActionSheet::build() {
    if (box_) box_->removeFromSuperview();
    Rect b = bounds();
    double width = b.width() - 2 * kMargin;
    builtContentHeight_ = contentHeight();
    box_ = std::make_shared<View>();
    double y = 0;
    auto group = std::make_shared<View>();
    group->setBackgroundColor(Color::grey(0.97));
    group->layer().cornerRadius = 4;
    group->setClipsToBounds(true);
    if (!title_.empty()) {
        auto l = std::make_shared<Label>();
        l->setText(title_);
        l->setFont(Font::systemFont(13));
        l->setTextColor(Color::grey(0.5));
        l->setNumberOfLines(0);
        l->setTextAlignment(TextAlignment::Center);
        l->setFrame({12, 12, width - 24, 0});
        l->sizeToFit();
        l->setFrame({12, 12, width - 24, l->frame().height()});
        group->addSubview(l);
        y = l->frame().height() + 24;
    }
    titleHeight_ = y;
    y += builtContentHeight_;
    auto makeButton = [&](int i) {
        auto btn = std::make_shared<Button>(ButtonType::System);
        btn->setTitle(buttonTitles_[static_cast<size_t>(i)]);
        btn->titleLabel()->setFont(i == cancelIndex_ ? Font::boldSystemFont(20) : Font::systemFont(20));
        if (i == destructiveIndex_) btn->setTitleColor(Color::rgbBytes(255, 59, 48));
        btn->addTarget(foundation::weakBind(this, [i](const auto& s) { s->clickButtonAtIndex(i); }),
                       ControlEvent::TouchUpInside);
        return btn;
    };
    for (int i = 0; i < numberOfButtons(); ++i) {
        if (i == cancelIndex_) continue;
        auto btn = makeButton(i);
        btn->setFrame({0, y, width, kButtonHeight});
        group->addSubview(btn);
        y += kButtonHeight;
    }
    group->setFrame({0, 0, width, y});
    box_->addSubview(group);
    double total = y;
    if (cancelIndex_ >= 0) {
        auto cancelGroup = std::make_shared<View>();
        cancelGroup->setBackgroundColor(Color::white());
        cancelGroup->layer().cornerRadius = 4;
        cancelGroup->setClipsToBounds(true);
        auto btn = makeButton(cancelIndex_);
        btn->setFrame({0, 0, width, kButtonHeight});
        cancelGroup->addSubview(btn);
        cancelGroup->setFrame({0, y + kMargin, width, kButtonHeight});
        box_->addSubview(cancelGroup);
        total = y + kMargin + kButtonHeight;
    }
    box_->setFrame({kMargin, b.height() - total - kMargin, width, total});
    insertSubview(box_, 0);  // behind the content
}

void ActionSheet::layoutSubviews() {
    View::layoutSubviews();
    if (!box_) return;
    if (contentHeight() != builtContentHeight_) build();
    Rect b = bounds();
    Rect f = box_->frame();
    box_->setFrame({kMargin, b.height() - f.height() - kMargin, f.width(), f.height()});
    double y = box_->frame().y() + titleHeight_;
    for (auto& v : contentViews()) {
        double h = v->frame().height();
        v->setFrame({kMargin, y, f.width(), h});
        y += h;
    }
}

void ActionSheet::showInView(const std::shared_ptr<View>& view) {
    if (visible_) return;
    auto self = std::static_pointer_cast<ActionSheet>(weak_from_this().lock());
    if (!self) {
        foundation::log("action sheet: showInView needs a sheet made with make_shared");
        return;
    }
    Keyboard::dismiss();
    shownIn_ = view;
    std::shared_ptr<Window> window = view ? view->window() : nullptr;
    if (!window) window = Application::shared().keyWindow();
    visible_ = true;
    sheets().push_back(self);
    if (window) setFrame(window->bounds());
    build();
    if (window) window->addSubview(self);
}

void ActionSheet::clickButtonAtIndex(int index) {
    if (!visible_) return;
    auto keep = weak_from_this().lock();
    if (auto d = delegate()) d->clickedButtonAtIndex(*this, index);
    if (auto b = clickedBlock_) b(index);
    finish(index);
}

void ActionSheet::dismissWithClickedButtonIndex(int index, bool animated) {
    (void)animated;
    finish(index);
}

void ActionSheet::finish(int index) {
    if (!visible_) return;
    auto keep = weak_from_this().lock();
    if (auto d = delegate()) d->willDismissWithButtonIndex(*this, index);
    visible_ = false;
    removeFromSuperview();
    auto& list = sheets();
    list.erase(std::remove_if(list.begin(), list.end(), [this](const std::shared_ptr<ActionSheet>& s) { return s.get() == this; }),
               list.end());
    if (auto d = delegate()) d->didDismissWithButtonIndex(*this, index);
    if (auto b = dismissBlock_) b(index);
}

std::vector<std::shared_ptr<ActionSheet>> ActionSheet::visibleSheets() {
    return sheets();
}

void ActionSheet::resetAll() {
    auto list = std::move(sheets());
    sheets().clear();
    for (auto& s : list) {
        s->visible_ = false;
        s->removeFromSuperview();
    }
}

}  // namespace ui
