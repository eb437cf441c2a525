// The pictures of the application bundle (resources/, made by scripts/make-images) show what
// they stand for: checked on their pixels, as a person would look at them. They are made at the
// screen's density, two pixels per point.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/graphics/Image.h"

namespace {

using graphics::Color;
using graphics::Image;

Image::Ptr picture(const std::string& name) {
    return Image::fromFile(std::string(VESKARD_RESOURCE_DIR) + "/" + name + "@2x.png");
}


// Share of the pixels that are opaque and nearly white.
double whiteShare(const Image& image) {
    int white = 0, all = image.pixelWidth() * image.pixelHeight();
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x) {
            auto p = image.pixel(x, y);
            if (p.a > 0.9 && p.r > 0.9 && p.g > 0.9 && p.b > 0.9) ++white;
        }
    return static_cast<double>(white) / all;
}

// How many pixels differ between two pictures of one size.
int differingPixels(const Image& a, const Image& b) {
    int n = 0;
    for (int y = 0; y < a.pixelHeight(); ++y)
        for (int x = 0; x < a.pixelWidth(); ++x) {
            auto p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::fabs(p.r - q.r) + std::fabs(p.g - q.g) + std::fabs(p.b - q.b) + std::fabs(p.a - q.a) > 0.1) ++n;
        }
    return n;
}

TEST(BundlePicturesTest, EveryPictureHasTheSizeTheScreensLayOutFor) {
    struct Expected {
        const char* name;
        int width, height;
    };
    for (auto e : {Expected{"home_banner", 320, 150}, {"单车", 187, 102}, {"多车", 269, 76}, {"单车左前", 350, 200},
                   {"单车右后", 350, 200}, {"单车碰撞", 350, 200}, {"双车碰撞", 350, 200}, {"行驶证", 350, 200},
                   {"驾驶证", 350, 200}, {"拍照按钮", 60, 60}, {"拍照按钮-按下", 60, 60}, {"flashing_auto", 44, 44},
                   {"返回", 12, 21}, {"选择", 22, 22}, {"已选择", 22, 22}, {"error", 37, 37}, {"microphone_5", 200, 200},
                   {"灰色btn", 295, 44}, {"下拉", 12, 8}}) {
        auto image = picture(e.name);
        ASSERT_TRUE(image) << e.name;
        EXPECT_EQ(image->size().width, e.width) << e.name;
        EXPECT_EQ(image->size().height, e.height) << e.name;
        EXPECT_EQ(image->scale(), 2) << e.name;
    }
}

TEST(BundlePicturesTest, WhiteTextOnTheGreyButtonsIsReadable) {
    for (const char* name : {"灰色btn", "灰色btn-按下"}) {
        auto button = picture(name);
        ASSERT_TRUE(button) << name;
        auto middle = button->pixel(button->pixelWidth() / 2, button->pixelHeight() / 2);
        EXPECT_GE(Color::contrast(middle, Color::rgba(1, 1, 1)), 4.5) << name;
    }
}

TEST(BundlePicturesTest, TheGuidanceOutlinesAreWhiteLinesOverAClearPicture) {
    for (const char* name : {"单车左前", "单车右后", "单车碰撞", "双车碰撞", "双车碰撞2", "行驶证", "驾驶证"}) {
        auto outline = picture(name);
        ASSERT_TRUE(outline) << name;
        // Mostly see-through (the camera's picture shows), with white lines to frame by.
        EXPECT_EQ(outline->pixel(2, 2).a, 0) << name;
        double share = whiteShare(*outline);
        EXPECT_GT(share, 0.01) << name;
        EXPECT_LT(share, 0.2) << name;
    }
    // Each step asks for something else: the pictures differ.
    auto front = picture("单车左前"), rear = picture("单车右后"), close = picture("单车碰撞"), card = picture("行驶证"),
         licence = picture("驾驶证");
    EXPECT_GT(differingPixels(*front, *rear), 1000);
    EXPECT_GT(differingPixels(*front, *close), 1000);
    EXPECT_GT(differingPixels(*card, *licence), 200);
}

TEST(BundlePicturesTest, TheShutterIsRoundAndShowsWhenPressed) {
    auto shutter = picture("拍照按钮"), pressed = picture("拍照按钮-按下");
    ASSERT_TRUE(shutter && pressed);
    EXPECT_EQ(shutter->pixel(0, 0).a, 0) << "the corners are clear: the button is round";
    const int x = shutter->pixelWidth() / 2, y = shutter->pixelHeight() / 2;
    auto centre = shutter->pixel(x, y), pressedCentre = pressed->pixel(x, y);
    EXPECT_GT(centre.a, 0.99);
    EXPECT_GT(centre.r, 0.95);
    EXPECT_LT(pressedCentre.r, centre.r - 0.2) << "the pressed shutter is darker in the middle";
}

TEST(BundlePicturesTest, TheCardsAndTheFlashStatesCanBeToldApart) {
    auto one = picture("单车"), two = picture("多车");
    ASSERT_TRUE(one && two);
    // The two-car card shows a second, red car; the one-car card none (counted in points).
    auto reddish = [](const Image& image) {
        int n = 0;
        for (int y = 0; y < image.pixelHeight(); ++y)
            for (int x = 0; x < image.pixelWidth(); ++x) {
                auto p = image.pixel(x, y);
                if (p.r > 0.8 && p.g < 0.4 && p.b < 0.35) ++n;
            }
        return n / (image.scale() * image.scale());
    };
    EXPECT_GT(reddish(*two), 150);
    EXPECT_LT(reddish(*one), 50);
    auto off = picture("flashing_off"), on = picture("flashing_on"), automatic = picture("flashing_auto");
    ASSERT_TRUE(off && on && automatic);
    EXPECT_GT(differingPixels(*off, *on), 50);
    EXPECT_GT(differingPixels(*on, *automatic), 50);
}

TEST(BundlePicturesTest, TheMicrophoneLevelsGrow) {
    double previous = 0;
    for (int level = 1; level <= 5; ++level) {
        auto image = picture("microphone_" + std::to_string(level));
        ASSERT_TRUE(image) << level;
        double share = whiteShare(*image);
        EXPECT_GT(share, previous) << "level " << level << " lights more than the one before";
        previous = share;
    }
}

}  // namespace
