#include "core/CaseInProgress.h"

#include "core/TextValues.h"
#include "core/UserDateSingleton.h"
#include "platform/foundation/Log.h"

namespace CaseInProgress {

std::optional<std::string> number() { return UserDateSingleton::shareUserDateInstance().accidentno(); }

void keep(const std::optional<std::string>& accidentno) {
    UserDateSingleton::shareUserDateInstance().setAccidentno(accidentno);
}

std::optional<std::string> accidentno() { return TextValues::sentValue(number()); }

bool isOfCase(const std::string& number) {
    auto current = accidentno();
    return number.empty() || !current || *current == number;
}

bool adopt(const std::string& number) {
    if (!accidentno()) {
        if (!number.empty()) keep(number);
        return true;
    }
    if (isOfCase(number)) return true;
    foundation::log("a message of case " + number + " is not one of the case in progress (" + *accidentno() + ")");
    return false;
}

}  // namespace CaseInProgress
