#include <gtest/gtest.h>

#include "FollowupTestSupport.h"
#include "core/StringExtension.h"
#include "input/StringPickerSheet.h"
#include "liability/followup/Appraisal.h"
#include "liability/followup/AppraisalViewController.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/PickerView.h"
#include "support/HeldReply.h"

namespace {

using standin::Reply;

class AppraisalTest : public FollowupTest {
protected:
    std::shared_ptr<AppraisalViewController> openAppraisal(int flag, bool backItem = false) {
        return open<AppraisalViewController>("AppraisalViewController",
                                             {{"accidentno", kCase}, {"simualateState", flag}, {"isBackBtn", backItem}});
    }
    std::shared_ptr<ui::PickerView> picker() const {
        auto found = driver.findByClass("PickerView");
        return found ? std::dynamic_pointer_cast<ui::PickerView>(found.view()) : nullptr;
    }
    // Taps a grade row and lets the reason list arrive.
    void chooseGrade(int row) {
        ASSERT_TRUE(driver.selectRow(0, row));
        settleRequests();
    }
    // Picks a reason by its row in the picker.
    void pickReason(int row) {
        auto wheel = picker();
        ASSERT_NE(wheel, nullptr);
        wheel->userSelectRow(row, 0);
        ASSERT_TRUE(driver.answerAlert(StringPickerSheet::kDoneTitle));
    }
    void submit() {
        ProgressHUD::resetForTesting();
        tapAndSettle("提交");
        settleRequests();
    }
    std::vector<std::string> checkmarks(const std::shared_ptr<AppraisalViewController>& screen) const {
        std::vector<std::string> marked;
        auto table = screen->tableView();
        for (int row = 0; row < 4; ++row) {
            auto cell = table->cellForRowAtIndexPath(ui::IndexPath::forRow(row, 0));
            if (cell && cell->accessoryType() == ui::TableViewCellAccessoryType::Checkmark)
                marked.push_back(cell->textLabel()->text());
        }
        return marked;
    }
};

TEST_F(AppraisalTest, GradesWithTheFirstCheckedHeaderTextViewAndButton) {
    auto screen = openAppraisal(1, true);
    EXPECT_EQ(screen->title(), "评价");
    ASSERT_NE(screen->navigationItem()->leftBarButtonItem(), nullptr);
    for (const char* grade : {"非常满意", "满意", "一般", "不满意"}) EXPECT_TRUE(driver.isOnScreen(grade)) << grade;
    EXPECT_EQ(checkmarks(screen), std::vector<std::string>{"非常满意"});
    EXPECT_TRUE(driver.isOnScreen("您已完成此次交通事故案件的处理流程"));
    double width = ui::Screen::mainScreen().bounds().width();
    EXPECT_EQ(screen->tableView()->tableHeaderView()->frame().height(), 70);
    EXPECT_EQ(AppraisalTestAPI::headerLabel(*screen)->frame(), ui::Rect(15, 15, width - 30, 40));
    EXPECT_EQ(AppraisalTestAPI::textView(*screen)->frame(), ui::Rect(10, 10, width - 20, 100));
    EXPECT_EQ(AppraisalTestAPI::textView(*screen)->placeholder(), "请输入意见与建议");
    EXPECT_EQ(AppraisalTestAPI::textView(*screen)->returnKeyType(), ui::ReturnKeyType::Done);
    EXPECT_EQ(AppraisalTestAPI::submitButton(*screen)->frame(), ui::Rect(10, 130, width - 20, 44));
    EXPECT_EQ(AppraisalTestAPI::submitButton(*screen)->currentBackgroundImage()->name(), "蓝色btn");
    EXPECT_EQ(screen->curAppraisal->userid, standin::kDemoUserId);
    EXPECT_EQ(screen->curAppraisal->carno, "京A12345");
    EXPECT_EQ(screen->curAppraisal->personescord, "0");

    ASSERT_TRUE(driver.goBack());
    finishTransitions();
    EXPECT_EQ(topName(), "HomeViewController");
}

TEST_F(AppraisalTest, RatingAtOnceSendsGradeZeroWithoutReasonAndStartsAfresh) {
    openAppraisal(1);
    HeldReply rated;
    server.scriptOnce("evaluationInfo", rated(Reply::rescode("200", "成功")));
    tapAndSettle("提交");
    auto screen = top<AppraisalViewController>();
    ASSERT_NE(screen, nullptr);
    ASSERT_NE(screen->loadingHUD(), nullptr);
    EXPECT_EQ(screen->loadingHUD()->text(), "正在提交...");
    rated.release();
    settleRequests();
    ASSERT_EQ(server.count("evaluationInfo"), 1u);
    auto rating = *server.lastRequest("evaluationInfo");
    EXPECT_EQ(rating.method, "POST");
    EXPECT_EQ(rating.body, (nlohmann::json{{"userid", standin::kDemoUserId},
                                           {"accidentno", kCase},
                                           {"carno", "京A12345"},
                                           {"personevaluate", ""},
                                           {"personescord", "0"},
                                           {"appkey", AppConfig::appKey()},
                                           {"sn", standin::signatureFor(standin::kDemoUserId)}}));
    EXPECT_TRUE(onNewHomePage());
    EXPECT_EQ(server.count("getreason"), 0u);
}

TEST_F(AppraisalTest, AverageWithThePickerCancelledAsksForAReason) {
    auto screen = openAppraisal(1);
    chooseGrade(2);
    EXPECT_EQ(server.count("getreason"), 1u);
    EXPECT_EQ(server.lastRequest("getreason")->method, "GET");
    EXPECT_EQ(checkmarks(screen), std::vector<std::string>{"一般"});
    EXPECT_EQ(screen->index, 2);
    ASSERT_NE(picker(), nullptr);
    auto sheet = ui::ActionSheet::visibleSheets();
    ASSERT_FALSE(sheet.empty());
    EXPECT_EQ(picker()->titleForRow(4, 0), "其他");
    ASSERT_TRUE(driver.answerAlert(StringPickerSheet::kCancelTitle));
    submit();
    EXPECT_EQ(toast(), "请选择原因");
    EXPECT_EQ(server.count("evaluationInfo"), 0u);
    EXPECT_EQ(topName(), "AppraisalViewController");
}

TEST_F(AppraisalTest, DissatisfiedWithReasonFiveNeedsASuggestion) {
    auto screen = openAppraisal(1);
    chooseGrade(3);
    pickReason(4);
    EXPECT_EQ(screen->curAppraisal->reasoncode, "5");
    submit();
    EXPECT_EQ(toast(), "请输入建议");
    EXPECT_EQ(server.count("evaluationInfo"), 0u);

    // Spaces count as a suggestion; the text goes percent-escaped.
    ASSERT_TRUE(driver.type(AppraisalViewController::kPlaceholder, "  "));
    auto input = AppraisalTestAPI::textView(*screen);
    EXPECT_TRUE(input->isFirstResponder());
    submit();
    // The keyboard went before the rating was sent, so the spinner was not under it.
    EXPECT_FALSE(input->isFirstResponder());
    ASSERT_EQ(server.count("evaluationInfo"), 1u);
    EXPECT_EQ(server.lastRequest("evaluationInfo")->param("personevaluate"), "%20%20");
    EXPECT_EQ(server.lastRequest("evaluationInfo")->param("reasoncode"), "5");
    EXPECT_EQ(server.lastRequest("evaluationInfo")->param("personescord"), "3");
    EXPECT_TRUE(onNewHomePage());
}

TEST_F(AppraisalTest, ChineseSuggestionIsSentEscapedWithTheChosenReason) {
    auto screen = openAppraisal(1);
    chooseGrade(3);
    pickReason(1);
    // The picker opens again at the chosen reason, on every tap fetched anew.
    chooseGrade(2);
    EXPECT_EQ(server.count("getreason"), 2u);
    ASSERT_NE(picker(), nullptr);
    EXPECT_EQ(picker()->selectedRowInComponent(0), 1);
    ASSERT_TRUE(driver.answerAlert(StringPickerSheet::kDoneTitle));
    ASSERT_TRUE(driver.type(AppraisalViewController::kPlaceholder, "理赔太慢", driver::Typing::Insertion));
    submit();
    auto rating = *server.lastRequest("evaluationInfo");
    EXPECT_EQ(rating.param("personescord"), "2");
    EXPECT_EQ(rating.param("reasoncode"), "2");
    EXPECT_EQ(rating.param("personevaluate"), StringExtension::UTF8StringWithString("理赔太慢"));
    EXPECT_EQ(rating.param("personevaluate"), "%E7%90%86%E8%B5%94%E5%A4%AA%E6%85%A2");
}

TEST_F(AppraisalTest, SatisfiedAfterAReasonDropsTheReason) {
    auto screen = openAppraisal(1);
    chooseGrade(3);
    pickReason(0);
    EXPECT_EQ(screen->curAppraisal->reasoncode, "1");
    chooseGrade(1);
    EXPECT_EQ(server.count("getreason"), 1u);
    EXPECT_FALSE(screen->curAppraisal->reasoncode);
    EXPECT_EQ(checkmarks(screen), std::vector<std::string>{"满意"});
    // The tapped row is deselected half a second later.
    EXPECT_TRUE(screen->tableView()->indexPathForSelectedRow().has_value());
    advance(0.5);
    EXPECT_FALSE(screen->tableView()->indexPathForSelectedRow().has_value());
    submit();
    auto rating = *server.lastRequest("evaluationInfo");
    EXPECT_EQ(rating.param("personescord"), "1");
    EXPECT_FALSE(rating.body.contains("reasoncode"));
}

TEST_F(AppraisalTest, WhileTypingTheSuggestionAndSubmitStayAboveTheKeyboardAndAReasonPickerPutsItAway) {
    auto screen = openAppraisal(1);
    auto input = AppraisalTestAPI::textView(*screen);
    ASSERT_TRUE(driver.type(input, "定损时间太长"));
    ASSERT_TRUE(ui::Keyboard::isVisible());
    for (const auto& view : {std::static_pointer_cast<ui::View>(input),
                             std::static_pointer_cast<ui::View>(AppraisalTestAPI::submitButton(*screen))}) {
        ui::Rect shown = view->convertRectToView(view->bounds(), nullptr);
        EXPECT_GE(shown.minY(), 64);
        EXPECT_LE(shown.maxY(), ui::Keyboard::frame().minY());
    }
    // "一般" asks for a reason: its picker is not left under the keyboard.
    screen->tableView()->scrollToRowAtIndexPath(ui::IndexPath::forRow(2, 0), ui::TableViewScrollPosition::Top, false);
    chooseGrade(2);
    EXPECT_FALSE(ui::Keyboard::isVisible());
    ASSERT_NE(picker(), nullptr);
    EXPECT_TRUE(driver.isVisible(picker()));
}

TEST_F(AppraisalTest, SuggestionKeepsFiftyCharactersAndReturnEndsEditing) {
    auto screen = openAppraisal(1);
    auto input = AppraisalTestAPI::textView(*screen);
    std::string sixty;
    for (int i = 0; i < 60; ++i) sixty += (i % 2 ? "评" : "a");
    ASSERT_TRUE(driver.type(input, sixty, driver::Typing::Insertion));
    EXPECT_EQ(ui::text::length(input->text()), 50u);
    EXPECT_EQ(input->text(), ui::text::substring(sixty, 0, 50));
    // Typing on at the limit changes nothing.
    ASSERT_TRUE(driver.type(input, "x"));
    EXPECT_EQ(input->text(), ui::text::substring(sixty, 0, 50));
    EXPECT_TRUE(input->isFirstResponder());
    ASSERT_TRUE(driver.pressReturn());
    EXPECT_FALSE(input->isFirstResponder());
    EXPECT_EQ(input->text().find('\n'), std::string::npos);

    // While the Chinese input method composes, nothing is cut; the committed text is.
    input->setText(ui::text::substring(sixty, 0, 48));
    ui::Keyboard::setCurrentInputModeLanguage("zh-Hans");
    ASSERT_TRUE(driver.setMarkedText(input, "lipeitaiman"));
    EXPECT_EQ(ui::text::length(input->text()), 48u + 11u);
    ASSERT_TRUE(driver.commitMarkedText(input));
    EXPECT_LE(ui::text::length(input->text()), 50u);
}

TEST_F(AppraisalTest, FailedReasonLoadOrSubmissionKeepsTheScreen) {
    auto screen = openAppraisal(1);
    server.scriptOnce("getreason", Reply::rescode("500", "原因列表暂不可用"));
    chooseGrade(3);
    EXPECT_EQ(toast(), "原因列表暂不可用");
    EXPECT_EQ(picker(), nullptr);
    EXPECT_EQ(screen->loadingHUD(), nullptr);
    EXPECT_EQ(screen->curAppraisal->personescord, "3");

    // A list without usable entries opens no picker either.
    server.scriptOnce("getreason", Reply::rescode("200", "成功", {{"list", {{{"reasonname", "无代码"}}, 7}}}));
    ProgressHUD::resetForTesting();
    chooseGrade(2);
    EXPECT_EQ(toast(), AppraisalViewController::kNoReasonsText);
    EXPECT_EQ(picker(), nullptr);
    server.scriptOnce("getreason", Reply::dropped());
    ProgressHUD::resetForTesting();
    chooseGrade(3);
    EXPECT_EQ(toast(), AppConfig::kNetworkFailureText);

    // Usable entries of a mixed list are offered.
    server.scriptOnce("getreason", Reply::rescode("200", "成功",
                                                  {{"list", {{{"reasoncode", 9}, {"reasonname", "其他原因"}}, "x"}}}));
    chooseGrade(3);
    pickReason(0);
    EXPECT_EQ(screen->curAppraisal->reasoncode, "9");

    ASSERT_TRUE(driver.type(AppraisalViewController::kPlaceholder, "好"));
    server.scriptOnce("evaluationInfo", Reply::rescode("300", "已评价"));
    submit();
    EXPECT_EQ(toast(), "已评价");
    EXPECT_EQ(topName(), "AppraisalViewController");
    EXPECT_EQ(AppraisalTestAPI::textView(*screen)->text(), "好");
    EXPECT_EQ(screen->curAppraisal->personescord, "3");
    server.scriptOnce("evaluationInfo", Reply::dropped());
    submit();
    EXPECT_EQ(toast(), AppConfig::kNetworkFailureText);
    EXPECT_EQ(topName(), "AppraisalViewController");
    submit();
    EXPECT_TRUE(onNewHomePage());
}

TEST_F(AppraisalTest, PracticeUsesTheFixedReasonsAndOnlyReturnsHome) {
    auto screen = openAppraisal(0);
    chooseGrade(3);
    ASSERT_NE(picker(), nullptr);
    EXPECT_EQ(picker()->titleForRow(3, 0), "系统人性化考虑不够");
    ASSERT_TRUE(driver.answerAlert(StringPickerSheet::kCancelTitle));
    // No checks in practice: "提交" with grade 3 and no reason goes home.
    submit();
    EXPECT_TRUE(onNewHomePage());

    // Without a signed-in user: the login.
    UserDateSingleton::shareUserDateInstance().setUserid(std::nullopt);
    auto practice = std::dynamic_pointer_cast<AppraisalViewController>(
        ScreenRegistry::make("AppraisalViewController", {{"accidentno", kCase}, {"simualateState", 0}}));
    rootNavigation()->pushViewController(practice, false);
    finishTransitions();
    submit();
    EXPECT_EQ(topName(), "LoginViewController");
    settleRequests();
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(AppraisalTest, RatingAfterThePartiesFormSendsTheOwnPlate) {
    UserDateSingleton::shareUserDateInstance().setCarno(std::nullopt);
    open<ui::ViewController>("ClientViewController",
                             {{"simulateNormal", 1},
                              {"carCount", false},
                              {"carlist", {{"carno", "京AD12345"}, {"ownername", "王建国"},
                                           {"jqxname", "中国人民财产保险股份有限公司"}, {"jqxcode", "PICC"}}}});
    tapAndSettle("下一步");
    settleRequests();
    ASSERT_EQ(server.count("accidentcarinfo"), 1u);
    EXPECT_EQ(topName(), "ReportViewController");

    openAppraisal(1);
    submit();
    ASSERT_EQ(server.count("evaluationInfo"), 1u);
    EXPECT_EQ(server.lastRequest("evaluationInfo")->body["carno"], "京AD12345");
}

TEST(AppraisalModel, ParamsLeaveUnsetValuesOut) {
    Appraisal appraisal;
    EXPECT_EQ(appraisal.toparams(), (nlohmann::json{{"appkey", AppConfig::appKey()}}));
    appraisal.userid = "10001";
    appraisal.personescord = "2";
    appraisal.reasoncode = "3";
    appraisal.personevaluate = "a b&c";
    auto params = appraisal.toparams();
    EXPECT_EQ(params["sn"], StringExtension::snWithString("10001"));
    EXPECT_EQ(params["reasoncode"], "3");
    EXPECT_EQ(params["personevaluate"], "a%20b&c");
    EXPECT_FALSE(params.contains("accidentno"));
    EXPECT_FALSE(params.contains("carno"));
}

}  // namespace
