#include "hud/ProgressHUD.h"

#include <algorithm>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/MainThread.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

namespace {

// The HUD's view over its host: dims and takes the taps for a spinner, lets them through for a toast.
class HUDView : public ui::View {
public:
    HUDView(ui::Rect frame, std::string text) : ui::View(frame), text_(std::move(text)) {}
    std::string className() const override { return "ProgressHUD"; }
    std::string describeContent() const override { return text_; }

private:
    std::string text_;
};

struct Registry {
    // HUDs on screen, oldest first; each kept alive until its view has left.
    std::vector<std::shared_ptr<ProgressHUD>> shown;
    std::weak_ptr<ProgressHUD> spinner;
};

Registry& registry() {
    static Registry r;
    return r;
}

// The last shown window of the application.
std::shared_ptr<ui::Window> lastWindow() {
    auto windows = ui::Application::shared().windows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (*it && !(*it)->isHidden()) return *it;
    return windows.empty() ? nullptr : windows.back();
}

constexpr double kMargin = 20;
constexpr double kSpacing = 8;
constexpr double kMinimumBoxWidth = 100;

}  // namespace

ProgressHUD::ProgressHUD(std::string text, bool isError) : text_(std::move(text)), isError_(isError) {}

ProgressHUD::~ProgressHUD() = default;

void ProgressHUD::build(const std::shared_ptr<ui::View>& host) {
    ui::Rect area = host->bounds();
    auto container = std::make_shared<HUDView>(area, text_);
    container->setAutoresizingMask(ui::AutoresizingFlexibleWidth | ui::AutoresizingFlexibleHeight);
    if (isToast()) {
        container->setBackgroundColor(ui::Color::clear());
        container->setUserInteractionEnabled(false);
    } else {
        container->setBackgroundColor(ui::Color::black().withAlpha(0.35));
        container->setUserInteractionEnabled(true);
    }

    auto box = std::make_shared<ui::View>();
    // Opaque: the message reads the same over any page.
    box->setBackgroundColor(ui::Color::grey(0.15));
    box->layer().cornerRadius = 10;
    box->setUserInteractionEnabled(false);

    std::shared_ptr<ui::View> icon;
    if (isToast()) {
        auto image = ui::Image::named(icon_);
        if (!image) foundation::log("ProgressHUD: the image " + icon_ + " is missing");
        auto imageView = std::make_shared<ui::ImageView>(image);
        ui::Size size = image ? image->size() : ui::Size{37, 37};
        imageView->setFrame({0, 0, size.width, size.height});
        icon = imageView;
    } else {
        auto indicator = std::make_shared<ui::ActivityIndicatorView>(ui::ActivityIndicatorViewStyle::WhiteLarge);
        indicator->startAnimating();
        ui::Size size = indicator->sizeThatFits({0, 0});
        indicator->setFrame({0, 0, size.width, size.height});
        icon = indicator;
    }

    auto label = std::make_shared<ui::Label>();
    label->setText(text_);
    label->setFont(ui::Font::boldSystemFont(16));
    label->setTextColor(ui::Color::white());
    label->setTextAlignment(ui::TextAlignment::Center);
    label->setNumberOfLines(0);
    double maxTextWidth = std::max(40.0, area.width() - 4 * kMargin);
    ui::Size textSize = text_.empty() ? ui::Size{0, 0} : label->sizeThatFits({maxTextWidth, 0});
    textSize.width = std::min(textSize.width, maxTextWidth);

    double boxWidth = std::max({kMinimumBoxWidth, icon->width() + 2 * kMargin, textSize.width + 2 * kMargin});
    double boxHeight = kMargin + icon->height() + (text_.empty() ? 0 : kSpacing + textSize.height) + kMargin;
    box->setFrame({(area.width() - boxWidth) / 2, (area.height() - boxHeight) / 2, boxWidth, boxHeight});
    box->setAutoresizingMask(ui::AutoresizingFlexibleLeftMargin | ui::AutoresizingFlexibleRightMargin |
                             ui::AutoresizingFlexibleTopMargin | ui::AutoresizingFlexibleBottomMargin);
    icon->setFrame({(boxWidth - icon->width()) / 2, kMargin, icon->width(), icon->height()});
    label->setFrame({(boxWidth - textSize.width) / 2, kMargin + icon->height() + kSpacing, textSize.width, textSize.height});
    label->setHidden(text_.empty());
    box->addSubview(icon);
    box->addSubview(label);
    container->addSubview(box);
    host->addSubview(container);
    view_ = container;
    window_ = host->window();
}

std::shared_ptr<ProgressHUD> ProgressHUD::showHUDAddedTo(const std::shared_ptr<ui::View>& view, const std::string& text) {
    foundation::assertMainThread("the spinner");
    auto hud = std::make_shared<ProgressHUD>(text, false);
    if (!view) {
        foundation::log("ProgressHUD: no view to show \"" + text + "\" over");
        hud->hidden_ = true;
        return hud;
    }
    hud->build(view);
    registry().shown.push_back(hud);
    return hud;
}

std::shared_ptr<ProgressHUD> ProgressHUD::showMessage(const std::string& text) {
    foundation::assertMainThread("the spinner");
    // One waiting spinner at a time: a new one replaces the old, so a single hideHUD ends the wait.
    if (auto old = registry().spinner.lock()) old->hide(false);
    auto window = lastWindow();
    if (!window) {
        foundation::log("ProgressHUD: no window to show \"" + text + "\" over");
        auto hud = std::make_shared<ProgressHUD>(text, false);
        hud->hidden_ = true;
        return hud;
    }
    auto hud = showHUDAddedTo(window, text);
    registry().spinner = hud;
    return hud;
}

std::shared_ptr<ProgressHUD> ProgressHUD::showError(const std::string& text) {
    return showToast(text, "error.png", true);
}

std::shared_ptr<ProgressHUD> ProgressHUD::showSuccess(const std::string& text) {
    return showToast(text, "success.png", false);
}

std::shared_ptr<ProgressHUD> ProgressHUD::showToast(const std::string& text, const std::string& icon, bool isError) {
    foundation::assertMainThread("a toast");
    auto hud = std::make_shared<ProgressHUD>(text, isError);
    hud->icon_ = icon;
    auto window = lastWindow();
    if (!window) {
        foundation::log("ProgressHUD: no window to show \"" + text + "\" over");
        hud->hidden_ = true;
        return hud;
    }
    hud->build(window);
    registry().shown.push_back(hud);
    foundation::RunLoop::main().performAfter(kErrorDuration,
                                             foundation::weakBind(hud, [](const auto& h) { h->hide(true); }));
    return hud;
}

void ProgressHUD::hideHUD() {
    foundation::assertMainThread("the spinner");
    if (auto spinner = registry().spinner.lock()) {
        registry().spinner.reset();
        spinner->hide(true);
    }
}

void ProgressHUD::hide(bool animated) {
    foundation::assertMainThread("a HUD");
    if (hidden_) return;
    hidden_ = true;
    if (registry().spinner.lock().get() == this) registry().spinner.reset();
    if (!view_) {
        finishHiding();
        return;
    }
    if (!animated) {
        finishHiding();
        return;
    }
    // The HUD stops taking taps at once (a view with alpha 0 is not hit) and leaves after the fade.
    auto self = shared_from_this();
    auto view = view_;
    ui::View::animate(kFadeDuration, [view] { view->setAlpha(0); }, [self](bool) { self->finishHiding(); });
}

void ProgressHUD::finishHiding() {
    auto self = shared_from_this();  // the registry may hold the last reference
    if (view_) view_->removeFromSuperview();
    auto& shown = registry().shown;
    shown.erase(std::remove(shown.begin(), shown.end(), self), shown.end());
    if (auto delegate = delegate_.lock()) delegate->hudWasHidden(*this);
}

bool ProgressHUD::isVisible() const {
    return !hidden_ && view_ && view_->isVisibleOnScreen();
}

std::shared_ptr<ProgressHUD> ProgressHUD::current() {
    auto& shown = registry().shown;
    for (auto it = shown.rbegin(); it != shown.rend(); ++it)
        if ((*it)->isVisible()) return *it;
    return nullptr;
}

std::shared_ptr<ProgressHUD> ProgressHUD::currentSpinner() {
    auto spinner = registry().spinner.lock();
    return spinner && spinner->isVisible() ? spinner : nullptr;
}

void ProgressHUD::resetForTesting() {
    auto shown = std::move(registry().shown);
    registry().shown.clear();
    registry().spinner.reset();
    for (auto& hud : shown)
        if (hud->view_) hud->view_->removeFromSuperview();
}
