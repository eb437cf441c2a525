#include <gtest/gtest.h>

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
