#include "core/KeyedArchiver.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"

namespace {
nlohmann::json wrap(const std::string& className, const nlohmann::json& values) {
    return nlohmann::json{{"$class", className}, {"$root", values}};
}
}  // namespace

std::string KeyedArchiver::archiveText(const std::string& className, const nlohmann::json& values) {
    return foundation::plist::toXml(wrap(className, values));
}

bool KeyedArchiver::writeArchive(const std::filesystem::path& path, const std::string& className,
                                 const nlohmann::json& values) {
    return foundation::plist::write(path, wrap(className, values));
}

std::optional<nlohmann::json> KeyedArchiver::parseArchive(const std::string& data) {
    return foundation::plist::parse(data);
}

std::optional<nlohmann::json> KeyedArchiver::readArchive(const std::filesystem::path& path) {
    return foundation::plist::readStored(path);
}

std::optional<nlohmann::json> KeyedArchiver::rootValues(const std::optional<nlohmann::json>& archive,
                                                        const std::string& className) {
    if (!archive || !archive->is_object()) return std::nullopt;
    auto cls = archive->find("$class");
    auto root = archive->find("$root");
    if (cls == archive->end() || root == archive->end() || !cls->is_string() || !root->is_object()) {
        foundation::log("KeyedArchiver: not an archive");
        return std::nullopt;
    }
    if (cls->get<std::string>() != className) {
        foundation::log("KeyedArchiver: archive of " + cls->get<std::string>() + ", expected " + className);
        return std::nullopt;
    }
    return *root;
}
