#include "core/ModelDeclarationPrinter.h"

#include "platform/foundation/Log.h"

namespace {

// The key as one line: control characters (a line break inside a key) become "?".
std::string oneLine(const std::string& key) {
    std::string out = key;
    for (auto& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return out;
}

}  // namespace

std::string ModelDeclarationPrinter::declarationFor(const std::string& key, const nlohmann::json& value) {
    std::string name = oneLine(key);
    if (value.is_array()) return "std::optional<nlohmann::json> " + name + ";  // array";
    if (value.is_object()) return "std::optional<nlohmann::json> " + name + ";  // dictionary";
    return "std::optional<std::string> " + name + ";";
}

std::string ModelDeclarationPrinter::createDeclareStringWithDict(const nlohmann::json& dict) {
    if (!dict.is_object()) {
        foundation::log(std::string("ModelDeclarationPrinter: a ") + dict.type_name() + " is no dictionary; nothing to declare");
        return "";
    }
    std::string all;
    for (const auto& [key, value] : dict.items()) {
        std::string line = declarationFor(key, value);
        foundation::log(line);
        all += line + "\n";
    }
    return all;
}
