#include "liability/police/PoliceSignRequestModel.h"

const std::vector<keyvalue::Property<PoliceSignRequestModel>>& PoliceSignRequestModel::keyValueProperties() {
    using M = PoliceSignRequestModel;
    static const std::vector<keyvalue::Property<M>> properties = {
        keyvalue::string("userid", &M::userid),       keyvalue::string("sn", &M::sn),
        keyvalue::string("appkey", &M::appkey),       keyvalue::string("accidentno", &M::accidentno),
        keyvalue::string("paperno", &M::paperno),     keyvalue::array("signlist", &M::signlist),
        keyvalue::string("content", &M::content),     keyvalue::string("licenseno", &M::licenseno),
        keyvalue::string("latx", &M::latx),           keyvalue::string("lngy", &M::lngy),
        keyvalue::string("signtime", &M::signtime),   keyvalue::string("phoneno", &M::phoneno),
        keyvalue::string("valicode", &M::valicode),   keyvalue::string("localflag", &M::localflag),
    };
    return properties;
}
