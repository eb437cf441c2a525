#include <gtest/gtest.h>

#include <fstream>

#include "EntryTestSupport.h"
#include "capture/common/TickRowCell.h"
#include "capture/entry/AccidentSituationViewController.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "support/AccidentSituationTestAPI.h"
#include "support/HeldReply.h"

namespace {

using Names = std::vector<std::string>;
using standin::Reply;
using nlohmann::json;

json situation(const char* name, const char* code) { return {{"name", name}, {"code", code}}; }

const json kList = json::array({situation("追尾", "1"), situation("变更车道", "2"), situation("倒车", "3"),
                                situation("其他", "0")});

class SituationTest : public EntryTest {
protected:
    void SetUp() override {
        EntryTest::SetUp();
        writeList(kList);
        UserDateSingleton::shareUserDateInstance().setAccidentno(std::string("BJ202612070007"));
    }

    static void writeList(const json& list) {
        ASSERT_TRUE(foundation::plist::write(foundation::Sandbox::current().documents() / "situation.plist", list));
    }

    // The accident kind, then the situation choice of the same road on top of it.
    std::shared_ptr<AccidentSituationViewController> openSituation(CaseMode mode) {
        // The photo review wait stands in: it notes each hand-over and opens nothing.
        auto road = makeRoad(mode);
        road->standIns.photoReview = [this, flag = practiceFlag(mode)]() -> std::shared_ptr<ui::ViewController> {
            reviews.push_back(flag);
            return nullptr;
        };
        kind = road->makeAccidentKind();
        navigation->pushViewController(kind, false);
        auto screen = std::dynamic_pointer_cast<AccidentSituationViewController>(road->makeSituation());
        navigation->pushViewController(screen, true);
        finishTransitions();
        api = std::make_unique<AccidentSituationTestAPI>(screen);
        return screen;
    }

    std::string toast() const {
        auto hud = ProgressHUD::current();
        return hud && hud->isToast() ? hud->text() : "";
    }
    void clearToast() {
        advance(2);
        drain();
    }
    bool ticked(int row) const {
        auto cell = std::dynamic_pointer_cast<TickRowCell>(api->tableView()->cellForRowAtIndexPath({0, row}));
        return cell && cell->iconView()->isSelected();
    }
    int tickedCount() const {
        int n = 0;
        for (int row = 0; row < api->tableView()->numberOfRowsInSection(0); ++row) n += ticked(row) ? 1 : 0;
        return n;
    }
    bool fetching() const { return ProgressHUD::currentSpinner() != nullptr; }
    bool fieldOpen() const { return driver.isVisible(api->inputSituation()); }
    std::string accidentdes() const { return UserDateSingleton::shareUserDateInstance().accidentdes().value_or("<nil>"); }
    std::string information() const {
        return UserDateSingleton::shareUserDateInstance().accidentInfomation().value_or("<nil>");
    }
    // Ticks a row, fills the description when given, and goes on to the camera.
    void chooseAndGoOn(int row, const std::string& text = "") {
        ASSERT_TRUE(driver.selectRow(0, row));
        if (!text.empty()) {
            ASSERT_TRUE(driver.type(AccidentSituationViewController::kPlaceholder, text));
        }
        ASSERT_TRUE(driver.tap(AccidentSituationViewController::kNextTitle));
        finishTransitions();
        ASSERT_NE(top<PhotoCapViewController>(), nullptr);
    }
    void answerExtraCar(const char* answer) {
        ASSERT_TRUE(waitFor([&] { return PhotoCapTestAPI(top<PhotoCapViewController>()).extraCarAlert() != nullptr; }));
        ASSERT_TRUE(driver.answerAlert(answer));
        settle();
    }

    std::vector<int> reviews;
    std::shared_ptr<SingleDoubleAccidentViewController> kind;
    std::unique_ptr<AccidentSituationTestAPI> api;
};

TEST_F(SituationTest, RowsShowTheListWithTheirCodesAsTagsUnderTheTitle) {
    writeList(json::array({situation("追尾", "1"), situation("乱码", "x7"), situation("其他", "0")}));
    auto screen = openSituation(CaseMode::Real);
    EXPECT_EQ(top(), screen);
    EXPECT_EQ(screen->title(), "选择事故情形");
    auto table = api->tableView();
    ASSERT_EQ(table->numberOfRowsInSection(0), 3);
    EXPECT_DOUBLE_EQ(table->frame().height(), 3 * 44);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0})->tag(), 1);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1})->tag(), 0);
    EXPECT_TRUE(driver.isOnScreen("乱码"));
    EXPECT_FALSE(fieldOpen());
    EXPECT_DOUBLE_EQ(api->confirm()->frame().y(), 3 * 44 + 12.5 + 0 + 12.5);
}

TEST_F(SituationTest, OneTickAtMostAndTheLastRowOpensTheField) {
    openSituation(CaseMode::Real);
    ASSERT_TRUE(driver.selectRow(0, 1));
    EXPECT_TRUE(ticked(1));
    ASSERT_TRUE(driver.selectRow(0, 2));
    EXPECT_TRUE(ticked(2));
    EXPECT_EQ(tickedCount(), 1);

    // Ticking a ticked row leaves none ticked, and "下一步" asks for a choice; the code is kept all the same.
    ASSERT_TRUE(driver.selectRow(0, 2));
    EXPECT_EQ(tickedCount(), 0);
    ASSERT_TRUE(driver.tap("下一步"));
    EXPECT_EQ(toast(), "请选择事故情形");
    EXPECT_EQ(accidentdes(), "3");
    EXPECT_EQ(top<AccidentSituationViewController>() != nullptr, true);
    clearToast();

    // The last row opens the field (30 high, "下一步" 12.5 below it); another row closes it.
    ASSERT_TRUE(driver.selectRow(0, 3));
    EXPECT_TRUE(fieldOpen());
    EXPECT_DOUBLE_EQ(api->inputSituation()->frame().height(), 30);
    EXPECT_DOUBLE_EQ(api->confirm()->frame().y(), api->inputSituation()->frame().maxY() + 12.5);
    EXPECT_TRUE(driver.findByPlaceholder("请简单描述事故情形"));
    ASSERT_TRUE(driver.selectRow(0, 0));
    EXPECT_FALSE(fieldOpen());
    EXPECT_DOUBLE_EQ(api->inputSituation()->frame().height(), 0);
    // Unticking the last row closes it too.
    ASSERT_TRUE(driver.selectRow(0, 3));
    ASSERT_TRUE(fieldOpen());
    ASSERT_TRUE(driver.selectRow(0, 3));
    EXPECT_FALSE(fieldOpen());
    EXPECT_EQ(tickedCount(), 0);
}

TEST_F(SituationTest, OtherNeedsItsTextWhichBelongsToThisCaseOnly) {
    auto& state = UserDateSingleton::shareUserDateInstance();
    state.setAccidentInfomation(std::string("上一起事故的描述"));
    openSituation(CaseMode::Real);
    ASSERT_TRUE(driver.selectRow(0, 3));
    ASSERT_TRUE(driver.tap("下一步"));
    EXPECT_EQ(toast(), "请输入事故情形");
    EXPECT_EQ(accidentdes(), "0");
    EXPECT_EQ(information(), "上一起事故的描述");
    clearToast();

    ASSERT_TRUE(driver.type(AccidentSituationViewController::kPlaceholder, "停车场内剐蹭"));
    ASSERT_TRUE(driver.tap("下一步"));
    finishTransitions();
    EXPECT_NE(top<PhotoCapViewController>(), nullptr);
    EXPECT_EQ(information(), "停车场内剐蹭");

    // Another situation of a later capture: the text of "other" does not go with it.
    navigation->popViewController(false);
    finishTransitions();
    chooseAndGoOn(1);
    EXPECT_EQ(accidentdes(), "2");
    EXPECT_EQ(information(), "");
}

TEST_F(SituationTest, ACodeThatIsNoNumberAsksForTheTextAndOffersTheField) {
    writeList(json::array({situation("乱码", "abc"), situation("追尾", "1"), situation("其他", "0")}));
    openSituation(CaseMode::Real);
    ASSERT_TRUE(driver.selectRow(0, 0));
    EXPECT_EQ(api->selectedCode(), "0");
    EXPECT_TRUE(fieldOpen());
    ASSERT_TRUE(driver.tap("下一步"));
    EXPECT_EQ(toast(), "请输入事故情形");
    clearToast();
    ASSERT_TRUE(driver.type(AccidentSituationViewController::kPlaceholder, "说明"));
    ASSERT_TRUE(driver.tap("下一步"));
    finishTransitions();
    EXPECT_NE(top<PhotoCapViewController>(), nullptr);
    EXPECT_EQ(accidentdes(), "0");
    EXPECT_EQ(information(), "说明");
}

TEST_F(SituationTest, TheFieldKeepsTwoHundredCharactersWithoutSplittingOne) {
    openSituation(CaseMode::Real);
    ASSERT_TRUE(driver.selectRow(0, 3));
    std::string text;
    for (int i = 0; i < 205; ++i) text += "剐";
    ASSERT_TRUE(driver.type(AccidentSituationViewController::kPlaceholder, text, driver::Typing::Insertion));
    std::string kept = api->inputSituation()->text();
    EXPECT_EQ(kept.size(), 200u * 3);
    EXPECT_EQ(kept, text.substr(0, 600));
    EXPECT_EQ(api->inputSituation()->placeholder(), "请简单描述事故情形");
    EXPECT_EQ(api->inputSituation()->borderStyle(), ui::TextBorderStyle::RoundedRect);
}

TEST_F(SituationTest, AListRewrittenWhileShownChangesTheRowsOnlyAtTheNextAppearance) {
    auto screen = openSituation(CaseMode::Real);
    ASSERT_TRUE(driver.selectRow(0, 3));
    // The home page writes a shorter list meanwhile: the rows stay, and taps still reach them.
    writeList(json::array({situation("逆行", "6")}));
    ASSERT_TRUE(driver.selectRow(0, 2));
    EXPECT_TRUE(ticked(2));
    EXPECT_EQ(api->tableView()->numberOfRowsInSection(0), 4);
    EXPECT_EQ(api->selectedCode(), "3");
    EXPECT_TRUE(driver.isOnScreen("倒车"));
    // A corrupt file changes nothing either.
    ASSERT_TRUE(foundation::files::writeAtomically(foundation::Sandbox::current().documents() / "situation.plist", "<plist"));
    ASSERT_TRUE(driver.selectRow(0, 0));
    EXPECT_TRUE(ticked(0));

    // Next appearance: the list of the file now. The corrupt file gives none.
    auto other = std::make_shared<NamedTestScreen>("CoverScreen");
    navigation->pushViewController(other, false);
    finishTransitions();
    writeList(json::array({situation("逆行", "6"), situation("其他", "0")}));
    navigation->popViewController(false);
    finishTransitions();
    EXPECT_EQ(api->tableView()->numberOfRowsInSection(0), 2);
    EXPECT_TRUE(driver.isOnScreen("逆行"));
    EXPECT_EQ(tickedCount(), 0);
    ASSERT_TRUE(driver.tap("下一步"));
    EXPECT_EQ(toast(), "请选择事故情形");
    EXPECT_EQ(top(), screen);
}

// Without a usable list file the screen asks the server for the list; a failure is told on
// the page with a way to ask again, and the list that comes is kept in the file.
class SituationFetchTest : public SituationTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SituationFetchTest, AScreenWithoutAListFetchesItAndCanAskAgain) {
    auto file = foundation::Sandbox::current().documents() / "situation.plist";
    std::filesystem::remove(file);
    if (std::string(GetParam()) == "damaged") {
        std::ofstream(file) << "<?xml version=\"1.0\"?><plist><array><dict><key>name";
    }
    HeldReply refused;
    server.scriptOnce("getdictionary", refused(Reply::rescode("500", "字典服务不可用")));
    openSituation(CaseMode::Real);
    ASSERT_TRUE(waitFor([&] { return server.count("getdictionary") == 1; }));
    EXPECT_EQ(server.lastRequest("getdictionary")->param("type"), "accidentdes");
    ASSERT_NE(ProgressHUD::currentSpinner(), nullptr);
    refused.release();
    ASSERT_TRUE(waitFor([&] { return driver.isOnScreen(AccidentSituationViewController::kFetchAgainTitle); }));
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_TRUE(driver.isOnScreen(std::string(AccidentSituationViewController::kListFailedText) + "字典服务不可用"));
    EXPECT_EQ(api->tableView()->numberOfRowsInSection(0), 0);

    server.scriptOnce("getdictionary", Reply::dropped());
    ASSERT_TRUE(driver.tap(AccidentSituationViewController::kFetchAgainTitle));
    ASSERT_TRUE(waitFor([&] { return server.count("getdictionary") == 2 && !fetching(); }));
    EXPECT_TRUE(driver.isOnScreen(std::string(AccidentSituationViewController::kListFailedText) +
                                  AppConfig::kNetworkFailureText));

    // The third try brings the server's list: chosen from at once, and kept for the next time.
    ASSERT_TRUE(driver.tap(AccidentSituationViewController::kFetchAgainTitle));
    ASSERT_TRUE(waitFor([&] { return api->tableView()->numberOfRowsInSection(0) > 0; }));
    EXPECT_FALSE(driver.isOnScreen(AccidentSituationViewController::kFetchAgainTitle));
    int rows = api->tableView()->numberOfRowsInSection(0);
    EXPECT_EQ(api->tableView()->cellForRowAtIndexPath({0, rows - 1})->tag(), 0);
    auto kept = foundation::plist::read(file);
    ASSERT_TRUE(kept);
    EXPECT_EQ(static_cast<int>(kept->size()), rows);
    ASSERT_NO_FATAL_FAILURE(chooseAndGoOn(0));
}

INSTANTIATE_TEST_SUITE_P(Files, SituationFetchTest, ::testing::Values("missing", "damaged"));

TEST_F(SituationTest, FourteenShotsAreCodedByTheMultiCarTableAndReportedOnce) {
    openSituation(CaseMode::Real);
    chooseAndGoOn(0);
    auto camera = top<PhotoCapViewController>();
    EXPECT_EQ(camera->images(), AccidentSituationViewController::multiCarImageArray());
    EXPECT_EQ(camera->carType(), 1);
    EXPECT_EQ(camera->images().size(), 9u);
    EXPECT_EQ(camera->images()[3]["title"], "请您拍摄本方车辆碰撞部位特写照片");
    // Uploads run side by side: each one is let arrive before the next shot, so that the
    // server sees them in the order of the shots.
    auto shootAndWaitForUpload = [&] {
        std::size_t before = server.count("image");
        shoot();
        ASSERT_TRUE(waitFor([&] { return server.count("image") == before + 1; }));
    };
    for (int i = 0; i < 9; ++i) ASSERT_NO_FATAL_FAILURE(shootAndWaitForUpload());
    answerExtraCar("是");
    for (int i = 0; i < 5; ++i) ASSERT_NO_FATAL_FAILURE(shootAndWaitForUpload());
    ASSERT_TRUE(waitFor([&] { return server.count("image") == 14; }));
    EXPECT_EQ(uploadedCodes(), (Names{"1", "2", "3", "4", "5", "6", "7", "8", "9", "1", "2", "3", "6", "7"}));
    for (const auto& upload : server.requests("image")) {
        EXPECT_EQ(upload.param("accidentno"), "BJ202612070007");
        EXPECT_EQ(upload.param("imagelon"), "116.397500");
        EXPECT_EQ(upload.param("size"), "30");
        EXPECT_EQ(upload.param("flowtype"), "0");
    }
    EXPECT_EQ(api->count(), 14u);
    EXPECT_EQ(api->secondcount(), 0u);
    EXPECT_EQ(server.count("taskstate"), 0u);
    EXPECT_TRUE(reviews.empty());

    HeldReply reported;
    server.scriptOnce("taskstate", reported(Reply::rescode("200", "成功")));
    answerExtraCar("否");
    ASSERT_NE(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(ProgressHUD::currentSpinner()->text(), "正在加载...");
    reported.release();
    ASSERT_TRUE(waitFor([&] { return !reviews.empty(); }));
    EXPECT_EQ(reviews, (std::vector<int>{1}));
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    ASSERT_EQ(server.count("taskstate"), 1u);
    auto report = server.lastRequest("taskstate");
    EXPECT_EQ(report->param("accidenttype"), "7");
    EXPECT_EQ(report->param("type"), "2");
    EXPECT_EQ(report->param("accidentno"), "BJ202612070007");
    EXPECT_EQ(report->param("userid"), standin::kDemoUserId);
    EXPECT_EQ(report->param("appkey"), AppConfig::appKey());
    EXPECT_TRUE(api->faildImageArray().empty());
}

TEST_F(SituationTest, TheCodeTableRunsPerExtraCarAndRefusesWhatLiesPastIt) {
    std::size_t count = 0, secondcount = 0;
    Names codes;
    for (int i = 0; i < 19; ++i) codes.push_back(AccidentSituationViewController::multiCarImageType(count, secondcount).value());
    EXPECT_EQ(codes, (Names{"1", "2", "3", "4", "5", "6", "7", "8", "9", "1", "2", "3", "6", "7", "1", "2", "3", "6", "7"}));
    count = 12;
    secondcount = 5;
    EXPECT_FALSE(AccidentSituationViewController::multiCarImageType(count, secondcount));
    EXPECT_EQ(count, 12u);
}

TEST_F(SituationTest, EveryFailedUploadWaitsInTheFailedUploadFile) {
    openSituation(CaseMode::Real);
    chooseAndGoOn(1);
    server.scriptOnce("image", Reply::dropped());
    server.scriptOnce("image", Reply::rescode("500", "服务器繁忙"));
    server.scriptOnce("image", Reply::json({{"rescode", "200"}}));
    for (int i = 0; i < 3; ++i) shoot();
    // Every upload is stored before it starts; the one answered "200" leaves the store.
    ASSERT_TRUE(waitFor([&] {
        return server.count("image") == 3 && api->faildImageArray().size() == 2 && FailedImageStore::count() == 2;
    }));
    auto failed = api->faildImageArray();
    EXPECT_EQ(failed[0]["imagetype"], "1");
    EXPECT_EQ(failed[1]["imagetype"], "2");
    auto stored = FailedImageStore::records();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0], failed[0]);
    EXPECT_EQ(stored[1], failed[1]);
}

TEST_F(SituationTest, AFailedReportOffersToSendItAgain) {
    openSituation(CaseMode::Real);
    chooseAndGoOn(0);
    for (int i = 0; i < 9; ++i) shoot();
    server.scriptOnce("taskstate", Reply::rescode("500", "案件状态有误"));
    server.scriptOnce("taskstate", Reply::dropped());
    answerExtraCar("否");
    ASSERT_TRUE(waitFor([&] { return api->reportAgainAlert() != nullptr; }));
    EXPECT_EQ(toast(), "案件状态有误");
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_TRUE(reviews.empty());
    EXPECT_NE(top<PhotoCapViewController>(), nullptr);

    // Again, and the network fails: asked once more.
    ASSERT_TRUE(driver.answerAlert("重新提交"));
    ASSERT_TRUE(waitFor([&] { return server.count("taskstate") == 2 && api->reportAgainAlert() != nullptr; }));
    EXPECT_EQ(toast(), AppConfig::kNetworkFailureText);
    // "取消" leaves the camera with "重新提交" in its strip in place of the dead shutter: the
    // report can always be sent again, and its "200" opens the review.
    ASSERT_TRUE(driver.answerAlert("取消"));
    EXPECT_EQ(api->reportAgainAlert(), nullptr);
    EXPECT_EQ(server.count("taskstate"), 2u);
    EXPECT_FALSE(driver.isVisible(PhotoCapTestAPI(top<PhotoCapViewController>()).shutterButton()));
    server.scriptOnce("taskstate", Reply::rescode("200", "成功"));
    ASSERT_TRUE(driver.tap("重新提交"));
    ASSERT_TRUE(waitFor([&] { return !reviews.empty(); }));
    EXPECT_EQ(reviews, (std::vector<int>{1}));
    EXPECT_EQ(server.count("taskstate"), 3u);
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
}

TEST_F(SituationTest, AReportSentAgainReachesTheReview) {
    openSituation(CaseMode::Real);
    chooseAndGoOn(0);
    for (int i = 0; i < 9; ++i) shoot();
    server.scriptOnce("taskstate", Reply::dropped());
    answerExtraCar("否");
    ASSERT_TRUE(waitFor([&] { return api->reportAgainAlert() != nullptr; }));
    ASSERT_TRUE(driver.answerAlert("重新提交"));
    ASSERT_TRUE(waitFor([&] { return !reviews.empty(); }));
    EXPECT_EQ(reviews, (std::vector<int>{1}));
    EXPECT_EQ(server.count("taskstate"), 2u);
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
}

TEST_F(SituationTest, AScreenGoneWhileItsReportIsUnderWayHandsNothingOverAndLeavesNoSpinner) {
    auto screen = openSituation(CaseMode::Real);
    chooseAndGoOn(0);
    for (int i = 0; i < 9; ++i) shoot();
    HeldReply reported;
    server.scriptOnce("taskstate", reported(Reply::rescode("200", "成功")));
    answerExtraCar("否");
    ASSERT_NE(ProgressHUD::currentSpinner(), nullptr);
    // The road is left for the accident kind before the answer: the situation goes.
    navigation->popToViewController(kind, false);
    finishTransitions();
    std::weak_ptr<AccidentSituationViewController> gone = screen;
    screen.reset();
    api.reset();
    ASSERT_TRUE(gone.expired());
    ASSERT_TRUE(waitFor([&] { return server.count("taskstate") == 1; }));
    reported.release();
    settleRequests();
    EXPECT_TRUE(reviews.empty());
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(top(), kind);
}

TEST_F(SituationTest, PracticeSendsNothingWritesNothingAndEndsOnThePracticeReview) {
    auto& state = UserDateSingleton::shareUserDateInstance();
    state.setAccidentdes(std::string("5"));
    state.setAccidentInfomation(std::string("真实案件的描述"));
    // The practice list is the bundle's, whatever the documents hold.
    writeList(json::array({situation("逆行", "6")}));
    openSituation(CaseMode::Practice);
    EXPECT_GE(api->tableView()->numberOfRowsInSection(0), 2);
    int last = api->tableView()->numberOfRowsInSection(0) - 1;
    EXPECT_EQ(api->tableView()->cellForRowAtIndexPath({0, last})->tag(), 0);
    ASSERT_TRUE(driver.selectRow(0, last));
    ASSERT_TRUE(driver.tap("下一步"));
    EXPECT_EQ(toast(), "请输入事故情形");
    clearToast();
    ASSERT_TRUE(driver.type(AccidentSituationViewController::kPlaceholder, "练习"));
    ASSERT_TRUE(driver.tap("下一步"));
    finishTransitions();
    ASSERT_NE(top<PhotoCapViewController>(), nullptr);
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    for (int i = 0; i < 9; ++i) shoot();
    answerExtraCar("否");
    EXPECT_EQ(reviews, (std::vector<int>{0}));
    foundation::dispatch::waitIdle();
    drain();
    EXPECT_TRUE(server.requests().empty());
    EXPECT_EQ(accidentdes(), "5");
    EXPECT_EQ(information(), "真实案件的描述");
}

TEST_F(SituationTest, TheCamerasReturnGoesBackPastTheSituationToTheAccidentKind) {
    openSituation(CaseMode::Real);
    chooseAndGoOn(0);
    shoot();
    ASSERT_TRUE(driver.tap("返回"));
    ASSERT_TRUE(driver.answerAlert("确定"));
    finishTransitions();
    EXPECT_EQ(top(), kind);
}

}  // namespace
