#pragma once
#include <string>

namespace foundation {

// Diagnostics to stderr. Quiet while disabled (tests disable it unless VESKARD_LOG is set).
void log(const std::string& message);
void setLogEnabled(bool enabled);
bool logEnabled();

}  // namespace foundation
