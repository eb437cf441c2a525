#include "platform/ui/NavigationBar.h"

#include <algorithm>

#include "platform/foundation/WeakBind.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Screen.h"

namespace ui {

NavigationBar::NavigationBar() : View(Rect(0, 20, Screen::mainScreen().bounds().width(), 44)) {
    titleLabel_ = std::make_shared<Label>();
    titleLabel_->setTextAlignment(TextAlignment::Center);
    titleLabel_->setFont(Font::boldSystemFont(17));
    addSubview(titleLabel_);
}

void NavigationBar::setBackgroundImage(ImagePtr image) {
    backgroundImage_ = std::move(image);
    setNeedsDisplay();
}

void NavigationBar::setTitleTextAttributes(const TextAttributes& attributes) {
    titleAttributes_ = attributes;
    refresh();
}

void NavigationBar::showItems(const std::shared_ptr<NavigationItem>& top, const std::shared_ptr<NavigationItem>& previous,
                              const std::string& previousTitle, std::function<void()> backAction) {
    topItem_ = top;
    backItem_ = previous;
    previousTitle_ = previousTitle;
    backAction_ = std::move(backAction);
    refresh();
}

std::shared_ptr<Button> NavigationBar::makeItemButton(const std::shared_ptr<BarButtonItem>& item) {
    auto b = std::make_shared<Button>(ButtonType::Custom);
    if (item->image()) {
        b->setImage(item->image());
    } else {
        b->setTitle(item->title());
        b->setTitleColor(item->tintColor().value_or(barTintItemColor()));
        b->setTitleColor(item->tintColor().value_or(barTintItemColor()).withAlpha(0.3), ControlStates::Highlighted);
        b->setTitleColor(Color::grey(0.6), ControlStates::Disabled);
        b->titleLabel()->setFont(item->style() == BarButtonItemStyle::Done ? Font::boldSystemFont(17) : Font::systemFont(17));
    }
    b->setEnabled(item->isEnabled());
    b->sizeToFit();
    Rect f = b->frame();
    double w = item->width() > 0 ? item->width() : std::max(44.0, f.width() + 8);
    b->setFrame({0, 0, w, 44});
    b->addTarget(foundation::weakBind(item, [](const auto& i) { i->perform(); }), ControlEvent::TouchUpInside);
    item->button_ = b;
    std::weak_ptr<NavigationBar> weakBar = std::static_pointer_cast<NavigationBar>(weak_from_this().lock());
    item->onChange_ = [weakBar] {
        if (auto bar = weakBar.lock()) bar->refresh();
    };
    return b;
}

void NavigationBar::refresh() {
    for (auto* v : {&leftButton_, &rightButton_, &backButton_}) {
        if (*v) (*v)->removeFromSuperview();
        v->reset();
    }
    for (auto* v : {&leftCustom_, &rightCustom_, &titleView_}) {
        if (*v) (*v)->removeFromSuperview();
        v->reset();
    }
    auto top = topItem_.lock();
    titleLabel_->setText(top ? top->title() : "");
    titleLabel_->setFont(titleAttributes_.font.value_or(Font::boldSystemFont(17)));
    titleLabel_->setTextColor(titleAttributes_.color.value_or(Color::black()));
    titleLabel_->setHidden(false);
    if (!top) {
        setNeedsLayout();
        return;
    }
    if (auto tv = top->titleView()) {
        titleView_ = tv;
        titleLabel_->setHidden(true);
        addSubview(tv);
    }
    if (auto left = top->leftBarButtonItem()) {
        if (left->customView()) {
            leftCustom_ = left->customView();
            addSubview(leftCustom_);
        } else {
            leftButton_ = makeItemButton(left);
            addSubview(leftButton_);
        }
    } else if (backItem_.lock() && !top->hidesBackButton()) {
        backButton_ = std::make_shared<Button>(ButtonType::Custom);
        backButton_->setTitle(previousTitle_.empty() ? "返回" : previousTitle_);
        backButton_->setTitleColor(barTintItemColor());
        backButton_->setTitleColor(barTintItemColor().withAlpha(0.3), ControlStates::Highlighted);
        backButton_->titleLabel()->setFont(Font::systemFont(17));
        backButton_->sizeToFit();
        backButton_->setFrame({0, 0, std::min(120.0, std::max(44.0, backButton_->frame().width() + 16)), 44});
        auto action = backAction_;
        backButton_->addTarget([action] {
            if (action) action();
        }, ControlEvent::TouchUpInside);
        addSubview(backButton_);
    }
    if (auto right = top->rightBarButtonItem()) {
        if (right->customView()) {
            rightCustom_ = right->customView();
            addSubview(rightCustom_);
        } else {
            rightButton_ = makeItemButton(right);
            addSubview(rightButton_);
        }
    }
    setNeedsLayout();
    layoutSubviews();
}

void NavigationBar::setHidden(bool hidden) {
    if (hidden == isHidden()) return;
    View::setHidden(hidden);
    if (auto* parent = superviewPointer()) parent->setNeedsLayout();
}

void NavigationBar::layoutSubviews() {
    View::layoutSubviews();
    double w = bounds().width(), h = bounds().height();
    double leftW = 0, rightW = 0;
    auto place = [&](const std::shared_ptr<View>& v, bool left) {
        if (!v) return;
        Rect f = v->frame();
        double x = left ? 8 : w - 8 - f.width();
        v->setFrame({x, (h - f.height()) / 2, f.width(), f.height()});
        (left ? leftW : rightW) = f.width() + 8;
    };
    place(leftButton_ ? std::static_pointer_cast<View>(leftButton_) : leftCustom_, true);
    if (backButton_) place(backButton_, true);
    place(rightButton_ ? std::static_pointer_cast<View>(rightButton_) : rightCustom_, false);
    double side = std::max(leftW, rightW) + 4;
    if (titleView_) {
        Rect f = titleView_->frame();
        titleView_->setFrame({(w - f.width()) / 2, (h - f.height()) / 2, f.width(), f.height()});
    }
    titleLabel_->setFrame({side, 0, std::max(0.0, w - 2 * side), h});
}

void NavigationBar::draw(GraphicsContext& context, Rect rect) {
    (void)rect;
    Rect b = bounds();
    if (backgroundImage_) {
        context.drawImage(backgroundImage_, b);
    } else {
        context.setFillColor(barTintColor_.value_or(Color::grey(0.97)));
        context.fillRect(b);
        context.setFillColor(Color::grey(0.7));
        context.fillRect({b.x(), b.maxY() - 0.5, b.width(), 0.5});
    }
}

}  // namespace ui
