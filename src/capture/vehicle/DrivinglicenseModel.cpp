#include "capture/vehicle/DrivinglicenseModel.h"

const std::vector<keyvalue::Property<DrivinglicenseModel>>& DrivinglicenseModel::keyValueProperties() {
    static const std::vector<keyvalue::Property<DrivinglicenseModel>> properties = {
        keyvalue::string("url", &DrivinglicenseModel::url),
    };
    return properties;
}
