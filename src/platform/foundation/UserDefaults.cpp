#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"

namespace foundation {

namespace {
std::filesystem::path defaultsFile() {
    return Sandbox::current().preferences() / (std::string(UserDefaults::kDomain) + ".plist");
}
}  // namespace

UserDefaults& UserDefaults::standard() {
    static UserDefaults* defaults = new UserDefaults();
    return *defaults;
}

void UserDefaults::loadLocked() const {
    if (loaded_) return;
    loaded_ = true;
    values_ = nlohmann::json::object();
    auto path = defaultsFile();
    auto stored = plist::read(path);
    if (!stored) {
        // A corrupt file is kept aside for inspection; the settings start empty.
        if (files::exists(path)) files::moveAside(path);
        return;
    }
    if (stored->is_object()) {
        values_ = std::move(*stored);
    } else {
        log("defaults: " + path.string() + " holds no dictionary; starting empty");
    }
}

nlohmann::json UserDefaults::objectForKey(const std::string& key) const {
    std::lock_guard<std::mutex> lock(mutex_);
    loadLocked();
    auto it = values_.find(key);
    return it == values_.end() ? nlohmann::json() : *it;
}

std::optional<std::string> UserDefaults::stringForKey(const std::string& key) const {
    auto value = objectForKey(key);
    if (value.is_string()) return value.get<std::string>();
    // dump() writes integers, unsigned ones included, with all their digits.
    if (value.is_number()) return value.dump();
    return std::nullopt;
}

long long UserDefaults::integerForKey(const std::string& key) const {
    auto value = objectForKey(key);
    if (value.is_number_integer()) return value.get<long long>();
    if (value.is_number_float()) {
        // A stored value out of range (or not a number) must not reach the conversion.
        double d = value.get<double>();
        if (!(d > -9.2e18 && d < 9.2e18)) return 0;
        return static_cast<long long>(d);
    }
    if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
    if (value.is_string()) {
        try {
            return std::stoll(value.get<std::string>());
        } catch (...) {
            return 0;
        }
    }
    return 0;
}

bool UserDefaults::boolForKey(const std::string& key) const {
    auto value = objectForKey(key);
    if (value.is_boolean()) return value.get<bool>();
    if (value.is_number()) return value.get<double>() != 0;
    if (value.is_string()) {
        const auto& s = value.get_ref<const std::string&>();
        return s == "1" || s == "YES" || s == "yes" || s == "true" || s == "TRUE";
    }
    return false;
}

void UserDefaults::setObject(const std::string& key, const nlohmann::json& value) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        loadLocked();
        if (value.is_null())
            values_.erase(key);
        else
            values_[key] = value;
    }
    synchronize();
}

void UserDefaults::removeObjectForKey(const std::string& key) { setObject(key, nullptr); }

bool UserDefaults::synchronize() {
    std::lock_guard<std::mutex> lock(mutex_);
    loadLocked();
    return plist::write(defaultsFile(), values_);
}

void UserDefaults::reload() {
    std::lock_guard<std::mutex> lock(mutex_);
    loaded_ = false;
    loadLocked();
}

}  // namespace foundation
