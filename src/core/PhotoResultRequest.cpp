#include "core/PhotoResultRequest.h"

const std::vector<keyvalue::Property<PhotoResultRequest>>& PhotoResultRequest::keyValueProperties() {
    static const std::vector<keyvalue::Property<PhotoResultRequest>> properties = {
        keyvalue::string("userid", &PhotoResultRequest::userid),
        keyvalue::string("accidentno", &PhotoResultRequest::accidentno),
        keyvalue::string("sn", &PhotoResultRequest::sn),
        keyvalue::string("appkey", &PhotoResultRequest::appkey),
    };
    return properties;
}
