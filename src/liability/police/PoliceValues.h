#pragma once
#include <optional>
#include <string>

// Small helpers the police screens share.
namespace PoliceValues {

// The liability text of a code: "0" "全责", "1" "无责", "2" "同责"; nothing otherwise.
inline std::optional<std::string> dutyText(const std::optional<std::string>& code) {
    if (!code) return std::nullopt;
    if (*code == "0") return std::string("全责");
    if (*code == "1") return std::string("无责");
    if (*code == "2") return std::string("同责");
    return std::nullopt;
}

}  // namespace PoliceValues
