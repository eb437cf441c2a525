#include "capture/vehicle/CarListModel.h"

namespace {

// The licence photo: a nested dictionary (anything else leaves it null).
keyvalue::Property<CarListModel> licence() {
    return {"drivinglicense",
            [](CarListModel& model, const nlohmann::json& value) {
                model.drivinglicense =
                    value.is_object() ? DrivinglicenseModel::objectWithKeyValues(value) : nullptr;
            },
            [](const CarListModel& model) -> nlohmann::json {
                return model.drivinglicense ? model.drivinglicense->keyValues() : nlohmann::json();
            }};
}

}  // namespace

const std::vector<keyvalue::Property<CarListModel>>& CarListModel::keyValueProperties() {
    static const std::vector<keyvalue::Property<CarListModel>> properties = {
        keyvalue::string("carno", &CarListModel::carno),
        keyvalue::string("ownername", &CarListModel::ownername),
        keyvalue::string("engineno", &CarListModel::engineno),
        keyvalue::string("insureperson", &CarListModel::insureperson),
        keyvalue::string("jqxcode", &CarListModel::jqxcode),
        keyvalue::string("jqxname", &CarListModel::jqxname),
        keyvalue::string("jqpaperno", &CarListModel::jqpaperno),
        keyvalue::string("jqxstart", &CarListModel::jqxstart),
        keyvalue::string("jqxend", &CarListModel::jqxend),
        keyvalue::string("syxcode", &CarListModel::syxcode),
        keyvalue::string("syxname", &CarListModel::syxname),
        keyvalue::string("sypaperno", &CarListModel::sypaperno),
        keyvalue::string("syxstart", &CarListModel::syxstart),
        keyvalue::string("syxend", &CarListModel::syxend),
        licence(),
    };
    return properties;
}
