#include "imaging/ImageCache.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <vector>

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

// Paths with a read waiting on the disk queue, counted (two queries may wait for one file).
struct ImageCache::DiskUse {
    std::mutex mutex;
    std::multiset<std::filesystem::path> reading;

    void begin(const std::filesystem::path& path) {
        std::lock_guard<std::mutex> lock(mutex);
        reading.insert(path);
    }
    void end(const std::filesystem::path& path) {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = reading.find(path);
        if (it != reading.end()) reading.erase(it);
    }
    bool inUse(const std::filesystem::path& path) {
        std::lock_guard<std::mutex> lock(mutex);
        return reading.count(path) > 0;
    }
};

namespace {

// Removes the least recently used files of `dir` until they hold at most `limit` bytes. `kept`
// (the file just written) and the files waiting to be read stay. Runs on the disk queue.
void trimDirectory(const std::filesystem::path& dir, std::uintmax_t limit, const std::filesystem::path& kept,
                   const std::function<bool(const std::filesystem::path&)>& inUse) {
    struct File {
        std::filesystem::file_time_type used;
        std::filesystem::path path;
        std::uintmax_t size;
    };
    std::vector<File> files;
    std::uintmax_t total = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileError;
        if (!it->is_regular_file(fileError)) continue;
        auto size = it->file_size(fileError);
        if (fileError) continue;
        auto used = it->last_write_time(fileError);
        if (fileError) continue;
        files.push_back({used, it->path(), size});
        total += size;
    }
    if (total <= limit) return;
    std::sort(files.begin(), files.end(),
              [](const File& a, const File& b) { return a.used != b.used ? a.used < b.used : a.path < b.path; });
    for (const auto& file : files) {
        if (total <= limit) break;
        if (file.path == kept || inUse(file.path)) continue;
        if (foundation::files::remove(file.path)) total -= file.size;
    }
    if (total > limit) foundation::log("ImageCache: " + std::to_string(total) + " bytes on disk stay above the limit (files in use)");
}

}  // namespace

std::shared_ptr<ImageCache> ImageCache::sharedImageCache() {
    auto& slot = sharedSlot();
    if (!slot) slot = std::make_shared<ImageCache>();
    return slot;
}

void ImageCache::resetSharedImageCache() { sharedSlot() = std::make_shared<ImageCache>(); }

ImageCache::ImageCache(std::filesystem::path directory, size_t memoryLimitBytes, std::uintmax_t diskLimitBytes)
    : limit_(memoryLimitBytes), diskLimit_(diskLimitBytes), diskUse_(std::make_shared<DiskUse>()) {
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
    auto use = diskUse_;
    use->begin(path);
    diskQueue()->async([weak, key, path, use, done = std::move(done)] {
        ImagePtr image;
        if (auto bytes = foundation::files::read(path)) {
            image = graphics::Image::fromData(*bytes);
            if (!image) {
                foundation::log("ImageCache: cached file " + path.string() + " does not decode; removed");
                foundation::files::remove(path);
            } else {
                // A hit makes the file the most recently used.
                std::error_code ec;
                std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now(), ec);
            }
        }
        use->end(path);
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
    auto limit = diskLimit_;
    auto use = diskUse_;
    diskQueue()->async([dir, path, bytes, limit, use] {
        if (!foundation::files::createDirectories(dir) || !foundation::files::writeAtomically(path, bytes)) {
            foundation::log("ImageCache: cannot write " + path.string());
            return;
        }
        trimDirectory(dir, limit, path, [use](const std::filesystem::path& p) { return use->inUse(p); });
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
