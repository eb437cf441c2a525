#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"

// One evidence photo upload ("image"); also the element of "failedImage.plist".
// JSON keys are the property names; nil properties are left out of keyValues().
class ImageRequestModel : public KeyValueObject<ImageRequestModel> {
public:
    std::optional<std::string> userid;
    std::optional<std::string> sn;
    std::optional<std::string> appkey;
    std::optional<std::string> accidentno;
    std::optional<std::string> imagename;
    std::optional<std::string> contentdata;
    std::optional<std::string> imagetype;
    std::optional<std::string> imagelon;
    std::optional<std::string> imagelat;
    std::optional<std::string> imagedate;
    std::optional<std::string> size;
    std::optional<std::string> flowtype;

    static const std::vector<keyvalue::Property<ImageRequestModel>>& keyValueProperties();
};
