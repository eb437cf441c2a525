#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"
#include "core/KeyedArchiver.h"

// One vehicle of a case (an entry of "casecarlist"); archives each property under its name.
// JSON keys are the property names; nil properties are left out of keyValues().
class CaseCar : public KeyValueObject<CaseCar> {
public:
    std::optional<std::string> casecarno;
    std::optional<std::string> carownname;
    std::optional<std::string> carownphone;

    CaseCar() = default;
    explicit CaseCar(const Coder& coder);  // initWithCoder
    void encodeWithCoder(Coder& coder) const;
    static constexpr const char* kClassName = "CaseCar";

    static const std::vector<keyvalue::Property<CaseCar>>& keyValueProperties();
};
