#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace foundation {

struct Notification {
    std::string name;
    const void* object = nullptr;   // the sender, compared by address only
    nlohmann::json userInfo;        // null when none
};

// Posts are delivered synchronously on the posting thread, to observers in the order they were added.
class NotificationCenter {
public:
    using Observer = std::function<void(const Notification&)>;
    using Token = unsigned long long;

    static NotificationCenter& defaultCenter();

    // `owner` lets removeObserver(owner) drop all of an owner's observations at once.
    // `object`, when given, restricts delivery to posts from that sender.
    Token addObserver(const std::string& name, Observer observer, const void* owner = nullptr,
                      const void* object = nullptr);
    void removeObserver(Token token);
    void removeObserver(const void* owner);
    void removeObserver(const void* owner, const std::string& name);
    void post(const std::string& name, const void* object = nullptr,
              const nlohmann::json& userInfo = nullptr);
    size_t observerCount(const std::string& name) const;
    void reset();

private:
    struct Entry {
        Token token;
        std::string name;
        const void* owner;
        const void* object;
        std::shared_ptr<Observer> observer;
    };
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
    Token next_ = 1;
};

}  // namespace foundation
