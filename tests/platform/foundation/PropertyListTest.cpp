#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <vector>

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/UserDefaults.h"
#include "support/PlatformTest.h"

using namespace foundation;
using nlohmann::json;

namespace {
class PropertyListTest : public PlatformTest {};

const json kCase = {
    {"situation", json::array({{{"title", "追尾"}, {"code", 1}}, {{"title", "变道"}, {"code", -2}}})},
    {"insurance", {{"name", "中国人民财产保险"}, {"phone", "95518"}}},
    {"ratio", 0.75},
    {"confirmed", true},
    {"empty", json::object()},
};
}  // namespace

TEST_F(PropertyListTest, RoundTripsChineseTextNumbersAndNesting) {
    auto path = Sandbox::current().documents() / "situation.plist";
    ASSERT_TRUE(plist::write(path, kCase));
    EXPECT_NE(files::read(path)->find("<string>中国人民财产保险</string>"), std::string::npos);
    auto back = plist::read(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, kCase);

    json withNulls = {{"kept", "是"}, {"dropped", nullptr}, {"list", {1, nullptr, 2}}};
    EXPECT_EQ(plist::parse(plist::toXml(withNulls)), (json{{"kept", "是"}, {"list", {1, 2}}}));
}

TEST_F(PropertyListTest, ReadsBinaryPlistsWithDatesAndData) {
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "名称", plist_new_string("北京"));
    plist_dict_set_item(root, "when", plist_new_date(100, 500000));
    plist_dict_set_item(root, "bytes", plist_new_data("hi!", 3));
    char* bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bin, &length);
    std::string bytes(bin, length);
    plist_to_bin_free(bin);
    plist_free(root);

    auto value = plist::parse(bytes);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ((*value)["名称"], "北京");
    EXPECT_DOUBLE_EQ((*value)["when"].get<double>(), 978307200.0 + 100.5);
    EXPECT_EQ((*value)["bytes"], "aGkh");
}

TEST_F(PropertyListTest, MissingAndCorruptFilesReadAsNothing) {
    auto dir = Sandbox::current().documents();
    EXPECT_FALSE(plist::read(dir / "absent.plist").has_value());

    std::string good = plist::toXml(kCase);
    const std::string corrupt[] = {
        "",
        "not a plist at all",
        good.substr(0, good.size() / 2),
        "<?xml version=\"1.0\"?><plist><dict><key>a</key><string>b</string>",
        "<plist><array><string>x</array></plist>",
        std::string("bplist00\x01\x02\x03", 11),
        std::string(4096, '\xff'),
    };
    int n = 0;
    for (const auto& bytes : corrupt) {
        auto path = dir / ("bad" + std::to_string(n++) + ".plist");
        ASSERT_TRUE(files::writeAtomically(path, bytes));
        EXPECT_FALSE(plist::read(path).has_value()) << "case " << n - 1;
    }
}

// A binary plist whose one object is the given ASCII (0x5) or UTF-16 (0x6) string.
std::string binaryString(unsigned type, const std::string& bytes, size_t characters) {
    std::string out = "bplist00";
    out.push_back(static_cast<char>((type << 4) | characters));
    out += bytes;
    char tableAt = static_cast<char>(out.size());
    out.push_back(8);  // the object's offset
    out.append(6, '\0');
    out.push_back(1);
    out.push_back(1);
    out.append(7, '\0');
    out.push_back(1);  // one object
    out.append(8, '\0');  // the top object is object 0
    out.append(7, '\0');
    out.push_back(tableAt);
    return out;
}

// The library stops the process on a text or key with a NUL inside; such files read as
// nothing, and a stored one is moved aside once.
TEST_F(PropertyListTest, ANulInsideATextNeverStopsTheProcess) {
    const std::string xmlHead = "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><dict><key>";
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"NUL in a text", xmlHead + "a</key><string>x" + std::string(1, '\0') + "y</string></dict></array></plist>"},
        {"NUL in a key", xmlHead + "a" + std::string(1, '\0') + "b</key><string>x</string></dict></array></plist>"},
        {"a page of zeros", xmlHead + "a</key><string>x" + std::string(4096, '\0') + "</string></dict></array></plist>"},
        {"only zeros", std::string(4096, '\0')},
        {"NUL as a reference", xmlHead + "a</key><string>x&#0;y</string></dict></array></plist>"},
        {"NUL as a hex reference", xmlHead + "a&#x00;</key><string>x</string></dict></array></plist>"},
        {"binary ASCII text with a NUL", binaryString(0x5, std::string("a\0b", 3), 3)},
        {"binary UTF-16 text with a NUL", binaryString(0x6, std::string("\0a\0\0", 4), 2)},
    };
    auto dir = Sandbox::current().documents();
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(plist::parse(bytes).has_value());
        auto path = dir / "stored.plist";
        ASSERT_TRUE(files::writeAtomically(path, bytes));
        EXPECT_FALSE(plist::readStored(path).has_value());
        EXPECT_FALSE(files::exists(path));
        auto aside = path;
        aside += ".corrupt-1";
        EXPECT_EQ(files::read(aside), bytes);
        EXPECT_FALSE(plist::readStored(path).has_value());  // moved once: now simply missing
        files::remove(aside);
    }
    // Texts without a NUL still read, also in binary.
    EXPECT_EQ(plist::parse(binaryString(0x5, "abc", 3)), json("abc"));
    EXPECT_EQ(plist::parse(xmlHead + "a</key><string>x&#65;y</string></dict></array></plist>"),
              json::array({{{"a", "xAy"}}}));
    auto intact = dir / "intact.plist";
    ASSERT_TRUE(plist::write(intact, kCase));
    EXPECT_EQ(plist::readStored(intact), kCase);
    EXPECT_TRUE(files::exists(intact));
}

// A binary plist of `levels` arrays, each holding the next (4-byte offsets and references).
std::string nestedBinaryPlist(uint32_t levels) {
    auto be = [](std::string& out, uint64_t v, int width) {
        for (int k = width - 1; k >= 0; --k) out.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
    };
    std::string out = "bplist00";
    std::vector<uint32_t> offsets;
    for (uint32_t i = 0; i < levels; ++i) {
        offsets.push_back(static_cast<uint32_t>(out.size()));
        if (i + 1 < levels) {
            out.push_back(static_cast<char>(0xA1));
            be(out, i + 1, 4);
        } else {
            out.push_back(static_cast<char>(0xA0));
        }
    }
    uint64_t tableAt = out.size();
    for (uint32_t offset : offsets) be(out, offset, 4);
    out.append(6, '\0');
    out.push_back(4);  // offset size
    out.push_back(4);  // reference size
    be(out, levels, 8);
    be(out, 0, 8);
    be(out, tableAt, 8);
    return out;
}

TEST_F(PropertyListTest, FilesNestedTooDeeplyReadAsNothingAndModestNestingReads) {
    auto nestedXml = [](int levels) {
        std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\">";
        for (int i = 0; i < levels; ++i) xml += "<array>";
        xml += "<string>底</string>";
        for (int i = 0; i < levels; ++i) xml += "</array>";
        return xml + "</plist>";
    };
    auto dir = Sandbox::current().documents();
    ASSERT_TRUE(files::writeAtomically(dir / "deep.plist", nestedXml(1000000)));
    EXPECT_FALSE(plist::read(dir / "deep.plist").has_value());
    EXPECT_FALSE(plist::parse(nestedBinaryPlist(300000)).has_value());

    auto xml = plist::parse(nestedXml(100));
    ASSERT_TRUE(xml.has_value());
    const json* inner = &*xml;
    for (int i = 0; i < 100; ++i) inner = &(*inner)[0];
    EXPECT_EQ(*inner, "底");
    auto binary = plist::parse(nestedBinaryPlist(100));
    ASSERT_TRUE(binary.has_value());
    EXPECT_EQ(binary->dump(), std::string(100, '[') + std::string(100, ']'));
    // Empty elements and closing tags keep the count right.
    EXPECT_TRUE(plist::parse("<plist><dict><key>a</key><array/><key>b</key><dict/></dict></plist>").has_value());
}

TEST_F(PropertyListTest, UserDefaultsPersistAcrossReloadAndSurviveACorruptFile) {
    auto& defaults = UserDefaults::standard();
    EXPECT_TRUE(defaults.objectForKey("token").is_null());
    defaults.setObject("token", "abc");
    defaults.setObject("count", 3);
    defaults.setObject("remember", true);
    defaults.setObject("user", {{"name", "张三"}});
    defaults.reload();
    EXPECT_EQ(defaults.stringForKey("token"), "abc");
    EXPECT_EQ(defaults.integerForKey("count"), 3);
    EXPECT_EQ(defaults.stringForKey("count"), "3");
    EXPECT_TRUE(defaults.boolForKey("remember"));
    EXPECT_EQ(defaults.objectForKey("user")["name"], "张三");
    EXPECT_FALSE(defaults.stringForKey("absent").has_value());
    EXPECT_EQ(defaults.integerForKey("token"), 0);

    defaults.removeObjectForKey("token");
    defaults.setObject("count", nullptr);
    defaults.reload();
    EXPECT_TRUE(defaults.objectForKey("token").is_null());
    EXPECT_TRUE(defaults.objectForKey("count").is_null());
    EXPECT_TRUE(defaults.boolForKey("remember"));

    // A damaged file: the settings start empty and the damaged file is kept aside.
    auto file = Sandbox::current().preferences() / (std::string(UserDefaults::kDomain) + ".plist");
    ASSERT_TRUE(files::writeAtomically(file, "<plist><dict><key>remember"));
    defaults.reload();
    EXPECT_FALSE(defaults.boolForKey("remember"));
    EXPECT_TRUE(files::exists(file.string() + ".corrupt-1"));
    defaults.setObject("again", "yes");
    defaults.reload();
    EXPECT_TRUE(defaults.boolForKey("again"));
}

TEST_F(PropertyListTest, WholeNumbersBeyondTheSignedRangeComeBackWithTheirDigits) {
    auto path = Sandbox::current().documents() / "insurance.plist";
    json list = json::array({{{"inscomcode", 12345678901234567890ull},
                              {"max", 18446744073709551615ull},
                              {"limit", 9223372036854775807ull},
                              {"min", std::numeric_limits<long long>::min()}}});
    ASSERT_TRUE(plist::write(path, list));
    EXPECT_EQ(files::read(path)->find("-6101065172474983726"), std::string::npos);
    auto back = plist::read(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ((*back)[0]["inscomcode"], "12345678901234567890");
    EXPECT_EQ((*back)[0]["max"], "18446744073709551615");
    // Numbers a plist integer holds stay numbers.
    EXPECT_EQ((*back)[0]["limit"], 9223372036854775807ll);
    EXPECT_EQ((*back)[0]["min"], std::numeric_limits<long long>::min());
}
