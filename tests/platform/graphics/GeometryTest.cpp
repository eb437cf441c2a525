#include <cmath>
#include <numbers>

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "support/PlatformTest.h"

using namespace graphics;

TEST(GeometryTest, RectEdgesContainmentInsetsAndEquality) {
    Rect r(10, 20, 100, 50);
    EXPECT_EQ(r.maxX(), 110);
    EXPECT_EQ(r.maxY(), 70);
    EXPECT_EQ(r.midX(), 60);
    EXPECT_EQ(r.midY(), 45);
    EXPECT_TRUE(r.contains({10, 20}));
    EXPECT_FALSE(r.contains({110, 20}));  // the far edges are outside
    EXPECT_EQ(r.inset(5, 10), Rect(15, 30, 90, 30));
    EXPECT_EQ(r.inset(EdgeInsets{1, 2, 3, 4}), Rect(12, 21, 94, 46));
    EXPECT_TRUE(r.intersects(Rect(100, 60, 20, 20)));
    EXPECT_FALSE(r.intersects(Rect(110, 20, 5, 5)));
    EXPECT_TRUE(Rect(0, 0, 0, 10).isEmpty());
    EXPECT_NE(r, r.offset(1, 0));
}

TEST(GeometryTest, TransformsRotateScaleAndConcatenate) {
    auto near = [](Point a, Point b) { return std::fabs(a.x - b.x) < 1e-9 && std::fabs(a.y - b.y) < 1e-9; };
    auto quarter = AffineTransform::rotation(std::numbers::pi / 2);
    EXPECT_TRUE(near(quarter.apply({1, 0}), {0, 1}));
    // Scale first, then move: concat applies the receiver first.
    auto t = AffineTransform::scale(2, 3).concat(AffineTransform::translation(10, 0));
    EXPECT_TRUE(near(t.apply({1, 1}), {12, 3}));
    EXPECT_TRUE(near(t.inverted().apply({12, 3}), {1, 1}));
    EXPECT_TRUE(AffineTransform::identity().isIdentity());
    EXPECT_TRUE(near(quarter.concat(quarter).apply({1, 0}), {-1, 0}));
}

TEST(GeometryTest, ColorsFromBytesAndGreysDescribeThemselves) {
    EXPECT_EQ(Color::rgbBytes(47, 203, 235).description(), "rgba(47,203,235,1)");
    EXPECT_EQ(Color::grey(0.5, 0.25).description(), "rgba(128,128,128,0.25)");
    EXPECT_TRUE(Color::clear().isClear());
    EXPECT_EQ(Color::red().withAlpha(0.5), Color::rgba(1, 0, 0, 0.5));
}
