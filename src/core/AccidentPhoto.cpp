#include "core/AccidentPhoto.h"

const std::vector<keyvalue::Property<AccidentPhoto>>& AccidentPhoto::keyValueProperties() {
    static const std::vector<keyvalue::Property<AccidentPhoto>> properties = {
        keyvalue::string("imageaddress", &AccidentPhoto::imageaddress),
        keyvalue::string("imageurl", &AccidentPhoto::imageurl),
        keyvalue::string("imagetype", &AccidentPhoto::imagetype),
        keyvalue::string("imagedate", &AccidentPhoto::imagedate),
    };
    return properties;
}

AccidentPhoto::AccidentPhoto(const Coder& coder) {
    imageaddress = coder.decodeStringForKey("imageaddress");
    imageurl = coder.decodeStringForKey("imageurl");
    imagetype = coder.decodeStringForKey("imagetype");
    imagedate = coder.decodeStringForKey("imagedate");
}

void AccidentPhoto::encodeWithCoder(Coder& coder) const {
    coder.encodeObject("imageaddress", imageaddress);
    coder.encodeObject("imageurl", imageurl);
    coder.encodeObject("imagetype", imagetype);
    coder.encodeObject("imagedate", imagedate);
}
