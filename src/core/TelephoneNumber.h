#pragma once
#include <optional>
#include <string>

// What a telephone can dial of a number a person or a server wrote.
namespace TelephoneNumber {

// The number without its spaces, brackets and dashes ("138 0013 8000", "(010)8888", "010-122"),
// which must then be at least three digits with an optional leading "+", at most 32 characters;
// nothing when it is not ("122;sms:10086", "95518 转 1", "010-8888+1").
std::optional<std::string> dialable(const std::string& text);

// What the driver reads when a number cannot be dialled: the number as it was written, cut to
// a length a toast can show.
std::string unreachableMessage(const std::string& text);

}  // namespace TelephoneNumber
