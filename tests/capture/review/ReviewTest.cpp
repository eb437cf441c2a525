#include <gtest/gtest.h>

#include "capture/review/DisqualificationResult.h"
#include "capture/review/ImagePickerNavgationController.h"
#include "capture/review/MoveCarTipsViewController.h"
#include "capture/review/PhotoTipViewController.h"
#include "capture/review/WaitTipViewController.h"
#include "core/AppConfig.h"
#include "core/CustomNavigationController.h"
#include "core/FailedImageStore.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "platform/media/ImagePickerCamera.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImagePickerController.h"
#include "support/AppTest.h"
#include "support/HeldReply.h"
#include "support/KilledStore.h"
#include "support/NamedTestScreen.h"
#include "support/ReviewTestAPI.h"

namespace {

using nlohmann::json;
using standin::Reply;

const json kTwoRejected = json::array({{{"phototype", "1"}, {"des", "全景照片模糊"}},
                                       {{"phototype", "3"}, {"des", "碰撞部位过暗"}}});

class ReviewTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        FailedImageStore::resetForTesting();
        resetPhone();
        signInDemoUser();
        auto& state = UserDateSingleton::shareUserDateInstance();
        state.setAccidentno(std::string("BJ202612070031"));
        state.setLongitude(std::string("116.397500"));
        state.setLatitude(std::string("39.908700"));
        ASSERT_NO_FATAL_FAILURE(startServer());
        media::installImagePickerCamera();
        showStandInHome();
    }
    void TearDown() override {
        ui::ImagePickerController::setCameraProvider(nullptr);
        foundation::dispatch::waitIdle();
        drain();
        closeWindow();
        FailedImageStore::resetForTesting();
        AppTest::TearDown();
    }

    std::shared_ptr<WaitTipViewController> openWait(CaseMode mode, bool isHistory = false) {
        auto screen = std::make_shared<WaitTipViewController>(WaitTipViewController::Arguments{mode, isHistory});
        screen->onMoveCar = [this, mode] { moveCars.push_back(practiceFlag(mode)); };
        screen->accidentKindScreen = [this] { return accidentKind; };
        navigation->pushViewController(screen, true);
        finishTransitions();
        return screen;
    }
    std::shared_ptr<PhotoTipViewController> retakeScreen() const {
        auto presented = navigation->presentedViewController();
        auto nav = std::dynamic_pointer_cast<ui::NavigationController>(presented);
        if (!nav || nav->viewControllers().empty()) return nullptr;
        return std::dynamic_pointer_cast<PhotoTipViewController>(nav->viewControllers().front());
    }
    std::shared_ptr<PhotoTipViewController> openRetake(CaseMode mode, const json& list) {
        auto screen = std::make_shared<PhotoTipViewController>(PhotoTipViewController::Arguments{
            .simulateState = mode, .resultArray = DisqualificationResult::resultsFromList(list)});
        navigation->presentViewController(std::make_shared<CustomNavigationController>(screen), true);
        finishTransitions();
        advance(0.5);
        settle();
        return screen;
    }
    // "补拍照片" of a row, then the picker's shutter.
    void retake(const std::shared_ptr<PhotoTipViewController>& screen, int row) {
        auto cell = std::dynamic_pointer_cast<PhotoTipCell>(
            std::static_pointer_cast<ui::ViewController>(screen)->view()->subviews().empty()
                ? nullptr
                : tableOf(screen)->cellForRowAtIndexPath({0, row}));
        ASSERT_NE(cell, nullptr);
        ASSERT_TRUE(driver.tap(cell->takePhoto()));
        advance(0.5);
        auto picker = std::dynamic_pointer_cast<ui::ImagePickerController>(screen->navigationController()->presentedViewController());
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(picker->sourceType(), ui::ImagePickerSourceType::Camera);
        EXPECT_TRUE(picker->allowsEditing());
        ASSERT_TRUE(picker->takePicture());
        advance(0.5);
        settle();
    }
    static std::shared_ptr<ui::TableView> tableOf(const std::shared_ptr<PhotoTipViewController>& screen) {
        for (const auto& view : screen->view()->subviews())
            if (auto table = std::dynamic_pointer_cast<ui::TableView>(view)) return table;
        return nullptr;
    }
    std::string toast() const {
        auto hud = ProgressHUD::current();
        return hud && hud->isToast() ? hud->text() : "";
    }
    // Lets the polls of `seconds` run and their answers arrive.
    void pollFor(double seconds) {
        for (double t = 0; t < seconds; t += 0.5) {
            advance(0.5);
            settleRequests();
        }
    }

    std::vector<int> moveCars;
    std::shared_ptr<ui::ViewController> accidentKind;
};

TEST_F(ReviewTest, RejectedPhotosAreReadOnceSkippingWhatIsNoRecord) {
    auto results = DisqualificationResult::resultsFromList(json::array({{{"phototype", "2"}, {"des", "模糊"}}, 7, nullptr,
                                                                         "x", {{"phototype", 9}}}));
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].des, "模糊");
    EXPECT_EQ(results[1].phototype, "9");
    EXPECT_TRUE(DisqualificationResult::resultsFromList(json{{"phototype", "1"}}).empty());
    EXPECT_TRUE(DisqualificationResult::resultsFromList(nullptr).empty());
}

TEST_F(ReviewTest, PollsAtLoadThenEveryFiveSecondsWhileThePendingReviewSaysNothing) {
    server.script("getphotoresult", Reply::rescode("200", "审核中", {{"result", "2"}}));
    auto wait = openWait(CaseMode::Real);
    settleRequests();
    ASSERT_EQ(server.count("getphotoresult"), 1u);
    auto poll = server.lastRequest("getphotoresult");
    EXPECT_EQ(poll->method, "GET");
    EXPECT_EQ(poll->param("accidentno"), "BJ202612070031");
    EXPECT_EQ(poll->param("appkey"), AppConfig::appKey());
    EXPECT_TRUE(driver.isOnScreen("系统正在查验是否清晰"));
    pollFor(4.5);
    EXPECT_EQ(server.count("getphotoresult"), 1u);
    pollFor(1);
    EXPECT_EQ(server.count("getphotoresult"), 2u);
    server.script("getphotoresult", Reply::rescode("200", "审核中", {{"result", ""}}));
    pollFor(5);
    server.script("getphotoresult", Reply::rescode("500", "系统繁忙"));
    pollFor(5);
    EXPECT_EQ(server.count("getphotoresult"), 4u);
    EXPECT_EQ(toast(), "");
    EXPECT_TRUE(moveCars.empty());
    EXPECT_EQ(retakeScreen(), nullptr);
    EXPECT_EQ(top(), wait);
}

TEST_F(ReviewTest, ARejectionThenAnAcceptanceInOneIntervalHandOverOnce) {
    server.scriptOnce("getphotoresult", Reply::rescode("200", "成功", {{"result", "0"}, {"list", kTwoRejected}}));
    server.scriptOnce("getphotoresult", Reply::delayed(0.3, {{"rescode", "200"}, {"result", "1"}}));
    auto wait = openWait(CaseMode::Real);
    wait->heartRequest();
    settleRequests();
    ASSERT_TRUE(waitFor([&] { return server.count("getphotoresult") == 2; }));
    settleRequests();
    finishTransitions();
    auto retake = retakeScreen();
    ASSERT_NE(retake, nullptr);
    EXPECT_EQ(retake->resultArray.size(), 2u);
    EXPECT_EQ(wait->resultArray().size(), 2u);
    EXPECT_TRUE(moveCars.empty());
    EXPECT_EQ(ui::Application::shared().badgeHistory(), (std::vector<long>{1, 0}));
    // Hidden under the re-take, the wait polls no more.
    pollFor(10);
    EXPECT_EQ(server.count("getphotoresult"), 2u);
}

TEST_F(ReviewTest, AnAnswerAfterTheScreenWentAwayActsOnNothing) {
    server.scriptOnce("getphotoresult", Reply::delayed(0.3, {{"rescode", "200"}, {"result", "1"}}));
    auto wait = openWait(CaseMode::Real);
    navigation->pushViewController(std::make_shared<NamedTestScreen>("Cover"), false);
    finishTransitions();
    ASSERT_TRUE(waitFor([&] { return server.count("getphotoresult") == 1; }));
    settleRequests();
    advance(1);
    EXPECT_TRUE(moveCars.empty());
    EXPECT_EQ(top()->className(), "Cover");
    // Back on screen: a new round of polls, and an acceptance hands over once.
    navigation->popViewController(false);
    finishTransitions();
    server.script("getphotoresult", Reply::rescode("200", "成功", {{"result", "1"}}));
    pollFor(11);
    EXPECT_EQ(moveCars, (std::vector<int>{1}));
}

TEST_F(ReviewTest, OneTimerHoweverOftenTheApplicationComesBack) {
    server.script("getphotoresult", Reply::rescode("200", "审核中"));
    auto wait = openWait(CaseMode::Real);
    settleRequests();
    for (int i = 0; i < 3; ++i) foundation::NotificationCenter::defaultCenter().post("STARTTIMER");
    pollFor(10);
    EXPECT_EQ(server.count("getphotoresult"), 3u);
    // The application delegate stops it in the background; the foreground starts one again.
    wait->timer()->invalidate();
    wait->timer().reset();
    pollFor(10);
    EXPECT_EQ(server.count("getphotoresult"), 3u);
    foundation::NotificationCenter::defaultCenter().post("STARTTIMER");
    foundation::NotificationCenter::defaultCenter().post("STARTTIMER");
    pollFor(10);
    EXPECT_EQ(server.count("getphotoresult"), 5u);
}

TEST_F(ReviewTest, OnlyATapOfConfirmGivesUp) {
    server.script("getphotoresult", Reply::rescode("200", "审核中"));
    auto wait = openWait(CaseMode::Real);
    ASSERT_TRUE(driver.tap("退出"));
    auto sheet = WaitTipTestAPI(wait).sheet();
    ASSERT_NE(sheet, nullptr);
    // A dismissal no tap caused.
    sheet->dismissWithClickedButtonIndex(-1, false);
    settleRequests();
    EXPECT_EQ(server.count("cancelcheck"), 0u);
    ASSERT_TRUE(driver.tap("退出"));
    ASSERT_TRUE(driver.answerAlert("取消"));
    settleRequests();
    EXPECT_EQ(server.count("cancelcheck"), 0u);
    EXPECT_EQ(top(), wait);

    // The left item of a new case asks too; with no accident-kind screen in the stack the wait
    // stays after the cancel, and keeps polling.
    ASSERT_TRUE(driver.goBack());
    ASSERT_TRUE(driver.answerAlert("确定"));
    ASSERT_TRUE(waitFor([&] { return server.count("cancelcheck") == 1; }));
    settleRequests();
    EXPECT_EQ(top(), wait);
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    auto cancel = server.lastRequest("cancelcheck");
    EXPECT_EQ(cancel->method, "POST");
    EXPECT_EQ(cancel->param("accidentno"), "BJ202612070031");
    std::size_t polls = server.count("getphotoresult");
    pollFor(5);
    EXPECT_EQ(server.count("getphotoresult"), polls + 1);
}

TEST_F(ReviewTest, GivingUpGoesBackToTheAccidentKindOrToANewHomePage) {
    accidentKind = std::make_shared<NamedTestScreen>("SingleDoubleAccidentViewController");
    navigation->pushViewController(accidentKind, false);
    server.script("getphotoresult", Reply::rescode("200", "审核中"));
    openWait(CaseMode::Real);
    ASSERT_TRUE(driver.goBack());
    ASSERT_TRUE(driver.answerAlert("确定"));
    ASSERT_TRUE(waitFor([&] { return top() == accidentKind; }));
    finishTransitions();

    // A failed cancel keeps the wait.
    auto wait = openWait(CaseMode::Real);
    server.scriptOnce("cancelcheck", Reply::rescode("500", "案件已处理"));
    ASSERT_TRUE(driver.tap("退出"));
    ASSERT_TRUE(driver.answerAlert("确定"));
    ASSERT_TRUE(waitFor([&] { return toast() == "案件已处理"; }));
    EXPECT_EQ(top(), wait);
    advance(2);
    ASSERT_TRUE(driver.tap("退出"));
    ASSERT_TRUE(driver.answerAlert("确定"));
    ASSERT_TRUE(waitFor([&] {
        auto root = ui::Application::shared().keyWindow()->rootViewController();
        auto nav = std::dynamic_pointer_cast<ui::NavigationController>(root);
        return nav && nav != navigation && nav->topViewController()->className() == "HomeViewController";
    }));
    EXPECT_EQ(server.count("cancelcheck"), 3u);
}

TEST_F(ReviewTest, WhileTheGiveUpIsOnItsWayNoPollGoesNoAnswerActsAndTheSpinnerStays) {
    HeldReply accepted;
    server.scriptOnce("getphotoresult", Reply::rescode("200", "审核中"));
    server.scriptOnce("getphotoresult", accepted(Reply::rescode("200", "成功", {{"result", "1"}})));
    server.script("getphotoresult", Reply::rescode("200", "成功", {{"result", "1"}}));
    auto wait = openWait(CaseMode::Real);
    settleRequests();
    // The second poll is on its way (its acceptance held) when the driver gives up.
    advance(5);
    ASSERT_TRUE(waitFor([&] { return server.count("getphotoresult") == 2; }));
    HeldReply cancelled;
    server.scriptOnce("cancelcheck", cancelled(Reply::rescode("500", "系统繁忙")));
    ASSERT_TRUE(driver.tap("退出"));
    ASSERT_TRUE(driver.answerAlert("确定"));
    ASSERT_TRUE(waitFor([&] { return server.count("cancelcheck") == 1; }));
    // The acceptance of the poll sent before arrives (the API client takes every spinner
    // away with it): it moves nobody on, and the spinner is back at once.
    auto leaving = ProgressHUD::currentSpinner();
    accepted.release();
    ASSERT_TRUE(waitFor([&] { return ProgressHUD::currentSpinner() != leaving; }));
    ASSERT_NE(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(ProgressHUD::currentSpinner()->text(), WaitTipViewController::kLeavingText);
    // Twenty seconds more of the give-up: no poll goes out.
    for (int i = 0; i < 40; ++i) {
        advance(0.5);
        settle();
    }
    EXPECT_EQ(server.count("getphotoresult"), 2u);
    EXPECT_TRUE(moveCars.empty());
    ASSERT_NE(ProgressHUD::currentSpinner(), nullptr);
    // The give-up fails: the driver reads why, and the wait polls again.
    cancelled.release();
    ASSERT_TRUE(waitFor([&] { return toast() == "系统繁忙"; }));
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_TRUE(moveCars.empty());
    pollFor(5);
    EXPECT_EQ(server.count("getphotoresult"), 3u);
    EXPECT_EQ(moveCars, (std::vector<int>{1}));
}

TEST_F(ReviewTest, FromTheHistoryTheLeftItemSimplyGoesBack) {
    openWait(CaseMode::Real, true);
    ASSERT_TRUE(driver.goBack());
    finishTransitions();
    EXPECT_EQ(top(), home);
    EXPECT_EQ(server.count("cancelcheck"), 0u);
}

TEST_F(ReviewTest, PracticeSendsNothingAndMovesOnAfterTwoSeconds) {
    auto wait = openWait(CaseMode::Practice);
    advance(1.5);
    EXPECT_TRUE(moveCars.empty());
    advance(1);
    EXPECT_EQ(moveCars, (std::vector<int>{0}));
    advance(10);
    EXPECT_EQ(moveCars.size(), 1u);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(ReviewTest, RetakesAreUploadedUnderTheRejectedTypeAndReportedOnceAllAreAnswered) {
    auto screen = openRetake(CaseMode::Real, kTwoRejected);
    EXPECT_TRUE(driver.isOnScreen("全景照片模糊。"));
    EXPECT_TRUE(driver.isOnScreen("碰撞部位过暗。"));
    server.scriptOnce("image", Reply::delayed(0.5, {{"rescode", "200"}}));
    ASSERT_NO_FATAL_FAILURE(retake(screen, 0));
    EXPECT_EQ(PhotoTipTestAPI(screen).taken(), (std::vector<bool>{true, false}));
    EXPECT_TRUE(driver.isOnScreen("已拍照"));
    // The same row again does not count twice.
    screen->takePhotoBtnDidClickWithPhotoType("1", nullptr, 0);
    EXPECT_EQ(screen->navigationController()->presentedViewController(), nullptr);
    settleRequests();
    EXPECT_EQ(server.count("taskstate"), 0u);

    server.scriptOnce("image", Reply::dropped());
    ASSERT_NO_FATAL_FAILURE(retake(screen, 1));
    ASSERT_TRUE(waitFor([&] { return server.count("taskstate") == 1; }));
    settleRequests();
    finishTransitions();
    auto uploads = server.requests("image");
    ASSERT_EQ(uploads.size(), 2u);
    EXPECT_EQ(uploads[0].param("imagetype"), "1");
    EXPECT_EQ(uploads[1].param("imagetype"), "3");
    EXPECT_EQ(uploads[0].param("accidentno"), "BJ202612070031");
    EXPECT_EQ(FailedImageStore::count(), 1u);
    auto report = server.lastRequest("taskstate");
    EXPECT_EQ(report->param("accidenttype"), "7");
    EXPECT_EQ(report->param("type"), "2");
    advance(1);
    EXPECT_EQ(retakeScreen(), nullptr);
}

TEST_F(ReviewTest, ARetakeOfAPhotoNamedWithoutItsTypeGoesWithoutOne) {
    auto screen = openRetake(CaseMode::Real, json::array({{{"des", "照片模糊"}}}));
    ASSERT_NO_FATAL_FAILURE(retake(screen, 0));
    ASSERT_TRUE(waitFor([&] { return server.count("image") == 1; }));
    auto upload = server.lastRequest("image");
    EXPECT_FALSE(upload->param("imagetype").has_value());
    EXPECT_EQ(upload->param("size"), "30");
}

TEST_F(ReviewTest, ARejectionWithoutAReasonStillSaysWhatToDo) {
    auto screen = openRetake(CaseMode::Real, json::array({{{"phototype", "1"}}, {{"phototype", "3"}, {"des", " "}}}));
    for (int row : {0, 1}) {
        auto cell = std::dynamic_pointer_cast<PhotoTipCell>(tableOf(screen)->cellForRowAtIndexPath({0, row}));
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->tips()->text(), std::string(PhotoTipCell::kNoReasonText) + "。");
    }
}

TEST_F(ReviewTest, WhileTheLastRetakeUploadsTheScreenSaysSo) {
    auto screen = openRetake(CaseMode::Real, kTwoRejected);
    ASSERT_NO_FATAL_FAILURE(retake(screen, 0));
    ASSERT_TRUE(waitFor([&] { return PhotoTipTestAPI(screen).uploadsWaiting() == 0; }));
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    HeldReply slow;
    server.scriptOnce("image", slow(Reply::rescode("200", "成功")));
    HeldReply reported;
    server.scriptOnce("taskstate", reported(Reply::rescode("200", "成功")));
    ASSERT_NO_FATAL_FAILURE(retake(screen, 1));
    ASSERT_TRUE(waitFor([&] { return server.count("image") == 2; }));
    ASSERT_NE(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(ProgressHUD::currentSpinner()->text(), PhotoTipViewController::kUploadingText);
    EXPECT_EQ(server.count("taskstate"), 0u);
    // The upload answers: the report goes, under its own spinner.
    slow.release();
    ASSERT_TRUE(waitFor([&] { return server.count("taskstate") == 1; }));
    ASSERT_NE(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_NE(ProgressHUD::currentSpinner()->text(), PhotoTipViewController::kUploadingText);
    reported.release();
    ASSERT_TRUE(waitFor([&] { return ProgressHUD::currentSpinner() == nullptr; }));
}

TEST_F(ReviewTest, AFailedReportKeepsTheScreenWithAWayToSendItAgain) {
    auto screen = openRetake(CaseMode::Real, json::array({kTwoRejected[0]}));
    server.scriptOnce("taskstate", Reply::rescode("500", "状态更新失败"));
    ASSERT_NO_FATAL_FAILURE(retake(screen, 0));
    ASSERT_TRUE(waitFor([&] { return toast() == "状态更新失败"; }));
    finishTransitions();
    EXPECT_EQ(retakeScreen(), screen);
    ASSERT_TRUE(driver.tap("重新提交"));
    // Withdrawn while the report is under way, and after it: a tap as the screen closes sends
    // nothing more.
    EXPECT_FALSE(driver.isOnScreen("重新提交"));
    ASSERT_TRUE(waitFor([&] { return server.count("taskstate") == 2; }));
    settleRequests();
    EXPECT_EQ(screen->navigationItem()->rightBarButtonItem(), nullptr);
    advance(1);
    EXPECT_EQ(retakeScreen(), nullptr);
    settleRequests();
    EXPECT_EQ(server.count("taskstate"), 2u);
}

TEST_F(ReviewTest, AnEmptyRejectionReportsAndCloses) {
    openRetake(CaseMode::Real, json::array());
    ASSERT_TRUE(waitFor([&] { return server.count("taskstate") == 1; }));
    settleRequests();
    advance(1);
    EXPECT_EQ(retakeScreen(), nullptr);
    // In practice: closed without a request.
    server.clearRequests();
    openRetake(CaseMode::Practice, json::array());
    advance(1);
    EXPECT_EQ(retakeScreen(), nullptr);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(ReviewTest, APickerCancelledTheMomentItOpensLeavesTheListInFrontAndWorking) {
    auto screen = openRetake(CaseMode::Real, json::array({kTwoRejected[0]}));
    auto cell = std::dynamic_pointer_cast<PhotoTipCell>(tableOf(screen)->cellForRowAtIndexPath({0, 0}));
    ASSERT_TRUE(driver.tap(cell->takePhoto()));
    auto picker =
        std::dynamic_pointer_cast<ui::ImagePickerController>(screen->navigationController()->presentedViewController());
    ASSERT_NE(picker, nullptr);
    picker->cancel();
    advance(1);
    settle();
    EXPECT_EQ(screen->navigationController()->presentedViewController(), nullptr);
    EXPECT_TRUE(driver.isOnScreen("全景照片模糊。"));
    // The row takes a finger again, and its re-take goes through.
    ASSERT_NO_FATAL_FAILURE(retake(screen, 0));
    EXPECT_EQ(PhotoTipTestAPI(screen).taken(), (std::vector<bool>{true}));
    ASSERT_TRUE(waitFor([&] { return server.count("image") == 1; }));
}

TEST_F(ReviewTest, ThePictureNavigationTitlesItselfWearsTheBarLookAndItsBackDoesNothing) {
    auto root = std::make_shared<NamedTestScreen>("PictureScreen");
    auto pictures = std::make_shared<ImagePickerNavgationController>(root);
    navigation->presentViewController(pictures, true);
    finishTransitions();
    auto item = pictures->navigationItem();
    EXPECT_EQ(item->title(), ImagePickerNavgationController::kTitle);
    auto back = item->leftBarButtonItem();
    ASSERT_NE(back, nullptr);
    ASSERT_NE(back->image(), nullptr);
    EXPECT_EQ(back->image()->name(), Theme::kBackImage);
    // The application's bar, as every other navigation controller wears it.
    auto themed = std::make_shared<CustomNavigationController>(std::make_shared<NamedTestScreen>("Other"));
    themed->view();
    ASSERT_NE(pictures->navigationBar()->backgroundImage(), nullptr);
    EXPECT_EQ(pictures->navigationBar()->backgroundImage()->name(), themed->navigationBar()->backgroundImage()->name());
    EXPECT_EQ(pictures->navigationBar()->titleTextAttributes().font,
              themed->navigationBar()->titleTextAttributes().font);
    EXPECT_EQ(pictures->navigationBar()->titleTextAttributes().color,
              themed->navigationBar()->titleTextAttributes().color);
    back->perform();
    finishTransitions();
    EXPECT_EQ(navigation->presentedViewController(), pictures);
    EXPECT_EQ(pictures->topViewController(), root);
}

TEST_F(ReviewTest, WithoutACameraTheDriverIsToldSo) {
    ui::ImagePickerController::setCameraProvider(nullptr);
    auto screen = openRetake(CaseMode::Real, kTwoRejected);
    auto cell = std::dynamic_pointer_cast<PhotoTipCell>(tableOf(screen)->cellForRowAtIndexPath({0, 0}));
    ASSERT_TRUE(driver.tap(cell->takePhoto()));
    EXPECT_TRUE(driver.isAlertShowing());
    EXPECT_TRUE(driver.isOnScreen("您的设备没有拍照功能"));
    EXPECT_EQ(screen->navigationController()->presentedViewController(), nullptr);
    EXPECT_EQ(PhotoTipTestAPI(screen).taken(), (std::vector<bool>{false, false}));
}

TEST_F(ReviewTest, PracticeRetakesSendNothingAndClose) {
    auto screen = openRetake(CaseMode::Practice, kTwoRejected);
    ASSERT_NO_FATAL_FAILURE(retake(screen, 1));
    ASSERT_NO_FATAL_FAILURE(retake(screen, 0));
    advance(1);
    EXPECT_EQ(retakeScreen(), nullptr);
    EXPECT_TRUE(server.requests().empty());
}

// The application killed 0, 50 and 200 ms after a re-take's picture (the run loop's clock
// moving meanwhile), then started again on the same sandbox: a re-take whose picker was seen
// closing is sent once.
class RetakeKillTest : public ReviewTest, public ::testing::WithParamInterface<double> {};

TEST_P(RetakeKillTest, ARetakeShownAsTakenIsSentOnceAfterTheNextStart) {
    auto screen = openRetake(CaseMode::Real, kTwoRejected);
    server.script("image", Reply::rescode("500", "服务器繁忙"));
    ASSERT_NO_FATAL_FAILURE(retake(screen, 0));
    ASSERT_TRUE(waitFor([&] { return server.count("image") == 1; }));
    auto cell = std::dynamic_pointer_cast<PhotoTipCell>(tableOf(screen)->cellForRowAtIndexPath({0, 1}));
    ASSERT_TRUE(driver.tap(cell->takePhoto()));
    advance(0.5);
    auto picker =
        std::dynamic_pointer_cast<ui::ImagePickerController>(screen->navigationController()->presentedViewController());
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(picker->takePicture());
    if (GetParam() > 0) advance(GetParam());
    KilledStore killed;
    bool shown = picker->isBeingDismissed() || screen->navigationController()->presentedViewController() != picker ||
                 PhotoTipTestAPI(screen).taken()[1];

    ASSERT_TRUE(waitFor([&] { return server.count("image") == 2; }));
    advance(1);
    settleRequests();
    server.clearRequests();
    server.script("image", Reply::rescode("200", "成功"));
    killed.restart();
    ASSERT_TRUE(waitFor([&] { return FailedImageStore::count() == 0; }));
    settleRequests();
    auto sent = KilledStore::typesSent(server.requests("image"));
    EXPECT_EQ(sent["1"], 1);
    EXPECT_TRUE(shown);
    EXPECT_EQ(sent["3"], 1);
}

INSTANTIATE_TEST_SUITE_P(Moments, RetakeKillTest, ::testing::Values(0.0, 0.05, 0.2));

class MoveCarTest : public ReviewTest {
protected:
    std::shared_ptr<MoveCarTipsViewController> openTips(CaseMode mode) {
        auto screen = std::make_shared<MoveCarTipsViewController>(MoveCarTipsViewController::Arguments{mode});
        const std::string flag = std::to_string(practiceFlag(mode));
        screen->onCarList = [this, flag](bool count) { opened.push_back("car list " + flag + (count ? " two" : "")); };
        screen->onClientForm = [this, flag](bool count) { opened.push_back("form " + flag + (count ? " two" : "")); };
        navigation->pushViewController(screen, true);
        finishTransitions();
        return screen;
    }
    static std::filesystem::path carlist() { return foundation::Sandbox::current().documents() / "Carlist.plist"; }
    std::vector<std::string> opened;
};

TEST_F(MoveCarTest, TheNoticeMarksItsWordsByCharacter) {
    auto runs = MoveCarTipsViewController::tipRuns(MoveCarTipsViewController::kTipText, {10, 11, 15});
    ASSERT_GE(runs.size(), 4u);
    EXPECT_EQ(runs[0], (std::pair<std::string, bool>{"现场取证照片清晰,请", false}));
    EXPECT_EQ(runs[1], (std::pair<std::string, bool>{"立即", true}));
    EXPECT_EQ(runs[2], (std::pair<std::string, bool>{"将车辆", false}));
    EXPECT_EQ(runs[3], (std::pair<std::string, bool>{"挪", true}));
    // A cut UTF-8 sequence at the end is kept whole, never split further.
    auto broken = MoveCarTipsViewController::tipRuns(std::string("ab\xE7\xAB"), {2});
    ASSERT_EQ(broken.size(), 2u);
    EXPECT_EQ(broken[1].first, "\xE7\xAB");
}

TEST_F(MoveCarTest, TheButtonLeadsToTheVehiclesOrToTheForm) {
    openTips(CaseMode::Real);
    EXPECT_TRUE(driver.isOnScreen("我知道了"));
    settleRequests();
    ASSERT_TRUE(waitFor([&] { return foundation::files::exists(carlist()); }));
    auto kept = foundation::plist::read(carlist());
    ASSERT_TRUE(kept && kept->is_object());
    EXPECT_EQ((*kept)["rescode"], "200");
    ASSERT_TRUE(driver.tap("我知道了"));
    ASSERT_TRUE(waitFor([&] { return !opened.empty(); }));
    EXPECT_EQ(opened, (std::vector<std::string>{"car list 1 two"}));
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);

    for (auto reply : {Reply::rescode("500", "无车辆"), Reply::dropped()}) {
        opened.clear();
        server.scriptOnce("getusercarlist", reply);
        ASSERT_TRUE(driver.tap("我知道了"));
        ASSERT_TRUE(waitFor([&] { return !opened.empty(); }));
        settleRequests();
        EXPECT_EQ(opened, (std::vector<std::string>{"form 1 two"}));
    }
}

TEST_F(MoveCarTest, ADoubleTapAsksOnceAndOpensOneScreen) {
    auto tips = openTips(CaseMode::Real);
    ASSERT_TRUE(waitFor([&] { return server.count("getusercarlist") == 1; }));
    settleRequests();
    HeldReply vehicles;
    server.scriptOnce("getusercarlist", vehicles(Reply::json({{"rescode", "200"}})));
    tips->movedBtnClick();
    tips->movedBtnClick();
    vehicles.release();
    ASSERT_TRUE(waitFor([&] { return !opened.empty(); }));
    settleRequests();
    EXPECT_EQ(opened, (std::vector<std::string>{"car list 1 two"}));
    EXPECT_EQ(server.count("getusercarlist"), 2u);
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
}

TEST_F(MoveCarTest, AReplyAPropertyListCannotHoldIsNotWritten) {
    server.scriptOnce("getusercarlist", Reply::json({{"rescode", "200"}, {"list", json::array({nullptr})}}));
    openTips(CaseMode::Real);
    ASSERT_TRUE(waitFor([&] { return server.count("getusercarlist") == 1; }));
    settleRequests();
    EXPECT_FALSE(foundation::files::exists(carlist()));
    EXPECT_FALSE(MoveCarTipsViewController::isPropertyList(json{{"a", nullptr}}));
    EXPECT_TRUE(MoveCarTipsViewController::isPropertyList(json{{"a", json::array({1, "x", true})}}));
}

TEST_F(MoveCarTest, PracticeSendsNothingAndOpensTheVehicleChoice) {
    openTips(CaseMode::Practice);
    ASSERT_TRUE(driver.tap("我知道了"));
    EXPECT_EQ(opened, (std::vector<std::string>{"car list 0 two"}));
    settleRequests();
    EXPECT_TRUE(server.requests().empty());
    EXPECT_FALSE(foundation::files::exists(carlist()));
}

}  // namespace
