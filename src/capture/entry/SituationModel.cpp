#include "capture/entry/SituationModel.h"

const std::vector<keyvalue::Property<SituationModel>>& SituationModel::keyValueProperties() {
    static const std::vector<keyvalue::Property<SituationModel>> properties = {
        keyvalue::string("name", &SituationModel::name),
        keyvalue::string("code", &SituationModel::code),
    };
    return properties;
}
