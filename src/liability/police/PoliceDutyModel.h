#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"

// One party's record of the traffic police's liability decision ("processpapertimer"'s
// "dutylist"): the liability code ("0" full, "1" none, "2" equal), the time of the decision,
// the plate, telephone, driver's name and insurer. The list holds the own party first.
class PoliceDutyModel : public KeyValueObject<PoliceDutyModel> {
public:
    std::optional<std::string> dutytype;
    std::optional<std::string> dutytime;
    std::optional<std::string> carno;
    std::optional<std::string> carphone;
    std::optional<std::string> carname;
    std::optional<std::string> insurecode;
    std::optional<std::string> insurename;

    static const std::vector<keyvalue::Property<PoliceDutyModel>>& keyValueProperties();
};
