#include "capture/camera/PhotoCapViewController.h"

#include <atomic>
#include <cmath>
#include <exception>

#include "capture/camera/SavePhotoTool.h"
#include "core/ImageCommon.h"
#include "core/ImageResize.h"
#include "hud/ProgressHUD.h"
#include "hud/TwoButtonAlertView.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/LocalizedStrings.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

using graphics::Point;
using graphics::Rect;
using graphics::Size;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kStripWidth = 65;
constexpr const char* kAbortQuestion = "您确认放弃采集事故现场影像吗?";

// The root view of the camera: turned a quarter turn, so that its own space is the landscape
// one (screen height wide, screen width high) while it covers the portrait screen. A frame
// given by a container is the box the turned view fills.
class QuarterTurnedView : public ui::View {
public:
    void setFrame(Rect frame) override {
        auto t = transform();
        if (std::fabs(t.a) < 1e-9 && std::fabs(t.d) < 1e-9) {
            setCenter({frame.midX(), frame.midY()});
            setBounds({0, 0, frame.height(), frame.width()});
        } else {
            ui::View::setFrame(frame);
        }
    }
};

// Every shot's hand-back goes through this one queue, so receivers get them in shot order.
std::shared_ptr<foundation::dispatch::Queue> handBackQueue() {
    static auto* queue = new std::shared_ptr<foundation::dispatch::Queue>(
        foundation::dispatch::serialQueue("photo hand-back"));
    return *queue;
}

nlohmann::json step(const char* title, const char* image) {
    return {{"title", title}, {"image", image}, {"detail", "请您在保证安全下拍摄"}};
}

std::string text(const nlohmann::json& record, const char* key) {
    if (!record.is_object()) return {};
    auto it = record.find(key);
    return it != record.end() && it->is_string() ? it->get<std::string>() : std::string();
}

void showSystemAlert(const std::string& title, const std::string& message, const std::string& button) {
    auto alert = std::make_shared<ui::AlertView>(title, message, std::weak_ptr<ui::AlertViewDelegate>(), button);
    alert->show();
}

}  // namespace

// What the capture and hand-back threads may reach after the screen has gone.
struct PhotoCapViewController::Shared {
    std::atomic<bool> aborted{false};
};

PhotoCapViewController::PhotoCapViewController(nlohmann::json imageArray, bool circle)
    : images_(std::move(imageArray)), shared_(std::make_shared<Shared>()) {
    (void)circle;
    if (!images_.is_array()) {
        foundation::log("PhotoCapViewController: the step list is not a list; no steps");
        images_ = nlohmann::json::array();
    }
    if (images_.empty()) foundation::log("PhotoCapViewController: no steps; the first shot ends the capture");
}

PhotoCapViewController::~PhotoCapViewController() { shared_->aborted = true; }

void PhotoCapViewController::setSavePhotoBlock(SavePhotoBlock block) { savePhotoBlock_ = std::move(block); }

nlohmann::json PhotoCapViewController::extraCarImageArray() {
    return nlohmann::json::array({
        step("请您从车辆(侧前方)拍摄全景照片\n(含车牌,道路标线)", "双车左前"),
        step("请您从车辆(侧后方)拍摄全景照片\n(含车牌,道路标线)", "双车右后"),
        step("请您拍摄车辆碰撞部位照片", "双车碰撞"),
        step("请您拍摄车辆行驶证", "行驶证"),
        step("请您拍摄当事人驾驶证", "驾驶证"),
    });
}

// ---- set-up ----

void PhotoCapViewController::loadView() {
    auto root = std::make_shared<QuarterTurnedView>();
    root->setBackgroundColor(graphics::Color::black());
    root->setTransform(graphics::AffineTransform::rotation(kPi / 2));
    root->setFrame(ui::Screen::mainScreen().bounds());
    setView(root);
}

void PhotoCapViewController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    ui::Application::shared().setStatusBarHidden(true);

    createQueue();
    addContainerView();
    initialSession();
    setUpCameraLayer();
    addbottomContainerView();
    addCameraMenuView();
    addFocusView();
    switchFlashMode(nullptr);
}

void PhotoCapViewController::createQueue() { sessionQueue_ = foundation::dispatch::serialQueue("session queue"); }

void PhotoCapViewController::addContainerView() {
    Size land = view()->bounds().size;  // H wide, W high
    backView_ = std::make_shared<ui::View>(Rect(0, 0, land.width - kStripWidth, land.height));
    backView_->setBackgroundColor(graphics::Color::clear());
    backView_->setOpaque(false);
    view()->addSubview(backView_);

    auto makeLabel = [&] {
        auto label = std::make_shared<ui::Label>();
        label->setTextColor(graphics::Color::rgba(0, 1, 0));
        label->setFont(graphics::Font::systemFont(18));
        label->setTextAlignment(ui::TextAlignment::Center);
        label->setNumberOfLines(0);
        label->setLineBreakMode(ui::LineBreakMode::CharWrapping);
        // A dark band under the green captions: they read on a light picture as on a dark one.
        label->setBackgroundColor(graphics::Color::black().withAlpha(0.65));
        label->layer().cornerRadius = 4;
        backView_->addSubview(label);
        return label;
    };
    topLabel_ = makeLabel();
    backImageView_ = std::make_shared<ui::ImageView>(Rect((backView_->bounds().width() - 350) / 2,
                                                          (backView_->bounds().height() - 200) / 2, 350, 200));
    backImageView_->setContentMode(ui::ContentMode::ScaleToFill);
    backImageView_->setClipsToBounds(true);
    backView_->addSubview(backImageView_);
    bomLabel_ = makeLabel();
    bomLabel_->setFrame({20, backView_->bounds().height() - 20 - 35, backView_->bounds().width() - 40, 35});
    showStep();
}

void PhotoCapViewController::showStep() {
    if (!backView_) return;
    nlohmann::json record = k_ >= 0 && static_cast<size_t>(k_) < images_.size() ? images_[k_] : nlohmann::json();
    std::string outline = text(record, "image");
    backImageView_->setImage(outline.empty() ? nullptr : graphics::Image::named(outline));
    topLabel_->setText(text(record, "title"));
    bomLabel_->setText(text(record, "detail"));
    double width = backView_->bounds().width() - 40;
    Size fit = topLabel_->sizeThatFits({width, 1e6});
    topLabel_->setFrame({20, 20, width, std::ceil(fit.height)});
}

media::CaptureDevice::Ptr PhotoCapViewController::cameraWithPosition(media::CaptureDevicePosition position) {
    for (const auto& device : media::CaptureDevice::devicesWithMediaType(media::MediaType::Video)) {
        if (device && device->position() == position) return device;
    }
    return nullptr;
}

media::CaptureDevice::Ptr PhotoCapViewController::backCamera() {
    auto device = cameraWithPosition(media::CaptureDevicePosition::Back);
    if (device && device->lockForConfiguration()) {
        if (device->isFlashModeSupported(media::FlashMode::Auto)) device->setFlashMode(media::FlashMode::Auto);
        if (device->isFocusModeSupported(media::FocusMode::ContinuousAutoFocus))
            device->setFocusMode(media::FocusMode::ContinuousAutoFocus);
        device->unlockForConfiguration();
    }
    return device;
}

void PhotoCapViewController::initialSession() {
    session_ = media::CaptureSession::make();
    media::Error error;
    videoInput_ = media::CaptureDeviceInput::deviceInputWithDevice(backCamera(), &error);
    stillImageOutput_ = media::CaptureStillImageOutput::make();
    stillImageOutput_->setOutputSettings({{media::kVideoCodecKey, media::kVideoCodecJPEG}});
    if (videoInput_ && session_->canAddInput(videoInput_)) session_->addInput(videoInput_);
    if (session_->canAddOutput(stillImageOutput_)) session_->addOutput(stillImageOutput_);
}

void PhotoCapViewController::setUpCameraLayer() {
    if (previewLayer_ || !session_) return;
    Size land = view()->bounds().size;
    previewLayer_ = media::CaptureVideoPreviewLayer::layerWithSession(session_);
    previewLayer_->setVideoGravity(media::VideoGravity::ResizeAspectFill);
    previewLayer_->setFrame({0, 0, land.width - kStripWidth, land.height});
    previewLayer_->connection()->setVideoOrientation(media::VideoOrientation::LandscapeRight);
    previewLayer_->insertIntoView(view(), 0);
}

void PhotoCapViewController::addbottomContainerView() {
    Size land = view()->bounds().size;
    bottomContainerView_ = std::make_shared<ui::View>(Rect(land.width - kStripWidth, 0, kStripWidth, land.height));
    bottomContainerView_->setBackgroundColor(graphics::Color::clear());
    bottomContainerView_->setOpaque(false);
    view()->addSubview(bottomContainerView_);
}

std::shared_ptr<ui::Button> PhotoCapViewController::buildButton(
    Rect frame, const std::string& normalImgStr, const std::string& highlightImgStr, const std::string& selectedImgStr,
    std::function<void(const std::shared_ptr<ui::Button>&)> action, const std::shared_ptr<ui::View>& parentView) {
    auto button = std::make_shared<ui::Button>(ui::ButtonType::Custom, frame);
    if (!normalImgStr.empty()) button->setImage(graphics::Image::named(normalImgStr), ui::ControlStates::Normal);
    if (!highlightImgStr.empty())
        button->setImage(graphics::Image::named(highlightImgStr), ui::ControlStates::Highlighted);
    if (!selectedImgStr.empty()) button->setImage(graphics::Image::named(selectedImgStr), ui::ControlStates::Selected);
    std::weak_ptr<ui::Button> weakButton = button;
    button->addTarget(
        [action, weakButton] {
            if (auto b = weakButton.lock(); b && action) action(b);
        },
        ui::ControlEvent::TouchUpInside, this);
    if (parentView) parentView->addSubview(button);
    return button;
}

void PhotoCapViewController::addCameraMenuView() {
    double W = view()->bounds().height();
    shutterButton_ =
        buildButton({5, (W - 60) / 2, 60, 60}, "拍照按钮.png", "拍照按钮-按下.png", "",
                    foundation::weakBind(this, &PhotoCapViewController::takePictureBtnPressed), bottomContainerView_);
    flashButton_ =
        buildButton({(kStripWidth - 44) / 2, 0, 44, 44}, "flashing_off", "", "",
                    foundation::weakBind(this, &PhotoCapViewController::flashBtnPressed), bottomContainerView_);
    auto textButton = [&](const char* title, double y, std::function<void(PhotoCapViewController&)> act) {
        auto button = std::make_shared<ui::Button>(ui::ButtonType::Custom, Rect(0, y, 70, 44));
        button->setTitle(title);
        button->setTitleColor(graphics::Color::white());
        button->titleLabel()->setFont(graphics::Font::systemFont(16));
        button->addTarget(foundation::weakBind(this, [act](const auto& self) { act(*self); }),
                          ui::ControlEvent::TouchUpInside, this);
        bottomContainerView_->addSubview(button);
    };
    textButton("退出", 226, [](PhotoCapViewController& s) { s.quitBtnClick(); });
    textButton("返回", 270, [](PhotoCapViewController& s) { s.backBtnClick(); });
}

void PhotoCapViewController::addFocusView() {
    auto image = graphics::Image::named("touch_focus_x.png");
    focusImageView_ = std::make_shared<ui::ImageView>(Rect(0, 0, 80, 80));
    if (image) {
        focusImageView_->setImage(image);
        focusImageView_->setFrame({0, 0, image->size().width, image->size().height});
    }
    focusImageView_->setAlpha(0);
    view()->addSubview(focusImageView_);
}

// ---- appearance ----

void PhotoCapViewController::viewWillAppear(bool animated) {
    BaseViewController::viewWillAppear(animated);
    ProgressHUD::hideHUD();
    if (session_) session_->startRunning();
    if (auto nav = navigationController()) nav->setNavigationBarHidden(true, animated);
    setNeedsStatusBarAppearanceUpdate();
    ui::Application::shared().setStatusBarHidden(true);
}

void PhotoCapViewController::viewWillDisappear(bool animated) {
    BaseViewController::viewWillDisappear(animated);
    if (session_) session_->stopRunning();
    if (auto nav = navigationController()) nav->setNavigationBarHidden(false, animated);
    ui::Application::shared().setStatusBarHidden(false, ui::StatusBarAnimation::Fade);
}

// ---- flash ----

void PhotoCapViewController::flashBtnPressed(const std::shared_ptr<ui::Button>& sender) { switchFlashMode(sender); }

void PhotoCapViewController::switchFlashMode(const std::shared_ptr<ui::Button>& sender) {
    auto device = media::CaptureDevice::classAvailable()
                      ? media::CaptureDevice::defaultDeviceWithMediaType(media::MediaType::Video)
                      : nullptr;
    if (!device) {
        // No capture devices at all (or no camera among them).
        showSystemAlert("提示信息", "您的设备没有拍照功能", foundation::localizedString("Sure"));
        return;
    }
    if (!device->lockForConfiguration()) {
        foundation::log("PhotoCapViewController: the camera refused its configuration lock; flash unchanged");
        return;
    }
    if (device->hasFlash()) {
        const char* icon = nullptr;
        switch (device->flashMode()) {
            case media::FlashMode::Off:
                device->setFlashMode(media::FlashMode::On);
                icon = "flashing_on.png";
                break;
            case media::FlashMode::On:
                device->setFlashMode(media::FlashMode::Auto);
                icon = "flashing_auto.png";
                break;
            case media::FlashMode::Auto:
                device->setFlashMode(media::FlashMode::Off);
                icon = "flashing_off.png";
                break;
        }
        if (sender && icon) sender->setImage(graphics::Image::named(icon), ui::ControlStates::Normal);
    } else {
        showSystemAlert("提示信息", "您的设备没有闪光灯功能", "噢T_T");
    }
    device->unlockForConfiguration();
}

// ---- focus ----

void PhotoCapViewController::touchesBegan(const ui::Touches& touches) {
    if (touches.empty() || !touches.front() || !isViewLoaded()) return;
    currTouchPoint_ = touches.front()->locationInView(view().get());
    if (!previewLayer_ || !previewLayer_->frame().contains(currTouchPoint_)) return;
    focusInPoint(currTouchPoint_);
    auto marker = focusImageView_;
    marker->setCenter(currTouchPoint_);
    marker->setTransform(graphics::AffineTransform::scale(2, 2));
    ui::View::animate(
        0.3, 0, ui::AnimationOptionAllowUserInteraction,
        [marker] {
            marker->setAlpha(1);
            marker->setTransform(graphics::AffineTransform::identity());
        },
        [marker](bool) {
            ui::View::animate(0.5, 0.5, ui::AnimationOptionAllowUserInteraction, [marker] { marker->setAlpha(0); });
        });
}

void PhotoCapViewController::focusInPoint(Point point) {
    Point devicePoint = convertToPointOfInterestFromViewCoordinates(point);
    focusWithMode(media::FocusMode::AutoFocus, media::ExposureMode::ContinuousAutoExposure, devicePoint, true);
}

Point PhotoCapViewController::convertToPointOfInterestFromViewCoordinates(Point viewCoordinates) const {
    if (!previewLayer_ || !videoInput_) return {0.5, 0.5};
    bool hasVideoPort = false;
    for (const auto& port : videoInput_->ports()) hasVideoPort = hasVideoPort || port.mediaType == media::MediaType::Video;
    if (!hasVideoPort) return {0.5, 0.5};
    return pointOfInterest(previewLayer_->bounds().size, videoInput_->cleanApertureSize(), viewCoordinates);
}

Point PhotoCapViewController::pointOfInterest(Size frameSize, Size apertureSize, Point p) {
    double fw = frameSize.width, fh = frameSize.height;
    double aw = apertureSize.width, ah = apertureSize.height;
    auto usable = [](double v) { return std::isfinite(v) && v > 0; };
    if (!usable(fw) || !usable(fh) || !usable(aw) || !usable(ah) || !std::isfinite(p.x) || !std::isfinite(p.y))
        return {0.5, 0.5};
    double apertureRatio = ah / aw;
    double viewRatio = fw / fh;
    if (viewRatio > apertureRatio) {
        double y2 = aw * (fw / ah);
        return {(p.y + (y2 - fh) / 2) / y2, (fw - p.x) / fw};
    }
    double x2 = ah * (fh / aw);
    return {p.y / fh, 1 - (p.x + (x2 - fw) / 2) / x2};
}

void PhotoCapViewController::focusWithMode(media::FocusMode focusMode, media::ExposureMode exposureMode, Point point,
                                           bool monitorSubjectAreaChange) {
    auto device = videoInput_ ? videoInput_->device() : nullptr;
    if (!device || !sessionQueue_) return;
    sessionQueue_->async([device, focusMode, exposureMode, point, monitorSubjectAreaChange] {
        if (!device->lockForConfiguration()) return;
        if (device->isFocusPointOfInterestSupported() && device->isFocusModeSupported(focusMode)) {
            device->setFocusMode(focusMode);
            device->setFocusPointOfInterest(point);
        }
        if (device->isExposurePointOfInterestSupported() && device->isExposureModeSupported(exposureMode)) {
            device->setExposureMode(exposureMode);
            device->setExposurePointOfInterest(point);
        }
        device->setSubjectAreaChangeMonitoringEnabled(monitorSubjectAreaChange);
        device->unlockForConfiguration();
    });
}

// ---- shot pipeline ----

double PhotoCapViewController::rotationForOrientation(media::DeviceOrientation orientation) {
    switch (orientation) {
        case media::DeviceOrientation::PortraitUpsideDown: return 180;
        case media::DeviceOrientation::LandscapeLeft: return -90;
        case media::DeviceOrientation::LandscapeRight: return 90;
        case media::DeviceOrientation::FaceUp: return -90;
        default: return 0;
    }
}

Size PhotoCapViewController::targetSizeForOrientation(media::DeviceOrientation orientation) {
    switch (orientation) {
        case media::DeviceOrientation::LandscapeLeft:
        case media::DeviceOrientation::LandscapeRight:
        case media::DeviceOrientation::FaceUp: return {640, 480};
        default: return {480, 640};
    }
}

std::optional<PhotoCapViewController::ReducedShot> PhotoCapViewController::processShot(
    std::string jpegData, media::DeviceOrientation orientation) {
    try {
        auto image = graphics::Image::fromData(std::move(jpegData));
        if (!image) return std::nullopt;
        auto upright = ImageResize::resizedImageWithContentMode(image, ImageResize::kContentModeScaleAspectFill,
                                                                image->size(), ImageResize::kInterpolationHigh);
        auto turned = ImageResize::rotatedByDegrees(upright, rotationForOrientation(orientation));
        auto reduced = ImageCommon::imageCompressForSize(turned, targetSizeForOrientation(orientation));
        if (!reduced) return std::nullopt;
        return ReducedShot{reduced, ImageResize::compressionWithSize(reduced, 200)};
    } catch (const std::exception& e) {
        foundation::log(std::string("PhotoCapViewController: the shot could not be processed: ") + e.what());
        return std::nullopt;
    }
}

media::CaptureConnection::Ptr PhotoCapViewController::findVideoConnection() const {
    if (!stillImageOutput_) return nullptr;
    for (const auto& connection : stillImageOutput_->connections()) {
        if (connection && connection->hasPort(media::MediaType::Video)) return connection;
    }
    return nullptr;
}

void PhotoCapViewController::takePictureBtnPressed(const std::shared_ptr<ui::Button>& sender) {
    (void)sender;
    // One shot at a time, none after the end and none while the extra-car question is up.
    if (shotPending_ || finished_ || extraCarAlert_ || shared_->aborted) return;
    auto connection = findVideoConnection();
    if (!connection) return;
    connection->setVideoScaleAndCropFactor(1.0);
    shotPending_ = true;
    freeze();
    if (shutterButton_) shutterButton_->setUserInteractionEnabled(false);

    std::weak_ptr<PhotoCapViewController> weak = sharedAs<PhotoCapViewController>();
    auto shared = shared_;
    auto block = savePhotoBlock_;
    // Whichever comes first, the camera's answer or the time-out, owns the attempt.
    enum : int { kWaiting, kAnswered, kGivenUp };
    auto attempt = std::make_shared<std::atomic<int>>(kWaiting);
    foundation::RunLoop::main().performAfter(kCaptureTimeout, [weak, shared, attempt] {
        int waiting = kWaiting;
        if (shared->aborted || !attempt->compare_exchange_strong(waiting, kGivenUp)) return;
        auto self = weak.lock();
        if (!self) return;
        foundation::log("PhotoCapViewController: the camera gave no picture within " +
                        std::to_string(static_cast<int>(kCaptureTimeout)) + " s; the step may be shot again");
        self->shotPending_ = false;
        self->unfreeze();
        ProgressHUD::showError(kShotFailedText);
        if (self->shutterButton_ && !self->finished_ && !self->extraCarAlert_)
            self->shutterButton_->setUserInteractionEnabled(true);
    });
    stillImageOutput_->captureStillImageAsynchronouslyFromConnection(
        connection, [weak, shared, block, attempt](std::shared_ptr<media::SampleBuffer> buffer, std::optional<media::Error>) {
            if (shared->aborted) return;
            int waiting = kWaiting;
            if (!attempt->compare_exchange_strong(waiting, kAnswered)) {
                foundation::log("PhotoCapViewController: a picture came after the capture was given up; dropped");
                return;
            }
            // The shot's bytes are handed on, never copied: out of the buffer, into the image.
            std::string jpeg = media::CaptureStillImageOutput::jpegStillImageNSDataRepresentation(std::move(buffer));
            std::optional<ReducedShot> shot;
            if (!jpeg.empty()) shot = processShot(std::move(jpeg), media::Device::current().orientation());
            if (!shot) {
                // Nothing to keep: the same step may be shot again.
                foundation::dispatch::mainQueue()->async([weak, shared] {
                    if (shared->aborted) return;
                    if (auto self = weak.lock()) {
                        self->shotPending_ = false;
                        self->unfreeze();
                        ProgressHUD::showError(kShotFailedText);
                        if (self->shutterButton_) self->shutterButton_->setUserInteractionEnabled(true);
                    }
                });
                return;
            }
            if (shared->aborted) return;
            SavePhotoTool::savePhoto(shot->image);
            // The next step shows a second after the shot, and not before the receiver has
            // stored the shot (main thread only).
            struct Advance {
                bool due = false;
                bool stored = false;
            };
            auto advance = std::make_shared<Advance>();
            auto advanceIfReady = [weak, shared, advance] {
                if (shared->aborted || !advance->due || !advance->stored) return;
                if (auto self = weak.lock()) self->stepAdvance();
            };
            foundation::RunLoop::main().performAfter(1.0, [advance, advanceIfReady] {
                advance->due = true;
                advanceIfReady();
            });
            handBackQueue()->async([block, contentdata = std::move(shot->contentdata), advance, advanceIfReady] {
                if (block) block(contentdata);
                // Posted after whatever the block posted to the main queue.
                foundation::dispatch::mainQueue()->async([advance, advanceIfReady] {
                    advance->stored = true;
                    advanceIfReady();
                });
            });
        });
}

void PhotoCapViewController::freeze() {
    auto preview = previewLayer_ ? previewLayer_->view() : nullptr;
    if (!preview || !preview->window() || !previewLayer_->isShowingPicture()) return;
    unfreeze();
    auto still = std::make_shared<ui::ImageView>(preview->frame());
    still->setImage(ui::render(preview));
    still->setUserInteractionEnabled(false);
    view()->insertSubviewAbove(still, preview);
    freezeView_ = still;
}

void PhotoCapViewController::unfreeze() {
    if (freezeView_) freezeView_->removeFromSuperview();
    freezeView_.reset();
}

void PhotoCapViewController::stepAdvance() {
    shotPending_ = false;
    if (finished_) return;
    if (k_ + 1 < static_cast<std::int64_t>(images_.size())) {
        ++k_;
        showStep();
        unfreeze();
        shutterButton_->setUserInteractionEnabled(true);
        return;
    }
    // The last step: the picture stays on the last shot while the capture ends or asks.
    if (carType_ == 0) {
        if (viewControllerBlock_) {
            finishCapture();
        } else {
            shutterButton_->setUserInteractionEnabled(true);
        }
        return;
    }
    askForExtraCar();
}

void PhotoCapViewController::askForExtraCar() {
    auto alert = std::make_shared<TwoButtonAlertView>("温馨提示", "是否有其他事故车辆需要拍摄?", std::string("是"), "否");
    alert->setLeftBlock(foundation::weakBind(this, [](const auto& self) {
        if (self->shared_->aborted) return;
        self->extraCarAlert_.reset();
        self->k_ = 0;
        self->images_ = extraCarImageArray();
        self->showStep();
        self->unfreeze();
        self->shutterButton_->setUserInteractionEnabled(true);
    }));
    alert->setRightBlock(foundation::weakBind(this, [](const auto& self) {
        if (self->shared_->aborted) return;
        self->extraCarAlert_.reset();
        if (self->viewControllerBlock_) {
            self->finishCapture();
        } else {
            self->shutterButton_->setUserInteractionEnabled(true);
        }
    }));
    extraCarAlert_ = alert;
    alert->show();
    alert->setTransform(alert->transform().rotated(kPi / 2));
    // The shutter stays off while the question is up: a shot now would carry the wrong step.
}

void PhotoCapViewController::finishCapture() {
    finished_ = true;
    ui::Application::shared().setStatusBarHidden(false);
    if (!endAgainTitle_.empty() && !endAgainButton_ && bottomContainerView_) {
        // The dead shutter gives way to the end action's second try.
        double W = view()->bounds().height();
        auto button = std::make_shared<ui::Button>(ui::ButtonType::Custom, Rect(0, (W - 44) / 2, kStripWidth, 44));
        button->setTitle(endAgainTitle_);
        button->setTitleColor(graphics::Color::white());
        button->titleLabel()->setFont(graphics::Font::systemFont(14));
        auto endAgain = foundation::weakBind(this, [](const auto& self) {
            if (self->shared_->aborted) return;
            if (auto block = self->viewControllerBlock_) block();
        });
        button->addTarget(endAgain, ui::ControlEvent::TouchUpInside, this);
        bottomContainerView_->addSubview(button);
        endAgainButton_ = button;
        if (shutterButton_) shutterButton_->setHidden(true);
    }
    auto block = viewControllerBlock_;
    if (block) block();
}

// ---- abort ----

void PhotoCapViewController::backBtnClick() { showActionSheet(0); }

void PhotoCapViewController::quitBtnClick() { showActionSheet(1); }

void PhotoCapViewController::showActionSheet(int tag) {
    std::weak_ptr<ui::ActionSheetDelegate> delegate = sharedAs<PhotoCapViewController>();
    actionSheet_ = std::make_shared<ui::ActionSheet>(kAbortQuestion, delegate, "取消", "",
                                                     std::vector<std::string>{"确定"});
    actionSheet_->setTag(tag);
    actionSheet_->showInView(view());
}

void PhotoCapViewController::didDismissWithButtonIndex(ui::ActionSheet& sheet, int buttonIndex) {
    int tag = sheet.tag();
    if (actionSheet_.get() == &sheet) actionSheet_.reset();
    if (buttonIndex != 0) return;
    auto nav = navigationController();
    if (!nav) return;
    auto stack = nav->viewControllers();
    std::shared_ptr<ui::ViewController> target;
    if (tag == 1) {
        if (!stack.empty() && stack.front().get() != this) target = stack.front();
    } else {
        auto accidentKind = accidentKindScreen ? accidentKindScreen() : nullptr;
        for (const auto& screen : stack) {
            if (screen && screen == accidentKind) {
                target = screen;
                break;
            }
        }
    }
    if (!target) return;  // nowhere to go back to: the capture goes on
    abortCapture();
    if (tag == 1) {
        nav->popToRootViewController(true);
    } else {
        nav->popToViewController(target, true);
    }
}

void PhotoCapViewController::abortCapture() {
    shared_->aborted = true;
    shotPending_ = false;
    if (extraCarAlert_) {
        extraCarAlert_->dismiss();
        extraCarAlert_.reset();
    }
}
