#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"

// One accident situation of the situation choice: the text of its row and its code. The list
// ends with the free-text row, coded "0".
class SituationModel : public KeyValueObject<SituationModel> {
public:
    std::optional<std::string> name;
    std::optional<std::string> code;

    static const std::vector<keyvalue::Property<SituationModel>>& keyValueProperties();
};
