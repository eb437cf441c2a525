#include "imaging/ImageCache.h"

#include "core/StringHash.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

namespace {

std::shared_ptr<foundation::dispatch::Queue> diskQueue() {
    static auto queue = foundation::dispatch::serialQueue("image cache");
    return queue;
}

std::shared_ptr<ImageCache>& sharedSlot() {
    static std::shared_ptr<ImageCache> cache;
    return cache;
}

}  // namespace

std::shared_ptr<ImageCache> ImageCache::sharedImageCache() {
    auto& slot = sharedSlot();
    if (!slot) slot = std::make_shared<ImageCache>();
    return slot;
}

void ImageCache::resetSharedImageCache() { sharedSlot() = std::make_shared<ImageCache>(); }

ImageCache::ImageCache(std::filesystem::path directory, size_t memoryLimitBytes) : limit_(memoryLimitBytes) {
    if (!directory.empty()) directory_ = std::move(directory);
}

std::filesystem::path ImageCache::directory() const {
    if (directory_) return *directory_;
    return foundation::Sandbox::current().caches() / "ImageCache";
}

std::filesystem::path ImageCache::cachePathForKey(const std::string& key) const {
    return directory() / StringHash::md5String(key);
}

ImageCache::ImagePtr ImageCache::imageFromMemoryCacheForKey(const std::string& key) {
    auto it = entries_.find(key);
    if (it == entries_.end()) return nullptr;
    order_.splice(order_.begin(), order_, it->second.order);
    return it->second.image;
}

void ImageCache::remember(const std::string& key, const ImagePtr& image) {
    if (!image) return;
    auto old = entries_.find(key);
    if (old != entries_.end()) {
        cost_ -= old->second.cost;
        order_.erase(old->second.order);
        entries_.erase(old);
    }
    size_t cost = static_cast<size_t>(image->pixelWidth()) * static_cast<size_t>(image->pixelHeight()) * 4;
    order_.push_front(key);
    entries_[key] = Entry{image, cost, order_.begin()};
    cost_ += cost;
    // Evict the least recently used images, but always keep the newest one.
    while (cost_ > limit_ && order_.size() > 1) {
        auto victim = entries_.find(order_.back());
        cost_ -= victim->second.cost;
        entries_.erase(victim);
        order_.pop_back();
    }
}

void ImageCache::queryImageForKey(const std::string& key, std::function<void(ImagePtr)> done) {
    if (auto image = imageFromMemoryCacheForKey(key)) {
        if (done) done(image);
        return;
    }
    std::filesystem::path path = cachePathForKey(key);
    std::weak_ptr<ImageCache> weak = weak_from_this();
    diskQueue()->async([weak, key, path, done = std::move(done)] {
        ImagePtr image;
        if (auto bytes = foundation::files::read(path)) {
            image = graphics::Image::fromData(*bytes);
            if (!image) {
                foundation::log("ImageCache: cached file " + path.string() + " does not decode; removed");
                foundation::files::remove(path);
            }
        }
        foundation::dispatch::mainQueue()->async([weak, key, image, done] {
            if (auto self = weak.lock(); self && image) self->remember(key, image);
            if (done) done(image);
        });
    });
}

void ImageCache::storeImage(const ImagePtr& image, const std::string& bytes, const std::string& key) {
    remember(key, image);
    if (bytes.empty()) return;
    std::filesystem::path dir = directory();
    std::filesystem::path path = cachePathForKey(key);
    diskQueue()->async([dir, path, bytes] {
        if (!foundation::files::createDirectories(dir) || !foundation::files::writeAtomically(path, bytes))
            foundation::log("ImageCache: cannot write " + path.string());
    });
}

void ImageCache::removeImageForKey(const std::string& key) {
    auto it = entries_.find(key);
    if (it != entries_.end()) {
        cost_ -= it->second.cost;
        order_.erase(it->second.order);
        entries_.erase(it);
    }
    std::filesystem::path path = cachePathForKey(key);
    diskQueue()->async([path] { foundation::files::remove(path); });
}

void ImageCache::clearMemory() {
    entries_.clear();
    order_.clear();
    cost_ = 0;
}
