#include "core/QuikeHandleRequest.h"

const std::vector<keyvalue::Property<QuikeHandleRequest>>& QuikeHandleRequest::keyValueProperties() {
    static const std::vector<keyvalue::Property<QuikeHandleRequest>> properties = {
        keyvalue::string("userid", &QuikeHandleRequest::userid),
        keyvalue::string("sn", &QuikeHandleRequest::sn),
        keyvalue::string("appkey", &QuikeHandleRequest::appkey),
        keyvalue::string("accidentno", &QuikeHandleRequest::accidentno),
        keyvalue::string("paperno", &QuikeHandleRequest::paperno),
    };
    return properties;
}
