#pragma once
#include <memory>

#include "platform/ui/Label.h"
#include "platform/ui/View.h"

// A section header of the parties' form: one line naming the party.
class ClientHeaderView : public ui::View {
public:
    static constexpr double kHeight = 45;

    ClientHeaderView();
    std::string className() const override { return "ClientHeaderView"; }

    std::shared_ptr<ui::Label> textLabel() const { return textLabel_.lock(); }

private:
    std::weak_ptr<ui::Label> textLabel_;
};
