#pragma once
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

#include "platform/foundation/MainThread.h"

// The in-memory state of the signed-in user and the current case. Nothing of it is persisted.
// Every property is a nil-able string with a getter `name()` and a setter `setName(value)`;
// both take the lock, so a worker thread may read while the main thread writes. Only the main
// thread writes: the setters and reset() abort off it in debug builds (platform/foundation/MainThread.h).
class UserDateSingleton {
public:
    static UserDateSingleton& shareUserDateInstance();

#define VESKARD_USER_STATE_PROPERTY(name, Setter)                                  \
    std::optional<std::string> name() const {                                      \
        std::lock_guard lock(mutex_);                                              \
        return name##_;                                                            \
    }                                                                              \
    void Setter(std::optional<std::string> value) {                                \
        foundation::assertMainThread("the user state (" #name ")");              \
        std::lock_guard lock(mutex_);                                              \
        name##_ = std::move(value);                                                \
    }

    VESKARD_USER_STATE_PROPERTY(userid, setUserid)
    VESKARD_USER_STATE_PROPERTY(phoneNumber, setPhoneNumber)
    VESKARD_USER_STATE_PROPERTY(deviceToken, setDeviceToken)
    // The request signature of the signed-in user: StringExtension::snWithString(userid).
    VESKARD_USER_STATE_PROPERTY(sn, setSn)
    VESKARD_USER_STATE_PROPERTY(accidentno, setAccidentno)
    VESKARD_USER_STATE_PROPERTY(carno, setCarno)
    // The last known position, as text.
    VESKARD_USER_STATE_PROPERTY(longitude, setLongitude)
    VESKARD_USER_STATE_PROPERTY(latitude, setLatitude)
    // Province-level name of the last reverse-geocoded position; nil until the first fix.
    VESKARD_USER_STATE_PROPERTY(city, setCity)
    VESKARD_USER_STATE_PROPERTY(address, setAddress)
    // The situation code and its text.
    VESKARD_USER_STATE_PROPERTY(accidentdes, setAccidentdes)
    VESKARD_USER_STATE_PROPERTY(accidentInfomation, setAccidentInfomation)
    VESKARD_USER_STATE_PROPERTY(paperno, setPaperno)
    VESKARD_USER_STATE_PROPERTY(source, setSource)
    // The case insurer.
    VESKARD_USER_STATE_PROPERTY(inscomname, setInscomname)
    VESKARD_USER_STATE_PROPERTY(inscomcode, setInscomcode)
    VESKARD_USER_STATE_PROPERTY(insphone, setInsphone)
    VESKARD_USER_STATE_PROPERTY(insreporttel, setInsreporttel)
#undef VESKARD_USER_STATE_PROPERTY

    // Clears every property (log-out, tests).
    void reset();

    // A request dictionary from (key, value) pairs, leaving out the keys whose value is nil:
    //   UserDateSingleton::params({{"userid", state.userid()}, {"appkey", AppConfig::appKey()}})
    static nlohmann::json params(std::initializer_list<std::pair<const char*, std::optional<std::string>>> entries);
    // {"userid", "sn", "appkey"} of the signed-in user (nil ones left out).
    nlohmann::json signedParams() const;

private:
    UserDateSingleton() = default;
    mutable std::mutex mutex_;
    std::optional<std::string> userid_, phoneNumber_, deviceToken_, sn_, accidentno_, carno_, longitude_,
        latitude_, city_, address_, accidentdes_, accidentInfomation_, paperno_, source_, inscomname_,
        inscomcode_, insphone_, insreporttel_;
};
