#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"
#include "core/KeyedArchiver.h"

// One evidence photo of a case (an entry of "accidentimagelist"); archives each property under its name.
// JSON keys are the property names; nil properties are left out of keyValues().
class AccidentPhoto : public KeyValueObject<AccidentPhoto> {
public:
    std::optional<std::string> imageaddress;
    std::optional<std::string> imageurl;
    std::optional<std::string> imagetype;
    std::optional<std::string> imagedate;

    AccidentPhoto() = default;
    explicit AccidentPhoto(const Coder& coder);  // initWithCoder
    void encodeWithCoder(Coder& coder) const;
    static constexpr const char* kClassName = "AccidentPhoto";

    static const std::vector<keyvalue::Property<AccidentPhoto>>& keyValueProperties();
};
