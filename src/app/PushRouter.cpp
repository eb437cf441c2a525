#include "app/PushRouter.h"

#include <string>

#include "app/CaseRoad.h"
#include "app/FollowupRoad.h"
#include "app/Navigator.h"
#include "core/CaseInProgress.h"
#include "core/CustomNavigationController.h"
#include "core/KeyValue.h"
#include "core/ScreenRegistry.h"
#include "liability/chat/ChatLog.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

using nlohmann::json;

namespace {

std::shared_ptr<ui::Window> windowFor(const std::shared_ptr<ui::Window>& window) {
    return window ? window : ui::Application::shared().keyWindow();
}

void setRoot(const std::shared_ptr<ui::Window>& window, const std::shared_ptr<ui::ViewController>& screen) {
    auto target = windowFor(window);
    if (!target) {
        foundation::log("push: no window to show " + screen->className() + " in");
        return;
    }
    target->setRootViewController(std::make_shared<CustomNavigationController>(screen));
}

// The navigation of the notice a push laid over the driver's case, while it is shown.
std::weak_ptr<ui::NavigationController>& noticeOverCase() {
    static std::weak_ptr<ui::NavigationController> notice;
    return notice;
}

// What a notice push opens: over a case in progress it lies on top of the driver's screen,
// which its "返回" shows again untouched (a later notice takes its place); elsewhere it becomes
// the window's root.
void showNotice(const std::shared_ptr<ui::Window>& window, const std::shared_ptr<ui::ViewController>& screen) {
    auto target = windowFor(window);
    auto root = target ? target->rootViewController() : nullptr;
    if (!root || !CaseRoad::isOnScreen(target)) {
        noticeOverCase().reset();
        setRoot(window, screen);
        return;
    }
    auto shown = noticeOverCase().lock();
    if (shown && shown->presentingViewController() && !shown->isBeingDismissed()) {
        shown->setViewControllers({screen}, false);
        return;
    }
    auto presenter = root;
    while (auto presented = presenter->presentedViewController()) presenter = presented;
    auto navigation = std::make_shared<CustomNavigationController>(screen);
    noticeOverCase() = navigation;
    presenter->presentViewController(navigation, true);
}

// The screen the driver sees: the last screen of the window's root navigation controller (or
// the root itself), or what is presented over it.
std::shared_ptr<ui::ViewController> lastScreen(const std::shared_ptr<ui::Window>& window) {
    auto target = windowFor(window);
    if (!target) return nullptr;
    auto root = target->rootViewController();
    if (root && root->presentedViewController()) return root->presentedViewController();
    if (auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(root)) {
        auto stack = navigation->viewControllers();
        return stack.empty() ? nullptr : stack.back();
    }
    return root;
}

// A screen of the push that only has a name: made through the registry when it is built.
std::shared_ptr<ui::ViewController> namedScreen(const std::string& name, const json& arguments) {
    if (!ScreenRegistry::isRegistered(name)) {
        app::notBuiltYet(name);
        return nullptr;
    }
    return ScreenRegistry::make(name, arguments);
}

}  // namespace

namespace PushRouter {

void route(const json& userInfo, const std::shared_ptr<ui::Window>& window) {
    if (!userInfo.is_object() || !userInfo.contains("aps") || !userInfo["aps"].is_object()) {
        foundation::log("push: ignored, no \"aps\" dictionary");
        return;
    }
    const json& aps = userInfo["aps"];
    auto keyIt = aps.find("key");
    if (keyIt == aps.end() || !keyIt->is_string()) {
        foundation::log("push: ignored, no \"key\" text");
        return;
    }
    std::string key = keyIt->get<std::string>();
    json content = aps.contains("content") ? aps["content"] : json();

    if (key == "HANDLEPAPER" || key == "PHOTORESULT") return;

    if (key == "ClAIMRESULT") {
        if (!content.is_object()) {
            foundation::log("push: ClAIMRESULT ignored, its content is not a dictionary");
            return;
        }
        auto accidentno = content.contains("accidentno") ? keyvalue::stringFromJson(content["accidentno"]) : std::nullopt;
        if (!accidentno || accidentno->empty()) {
            foundation::log("push: ClAIMRESULT ignored, no case number");
            return;
        }
        showNotice(window, FollowupRoad::makePrompt(
                               {.accidentno = *accidentno, .isShowBtn = true, .simualateState = CaseMode::Real}));
        return;
    }

    if (key == "MSG") {
        if (!content.is_object()) {
            foundation::log("push: MSG ignored, its content is not a dictionary");
            return;
        }
        auto other = OtherMessages::fromPush(content);
        auto top = lastScreen(window);
        // Over the police wait, a message of its case opens the chat, which shows it.
        if (top && top->className() == "TrafficPoliceViewController" && CaseInProgress::isOfCase(other->accidentno)) {
            auto chat = namedScreen("ChatViewController", {{"dict", content}});
            auto navigation = top->navigationController();
            if (chat && navigation) {
                navigation->pushViewController(chat, true);
                return;
            }
        }
        // Anywhere else it is kept for its case's chat, which shows it at once when open.
        ChatLog::shared().receive(*other);
        return;
    }

    if (!content.is_object()) {
        foundation::log("push: " + key + " ignored, its content is not a dictionary");
        return;
    }
    if (auto screen = namedScreen("NotificationInfoViewController", {{"type", key}, {"content", content}}))
        showNotice(window, screen);
}

}  // namespace PushRouter
