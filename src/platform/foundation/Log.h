#pragma once
#include <functional>
#include <string>

namespace foundation {

// Diagnostics to stderr. Quiet while disabled (tests disable it unless VESKARD_LOG is set).
void log(const std::string& message);
void setLogEnabled(bool enabled);
bool logEnabled();

// A programming error that the application survives (a screen asked for by a name nobody
// registered, an argument of the wrong type): always written to stderr, whatever
// setLogEnabled says, and handed to the error observer. The tests install an observer that
// fails the test that caused the error.
void logError(const std::string& message);
using ErrorObserver = std::function<void(const std::string& message)>;
// Replaces the observer (none: errors are only written).
void setErrorObserver(ErrorObserver observer);

}  // namespace foundation
