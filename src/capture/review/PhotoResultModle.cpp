#include "capture/review/PhotoResultModle.h"

const std::vector<keyvalue::Property<PhotoResultModle>>& PhotoResultModle::keyValueProperties() {
    static const std::vector<keyvalue::Property<PhotoResultModle>> properties = {
        keyvalue::string("result", &PhotoResultModle::result),
    };
    return properties;
}
