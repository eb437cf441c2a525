#include "account/NewFeatureController.h"

#include <map>
#include <mutex>

#include "platform/foundation/Log.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

namespace {
std::mutex& pagesMutex() {
    static std::mutex m;
    return m;
}
std::map<std::string, NewFeatureController::PageFactory>& pageFactories() {
    static std::map<std::string, NewFeatureController::PageFactory> f;
    return f;
}
}  // namespace

const std::vector<std::string>& NewFeatureController::pageClassNames() {
    static const std::vector<std::string> names{"AccidentTreatmentView", "SettlementView", "QuikeHandleView"};
    return names;
}

void NewFeatureController::registerPage(const std::string& className, PageFactory factory) {
    std::lock_guard lock(pagesMutex());
    if (factory)
        pageFactories()[className] = std::move(factory);
    else
        pageFactories().erase(className);
}

void NewFeatureController::resetPages() {
    std::lock_guard lock(pagesMutex());
    pageFactories().clear();
}

void NewFeatureController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    ui::Rect screen = ui::Screen::mainScreen().bounds();
    view()->setBackgroundColor(ui::Color::white());
    scrollView_ = std::make_shared<ui::ScrollView>(screen);
    scrollView_->setPagingEnabled(true);
    scrollView_->setBounces(false);
    scrollView_->setShowsHorizontalScrollIndicator(false);
    scrollView_->setShowsVerticalScrollIndicator(false);
    const auto& names = pageClassNames();
    scrollView_->setContentSize({screen.width() * static_cast<double>(names.size()), screen.height()});
    view()->addSubview(scrollView_);

    pages_.clear();
    for (size_t i = 0; i < names.size(); ++i) {
        PageFactory factory;
        {
            std::lock_guard lock(pagesMutex());
            auto it = pageFactories().find(names[i]);
            if (it != pageFactories().end()) factory = it->second;
        }
        std::shared_ptr<ui::View> page = factory ? factory() : nullptr;
        if (!page) {
            foundation::log("NewFeatureController: no page " + names[i]);
            pages_.push_back(nullptr);
            continue;
        }
        page->setFrame({screen.width() * static_cast<double>(i), 0, screen.width(), screen.height()});
        scrollView_->addSubview(page);
        pages_.push_back(page);
    }
}

void NewFeatureController::viewWillAppear(bool animated) {
    BaseViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(true);
}
