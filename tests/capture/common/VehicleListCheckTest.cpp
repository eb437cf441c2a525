#include <gtest/gtest.h>

#include <vector>

#include "capture/common/VehicleListCheck.h"
#include "hud/ProgressHUD.h"
#include "support/AppTest.h"
#include "support/HeldReply.h"
#include "support/NamedTestScreen.h"

namespace {

using standin::Reply;

class VehicleListCheckTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        signInDemoUser();
        ASSERT_NO_FATAL_FAILURE(startServer());
        showInWindow(std::make_shared<NamedTestScreen>("HomeViewController"));
        check = std::make_shared<VehicleListCheck>([this](bool arrived) { answers.push_back(arrived); });
    }
    void TearDown() override {
        check.reset();
        closeWindow();
        AppTest::TearDown();
    }
    void answered(std::size_t asked) {
        ASSERT_TRUE(waitFor([&] { return server.count("getusercarlist") == asked; }));
        settleRequests();
    }

    std::shared_ptr<VehicleListCheck> check;
    std::vector<bool> answers;
};

TEST_F(VehicleListCheckTest, OneQuestionAtATimeUnderTheSpinner) {
    HeldReply vehicles;
    server.scriptOnce("getusercarlist", vehicles(Reply::json({{"rescode", "200"}, {"list", nlohmann::json::array()}})));
    check->ask();
    ASSERT_NE(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(ProgressHUD::currentSpinner()->text(), "正在加载...");
    EXPECT_TRUE(check->asking());
    check->ask();
    vehicles.release();
    answered(1);
    EXPECT_EQ(answers, (std::vector<bool>{true}));
    EXPECT_FALSE(check->asking());
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    auto asked = server.lastRequest("getusercarlist");
    EXPECT_EQ(asked->param("userid"), standin::kDemoUserId);
    EXPECT_TRUE(asked->param("sn").has_value());
}

TEST_F(VehicleListCheckTest, AnythingButTwoHundredSaysNoneAndTheSpinnerGoes) {
    for (auto reply : {Reply::rescode("500", "无车辆"), Reply::dropped(), Reply::raw("{\"rescode\":")}) {
        answers.clear();
        server.scriptOnce("getusercarlist", reply);
        std::size_t before = server.count("getusercarlist");
        check->ask();
        answered(before + 1);
        EXPECT_EQ(answers, (std::vector<bool>{false}));
        EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    }
}

TEST_F(VehicleListCheckTest, AScreenGoneMeanwhileHearsNothingAndLeavesNoSpinner) {
    HeldReply vehicles;
    server.scriptOnce("getusercarlist", vehicles(Reply::json({{"rescode", "200"}})));
    check->ask();
    check.reset();
    vehicles.release();
    answered(1);
    EXPECT_TRUE(answers.empty());
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
}

}  // namespace
