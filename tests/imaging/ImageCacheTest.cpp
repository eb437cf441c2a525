#include <gtest/gtest.h>

#include <cairo.h>

#include <random>

#include "imaging/ImageCache.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Sandbox.h"
#include "support/PlatformTest.h"

namespace fs = std::filesystem;

namespace {

// A PNG of noise (it hardly compresses): about 4 bytes per pixel.
std::string noisePng(int side, unsigned seed) {
    std::mt19937 random(seed);
    auto image = graphics::Image::draw({double(side), double(side)}, 1, true, [&](cairo_t* cr) {
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                cairo_set_source_rgb(cr, (random() % 256) / 255.0, (random() % 256) / 255.0, (random() % 256) / 255.0);
                cairo_rectangle(cr, x, y, 1, 1);
                cairo_fill(cr);
            }
    });
    return image->pngData();
}

class ImageCacheTest : public PlatformTest {
protected:
    fs::path dir() const { return foundation::Sandbox::current().caches() / "LimitedCache"; }
    std::uintmax_t bytesOnDisk() const {
        std::uintmax_t total = 0;
        for (const auto& entry : fs::directory_iterator(dir())) total += entry.file_size();
        return total;
    }
    void store(ImageCache& cache, const std::string& key, const std::string& bytes) {
        cache.storeImage(nullptr, bytes, key);
        ASSERT_TRUE(foundation::dispatch::waitIdle());
    }
    graphics::Image::Ptr query(ImageCache& cache, const std::string& key) {
        bool done = false;
        graphics::Image::Ptr found;
        cache.queryImageForKey(key, [&](graphics::Image::Ptr image) {
            done = true;
            found = image;
        });
        EXPECT_TRUE(runUntil([&] { return done; }));
        return found;
    }
};

TEST_F(ImageCacheTest, DiskStaysUnderItsLimitAfterWritingTwiceItsSize) {
    EXPECT_EQ(ImageCache().diskLimit(), 100u * 1024 * 1024);
    const std::string picture = noisePng(60, 1);  // about 14 KB
    const std::uintmax_t limit = picture.size() * 5 + picture.size() / 2;
    auto cache = std::make_shared<ImageCache>(dir(), ImageCache::kDefaultMemoryLimit, limit);
    int written = 0;
    for (std::uintmax_t total = 0; total < 2 * limit; total += picture.size())
        store(*cache, "http://example.invalid/" + std::to_string(written++) + ".png", picture);
    EXPECT_GE(written, 10);
    EXPECT_LE(bytesOnDisk(), limit);
    // The newest files stay, the oldest went first.
    for (int i = written - 5; i < written; ++i)
        EXPECT_TRUE(fs::exists(cache->cachePathForKey("http://example.invalid/" + std::to_string(i) + ".png"))) << i;
    EXPECT_FALSE(fs::exists(cache->cachePathForKey("http://example.invalid/0.png")));
}

TEST_F(ImageCacheTest, AFileReadFromDiskIsKeptOverOlderOnesAndTheNewestAlwaysStays) {
    const std::string a = noisePng(60, 2), b = noisePng(60, 3), c = noisePng(60, 4), d = noisePng(60, 5);
    auto cache = std::make_shared<ImageCache>(dir(), ImageCache::kDefaultMemoryLimit, a.size() + b.size() + c.size());
    store(*cache, "a", a);
    store(*cache, "b", b);
    store(*cache, "c", c);
    // "a" is read from disk (a new cache: nothing in memory): the least recently used is now "b".
    auto reader = std::make_shared<ImageCache>(dir(), ImageCache::kDefaultMemoryLimit, cache->diskLimit());
    ASSERT_TRUE(query(*reader, "a"));
    store(*cache, "d", d);
    EXPECT_TRUE(fs::exists(cache->cachePathForKey("a")));
    EXPECT_FALSE(fs::exists(cache->cachePathForKey("b")));
    EXPECT_TRUE(fs::exists(cache->cachePathForKey("c")));
    EXPECT_TRUE(fs::exists(cache->cachePathForKey("d")));
    EXPECT_FALSE(query(*reader, "b"));

    // A file larger than the whole limit is the one just written: it stays, the others go.
    auto tiny = std::make_shared<ImageCache>(dir(), ImageCache::kDefaultMemoryLimit, 100);
    store(*tiny, "big", noisePng(40, 6));
    EXPECT_TRUE(fs::exists(tiny->cachePathForKey("big")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir()), fs::directory_iterator()), 1);
    EXPECT_TRUE(query(*tiny, "big"));
}

}  // namespace
