#include "core/CaseInProgress.h"

#include <array>
#include <memory>

#include "core/UserDateSingleton.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace CaseInProgress {

std::optional<std::string> accidentno() {
    auto number = UserDateSingleton::shareUserDateInstance().accidentno();
    if (number && number->empty()) return std::nullopt;
    return number;
}

bool isOfCase(const std::string& number) {
    auto current = accidentno();
    return number.empty() || !current || *current == number;
}

bool adopt(const std::string& number) {
    if (!accidentno()) {
        if (!number.empty()) UserDateSingleton::shareUserDateInstance().setAccidentno(number);
        return true;
    }
    if (isOfCase(number)) return true;
    foundation::log("a message of case " + number + " is not one of the case in progress (" + *accidentno() + ")");
    return false;
}

bool isOnScreen(const std::shared_ptr<ui::Window>& in) {
    if (!accidentno()) return false;
    auto window = in ? in : ui::Application::shared().keyWindow();
    auto navigation =
        window ? std::dynamic_pointer_cast<ui::NavigationController>(window->rootViewController()) : nullptr;
    if (!navigation || navigation->viewControllers().size() < 2) return false;
    // The case history and its search list past cases; the case in progress is not theirs.
    static const std::array<std::string, 3> history = {"HistoryViewController", "HistoryDetailViewController",
                                                       "AccidentSearchViewController"};
    const std::string top = navigation->viewControllers().back()->className();
    for (const auto& name : history)
        if (top == name) return false;
    return true;
}

}  // namespace CaseInProgress
