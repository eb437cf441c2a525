#include "core/HeartRequestModel.h"

const std::vector<keyvalue::Property<HeartRequestModel>>& HeartRequestModel::keyValueProperties() {
    static const std::vector<keyvalue::Property<HeartRequestModel>> properties = {
        keyvalue::string("userid", &HeartRequestModel::userid),
        keyvalue::string("accidentno", &HeartRequestModel::accidentno),
        keyvalue::string("paperno", &HeartRequestModel::paperno),
        keyvalue::string("sn", &HeartRequestModel::sn),
        keyvalue::string("appkey", &HeartRequestModel::appkey),
    };
    return properties;
}
