#pragma once
#include <functional>
#include <memory>

#include "platform/ui/NavigationController.h"

namespace ui {

class ImagePickerController;

enum class ImagePickerSourceType { PhotoLibrary = 0, Camera = 1, SavedPhotosAlbum = 2 };

// What a finished pick hands over.
struct ImagePickerInfo {
    ImagePtr originalImage;
    ImagePtr editedImage;     // the crop when editing is allowed (the original when not cropped)
};

class ImagePickerControllerDelegate {
public:
    virtual ~ImagePickerControllerDelegate() = default;
    virtual void didFinishPickingMediaWithInfo(ImagePickerController& picker, const ImagePickerInfo& info) { (void)picker; (void)info; }
    virtual void imagePickerControllerDidCancel(ImagePickerController& picker) { (void)picker; }
};

// The system picker, presented modally by a screen. It shows a camera or library screen of
// its own (the camera: the lens's view with "取消" and a round shutter below it, which take a
// picture or cancel as a finger on them would; the library: "照片" with "取消"); the picture comes from the installed source (the media layer installs the camera;
// tests and the simulator call finishPicking / cancel as the user's choice). The delegate
// dismisses it.
class ImagePickerController : public NavigationController {
public:
    ImagePickerController();
    std::string className() const override { return "ImagePickerController"; }

    ImagePickerSourceType sourceType() const { return sourceType_; }
    void setSourceType(ImagePickerSourceType t) { sourceType_ = t; }
    bool allowsEditing() const { return allowsEditing_; }
    void setAllowsEditing(bool v) { allowsEditing_ = v; }
    std::shared_ptr<ImagePickerControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<ImagePickerControllerDelegate> d) { delegate_ = std::move(d); }

    // Whether a source can be used (the camera when a provider is installed; the library always).
    static bool isSourceTypeAvailable(ImagePickerSourceType type);
    // Installed by the media layer: takes a picture for the camera source (null: none).
    static void setCameraProvider(std::function<ImagePtr()> provider);
    // Installed by the media layer: what the camera sees now, shown behind the shutter while
    // the camera source is up (without one the preview stays black).
    static void setCameraPreviewProvider(std::function<ImagePtr()> provider);

    // The user's choices.
    void finishPicking(ImagePtr image);
    // Takes a picture from the camera provider and finishes with it; false without one.
    bool takePicture();
    void cancel();

private:
    ImagePickerSourceType sourceType_ = ImagePickerSourceType::PhotoLibrary;
    bool allowsEditing_ = false;
    std::weak_ptr<ImagePickerControllerDelegate> delegate_;
};

}  // namespace ui
