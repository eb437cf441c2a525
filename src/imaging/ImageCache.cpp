#include "imaging/ImageCache.h"

#include <map>
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

// The files of a cache folder: name, size and last use, with their total. Read from the folder
// at its first write in the process (and again when the folder had gone), then kept up to date
// by the writes, hits and removals of every cache on it. Used on the disk queue only.
struct DiskIndex {
    using Stamp = std::filesystem::file_time_type;
    struct File {
        std::uintmax_t size;
        Stamp used;
    };

    // Reads the folder's files.
    explicit DiskIndex(const std::filesystem::path& dir) : folder(dir) {
        std::error_code ec;
        for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code fileError;
            if (!it->is_regular_file(fileError)) continue;
            auto size = it->file_size(fileError);
            if (fileError) continue;
            auto used = it->last_write_time(fileError);
            if (fileError) continue;
            put(it->path().filename().string(), size, used);
        }
    }

    void put(const std::string& name, std::uintmax_t size, Stamp used) {
        drop(name);
        files[name] = File{size, used};
        byUse.emplace(used, name);
        total += size;
    }
    void touch(const std::string& name, Stamp used) {
        auto it = files.find(name);
        if (it == files.end()) return;
        byUse.erase({it->second.used, name});
        it->second.used = used;
        byUse.emplace(used, name);
    }
    void drop(const std::string& name) {
        auto it = files.find(name);
        if (it == files.end()) return;
        byUse.erase({it->second.used, name});
        total -= it->second.size;
        files.erase(it);
    }

    // Removes the least recently used files until they hold at most `limit` bytes. `kept` (the
    // file just written) and the files waiting to be read stay.
    void trim(std::uintmax_t limit, const std::filesystem::path& kept,
              const std::function<bool(const std::filesystem::path&)>& inUse) {
        for (auto it = byUse.begin(); total > limit && it != byUse.end();) {
            auto path = folder / it->second;
            ++it;
            if (path == kept || inUse(path)) continue;
            // A file that is gone already (removed by hand) leaves the index all the same.
            if (foundation::files::remove(path) || !foundation::files::exists(path)) drop(path.filename().string());
        }
        if (total > limit)
            foundation::log("ImageCache: " + std::to_string(total) +
                            " bytes on disk stay above the limit (files in use)");
    }

    std::filesystem::path folder;
    std::map<std::string, File> files;
    std::set<std::pair<Stamp, std::string>> byUse;  // oldest first
    std::uintmax_t total = 0;
};

std::map<std::filesystem::path, std::shared_ptr<DiskIndex>>& diskIndexes() {
    static std::map<std::filesystem::path, std::shared_ptr<DiskIndex>> indexes;
    return indexes;
}

// The index of a folder that has been read, or null (disk queue).
DiskIndex* readIndex(const std::filesystem::path& dir) {
    auto it = diskIndexes().find(dir);
    return it == diskIndexes().end() ? nullptr : it->second.get();
}

// The index of a folder about to be written, read now unless it was read before and the folder is
// still there (disk queue).
DiskIndex& indexForWrite(const std::filesystem::path& dir, bool folderWasThere) {
    auto& slot = diskIndexes()[dir];
    if (!slot || !folderWasThere) slot = std::make_shared<DiskIndex>(dir);
    return *slot;
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
                if (auto index = readIndex(path.parent_path())) index->drop(path.filename().string());
            } else {
                // A hit makes the file the most recently used, on disk for the next start too.
                auto now = std::filesystem::file_time_type::clock::now();
                std::error_code ec;
                std::filesystem::last_write_time(path, now, ec);
                if (auto index = readIndex(path.parent_path())) index->touch(path.filename().string(), now);
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
        bool folderWasThere = foundation::files::exists(dir);
        if (!foundation::files::createDirectories(dir)) {
            foundation::log("ImageCache: cannot write " + path.string());
            return;
        }
        auto& index = indexForWrite(dir, folderWasThere);
        if (!foundation::files::writeAtomically(path, bytes)) {
            foundation::log("ImageCache: cannot write " + path.string());
            return;
        }
        index.put(path.filename().string(), bytes.size(), std::filesystem::file_time_type::clock::now());
        index.trim(limit, path, [use](const std::filesystem::path& p) { return use->inUse(p); });
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
    diskQueue()->async([path] {
        foundation::files::remove(path);
        if (auto index = readIndex(path.parent_path())) index->drop(path.filename().string());
    });
}

void ImageCache::clearMemory() {
    entries_.clear();
    order_.clear();
    cost_ = 0;
}
