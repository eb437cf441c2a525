#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "core/BaseViewController.h"
#include "platform/foundation/Dispatch.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"
#include "platform/media/CaptureDevice.h"
#include "platform/media/CaptureDeviceInput.h"
#include "platform/media/CaptureSession.h"
#include "platform/media/CaptureStillImageOutput.h"
#include "platform/media/CaptureVideoPreviewLayer.h"
#include "platform/media/DeviceOrientation.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

class TwoButtonAlertView;

// The full-screen guided evidence camera. It walks the driver through a list of shots: for
// each step an outline picture and two prompt lines lie over the live picture of the back
// camera. Every shot is turned upright, reduced to 640 x 480 or 480 x 640, compressed towards
// 200 KB, copied into the album "Brenvik" and handed to the opener as escaped Base64 text.
//
// Opening (on the main thread):
//   auto camera = std::make_shared<PhotoCapViewController>(steps, true);
//   camera->setCarType(0);                          // 0: single car; other: two or more cars
//   camera->setViewControllerBlock([weakOpener] { ... push the next screen ... });
//   camera->setSavePhotoBlock([weakOpener](const std::string& contentdata) { ... upload ... });
//   navigationController->pushViewController(camera, true);
//
// `steps` is a JSON array of step records {"title", "image" (outline picture), "detail"}; it
// should hold at least one step (an empty list shows no prompt and its first shot ends the
// capture as a last step would).
//
// savePhotoBlock: called once per shot, in step order, on one serial background queue (never
// the main thread): the receiver does its own main-thread work. Not called when unset. The
// camera shows a shot as taken (the next step) only once the block has returned and the work
// it posted to the main queue meanwhile has run: the receiver stores the shot durably there, so
// that a shot the driver saw taken survives a kill.
//
// From the shutter until the next step shows, the picture stands still on the one the shot
// took, so the picture, the prompt and the outline always show the same step (under the
// extra-car question and after the last shot too).
// viewControllerBlock: called on the main thread, once, after the last step of a single-car
// case, or when the driver answers "否" to the extra-car question of a multi-car case. The
// camera stays on the stack; the block pushes the next screen over it.
//
// "返回" / "退出" ask "您确认放弃采集事故现场影像吗?"; "确定" cancels the pending step advance and
// the extra-car question, drops shots still being processed, then pops to the accident-kind
// screen ("返回", only when `accidentKindScreen` gives one that is on the stack) or to the root
// ("退出").
class PhotoCapViewController : public BaseViewController, public ui::ActionSheetDelegate {
public:
    using SavePhotoBlock = std::function<void(const std::string& shot)>;
    using ViewControllerBlock = std::function<void()>;

    // initWithImageArray:circle: (the flag has no effect).
    PhotoCapViewController(nlohmann::json imageArray, bool circle);
    ~PhotoCapViewController() override;
    std::string className() const override { return "PhotoCapViewController"; }

    void setCarType(std::int64_t carType) { carType_ = carType; }
    std::int64_t carType() const { return carType_; }
    void setSavePhotoBlock(SavePhotoBlock block);
    void setViewControllerBlock(ViewControllerBlock block) { viewControllerBlock_ = std::move(block); }
    // When set, a finished capture offers its end action again under this title, in place of
    // the shutter: an end action that could not move the driver on (a report that did not go
    // through) can always be tried again from the camera.
    void setEndAgainTitle(std::string title) { endAgainTitle_ = std::move(title); }

    // The step list and the index of the step shown.
    const nlohmann::json& images() const { return images_; }
    std::int64_t k() const { return k_; }

    // The five steps of each extra car.
    static nlohmann::json extraCarImageArray();
    // The accident-kind screen that "返回" goes back to, as the opener knows it (null or not on
    // the stack: "返回" does nothing and the capture goes on).
    std::function<std::shared_ptr<ui::ViewController>()> accidentKindScreen;
    // The album every shot is copied into.
    static constexpr const char* kAlbumName = "Brenvik";
    // A capture that has not answered after this long is given up: the shutter works again on
    // the same step (a late answer is then dropped).
    static constexpr double kCaptureTimeout = 10.0;
    // Said when a capture gives no picture (none delivered, unreadable, or timed out), so that
    // the driver knows the step was not taken.
    static constexpr const char* kShotFailedText = "未能拍到照片,请重新拍摄";

    // Screen life.
    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void touchesBegan(const ui::Touches& touches) override;
    bool shouldAutorotate() const override { return false; }
    ui::InterfaceOrientationMask supportedInterfaceOrientations() const override {
        return ui::InterfaceOrientations::Landscape;
    }
    ui::InterfaceOrientation preferredInterfaceOrientationForPresentation() const override {
        return ui::InterfaceOrientation::LandscapeRight;
    }
    bool prefersStatusBarHidden() const override { return true; }

    // Actions of the controls.
    void takePictureBtnPressed(const std::shared_ptr<ui::Button>& sender);
    void flashBtnPressed(const std::shared_ptr<ui::Button>& sender);
    // Advances the flash mode off -> on -> auto -> off; a passed button shows the new icon.
    void switchFlashMode(const std::shared_ptr<ui::Button>& sender);
    void backBtnClick();
    void quitBtnClick();
    void didDismissWithButtonIndex(ui::ActionSheet& sheet, int buttonIndex) override;

    // Focus at a point of the root view; the point is converted for the aspect-fill preview.
    void focusInPoint(graphics::Point point);
    graphics::Point convertToPointOfInterestFromViewCoordinates(graphics::Point viewCoordinates) const;
    // The conversion itself: preview bounds size, clean aperture size, tapped point. Degenerate
    // sizes give the centre (0.5, 0.5).
    static graphics::Point pointOfInterest(graphics::Size frameSize, graphics::Size apertureSize,
                                           graphics::Point point);

    // Makes a custom button with the named images (empty names are skipped) that calls `action`
    // on touch-up-inside, adds it to `parentView` and returns it.
    std::shared_ptr<ui::Button> buildButton(graphics::Rect frame, const std::string& normalImgStr,
                                            const std::string& highlightImgStr, const std::string& selectedImgStr,
                                            std::function<void(const std::shared_ptr<ui::Button>&)> action,
                                            const std::shared_ptr<ui::View>& parentView);

    // The shot pipeline without the camera: the captured JPEG turned upright for the device
    // orientation, reduced to the target size (aspect fill, centred crop). Null when the bytes
    // do not decode. Bytes moved in are kept by the shot's image without a copy.
    struct ReducedShot {
        graphics::Image::Ptr image;   // 640 x 480 or 480 x 640 at scale 1
        std::string contentdata;      // escaped Base64 of the JPEG towards 200 KB
    };
    static std::optional<ReducedShot> processShot(std::string jpegData, media::DeviceOrientation orientation);
    // Degrees and target size of the orientation table.
    static double rotationForOrientation(media::DeviceOrientation orientation);
    static graphics::Size targetSizeForOrientation(media::DeviceOrientation orientation);

private:
    friend class PhotoCapTestAPI;

    struct Shared;  // what the capture and hand-back threads may still reach

    void createQueue();
    void addContainerView();
    void showStep();
    void initialSession();
    void setUpCameraLayer();
    void addbottomContainerView();
    void addCameraMenuView();
    void addFocusView();
    media::CaptureDevice::Ptr backCamera();
    static media::CaptureDevice::Ptr cameraWithPosition(media::CaptureDevicePosition position);
    media::CaptureConnection::Ptr findVideoConnection() const;
    void focusWithMode(media::FocusMode focusMode, media::ExposureMode exposureMode, graphics::Point point,
                       bool monitorSubjectAreaChange);
    void captured(const std::string& jpegData);
    // The picture stands still on what the lens shows now, until unfreeze().
    void freeze();
    void unfreeze();
    void stepAdvance();
    void askForExtraCar();
    void finishCapture();
    void abortCapture();
    void showActionSheet(int tag);

    nlohmann::json images_;
    std::int64_t k_ = 0;
    std::int64_t carType_ = 0;
    SavePhotoBlock savePhotoBlock_;
    ViewControllerBlock viewControllerBlock_;
    std::string endAgainTitle_;

    std::shared_ptr<Shared> shared_;
    std::shared_ptr<foundation::dispatch::Queue> sessionQueue_;
    media::CaptureSession::Ptr session_;
    media::CaptureDeviceInput::Ptr videoInput_;
    media::CaptureStillImageOutput::Ptr stillImageOutput_;
    media::CaptureVideoPreviewLayer::Ptr previewLayer_;

    std::shared_ptr<ui::View> backView_;
    std::shared_ptr<ui::ImageView> backImageView_;
    std::shared_ptr<ui::Label> topLabel_;
    std::shared_ptr<ui::Label> bomLabel_;
    std::shared_ptr<ui::View> bottomContainerView_;
    std::shared_ptr<ui::Button> shutterButton_;
    std::shared_ptr<ui::Button> flashButton_;
    std::shared_ptr<ui::Button> endAgainButton_;
    std::shared_ptr<ui::ImageView> focusImageView_;
    std::shared_ptr<ui::ImageView> freezeView_;
    graphics::Point currTouchPoint_;
    std::shared_ptr<TwoButtonAlertView> extraCarAlert_;
    std::shared_ptr<ui::ActionSheet> actionSheet_;
    bool shotPending_ = false;
    bool finished_ = false;
};
