#include "core/CaseInfoRequest.h"

const std::vector<keyvalue::Property<CaseInfoRequest>>& CaseInfoRequest::keyValueProperties() {
    static const std::vector<keyvalue::Property<CaseInfoRequest>> properties = {
        keyvalue::string("userid", &CaseInfoRequest::userid),
        keyvalue::string("appkey", &CaseInfoRequest::appkey),
        keyvalue::string("sn", &CaseInfoRequest::sn),
        keyvalue::string("accidentno", &CaseInfoRequest::accidentno),
        keyvalue::string("caselon", &CaseInfoRequest::caselon),
        keyvalue::string("caselat", &CaseInfoRequest::caselat),
        keyvalue::string("casedate", &CaseInfoRequest::casedate),
        keyvalue::string("companycode", &CaseInfoRequest::companycode),
        keyvalue::string("reportcall", &CaseInfoRequest::reportcall),
        keyvalue::string("reportype", &CaseInfoRequest::reportype),
    };
    return properties;
}
