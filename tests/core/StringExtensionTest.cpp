#include <climits>
#include <random>

#include <gtest/gtest.h>

#include "core/Base64Codec.h"
#include "core/DatetimeChange.h"
#include "core/StringExtension.h"
#include "core/StringHash.h"
#include "core/UserDateSingleton.h"
#include "platform/foundation/Dates.h"
#include "support/PlatformTest.h"
#include "tools/server/ServerConfig.h"

TEST(Validators, PlateNumbersWithoutPrefix) {
    for (const char* ok : {"A1234", "B8F2K", "12345", "A123学", "88汉8Z", "D12345", "12345F"})
        EXPECT_TRUE(StringExtension::validateCarNo(std::string(ok))) << ok;
    for (const char* bad : {"A123", "A123456", "京AD12345", "D1234 ", "A12 4", "A12-4", "A１234", ""})
        EXPECT_FALSE(StringExtension::validateCarNo(std::string(bad))) << bad;
    EXPECT_FALSE(StringExtension::validateCarNo(std::nullopt));
    EXPECT_FALSE(StringExtension::validateCarNo(std::string("A12\xff" "4")));
}

TEST(Validators, DriversNames) {
    for (const char* ok : {"张三", "欧阳娜娜", "Li", "Wang2", "李A"}) EXPECT_TRUE(StringExtension::validateString(std::string(ok))) << ok;
    for (const char* bad : {"", "Zhang San", "张·三", "王五!", "\xe4\xb8"}) EXPECT_FALSE(StringExtension::validateString(std::string(bad))) << bad;
    EXPECT_FALSE(StringExtension::validateString(std::nullopt));
}

TEST(Validators, MobileNumbers) {
    for (const char* ok : {"13812345678", "14512345678", "14712345678", "15012345678", "15912345678", "17612345678",
                           "17712345678", "17812345678", "18612345678", "013812345678", "8613812345678",
                           "1795113812345678"})
        EXPECT_TRUE(StringExtension::isMobileNumber(std::string(ok))) << ok;
    for (const char* bad : {"", "15412345678", "14612345678", "17512345678", "12812345678", "1381234567",
                            "138123456789", "+8613812345678", "86 13812345678", "1795215412345678", "1381234567a"})
        EXPECT_FALSE(StringExtension::isMobileNumber(std::string(bad))) << bad;
    EXPECT_FALSE(StringExtension::isMobileNumber(std::nullopt));
    EXPECT_TRUE(StringExtension::isValide(std::nullopt));
    EXPECT_TRUE(StringExtension::isValide(std::string()));
    EXPECT_FALSE(StringExtension::isValide(std::string(" ")));
}

TEST(IntegerCodes, ReadLikeALeadingInteger) {
    EXPECT_EQ(StringExtension::intValue(std::string("7")), 7);
    EXPECT_EQ(StringExtension::intValue(std::string("  -12")), -12);
    EXPECT_EQ(StringExtension::intValue(std::string("+3x")), 3);
    EXPECT_EQ(StringExtension::intValue(std::string("12abc")), 12);
    EXPECT_EQ(StringExtension::intValue(std::string("abc")), 0);
    EXPECT_EQ(StringExtension::intValue(std::string("- 5")), 0);
    EXPECT_EQ(StringExtension::intValue(std::string("")), 0);
    EXPECT_EQ(StringExtension::intValue(std::nullopt), 0);
    EXPECT_EQ(StringExtension::intValue(std::string("99999999999999999999999")), INT_MAX);
    EXPECT_EQ(StringExtension::intValue(std::string("-99999999999999999999999")), INT_MIN);
    EXPECT_EQ(StringExtension::intValue(std::string("2147483647")), INT_MAX);
    EXPECT_EQ(StringExtension::intValue(std::string("-2147483648")), INT_MIN);
}

TEST(Signature, MatchesTheServersCheckAndStandardDigests) {
    EXPECT_EQ(StringExtension::snWithString("10001"), standin::signatureFor("10001"));
    EXPECT_NE(StringExtension::snWithString("10001"), StringExtension::snWithString("10002"));
    EXPECT_EQ(StringHash::md5String(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(StringHash::md5String("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(StringHash::sha1String("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(StringHash::sha256String("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(StringHash::sha512String("abc").size(), 128u);
}

TEST(Base64, EscapesPlusSlashAndFill) {
    std::string bytes("\xfb\xff", 2);  // "+/8="
    EXPECT_EQ(Base64Codec::encodeData(bytes), "+/8=");
    EXPECT_EQ(Base64Codec::stringByEncodingData(bytes), "%2B%2F8%3D");
    EXPECT_EQ(Base64Codec::encodeData("Ma"), "TWE=");
    EXPECT_EQ(Base64Codec::encodeData("Man"), "TWFu");
    EXPECT_EQ(Base64Codec::encodeData(""), "");

    std::mt19937 random(7);
    std::string data(1000, '\0');
    for (auto& c : data) c = static_cast<char>(random());
    std::string escaped = Base64Codec::stringByEncodingData(data);
    EXPECT_EQ(escaped.find_first_of("+/="), std::string::npos);
    EXPECT_EQ(Base64Codec::decodeString(Base64Codec::encodeData(data)), data);
    EXPECT_FALSE(Base64Codec::decodeString("TW=u").has_value());
    EXPECT_FALSE(Base64Codec::decodeString("TWF").has_value());
}

TEST(UrlEscaping, KeepsReservedCharactersAndEscapesTheRest) {
    EXPECT_EQ(StringExtension::UTF8StringWithString("京A 1/2?x=%&y"), "%E4%BA%ACA%201/2?x=%25&y");
    EXPECT_EQ(StringExtension::UTF8StringWithString("a\"<>\\^`{|}b"), "a%22%3C%3E%5C%5E%60%7B%7C%7Db");
    EXPECT_EQ(StringExtension::UTF8StringWithString(":/?#[]@!$&'()*+,;=-._~"), ":/?#[]@!$&'()*+,;=-._~");
}

class DateTextTest : public PlatformTest {
protected:
    void setNow(const std::string& local) { clock->setWallStart(foundation::dates::parse(local) - clock->now()); }
};

TEST_F(DateTextTest, CurrentDateTexts) {
    setNow("2015-03-07 09:05:03");
    EXPECT_EQ(StringExtension::stringWithCurrenDate(), "2015-3-7 9:5:3");
    EXPECT_EQ(StringExtension::imageNameWithCurrentDate(), "201537953.jpg");
    EXPECT_EQ(StringExtension::getCurrentDate(), "2015-03-07 09:05:03");
}

TEST_F(DateTextTest, RelativeTimes) {
    setNow("2026-12-07 10:00:00");
    double now = foundation::dates::now();
    EXPECT_EQ(DatetimeChange::intelligenceTimeStringSinceDate(now - 59), "刚刚");
    EXPECT_EQ(DatetimeChange::intelligenceTimeStringSinceDate(now + 300), "刚刚");
    EXPECT_EQ(DatetimeChange::intelligenceTimeStringSinceDate(now - 60), "1分钟前");
    EXPECT_EQ(DatetimeChange::intelligenceTimeStringSinceDate(now - 3599), "59分钟前");
    EXPECT_EQ(DatetimeChange::intelligenceTimeStringSinceDate(now - 7300), "2小时前");
    EXPECT_EQ(DatetimeChange::intelligenceTimeStringSinceDate(now - 86400), "2026-12-06 10:00");
}

TEST_F(DateTextTest, OldDatesShowTheCalendarYearAroundNewYear) {
    setNow("2025-01-10 12:00:00");
    // 29 December 2024 is in the first week of 2025; the text keeps the calendar year.
    double date = foundation::dates::parse("2024-12-29 18:30:00");
    EXPECT_EQ(DatetimeChange::intelligenceTimeStringSinceDate(date), "2024-12-29 18:30");
}

TEST(UserState, RequestDictionariesLeaveOutNilValues) {
    auto& state = UserDateSingleton::shareUserDateInstance();
    state.reset();
    state.setUserid("10001");
    state.setSn(StringExtension::snWithString("10001"));
    EXPECT_EQ(state.signedParams(),
              (nlohmann::json{{"userid", "10001"}, {"sn", standin::signatureFor("10001")}, {"appkey", "1039485726"}}));
    EXPECT_EQ(UserDateSingleton::params({{"areaid", state.city()}}), nlohmann::json::object());
    state.setCity("北京市");
    EXPECT_EQ(UserDateSingleton::params({{"areaid", state.city()}}), (nlohmann::json{{"areaid", "北京市"}}));
    state.reset();
    EXPECT_FALSE(state.userid());
}
