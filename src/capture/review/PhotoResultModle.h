#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"

// The reply of the photo review poll "getphotoresult": "0" some photos were rejected (the
// reply's "list" names them), "1" every photo was accepted, anything else (or none) the review
// goes on.
class PhotoResultModle : public KeyValueObject<PhotoResultModle> {
public:
    std::optional<std::string> result;

    static const std::vector<keyvalue::Property<PhotoResultModle>>& keyValueProperties();
};
