#include "liability/form/DutyModel.h"

const std::vector<keyvalue::Property<DutyModel>>& DutyModel::keyValueProperties() {
    static const std::vector<keyvalue::Property<DutyModel>> properties = {
        keyvalue::string("selfName", &DutyModel::selfName),
        keyvalue::string("selfCarNo", &DutyModel::selfCarNo),
        keyvalue::string("selfInsurance", &DutyModel::selfInsurance),
        keyvalue::string("otherName", &DutyModel::otherName),
        keyvalue::string("otherCarNo", &DutyModel::otherCarNo),
        keyvalue::string("otherInsurance", &DutyModel::otherInsurance),
    };
    return properties;
}
