#pragma once
#include <filesystem>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace foundation::plist {

// Reads an XML or binary property list. A missing file gives nullopt quietly; a corrupt one
// gives nullopt and is logged. Dates become numbers of seconds since 1970; data becomes
// its Base64 text.
std::optional<nlohmann::json> read(const std::filesystem::path& path);
std::optional<nlohmann::json> parse(const std::string& bytes);
// Reads a property list the application stored itself. Nothing in the file can stop the
// process: a file that cannot be read or parsed (a NUL inside a text, a page of zeros, cut
// short) is moved aside once (name plus ".corrupt-<n>"), logged, and reads as nullopt, like a
// missing file.
std::optional<nlohmann::json> readStored(const std::filesystem::path& path);
// Writes JSON as an XML property list, whole and atomically. Null values are left out.
bool write(const std::filesystem::path& path, const nlohmann::json& value);
std::string toXml(const nlohmann::json& value);

}  // namespace foundation::plist
