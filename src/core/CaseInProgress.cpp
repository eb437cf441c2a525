#include "core/CaseInProgress.h"

#include "core/UserDateSingleton.h"
#include "platform/foundation/Log.h"

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

}  // namespace CaseInProgress
