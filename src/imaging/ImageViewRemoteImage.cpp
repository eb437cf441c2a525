#include "imaging/ImageViewRemoteImage.h"

#include <map>

#include "imaging/ImageCache.h"
#include "imaging/ImageDownloader.h"
#include "platform/ui/ImageView.h"

namespace {

// The load under way for each view, known by a number that a later load replaces.
struct Load {
    std::weak_ptr<ui::ImageView> view;
    unsigned long long token = 0;
    std::shared_ptr<URLSessionDownloadTask> task;
};

std::map<const ui::ImageView*, Load>& loads() {
    static std::map<const ui::ImageView*, Load> map;
    return map;
}

unsigned long long nextToken() {
    static unsigned long long token = 0;
    return ++token;
}

// The load of the view if it is still the one with this token.
Load* currentLoad(const ui::ImageView* view, unsigned long long token) {
    auto it = loads().find(view);
    if (it == loads().end() || it->second.token != token) return nullptr;
    return &it->second;
}

void finishLoad(const ui::ImageView* view, unsigned long long token, const graphics::Image::Ptr& image) {
    Load* load = currentLoad(view, token);
    if (!load) return;
    auto target = load->view.lock();
    loads().erase(view);
    if (target && image) target->setImage(image);
}

void forgetGoneViews() {
    for (auto it = loads().begin(); it != loads().end();) {
        if (it->second.view.expired()) {
            if (it->second.task) it->second.task->cancel();
            it = loads().erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace

void ImageViewRemoteImage::cancelCurrentImageLoad(const std::shared_ptr<ui::ImageView>& imageView) {
    if (!imageView) return;
    auto it = loads().find(imageView.get());
    if (it == loads().end()) return;
    auto task = std::move(it->second.task);
    loads().erase(it);
    if (task) task->cancel();
}

bool ImageViewRemoteImage::isLoading(const std::shared_ptr<ui::ImageView>& imageView) {
    if (!imageView) return false;
    auto it = loads().find(imageView.get());
    return it != loads().end() && !it->second.view.expired();
}

void ImageViewRemoteImage::setImageWithURL(const std::shared_ptr<ui::ImageView>& imageView, const std::string& url,
                                           const graphics::Image::Ptr& placeholder) {
    if (!imageView) return;
    forgetGoneViews();
    cancelCurrentImageLoad(imageView);
    imageView->setImage(placeholder);
    if (url.empty()) return;

    auto cache = ImageCache::sharedImageCache();
    if (auto image = cache->imageFromMemoryCacheForKey(url)) {
        imageView->setImage(image);
        return;
    }

    const ui::ImageView* key = imageView.get();
    unsigned long long token = nextToken();
    loads()[key] = Load{imageView, token, nullptr};

    cache->queryImageForKey(url, [key, token, url, cache](const graphics::Image::Ptr& cached) {
        if (!currentLoad(key, token)) return;
        if (cached) {
            finishLoad(key, token, cached);
            return;
        }
        auto task = ImageDownloader::sharedDownloader().downloadImageWithURL(
            url, [key, token, url, cache](const graphics::Image::Ptr& image, const std::string& bytes,
                                          const std::optional<URLSessionError>&) {
                if (image) cache->storeImage(image, bytes, url);
                finishLoad(key, token, image);
            });
        if (Load* load = currentLoad(key, token)) load->task = task;
    });
}
