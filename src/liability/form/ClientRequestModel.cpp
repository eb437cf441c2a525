#include "liability/form/ClientRequestModel.h"

const std::vector<keyvalue::Property<ClientRequestModel>>& ClientRequestModel::keyValueProperties() {
    static const std::vector<keyvalue::Property<ClientRequestModel>> properties = {
        keyvalue::string("casecarno", &ClientRequestModel::casecarno),
        keyvalue::string("caseperson", &ClientRequestModel::caseperson),
        keyvalue::string("casephone", &ClientRequestModel::casephone),
        keyvalue::string("localflag", &ClientRequestModel::localflag),
        keyvalue::string("companycode", &ClientRequestModel::companycode),
        keyvalue::string("companyname", &ClientRequestModel::companyname),
        keyvalue::string("userid", &ClientRequestModel::userid),
        keyvalue::string("appkey", &ClientRequestModel::appkey),
        keyvalue::string("sn", &ClientRequestModel::sn),
        keyvalue::string("accidentno", &ClientRequestModel::accidentno),
        keyvalue::array("casecarlist", &ClientRequestModel::casecarlist),
        keyvalue::string("accidentdes", &ClientRequestModel::accidentdes),
        keyvalue::string("accidentInformation", &ClientRequestModel::accidentInformation),
    };
    return properties;
}
