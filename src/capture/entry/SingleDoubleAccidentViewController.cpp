#include "capture/entry/SingleDoubleAccidentViewController.h"

#include "capture/camera/ImageUpload.h"
#include "capture/common/VehicleListCheck.h"
#include "core/AppConfig.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

namespace {

constexpr double kCardHeight = 219;
constexpr double kCardGap = 7;

nlohmann::json step(const char* title, const char* image) {
    return {{"title", title}, {"image", image}, {"detail", "请您在保证安全下拍摄"}};
}

}  // namespace

SingleDoubleAccidentViewController::SingleDoubleAccidentViewController(Arguments arguments)
    : simulateNormal(arguments.simulateNormal) {}

std::size_t SingleDoubleAccidentViewController::count() const { return shots_->current->count; }

nlohmann::json SingleDoubleAccidentViewController::failedImage() const { return shots_->failedImage; }

nlohmann::json SingleDoubleAccidentViewController::singleCarImageArray() {
    return nlohmann::json::array({
        step("请您从车辆(左前方)拍摄全景照片\n(含车牌)", "单车左前"),
        step("请您从车辆(右后方)拍摄全景照片\n(含车牌)", "单车右后"),
        step("请您拍摄车辆碰撞部位照片", "单车碰撞"),
        step("请您拍摄行驶证件照片", "行驶证"),
        step("请您拍摄驾驶证件照片", "驾驶证"),
    });
}

void SingleDoubleAccidentViewController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    const auto grey = Theme::pageGrey();
    view()->setBackgroundColor(grey);
    auto self = sharedAs<SingleDoubleAccidentViewController>();
    Theme::addBackItem(*this, foundation::weakBind(this, &SingleDoubleAccidentViewController::backBtnClick));
    setTitle(kTitle);

    auto scroll = std::make_shared<ui::ScrollView>();
    scroll->setShowsHorizontalScrollIndicator(false);
    scroll->setShowsVerticalScrollIndicator(false);
    view()->addSubview(scroll);
    scrollView_ = scroll;

    auto main = std::make_shared<ui::View>();
    main->setBackgroundColor(grey);
    scroll->addSubview(main);
    mainView_ = main;

    auto doubleCard = std::make_shared<DoubleCarView>();
    doubleCard->delegate = std::static_pointer_cast<DoubleCarViewDelegate>(self);
    main->addSubview(doubleCard);
    doubleCar_ = doubleCard;

    auto singleCard = std::make_shared<SingleCarView>();
    singleCard->delegate = std::static_pointer_cast<SingleCarViewDelegate>(self);
    main->addSubview(singleCard);
    singleCar_ = singleCard;

    layout();
}

void SingleDoubleAccidentViewController::viewWillAppear(bool animated) {
    BaseViewController::viewWillAppear(animated);
    Theme::styleNavigationBar(*this, kTitle);
    layout();
    // A capture started again from here codes its shots from "1" again.
    shots_->current = std::make_shared<ShotCount>();
}

void SingleDoubleAccidentViewController::viewDidAppear(bool animated) {
    BaseViewController::viewDidAppear(animated);
    // The camera hides the bar; the page was laid out without it and now follows the view.
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false);
    layout();
}

void SingleDoubleAccidentViewController::layout() {
    auto scroll = scrollView_.lock();
    auto main = mainView_.lock();
    auto doubleCard = doubleCar_.lock();
    auto singleCard = singleCar_.lock();
    if (!scroll || !main || !doubleCard || !singleCard) return;
    auto bounds = view()->bounds();
    double width = bounds.width();
    double contentHeight = ui::Screen::mainScreen().bounds().height() + 50;
    scroll->setFrame({0, 0, width, bounds.height()});
    scroll->setContentSize({width, contentHeight});
    main->setFrame({0, 0, width, contentHeight});
    doubleCard->setFrame({0, kCardGap, width, kCardHeight});
    singleCard->setFrame({0, doubleCard->frame().maxY() + kCardGap, width, kCardHeight});
}

void SingleDoubleAccidentViewController::backBtnClick() {
    if (auto navigation = navigationController()) navigation->popViewController(true);
}

nlohmann::json SingleDoubleAccidentViewController::caseParams(const char* accidenttype) {
    auto& state = UserDateSingleton::shareUserDateInstance();
    return UserDateSingleton::params({{"userid", state.userid()},
                                      {"sn", state.sn()},
                                      {"appkey", AppConfig::appKey()},
                                      {"accidentdate", StringExtension::stringWithCurrenDate()},
                                      {"lon", state.longitude()},
                                      {"lat", state.latitude()},
                                      {"accidenttype", std::string(accidenttype)}});
}

bool SingleDoubleAccidentViewController::hasCaseNumber(const std::optional<std::string>& accidentno) {
    ProgressHUD::hideHUD();
    if (!accidentno || accidentno->empty()) {
        // The server said yes but named no case: nothing can be sent for it.
        foundation::log("accidentinfor answered without a case number");
        ProgressHUD::showError(kNoCaseNumberText);
        return false;
    }
    return true;
}

void SingleDoubleAccidentViewController::doubleCarBtnDidClick() {
    if (simulateNormal == CaseMode::Practice) {
        openSituation();
        return;
    }
    ProgressHUD::showMessage(kDoubleLoadingText);
    std::weak_ptr<SingleDoubleAccidentViewController> weak = sharedAs<SingleDoubleAccidentViewController>();
    RequestManager::shareRequestManager().request_accidentInfor_WithParams(
        caseParams("1"), [weak](const std::optional<std::string>& accidentno, const RequestOutcome& outcome) {
            if (!outcome.answered()) return;  // the API client hid the spinner and said why
            if (!hasCaseNumber(accidentno)) return;
            if (auto self = weak.lock()) {
                self->onCaseNumber(*accidentno);
                self->openSituation();
            }
        });
}

void SingleDoubleAccidentViewController::singleCarBtnDidClick() {
    ProgressHUD::showMessage(kSingleLoadingText);
    if (simulateNormal != CaseMode::Real) {
        openCamera(false);
        return;
    }
    std::weak_ptr<SingleDoubleAccidentViewController> weak = sharedAs<SingleDoubleAccidentViewController>();
    RequestManager::shareRequestManager().request_accidentInfor_WithParams(
        caseParams("0"), [weak](const std::optional<std::string>& accidentno, const RequestOutcome& outcome) {
            if (!outcome.answered()) return;  // the API client hid the spinner and said why
            if (!hasCaseNumber(accidentno)) return;
            if (auto self = weak.lock()) {
                self->onCaseNumber(*accidentno);
                self->openCamera(true);
            }
        });
}

void SingleDoubleAccidentViewController::openSituation() { onSituation(); }

void SingleDoubleAccidentViewController::openCamera(bool real) {
    CaptureRequest request;
    request.steps = singleCarImageArray();
    request.carType = 0;
    if (real) {
        request.viewControllerBlock = foundation::weakBind(this, &SingleDoubleAccidentViewController::requestCarList);
        // Shots arrive on a background queue, one after the other. The counting, the reading of
        // the user state and the start of the upload move to the main queue, in arrival order,
        // so the codes follow the shots; each upload then runs on its own.
        auto shots = shots_;
        auto counter = shots_->current;
        request.savePhotoBlock = [shots, counter](const std::string& shot) {
            foundation::dispatch::mainQueue()->async([shots, counter, shot] {
                auto record = ImageUpload::recordWithShot(shot, ImageUpload::singleCarImageType(counter->count));
                ++counter->count;
                nlohmann::json dictionary = record->keyValues();
                // The upload keeps the photo in the FailedImageStore until the server answers "200".
                ImageUpload::send(record, [shots, dictionary](bool sent) {
                    if (!sent) shots->failedImage.push_back(dictionary);
                });
            });
        };
    } else {
        request.viewControllerBlock = foundation::weakBind(this, [](const auto& self) { self->onCarList(); });
    }
    onCapture(std::move(request));
}

void SingleDoubleAccidentViewController::requestCarList() {
    if (!vehicleCheck_) {
        vehicleCheck_ =
            std::make_shared<VehicleListCheck>(foundation::weakBind(this, [](const auto& self, bool arrived) {
                if (arrived) {
                    self->onCarList();
                } else {
                    self->onClientForm();
                }
            }));
    }
    vehicleCheck_->ask();
}
