#include "core/UserDateSingleton.h"

#include "core/AppConfig.h"

UserDateSingleton& UserDateSingleton::shareUserDateInstance() {
    static UserDateSingleton instance;
    return instance;
}

void UserDateSingleton::reset() {
    foundation::assertMainThread("the user state");
    std::lock_guard lock(mutex_);
    for (auto* p : {&userid_, &phoneNumber_, &deviceToken_, &sn_, &accidentno_, &carno_, &longitude_, &latitude_,
                    &city_, &address_, &accidentdes_, &accidentInfomation_, &paperno_, &source_, &inscomname_,
                    &inscomcode_, &insphone_, &insreporttel_})
        p->reset();
}

nlohmann::json UserDateSingleton::params(
    std::initializer_list<std::pair<const char*, std::optional<std::string>>> entries) {
    nlohmann::json out = nlohmann::json::object();
    for (const auto& [key, value] : entries)
        if (value) out[key] = *value;
    return out;
}

nlohmann::json UserDateSingleton::signedParams() const {
    return params({{"userid", userid()}, {"sn", sn()}, {"appkey", AppConfig::appKey()}});
}
