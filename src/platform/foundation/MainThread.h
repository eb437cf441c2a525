#pragma once
#include <source_location>

#include "platform/foundation/RunLoop.h"

namespace foundation {

// The main-thread rule: views, screens, the spinner and the user state change only on the
// thread of the main run loop (see RunLoop::isMainThread). Their mutating entry points call
// assertMainThread with what is being changed.
//
// A call from another thread is a programming fault: it is written to stderr with the
// caller's place and then
//   - in builds without NDEBUG (debug and sanitizer builds) the process aborts;
//   - with NDEBUG (release) it goes on; each place is reported once.
// Work that must touch these objects from another thread posts to the main thread with
// dispatch::mainQueue()->async (platform/foundation/Dispatch.h).
enum class MainThreadPolicy { Abort, LogOnce };

inline void assertMainThread(const char* what, std::source_location where = std::source_location::current());

// The policy in force: Abort without NDEBUG, LogOnce with it. Tests of the release behaviour
// may switch it; the returned value is the previous one.
MainThreadPolicy mainThreadPolicy();
MainThreadPolicy setMainThreadPolicy(MainThreadPolicy policy);
// How many violations have been seen in this process (release builds keep going).
long mainThreadViolations();

namespace detail {
void mainThreadViolation(const char* what, const std::source_location& where);
}

inline void assertMainThread(const char* what, std::source_location where) {
    if (!isMainThread()) detail::mainThreadViolation(what, where);
}

}  // namespace foundation
