#pragma once
#include <memory>
#include <string>
#include <vector>

#include "imaging/BrowserPhoto.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/View.h"

// The full-screen photo browser: a black page per photo over the key window, paged sideways,
// the position ("2 / 5") at the top and, when showSaveBtn, the button "保存" that saves the
// photo shown to the photo album. A tap on a photo closes the browser. A photo is its image in
// hand, else the image of its URL (the picture of its source view stands in while it loads).
class PhotoBrowser : public ui::View, public ui::ScrollViewDelegate {
public:
    static constexpr const char* kSaveTitle = "保存";
    static constexpr const char* kSavedText = "保存成功";
    static constexpr const char* kSaveFailedText = "保存失败";
    static constexpr double kStatusDuration = 1.0;

    PhotoBrowser();
    std::string className() const override { return "PhotoBrowser"; }

    std::vector<std::shared_ptr<BrowserPhoto>> photos;
    int currentPhotoIndex = 0;
    bool showSaveBtn = true;

    // Puts the browser over the key window on the current photo (clamped to the photos).
    void show();
    // Closes it.
    void hide();
    bool isShown() const { return superview() != nullptr; }

    // Turns to a photo, as a swipe would.
    void showPhotoAtIndex(int index);
    // The save button's action: the photo shown goes to the photo album once it has loaded.
    void saveCurrentPhoto();

    std::shared_ptr<ui::ScrollView> scrollView() const { return scrollView_; }
    std::shared_ptr<ui::ImageView> imageViewAtIndex(int index) const;
    std::shared_ptr<ui::Label> indexLabel() const { return indexLabel_; }
    std::shared_ptr<ui::Button> saveButton() const { return saveButton_; }
    // The last save's message while shown ("保存成功" or "保存失败"), else empty.
    std::string statusText() const;
    // Whether the photo at the index has its real image (not the stand-in).
    bool isPhotoLoaded(int index) const;

    void layoutSubviews() override;
    void scrollViewDidEndDecelerating(ui::ScrollView& scrollView) override;

private:
    void build();
    void loadPhoto(int index);
    void updateIndex();
    void showStatus(const std::string& text);

    std::shared_ptr<ui::ScrollView> scrollView_;
    std::vector<std::shared_ptr<ui::ImageView>> pages_;
    std::vector<graphics::Image::Ptr> standIns_;
    std::shared_ptr<ui::Label> indexLabel_;
    std::shared_ptr<ui::Button> saveButton_;
    std::shared_ptr<ui::Label> statusLabel_;
    bool saving_ = false;
    unsigned long statusSeq_ = 0;
};
