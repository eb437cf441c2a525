#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capture/vehicle/DrivinglicenseModel.h"
#include "core/KeyValue.h"

// One vehicle of the signed-in account as "getusercarlist" lists it. The plate `carno` is a
// two-character region prefix followed by five characters, six on a new-energy plate ("其他" on the vehicle list's last
// row, for a vehicle that is not registered). The compulsory policy is `jqx*`, the commercial
// one `syx*` (insurer code, insurer name, policy number, start and end date).
class CarListModel : public KeyValueObject<CarListModel> {
public:
    std::optional<std::string> carno;
    std::optional<std::string> ownername;
    std::optional<std::string> engineno;
    std::optional<std::string> insureperson;
    std::optional<std::string> jqxcode;
    std::optional<std::string> jqxname;
    std::optional<std::string> jqpaperno;
    std::optional<std::string> jqxstart;
    std::optional<std::string> jqxend;
    std::optional<std::string> syxcode;
    std::optional<std::string> syxname;
    std::optional<std::string> sypaperno;
    std::optional<std::string> syxstart;
    std::optional<std::string> syxend;
    std::shared_ptr<DrivinglicenseModel> drivinglicense;

    static const std::vector<keyvalue::Property<CarListModel>>& keyValueProperties();
};
