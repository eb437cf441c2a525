#include "liability/negotiation/SignRequesModel.h"

const std::vector<keyvalue::Property<SignRequesModel>>& SignRequesModel::keyValueProperties() {
    static const std::vector<keyvalue::Property<SignRequesModel>> properties = {
        keyvalue::string("carno", &SignRequesModel::carno),
        keyvalue::string("dutytpe", &SignRequesModel::dutytpe),
        keyvalue::string("content", &SignRequesModel::content),
        keyvalue::string("date", &SignRequesModel::date),
        keyvalue::string("lon", &SignRequesModel::lon),
        keyvalue::string("lat", &SignRequesModel::lat),
        keyvalue::string("userid", &SignRequesModel::userid),
        keyvalue::string("sn", &SignRequesModel::sn),
        keyvalue::string("appkey", &SignRequesModel::appkey),
        keyvalue::string("accidentno", &SignRequesModel::accidentno),
        keyvalue::array("dutylist", &SignRequesModel::dutylist),
    };
    return properties;
}
