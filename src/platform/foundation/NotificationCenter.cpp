#include "platform/foundation/NotificationCenter.h"

#include <algorithm>

namespace foundation {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter* center = new NotificationCenter();
    return *center;
}

NotificationCenter::Token NotificationCenter::addObserver(const std::string& name, Observer observer,
                                                          const void* owner, const void* object) {
    std::lock_guard<std::mutex> lock(mutex_);
    Token token = next_++;
    entries_.push_back({token, name, owner, object, std::make_shared<Observer>(std::move(observer))});
    return token;
}

void NotificationCenter::removeObserver(Token token) {
    std::vector<Entry> removed;  // observers are destroyed outside the lock
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = std::stable_partition(entries_.begin(), entries_.end(),
                                    [&](const Entry& e) { return e.token != token; });
    std::move(it, entries_.end(), std::back_inserter(removed));
    entries_.erase(it, entries_.end());
}

void NotificationCenter::removeObserver(const void* owner) {
    if (!owner) return;
    std::vector<Entry> removed;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = std::stable_partition(entries_.begin(), entries_.end(),
                                    [&](const Entry& e) { return e.owner != owner; });
    std::move(it, entries_.end(), std::back_inserter(removed));
    entries_.erase(it, entries_.end());
}

void NotificationCenter::removeObserver(const void* owner, const std::string& name) {
    if (!owner) return;
    std::vector<Entry> removed;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = std::stable_partition(entries_.begin(), entries_.end(),
                                    [&](const Entry& e) { return e.owner != owner || e.name != name; });
    std::move(it, entries_.end(), std::back_inserter(removed));
    entries_.erase(it, entries_.end());
}

void NotificationCenter::post(const std::string& name, const void* object, const nlohmann::json& userInfo) {
    std::vector<std::pair<Token, std::shared_ptr<Observer>>> targets;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& e : entries_)
            if (e.name == name && (!e.object || e.object == object)) targets.emplace_back(e.token, e.observer);
    }
    Notification note{name, object, userInfo};
    for (auto& [token, observer] : targets) {
        // An observer removed by an earlier one during this post is not called.
        bool live;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            live = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.token == token; });
        }
        if (live && *observer) (*observer)(note);
    }
}

size_t NotificationCenter::observerCount(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::count_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.name == name; });
}

void NotificationCenter::reset() {
    std::vector<Entry> removed;
    std::lock_guard<std::mutex> lock(mutex_);
    removed.swap(entries_);
}

}  // namespace foundation
