#include <cairo.h>

#include <cmath>
#include <random>
#include <vector>

#include "platform/foundation/Sandbox.h"
#include "platform/graphics/Image.h"
#include "support/CorruptJpeg.h"
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
    static bool same(const Color& a, const Color& b) { return near(a, b, 1e-9); }
    // The image's pixels copied into an image of its own, decoded whole (the plain way).
    static Image::Ptr whole(const Image::Ptr& image) {
        return Image::fromSurface(cairo_surface_reference(image->surface()), image->scale(), image->orientation());
    }
    // Mean difference of two images' pixels over all channels, 0..1 (1 when sizes differ).
    static double meanDifference(const Image::Ptr& a, const Image::Ptr& b) {
        if (a->pixelWidth() != b->pixelWidth() || a->pixelHeight() != b->pixelHeight()) return 1;
        double sum = 0;
        for (int y = 0; y < a->pixelHeight(); ++y)
            for (int x = 0; x < a->pixelWidth(); ++x) {
                Color p = a->pixel(x, y), q = b->pixel(x, y);
                sum += std::fabs(p.r - q.r) + std::fabs(p.g - q.g) + std::fabs(p.b - q.b) + std::fabs(p.a - q.a);
            }
        return sum / (4.0 * a->pixelWidth() * a->pixelHeight());
    }
    // A w x h picture in which every pixel differs from its neighbours in a known way.
    static Image::Ptr numbered(int w, int h) {
        return Image::draw({double(w), double(h)}, 1, true, [&](cairo_t* cr) {
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    cairo_set_source_rgb(cr, (x + 1) / double(w + 1), (y + 1) / double(h + 1), (x * h + y) % 3 / 2.0);
                    cairo_rectangle(cr, x, y, 1, 1);
                    cairo_fill(cr);
                }
        });
    }
};

// The displayed picture of `image` (orientation applied) turned clockwise by whole quarter
// turns, pixel by pixel: the reference for uprightTurned.
std::vector<std::vector<Color>> turnedByHand(const Image::Ptr& image, int quarterTurns) {
    auto displayed = Image::fromData(image->pngData());
    const int w = displayed->pixelWidth(), h = displayed->pixelHeight();
    std::vector<std::vector<Color>> rows(h, std::vector<Color>(w));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) rows[y][x] = displayed->pixel(x, y);
    for (int q = 0; q < ((quarterTurns % 4) + 4) % 4; ++q) {
        const int rh = static_cast<int>(rows.size()), rw = static_cast<int>(rows[0].size());
        std::vector<std::vector<Color>> turned(rw, std::vector<Color>(rh));
        for (int y = 0; y < rw; ++y)
            for (int x = 0; x < rh; ++x) turned[y][x] = rows[rh - 1 - x][y];  // one quarter clockwise
        rows = std::move(turned);
    }
    return rows;
}
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

TEST_F(ImageTest, UprightTurnedGivesTheDisplayedPixelsTurnedInEveryOrientation) {
    auto stored = numbered(5, 3);
    for (ImageOrientation o : {ImageOrientation::Up, ImageOrientation::Down, ImageOrientation::Left,
                               ImageOrientation::Right, ImageOrientation::UpMirrored, ImageOrientation::DownMirrored,
                               ImageOrientation::LeftMirrored, ImageOrientation::RightMirrored}) {
        auto image = stored->withOrientation(o);
        for (int q : {0, 1, 2, 3, -1}) {
            auto turned = image->uprightTurned(q);
            auto expected = turnedByHand(image, q);
            ASSERT_EQ(turned->orientation(), ImageOrientation::Up);
            EXPECT_EQ(turned->scale(), 1);
            ASSERT_EQ(turned->pixelHeight(), int(expected.size()));
            ASSERT_EQ(turned->pixelWidth(), int(expected[0].size()));
            EXPECT_EQ(turned->size(), (Size{double(expected[0].size()), double(expected.size())}));
            for (int y = 0; y < turned->pixelHeight(); ++y)
                for (int x = 0; x < turned->pixelWidth(); ++x)
                    ASSERT_TRUE(same(turned->pixel(x, y), expected[y][x]))
                        << "orientation " << int(o) << ", " << q << " quarter turns, at " << x << "," << y;
            // A turn of a turn is the sum of the turns.
            auto twice = turned->uprightTurned(1);
            auto once = image->uprightTurned(q + 1);
            ASSERT_EQ(twice->pixelWidth(), once->pixelWidth());
            EXPECT_TRUE(same(twice->pixel(0, 0), once->pixel(0, 0)));
            EXPECT_TRUE(same(twice->pixel(twice->pixelWidth() - 1, 1), once->pixel(once->pixelWidth() - 1, 1)));
        }
    }
}

TEST_F(ImageTest, JpegPixelsAreMadeOnDemandAndTurnedViewsShareThem) {
    auto jpeg = scene(64, 48)->jpegData(0.9);
    auto image = Image::fromData(jpeg);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 64);
    EXPECT_EQ(image->pixelHeight(), 48);
    EXPECT_FALSE(image->isBroken());
    auto reference = whole(image);  // the pixels decoded whole
    for (int q : {1, 2, 3}) {
        auto turned = image->uprightTurned(q);
        auto expected = turnedByHand(reference, q);
        for (auto [x, y] : {std::pair{0, 0}, {10, 5}, {turned->pixelWidth() - 1, turned->pixelHeight() - 1}})
            EXPECT_TRUE(same(turned->pixel(x, y), expected[y][x])) << q << " at " << x << "," << y;
    }
    // Encoding a view decodes and turns it like any image.
    auto turnedJpeg = Image::fromData(image->uprightTurned(1)->jpegData(1.0));
    ASSERT_TRUE(turnedJpeg);
    EXPECT_EQ(turnedJpeg->size(), (Size{48, 64}));
}

TEST_F(ImageTest, ALargeJpegDrawnSmallLooksAsIfDecodedWhole) {
    // 1600 x 1200 drawn into 200 x 150 needs an eighth of it, into 700 x 525 under half, and
    // turned into 150 x 200 an eighth again; then once more after its pixels were read whole.
    auto jpeg = scene(1600, 1200)->jpegData(0.9);
    auto lazy = Image::fromData(jpeg);
    auto plain = whole(Image::fromData(jpeg));
    auto drawn = [](const Image::Ptr& image, Size box) {
        auto turned = box.width < box.height ? image->withOrientation(ImageOrientation::Right) : image;
        return Image::draw(box, 1, true, [&](cairo_t* cr) { turned->drawInRect(cr, Rect(0, 0, box.width, box.height)); });
    };
    for (Size box : {Size{200, 150}, Size{700, 525}, Size{150, 200}, Size{200, 150}}) {
        auto small = drawn(lazy, box), reference = drawn(plain, box);
        EXPECT_LT(meanDifference(small, reference), 0.02) << box.width << " x " << box.height;
        EXPECT_TRUE(near(small->pixel(int(box.width) / 2, int(box.height) / 2),
                         reference->pixel(int(box.width) / 2, int(box.height) / 2), 0.08));
    }
    lazy->pixel(0, 0);  // decodes it whole
    EXPECT_LT(meanDifference(drawn(lazy, {200, 150}), drawn(plain, {200, 150})), 1e-9);
}

TEST_F(ImageTest, JpegCorruptPastItsHeaderIsReportedAndNeverCrashes) {
    // A progressive JPEG whose second scan asks for an impossible band of coefficients: the
    // header reads, the decoding fails.
    std::string jpeg = corruptjpeg::pastItsHeader(corruptjpeg::progressive(*scene(64, 48)));
    ASSERT_FALSE(jpeg.empty());

    auto image = Image::fromData(jpeg);
    ASSERT_TRUE(image) << "the header is sound";
    EXPECT_EQ(image->size(), (Size{64, 48}));
    auto small = Image::draw({16, 12}, 1, false, [&](cairo_t* cr) { image->drawInRect(cr, Rect(0, 0, 16, 12)); });
    EXPECT_TRUE(small);
    EXPECT_TRUE(image->isBroken());
    ASSERT_TRUE(image->surface());
    EXPECT_EQ(cairo_image_surface_get_width(image->surface()), 64);
    image->pixel(63, 47);  // readable, whatever was decoded
    EXPECT_FALSE(Image::fromData(jpeg.substr(0, jpeg.find("\xFF\xDA")))) << "no scan: the header does not read";
    EXPECT_FALSE(Image::fromData(scene(16, 16)->jpegData(0.7))->isBroken());
}

TEST_F(ImageTest, DrawnInRectAveragesTheAreaEachNewPixelCovers) {
    // Random opaque and translucent pixels, reduced by whole factors: each new pixel is the
    // mean of its block of premultiplied pixels.
    std::mt19937 random(5);
    const int w = 12, h = 9;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(s);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
        for (int x = 0; x < w; ++x) {
            const uint32_t a = x % 4 == 0 ? 0x80 : 0xFF;
            auto channel = [&] { return static_cast<uint32_t>(random() % (a + 1)); };
            row[x] = (a << 24) | (channel() << 16) | (channel() << 8) | channel();
        }
    }
    cairo_surface_mark_dirty(s);
    auto image = Image::fromSurface(s);
    auto raw = [](const Image::Ptr& i, int x, int y, int shift) {
        cairo_surface_t* p = i->surface();
        const auto* row = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(p) +
                                                            y * cairo_image_surface_get_stride(p));
        return static_cast<int>((row[x] >> shift) & 0xFF);
    };
    for (auto [fx, fy] : {std::pair{3, 3}, {4, 3}, {2, 1}}) {
        auto reduced = image->drawnInRect({double(w / fx), double(h / fy)}, Rect(0, 0, w / fx, h / fy));
        ASSERT_TRUE(reduced);
        ASSERT_EQ(reduced->pixelWidth(), w / fx);
        ASSERT_EQ(reduced->pixelHeight(), h / fy);
        for (int y = 0; y < h / fy; ++y)
            for (int x = 0; x < w / fx; ++x)
                for (int shift : {0, 8, 16, 24}) {
                    double sum = 0;
                    for (int v = 0; v < fy; ++v)
                        for (int u = 0; u < fx; ++u) sum += raw(image, x * fx + u, y * fy + v, shift);
                    EXPECT_NEAR(raw(reduced, x, y, shift), sum / (fx * fy), 0.51)
                        << fx << " x " << fy << " at " << x << "," << y << " channel " << shift;
                }
    }
}

TEST_F(ImageTest, DrawnInRectLooksAsCairoDrawsIt) {
    auto picture = scene(300, 200);
    auto byCairo = [&](const Image::Ptr& image, Size size, Rect rect) {
        return Image::draw(size, 1, false, [&](cairo_t* cr) { image->drawInRect(cr, rect); });
    };
    // Reductions by a third and more (where Cairo averages areas too), a crop, a fit with
    // margins that stay transparent and a picture shown turned.
    struct Case {
        Image::Ptr image;
        Size size;
        Rect rect;
    };
    const Case cases[] = {{picture, {97, 61}, Rect(0, 0, 97, 61)},
                          {picture, {100, 100}, Rect(-25, 0, 150, 100)},
                          {picture, {120, 120}, Rect(0, 30, 120, 80)},
                          {picture->withOrientation(ImageOrientation::Right), {61, 97}, Rect(0, 0, 61, 97)},
                          {picture->withOrientation(ImageOrientation::LeftMirrored), {50, 70}, Rect(-17.5, 0, 85, 70)}};
    for (const Case& c : cases) {
        auto ours = c.image->drawnInRect(c.size, c.rect);
        auto theirs = byCairo(c.image, c.size, c.rect);
        ASSERT_TRUE(ours);
        EXPECT_EQ(ours->size(), c.size);
        EXPECT_LT(meanDifference(ours, theirs), 0.01) << c.size.width << " x " << c.size.height;
        for (auto [x, y] : {std::pair{2, 2}, {int(c.size.width) - 3, int(c.size.height) / 2}})
            EXPECT_TRUE(near(ours->pixel(x, y), theirs->pixel(x, y), 0.1)) << x << "," << y;
    }
    auto fitted = picture->drawnInRect({120, 120}, Rect(0, 30, 120, 80));
    EXPECT_EQ(fitted->pixel(60, 10).a, 0) << "the margin stays transparent";
    EXPECT_EQ(fitted->pixel(60, 60).a, 1);
    auto halfCovered = picture->drawnInRect({120, 120}, Rect(0, 29.5, 120, 80));
    EXPECT_NEAR(halfCovered->pixel(60, 29).a, 0.5, 0.01) << "a row half covered is half opaque";

    // Enlarging is left to Cairo, pixel for pixel.
    auto small = scene(40, 30);
    auto enlarged = small->drawnInRect({80, 60}, Rect(0, 0, 80, 60));
    EXPECT_LT(meanDifference(enlarged, byCairo(small, {80, 60}, Rect(0, 0, 80, 60))), 1e-9);
}

TEST_F(ImageTest, AJpegReducedRowByRowMatchesItsWholeDecoding) {
    // Decoded at a halving scale (or whole) straight into the reduction, in every orientation
    // a camera tags, against the same reduction of the pixels decoded whole.
    auto jpeg = scene(1600, 1200)->jpegData(0.9);
    auto decoded = whole(Image::fromData(jpeg));
    for (ImageOrientation o : {ImageOrientation::Up, ImageOrientation::Right, ImageOrientation::Left,
                               ImageOrientation::Down}) {
        for (Size size : {Size{200, 150}, Size{400, 300}, Size{1000, 750}}) {
            auto lazy = Image::fromData(jpeg)->withOrientation(o);
            auto plain = decoded->withOrientation(o);
            const Size shown = lazy->size().width > lazy->size().height ? size : Size{size.height, size.width};
            auto reduced = lazy->drawnInRect(shown, Rect(0, 0, shown.width, shown.height));
            auto reference = plain->drawnInRect(shown, Rect(0, 0, shown.width, shown.height));
            ASSERT_TRUE(reduced);
            EXPECT_FALSE(lazy->isBroken());
            EXPECT_LT(meanDifference(reduced, reference), 0.01) << int(o) << ", " << size.width;
            EXPECT_TRUE(near(reduced->pixel(3, 3), reference->pixel(3, 3), 0.08)) << int(o) << ", " << size.width;
        }
    }
    // Crops across and down (centred, and off to one side) decode only what they show.
    const std::pair<Size, Rect> crops[] = {{{150, 200}, Rect(-58.33, 0, 266.67, 200)},
                                           {{300, 120}, Rect(0, -52.5, 300, 225)},
                                           {{100, 100}, Rect(-120, -10, 160, 120)}};
    for (auto [size, rect] : crops) {
        auto reduced = Image::fromData(jpeg)->drawnInRect(size, rect);
        auto reference = decoded->drawnInRect(size, rect);
        ASSERT_TRUE(reduced);
        EXPECT_LT(meanDifference(reduced, reference), 0.01) << size.width << " x " << size.height;
        for (auto [x, y] : {std::pair{0, 0}, {int(size.width) - 1, int(size.height) - 1}})
            EXPECT_TRUE(near(reduced->pixel(x, y), reference->pixel(x, y), 0.08)) << x << "," << y;
    }
    // A file cut short still gives its top; the rest is what the decoder makes of the missing data.
    auto cut = Image::fromData(jpeg.substr(0, jpeg.size() / 2));
    ASSERT_TRUE(cut);
    auto top = cut->drawnInRect({200, 150}, Rect(0, 0, 200, 150));
    ASSERT_TRUE(top);
    EXPECT_FALSE(cut->isBroken());
    auto wholeTop = decoded->drawnInRect({200, 150}, Rect(0, 0, 200, 150));
    EXPECT_TRUE(near(top->pixel(100, 5), wholeTop->pixel(100, 5), 0.08));
}
