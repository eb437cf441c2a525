#include "capture/vehicle/InsurerList.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"

namespace InsurerList {

std::vector<std::shared_ptr<InsuranceCompany>> companiesFromList(const nlohmann::json& list) {
    return InsuranceCompany::objectArrayWithKeyValuesArray(list).value_or(std::vector<std::shared_ptr<InsuranceCompany>>{});
}

std::vector<std::shared_ptr<InsuranceCompany>> stored(const std::string& reader) {
    auto file = foundation::plist::readStored(foundation::Sandbox::current().documents() / kFileName);
    if (!file) return {};
    if (!file->is_array()) {
        foundation::log(reader + ": insurance.plist is not a list");
        return {};
    }
    return companiesFromList(*file);
}

std::vector<std::shared_ptr<InsuranceCompany>> bundled(const std::string& reader) {
    auto path = foundation::bundlePath(kFileName);
    std::optional<nlohmann::json> file;
    if (!path.empty()) file = foundation::plist::read(path);
    if (!file) {
        foundation::log(reader + ": the bundle has no readable insurance.plist");
        return {};
    }
    return companiesFromList(*file);
}

}  // namespace InsurerList
