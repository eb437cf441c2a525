#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>

#include <gtest/gtest.h>

#include "core/Base64Codec.h"
#include "core/ImageCommon.h"
#include "core/ImageExtension.h"
#include "core/ImageResize.h"
#include "core/StringExtension.h"
#include "support/CorruptJpeg.h"

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

// A camera-like shot of w x h stored pixels: a smooth gradient, a red band over the top fifth
// and a blue band down the left sixth below it, so that every turn is told apart.
std::string markedShot(int w, int h) {
    auto image = Image::draw({double(w), double(h)}, 1, true, [&](cairo_t* cr) {
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, w, h);
        cairo_pattern_add_color_stop_rgb(g, 0, 0.2, 0.6, 0.3);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.9, 0.9, 0.6);
        cairo_set_source(cr, g);
        cairo_paint(cr);
        cairo_pattern_destroy(g);
        cairo_set_source_rgb(cr, 1, 0, 0);
        cairo_rectangle(cr, 0, 0, w, h / 5.0);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0, 0, 1);
        cairo_rectangle(cr, 0, h / 5.0, w / 6.0, h);
        cairo_fill(cr);
    });
    return image->jpegData(0.92);
}

// The JPEG with an EXIF orientation (1 to 8) in an APP1 segment right after its start.
std::string withExifOrientation(const std::string& jpeg, int orientation) {
    const unsigned char tiff[] = {'I', 'I', 0x2A, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0,
                                  static_cast<unsigned char>(orientation), 0, 0, 0, 0, 0, 0, 0};
    std::string body = std::string("Exif\0\0", 6) + std::string(reinterpret_cast<const char*>(tiff), sizeof tiff);
    const size_t length = body.size() + 2;
    std::string app1 = std::string("\xFF\xE1") + char(length >> 8) + char(length & 0xFF) + body;
    return jpeg.substr(0, 2) + app1 + jpeg.substr(2);
}

// The camera's steps on a shot, with the helpers.
Image::Ptr reducedShot(const std::string& jpeg, double degrees, Size target) {
    auto shot = Image::fromData(jpeg);
    auto upright = ImageResize::resizedImageWithContentMode(shot, ImageResize::kContentModeScaleAspectFill,
                                                            shot->size(), ImageResize::kInterpolationHigh);
    auto turned = ImageResize::rotatedByDegrees(upright, degrees);
    return ImageCommon::imageCompressForSize(turned, target);
}

// The same steps done the plain way, each at full size: decoded whole, redrawn upright,
// turned on its bounding box, then reduced by aspect fill with a centred crop.
Image::Ptr reducedAtFullSize(const std::string& jpeg, double degrees, Size target) {
    auto decoded = Image::fromData(jpeg);
    auto whole = Image::fromSurface(cairo_surface_reference(decoded->surface()), 1, decoded->orientation());
    const Size size = whole->size();
    auto upright = Image::draw(size, 1, false, [&](cairo_t* cr) {
        whole->drawInRect(cr, graphics::Rect(0, 0, size.width, size.height));
    });
    const bool sideways = std::fmod(std::fabs(degrees), 180) == 90;
    const Size box = sideways ? Size{size.height, size.width} : size;
    auto turned = Image::draw(box, 1, false, [&](cairo_t* cr) {
        cairo_translate(cr, box.width / 2, box.height / 2);
        cairo_rotate(cr, degrees * M_PI / 180);
        upright->drawInRect(cr, graphics::Rect(-size.width / 2, -size.height / 2, size.width, size.height));
    });
    const double f = std::max(target.width / box.width, target.height / box.height);
    const graphics::Rect rect((target.width - box.width * f) / 2, (target.height - box.height * f) / 2,
                              box.width * f, box.height * f);
    return Image::draw(target, 1, false, [&](cairo_t* cr) { turned->drawInRect(cr, rect); });
}

// Mean difference of two images' pixels over the colour channels, 0..1.
double meanDifference(const Image::Ptr& a, const Image::Ptr& b) {
    double sum = 0;
    for (int y = 0; y < a->pixelHeight(); ++y)
        for (int x = 0; x < a->pixelWidth(); ++x) {
            Color p = a->pixel(x, y), q = b->pixel(x, y);
            sum += std::fabs(p.r - q.r) + std::fabs(p.g - q.g) + std::fabs(p.b - q.b);
        }
    return sum / (3.0 * a->pixelWidth() * a->pixelHeight());
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

TEST(ImageCompression, ReducedShotDecidesItsSecondQualityAsTheFullSizeReductionDoes) {
    // A grainy camera-like shot reduced for a re-take (640 x 480 towards 30 KB): the size of its
    // first JPEG, which sets the second one's quality, is that of the shot decoded whole and
    // reduced by Cairo, and the second JPEG is the size rule's.
    std::mt19937 random(11);
    auto grainy = Image::draw({2016, 1512}, 1, true, [&](cairo_t* cr) {
        cairo_surface_t* target = cairo_get_target(cr);
        cairo_surface_flush(target);
        for (int y = 0; y < 1512; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(target) +
                                                    y * cairo_image_surface_get_stride(target));
            for (int x = 0; x < 2016; ++x) {
                const int grain = static_cast<int>(random() % 24) - 12;
                auto channel = [&](double v) { return static_cast<uint32_t>(std::clamp(int(v) + grain, 0, 255)); };
                row[x] = 0xFF000000u | (channel(128 + 100 * std::sin(x / 150.0)) << 16) |
                         (channel(128 + 100 * std::cos(y / 125.0)) << 8) | channel(128 + 80 * std::sin((x + y) / 250.0));
            }
        }
        cairo_surface_mark_dirty(target);
    });
    const std::string shot = grainy->jpegData(0.9);
    auto reduced = ImageCommon::imageCompressForSize(Image::fromData(shot), {640, 480});
    ASSERT_TRUE(reduced);
    auto decoded = Image::fromData(shot);
    auto whole = Image::fromSurface(cairo_surface_reference(decoded->surface()));
    auto reference = Image::draw({640, 480}, 1, false, [&](cairo_t* cr) {
        whole->drawInRect(cr, graphics::Rect(0, 0, 640, 480));
    });
    const std::string first = reduced->jpegData(1.0), referenceFirst = reference->jpegData(1.0);
    EXPECT_NEAR(double(first.size()) / double(referenceFirst.size()), 1.0, 0.015);
    EXPECT_LT(meanDifference(reduced, reference), 0.005);

    ASSERT_GT(first.size() / 1024, 30u);
    const std::string sent = ImageResize::compressedJPEG(reduced, 30);
    EXPECT_EQ(sent, reduced->jpegData(30 * 1024.0 / double(first.size())));
    EXPECT_LT(sent.size(), first.size());
    EXPECT_EQ(reduced->jpegData(1.0), first) << "the first JPEG is kept for the album copy";
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

TEST(ShotPipeline, EveryTurnOfTheTableGivesTheFullSizePathsPixels) {
    // The device orientation table (degrees, target) on shots stored upright and stored turned
    // as a phone's camera tags them (EXIF 6: shown turned clockwise, 8: anticlockwise, 3: upside down).
    const std::string plain = markedShot(1600, 1200);
    const std::pair<double, Size> table[] = {{0, {480, 640}}, {180, {480, 640}}, {-90, {640, 480}}, {90, {640, 480}}};
    for (int exif : {1, 6, 8, 3}) {
        const std::string jpeg = exif == 1 ? plain : withExifOrientation(plain, exif);
        for (auto [degrees, target] : table) {
            auto reduced = reducedShot(jpeg, degrees, target);
            auto reference = reducedAtFullSize(jpeg, degrees, target);
            ASSERT_TRUE(reduced);
            EXPECT_EQ(reduced->size(), target);
            EXPECT_EQ(reduced->scale(), 1);
            EXPECT_EQ(reduced->orientation(), graphics::ImageOrientation::Up);
            EXPECT_LT(meanDifference(reduced, reference), 0.015) << "EXIF " << exif << ", " << degrees << " degrees";
            for (auto [x, y] : {std::pair{5, 5}, {int(target.width) - 6, 5}, {5, int(target.height) - 6},
                                {int(target.width) - 6, int(target.height) - 6}}) {
                Color p = reduced->pixel(x, y), q = reference->pixel(x, y);
                EXPECT_EQ(isRed(p), isRed(q)) << "EXIF " << exif << ", " << degrees << " degrees, at " << x << "," << y;
                EXPECT_EQ(isBlue(p), isBlue(q)) << "EXIF " << exif << ", " << degrees << " degrees, at " << x << "," << y;
            }
        }
    }
    // Held upright, the red band is on top; held landscape left (-90), it turns to the left.
    auto upright = reducedShot(plain, 0, {480, 640});
    EXPECT_TRUE(isRed(upright->pixel(240, 10)));
    EXPECT_FALSE(isRed(upright->pixel(240, 630)));
    auto left = reducedShot(plain, -90, {640, 480});
    EXPECT_TRUE(isRed(left->pixel(10, 240)));
    EXPECT_FALSE(isRed(left->pixel(630, 240)));
}

TEST(ShotPipeline, TwelveMegapixelAndVgaShotsBothBecomeUpright480x640) {
    for (auto [w, h] : {std::pair{4032, 3024}, {640, 480}}) {
        // Held upright, a phone stores the shot landscape and tags it as turned clockwise.
        const std::string jpeg = withExifOrientation(markedShot(w, h), 6);
        auto reduced = reducedShot(jpeg, 0, {480, 640});
        ASSERT_TRUE(reduced) << w;
        EXPECT_EQ(reduced->pixelWidth(), 480);
        EXPECT_EQ(reduced->pixelHeight(), 640);
        EXPECT_EQ(reduced->orientation(), graphics::ImageOrientation::Up);
        // The stored top (red) is shown on the right, the stored left (blue) at the top.
        EXPECT_TRUE(isRed(reduced->pixel(470, 320))) << w;
        EXPECT_TRUE(isBlue(reduced->pixel(240, 5))) << w;
        auto sent = Image::fromData(jpegOf(ImageResize::compressionWithSize(reduced, 200)));
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->size(), (Size{480, 640}));
        EXPECT_EQ(sent->orientation(), graphics::ImageOrientation::Up);
        EXPECT_EQ(reduced->jpegData(1.0), ImageResize::compressedJPEG(reduced, 1e9)) << "the album copy";
    }
}

TEST(ShotPipeline, RetakeOfAPictureWithTransparencyIsPutOnWhite) {
    // A picture whose right half is transparent, reduced as a re-take is (640 x 480, 30 KB).
    auto picture = Image::draw({800, 600}, 1, false, [](cairo_t* cr) {
        cairo_set_source_rgb(cr, 0, 0, 1);
        cairo_rectangle(cr, 0, 0, 400, 600);
        cairo_fill(cr);
    });
    auto png = Image::fromData(picture->pngData());
    ASSERT_TRUE(png && png->hasAlpha());
    auto reduced = ImageCommon::imageCompressForSize(png, {640, 480});
    ASSERT_TRUE(reduced);
    auto sent = Image::fromData(jpegOf(ImageResize::compressionWithSize(reduced, 30)));
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->size(), (Size{640, 480}));
    Color white = sent->pixel(600, 240), blue = sent->pixel(40, 240);
    EXPECT_GT(white.r, 0.9);
    EXPECT_GT(white.g, 0.9);
    EXPECT_GT(white.b, 0.9);
    EXPECT_TRUE(isBlue(blue));
}

TEST(ShotPipeline, ShotCorruptPastItsHeaderGivesNoReducedImage) {
    // A progressive shot whose second scan asks for an impossible band of coefficients: it
    // opens (the header is sound), but its pixels do not decode.
    std::string sound = corruptjpeg::progressive(*twoColours(64, 48));
    ASSERT_TRUE(ImageCommon::imageCompressForSize(Image::fromData(sound), {32, 24}));
    std::string jpeg = corruptjpeg::pastItsHeader(sound);
    ASSERT_FALSE(jpeg.empty());

    auto shot = Image::fromData(jpeg);
    ASSERT_TRUE(shot);
    EXPECT_FALSE(ImageCommon::imageCompressForSize(shot, {32, 24})) << "broken pixels are not reduced";
    EXPECT_FALSE(ImageCommon::imageCompressForSize(Image::fromData(jpeg)->uprightTurned(1), {24, 32}));
    EXPECT_FALSE(ImageExtension::imageWithOriginImage(Image::fromData(jpeg), {16, 12}));
    EXPECT_FALSE(ImageCommon::imageCompressForSize(Image::fromData(jpeg.substr(0, 30)), {32, 24}));
}
