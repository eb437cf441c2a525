#include "core/TextValues.h"

#include "core/KeyValue.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"

namespace TextValues {

std::optional<std::string> sentValue(std::optional<std::string> value) {
    if (value && value->empty()) return std::nullopt;
    return value;
}

std::string shownText(const std::weak_ptr<ui::Label>& label) {
    auto l = label.lock();
    return l ? l->text() : std::string();
}

std::string shownText(const std::weak_ptr<ui::TextField>& field) {
    auto f = field.lock();
    return f ? f->text() : std::string();
}

std::optional<std::string> replyText(const nlohmann::json& dictionary, const char* key) {
    if (!dictionary.is_object()) return std::nullopt;
    auto it = dictionary.find(key);
    if (it == dictionary.end() || it->is_boolean()) return std::nullopt;
    return keyvalue::stringFromJson(*it);
}

}  // namespace TextValues
