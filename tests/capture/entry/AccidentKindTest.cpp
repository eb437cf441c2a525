#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "EntryTestSupport.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "platform/ui/GraphicsContext.h"
#include "support/HeldReply.h"
#include "support/KilledStore.h"
#include "support/PhotoCapTestAPI.h"

namespace {

using Names = std::vector<std::string>;
using standin::Reply;

class AccidentKindTest : public EntryTest {
protected:
    std::shared_ptr<ProgressHUD> spinner() const { return ProgressHUD::currentSpinner(); }
    std::string toast() const {
        auto hud = ProgressHUD::current();
        return hud && hud->isToast() ? hud->text() : "";
    }
    std::string accidentno() const { return UserDateSingleton::shareUserDateInstance().accidentno().value_or(""); }
    // Taps the single-car card of a real case and waits for the camera.
    void startSingleCarCapture() {
        tapAndSettle("单车事故");
        ASSERT_TRUE(waitFor([&] { return top<PhotoCapViewController>() != nullptr; }));
        finishTransitions();
    }
    void shootAndWaitForUpload() {
        size_t before = server.count("image");
        shoot();
        ASSERT_TRUE(waitFor([&] { return server.count("image") == before + 1; }));
    }
};

TEST_F(AccidentKindTest, CardsLieOneAboveTheOtherInAScrollingPage) {
    auto kind = openAccidentKind(1);
    auto screen = ui::Screen::mainScreen().bounds();
    EXPECT_DOUBLE_EQ(kind->doubleCar()->frame().y(), 7);
    EXPECT_DOUBLE_EQ(kind->singleCar()->frame().y(), 7 + 219 + 7);
    EXPECT_DOUBLE_EQ(kind->singleCar()->frame().height(), 219);
    EXPECT_DOUBLE_EQ(kind->scrollView()->contentSize().height, screen.height() + 50);
    EXPECT_EQ(kind->singleCar()->singleCar()->image()->name(), "单车");
    EXPECT_EQ(kind->doubleCar()->doubleCar()->image()->name(), "多车");
    EXPECT_DOUBLE_EQ(kind->singleCar()->singleCarBtn()->frame().y(), 40 + 101.5 + 30);
    EXPECT_EQ(kind->singleCar()->singleCarBtn()->currentBackgroundImage()->name(), "蓝色btn");
    EXPECT_TRUE(driver.isOnScreen("两车及以上事故"));
}

TEST_F(AccidentKindTest, ThePageFitsTheScreenAgainAfterTheCameraIsLeft) {
    // The camera hides the bar; the page is laid out again once the bar is back.
    auto kind = openAccidentKind(0);
    tapAndSettle("单车事故");
    auto camera = top<PhotoCapViewController>();
    ASSERT_NE(camera, nullptr);
    auto sheet = std::make_shared<ui::ActionSheet>("您确认放弃采集事故现场影像吗?", camera, "取消", "",
                                                   std::vector<std::string>{"确定"});
    camera->didDismissWithButtonIndex(*sheet, 0);
    finishTransitions();
    ASSERT_EQ(navigation->topViewController(), kind);
    EXPECT_EQ(kind->scrollView()->frame(), kind->view()->bounds());
}

TEST_F(AccidentKindTest, PracticeWalkSendsNothingAndEndsOnTheVehicleChoiceWithOneCar) {
    // Every value but 1 is practice on the single-car card.
    for (int flag : {0}) {
        auto kind = openAccidentKind(flag);
        tapAndSettle("单车事故");
        auto camera = top<PhotoCapViewController>();
        ASSERT_NE(camera, nullptr);
        EXPECT_EQ(camera->images(), SingleDoubleAccidentViewController::singleCarImageArray());
        EXPECT_EQ(camera->carType(), 0);
        EXPECT_EQ(spinner(), nullptr);
        for (int i = 0; i < 5; ++i) shoot();
        auto carList = top<NamedTestScreen>();
        ASSERT_NE(carList, nullptr);
        EXPECT_EQ(carList->className(), "CarListViewController");
        EXPECT_EQ(carList->arguments["simulateNormal"], flag);
        EXPECT_FALSE(carList->flag("carCount"));
        EXPECT_EQ(carList->arguments, (nlohmann::json{{"simulateNormal", flag}, {"carCount", false}}));
        EXPECT_EQ(kind->count(), 0u);
        navigation->popToRootViewController(false);
        finishTransitions();
    }
    foundation::dispatch::waitIdle();
    drain();
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(AccidentKindTest, RealSingleCarCaptureOpensACaseUploadsEveryShotAndFetchesTheVehicles) {
    auto kind = openAccidentKind(1);
    HeldReply opened;
    server.scriptOnce("accidentinfor", opened(Reply::json({{"rescode", "200"}, {"accidentno", "BJ202612070042"}})));
    ASSERT_TRUE(driver.tap("单车事故"));
    ASSERT_NE(spinner(), nullptr);
    EXPECT_EQ(spinner()->text(), "正在加载...");
    opened.release();
    ASSERT_TRUE(waitFor([&] { return top<PhotoCapViewController>() != nullptr; }));
    finishTransitions();
    EXPECT_EQ(spinner(), nullptr);
    EXPECT_EQ(accidentno(), "BJ202612070042");

    auto opening = server.lastRequest("accidentinfor");
    ASSERT_TRUE(opening);
    EXPECT_EQ(opening->method, "POST");
    EXPECT_EQ(opening->param("accidenttype"), "0");
    EXPECT_EQ(opening->param("userid"), standin::kDemoUserId);
    EXPECT_EQ(opening->param("sn"), standin::signatureFor(standin::kDemoUserId));
    EXPECT_EQ(opening->param("appkey"), AppConfig::appKey());
    EXPECT_EQ(opening->param("lon"), "116.397500");
    EXPECT_EQ(opening->param("lat"), "39.908700");
    EXPECT_EQ(opening->param("accidentdate"), "2026-12-7 10:0:0");

    HeldReply vehicles;
    server.scriptOnce("getusercarlist", vehicles(Reply::json({{"rescode", "200"}, {"list", nlohmann::json::array()}})));
    for (int i = 0; i < 5; ++i) shootAndWaitForUpload();
    EXPECT_EQ(uploadedCodes(), (Names{"1", "2", "3", "6", "7"}));
    for (const auto& upload : server.requests("image")) {
        EXPECT_EQ(upload.param("accidentno"), "BJ202612070042");
        EXPECT_EQ(upload.param("size"), "30");
        EXPECT_EQ(upload.param("flowtype"), "0");
        EXPECT_FALSE(upload.param("contentdata").value_or("").empty());
    }
    EXPECT_EQ(kind->count(), 5u);

    // After the fifth shot: the vehicles, under "正在加载...". An empty list still opens the choice.
    ASSERT_NE(spinner(), nullptr);
    EXPECT_EQ(spinner()->text(), "正在加载...");
    vehicles.release();
    ASSERT_TRUE(waitFor([&] { return navigation->topViewController()->className() == "CarListViewController"; }));
    finishTransitions();
    EXPECT_EQ(spinner(), nullptr);
    auto carList = top<NamedTestScreen>();
    EXPECT_EQ(carList->arguments["simulateNormal"], 1);
    EXPECT_FALSE(carList->flag("carCount"));
    auto listed = server.lastRequest("getusercarlist");
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->method, "GET");
    EXPECT_EQ(listed->param("userid"), standin::kDemoUserId);
    EXPECT_EQ(listed->param("appkey"), AppConfig::appKey());
    EXPECT_EQ(clientFormsMade, 0);
    EXPECT_TRUE(kind->failedImage().empty());
    // Each record leaves the store once its "200" has come back.
    EXPECT_TRUE(waitFor([&] { return FailedImageStore::count() == 0; }));
}

TEST_F(AccidentKindTest, ChoosingTheSingleCarAgainOpensANewCaseAndCodesFromOneAgain) {
    auto kind = openAccidentKind(1);
    startSingleCarCapture();
    std::string first = accidentno();
    shootAndWaitForUpload();
    shootAndWaitForUpload();
    EXPECT_EQ(kind->count(), 2u);

    // "返回" on the camera, then "确定": back to the accident kind.
    top<PhotoCapViewController>()->backBtnClick();
    ASSERT_TRUE(driver.answerAlert("确定"));
    finishTransitions();
    ASSERT_EQ(navigation->topViewController(), kind);
    EXPECT_EQ(kind->count(), 0u);
    EXPECT_FALSE(navigation->isNavigationBarHidden());

    startSingleCarCapture();
    EXPECT_EQ(server.count("accidentinfor"), 2u);
    EXPECT_NE(accidentno(), first);
    shootAndWaitForUpload();
    shootAndWaitForUpload();
    EXPECT_EQ(uploadedCodes(), (Names{"1", "2", "1", "2"}));
    auto uploads = server.requests("image");
    EXPECT_EQ(uploads[1].param("accidentno"), first);
    EXPECT_EQ(uploads[2].param("accidentno"), accidentno());
}

TEST_F(AccidentKindTest, AFailedVehicleListOpensThePartiesFormExactlyOnce) {
    struct Case {
        const char* name;
        Reply reply;
    };
    for (auto& c : {Case{"dropped", Reply::dropped()}, Case{"rejected", Reply::rescode("500", "系统繁忙")},
                    Case{"broken", Reply::raw("{\"rescode\":")}}) {
        SCOPED_TRACE(c.name);
        clientFormsMade = 0;
        openAccidentKind(1);
        startSingleCarCapture();
        server.script("getusercarlist", c.reply);
        for (int i = 0; i < 5; ++i) shootAndWaitForUpload();
        ASSERT_TRUE(waitFor([&] { return clientFormsMade > 0; }));
        finishTransitions();
        advance(2);
        EXPECT_EQ(clientFormsMade, 1);
        auto form = top<NamedTestScreen>();
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->className(), "ClientViewController");
        EXPECT_EQ(form->arguments["simulateNormal"], 1);
        EXPECT_FALSE(form->flag("carCount"));
        EXPECT_EQ(spinner(), nullptr);
        navigation->popToRootViewController(false);
        finishTransitions();
    }
}

TEST_F(AccidentKindTest, AShotHandedBackJustBeforeTheDriverGivesUpKeepsItsCodeAndTheNextCaptureStartsAtOne) {
    auto kind = openAccidentKind(1);
    startSingleCarCapture();
    shootAndWaitForUpload();
    auto camera = top<PhotoCapViewController>();
    ASSERT_TRUE(driver.tap(PhotoCapTestAPI(camera).shutterButton()));
    // The second shot is processed and handed back; its upload waits for the main queue while
    // the driver's "确定" on "返回" is handled first.
    ASSERT_TRUE(foundation::dispatch::waitIdle());
    auto sheet = std::make_shared<ui::ActionSheet>("您确认放弃采集事故现场影像吗?", camera, "取消", "",
                                                   std::vector<std::string>{"确定"});
    sheet->setTag(0);
    camera->didDismissWithButtonIndex(*sheet, 0);
    finishTransitions();
    ASSERT_EQ(navigation->topViewController(), kind);
    ASSERT_TRUE(waitFor([&] { return server.count("image") == 2; }));

    startSingleCarCapture();
    shootAndWaitForUpload();
    EXPECT_EQ(uploadedCodes(), (Names{"1", "2", "1"}));
}

TEST_F(AccidentKindTest, ARejectedCaseOpeningKeepsTheScreenAndShowsTheServersText) {
    auto kind = openAccidentKind(1);
    UserDateSingleton::shareUserDateInstance().setAccidentno(std::string("BJ-OLD"));
    server.script("accidentinfor", Reply::rescode("500", "服务器维护中"));
    for (const char* card : {"单车事故", "两车及以上事故"}) {
        ASSERT_TRUE(driver.tap(card));
        ASSERT_TRUE(waitFor([&] { return toast() == "服务器维护中"; })) << card;
        finishTransitions();
        EXPECT_EQ(navigation->topViewController(), kind);
        EXPECT_EQ(spinner(), nullptr);
        EXPECT_EQ(accidentno(), "BJ-OLD");
        advance(1.5);
    }
    // In transport failure: the network message.
    server.script("accidentinfor", Reply::dropped());
    ASSERT_TRUE(driver.tap("单车事故"));
    ASSERT_TRUE(waitFor([&] { return toast() == AppConfig::kNetworkFailureText; }));
    EXPECT_EQ(navigation->topViewController(), kind);
    EXPECT_EQ(spinner(), nullptr);
}

TEST_F(AccidentKindTest, ACaseOpeningWithoutACaseNumberClearsTheSpinnerAndSaysSo) {
    auto kind = openAccidentKind(1);
    for (const nlohmann::json& reply : {nlohmann::json{{"rescode", "200"}}, nlohmann::json{{"rescode", "200"}, {"accidentno", ""}}}) {
        server.scriptOnce("accidentinfor", Reply::json(reply));
        ASSERT_TRUE(driver.tap("单车事故"));
        ASSERT_TRUE(waitFor([&] { return toast() == SingleDoubleAccidentViewController::kNoCaseNumberText; }));
        finishTransitions();
        EXPECT_EQ(spinner(), nullptr);
        EXPECT_EQ(navigation->topViewController(), kind);
        EXPECT_EQ(accidentno(), "");
        advance(1.5);
    }
}

TEST_F(AccidentKindTest, TheTwoCarCardOpensTheCaseOnlyInARealCase) {
    auto kind = openAccidentKind(0);
    tapAndSettle("两车及以上事故");
    auto situation = top<NamedTestScreen>();
    ASSERT_NE(situation, nullptr);
    EXPECT_EQ(situation->className(), "SituationViewController");
    EXPECT_EQ(situation->arguments, (nlohmann::json{{"simulateState", 0}}));
    EXPECT_TRUE(server.requests().empty());
    navigation->popToRootViewController(false);
    finishTransitions();

    kind = openAccidentKind(1);
    HeldReply opened;
    server.scriptOnce("accidentinfor", opened(Reply::json({{"rescode", "200"}, {"accidentno", "BJ202612079999"}})));
    ASSERT_TRUE(driver.tap("两车及以上事故"));
    ASSERT_NE(spinner(), nullptr);
    EXPECT_EQ(spinner()->text(), "加载中...");
    opened.release();
    ASSERT_TRUE(waitFor([&] { return navigation->topViewController()->className() == "SituationViewController"; }));
    finishTransitions();
    EXPECT_EQ(spinner(), nullptr);
    EXPECT_EQ(accidentno(), "BJ202612079999");
    EXPECT_EQ(top<NamedTestScreen>()->arguments, (nlohmann::json{{"simulateState", 1}}));
    EXPECT_EQ(server.lastRequest("accidentinfor")->param("accidenttype"), "1");
}

TEST_F(AccidentKindTest, TheApplicationsRoadOpensTheSituationChoice) {
    situationBuilt = false;
    auto kind = openAccidentKind(1);
    HeldReply opened;
    server.scriptOnce("accidentinfor", opened(Reply::rescode("200", "成功", {{"accidentno", "BJ202612070051"}})));
    ASSERT_TRUE(driver.tap("两车及以上事故"));
    ASSERT_NE(spinner(), nullptr);
    opened.release();
    ASSERT_TRUE(waitFor([&] { return navigation->topViewController()->className() == "AccidentSituationViewController"; }));
    finishTransitions();
    // Without a list file the choice asks the server for its list.
    settleRequests();
    EXPECT_EQ(spinner(), nullptr);
    EXPECT_TRUE(driver.isOnScreen("选择事故情形"));
    EXPECT_TRUE(driver.isOnScreen("追尾"));
    EXPECT_EQ(server.count("accidentinfor"), 1u);
}

TEST_F(AccidentKindTest, FailedUploadsAreKeptBesideTheRecordsAlreadyWaiting) {
    nlohmann::json waiting = {{"userid", "10001"}, {"accidentno", "BJ-EARLIER"}, {"imagetype", "3"},
                              {"contentdata", "abc"}, {"imagename", "2026127959.jpg"}};
    ASSERT_TRUE(FailedImageStore::addRecord(waiting));
    auto kind = openAccidentKind(1);
    startSingleCarCapture();
    server.scriptOnce("image", Reply::json({{"rescode", "200"}}));
    server.scriptOnce("image", Reply::dropped());
    shootAndWaitForUpload();
    shootAndWaitForUpload();
    // Both answers handled: the accepted shot has left the store, the dropped one is kept.
    ASSERT_TRUE(waitFor([&] { return kind->failedImage().size() == 1 && FailedImageStore::count() == 2; }));
    auto failed = kind->failedImage()[0];
    EXPECT_EQ(failed["imagetype"], "2");
    EXPECT_EQ(failed["accidentno"], accidentno());
    for (const char* key : {"userid", "sn", "appkey", "imagename", "contentdata", "imagelon", "imagelat", "imagedate"})
        EXPECT_TRUE(failed.contains(key)) << key;

    auto stored = FailedImageStore::records();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0], waiting);
    EXPECT_EQ(stored[1], failed);
}

// The application killed 0, 50 and 200 ms after a shutter tap (the clock of its timers running
// meanwhile), then started again on the same sandbox: every shot the camera showed as taken
// (its look moved on: picture, prompt or outline) is sent once; none twice.
class ShutterKillTest : public AccidentKindTest, public ::testing::WithParamInterface<double> {};

TEST_P(ShutterKillTest, EveryShotShownAsTakenIsSentOnceAfterTheNextStart) {
    openAccidentKind(1);
    ASSERT_NO_FATAL_FAILURE(startSingleCarCapture());
    server.script("image", Reply::rescode("500", "服务器繁忙"));
    ASSERT_NO_FATAL_FAILURE(shootAndWaitForUpload());
    ASSERT_NO_FATAL_FAILURE(shootAndWaitForUpload());
    auto camera = top<PhotoCapViewController>();
    ASSERT_NE(camera, nullptr);
    auto look = [&] {
        auto image = ui::render(camera->view());
        return image ? image->pngData() : std::string();
    };
    settle();
    std::string before = look();
    ASSERT_TRUE(driver.tap(PhotoCapTestAPI(camera).shutterButton()));
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(GetParam());
    while (std::chrono::steady_clock::now() < until) {
        drain();
        advance(0.05);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    KilledStore killed;
    bool shown = look() != before || top() != camera;

    // The rest of the first life ends unseen; the next start finds the disk as the kill left it.
    ASSERT_TRUE(waitFor([&] { return server.count("image") == 3; }));
    foundation::dispatch::waitIdle();
    settleRequests();
    server.clearRequests();
    server.script("image", Reply::rescode("200", "成功"));
    killed.restart();
    ASSERT_TRUE(waitFor([&] { return FailedImageStore::count() == 0; }));
    settleRequests();
    auto sent = KilledStore::typesSent(server.requests("image"));
    EXPECT_EQ(sent["1"], 1);
    EXPECT_EQ(sent["2"], 1);
    if (shown) {
        EXPECT_EQ(sent["3"], 1);
    } else {
        EXPECT_LE(sent["3"], 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Moments, ShutterKillTest, ::testing::Values(0.0, 0.05, 0.2));

}  // namespace
