#include "core/TelephoneNumber.h"

#include <algorithm>

namespace TelephoneNumber {

std::optional<std::string> dialable(const std::string& text) {
    std::string number;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '(' || c == ')' || c == '-') continue;
        number += c;
    }
    size_t first = !number.empty() && number[0] == '+' ? 1 : 0;
    if (number.size() - first < 3 || number.size() > 32) return std::nullopt;
    for (size_t i = first; i < number.size(); ++i)
        if (number[i] < '0' || number[i] > '9') return std::nullopt;
    return number;
}

std::string unreachableMessage(const std::string& text) {
    // Cut on a character's first byte, so a long text never ends in half a character.
    size_t end = std::min<size_t>(text.size(), 40);
    while (end > 0 && end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return "无法拨打此号码,请手动拨打:" + text.substr(0, end);
}

}  // namespace TelephoneNumber
