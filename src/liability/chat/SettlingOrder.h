#pragma once
#include <functional>
#include <map>
#include <mutex>
#include <string>

// Work that comes back in any order but is settled in the order it took its places, per key:
// a piece that is back waits for every earlier piece of its key, then settles with the ones
// behind it that are back too. Places are taken on any thread; pieces arrive on the main thread.
class SettlingOrder {
public:
    // The next place for `key`.
    unsigned long long take(const std::string& key);
    // The piece at `place` of `key` is back: runs `settle` now if no earlier piece of the key is
    // still away, else when the last of them arrives. Then runs the pieces behind it that are
    // back, in order, up to the first one still away. A place never taken settles at once.
    // Nothing is locked while a piece settles.
    void arrive(const std::string& key, unsigned long long place, std::function<void()> settle);
    // Pieces taken and not yet settled, for every key.
    size_t unsettled() const;

private:
    mutable std::mutex mutex_;
    unsigned long long last_ = 0;
    // Per key, the places taken, each with its settling once it is back (empty until then).
    std::map<std::string, std::map<unsigned long long, std::function<void()>>> waiting_;
};
