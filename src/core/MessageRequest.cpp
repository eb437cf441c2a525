#include "core/MessageRequest.h"

const std::vector<keyvalue::Property<MessageRequest>>& MessageRequest::keyValueProperties() {
    static const std::vector<keyvalue::Property<MessageRequest>> properties = {
        keyvalue::string("userid", &MessageRequest::userid),
        keyvalue::string("sn", &MessageRequest::sn),
        keyvalue::string("appkey", &MessageRequest::appkey),
        keyvalue::string("accidentno", &MessageRequest::accidentno),
        keyvalue::string("from", &MessageRequest::from),
        keyvalue::string("content", &MessageRequest::content),
        keyvalue::string("msgtype", &MessageRequest::msgtype),
        keyvalue::string("dataname", &MessageRequest::dataname),
        keyvalue::string("type", &MessageRequest::type),
        keyvalue::string("duration", &MessageRequest::duration),
    };
    return properties;
}
