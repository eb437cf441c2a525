#include <cairo.h>

#include <random>
#include <stdexcept>

#include <gtest/gtest.h>

#include "core/Base64Codec.h"
#include "core/ImageCommon.h"
#include "core/ImageExtension.h"
#include "core/ImageResize.h"
#include "core/StringExtension.h"

using graphics::Color;
using graphics::Image;
using graphics::Size;

namespace {

// Left half red, right half blue.
Image::Ptr twoColours(double w, double h) {
    return Image::draw({w, h}, 1, true, [&](cairo_t* cr) {
        cairo_set_source_rgb(cr, 1, 0, 0);
        cairo_rectangle(cr, 0, 0, w / 2, h);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0, 0, 1);
        cairo_rectangle(cr, w / 2, 0, w / 2, h);
        cairo_fill(cr);
    });
}

// Random pixels: JPEG hardly compresses them.
Image::Ptr noise(int w, int h, unsigned seed) {
    std::mt19937 random(seed);
    return Image::draw({double(w), double(h)}, 1, true, [&](cairo_t* cr) {
        cairo_surface_t* target = cairo_get_target(cr);
        cairo_surface_flush(target);
        unsigned char* data = cairo_image_surface_get_data(target);
        int stride = cairo_image_surface_get_stride(target);
        for (int y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
            for (int x = 0; x < w; ++x) row[x] = 0xFF000000u | (random() & 0xFFFFFFu);
        }
        cairo_surface_mark_dirty(target);
    });
}

bool isRed(Color c) { return c.r > 0.8 && c.g < 0.2 && c.b < 0.2; }
bool isBlue(Color c) { return c.b > 0.8 && c.r < 0.2 && c.g < 0.2; }

std::string unescape(std::string text) {
    for (auto [from, to] : {std::pair{"%2B", "+"}, {"%2F", "/"}, {"%3D", "="}}) {
        for (size_t at; (at = text.find(from)) != std::string::npos;) text.replace(at, 3, to);
    }
    return text;
}

std::string jpegOf(const std::string& escapedBase64) {
    return Base64Codec::decodeString(unescape(escapedBase64)).value_or("");
}

}  // namespace

TEST(ImageResizeTest, ContentModesGiveFitAndFillSizes) {
    auto image = twoColours(400, 300);
    auto fit = ImageResize::resizedImageWithContentMode(image, 1, {200, 200}, 3);
    ASSERT_TRUE(fit);
    EXPECT_EQ(fit->size(), (Size{200, 150}));
    auto fill = ImageResize::resizedImageWithContentMode(image, 2, {200, 200}, 3);
    EXPECT_EQ(fill->size(), (Size{267, 200}));
    EXPECT_TRUE(isRed(fill->pixel(10, 100)));
    EXPECT_TRUE(isBlue(fill->pixel(250, 100)));
    EXPECT_EQ(fill->scale(), 1);

    try {
        ImageResize::resizedImageWithContentMode(image, 0, {200, 200}, 3);
        FAIL() << "mode 0 is not supported";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Unsupported content mode: 0");
    }
    EXPECT_THROW(ImageResize::resizedImageWithContentMode(image, 4, {1, 1}, 3), std::invalid_argument);
}

TEST(ImageResizeTest, RedrawsUprightAtItsOwnSize) {
    auto turned = twoColours(400, 300)->withOrientation(graphics::ImageOrientation::Right);
    ASSERT_EQ(turned->size(), (Size{300, 400}));
    auto upright = ImageResize::resizedImageWithContentMode(turned, 2, turned->size(), 3);
    ASSERT_TRUE(upright);
    EXPECT_EQ(upright->orientation(), graphics::ImageOrientation::Up);
    EXPECT_EQ(upright->pixelWidth(), 300);
    EXPECT_EQ(upright->pixelHeight(), 400);
    auto reference = Image::draw(turned->size(), 1, false, [&](cairo_t* cr) {
        turned->drawInRect(cr, graphics::Rect(0, 0, 300, 400));
    });
    for (auto [x, y] : {std::pair{20, 20}, {280, 20}, {20, 380}, {280, 380}})
        EXPECT_EQ(isRed(upright->pixel(x, y)), isRed(reference->pixel(x, y))) << x << "," << y;
}

TEST(ImageResizeTest, RotationTurnsClockwiseOnTheBoundingBox) {
    auto image = twoColours(400, 300);
    auto quarter = ImageResize::rotatedByDegrees(image, 90);
    ASSERT_TRUE(quarter);
    EXPECT_EQ(quarter->size(), (Size{300, 400}));
    EXPECT_TRUE(isRed(quarter->pixel(150, 50))) << "the left half goes to the top";
    EXPECT_TRUE(isBlue(quarter->pixel(150, 350)));

    auto back = ImageResize::rotatedByDegrees(image, -90);
    EXPECT_EQ(back->size(), (Size{300, 400}));
    EXPECT_TRUE(isRed(back->pixel(150, 350)));

    auto half = ImageResize::rotatedByDegrees(image, 180);
    EXPECT_EQ(half->size(), (Size{400, 300}));
    EXPECT_TRUE(isRed(half->pixel(350, 150)));

    auto same = ImageResize::rotatedByDegrees(image, 0);
    EXPECT_EQ(same->size(), (Size{400, 300}));
    EXPECT_TRUE(isRed(same->pixel(50, 150)));

    auto slanted = ImageResize::rotatedByDegrees(twoColours(100, 100), 45);
    EXPECT_EQ(slanted->size(), (Size{142, 142}));
    EXPECT_EQ(slanted->pixel(2, 2).a, 0) << "corners outside the turned image stay transparent";
}

TEST(ImageCommonTest, AspectFillCentreCrop) {
    auto image = twoColours(400, 300);
    auto portrait = ImageCommon::imageCompressForSize(image, {480, 640});
    ASSERT_TRUE(portrait);
    EXPECT_EQ(portrait->size(), (Size{480, 640}));
    EXPECT_EQ(portrait->scale(), 1);
    EXPECT_TRUE(isRed(portrait->pixel(200, 320)));
    EXPECT_TRUE(isBlue(portrait->pixel(280, 320)));
    EXPECT_EQ(portrait->pixel(0, 0).a, 1) << "the canvas is covered";

    auto landscape = ImageCommon::imageCompressForSize(image, {640, 480});
    EXPECT_EQ(landscape->size(), (Size{640, 480}));
    EXPECT_TRUE(isRed(landscape->pixel(10, 10)));
    EXPECT_TRUE(isBlue(landscape->pixel(630, 470)));

    auto unchanged = ImageCommon::imageCompressForSize(image, {400, 300});
    EXPECT_EQ(unchanged->size(), (Size{400, 300}));
    EXPECT_FALSE(ImageCommon::imageCompressForSize(nullptr, {10, 10}));
}

TEST(ImageExtensionTest, StretchedToTheGivenSize) {
    auto sign = ImageExtension::imageWithOriginImage(twoColours(400, 100), {160, 90});
    ASSERT_TRUE(sign);
    EXPECT_EQ(sign->pixelWidth(), 160);
    EXPECT_EQ(sign->pixelHeight(), 90);
    EXPECT_TRUE(isRed(sign->pixel(70, 45)));
    EXPECT_TRUE(isBlue(sign->pixel(90, 45)));
    EXPECT_FALSE(ImageExtension::imageWithOriginImage(nullptr, {160, 90}));
}

TEST(ImageCompression, LargeFirstJpegIsEncodedOnceMoreAtTheRatio) {
    auto image = noise(400, 300, 1);
    std::string first = image->jpegData(1.0);
    ASSERT_GT(first.size() / 1024, 200u);
    double quality = 200.0 * 1024 / first.size();
    std::string chosen = ImageResize::compressedJPEG(image, 200);
    EXPECT_EQ(chosen, image->jpegData(quality));
    EXPECT_LT(chosen.size(), first.size());
    EXPECT_EQ(jpegOf(ImageResize::compressionWithSize(image, 200)), chosen);

    auto small = twoColours(64, 48);
    EXPECT_EQ(ImageResize::compressedJPEG(small, 200), small->jpegData(1.0));
    auto decoded = Image::fromData(jpegOf(ImageResize::compressionWithSize(small, 200)));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->size(), (Size{64, 48}));
}

TEST(ImageCompression, FourHundredKilobyteShotIsReencodedAtHalfQuality) {
    // About 400 KB at quality 1.0: the second encoding runs at about quality 0.5.
    auto image = noise(520, 390, 2);
    std::string first = image->jpegData(1.0);
    double quality = 200.0 * 1024 / first.size();
    ASSERT_NEAR(quality, 0.5, 0.1) << first.size();
    EXPECT_EQ(ImageResize::compressedJPEG(image, 200), image->jpegData(quality));
}

TEST(ImageBase64, SignatureArrivesBlackOnWhite) {
    auto signature = Image::draw({160, 90}, 1, false, [](cairo_t* cr) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_rectangle(cr, 0, 40, 160, 10);
        cairo_fill(cr);
    });
    ASSERT_TRUE(signature->hasAlpha());
    std::string text = StringExtension::imageWithBase64(signature);
    EXPECT_EQ(text.find_first_of("+/="), std::string::npos);
    std::string jpeg = jpegOf(text);
    EXPECT_EQ(jpeg, signature->jpegData(1.0)) << "a 160 x 90 signature stays under 51 KB";
    auto decoded = Image::fromData(jpeg);
    ASSERT_TRUE(decoded);
    EXPECT_GT(decoded->pixel(80, 10).r, 0.9);
    EXPECT_LT(decoded->pixel(80, 45).r, 0.1);

    auto big = noise(200, 150, 3);
    std::string firstBig = big->jpegData(1.0);
    ASSERT_GE(firstBig.size() / 1024, 51u);
    EXPECT_EQ(jpegOf(StringExtension::imageWithBase64(big)), big->jpegData(51200.0 / firstBig.size()));
    EXPECT_EQ(StringExtension::imageWithBase64(nullptr), "");
}
