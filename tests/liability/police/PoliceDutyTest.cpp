#include <gtest/gtest.h>

#include "support/TextContrast.h"

#include "PoliceTestSupport.h"
#include "app/ApplicationScreens.h"
#include "app/PushRouter.h"
#include "liability/parties/PartyRows.h"
#include "liability/police/PoliceDutyFooterView.h"
#include "core/TelephoneNumber.h"
#include "liability/police/PoliceDutyViewController.h"

namespace {

using standin::Reply;

class PoliceDutyTest : public PoliceTest {
protected:
    std::shared_ptr<PoliceDutyViewController> openDuty(CaseMode mode, std::vector<PoliceDutyModel> records) {
        screen = std::make_shared<PoliceDutyViewController>(
            PoliceDutyViewController::Arguments{mode, std::move(records), insurer()});
        screen->onAgreement = [this](PoliceDutyViewController::Agreement agreement) {
            agreements.push_back(std::move(agreement));
        };
        push(screen);
        return screen;
    }
    std::shared_ptr<PoliceDutyFooterView> footer() const {
        return std::dynamic_pointer_cast<PoliceDutyFooterView>(screen->viewForFooterInSection(*screen->tableView(), 1));
    }
    // Scrolls the table to its end, where the footer's controls are.
    void toFooter() { ASSERT_TRUE(driver.scroll(screen->tableView(), {0, 10000})); }
    // Rejects the decision: the footer's reject button, then "确定" on its question.
    void rejectDecision() {
        toFooter();
        ASSERT_TRUE(driver.tap(PoliceDutyFooterView::kCancelTitle));
        ASSERT_TRUE(driver.tap("确定"));
    }
    void signBoth() {
        toFooter();
        ASSERT_TRUE(driver.tap(footer()->sign1()));
        drawAndConfirm(50);
        ASSERT_TRUE(driver.tap(footer()->sign2()));
        drawAndConfirm(150);
    }
    // Types the code as a keyboard does, and ends the editing with "return" unless told not to.
    void typeCode(const std::string& code, bool endEditing = true) {
        toFooter();
        ASSERT_TRUE(driver.type(footer()->code2(), code));
        if (endEditing) {
            ASSERT_TRUE(driver.pressReturn());
        }
    }
    void setPhone(const std::string& phone) {
        auto field = screen->otherPhoneNumber.lock();
        ASSERT_TRUE(driver.deleteBackward(field, static_cast<int>(field->text().size())));
        if (!phone.empty()) {
            ASSERT_TRUE(driver.type(field, phone));
        }
        driver.pressReturn();
    }
    std::string confirm() {
        clearToast();
        toFooter();
        auto outcome = driver.tap(PoliceDutyFooterView::kConfirmTitle);
        EXPECT_TRUE(outcome) << outcome;
        return toast();
    }
    static std::string text(const std::weak_ptr<ui::Label>& label) { return label.lock()->text(); }
    std::string codeTitle() const { return footer()->getCode()->titleForState(ui::ControlStates::Normal).value_or(""); }

    std::shared_ptr<PoliceDutyViewController> screen;
    std::vector<PoliceDutyViewController::Agreement> agreements;
};

TEST_F(PoliceDutyTest, ShowsThePoliceDecisionForBothParties) {
    openDuty(CaseMode::Real, decision("2", "2"));
    EXPECT_EQ(screen->title(), "签名确认");
    EXPECT_EQ(screen->navigationItem()->leftBarButtonItem(), nullptr);
    EXPECT_TRUE(driver.isOnScreen("以下是交警指导责任信息，请签字确认"));
    EXPECT_EQ(text(screen->selfName), "张三");
    EXPECT_EQ(text(screen->selfCarNo), "京A12345");
    EXPECT_EQ(text(screen->selfPhoneNumber), standin::kDemoPhone);
    EXPECT_EQ(text(screen->selfDuty), "同责");
    EXPECT_EQ(text(screen->selfInsurance), "中国人民财产保险股份有限公司");
    EXPECT_EQ(text(screen->otherName), "李四");
    EXPECT_EQ(screen->otherPhoneNumber.lock()->text(), "13900139000");
    EXPECT_EQ(text(screen->otherDuty), "同责");
    navigation->popViewController(false);
    finishTransitions();
    // An unknown code leaves the liability as laid out.
    openDuty(CaseMode::Real, decision("9", "1"));
    EXPECT_EQ(text(screen->selfDuty), "");
    EXPECT_EQ(text(screen->otherDuty), "无责");
}

TEST_F(PoliceDutyTest, TheTipAndThePartiesReadAndEachPartyKeepsItsColourOnHeaderAndSignButton) {
    openDuty(CaseMode::Real, decision("0", "1"));
    auto sections = std::dynamic_pointer_cast<PartyHeaderView>(screen->viewForHeaderInSection(*screen->tableView(), 0));
    ASSERT_NE(sections, nullptr);
    auto tip = sections->titleLabel();
    EXPECT_GE(textcontrast::ofLabel(driver, *tip), textcontrast::needed(tip->font())) << tip->text();
    auto own = sections->textLabel();
    EXPECT_GE(textcontrast::ofLabel(driver, *own), 4.5) << own->text();
    toFooter();
    auto other = std::dynamic_pointer_cast<PartyHeaderView>(screen->viewForHeaderInSection(*screen->tableView(), 1));
    ASSERT_NE(other, nullptr);
    EXPECT_GE(textcontrast::ofLabel(driver, *other->textLabel()), 4.5) << other->textLabel()->text();
    // One colour per party: its header line and its sign button's title; the two differ.
    EXPECT_EQ(footer()->sign1()->titleLabel()->textColor(), own->textColor());
    EXPECT_EQ(footer()->sign2()->titleLabel()->textColor(), other->textLabel()->textColor());
    EXPECT_NE(own->textColor(), other->textLabel()->textColor());
    for (const auto& sign : {footer()->sign1(), footer()->sign2()})
        EXPECT_GE(textcontrast::ofButton(driver, *sign), 4.5) << sign->titleLabel()->text();
}

TEST_F(PoliceDutyTest, FewerThanTwoRecordsFillNothingAndTheConfirmationSaysSo) {
    for (size_t count : {0u, 1u}) {
        auto records = decision();
        records.resize(count);
        openDuty(CaseMode::Real, records);
        EXPECT_EQ(text(screen->selfName), "");
        EXPECT_EQ(text(screen->otherName), "");
        signBoth();
        EXPECT_EQ(confirm(), PoliceDutyViewController::kIncompleteText);
        EXPECT_TRUE(agreements.empty());
        navigation->popViewController(false);
        finishTransitions();
    }
    // Practice works with its samples.
    openDuty(CaseMode::Practice, {});
    EXPECT_EQ(text(screen->selfName), "张三");
    EXPECT_EQ(text(screen->otherName), "李四");
    EXPECT_EQ(text(screen->selfDuty), "全责");
}

TEST_F(PoliceDutyTest, TheFiveChecksInTheirOrder) {
    openDuty(CaseMode::Real, decision());
    setPhone(standin::kDemoPhone);
    EXPECT_EQ(confirm(), "双方电话号不可相同");
    setPhone("");
    screen->selfPhoneNumber.lock()->setText("");
    EXPECT_EQ(confirm(), "双方电话号不可相同");  // both empty
    screen->selfPhoneNumber.lock()->setText(standin::kDemoPhone);
    setPhone("13900139000");
    EXPECT_EQ(confirm(), "请本方驾驶员签名");
    toFooter();
    ASSERT_TRUE(driver.tap(footer()->sign1()));
    drawAndConfirm();
    EXPECT_EQ(confirm(), "请对方驾驶员签名");
    ASSERT_TRUE(driver.tap(footer()->sign2()));
    drawAndConfirm();
    setPhone("12345");
    EXPECT_EQ(confirm(), "请输入正确的手机号码");
    setPhone("13900139001");
    EXPECT_EQ(confirm(), "请输入对方验证码");
    EXPECT_TRUE(agreements.empty());
    typeCode("123456");
    EXPECT_EQ(confirm(), "");
    ASSERT_EQ(agreements.size(), 1u);
    // The edited telephone is what the agreement gets.
    const auto& agreement = agreements[0];
    ASSERT_EQ(agreement.dutyModel.size(), 2u);
    EXPECT_EQ(agreement.dutyModel[1].carphone, "13900139001");
    EXPECT_EQ(agreement.dutyModel[0].keyValues(), decision()[0].keyValues());
    EXPECT_EQ(agreement.otherVerfication, "123456");
    EXPECT_EQ(agreement.insurance.keyValues(), insurer().keyValues());
    ASSERT_TRUE(agreement.selfSignImage && agreement.otherSignImage);
    EXPECT_EQ(agreement.selfSignImage->pixelWidth(), 160);
    EXPECT_EQ(agreement.otherSignImage->pixelHeight(), 90);
    // The sign buttons show the scaled signatures.
    EXPECT_EQ(footer()->sign1()->imageForState(ui::ControlStates::Normal), agreement.selfSignImage);
    EXPECT_EQ(footer()->sign1()->titleForState(ui::ControlStates::Normal).value_or("?"), "");
}

TEST_F(PoliceDutyTest, ACodeTypedWithTheKeyboardStillUpCounts) {
    openDuty(CaseMode::Real, decision());
    signBoth();
    typeCode("654321", false);
    EXPECT_EQ(confirm(), "");
    ASSERT_EQ(agreements.size(), 1u);
    EXPECT_EQ(agreements[0].otherVerfication, "654321");
    // At most six digits.
    typeCode("9999999");
    EXPECT_EQ(footer()->code2()->text().size(), 6u);
}

TEST_F(PoliceDutyTest, TheCodeButtonCountsDownFiftyNineSecondsAndSendsOneCode) {
    openDuty(CaseMode::Real, decision());
    toFooter();
    setPhone("1390013900");
    toFooter();
    ASSERT_TRUE(driver.tap(footer()->getCode()));
    EXPECT_EQ(toast(), "请输入正确的手机号");
    setPhone("13900139000");
    toFooter();
    ASSERT_TRUE(driver.tap(footer()->getCode()));
    // Disabled at once: a second tap reaches nothing, a second call sends nothing.
    EXPECT_EQ(codeTitle(), "59秒后重新发送");
    EXPECT_FALSE(footer()->getCode()->isEnabled());
    EXPECT_FALSE(driver.tap(footer()->getCode()));
    screen->getCodeBtnDidClick();
    settleRequests();
    ASSERT_EQ(server.count("verification"), 1u);
    EXPECT_EQ(server.lastRequest("verification")->body, (nlohmann::json{{"phone", "13900139000"}}));
    EXPECT_EQ(server.stateSnapshot().data["verification"]["13900139000"], "123456");

    advance(1);
    EXPECT_EQ(codeTitle(), "58秒后重新发送");
    advance(50);
    EXPECT_EQ(codeTitle(), "08秒后重新发送");
    advance(7);
    EXPECT_EQ(codeTitle(), "01秒后重新发送");
    EXPECT_FALSE(footer()->getCode()->isEnabled());
    advance(1);
    EXPECT_EQ(codeTitle(), "再次获取验证码");
    EXPECT_TRUE(footer()->getCode()->isEnabled());
    advance(5);
    EXPECT_EQ(codeTitle(), "再次获取验证码");
    ASSERT_TRUE(driver.tap(footer()->getCode()));
    settleRequests();
    EXPECT_EQ(server.count("verification"), 2u);
}

TEST_F(PoliceDutyTest, ARefusedCodeStillCountsDownAndPracticeSendsNone) {
    server.scriptOnce("verification", Reply::rescode("500", "发送太频繁"));
    openDuty(CaseMode::Real, decision());
    toFooter();
    ASSERT_TRUE(driver.tap(footer()->getCode()));
    settleRequests();
    EXPECT_EQ(toast(), "发送太频繁");
    advance(1);
    EXPECT_EQ(codeTitle(), "58秒后重新发送");
    navigation->popViewController(false);
    finishTransitions();

    openDuty(CaseMode::Practice, {});
    toFooter();
    ASSERT_TRUE(driver.tap(footer()->getCode()));
    EXPECT_EQ(codeTitle(), "59秒后重新发送");
    // The screen goes while counting: the countdown holds it only weakly.
    std::weak_ptr<PoliceDutyViewController> weak = screen;
    navigation->popViewController(false);
    finishTransitions();
    screen.reset();
    EXPECT_TRUE(weak.expired());
    advance(60);
    settleRequests();
    EXPECT_EQ(server.count("verification"), 1u);
}

TEST_F(PoliceDutyTest, ACodeThatNeverReachedTheServerCanBeAskedForAgainAtOnce) {
    server.scriptOnce("verification", Reply::dropped());
    openDuty(CaseMode::Real, decision());
    toFooter();
    ASSERT_TRUE(driver.tap(footer()->getCode()));
    settleRequests();
    EXPECT_EQ(toast(), "网络连接失败,请打开后再试");
    EXPECT_EQ(codeTitle(), "再次获取验证码");
    EXPECT_TRUE(footer()->getCode()->isEnabled());
    advance(3);
    EXPECT_EQ(codeTitle(), "再次获取验证码");
    ASSERT_TRUE(driver.tap(footer()->getCode()));
    settleRequests();
    EXPECT_EQ(server.count("verification"), 2u);
    EXPECT_EQ(server.stateSnapshot().data["verification"]["13900139000"], "123456");
    EXPECT_EQ(codeTitle(), "59秒后重新发送");
}

TEST_F(PoliceDutyTest, RejectionMakesANewHomePageTheRootAndDialsTheReturnedNumber) {
    openDuty(CaseMode::Real, decision());
    toFooter();
    ASSERT_TRUE(driver.tap(PoliceDutyFooterView::kCancelTitle));
    ASSERT_TRUE(driver.isOnScreen("你确定要报交警么?"));
    ASSERT_TRUE(driver.tap("取消"));
    settleRequests();
    EXPECT_EQ(server.count("taskstate"), 0u);

    ASSERT_TRUE(driver.tap(PoliceDutyFooterView::kCancelTitle));
    ASSERT_TRUE(driver.tap("确定"));
    settleRequests();
    ASSERT_EQ(server.count("taskstate"), 1u);
    EXPECT_EQ(server.lastRequest("taskstate")->body, (nlohmann::json{{"userid", standin::kDemoUserId},
                                                                     {"accidentno", kCase},
                                                                     {"sn", standin::signatureFor(standin::kDemoUserId)},
                                                                     {"appkey", AppConfig::appKey()},
                                                                     {"accidenttype", "1"},
                                                                     {"type", "0"}}));
    EXPECT_EQ(rootName(), "HomeViewController");
    EXPECT_EQ(openedURLs(), std::vector<std::string>{"telprompt:010122"});
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
}

TEST_F(PoliceDutyTest, ANumberThatIsNoTelephoneIsNotDialledAndARefusalStays) {
    server.scriptOnce("taskstate", Reply::rescode("500", "处理失败"));
    openDuty(CaseMode::Real, decision());
    rejectDecision();
    settleRequests();
    EXPECT_EQ(toast(), "处理失败");
    EXPECT_EQ(top(), screen);

    server.scriptOnce("taskstate", Reply::rescode("200", "成功", {{"phoneno", "122;sms:10086"}}));
    clearToast();
    rejectDecision();
    settleRequests();
    EXPECT_EQ(rootName(), "HomeViewController");
    EXPECT_TRUE(openedURLs().empty());
    EXPECT_EQ(toast(), TelephoneNumber::unreachableMessage("122;sms:10086"));  // the driver reads it
}

TEST_F(PoliceDutyTest, ARejectionReplyWithoutANumberTellsTheDriverToCallThePolice) {
    server.scriptOnce("taskstate", Reply::rescode("200", "成功"));
    openDuty(CaseMode::Real, decision());
    rejectDecision();
    settleRequests();
    EXPECT_EQ(rootName(), "HomeViewController");
    EXPECT_TRUE(openedURLs().empty());
    EXPECT_EQ(toast(), PoliceDutyViewController::kCallPoliceText);
}

TEST_F(PoliceDutyTest, PracticeRejectionGoesHomeOrToTheLoginWithoutARequest) {
    openDuty(CaseMode::Practice, {});
    rejectDecision();
    EXPECT_EQ(rootName(), "LoginViewController");  // no stored account

    AccountModel account;
    account.userid = standin::kDemoUserId;
    ASSERT_TRUE(AccountTool::saveAccount(account));
    showInWindow(std::make_shared<RootPage>());
    openDuty(CaseMode::Practice, {});
    rejectDecision();
    EXPECT_EQ(rootName(), "HomeViewController");
    settleRequests();
    EXPECT_EQ(server.requests().size(), 0u);
    EXPECT_TRUE(openedURLs().empty());
}

// Each of the footer's five buttons reaches its own message of the delegate; a button that
// outlives its footer reaches nothing.
TEST_F(PoliceDutyTest, FooterButtonsTellTheDelegateOnlyWhileTheFooterLives) {
    struct Delegate : PoliceDutyFooterViewDelegate {
        std::vector<std::string> heard;
        void confirmBtnDidClick() override { heard.push_back("confirm"); }
        void sign1BtnDidClick(const std::shared_ptr<ui::Button>& b) override { heard.push_back("own " + b->titleForState(ui::ControlStates::Normal).value_or("")); }
        void sign2BtnDidClick(const std::shared_ptr<ui::Button>& b) override { heard.push_back("other " + b->titleForState(ui::ControlStates::Normal).value_or("")); }
        void cancelBtnDidClick() override { heard.push_back("cancel"); }
        void getCodeBtnDidClick() override { heard.push_back("code"); }
    };
    auto delegate = std::make_shared<Delegate>();
    auto footer = std::make_shared<PoliceDutyFooterView>();
    footer->setDelegate(delegate);
    std::vector<std::shared_ptr<ui::Button>> buttons = {footer->getCode(), footer->sign1(), footer->sign2(),
                                                        footer->confirm(), footer->cancel()};
    for (const auto& button : buttons) button->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    EXPECT_EQ(delegate->heard, (std::vector<std::string>{"code", "own 本方驾驶员签字", "other 对方驾驶员签字", "confirm", "cancel"}));
    footer.reset();
    for (const auto& button : buttons) button->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    EXPECT_EQ(delegate->heard.size(), 5u);
}

// A notice or a claim result pushed during the confirmation lies over it: its "返回" closes it
// and the confirmation goes on with both signatures drawn before.
TEST_F(PoliceDutyTest, APushedNoticeLiesOverTheConfirmationAndLeavesItAsItWas) {
    registerApplicationScreens();
    server.script("claimresult", Reply::rescode("201", "暂无结果"));
    for (const char* key : {"CANCELCASE", "", "ClAIMRESULT"}) {
        SCOPED_TRACE(key);
        agreements.clear();
        openDuty(CaseMode::Real, decision());
        signBoth();
        PushRouter::route({{"aps", {{"key", key}, {"content", {{"accidentno", kCase}}}}}}, nullptr);
        advance(ui::TransitionDuration);
        EXPECT_EQ(driver.topScreen()->title(), "温馨提示");
        EXPECT_EQ(top(), screen) << "the confirmation stays where it was";
        ASSERT_TRUE(driver.goBack());
        advance(ui::TransitionDuration);
        EXPECT_EQ(driver.topScreen(), screen);
        typeCode("123456");
        EXPECT_EQ(confirm(), "");
        ASSERT_EQ(agreements.size(), 1u);
        EXPECT_TRUE(agreements[0].selfSignImage);
        EXPECT_TRUE(agreements[0].otherSignImage);
        navigation->popToRootViewController(false);
        finishTransitions();
    }
}

}  // namespace
