#include "platform/foundation/JsonText.h"

namespace foundation {

namespace {

// Builds the value as the library's own parser does, except that a whole number outside the
// 64-bit ranges (which the library would turn into an approximate double) is kept as its exact
// decimal text.
class ExactIntegerSax {
public:
    using json = nlohmann::json;
    explicit ExactIntegerSax(json& result) : dom_(result, false) {}

    bool null() { return dom_.null(); }
    bool boolean(bool value) { return dom_.boolean(value); }
    bool number_integer(json::number_integer_t value) { return dom_.number_integer(value); }
    bool number_unsigned(json::number_unsigned_t value) { return dom_.number_unsigned(value); }
    bool number_float(json::number_float_t value, const json::string_t& text) {
        if (isWholeNumber(text)) {
            json::string_t copy = text;
            return dom_.string(copy);
        }
        return dom_.number_float(value, text);
    }
    bool string(json::string_t& value) { return dom_.string(value); }
    bool binary(json::binary_t& value) { return dom_.binary(value); }
    bool start_object(std::size_t elements) { return dom_.start_object(elements); }
    bool key(json::string_t& value) { return dom_.key(value); }
    bool end_object() { return dom_.end_object(); }
    bool start_array(std::size_t elements) { return dom_.start_array(elements); }
    bool end_array() { return dom_.end_array(); }
    bool parse_error(std::size_t position, const std::string& token, const nlohmann::detail::exception& error) {
        return dom_.parse_error(position, token, error);
    }
    bool is_errored() const { return dom_.is_errored(); }

private:
    static bool isWholeNumber(const json::string_t& text) {
        size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
        if (i == text.size()) return false;
        for (; i < text.size(); ++i)
            if (text[i] < '0' || text[i] > '9') return false;
        return true;
    }

    nlohmann::detail::json_sax_dom_parser<json> dom_;
};

}  // namespace

int jsonNestingDepth(std::string_view text) {
    int depth = 0, deepest = 0;
    bool inString = false, escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > deepest) deepest = depth;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

nlohmann::json parseJson(std::string_view text, int maxDepth) {
    if (jsonNestingDepth(text) > maxDepth) return nlohmann::json(nlohmann::json::value_t::discarded);
    nlohmann::json result;
    ExactIntegerSax sax(result);
    if (!nlohmann::json::sax_parse(text, &sax, nlohmann::json::input_format_t::json) || sax.is_errored())
        return nlohmann::json(nlohmann::json::value_t::discarded);
    return result;
}

}  // namespace foundation
