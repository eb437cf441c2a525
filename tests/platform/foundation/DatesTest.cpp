#include <cmath>

#include "platform/foundation/Dates.h"
#include "support/PlatformTest.h"

using namespace foundation;

namespace {
class DatesTest : public PlatformTest {};
}  // namespace

TEST_F(DatesTest, FormatsTheApplicationsPatternsInBeijingTime) {
    double now = dates::now();  // the manual clock starts on 2026-12-07 10:00:00 in Beijing
    EXPECT_EQ(dates::format(now, "yyyy-MM-dd HH:mm:ss"), "2026-12-07 10:00:00");
    EXPECT_EQ(dates::format(now, "yyyyMMddHHmmss"), "20261207100000");
    EXPECT_EQ(dates::format(now, "YYYY-MM-dd HH:mm"), "2026-12-07 10:00");
    advance(14 * 3600 + 5 * 60 + 9.75);  // past midnight
    EXPECT_EQ(dates::format(dates::now(), "yyyy-MM-dd HH:mm:ss"), "2026-12-08 00:05:09");
    EXPECT_EQ(dates::format(dates::now(), "yyyy年M月d日 h:mm a"), "2026年12月8日 12:05 AM");
    EXPECT_EQ(dates::format(NAN, "yyyy"), "");
}

TEST_F(DatesTest, LocalComponents) {
    auto c = dates::local(dates::now());
    EXPECT_EQ(c.year, 2026);
    EXPECT_EQ(c.month, 12);
    EXPECT_EQ(c.day, 7);
    EXPECT_EQ(c.hour, 10);
    EXPECT_EQ(c.minute, 0);
    EXPECT_EQ(c.second, 0);
    EXPECT_EQ(c.weekday, 2);  // a Monday
}

TEST_F(DatesTest, ParsesWhatItFormatsAndRejectsNonsense) {
    double now = dates::now();
    EXPECT_DOUBLE_EQ(dates::parse("2026-12-07 10:00:00"), now);
    EXPECT_DOUBLE_EQ(dates::parse("2026-12-07 10:00"), now);
    EXPECT_DOUBLE_EQ(dates::parse("20261207100000", "yyyyMMddHHmmss"), now);
    EXPECT_DOUBLE_EQ(dates::parse("2026-12-07 10:01:30") - now, 90);
    for (const char* bad : {"", "2026", "2026-12-", "2026-13-01 00:00:00", "2026-02-30 10:00:00",
                            "2026-12-07 10:00:00 extra", "yesterday", "2026/12/07 10:00:00"})
        EXPECT_TRUE(std::isnan(dates::parse(bad))) << bad;
}
