#include "liability/police/PoliceDutyModel.h"

const std::vector<keyvalue::Property<PoliceDutyModel>>& PoliceDutyModel::keyValueProperties() {
    static const std::vector<keyvalue::Property<PoliceDutyModel>> properties = {
        keyvalue::string("dutytype", &PoliceDutyModel::dutytype),
        keyvalue::string("dutytime", &PoliceDutyModel::dutytime),
        keyvalue::string("carno", &PoliceDutyModel::carno),
        keyvalue::string("carphone", &PoliceDutyModel::carphone),
        keyvalue::string("carname", &PoliceDutyModel::carname),
        keyvalue::string("insurecode", &PoliceDutyModel::insurecode),
        keyvalue::string("insurename", &PoliceDutyModel::insurename),
    };
    return properties;
}
