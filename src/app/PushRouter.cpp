#include "app/PushRouter.h"

#include <string>

#include "app/FollowupRoad.h"
#include "app/Navigator.h"
#include "core/CustomNavigationController.h"
#include "core/KeyValue.h"
#include "core/ScreenRegistry.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
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

// The last screen of the window's root navigation controller (or the root itself).
std::shared_ptr<ui::ViewController> lastScreen(const std::shared_ptr<ui::Window>& window) {
    auto target = windowFor(window);
    if (!target) return nullptr;
    auto root = target->rootViewController();
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
        PromptResultViewController::Arguments arguments;
        arguments.accidentno = *accidentno;
        arguments.isShowBtn = true;
        arguments.simualateState = CaseMode::Real;
        setRoot(window, FollowupRoad::makePrompt(std::move(arguments)));
        return;
    }

    if (key == "MSG") {
        if (!content.is_object()) {
            foundation::log("push: MSG ignored, its content is not a dictionary");
            return;
        }
        auto top = lastScreen(window);
        std::string kind = top ? top->className() : "";
        if (kind != "ChatViewController" && kind == "TrafficPoliceViewController") {
            auto chat = namedScreen("ChatViewController", {{"dict", content}});
            auto navigation = top->navigationController();
            if (chat && navigation) navigation->pushViewController(chat, true);
            return;
        }
        foundation::NotificationCenter::defaultCenter().post("MSG", nullptr, content);
        return;
    }

    if (!content.is_object()) {
        foundation::log("push: " + key + " ignored, its content is not a dictionary");
        return;
    }
    if (auto screen = namedScreen("NotificationInfoViewController", {{"type", key}, {"content", content}}))
        setRoot(window, screen);
}

}  // namespace PushRouter
