#include <gtest/gtest.h>

#include <cairo.h>

#include "core/StringHash.h"
#include "imaging/ImageCache.h"
#include "imaging/ImageDownloader.h"
#include "imaging/ImageViewRemoteImage.h"
#include "imaging/PhotoBrowser.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Sandbox.h"
#include "platform/media/AssetsLibrary.h"
#include "platform/testing/Driver.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "support/HeldReply.h"
#include "support/HostileServer.h"
#include "support/PlatformTest.h"
#include "tools/server/StandInServer.h"

namespace fs = std::filesystem;

namespace {

// A PNG of the size, filled with one colour.
std::string pngOf(int width, int height, double r, double g, double b) {
    auto image = graphics::Image::draw({double(width), double(height)}, 1, true, [&](cairo_t* cr) {
        cairo_set_source_rgb(cr, r, g, b);
        cairo_paint(cr);
    });
    return image->pngData();
}

class RemoteImageTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        media::setPhotoAlbumSimulation({});
        ImageCache::resetSharedImageCache();
        ASSERT_TRUE(server.start());
        placeholder = graphics::Image::named("placeholder");
        ASSERT_TRUE(placeholder);
    }
    void TearDown() override {
        ui::resetForTests();
        ImageCache::resetSharedImageCache();
        PlatformTest::TearDown();
        server.stop();
    }

    std::string url(const std::string& name) const { return server.baseURL() + name; }

    // Turns the run loop until the view shows an image other than the placeholder.
    bool waitForImage(const std::shared_ptr<ui::ImageView>& view) {
        return runUntil([&] { return view->image() && view->image() != placeholder; });
    }
    bool waitUntilSettled(const std::shared_ptr<ui::ImageView>& view) {
        return runUntil([&] { return !ImageViewRemoteImage::isLoading(view); });
    }

    standin::StandInServer server;
    graphics::Image::Ptr placeholder;
};

TEST_F(RemoteImageTest, FetchedOnceThenServedFromMemoryAndFromDisk) {
    server.script("car.png", standin::Reply::raw(pngOf(40, 30, 1, 0, 0)));
    auto first = std::make_shared<ui::ImageView>();
    ImageViewRemoteImage::setImageWithURL(first, url("car.png"), placeholder);
    EXPECT_EQ(first->image(), placeholder);
    ASSERT_TRUE(waitForImage(first));
    EXPECT_EQ(first->image()->pixelWidth(), 40);
    EXPECT_EQ(first->image()->pixelHeight(), 30);
    EXPECT_EQ(server.count("car.png"), 1u);

    // From memory: at once, nothing fetched.
    auto second = std::make_shared<ui::ImageView>();
    ImageViewRemoteImage::setImageWithURL(second, url("car.png"), placeholder);
    EXPECT_EQ(second->image(), first->image());

    // On disk under Library/Caches, named by the MD5 of the URL.
    auto cache = ImageCache::sharedImageCache();
    fs::path file = cache->cachePathForKey(url("car.png"));
    EXPECT_EQ(file.filename().string(), StringHash::md5String(url("car.png")));
    EXPECT_EQ(file.parent_path().parent_path(), foundation::Sandbox::current().caches());
    ASSERT_TRUE(foundation::dispatch::waitIdle());
    ASSERT_TRUE(fs::exists(file));

    // A new cache (a new run of the application) finds it on disk.
    ImageCache::resetSharedImageCache();
    auto third = std::make_shared<ui::ImageView>();
    ImageViewRemoteImage::setImageWithURL(third, url("car.png"), placeholder);
    EXPECT_EQ(third->image(), placeholder);
    ASSERT_TRUE(waitForImage(third));
    EXPECT_EQ(third->image()->pixelWidth(), 40);
    EXPECT_EQ(third->image()->pixel(5, 5), graphics::Color::rgba(1, 0, 0, 1));
    EXPECT_EQ(server.count("car.png"), 1u);
}

TEST_F(RemoteImageTest, CorruptCachedFileIsFetchedAgain) {
    server.script("licence.png", standin::Reply::raw(pngOf(20, 20, 0, 0, 1)));
    auto cache = ImageCache::sharedImageCache();
    fs::path file = cache->cachePathForKey(url("licence.png"));
    ASSERT_TRUE(foundation::files::createDirectories(file.parent_path()));
    ASSERT_TRUE(foundation::files::writeAtomically(file, std::string("\x89PNG\r\n\x1a\n truncated", 19)));

    auto view = std::make_shared<ui::ImageView>();
    ImageViewRemoteImage::setImageWithURL(view, url("licence.png"), placeholder);
    ASSERT_TRUE(waitForImage(view));
    EXPECT_EQ(view->image()->pixelWidth(), 20);
    EXPECT_EQ(server.count("licence.png"), 1u);
    ASSERT_TRUE(foundation::dispatch::waitIdle());
    auto bytes = foundation::files::read(file);
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(graphics::Image::fromData(*bytes));
}

TEST_F(RemoteImageTest, FailuresKeepThePlaceholderAndCacheNothing) {
    server.script("missing.png", standin::Reply::raw("not found", 404));
    server.script("page.png", standin::Reply::raw("<html>not an image</html>"));
    auto view = std::make_shared<ui::ImageView>();
    for (const char* name : {"missing.png", "page.png"}) {
        ImageViewRemoteImage::setImageWithURL(view, url(name), placeholder);
        ASSERT_TRUE(waitUntilSettled(view));
        EXPECT_EQ(view->image(), placeholder);
        ASSERT_TRUE(foundation::dispatch::waitIdle());
        EXPECT_FALSE(fs::exists(ImageCache::sharedImageCache()->cachePathForKey(url(name))));
    }
    ImageViewRemoteImage::setImageWithURL(view, "", placeholder);
    EXPECT_EQ(view->image(), placeholder);
    EXPECT_FALSE(ImageViewRemoteImage::isLoading(view));
}

// What a hostile reply may name as an image.
enum class Hostile { LocalFile, EndlessBody, PNGBomb };

class HostileImageTest : public RemoteImageTest, public ::testing::WithParamInterface<Hostile> {
protected:
    hostile::Server hostile;
};

TEST_P(HostileImageTest, KeepsThePlaceholderAndCachesNothing) {
    std::string address;
    switch (GetParam()) {
    case Hostile::LocalFile: {
        // A picture that would show, were local files read.
        fs::path secret = foundation::Sandbox::current().documents() / "secret.png";
        ASSERT_TRUE(foundation::files::writeAtomically(secret, pngOf(20, 20, 1, 0, 0)));
        address = "file://" + secret.string();
        break;
    }
    case Hostile::EndlessBody:
        hostile.endless("/endless.png", pngOf(64, 64, 0, 1, 0), 1ll << 30);
        address = hostile.url("/endless.png");
        break;
    case Hostile::PNGBomb:
        // 260 kilobytes that would take gigabytes decoded.
        hostile.serve("/bomb.png", hostile::greyPNG(16384, 16384), "image/png");
        address = hostile.url("/bomb.png");
        break;
    }
    auto view = std::make_shared<ui::ImageView>();
    ImageViewRemoteImage::setImageWithURL(view, address, placeholder);
    ASSERT_TRUE(waitUntilSettled(view));
    EXPECT_EQ(view->image(), placeholder);
    ASSERT_TRUE(foundation::dispatch::waitIdle());
    auto cache = ImageCache::sharedImageCache();
    EXPECT_FALSE(cache->imageFromMemoryCacheForKey(address));
    EXPECT_FALSE(fs::exists(cache->cachePathForKey(address)));
    EXPECT_LE(hostile.bytesSent("/endless.png"), ImageDownloader::kMaximumBytes + (8ll << 20))
        << "cut off near the limit, not at the server's own bound";
    EXPECT_TRUE(fs::is_empty(foundation::Sandbox::current().tmp())) << "no download left behind";
}

INSTANTIATE_TEST_SUITE_P(Replies, HostileImageTest,
                         ::testing::Values(Hostile::LocalFile, Hostile::EndlessBody, Hostile::PNGBomb));

// PNGs are decoded whole: their area is bounded, whatever each side.
class PNGAreaTest : public ::testing::TestWithParam<std::tuple<uint32_t, uint32_t, bool>> {};

TEST_P(PNGAreaTest, APNGDecodesOnlyUpToItsAreaLimit) {
    const auto [width, height, decodes] = GetParam();
    auto image = graphics::Image::fromData(hostile::greyPNG(width, height));
    EXPECT_EQ(image != nullptr, decodes);
    if (image) {
        EXPECT_EQ(image->pixelWidth(), int(width));
        EXPECT_EQ(image->pixelHeight(), int(height));
    }
}

INSTANTIATE_TEST_SUITE_P(Areas, PNGAreaTest,
                         ::testing::Values(std::tuple{16384u, 16384u, false}, std::tuple{16384u, 1025u, false},
                                           std::tuple{4096u, 4096u, true}, std::tuple{16384u, 1024u, true}));

TEST_F(RemoteImageTest, LaterRequestForTheSameViewWins) {
    HeldReply slow;
    server.script("slow.png", slow(standin::Reply::raw(pngOf(10, 10, 0, 1, 0))));
    server.script("fast.png", standin::Reply::raw(pngOf(16, 16, 1, 1, 0)));

    auto view = std::make_shared<ui::ImageView>();
    ImageViewRemoteImage::setImageWithURL(view, url("slow.png"), placeholder);
    ImageViewRemoteImage::setImageWithURL(view, url("fast.png"), placeholder);
    ASSERT_TRUE(waitForImage(view));
    EXPECT_EQ(view->image()->pixelWidth(), 16);
    slow.release();

    // Another view gets the slow image; the first view's earlier request is gone by then.
    auto other = std::make_shared<ui::ImageView>();
    ImageViewRemoteImage::setImageWithURL(other, url("slow.png"), placeholder);
    ASSERT_TRUE(waitForImage(other));
    EXPECT_EQ(other->image()->pixelWidth(), 10);
    ASSERT_TRUE(foundation::dispatch::waitIdle());
    drain();
    EXPECT_EQ(view->image()->pixelWidth(), 16);
}

// --- Photo browser ----------------------------------------------------------------------------

class PhotoBrowserTest : public RemoteImageTest {
protected:
    void SetUp() override {
        RemoteImageTest::SetUp();
        screen = std::make_shared<ui::ViewController>();
        window = std::make_shared<ui::Window>();
        window->setRootViewController(screen);
        window->makeKeyAndVisible();
        drain();
    }
    void TearDown() override {
        screen.reset();
        window.reset();
        RemoteImageTest::TearDown();
    }
    std::shared_ptr<PhotoBrowser> browserOf(const std::vector<std::shared_ptr<BrowserPhoto>>& photos, int index) {
        auto browser = std::make_shared<PhotoBrowser>();
        browser->photos = photos;
        browser->currentPhotoIndex = index;
        return browser;
    }
    size_t savedPhotoCount() const {
        size_t n = 0;
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(foundation::Sandbox::current().photos(), ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            if (it->is_regular_file()) ++n;
        return n;
    }

    std::shared_ptr<ui::ViewController> screen;
    std::shared_ptr<ui::Window> window;
    driver::Driver driver;
};

TEST_F(PhotoBrowserTest, ShowsTheCurrentPhotoFromItsURLAndSavesIt) {
    server.script("damage.png", standin::Reply::raw(pngOf(60, 40, 0.5, 0.5, 0.5)));
    auto thumbnail = std::make_shared<ui::ImageView>(graphics::Image::named("area"));
    auto fromURL = std::make_shared<BrowserPhoto>();
    fromURL->url = url("damage.png");
    fromURL->srcImageView = thumbnail;
    auto inHand = std::make_shared<BrowserPhoto>();
    inHand->image = graphics::Image::fromData(pngOf(30, 30, 0, 0, 0));

    auto browser = browserOf({inHand, fromURL}, 1);
    EXPECT_TRUE(browser->showSaveBtn);
    browser->show();
    ASSERT_TRUE(browser->isShown());
    EXPECT_EQ(browser->frame(), window->bounds());
    EXPECT_TRUE(driver.isOnScreen("2 / 2"));
    // The thumbnail stands in until the photo arrives.
    EXPECT_EQ(browser->imageViewAtIndex(1)->image(), thumbnail->image());
    EXPECT_EQ(browser->imageViewAtIndex(0)->image(), inHand->image);
    ASSERT_TRUE(runUntil([&] { return browser->isPhotoLoaded(1); }));
    EXPECT_EQ(browser->imageViewAtIndex(1)->image()->pixelWidth(), 60);

    ASSERT_TRUE(driver.tap(PhotoBrowser::kSaveTitle));
    ASSERT_TRUE(runUntil([&] { return !browser->statusText().empty(); }));
    EXPECT_EQ(browser->statusText(), PhotoBrowser::kSavedText);
    EXPECT_EQ(savedPhotoCount(), 1u);
    advance(PhotoBrowser::kStatusDuration);
    EXPECT_EQ(browser->statusText(), "");

    // Swiping to the first photo; a tap on it closes the browser.
    ASSERT_TRUE(driver.page(0, browser->scrollView()));
    EXPECT_EQ(browser->currentPhotoIndex, 0);
    EXPECT_TRUE(driver.isOnScreen("1 / 2"));
    ASSERT_TRUE(driver.tap(browser->imageViewAtIndex(0)));
    EXPECT_FALSE(browser->isShown());
}

TEST_F(PhotoBrowserTest, ABrowserKeptOnlyByTheWindowClosesOnATapWithAPhotoStillLoading) {
    HeldReply slow;
    server.script("late.png", slow(standin::Reply::raw(pngOf(10, 10, 0, 1, 0))));
    auto inHand = std::make_shared<BrowserPhoto>();
    inHand->image = graphics::Image::fromData(pngOf(30, 30, 0, 0, 0));
    auto late = std::make_shared<BrowserPhoto>();
    late->url = url("late.png");

    std::weak_ptr<PhotoBrowser> weak;
    std::shared_ptr<ui::ImageView> page, neighbour;
    {
        auto browser = browserOf({inHand, late}, 0);
        browser->show();
        weak = browser;
        page = browser->imageViewAtIndex(0);
        neighbour = browser->imageViewAtIndex(1);
    }
    EXPECT_TRUE(ImageViewRemoteImage::isLoading(neighbour));
    ASSERT_FALSE(weak.expired());
    ASSERT_TRUE(driver.tap(page));
    EXPECT_TRUE(weak.expired());
    // The download it had started for the neighbouring photo is dropped with it.
    EXPECT_FALSE(ImageViewRemoteImage::isLoading(neighbour));
    ASSERT_TRUE(foundation::dispatch::waitIdle());
    drain();
}

TEST_F(PhotoBrowserTest, SavingFailsWithoutAlbumAccessAndIsOfferedOnlyWhenAsked) {
    auto photo = std::make_shared<BrowserPhoto>();
    photo->image = graphics::Image::fromData(pngOf(30, 30, 0, 0, 0));
    media::PhotoAlbumSimulation denied;
    denied.accessDenied = true;
    media::setPhotoAlbumSimulation(denied);
    auto browser = browserOf({photo}, 5);
    browser->show();
    EXPECT_EQ(browser->currentPhotoIndex, 0);
    EXPECT_FALSE(driver.isOnScreen("1 / 1"));
    ASSERT_TRUE(driver.tap(PhotoBrowser::kSaveTitle));
    ASSERT_TRUE(runUntil([&] { return !browser->statusText().empty(); }));
    EXPECT_EQ(browser->statusText(), PhotoBrowser::kSaveFailedText);
    EXPECT_EQ(savedPhotoCount(), 0u);
    browser->hide();

    auto quiet = browserOf({photo}, 0);
    quiet->showSaveBtn = false;
    quiet->show();
    EXPECT_FALSE(driver.isOnScreen(PhotoBrowser::kSaveTitle));
    media::setPhotoAlbumSimulation({});
}

}  // namespace
