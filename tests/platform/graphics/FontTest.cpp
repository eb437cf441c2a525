#include "platform/graphics/Font.h"
#include "support/PlatformTest.h"

using namespace graphics;

TEST(FontTest, NamesMapToTheOneFontWithBoldKept) {
    EXPECT_TRUE(Font::named("Helvetica-Bold", 70).bold);
    EXPECT_FALSE(Font::named("STHeiti", 14).bold);
    EXPECT_TRUE(Font::boldSystemFont(15).bold);
    EXPECT_EQ(Font::systemFont(15), Font::named("System", 15));
}

TEST(FontTest, LongerTextMeasuresWiderAndWrapsAtTheWidth) {
    Font font = Font::systemFont(15);
    Size shortText = measureText("交通事故", font);
    Size longText = measureText("交通事故快速处理", font);
    EXPECT_GT(shortText.width, 0);
    EXPECT_GT(longText.width, shortText.width);
    EXPECT_EQ(longText.height, shortText.height);
    EXPECT_EQ(shortText.height, font.lineHeight());

    // Chinese wraps between characters, Latin text between words.
    Size wrapped = measureText("交通事故快速处理交通事故快速处理", font, 100);
    EXPECT_LE(wrapped.width, 100);
    EXPECT_GE(wrapped.height, 2 * shortText.height);
    Size words = measureText("settle the accident on the spot", font, 80);
    EXPECT_LE(words.width, 80);
    EXPECT_GT(words.height, font.lineHeight());

    // Bigger is wider; sizes are whole points.
    EXPECT_GT(measureText("abc", Font::systemFont(30)).width, measureText("abc", Font::systemFont(15)).width);
    EXPECT_EQ(longText.width, static_cast<int>(longText.width));
}

TEST(FontTest, EmptyAndBrokenTextMeasureSafely) {
    EXPECT_EQ(measureText("", Font::systemFont(15)), (Size{0, 0}));
    Size broken = measureText(std::string("ab\xff\xfe", 4), Font::systemFont(15));
    EXPECT_GT(broken.width, 0);
    EXPECT_GT(measureText("x", Font::systemFont(-3)).height, 0);  // nonsense sizes fall back
}
