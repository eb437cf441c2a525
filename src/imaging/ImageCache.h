#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/graphics/Image.h"

// Remote images kept in memory and on disk. The memory part is a least-recently-used list
// bounded by the pixel bytes it holds; the disk part is one file per image in
// Library/Caches/ImageCache, named by the MD5 of its key (the URL), holding the bytes as they
// were downloaded, kept under a total size: after each write the least recently used files
// (by their modification time, which a disk hit renews) are removed, never the file just
// written nor one a query is about to read. The names, sizes and last uses of a folder's files are
// read once, at its first write in the process, and then kept in memory for every cache on that
// folder, so a write costs the same however many files there are. Disk work runs on a serial queue; answers come on the
// main run loop. The memory part is used from the main thread only.
class ImageCache : public std::enable_shared_from_this<ImageCache> {
public:
    using ImagePtr = graphics::Image::Ptr;

    static constexpr size_t kDefaultMemoryLimit = 48u * 1024 * 1024;
    static constexpr std::uintmax_t kDefaultDiskLimit = 100u * 1024 * 1024;

    // The cache remote images use (made on first use).
    static std::shared_ptr<ImageCache> sharedImageCache();
    // Replaces the shared cache by a new one: what was in memory is forgotten, the files stay.
    static void resetSharedImageCache();

    // A cache in `directory` (empty: Library/Caches/ImageCache of the current sandbox,
    // looked up at each use).
    explicit ImageCache(std::filesystem::path directory = {}, size_t memoryLimitBytes = kDefaultMemoryLimit,
                        std::uintmax_t diskLimitBytes = kDefaultDiskLimit);

    std::filesystem::path directory() const;
    // The disk file of a key: the directory plus the MD5 of the key in lower-case hex.
    std::filesystem::path cachePathForKey(const std::string& key) const;

    // The image in memory, or null.
    ImagePtr imageFromMemoryCacheForKey(const std::string& key);
    // Memory first, then disk. `done` runs on the main run loop with the image or null. A disk
    // file that does not decode is removed (and reported), so the image is fetched again.
    void queryImageForKey(const std::string& key, std::function<void(ImagePtr)> done);
    // Keeps the image in memory and, with bytes, writes them to disk whole and atomically.
    void storeImage(const ImagePtr& image, const std::string& bytes, const std::string& key);
    void removeImageForKey(const std::string& key);
    void clearMemory();

    std::uintmax_t diskLimit() const { return diskLimit_; }
    size_t memoryCount() const { return entries_.size(); }
    size_t memoryCost() const { return cost_; }

private:
    struct Entry {
        ImagePtr image;
        size_t cost;
        std::list<std::string>::iterator order;
    };
    void remember(const std::string& key, const ImagePtr& image);
    struct DiskUse;

    std::optional<std::filesystem::path> directory_;
    size_t limit_;
    std::uintmax_t diskLimit_;
    // The files queries are about to read (shared with the disk queue).
    std::shared_ptr<DiskUse> diskUse_;
    size_t cost_ = 0;
    std::map<std::string, Entry> entries_;
    std::list<std::string> order_;  // most recent first
};
