#include "platform/foundation/MainThread.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>
#include <utility>

namespace foundation {

namespace {

#ifdef NDEBUG
constexpr MainThreadPolicy kDefaultPolicy = MainThreadPolicy::LogOnce;
#else
constexpr MainThreadPolicy kDefaultPolicy = MainThreadPolicy::Abort;
#endif

std::atomic<MainThreadPolicy> policy{kDefaultPolicy};
std::atomic<long> violations{0};

// The places already reported (release builds report each place once).
struct Reported {
    std::mutex mutex;
    std::set<std::pair<std::string, unsigned>> places;
};
Reported& reported() {
    static auto* r = new Reported();  // reports may come from threads still running at exit
    return *r;
}

}  // namespace

MainThreadPolicy mainThreadPolicy() { return policy.load(); }

MainThreadPolicy setMainThreadPolicy(MainThreadPolicy next) { return policy.exchange(next); }

long mainThreadViolations() { return violations.load(); }

namespace detail {

void mainThreadViolation(const char* what, const std::source_location& where) {
    ++violations;
    const char* subject = what ? what : "an object of the main thread";
    if (policy.load() == MainThreadPolicy::Abort) {
        // Written directly: the log may be switched off, and this is the last word.
        std::fprintf(stderr, "[veskard] main thread violation: %s changed off the main thread at %s:%u (%s)\n",
                     subject, where.file_name(), unsigned(where.line()), where.function_name());
        std::fflush(stderr);
        std::abort();
    }
    {
        auto& r = reported();
        std::lock_guard<std::mutex> lock(r.mutex);
        if (!r.places.emplace(where.file_name(), unsigned(where.line())).second) return;
    }
    std::fprintf(stderr, "[veskard] main thread violation: %s changed off the main thread at %s:%u (%s); reported once\n",
                 subject, where.file_name(), unsigned(where.line()), where.function_name());
    std::fflush(stderr);
}

}  // namespace detail

}  // namespace foundation
