#include <gtest/gtest.h>

#include <tuple>

#include "VehicleTestSupport.h"
#include "capture/vehicle/ChooseInsuranceViewController.h"

using nlohmann::json;

namespace {

json insurer(const std::string& name, const std::string& code) {
    return {{"inscomname", name}, {"inscomcode", code}, {"insphone", "9" + code}, {"insreporttel", "8" + code}};
}

class ChooseInsuranceTest : public VehicleTest {
protected:
    // Opens a chooser with a block that records every call and whether the chooser was still
    // on top when it came.
    std::shared_ptr<ChooseInsuranceViewController> openChooser(int flag, bool withBlock = true) {
        auto chooser = std::make_shared<ChooseInsuranceViewController>(
            ChooseInsuranceViewController::Arguments{flag != 0 ? CaseMode::Real : CaseMode::Practice});
        EXPECT_TRUE(chooser);
        if (!chooser) return nullptr;
        if (withBlock) {
            std::weak_ptr<ChooseInsuranceViewController> weak = chooser;
            chooser->returnBlock([this, weak](const std::shared_ptr<InsuranceCompany>& company) {
                picked.push_back(company);
                onTopWhenCalled.push_back(top() == weak.lock());
            });
        }
        navigation->pushViewController(chooser, true);
        finishTransitions();
        return chooser;
    }
    std::vector<std::string> rowNames(const std::shared_ptr<ChooseInsuranceViewController>& chooser) {
        std::vector<std::string> names;
        auto table = chooser->tableView();
        for (int row = 0; row < table->numberOfRowsInSection(0); ++row) {
            table->scrollToRowAtIndexPath({0, row}, ui::TableViewScrollPosition::None, false);
            auto cell = table->cellForRowAtIndexPath({0, row});
            names.push_back(cell ? cell->textLabel()->text() : "<no cell>");
        }
        return names;
    }
    static std::vector<std::string> bundleNames() {
        std::vector<std::string> names;
        auto file = foundation::plist::read(foundation::bundlePath("insurance.plist"));
        if (file && file->is_array())
            for (const auto& entry : *file) names.push_back(entry.value("inscomname", ""));
        return names;
    }

    std::vector<std::shared_ptr<InsuranceCompany>> picked;
    std::vector<bool> onTopWhenCalled;
};

// --- The real list ----------------------------------------------------------------------------

TEST_F(ChooseInsuranceTest, SavedFileGivesItsRowsInOrderWithoutARequest) {
    ASSERT_TRUE(foundation::plist::write(documentsFile("insurance.plist"),
                                         json::array({insurer("丙保险", "C"), insurer("甲保险", "A"), insurer("乙保险", "B")})));
    auto chooser = openChooser(1);
    settleRequests();
    EXPECT_EQ(rowNames(chooser), (std::vector<std::string>{"丙保险", "甲保险", "乙保险"}));
    EXPECT_EQ(server.count("insurerlist"), 0u);
    EXPECT_EQ(chooser->title(), "选择保险公司");
    EXPECT_EQ(driver.topScreenName(), "ChooseInsuranceViewController");
}

TEST_F(ChooseInsuranceTest, NoFileAndNoCitySendsOneRequestWithoutParameters) {
    auto chooser = openChooser(1);
    ASSERT_TRUE(server.waitForRequests("insurerlist", 1));
    settleRequests();
    auto request = server.lastRequest("insurerlist");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "GET");
    EXPECT_TRUE(request->query.empty()) << request->query.dump();
    // The stand-in's insurers are listed, and the file stays unwritten.
    auto names = rowNames(chooser);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names[0], "中国人民财产保险股份有限公司");
    EXPECT_FALSE(foundation::files::exists(documentsFile("insurance.plist")));
    // Reading the list again sends nothing more.
    chooser->tableView()->reloadData();
    settleRequests();
    EXPECT_EQ(server.count("insurerlist"), 1u);
}

TEST_F(ChooseInsuranceTest, EmptyOrCorruptFileAsksTheServerForTheCitysInsurers) {
    UserDateSingleton::shareUserDateInstance().setCity(std::string("北京市"));
    std::string withNul = foundation::plist::toXml(json::array({insurer("甲保险", "A")}));
    withNul[withNul.find("甲保险")] = '\0';
    for (const std::string& content : {std::string(foundation::plist::toXml(json::array())), std::string("<plist><array><dict>"),
                                       withNul}) {
        SCOPED_TRACE(content);
        server.clearRequests();
        ASSERT_TRUE(foundation::files::writeAtomically(documentsFile("insurance.plist"), content));
        server.scriptOnce("insurerlist", standin::Reply::rescode("200", "成功", {{"list", json::array({insurer("丁保险", "D")})}}));
        auto chooser = openChooser(1);
        ASSERT_TRUE(server.waitForRequests("insurerlist", 1));
        settleRequests();
        EXPECT_EQ(server.lastRequest("insurerlist")->param("areaid"), "北京市");
        EXPECT_EQ(rowNames(chooser), std::vector<std::string>{"丁保险"});
        navigation->popToRootViewController(false);
        drain();
    }
}

TEST_F(ChooseInsuranceTest, AListThatDoesNotComeIsExplainedAndAskedForAgain) {
    const std::vector<std::tuple<std::string, standin::Reply, std::string>> replies = {
        {"list not an array", standin::Reply::rescode("200", "成功", {{"list", insurer("甲保险", "A")}}),
         ChooseInsuranceViewController::kUnusableListText},
        {"entries not dictionaries", standin::Reply::rescode("200", "成功", {{"list", json::array({"甲保险", 3})}}),
         ChooseInsuranceViewController::kUnusableListText},
        {"rejected", standin::Reply::rescode("300", "暂无保险公司"), "暂无保险公司"},
        {"dropped", standin::Reply::dropped(), AppConfig::kNetworkFailureText},
    };
    for (const auto& [name, reply, why] : replies) {
        SCOPED_TRACE(name);
        server.clearRequests();
        server.scriptOnce("insurerlist", reply);
        auto chooser = openChooser(1);
        ASSERT_TRUE(server.waitForRequests("insurerlist", 1));
        settleRequests();
        EXPECT_EQ(chooser->tableView()->numberOfRowsInSection(0), 0);
        EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
        EXPECT_TRUE(driver.isOnScreen(std::string(ChooseInsuranceViewController::kListFailedText) + why));
        // Asked again on the same screen: the stand-in's insurers come, and the words go.
        ASSERT_TRUE(driver.tap(ChooseInsuranceViewController::kFetchAgainTitle));
        ASSERT_TRUE(server.waitForRequests("insurerlist", 2));
        settleRequests();
        EXPECT_GT(chooser->tableView()->numberOfRowsInSection(0), 0);
        EXPECT_FALSE(driver.isOnScreen(ChooseInsuranceViewController::kFetchAgainTitle));
        navigation->popToRootViewController(false);
        drain();
    }
}

TEST_F(ChooseInsuranceTest, EntriesWithMissingKeysGiveEmptyTexts) {
    ASSERT_TRUE(foundation::plist::write(documentsFile("insurance.plist"),
                                         json::array({json{{"inscomcode", "X"}}, insurer("乙保险", "B")})));
    auto chooser = openChooser(1);
    EXPECT_EQ(rowNames(chooser), (std::vector<std::string>{"", "乙保险"}));
    ASSERT_TRUE(driver.selectRow(0, 0));
    finishTransitions();
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0]->keyValues(), (json{{"inscomcode", "X"}}));
}

// --- The practice list --------------------------------------------------------------------------

TEST_F(ChooseInsuranceTest, PracticeFlagListsTheBundleFileEvenInARealCase) {
    ASSERT_TRUE(foundation::plist::write(documentsFile("insurance.plist"), json::array({insurer("甲保险", "A")})));
    UserDateSingleton::shareUserDateInstance().setAccidentno(std::string("BJ202612070001"));
    auto chooser = openChooser(0);
    settleRequests();
    auto expected = bundleNames();
    ASSERT_GE(expected.size(), 3u);
    EXPECT_EQ(rowNames(chooser), expected);
    EXPECT_EQ(server.count("insurerlist"), 0u);
}

// --- Answer and leave ---------------------------------------------------------------------------

TEST_F(ChooseInsuranceTest, ATapCallsTheBlockOnceWithThatRowBeforeThePop) {
    ASSERT_TRUE(foundation::plist::write(documentsFile("insurance.plist"),
                                         json::array({insurer("甲保险", "A"), insurer("乙保险", "B")})));
    auto chooser = openChooser(1);
    ASSERT_TRUE(driver.selectRow(0, 1));
    // A second tap while the chooser slides away answers nothing more.
    chooser->didSelectRowAtIndexPath(*chooser->tableView(), {0, 0});
    finishTransitions();
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0]->keyValues(), insurer("乙保险", "B"));
    EXPECT_EQ(onTopWhenCalled, std::vector<bool>{true});
    EXPECT_EQ(top(), root);
}

TEST_F(ChooseInsuranceTest, BackPopsWithoutCallingTheBlock) {
    auto chooser = openChooser(0);
    ASSERT_TRUE(driver.goBack());
    finishTransitions();
    EXPECT_EQ(top(), root);
    EXPECT_TRUE(picked.empty());
}

TEST_F(ChooseInsuranceTest, AChooserWithoutABlockPopsOnATap) {
    auto chooser = openChooser(0, false);
    ASSERT_TRUE(driver.selectRow(0, 0));
    finishTransitions();
    EXPECT_EQ(top(), root);
}

}  // namespace
