#pragma once
#include <memory>

#include "liability/form/ClientViewController.h"

// What the parties' form tests reach inside the form: its fields, prefix buttons and labels,
// the insurers picked so far and the records it hands on.
class ClientTestAPI {
public:
    // Own party.
    static const std::weak_ptr<ui::TextField>& selfName(const ClientViewController& form) { return form.selfName; }
    static const std::weak_ptr<ui::Button>& selfLocBtn(const ClientViewController& form) { return form.selfLocBtn; }
    static const std::weak_ptr<ui::TextField>& selfPlateNo(const ClientViewController& form) { return form.selfPlateNo; }
    static const std::weak_ptr<ui::Label>& selfPhoneNo(const ClientViewController& form) { return form.selfPhoneNo; }
    static const std::weak_ptr<ui::Label>& selfInsurance(const ClientViewController& form) { return form.selfInsurance; }
    // Other party.
    static const std::weak_ptr<ui::TextField>& OtherDriveName(const ClientViewController& form) { return form.OtherDriveName; }
    static const std::weak_ptr<ui::Button>& otherLocBtn(const ClientViewController& form) { return form.otherLocBtn; }
    static const std::weak_ptr<ui::TextField>& otherPlateNo(const ClientViewController& form) { return form.otherPlateNo; }
    static const std::weak_ptr<ui::TextField>& otherPhoneNo(const ClientViewController& form) { return form.otherPhoneNo; }
    static const std::weak_ptr<ui::Label>& otherInsurance(const ClientViewController& form) { return form.otherInsurance; }

    static std::shared_ptr<InsuranceCompany> selfInsuranceModel(ClientViewController& form) { return form.selfInsuranceModel(); }
    static std::shared_ptr<InsuranceCompany> otherInsuranceModel(ClientViewController& form) { return form.otherInsuranceModel(); }
    static std::shared_ptr<InsuranceCompany> ownInsuranceRecord(ClientViewController& form) { return form.ownInsuranceRecord(); }
    static std::shared_ptr<DutyModel> dutyModel(ClientViewController& form) { return form.dutyModel(); }
};
