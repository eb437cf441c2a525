#include "imaging/PhotoBrowser.h"

#include <algorithm>

#include "imaging/ImageViewRemoteImage.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/media/AssetsLibrary.h"
#include "platform/ui/Application.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

PhotoBrowser::PhotoBrowser() : ui::View(ui::Screen::mainScreen().bounds()) {
    setBackgroundColor(ui::Color::black());
}

std::shared_ptr<ui::ImageView> PhotoBrowser::imageViewAtIndex(int index) const {
    if (index < 0 || index >= static_cast<int>(pages_.size())) return nullptr;
    return pages_[index];
}

bool PhotoBrowser::isPhotoLoaded(int index) const {
    auto page = imageViewAtIndex(index);
    if (!page || !page->image()) return false;
    if (ImageViewRemoteImage::isLoading(page)) return false;
    return page->image() != standIns_[index];
}

std::string PhotoBrowser::statusText() const {
    return statusLabel_ && !statusLabel_->isHidden() ? statusLabel_->text() : "";
}

void PhotoBrowser::show() {
    auto window = ui::Application::shared().keyWindow();
    if (!window) {
        foundation::log("PhotoBrowser: no key window to show on");
        return;
    }
    if (photos.empty()) {
        foundation::log("PhotoBrowser: no photos to show");
        return;
    }
    currentPhotoIndex = std::clamp(currentPhotoIndex, 0, static_cast<int>(photos.size()) - 1);
    setFrame(window->bounds());
    build();
    window->addSubview(sharedAs<ui::View>());
    showPhotoAtIndex(currentPhotoIndex);
}

void PhotoBrowser::hide() {
    for (auto& page : pages_) ImageViewRemoteImage::cancelCurrentImageLoad(page);
    removeFromSuperview();
}

void PhotoBrowser::build() {
    for (auto& view : std::vector<std::shared_ptr<ui::View>>(subviews())) view->removeFromSuperview();
    pages_.clear();
    standIns_.clear();

    scrollView_ = std::make_shared<ui::ScrollView>(bounds());
    scrollView_->setPagingEnabled(true);
    scrollView_->setShowsHorizontalScrollIndicator(false);
    scrollView_->setShowsVerticalScrollIndicator(false);
    scrollView_->setBackgroundColor(ui::Color::black());
    scrollView_->setDelegate(std::static_pointer_cast<ui::ScrollViewDelegate>(
        std::static_pointer_cast<PhotoBrowser>(sharedAs<ui::View>())));
    addSubview(scrollView_);
    for (size_t i = 0; i < photos.size(); ++i) {
        auto page = std::make_shared<ui::ImageView>();
        page->setContentMode(ui::ContentMode::ScaleAspectFit);
        page->setTag(static_cast<int>(i));
        scrollView_->addSubview(page);
        pages_.push_back(page);
        standIns_.push_back(nullptr);
    }

    auto tap = std::make_shared<ui::TapGestureRecognizer>(
        foundation::weakBind(this, [](const auto& self, ui::GestureRecognizer&) { self->hide(); }));
    scrollView_->addGestureRecognizer(tap);

    indexLabel_ = std::make_shared<ui::Label>();
    indexLabel_->setTextColor(ui::Color::white());
    indexLabel_->setFont(ui::Font::boldSystemFont(20));
    indexLabel_->setTextAlignment(ui::TextAlignment::Center);
    indexLabel_->setHidden(photos.size() < 2);
    addSubview(indexLabel_);

    saveButton_ = std::make_shared<ui::Button>(ui::ButtonType::Custom);
    saveButton_->setTitle(kSaveTitle);
    saveButton_->setTitleColor(ui::Color::white());
    saveButton_->setBackgroundColor(ui::Color::grey(0.2, 0.6));
    saveButton_->layer().cornerRadius = 4;
    saveButton_->setHidden(!showSaveBtn);
    saveButton_->addTarget(foundation::weakBind(this, &PhotoBrowser::saveCurrentPhoto),
                           ui::ControlEvent::TouchUpInside);
    addSubview(saveButton_);

    statusLabel_ = std::make_shared<ui::Label>();
    statusLabel_->setTextColor(ui::Color::white());
    statusLabel_->setBackgroundColor(ui::Color::grey(0, 0.7));
    statusLabel_->setTextAlignment(ui::TextAlignment::Center);
    statusLabel_->setHidden(true);
    addSubview(statusLabel_);

    layoutSubviews();
}

void PhotoBrowser::layoutSubviews() {
    ui::View::layoutSubviews();
    if (!scrollView_) return;
    ui::Rect area = bounds();
    double width = area.width(), height = area.height();
    scrollView_->setFrame({0, 0, width, height});
    scrollView_->setContentSize({width * static_cast<double>(pages_.size()), height});
    for (size_t i = 0; i < pages_.size(); ++i) pages_[i]->setFrame({width * static_cast<double>(i), 0, width, height});
    scrollView_->setContentOffset({width * currentPhotoIndex, 0});
    indexLabel_->setFrame({0, 30, width, 30});
    saveButton_->setFrame({width - 70, height - 50, 55, 30});
    statusLabel_->setFrame({(width - 120) / 2, (height - 40) / 2, 120, 40});
}

void PhotoBrowser::scrollViewDidEndDecelerating(ui::ScrollView& scrollView) {
    showPhotoAtIndex(scrollView.currentPage());
}

void PhotoBrowser::showPhotoAtIndex(int index) {
    if (pages_.empty()) return;
    currentPhotoIndex = std::clamp(index, 0, static_cast<int>(pages_.size()) - 1);
    scrollView_->setContentOffset({bounds().width() * currentPhotoIndex, 0});
    loadPhoto(currentPhotoIndex);
    // The neighbours load too, so that a swipe finds them ready.
    loadPhoto(currentPhotoIndex - 1);
    loadPhoto(currentPhotoIndex + 1);
    updateIndex();
}

void PhotoBrowser::loadPhoto(int index) {
    auto page = imageViewAtIndex(index);
    if (!page) return;
    if (page->image() && page->image() != standIns_[index]) return;  // already there
    if (ImageViewRemoteImage::isLoading(page)) return;
    const auto& photo = photos[index];
    if (!photo) return;
    if (photo->image) {
        page->setImage(photo->image);
        return;
    }
    graphics::Image::Ptr standIn;
    if (auto source = photo->srcImageView.lock()) standIn = source->image();
    standIns_[index] = standIn;
    ImageViewRemoteImage::setImageWithURL(page, photo->url, standIn);
}

void PhotoBrowser::updateIndex() {
    indexLabel_->setText(std::to_string(currentPhotoIndex + 1) + " / " + std::to_string(pages_.size()));
}

void PhotoBrowser::saveCurrentPhoto() {
    if (saving_) return;
    if (!isPhotoLoaded(currentPhotoIndex)) {
        showStatus(kSaveFailedText);
        return;
    }
    std::string jpeg = pages_[currentPhotoIndex]->image()->jpegData(1.0);
    if (jpeg.empty()) {
        showStatus(kSaveFailedText);
        return;
    }
    saving_ = true;
    saveButton_->setEnabled(false);
    auto library = media::AssetsLibrary::make();
    library->writeImageDataToSavedPhotosAlbum(
        jpeg, nlohmann::json::object(),
        foundation::weakBind(this, [library](const auto& self, const std::string&, std::optional<media::Error> error) {
            self->saving_ = false;
            self->saveButton_->setEnabled(true);
            if (error) foundation::log("PhotoBrowser: the photo was not saved");
            self->showStatus(error ? kSaveFailedText : kSavedText);
        }));
}

void PhotoBrowser::showStatus(const std::string& text) {
    statusLabel_->setText(text);
    statusLabel_->setHidden(false);
    unsigned long seq = ++statusSeq_;
    std::weak_ptr<PhotoBrowser> weak = std::static_pointer_cast<PhotoBrowser>(sharedAs<ui::View>());
    foundation::dispatch::after(kStatusDuration, [weak, seq] {
        auto self = weak.lock();
        if (self && self->statusSeq_ == seq) self->statusLabel_->setHidden(true);
    });
}
