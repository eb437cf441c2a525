#include <cairo.h>

#include <cmath>

#include "platform/foundation/Sandbox.h"
#include "platform/graphics/Image.h"
#include "support/PlatformTest.h"

using namespace graphics;
using foundation::files::writeAtomically;

namespace {
class ImageTest : public PlatformTest {
protected:
    // A photo-like picture: gradients and detail, so JPEG quality matters.
    static Image::Ptr scene(double w, double h, double scale = 1) {
        return Image::draw({w, h}, scale, true, [&](cairo_t* cr) {
            cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, w, h);
            cairo_pattern_add_color_stop_rgb(g, 0, 0.1, 0.4, 0.8);
            cairo_pattern_add_color_stop_rgb(g, 1, 0.9, 0.7, 0.2);
            cairo_set_source(cr, g);
            cairo_paint(cr);
            cairo_pattern_destroy(g);
            cairo_set_source_rgb(cr, 0, 0, 0);
            for (int i = 0; i < 40; ++i) {
                cairo_move_to(cr, i * w / 40, 0);
                cairo_line_to(cr, w - i * w / 40, h);
            }
            cairo_stroke(cr);
        });
    }
    static bool near(const Color& c, const Color& expected, double tolerance = 0.06) {
        return std::fabs(c.r - expected.r) < tolerance && std::fabs(c.g - expected.g) < tolerance &&
               std::fabs(c.b - expected.b) < tolerance && std::fabs(c.a - expected.a) < tolerance;
    }
};
}  // namespace

TEST_F(ImageTest, DrawsIntoABitmapWhoseUnitIsOnePoint) {
    auto image = Image::draw({40, 30}, 2, false, [](cairo_t* cr) {
        cairo_set_source_rgb(cr, 1, 0, 0);
        cairo_rectangle(cr, 0, 0, 20, 30);  // the left half, in points
        cairo_fill(cr);
    });
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (Size{40, 30}));
    EXPECT_EQ(image->pixelWidth(), 80);
    EXPECT_EQ(image->pixelHeight(), 60);
    EXPECT_TRUE(near(image->pixel(39, 59), Color::red()));
    EXPECT_TRUE(image->pixel(41, 0).isClear());
    EXPECT_TRUE(image->hasAlpha());
    EXPECT_TRUE(image->pixel(500, 0).isClear());  // outside reads as clear

    auto opaque = Image::draw({4, 4}, 1, true, nullptr);
    EXPECT_FALSE(opaque->hasAlpha());
    EXPECT_TRUE(near(opaque->pixel(0, 0), Color::white()));
    EXPECT_FALSE(Image::draw({1e9, 10}, 1, false, nullptr));
}

TEST_F(ImageTest, LowerJpegQualityGivesFewerBytesAndDecodesBack) {
    auto image = scene(320, 240);
    std::string high = image->jpegData(0.9), low = image->jpegData(0.2);
    ASSERT_FALSE(high.empty());
    EXPECT_LT(low.size(), high.size());
    auto decoded = Image::fromData(high);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->size(), (Size{320, 240}));
    EXPECT_FALSE(decoded->hasAlpha());
    EXPECT_TRUE(near(decoded->pixel(300, 5), image->pixel(300, 5), 0.1));
}

TEST_F(ImageTest, JpegOfATransparentImageComesOutOnWhite) {
    auto image = Image::draw({20, 20}, 1, false, [](cairo_t* cr) {
        cairo_set_source_rgba(cr, 0, 0, 1, 0.5);
        cairo_rectangle(cr, 0, 0, 10, 20);
        cairo_fill(cr);
    });
    auto jpeg = Image::fromData(image->jpegData(1));
    ASSERT_TRUE(jpeg);
    EXPECT_TRUE(near(jpeg->pixel(15, 10), Color::white()));
    EXPECT_TRUE(near(jpeg->pixel(3, 10), Color::rgba(0.5, 0.5, 1)));
}

TEST_F(ImageTest, OrientationTurnsSizeDrawingAndEncodedPixels) {
    // 30 x 10 stored pixels, red on the left third.
    auto stored = Image::draw({30, 10}, 1, true, [](cairo_t* cr) {
        cairo_set_source_rgb(cr, 1, 0, 0);
        cairo_rectangle(cr, 0, 0, 10, 10);
        cairo_fill(cr);
    });
    auto right = stored->withOrientation(ImageOrientation::Right);  // shown turned clockwise
    EXPECT_EQ(right->size(), (Size{10, 30}));
    EXPECT_EQ(right->pixelWidth(), 30);

    auto upright = Image::fromData(right->pngData());
    ASSERT_TRUE(upright);
    EXPECT_EQ(upright->size(), (Size{10, 30}));
    EXPECT_TRUE(near(upright->pixel(5, 2), Color::red()));  // the left third is now on top
    EXPECT_TRUE(near(upright->pixel(5, 27), Color::white()));

    auto jpeg = Image::fromData(stored->withOrientation(ImageOrientation::Left)->jpegData(1));
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->size(), (Size{10, 30}));
    EXPECT_TRUE(near(jpeg->pixel(5, 27), Color::red(), 0.15));  // turned anticlockwise: at the bottom

    // Drawn into a rect, the image fills it upright and scaled.
    auto canvas = Image::draw({20, 60}, 1, true, [&](cairo_t* cr) { right->drawInRect(cr, Rect(0, 0, 20, 60)); });
    EXPECT_TRUE(near(canvas->pixel(10, 5), Color::red()));
    EXPECT_TRUE(near(canvas->pixel(10, 55), Color::white()));
}

TEST_F(ImageTest, NamedResolvesBundleNamesAndScales) {
    auto bundle = sandboxRoot / "bundle";
    auto png = scene(24, 12)->pngData();
    ASSERT_TRUE(writeAtomically(bundle / "plain.png", png));
    ASSERT_TRUE(writeAtomically(bundle / "retina@2x.png", png));
    ASSERT_TRUE(writeAtomically(bundle / "photo.jpg", scene(24, 12)->jpegData(0.8)));
    ASSERT_TRUE(writeAtomically(bundle / "exact", png));
    ASSERT_TRUE(writeAtomically(bundle / "broken.png", "not a png"));
    foundation::setBundleRoot(bundle);

    auto plain = Image::named("plain");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->size(), (Size{24, 12}));
    EXPECT_EQ(plain->name(), "plain");
    EXPECT_EQ(Image::named("plain"), plain);  // cached
    ASSERT_TRUE(Image::named("plain.png"));

    auto retina = Image::named("retina");
    ASSERT_TRUE(retina);
    EXPECT_EQ(retina->scale(), 2);
    EXPECT_EQ(retina->size(), (Size{12, 6}));
    ASSERT_TRUE(Image::named("retina.png"));
    EXPECT_EQ(Image::named("retina.png")->scale(), 2);

    ASSERT_TRUE(Image::named("photo"));
    ASSERT_TRUE(Image::named("exact"));
    EXPECT_FALSE(Image::named("missing"));
    EXPECT_FALSE(Image::named("broken"));
    EXPECT_FALSE(Image::named(""));
}

TEST_F(ImageTest, BadBytesDecodeToNothing) {
    auto png = scene(16, 16)->pngData();
    auto jpeg = scene(16, 16)->jpegData(0.7);
    EXPECT_FALSE(Image::fromData(""));
    EXPECT_FALSE(Image::fromData("GIF89a......"));
    EXPECT_FALSE(Image::fromData(png.substr(0, png.size() / 2)));
    EXPECT_FALSE(Image::fromData(jpeg.substr(0, 20)));
    std::string huge = png;
    huge[17] = '\x10';  // a header claiming a million pixels across
    EXPECT_FALSE(Image::fromData(huge));
    EXPECT_FALSE(Image::fromFile((sandboxRoot / "none.png").string()));
    ASSERT_TRUE(writeAtomically(sandboxRoot / "ok.png", png));
    EXPECT_TRUE(Image::fromFile((sandboxRoot / "ok.png").string()));
}
