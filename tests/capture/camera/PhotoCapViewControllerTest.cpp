#include <cairo.h>
#include <gtest/gtest.h>

#include "CameraTestSupport.h"
#include "core/Base64Codec.h"
#include "hud/ProgressHUD.h"
#include "hud/TwoButtonAlertView.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/GraphicsContext.h"
#include "support/PhotoCapTestAPI.h"
#include "support/TwoButtonAlertViewTestAPI.h"

namespace {

using graphics::Point;

// The escaped Base64 of a hand-back, back to the JPEG bytes.
std::string jpegOf(std::string text) {
    for (auto [from, to] : {std::pair{"%2B", "+"}, std::pair{"%2F", "/"}, std::pair{"%3D", "="}}) {
        for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) text.replace(at, 3, to);
    }
    return Base64Codec::decodeString(text).value_or("");
}

std::vector<std::string> alertTexts() {
    std::vector<std::string> texts;
    for (const auto& a : ui::AlertView::visibleAlerts()) texts.push_back(a->title() + "/" + a->message());
    return texts;
}

class PhotoCapTest : public CameraTest {};

TEST_F(PhotoCapTest, SingleCarFiveStepsHandBackFiveShotsInOrderAndEndOnce) {
    open(5, 0);
    EXPECT_TRUE(navigation->isNavigationBarHidden());
    EXPECT_TRUE(ui::Application::shared().isStatusBarHidden());
    EXPECT_EQ(PhotoCapTestAPI(camera).topLabel()->text(), "第1步");
    EXPECT_EQ(PhotoCapTestAPI(camera).bomLabel()->text(), "请您在保证安全下拍摄");
    EXPECT_EQ(PhotoCapTestAPI(camera).backImageView()->image()->name(), "行驶证");

    for (int shot = 1; shot <= 5; ++shot) {
        tapView(PhotoCapTestAPI(camera).shutterButton());
        EXPECT_FALSE(shutterOn()) << "shot " << shot;
        settle();
        tapView(PhotoCapTestAPI(camera).shutterButton());  // a second press before the step advance takes nothing
        settle();
        EXPECT_EQ(handBacks->count(), static_cast<size_t>(shot));
        advance(0.9);
        EXPECT_FALSE(shutterOn());
        EXPECT_EQ(camera->k(), shot - 1);
        advance(0.1);
        settle();
        if (shot < 5) {
            EXPECT_TRUE(shutterOn());
            EXPECT_EQ(camera->k(), shot);
            EXPECT_EQ(PhotoCapTestAPI(camera).topLabel()->text(), "第" + std::to_string(shot + 1) + "步");
        }
    }
    EXPECT_EQ(endActions, 1);
    EXPECT_FALSE(shutterOn());
    EXPECT_FALSE(ui::Application::shared().isStatusBarHidden());
    tapView(PhotoCapTestAPI(camera).shutterButton());
    camera->takePictureBtnPressed(PhotoCapTestAPI(camera).shutterButton());
    settle();
    advance(2);
    EXPECT_EQ(handBacks->count(), 5u);
    EXPECT_EQ(endActions, 1);

    // Every hand-back is a portrait JPEG of 480 x 640 towards 200 KB; the album keeps each shot.
    for (const auto& shot : handBacks->all()) {
        EXPECT_EQ(shot.find_first_of("+/="), std::string::npos);
        auto image = graphics::Image::fromData(jpegOf(shot));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->pixelWidth(), 480);
        EXPECT_EQ(image->pixelHeight(), 640);
    }
    EXPECT_EQ(albumPhotos(), 5);
    EXPECT_EQ(media::CameraScene::shared().shotsTaken(), 5);
}

TEST_F(PhotoCapTest, MultiCarAsksForFurtherCarsAndRunsTheExtraCarSteps) {
    open(9, 1);
    int questions = 0;
    auto answer = [&](bool more) {
        auto alert = PhotoCapTestAPI(camera).extraCarAlert();
        ASSERT_NE(alert, nullptr);
        ++questions;
        EXPECT_EQ(TwoButtonAlertViewTestAPI::titleLabel(*alert)->text(), "温馨提示");
        EXPECT_EQ(TwoButtonAlertViewTestAPI::contentLabel(*alert)->text(), "是否有其他事故车辆需要拍摄?");
        EXPECT_FALSE(alert->transform().isIdentity());
        // While the question is up no shot can be taken.
        EXPECT_FALSE(shutterOn());
        camera->takePictureBtnPressed(PhotoCapTestAPI(camera).shutterButton());
        settle();
        EXPECT_FALSE(PhotoCapTestAPI(camera).isShotPending());
        tapView(more ? TwoButtonAlertViewTestAPI::leftButton(*alert) : TwoButtonAlertViewTestAPI::rightButton(*alert));
        drain();
        EXPECT_EQ(PhotoCapTestAPI(camera).extraCarAlert(), nullptr);
    };
    for (int i = 0; i < 9; ++i) shoot();
    EXPECT_EQ(handBacks->count(), 9u);
    answer(true);
    EXPECT_TRUE(shutterOn());
    EXPECT_EQ(camera->k(), 0);
    EXPECT_EQ(camera->images(), PhotoCapViewController::extraCarImageArray());
    EXPECT_EQ(PhotoCapTestAPI(camera).topLabel()->text(), "请您从车辆(侧前方)拍摄全景照片\n(含车牌,道路标线)");
    EXPECT_EQ(PhotoCapTestAPI(camera).backImageView()->image()->name(), "双车左前");
    for (int i = 0; i < 5; ++i) shoot();
    EXPECT_EQ(endActions, 0);
    answer(false);
    EXPECT_EQ(handBacks->count(), 14u);
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(endActions, 1);
    EXPECT_FALSE(shutterOn());
}

// What the driver sees of the camera (the picture, the prompt, the outline) stands still from
// the shutter until the next step shows, and then all of it moves on together: the picture
// never shows the next shot under the step just taken, nor under the extra-car question.
TEST_F(PhotoCapTest, ThePictureThePromptAndTheOutlineShowOneStep) {
    open(2, 1);
    auto look = [&] {
        settle();
        auto image = ui::render(camera->view());
        return image ? image->pngData() : std::string();
    };
    auto api = PhotoCapTestAPI(camera);
    for (int step = 0; step < 2; ++step) {
        SCOPED_TRACE(step);
        std::string before = look();
        ASSERT_FALSE(before.empty());
        ASSERT_TRUE(tapView(api.shutterButton()));
        ASSERT_TRUE(waitFor([&] { return handBacks->count() == static_cast<size_t>(step + 1); }));
        EXPECT_TRUE(look() == before);
        advance(0.2);
        EXPECT_TRUE(look() == before);
        advance(0.8);
        settle();
        if (step == 0) {
            // The next step: a new prompt over a new picture.
            EXPECT_EQ(api.topLabel()->text(), "第2步");
            EXPECT_TRUE(look() != before);
        } else {
            ASSERT_NE(api.extraCarAlert(), nullptr);
            EXPECT_TRUE(look() == before);
            advance(5);
            EXPECT_TRUE(look() == before);
        }
    }
    // A further car: its first step and the next picture together.
    std::string asked = look();
    ASSERT_TRUE(driver.answerAlert("是"));
    EXPECT_EQ(api.topLabel()->text(), PhotoCapViewController::extraCarImageArray()[0]["title"]);
    EXPECT_TRUE(look() != asked);
}

TEST_F(PhotoCapTest, ShotsAreTurnedUprightForTheWayThePhoneIsHeld) {
    // A landscape scene whose top-left quarter is red.
    auto scene = graphics::Image::draw({1280, 960}, 1, true, [](cairo_t* cr) {
        cairo_set_source_rgb(cr, 0, 0, 1);
        cairo_paint(cr);
        cairo_set_source_rgb(cr, 1, 0, 0);
        cairo_rectangle(cr, 0, 0, 640, 480);
        cairo_fill(cr);
    });
    std::string jpeg = scene->jpegData(0.9);
    auto red = [](const graphics::Image::Ptr& image, int x, int y) {
        auto c = image->pixel(x, y);
        return c.r > 0.8 && c.b < 0.2;
    };

    for (auto held : {media::DeviceOrientation::LandscapeLeft, media::DeviceOrientation::FaceUp}) {
        EXPECT_EQ(PhotoCapViewController::rotationForOrientation(held), -90);
        auto shot = PhotoCapViewController::processShot(jpeg, held);
        ASSERT_TRUE(shot);
        ASSERT_EQ(shot->image->pixelWidth(), 640);
        ASSERT_EQ(shot->image->pixelHeight(), 480);
        // Turned a quarter anticlockwise: the red corner ends bottom left.
        EXPECT_TRUE(red(shot->image, 100, 400));
        EXPECT_FALSE(red(shot->image, 540, 100));
        EXPECT_EQ(graphics::Image::fromData(jpegOf(shot->contentdata))->pixelWidth(), 640);
    }
    auto right = PhotoCapViewController::processShot(jpeg, media::DeviceOrientation::LandscapeRight);
    ASSERT_TRUE(right);
    EXPECT_EQ(right->image->pixelWidth(), 640);
    EXPECT_TRUE(red(right->image, 540, 100));

    for (auto held : {media::DeviceOrientation::Portrait, media::DeviceOrientation::Unknown,
                      media::DeviceOrientation::FaceDown}) {
        EXPECT_EQ(PhotoCapViewController::rotationForOrientation(held), 0);
        auto shot = PhotoCapViewController::processShot(jpeg, held);
        ASSERT_TRUE(shot);
        EXPECT_EQ(shot->image->pixelWidth(), 480);
        EXPECT_EQ(shot->image->pixelHeight(), 640);
        EXPECT_TRUE(red(shot->image, 10, 300));  // not turned: red stays on the left
    }
    auto upsideDown = PhotoCapViewController::processShot(jpeg, media::DeviceOrientation::PortraitUpsideDown);
    ASSERT_TRUE(upsideDown);
    EXPECT_EQ(upsideDown->image->pixelHeight(), 640);
    EXPECT_TRUE(red(upsideDown->image, 470, 330));

    EXPECT_FALSE(PhotoCapViewController::processShot("not a picture", media::DeviceOrientation::Portrait));

    // Through the camera: the phone held landscape left gives a landscape hand-back.
    open(2, 0);
    media::Device::current().setOrientation(media::DeviceOrientation::LandscapeLeft);
    shoot();
    ASSERT_EQ(handBacks->count(), 1u);
    auto handed = graphics::Image::fromData(jpegOf(handBacks->all()[0]));
    ASSERT_NE(handed, nullptr);
    EXPECT_EQ(handed->pixelWidth(), 640);
    EXPECT_EQ(handed->pixelHeight(), 480);
}

TEST_F(PhotoCapTest, FlashCyclesOffOnAutoOffWithItsIcons) {
    open(5, 0);
    auto device = media::CaptureDevice::defaultDeviceWithMediaType(media::MediaType::Video);
    ASSERT_NE(device, nullptr);
    auto flash = PhotoCapTestAPI(camera).flashButton();
    EXPECT_EQ(device->flashMode(), media::FlashMode::Off);  // auto from the set-up, one step on
    EXPECT_EQ(flash->currentImage()->name(), "flashing_off");
    std::vector<std::pair<media::FlashMode, std::string>> expected = {
        {media::FlashMode::On, "flashing_on.png"},
        {media::FlashMode::Auto, "flashing_auto.png"},
        {media::FlashMode::Off, "flashing_off.png"}};
    for (const auto& [mode, icon] : expected) {
        tapView(flash);
        EXPECT_EQ(device->flashMode(), mode);
        EXPECT_EQ(flash->currentImage()->name(), icon);
    }
    EXPECT_FALSE(device->isLocked());
    EXPECT_TRUE(ui::AlertView::visibleAlerts().empty());
}

TEST_F(PhotoCapTest, PhoneWithoutFlashIsToldAtOpeningAndAtEachPress) {
    auto sim = media::cameraSimulation();
    sim.flash = false;
    media::setCameraSimulation(sim);
    open(5, 0);
    EXPECT_EQ(alertTexts(), std::vector<std::string>{"提示信息/您的设备没有闪光灯功能"});
    EXPECT_EQ(ui::AlertView::visibleAlerts()[0]->buttonTitles(), std::vector<std::string>{"噢T_T"});
    ui::AlertView::resetAll();
    tapView(PhotoCapTestAPI(camera).flashButton());
    EXPECT_EQ(alertTexts(), std::vector<std::string>{"提示信息/您的设备没有闪光灯功能"});
    ui::AlertView::resetAll();
    shoot();  // the camera itself still works
    EXPECT_EQ(handBacks->count(), 1u);
}

TEST_F(PhotoCapTest, PhoneWithoutCaptureDevicesIsToldAndTakesNothing) {
    auto sim = media::cameraSimulation();
    sim.deviceClassPresent = false;
    media::setCameraSimulation(sim);
    open(5, 0);
    EXPECT_EQ(alertTexts(), std::vector<std::string>{"提示信息/您的设备没有拍照功能"});
    EXPECT_EQ(ui::AlertView::visibleAlerts()[0]->buttonTitles(), std::vector<std::string>{"确定"});
    EXPECT_EQ(PhotoCapTestAPI(camera).videoInput(), nullptr);
    EXPECT_FALSE(PhotoCapTestAPI(camera).previewLayer()->isShowingPicture());
    ui::AlertView::resetAll();
    shoot();
    tapCamera({200, 100});
    settle();
    EXPECT_EQ(handBacks->count(), 0u);
    EXPECT_TRUE(shutterOn());
    EXPECT_EQ(camera->k(), 0);
    EXPECT_EQ(PhotoCapTestAPI(camera).focusImageView()->alpha(), 1);  // the marker still answers the finger
}

TEST_F(PhotoCapTest, PhoneWithoutCameraIsToldAndNothingIsDereferenced) {
    auto sim = media::cameraSimulation();
    sim.backCamera = false;
    sim.frontCamera = false;
    media::setCameraSimulation(sim);
    open(5, 0);
    EXPECT_EQ(alertTexts(), std::vector<std::string>{"提示信息/您的设备没有拍照功能"});
    ui::AlertView::resetAll();
    shoot();
    tapView(PhotoCapTestAPI(camera).flashButton());
    EXPECT_EQ(handBacks->count(), 0u);
    EXPECT_EQ(alertTexts(), std::vector<std::string>{"提示信息/您的设备没有拍照功能"});
}

TEST_F(PhotoCapTest, CaptureWithoutPictureLeavesTheSameStepOpenAndSaysSo) {
    open(3, 0);
    auto sim = media::cameraSimulation();
    sim.captureDeliversNoData = true;
    media::setCameraSimulation(sim);
    tapView(PhotoCapTestAPI(camera).shutterButton());
    settle();
    ASSERT_NE(ProgressHUD::current(), nullptr);
    EXPECT_TRUE(ProgressHUD::current()->isError());
    EXPECT_EQ(ProgressHUD::current()->text(), PhotoCapViewController::kShotFailedText);
    EXPECT_TRUE(shutterOn());
    EXPECT_FALSE(PhotoCapTestAPI(camera).isShotPending());
    advance(2);
    EXPECT_EQ(camera->k(), 0);
    EXPECT_EQ(handBacks->count(), 0u);
    EXPECT_EQ(albumPhotos(), 0);

    sim.captureDeliversNoData = false;
    media::setCameraSimulation(sim);
    shoot();
    EXPECT_EQ(camera->k(), 1);
    EXPECT_EQ(handBacks->count(), 1u);
}

TEST_F(PhotoCapTest, CaptureThatNeverAnswersGivesTheShutterBackAfterTenSecondsOnTheSameStepAndSaysSo) {
    open(3, 0);
    shoot();
    ASSERT_EQ(camera->k(), 1);
    media::CaptureStillImageOutput::holdCaptures(true);
    ASSERT_TRUE(tapView(PhotoCapTestAPI(camera).shutterButton()));
    settle();
    EXPECT_EQ(media::CaptureStillImageOutput::heldCaptureCount(), 1u);
    advance(PhotoCapViewController::kCaptureTimeout - 0.1);
    settle();
    EXPECT_FALSE(shutterOn());
    EXPECT_TRUE(PhotoCapTestAPI(camera).isShotPending());
    EXPECT_EQ(ProgressHUD::current(), nullptr);
    advance(0.1);
    settle();
    ASSERT_NE(ProgressHUD::current(), nullptr);
    EXPECT_EQ(ProgressHUD::current()->text(), PhotoCapViewController::kShotFailedText);
    EXPECT_TRUE(shutterOn());
    EXPECT_FALSE(PhotoCapTestAPI(camera).isShotPending());
    EXPECT_EQ(camera->k(), 1);
    EXPECT_EQ(PhotoCapTestAPI(camera).topLabel()->text(), "第2步");

    // The camera answers at last: the attempt was given up, the answer changes nothing.
    media::CaptureStillImageOutput::holdCaptures(false);
    media::CaptureStillImageOutput::deliverHeldCaptures();
    ASSERT_TRUE(runUntil([] { return media::CameraScene::shared().shotsTaken() == 2; }, 10));
    settle();
    advance(2);
    settle();
    EXPECT_EQ(camera->k(), 1);
    EXPECT_EQ(handBacks->count(), 1u);
    EXPECT_EQ(albumPhotos(), 1);

    // The same step is shot again as usual, and a time-out of an answered shot changes nothing.
    shoot();
    EXPECT_EQ(camera->k(), 2);
    EXPECT_EQ(handBacks->count(), 2u);
    advance(PhotoCapViewController::kCaptureTimeout);
    settle();
    EXPECT_EQ(camera->k(), 2);
    EXPECT_TRUE(shutterOn());
}

TEST_F(PhotoCapTest, TapOnThePreviewFocusesThereAndTheStripDoesNot) {
    open(5, 0);
    auto device = PhotoCapTestAPI(camera).videoInput()->device();
    auto marker = PhotoCapTestAPI(camera).focusImageView();

    tapCamera({530, 100});  // the control strip, between the flash and the shutter
    settle();
    EXPECT_EQ(marker->alpha(), 0);
    EXPECT_EQ(device->focusMode(), media::FocusMode::ContinuousAutoFocus);
    EXPECT_EQ(device->focusPointOfInterest(), (Point{0.5, 0.5}));
    tapCamera({560, 210});  // between the shutter and "退出"
    settle();
    EXPECT_EQ(marker->alpha(), 0);
    EXPECT_EQ(device->focusMode(), media::FocusMode::ContinuousAutoFocus);

    Point tapped{200, 100};
    tapCamera(tapped);
    EXPECT_EQ(PhotoCapTestAPI(camera).currTouchPoint(), tapped);
    EXPECT_EQ(marker->center(), tapped);
    EXPECT_EQ(marker->alpha(), 1);
    settle();
    Point expected = PhotoCapViewController::pointOfInterest(PhotoCapTestAPI(camera).previewLayer()->bounds().size,
                                                             PhotoCapTestAPI(camera).videoInput()->cleanApertureSize(), tapped);
    EXPECT_EQ(device->focusMode(), media::FocusMode::AutoFocus);
    EXPECT_EQ(device->focusPointOfInterest(), expected);
    EXPECT_EQ(device->exposureMode(), media::ExposureMode::ContinuousAutoExposure);
    EXPECT_EQ(device->exposurePointOfInterest(), expected);
    EXPECT_TRUE(device->isSubjectAreaChangeMonitoringEnabled());
    EXPECT_FALSE(device->isLocked());
    advance(0.3);
    advance(1.0);
    EXPECT_EQ(marker->alpha(), 0);
}

TEST_F(PhotoCapTest, PointOfInterestForTheAspectFillPreview) {
    // A preview wider than the aperture: the picture is cropped top and bottom.
    Point p = PhotoCapViewController::pointOfInterest({503, 320}, {1280, 960}, {100, 160});
    double y2 = 1280 * (503.0 / 960);
    EXPECT_DOUBLE_EQ(p.x, (160 + (y2 - 320) / 2) / y2);
    EXPECT_DOUBLE_EQ(p.y, (503.0 - 100) / 503);
    // A preview narrower than the aperture.
    p = PhotoCapViewController::pointOfInterest({300, 400}, {1280, 960}, {150, 200});
    double x2 = 960 * (400.0 / 1280);
    EXPECT_DOUBLE_EQ(p.x, 0.5);
    EXPECT_DOUBLE_EQ(p.y, 1 - (150 + (x2 - 300) / 2) / x2);
    // Degenerate sizes give the centre.
    for (auto [frame, aperture] : {std::pair<graphics::Size, graphics::Size>{{0, 320}, {1280, 960}},
                                   {{503, 0}, {1280, 960}},
                                   {{503, 320}, {0, 960}},
                                   {{503, 320}, {1280, 0}},
                                   {{-5, 320}, {1280, 960}},
                                   {{503, 320}, {std::nan(""), 960}}}) {
        EXPECT_EQ(PhotoCapViewController::pointOfInterest(frame, aperture, {10, 10}), (Point{0.5, 0.5}));
    }
}

TEST_F(PhotoCapTest, AbortSheetCancelsOrReturnsToTheAccidentKindScreen) {
    open(5, 0);
    tapView(buttonTitled("返回"));
    auto sheets = ui::ActionSheet::visibleSheets();
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0]->title(), "您确认放弃采集事故现场影像吗?");
    EXPECT_EQ(sheets[0]->buttonTitles(), (std::vector<std::string>{"确定", "取消"}));
    sheets[0]->clickButtonAtIndex(sheets[0]->indexOfButtonWithTitle("取消"));
    EXPECT_EQ(navigation->topViewController(), camera);
    shoot();
    EXPECT_EQ(camera->k(), 1);

    // A shot taken, then "确定" before its step advance: back on the accident-kind screen and
    // nothing of the capture runs any more.
    tapView(PhotoCapTestAPI(camera).shutterButton());
    settle();
    EXPECT_EQ(handBacks->count(), 2u);
    tapView(buttonTitled("返回"));
    ui::ActionSheet::visibleSheets()[0]->clickButtonAtIndex(0);
    navigation->finishTransition();
    EXPECT_EQ(navigation->topViewController(), accidentKind);
    EXPECT_FALSE(navigation->isNavigationBarHidden());
    EXPECT_FALSE(ui::Application::shared().isStatusBarHidden());
    EXPECT_FALSE(PhotoCapTestAPI(camera).session()->isRunning());
    advance(2);
    settle();
    EXPECT_EQ(camera->k(), 1);
    EXPECT_EQ(endActions, 0);
}

TEST_F(PhotoCapTest, ReturnWithoutAccidentKindScreenDoesNothingAndQuitGoesHome) {
    open(1, 1, /*withAccidentKind=*/false);
    tapView(buttonTitled("返回"));
    ui::ActionSheet::visibleSheets()[0]->clickButtonAtIndex(0);
    navigation->finishTransition();
    EXPECT_EQ(navigation->topViewController(), camera);
    EXPECT_TRUE(ui::ActionSheet::visibleSheets().empty());
    // The capture goes on as before.
    tapView(PhotoCapTestAPI(camera).shutterButton());
    settle();
    EXPECT_EQ(handBacks->count(), 1u);

    // "退出" with the last shot's step advance pending: home, and no question ever comes.
    tapView(buttonTitled("退出"));
    auto sheet = ui::ActionSheet::visibleSheets().at(0);
    sheet->clickButtonAtIndex(sheet->indexOfButtonWithTitle("确定"));
    navigation->finishTransition();
    EXPECT_EQ(navigation->topViewController(), home);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    advance(2);
    settle();
    EXPECT_EQ(PhotoCapTestAPI(camera).extraCarAlert(), nullptr);
    EXPECT_EQ(endActions, 0);
}

TEST_F(PhotoCapTest, GivingUpWhileTheExtraCarQuestionIsUpTakesTheQuestionAway) {
    open(1, 1);
    shoot();
    auto question = PhotoCapTestAPI(camera).extraCarAlert();
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(question->isShown());
    camera->backBtnClick();
    ui::ActionSheet::visibleSheets().at(0)->clickButtonAtIndex(0);
    navigation->finishTransition();
    EXPECT_EQ(navigation->topViewController(), accidentKind);
    EXPECT_FALSE(question->isShown());
    EXPECT_EQ(PhotoCapTestAPI(camera).extraCarAlert(), nullptr);
    // Its buttons, should anybody still press them, change nothing.
    TwoButtonAlertViewTestAPI::leftButton(*question)->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    TwoButtonAlertViewTestAPI::rightButton(*question)->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    settle();
    EXPECT_EQ(camera->k(), 0);
    EXPECT_EQ(camera->images().size(), 1u);
    EXPECT_EQ(endActions, 0);
}

TEST_F(PhotoCapTest, PracticeCaptureWithoutReceiverStillSavesEveryShot) {
    open(2, 0, true, /*withReceiver=*/false);
    shoot();
    shoot();
    EXPECT_EQ(endActions, 1);
    EXPECT_EQ(handBacks->count(), 0u);
    EXPECT_EQ(albumPhotos(), 2);
}

TEST_F(PhotoCapTest, SingleCarWithoutEndActionKeepsTheShutterOpen) {
    home = std::make_shared<NamedTestScreen>("HomeViewController");
    navigation = std::make_shared<CustomNavigationController>(home);
    window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
    window->setRootViewController(navigation);
    window->makeKeyAndVisible();
    camera = std::make_shared<PhotoCapViewController>(steps(1), true);
    navigation->pushViewController(camera, false);
    drain();
    shoot();
    EXPECT_TRUE(shutterOn());
    EXPECT_EQ(camera->k(), 0);
}

TEST_F(PhotoCapTest, LayoutIsLandscapeOverThePortraitScreen) {
    ProgressHUD::showMessage("正在加载...");
    open(5, 0);
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    auto root = camera->view();
    EXPECT_EQ(root->bounds().size, (graphics::Size{568, 320}));
    EXPECT_NEAR(root->frame().x(), 0, 1e-9);
    EXPECT_NEAR(root->frame().y(), 0, 1e-9);
    EXPECT_NEAR(root->frame().width(), 320, 1e-9);
    EXPECT_NEAR(root->frame().height(), 568, 1e-9);
    EXPECT_EQ(PhotoCapTestAPI(camera).previewLayer()->frame(), (graphics::Rect{0, 0, 503, 320}));
    EXPECT_EQ(PhotoCapTestAPI(camera).previewLayer()->videoGravity(), media::VideoGravity::ResizeAspectFill);
    EXPECT_EQ(PhotoCapTestAPI(camera).previewLayer()->connection()->videoOrientation(), media::VideoOrientation::LandscapeRight);
    EXPECT_TRUE(PhotoCapTestAPI(camera).previewLayer()->isShowingPicture());
    EXPECT_EQ(PhotoCapTestAPI(camera).bottomContainerView()->frame(), (graphics::Rect{503, 0, 65, 320}));
    EXPECT_EQ(PhotoCapTestAPI(camera).shutterButton()->frame(), (graphics::Rect{5, 130, 60, 60}));
    EXPECT_EQ(PhotoCapTestAPI(camera).backImageView()->frame(), (graphics::Rect{76.5, 60, 350, 200}));
    EXPECT_EQ(buttonTitled("退出")->frame(), (graphics::Rect{0, 226, 70, 44}));
    EXPECT_EQ(buttonTitled("返回")->frame(), (graphics::Rect{0, 270, 70, 44}));
    EXPECT_EQ(camera->supportedInterfaceOrientations(), ui::InterfaceOrientations::Landscape);
    EXPECT_FALSE(camera->shouldAutorotate());
    EXPECT_EQ(camera->preferredInterfaceOrientationForPresentation(), ui::InterfaceOrientation::LandscapeRight);
    // The shutter is where a finger finds it on the portrait screen.
    EXPECT_TRUE(tapView(PhotoCapTestAPI(camera).shutterButton()));
}

}  // namespace

namespace {

class PhotoCapEdgeTest : public CameraTest {};

TEST_F(PhotoCapEdgeTest, RefusedConfigurationLockOnlyAnimatesTheMarker) {
    auto sim = media::cameraSimulation();
    sim.lockFails = true;
    media::setCameraSimulation(sim);
    open(5, 0);
    auto device = PhotoCapTestAPI(camera).videoInput()->device();
    tapView(PhotoCapTestAPI(camera).flashButton());
    EXPECT_EQ(PhotoCapTestAPI(camera).flashButton()->currentImage()->name(), "flashing_off");
    camera->view()->window()->tap(camera->view()->convertPointToView(graphics::Point{200, 100}, nullptr));
    settle();
    EXPECT_EQ(PhotoCapTestAPI(camera).focusImageView()->alpha(), 1);
    EXPECT_EQ(device->focusMode(), media::FocusMode::ContinuousAutoFocus);
    EXPECT_EQ(device->focusPointOfInterest(), (graphics::Point{0.5, 0.5}));
    shoot();  // shots do not need the lock
    EXPECT_EQ(handBacks->count(), 1u);
}

TEST_F(PhotoCapEdgeTest, CameraGoneWithAShotInFlightLeavesNothingBehind) {
    open(3, 1);
    tapView(PhotoCapTestAPI(camera).shutterButton());
    std::weak_ptr<PhotoCapViewController> weak = camera;
    navigation->popViewController(false);
    camera.reset();
    settle();
    advance(2);
    settle();
    EXPECT_TRUE(weak.expired());
    EXPECT_LE(handBacks->count(), 1u);
    EXPECT_EQ(endActions, 0);
}

}  // namespace
