#include "core/InsuranceCompany.h"

const std::vector<keyvalue::Property<InsuranceCompany>>& InsuranceCompany::keyValueProperties() {
    static const std::vector<keyvalue::Property<InsuranceCompany>> properties = {
        keyvalue::string("inscomname", &InsuranceCompany::inscomname),
        keyvalue::string("inscomcode", &InsuranceCompany::inscomcode),
        keyvalue::string("insphone", &InsuranceCompany::insphone),
        keyvalue::string("insreporttel", &InsuranceCompany::insreporttel),
    };
    return properties;
}
