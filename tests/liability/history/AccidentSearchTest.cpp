#include <gtest/gtest.h>

#include "app/ApplicationScreens.h"
#include "core/FooterButtonView.h"
#include "core/TextLabelCell.h"
#include "core/Theme.h"
#include "hud/ProgressHUD.h"
#include "liability/history/AccidentSearchViewController.h"
#include "platform/ui/Screen.h"
#include "support/AppTest.h"
#include "support/NamedTestScreen.h"

namespace {

class AccidentSearchTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        signInDemoUser();
        ASSERT_NO_FATAL_FAILURE(startServer());
        registerApplicationScreens();
        showInWindow(std::make_shared<NamedTestScreen>("HistoryViewController"));
    }
    std::shared_ptr<TextLabelCell> rowAt(AccidentSearchViewController& form, int row) {
        return std::dynamic_pointer_cast<TextLabelCell>(form.tableView()->cellForRowAtIndexPath({0, row}));
    }
};

TEST_F(AccidentSearchTest, ThreeCriteriaOverTheSearchButton) {
    auto form = open<AccidentSearchViewController>("AccidentSearchViewController", nlohmann::json::object());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->title(), "事故搜索");
    EXPECT_TRUE(form->navigationItem()->hidesBackButton());
    auto table = form->tableView();
    auto bounds = ui::Screen::mainScreen().bounds();
    EXPECT_EQ(table->frame(), ui::Rect(0, 0, bounds.width(), bounds.height() - 64));
    EXPECT_EQ(table->backgroundColor(), Theme::pageGrey());

    const std::vector<std::string> titles = {"事故类型:", "事故时间:", "案件状态:"};
    ASSERT_EQ(table->numberOfRowsInSection(0), 3);
    for (int row = 0; row < 3; ++row) {
        auto cell = rowAt(*form, row);
        ASSERT_NE(cell, nullptr) << row;
        EXPECT_EQ(cell->reuseIdentifier(), "UITableViewCell");
        EXPECT_EQ(cell->textLabel()->text(), titles[row]);
        EXPECT_DOUBLE_EQ(cell->labelWidth(), 80);
        EXPECT_DOUBLE_EQ(cell->textLabel()->font().size, 15);
        EXPECT_EQ(cell->textLabel()->textColor(), Theme::hintGrey());
        EXPECT_EQ(cell->selectionStyle(), ui::TableViewCellSelectionStyle::None);
        EXPECT_TRUE(driver.isOnScreen(titles[row]));
    }
    auto footer = std::dynamic_pointer_cast<FooterButtonView>(table->tableFooterView());
    ASSERT_NE(footer, nullptr);
    EXPECT_DOUBLE_EQ(footer->frame().height(), 200);
    EXPECT_EQ(footer->button()->frame(), ui::Rect(10, 60, bounds.width() - 20, 44));
    EXPECT_EQ(footer->button()->currentTitle(), "搜索");
    EXPECT_TRUE(driver.isOnScreen("搜索"));
}

TEST_F(AccidentSearchTest, SearchingAndTheRowsDoNothingAndBackReturns) {
    auto form = open<AccidentSearchViewController>("AccidentSearchViewController", nullptr);
    ASSERT_NE(form, nullptr);
    auto before = driver.visibleTexts();
    ASSERT_TRUE(driver.tap("搜索"));
    ASSERT_TRUE(driver.tap("事故时间:"));
    ASSERT_TRUE(driver.selectRow(0, 2));
    settleRequests();
    settle();
    EXPECT_EQ(top(), form);
    EXPECT_FALSE(driver.isAlertShowing());
    EXPECT_EQ(ProgressHUD::current(), nullptr);
    EXPECT_TRUE(server.requests().empty());
    EXPECT_EQ(driver.visibleTexts(), before);

    ASSERT_TRUE(driver.goBack());
    finishTransitions();
    EXPECT_EQ(stackNames(), std::vector<std::string>{"HistoryViewController"});
}

TEST_F(AccidentSearchTest, TheFormTakesNoArguments) {
    expectErrors();
    EXPECT_EQ(ScreenRegistry::make("AccidentSearchViewController", {{"accidenttype", "1"}}), nullptr);
    EXPECT_EQ(top()->className(), "HistoryViewController");
}

}  // namespace
