#pragma once
#include <mutex>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace foundation {

// Key-value settings persisted as a property list under Library/Preferences of the sandbox.
class UserDefaults {
public:
    static UserDefaults& standard();

    nlohmann::json objectForKey(const std::string& key) const;   // null when absent
    std::optional<std::string> stringForKey(const std::string& key) const;
    long long integerForKey(const std::string& key) const;
    bool boolForKey(const std::string& key) const;
    void setObject(const std::string& key, const nlohmann::json& value);  // null removes
    void removeObjectForKey(const std::string& key);
    bool synchronize();   // writes the file atomically
    void reload();        // reads the file of the current sandbox again
    // The file: Library/Preferences/<kDomain>.plist of the current sandbox.
    static constexpr const char* kDomain = "com.veskard.accident";

private:
    mutable std::mutex mutex_;
    mutable nlohmann::json values_ = nlohmann::json::object();
    mutable bool loaded_ = false;
    void loadLocked() const;
};

}  // namespace foundation
