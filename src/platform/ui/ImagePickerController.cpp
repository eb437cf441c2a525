#include "platform/ui/ImagePickerController.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace ui {

namespace {
std::function<ImagePtr()>& cameraProvider() {
    static std::function<ImagePtr()> p;
    return p;
}

std::function<ImagePtr()>& previewProvider() {
    static std::function<ImagePtr()> p;
    return p;
}

// The round shutter: a white disc inside a white ring, on black.
ImagePtr shutterPicture(double size) {
    return drawImage({size, size}, 0, false, [size](GraphicsContext& context) {
        context.setStrokeColor(Color::white());
        context.setLineWidth(4);
        context.beginPath();
        context.addEllipseInRect({3, 3, size - 6, size - 6});
        context.strokePath();
        context.setFillColor(Color::white());
        context.fillEllipseInRect({9, 9, size - 18, size - 18});
    });
}

// What the picker shows. The camera: what the lens sees over the screen, and a black bar at
// the bottom with "取消" on the left and the round shutter in the middle (no navigation bar).
// The library: the navigation bar titled "照片" with "取消" on its right, over a page that
// has nothing to offer but says so.
class PickerScreen : public ViewController {
public:
    std::string className() const override { return "ImagePickerScreen"; }
    void viewDidLoad() override {
        view()->setBackgroundColor(Color::black());
        preview_ = std::make_shared<ImageView>();
        preview_->setContentMode(ContentMode::ScaleAspectFill);
        preview_->setClipsToBounds(true);
        view()->addSubview(preview_);
        bar_ = std::make_shared<View>();
        bar_->setBackgroundColor(Color::black());
        view()->addSubview(bar_);
        shutter_ = std::make_shared<Button>(ButtonType::Custom, Rect(0, 0, kShutter, kShutter));
        shutter_->setImage(shutterPicture(kShutter));
        shutter_->addTarget([this] { if (auto picker = owner()) picker->takePicture(); }, ControlEvent::TouchUpInside);
        bar_->addSubview(shutter_);
        cancel_ = std::make_shared<Button>(ButtonType::Custom, Rect(0, 0, 64, 44));
        cancel_->setTitle("取消");
        cancel_->setTitleColor(Color::white());
        cancel_->titleLabel()->setFont(Font::systemFont(17));
        cancel_->addTarget([this] { if (auto picker = owner()) picker->cancel(); }, ControlEvent::TouchUpInside);
        view()->addSubview(cancel_);
        empty_ = std::make_shared<Label>();
        empty_->setText("没有照片");
        empty_->setTextColor(Color::grey(0.55));
        empty_->setFont(Font::systemFont(17));
        empty_->setTextAlignment(TextAlignment::Center);
        view()->addSubview(empty_);
    }
    void viewWillAppear(bool animated) override {
        ViewController::viewWillAppear(animated);
        auto picker = owner();
        camera_ = picker && picker->sourceType() == ImagePickerSourceType::Camera;
        if (picker) picker->setNavigationBarHidden(camera_);
        setTitle(camera_ ? "" : "照片");
        if (!camera_) {
            view()->setBackgroundColor(Color::white());
            navigationItem()->setRightBarButtonItem(std::make_shared<BarButtonItem>(
                "取消", BarButtonItemStyle::Plain, [this] { if (auto picker = owner()) picker->cancel(); }));
        }
        if (camera_ && previewProvider()) preview_->setImage(previewProvider()());
        view()->setNeedsLayout();
    }
    void viewWillLayoutSubviews() override {
        Rect b = view()->bounds();
        preview_->setHidden(!camera_);
        bar_->setHidden(!camera_);
        empty_->setHidden(camera_);
        cancel_->setHidden(!camera_);
        if (camera_) {
            preview_->setFrame({0, 0, b.width(), b.height() - kBar});
            bar_->setFrame({0, b.height() - kBar, b.width(), kBar});
            shutter_->setFrame({(b.width() - kShutter) / 2, (kBar - kShutter) / 2, kShutter, kShutter});
            cancel_->setFrame({8, b.height() - kBar + (kBar - 44) / 2, 64, 44});
        } else {
            empty_->setFrame({0, b.height() / 2 - 20, b.width(), 40});
        }
    }

private:
    static constexpr double kBar = 96;
    static constexpr double kShutter = 66;
    ImagePickerController* owner() const { return dynamic_cast<ImagePickerController*>(navigationController().get()); }
    bool camera_ = false;
    std::shared_ptr<ImageView> preview_;
    std::shared_ptr<View> bar_;
    std::shared_ptr<Button> shutter_, cancel_;
    std::shared_ptr<Label> empty_;
};
}  // namespace

ImagePickerController::ImagePickerController() : NavigationController(std::make_shared<PickerScreen>()) {}

bool ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType type) {
    if (type == ImagePickerSourceType::Camera) return static_cast<bool>(cameraProvider());
    return true;
}

void ImagePickerController::setCameraProvider(std::function<ImagePtr()> provider) {
    cameraProvider() = std::move(provider);
}

void ImagePickerController::setCameraPreviewProvider(std::function<ImagePtr()> provider) {
    previewProvider() = std::move(provider);
}

void ImagePickerController::finishPicking(ImagePtr image) {
    auto keep = weak_from_this().lock();
    ImagePickerInfo info{image, image};
    if (auto d = delegate()) d->didFinishPickingMediaWithInfo(*this, info);
    else dismissViewController(true);
}

bool ImagePickerController::takePicture() {
    auto provider = cameraProvider();
    if (!provider) return false;
    auto image = provider();
    if (!image) return false;
    finishPicking(image);
    return true;
}

void ImagePickerController::cancel() {
    auto keep = weak_from_this().lock();
    if (auto d = delegate()) d->imagePickerControllerDidCancel(*this);
    else dismissViewController(true);
}

}  // namespace ui
