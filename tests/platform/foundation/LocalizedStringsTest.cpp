#include <gtest/gtest.h>

#include "platform/foundation/LocalizedStrings.h"
#include "platform/foundation/Sandbox.h"
#include "support/PlatformTest.h"

using namespace foundation;

namespace {

class LocalizedStringsTest : public PlatformTest {
protected:
    void TearDown() override {
        resetLocalizedStrings();
        PlatformTest::TearDown();
    }
    // A bundle of its own holding only this table.
    void useBundleWith(const std::string& table) {
        auto root = Sandbox::current().tmp() / "bundle";
        ASSERT_TRUE(files::createDirectories(root));
        ASSERT_TRUE(files::writeAtomically(root / "Localizable.strings", table));
        setBundleRoot(root);
    }
};

TEST_F(LocalizedStringsTest, TheApplicationsTableTranslatesTheAlertButtonsAndAMissingKeyIsItself) {
    EXPECT_EQ(localizedString("Sure"), "确定");
    EXPECT_EQ(localizedString("ok"), "确定");
    EXPECT_EQ(localizedString("Cancel"), "Cancel");
    EXPECT_EQ(localizedString(""), "");
}

TEST_F(LocalizedStringsTest, TablesWithCommentsEscapesAndTheirFaults) {
    auto table = parseStringsTable("// line\n/* block\n */ \"a\" = \"甲\";\n\"q\\\"\" =\"x\\\\y\\n\" ; \"a\"=\"乙\";");
    ASSERT_TRUE(table);
    EXPECT_EQ(*table, (std::map<std::string, std::string>{{"a", "乙"}, {"q\"", "x\\y\n"}}));
    EXPECT_EQ(parseStringsTable(""), (std::map<std::string, std::string>{}));

    for (const char* bad : {"\"a\" = \"b\"", "\"a\" \"b\";", "a = \"b\";", "\"a\" = \"b;", "/* open", "\"a\" = b;"}) {
        std::string error;
        EXPECT_FALSE(parseStringsTable(bad, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST_F(LocalizedStringsTest, ABrokenOrMissingTableLeavesTheKeys) {
    useBundleWith("\"Sure\" = \"好\";");
    EXPECT_EQ(localizedString("Sure"), "好");
    useBundleWith("\"Sure\" = \"好\"");  // no ";": the whole table is refused
    resetLocalizedStrings();
    EXPECT_EQ(localizedString("Sure"), "Sure");
    setBundleRoot(Sandbox::current().tmp() / "nothing");
    EXPECT_EQ(localizedString("ok"), "ok");
}

}  // namespace
