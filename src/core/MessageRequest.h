#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"

// Parameters of a chat message "submitmsg".
// JSON keys are the property names; nil properties are left out of keyValues().
class MessageRequest : public KeyValueObject<MessageRequest> {
public:
    std::optional<std::string> userid;
    std::optional<std::string> sn;
    std::optional<std::string> appkey;
    std::optional<std::string> accidentno;
    std::optional<std::string> from;
    std::optional<std::string> content;
    std::optional<std::string> msgtype;
    std::optional<std::string> dataname;
    std::optional<std::string> type;
    std::optional<std::string> duration;

    static const std::vector<keyvalue::Property<MessageRequest>>& keyValueProperties();
};
