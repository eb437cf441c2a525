#pragma once
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace ui {
class Label;
class TextField;
}  // namespace ui

// The texts screens read and send, by what they are.
namespace TextValues {

// A value of the user state as a request carries it: nothing when it holds none or an empty
// text (such values are left out of requests).
std::optional<std::string> sentValue(std::optional<std::string> value);

// The text a label or a text field shows; empty when the view is gone.
std::string shownText(const std::weak_ptr<ui::Label>& label);
std::string shownText(const std::weak_ptr<ui::TextField>& field);

// The text of a reply's value under `key`: a string as it is, a number as its decimal text;
// nothing for anything else (not a dictionary, absent, null, true or false, a list, a
// dictionary).
std::optional<std::string> replyText(const nlohmann::json& dictionary, const char* key);

}  // namespace TextValues
