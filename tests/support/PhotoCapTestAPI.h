#pragma once
#include <memory>

#include "capture/camera/PhotoCapViewController.h"
#include "hud/TwoButtonAlertView.h"

// What the camera tests look at inside the guided camera: its views and capture chain, the
// extra-car question and whether a step advance is waiting.
class PhotoCapTestAPI {
public:
    explicit PhotoCapTestAPI(std::shared_ptr<PhotoCapViewController> camera) : camera_(std::move(camera)) {}

    std::shared_ptr<ui::View> backView() const { return camera_->backView_; }
    std::shared_ptr<ui::ImageView> backImageView() const { return camera_->backImageView_; }
    std::shared_ptr<ui::Label> topLabel() const { return camera_->topLabel_; }
    std::shared_ptr<ui::Label> bomLabel() const { return camera_->bomLabel_; }
    std::shared_ptr<ui::View> bottomContainerView() const { return camera_->bottomContainerView_; }
    std::shared_ptr<ui::Button> shutterButton() const { return camera_->shutterButton_; }
    std::shared_ptr<ui::Button> flashButton() const { return camera_->flashButton_; }
    std::shared_ptr<ui::ImageView> focusImageView() const { return camera_->focusImageView_; }
    graphics::Point currTouchPoint() const { return camera_->currTouchPoint_; }
    media::CaptureSession::Ptr session() const { return camera_->session_; }
    media::CaptureDeviceInput::Ptr videoInput() const { return camera_->videoInput_; }
    media::CaptureVideoPreviewLayer::Ptr previewLayer() const { return camera_->previewLayer_; }
    std::shared_ptr<TwoButtonAlertView> extraCarAlert() const { return camera_->extraCarAlert_; }
    bool isShotPending() const { return camera_->shotPending_; }

private:
    std::shared_ptr<PhotoCapViewController> camera_;
};
