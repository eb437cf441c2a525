#include "liability/chat/SettlingOrder.h"

unsigned long long SettlingOrder::take(const std::string& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    const unsigned long long place = ++last_;
    waiting_[key][place] = nullptr;
    return place;
}

void SettlingOrder::arrive(const std::string& key, unsigned long long place, std::function<void()> settle) {
    if (!settle) settle = [] {};
    bool waits = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto queue = waiting_.find(key);
        if (queue != waiting_.end()) {
            auto piece = queue->second.find(place);
            if (piece != queue->second.end() && !piece->second) {
                piece->second = std::move(settle);
                waits = true;
            }
        }
    }
    if (!waits) {
        // A place never taken waits for nothing.
        settle();
        return;
    }
    for (;;) {
        std::function<void()> next;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto queue = waiting_.find(key);
            if (queue == waiting_.end()) break;
            if (queue->second.empty()) {
                waiting_.erase(queue);
                break;
            }
            auto first = queue->second.begin();
            if (!first->second) break;  // an earlier piece is still away
            next = std::move(first->second);
            queue->second.erase(first);
        }
        next();
    }
}

size_t SettlingOrder::unsettled() const {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t n = 0;
    for (const auto& [key, queue] : waiting_) n += queue.size();
    return n;
}
