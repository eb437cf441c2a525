#include "core/ImageRequestModel.h"

const std::vector<keyvalue::Property<ImageRequestModel>>& ImageRequestModel::keyValueProperties() {
    static const std::vector<keyvalue::Property<ImageRequestModel>> properties = {
        keyvalue::string("userid", &ImageRequestModel::userid),
        keyvalue::string("sn", &ImageRequestModel::sn),
        keyvalue::string("appkey", &ImageRequestModel::appkey),
        keyvalue::string("accidentno", &ImageRequestModel::accidentno),
        keyvalue::string("imagename", &ImageRequestModel::imagename),
        keyvalue::string("contentdata", &ImageRequestModel::contentdata),
        keyvalue::string("imagetype", &ImageRequestModel::imagetype),
        keyvalue::string("imagelon", &ImageRequestModel::imagelon),
        keyvalue::string("imagelat", &ImageRequestModel::imagelat),
        keyvalue::string("imagedate", &ImageRequestModel::imagedate),
        keyvalue::string("size", &ImageRequestModel::size),
        keyvalue::string("flowtype", &ImageRequestModel::flowtype),
    };
    return properties;
}
