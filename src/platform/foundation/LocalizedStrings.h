#pragma once
#include <map>
#include <optional>
#include <string>

namespace foundation {

// The bundle's table of localized texts, "Localizable.strings": lines of
//     "key" = "value";
// with /* */ and // comments, and the escapes \" \\ \n \t inside the quotes.

// The localized text of `key`; the key itself when the table has no entry for it, or when the
// table is missing or unreadable (that is logged once per bundle).
std::string localizedString(const std::string& key);

// The entries of a table's text, or nullopt (with the reason in `error`) when it is malformed.
std::optional<std::map<std::string, std::string>> parseStringsTable(const std::string& text,
                                                                    std::string* error = nullptr);

// Forgets the table read so far; the next lookup reads the bundle's file again.
void resetLocalizedStrings();

}  // namespace foundation
