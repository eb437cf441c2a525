#pragma once
#include <memory>

class CarListModel;

// The parties' form as the vehicle list sees it: the screen the storyboard "ClientViewController"
// makes takes the chosen vehicle (null when none was chosen) besides the practice flag and the
// vehicle count (CaseFlowScreen).
class VehicleFormScreen {
public:
    virtual ~VehicleFormScreen() = default;
    virtual void setCarlist(std::shared_ptr<CarListModel> carlist) = 0;
};
