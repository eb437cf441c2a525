#include <gtest/gtest.h>

#include <limits>

#include "platform/foundation/JsonText.h"

using namespace foundation;

TEST(JsonTextTest, NestingIsCountedOutsideStringsOnly) {
    EXPECT_EQ(jsonNestingDepth(""), 0);
    EXPECT_EQ(jsonNestingDepth("\"[[[\""), 0);
    EXPECT_EQ(jsonNestingDepth(R"({"a":[1,{"b":"]}\"[{"}],"c":{}})"), 3);
    EXPECT_EQ(jsonNestingDepth("[[]][[[]]]"), 3);
}

TEST(JsonTextTest, ParsesWhatIsWellFormedAndRefusesTheRest) {
    auto value = parseJson(R"({"rescode":"200","list":[{"name":"北京"}]})");
    ASSERT_FALSE(value.is_discarded());
    EXPECT_EQ(value["list"][0]["name"], "北京");
    EXPECT_TRUE(parseJson("{\"rescode\":").is_discarded());
    EXPECT_TRUE(parseJson("").is_discarded());

    // A few megabytes of brackets parse, but copying the value would recurse once per level.
    const std::string deep = std::string(1000000, '[') + std::string(1000000, ']');
    EXPECT_TRUE(parseJson("{\"a\":" + deep + "}").is_discarded());
    std::string atLimit = std::string(kMaxJsonDepth, '[') + std::string(kMaxJsonDepth, ']');
    auto kept = parseJson(atLimit);
    ASSERT_FALSE(kept.is_discarded());
    nlohmann::json copy = kept;
    EXPECT_EQ(copy, kept);
    EXPECT_TRUE(parseJson("[" + atLimit + "]").is_discarded());
}

TEST(JsonTextTest, WholeNumbersKeepEveryDigit) {
    auto value = parseJson(R"({"u":12345678901234567890,"max":18446744073709551615,"n":-9223372036854775808,)"
                           R"("big":123456789012345678901234567890,"neg":-99999999999999999999,"f":2.5,"e":1e3,"i":7})");
    ASSERT_FALSE(value.is_discarded());
    EXPECT_EQ(value["u"].get<unsigned long long>(), 12345678901234567890ull);
    EXPECT_EQ(value["max"].get<unsigned long long>(), 18446744073709551615ull);
    EXPECT_EQ(value["n"].get<long long>(), std::numeric_limits<long long>::min());
    // Beyond 64 bits no number type holds them: their text does.
    EXPECT_EQ(value["big"], "123456789012345678901234567890");
    EXPECT_EQ(value["neg"], "-99999999999999999999");
    EXPECT_EQ(value["f"], 2.5);
    EXPECT_TRUE(value["e"].is_number_float());
    EXPECT_EQ(value["i"], 7);
    // Trailing text after the value and a number too large for a double are still refused.
    EXPECT_TRUE(parseJson("{} x").is_discarded());
    EXPECT_TRUE(parseJson("[1e999]").is_discarded());
}
