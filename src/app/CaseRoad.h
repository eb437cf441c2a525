#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/CaseMode.h"

class CarListModel;
class DangrousTipViewController;
class SingleDoubleAccidentViewController;
struct CaptureRequest;
namespace ui {
class ViewController;
class Window;
}

// The road of one case and the case it holds: the mode, real or practice, set once when the road
// is made; the accident-kind screen, which the camera's "返回" goes back to; and the case number,
// once "accidentinfor" gives it (or the history, for a case reopened from there). Each screen of
// the case is made here with what it shows and the case's mode; its outputs report only what
// the driver did, and the road decides what opens next.
//
// From the home page: the three safety tips and the accident kind. A single vehicle: the guided
// camera, the vehicle choice, the parties' form with the insurer chooser, the insurance report
// (FollowupRoad goes on from there). Two or more vehicles: the situation choice, the guided
// camera on the multi-car steps, the photo review wait, the move-car tips, then the same vehicle
// choice and parties' form for two vehicles, whose submission hands over to LiabilityRoad.
//
// Each screen holds the road through its outputs; the road keeps the accident-kind screen weakly.
class CaseRoad : public std::enable_shared_from_this<CaseRoad> {
public:
    explicit CaseRoad(CaseMode mode) : mode_(mode) {}

    // A new case from the home page: its first safety tip.
    static std::shared_ptr<ui::ViewController> start(CaseMode mode);
    // A case is in progress (CaseInProgress has its number) and one of its screens is the
    // driver's, in `window` (null: the key window): the window's navigation shows a screen above
    // its root (the home page) that is not one of the case history's. What a push opens then
    // lies over the driver's screen instead of replacing it.
    static bool isOnScreen(const std::shared_ptr<ui::Window>& window = nullptr);

    CaseMode mode() const { return mode_; }
    // The case number, once the server or the history gave it.
    const std::optional<std::string>& accidentno() const { return accidentno_; }
    // Keeps the number the server or the history gave the case and makes it the case in
    // progress's (CaseInProgress), which the screens of the case and the push router read.
    void keepAccidentno(const std::optional<std::string>& accidentno);

    // Each screen of the road, made with the case's mode and wired to the next one.
    std::shared_ptr<DangrousTipViewController> makeDangrousTip();
    std::shared_ptr<ui::ViewController> makeCallPoliceTips();
    std::shared_ptr<ui::ViewController> makeTreatmentTips();
    std::shared_ptr<SingleDoubleAccidentViewController> makeAccidentKind();
    // The vehicle choice and the parties' form, for one vehicle or two (`carCount`).
    std::shared_ptr<ui::ViewController> makeCarList(bool carCount);
    std::shared_ptr<ui::ViewController> makeClientForm(bool carCount, std::shared_ptr<CarListModel> carlist);
    // Two or more vehicles: the situation choice, the photo review wait (`isHistory`: of a case
    // reopened from the history, whose "返回" goes back to the list) and the move-car tips.
    std::shared_ptr<ui::ViewController> makeSituation();
    std::shared_ptr<ui::ViewController> makePhotoReview(bool isHistory);
    std::shared_ptr<ui::ViewController> makeMoveCarTips();

    // What the road's hand-overs open, when set instead of the road's own screen (a test puts
    // stand-ins here; null opens nothing).
    struct StandIns {
        std::function<std::shared_ptr<ui::ViewController>(bool carCount)> carList;
        std::function<std::shared_ptr<ui::ViewController>(bool carCount)> clientForm;
        std::function<std::shared_ptr<ui::ViewController>()> situation;
        std::function<std::shared_ptr<ui::ViewController>()> photoReview;
    };
    StandIns standIns;

private:
    // The hand-overs, each through its stand-in when there is one.
    void openCarList(bool carCount);
    void openClientForm(bool carCount, std::shared_ptr<CarListModel> carlist);
    void openSituation();
    void openPhotoReview();
    // The guided camera, whose "返回" goes back to the accident-kind screen of the case.
    void openCamera(CaptureRequest request);

    const CaseMode mode_;
    std::optional<std::string> accidentno_;
    std::weak_ptr<SingleDoubleAccidentViewController> accidentKind_;
};
