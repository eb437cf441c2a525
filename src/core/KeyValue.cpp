#include "core/KeyValue.h"

namespace keyvalue {

std::optional<std::string> stringFromJson(const nlohmann::json& value) {
    switch (value.type()) {
    case nlohmann::json::value_t::string:
        return value.get<std::string>();
    case nlohmann::json::value_t::number_integer:
        return std::to_string(value.get<long long>());
    case nlohmann::json::value_t::number_unsigned:
        return std::to_string(value.get<unsigned long long>());
    case nlohmann::json::value_t::number_float:
    {
        // Shortest text that reads back as the same number; whole numbers without ".0".
        std::string text = value.dump();
        if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0) text.resize(text.size() - 2);
        return text;
    }
    case nlohmann::json::value_t::boolean:
        return value.get<bool>() ? "1" : "0";
    default:
        return std::nullopt;
    }
}

}  // namespace keyvalue
