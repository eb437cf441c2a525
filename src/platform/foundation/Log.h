#pragma once
#include <functional>
#include <string>

namespace foundation {

// Diagnostics to stderr. Quiet while disabled (tests disable it unless VESKARD_LOG is set).
void log(const std::string& message);
void setLogEnabled(bool enabled);
bool logEnabled();

// Every line log() and logError() make also goes to the sink, written to stderr or not (a test
// reads what would have been logged). Empty: none.
using LogSink = std::function<void(const std::string& line)>;
void setLogSink(LogSink sink);

// An address as it may be logged: scheme, host, port and path, and of the query only the
// parameter names ("...?userid&sn"); the user information, the query values and the fragment
// stay out (they carry the user id, the request signature, telephone numbers).
std::string loggableURL(const std::string& url);

// A programming error that the application survives (a screen asked for by a name nobody
// registered, an argument of the wrong type): always written to stderr, whatever
// setLogEnabled says, and handed to the error observer. The tests install an observer that
// fails the test that caused the error.
void logError(const std::string& message);
using ErrorObserver = std::function<void(const std::string& message)>;
// Replaces the observer (none: errors are only written).
void setErrorObserver(ErrorObserver observer);

}  // namespace foundation
