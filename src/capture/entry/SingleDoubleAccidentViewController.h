#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "capture/entry/CaptureRequest.h"
#include "capture/entry/DoubleCarView.h"
#include "capture/entry/SingleCarView.h"
#include "core/BaseViewController.h"
#include "core/CaseMode.h"
#include "core/Output.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/View.h"

class VehicleListCheck;

// The accident kind ("拍照存证"): two or more vehicles above a single vehicle. Choosing a card
// opens the case on the server ("accidentinfor", type "1" or "0") and reports the case number
// it gives (`onCaseNumber`) to the road of the case.
//
// Two or more vehicles go on to the situation screen (`onSituation`). A single vehicle runs its
// whole capture from here: the guided camera on five steps (`onCapture` opens it with the steps
// and the blocks this screen gives), an upload of every shot with its step code, and after the
// last shot the account's vehicles ("getusercarlist"): a "200" opens the vehicle choice
// (`onCarList`), any other outcome the parties' data form (`onClientForm`), both with one vehicle.
//
// Practice (`simulateNormal`) sends nothing.
class SingleDoubleAccidentViewController : public BaseViewController,
                                           public DoubleCarViewDelegate,
                                           public SingleCarViewDelegate {
public:
    static constexpr const char* kTitle = "拍照存证";
    // The spinner of the two-car card, and of the single-car card.
    static constexpr const char* kDoubleLoadingText = "加载中...";
    static constexpr const char* kSingleLoadingText = "正在加载...";
    // A "200" reply that carries no case number.
    static constexpr const char* kNoCaseNumberText = "未能获取事故编号,请稍后再试";
    struct Arguments {
        GivenCaseMode simulateNormal;
    };
    // What the guided camera is opened with: its steps ({"title", "image", "detail"} each), the
    // case type (0 single car) and the two blocks the camera calls.
    using CaptureRequest = ::CaptureRequest;

    explicit SingleDoubleAccidentViewController(Arguments arguments);
    std::string className() const override { return "SingleDoubleAccidentViewController"; }

    // The practice flag.
    const CaseMode simulateNormal;

    // Two or more vehicles, once the case is open (at once in practice): the situation choice.
    Output<void()> onSituation{this, "onSituation"};
    // The number "accidentinfor" gave the new case, before the situation choice or the camera.
    Output<void(const std::string& accidentno)> onCaseNumber{this, "onCaseNumber"};
    // A single vehicle, once the case is open: the guided camera.
    Output<void(CaptureRequest request)> onCapture{this, "onCapture"};
    // After the single-car capture: the vehicle choice, or the parties' form, for one vehicle.
    Output<void()> onCarList{this, "onCarList"};
    Output<void()> onClientForm{this, "onClientForm"};

    std::shared_ptr<DoubleCarView> doubleCar() const { return doubleCar_.lock(); }
    std::shared_ptr<SingleCarView> singleCar() const { return singleCar_.lock(); }
    std::shared_ptr<ui::ScrollView> scrollView() const { return scrollView_.lock(); }
    std::shared_ptr<ui::View> mainView() const { return mainView_.lock(); }

    // Shots of the captures started since the screen last appeared (main thread).
    std::size_t count() const;
    // The upload records of single-car shots whose upload failed (main thread).
    nlohmann::json failedImage() const;

    // The five single-car steps: {"title", "image", "detail"} each.
    static nlohmann::json singleCarImageArray();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;

    void doubleCarBtnDidClick() override;
    bool respondsToDoubleCarBtnDidClick() const override { return true; }
    void singleCarBtnDidClick() override;
    bool respondsToSingleCarBtnDidClick() const override { return true; }
    // Pops this screen.
    void backBtnClick();

private:
    // What the per-shot action keeps; touched on the main thread only. Each appearance of the
    // screen starts a new count, so a shot of a capture given up a moment ago that is still on
    // its way counts in its own capture, not in the next one.
    struct ShotCount {
        std::size_t count = 0;
    };
    struct ShotBook {
        std::shared_ptr<ShotCount> current = std::make_shared<ShotCount>();
        nlohmann::json failedImage = nlohmann::json::array();
    };

    void layout();
    static nlohmann::json caseParams(const char* accidenttype);
    // Keeps a "200" reply's case number; false (spinner hidden, toast shown) without one.
    static bool hasCaseNumber(const std::optional<std::string>& accidentno);
    void openSituation();
    void openCamera(bool real);
    void requestCarList();

    std::shared_ptr<ShotBook> shots_ = std::make_shared<ShotBook>();
    std::shared_ptr<VehicleListCheck> vehicleCheck_;
    std::weak_ptr<DoubleCarView> doubleCar_;
    std::weak_ptr<SingleCarView> singleCar_;
    std::weak_ptr<ui::ScrollView> scrollView_;
    std::weak_ptr<ui::View> mainView_;
};
