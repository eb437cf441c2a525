#include <gtest/gtest.h>

#include <filesystem>

#include "core/AccountTool.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "support/PlatformTest.h"

namespace fs = std::filesystem;

namespace {

using AccountToolTest = PlatformTest;

TEST_F(AccountToolTest, SavesReadsAndForgetsTheLogin) {
    EXPECT_EQ(AccountTool::account(), nullptr);
    AccountModel account;
    account.userid = "10001";
    account.sn = "0f3c";
    account.phoneNumber = "13800138000";
    ASSERT_TRUE(AccountTool::saveAccount(account));
    EXPECT_EQ(AccountTool::accountFile(), foundation::Sandbox::current().documents() / "account.data");

    auto saved = AccountTool::account();
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->userid, "10001");
    EXPECT_EQ(saved->sn, "0f3c");
    EXPECT_EQ(saved->phoneNumber, "13800138000");

    // A nil phone number stays nil.
    account.phoneNumber.reset();
    ASSERT_TRUE(AccountTool::saveAccount(account));
    EXPECT_FALSE(AccountTool::account()->phoneNumber.has_value());

    EXPECT_TRUE(AccountTool::removeAccount());
    EXPECT_EQ(AccountTool::account(), nullptr);
    EXPECT_TRUE(AccountTool::removeAccount());
}

TEST_F(AccountToolTest, DamagedFilesReadAsNoAccount) {
    auto file = AccountTool::accountFile();
    for (const std::string& bytes :
         {std::string("\x01\x02 not a plist"), std::string(),
          foundation::plist::toXml({{"$class", "Story"}, {"$root", {{"userid", "1"}}}}),
          foundation::plist::toXml({{"$class", "AccountModel"}, {"$root", {{"phoneNumber", "138"}}}}),
          foundation::plist::toXml({{"$class", "AccountModel"}, {"$root", {{"userid", ""}}}}),
          foundation::plist::toXml(nlohmann::json::array({"AccountModel"})),
          // A NUL inside the stored user id, and a page of zeros over the file.
          [] {
              auto text = foundation::plist::toXml({{"$class", "AccountModel"}, {"$root", {{"userid", "10001"}}}});
              text[text.find("10001") + 2] = '\0';
              return text;
          }(),
          std::string(4096, '\0')}) {
        ASSERT_TRUE(foundation::files::writeAtomically(file, bytes));
        EXPECT_EQ(AccountTool::account(), nullptr) << bytes;
    }
}

}  // namespace
