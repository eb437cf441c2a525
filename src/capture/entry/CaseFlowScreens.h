#pragma once
#include <memory>
#include <string>

namespace ui {
class ViewController;
}

// The screens that follow the evidence photos and belong to libraries the capture flow does not
// link against: the accident-time vehicle choice ("CarListViewController") and the parties'
// data form (the initial screen of the storyboard "ClientViewController"). Their opener hands
// each of them two values, the practice flag and the number of vehicles:
//
//   class CarListViewController : public ui::TableViewController, public CaseFlowScreen {
//       void setSimulateNormal(int value) override { simulateNormal = value; }
//       void setCarCount(bool value) override { carCount = value; }
//   };
//
// The vehicle choice registers with ScreenRegistry under "CarListViewController" (its factory
// also gets {"simulateNormal": int, "carCount": bool}); the form registers the storyboard
// "ClientViewController" with ui::Storyboard. This header needs no library: including it is
// enough.
class CaseFlowScreen {
public:
    virtual ~CaseFlowScreen() = default;
    // 1 real case with server calls, 0 practice walkthrough.
    virtual void setSimulateNormal(int simulateNormal) = 0;
    // NO one vehicle in the accident, YES two.
    virtual void setCarCount(bool carCount) = 0;
};

namespace caseflow {

constexpr const char* kCarListScreen = "CarListViewController";
constexpr const char* kClientStoryboard = "ClientViewController";

// A new vehicle choice with the two values set, or null (logged) when it is not registered.
std::shared_ptr<ui::ViewController> makeCarListScreen(int simulateNormal, bool carCount);
// A new parties' form from its storyboard with the two values set, or null (logged).
std::shared_ptr<ui::ViewController> makeClientScreen(int simulateNormal, bool carCount);
// Hands the two values to a screen; false (logged) when it does not take them.
bool configure(const std::shared_ptr<ui::ViewController>& screen, int simulateNormal, bool carCount);

}  // namespace caseflow
