#include "core/BackCodeModel.h"

const std::vector<keyvalue::Property<BackCodeModel>>& BackCodeModel::keyValueProperties() {
    static const std::vector<keyvalue::Property<BackCodeModel>> properties = {
        keyvalue::string("rescode", &BackCodeModel::rescode),
        keyvalue::string("resdes", &BackCodeModel::resdes),
    };
    return properties;
}
