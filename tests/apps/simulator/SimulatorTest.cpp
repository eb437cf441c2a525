#include <gtest/gtest.h>
#include <httplib.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <cairo.h>
#include "apps/simulator/PlaceholderScreen.h"
#include "apps/simulator/Simulator.h"
#include "core/AccountTool.h"
#include "core/AppConfig.h"
#include "core/StringExtension.h"
#include "hud/TwoButtonAlertView.h"
#include "platform/foundation/Sandbox.h"
#include "platform/graphics/Image.h"
#include "platform/media/DeviceOrientation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextInput.h"
#include "support/PlatformTest.h"
#include "tools/server/StandInServer.h"

using simulator::Simulator;
using simulator::SimulatorOptions;

namespace {

class SimulatorTest : public PlatformTest {
protected:
    std::unique_ptr<Simulator> startSimulator(SimulatorOptions options = {}) {
        options.placeholderOnly = true;
        options.manualClock = true;
        options.sandbox = sandboxRoot;
        auto sim = std::make_unique<Simulator>(options);
        std::string error;
        EXPECT_TRUE(sim->start(error)) << error;
        return sim;
    }
    int runScript(Simulator& sim, const std::string& script, std::string* output = nullptr) {
        std::istringstream in(script);
        std::ostringstream out;
        int status = sim.run(in, out, false);
        if (output) *output = out.str();
        return status;
    }
};

TEST_F(SimulatorTest, AScriptWhoseExpectationFailsEndsWithAnErrorStatus) {
    auto sim = startSimulator();
    std::string out;
    EXPECT_EQ(runScript(*sim, "expect 此页面尚未建成\nexpect 不在屏幕上的字\ntap 确定\n", &out), 1);
    EXPECT_NE(out.find("error: expected \"不在屏幕上的字\" on the screen"), std::string::npos) << out;
    // The screen is printed to show what was there instead, and the run stopped at the failure.
    EXPECT_NE(out.find("Label"), std::string::npos);
    EXPECT_EQ(out.find("> tap"), std::string::npos) << out;

    EXPECT_EQ(runScript(*sim, "# a comment\n\nexpect PlaceholderScreen\nexpect 确定\n"), 0);
}

TEST_F(SimulatorTest, AnAlertTheApplicationDrawsIsAnnouncedShownOnTopAndNamedWhenItCoversATouch) {
    auto sim = startSimulator();
    auto alert =
        std::make_shared<TwoButtonAlertView>("温馨提示", "是否有其他事故车辆需要拍摄?", std::string("是"), "否");
    alert->show();
    std::ostringstream shown;
    ASSERT_EQ(sim->execute("wait 0", shown).status, Simulator::Status::Ok);
    EXPECT_NE(shown.str().find(R"([alert: "温馨提示" "是否有其他事故车辆需要拍摄?" buttons: "是" "否"])"),
              std::string::npos)
        << shown.str();
    std::ostringstream screen;
    sim->execute("screen", screen);
    EXPECT_NE(screen.str().find("Screen: PlaceholderScreen\nOn top: alert \"温馨提示\""), std::string::npos)
        << screen.str();

    std::ostringstream sink;
    auto covered = sim->execute("tap 确定", sink);
    EXPECT_EQ(covered.status, Simulator::Status::Failed);
    EXPECT_NE(covered.message.find("covered by the alert \"温馨提示\""), std::string::npos) << covered.message;
    std::ostringstream answered;
    ASSERT_EQ(sim->execute("alert 否", answered).status, Simulator::Status::Ok) << answered.str();
    EXPECT_NE(answered.str().find("[gone: alert \"温馨提示\"]"), std::string::npos) << answered.str();
}

TEST_F(SimulatorTest, TheKeyboardTakesTheTouchesOnItsPartOfTheScreenUntilATapElsewherePutsItAway) {
    SimulatorOptions small;
    small.screenHeight = 480;  // the keyboard then covers "确定"
    auto sim = startSimulator(small);
    std::ostringstream sink;
    ASSERT_EQ(sim->execute("type 备注 hello", sink).status, Simulator::Status::Ok);
    auto covered = sim->execute("tap 确定", sink);
    EXPECT_EQ(covered.status, Simulator::Status::Failed);
    EXPECT_NE(covered.message.find("under the keyboard"), std::string::npos) << covered.message;
    EXPECT_FALSE(sim->driver().isOnScreen("备注: hello"));

    ASSERT_EQ(sim->execute("tap 此页面尚未建成", sink).status, Simulator::Status::Ok);
    EXPECT_FALSE(ui::Keyboard::isVisible());
    ASSERT_EQ(sim->execute("tap 确定", sink).status, Simulator::Status::Ok);
    EXPECT_TRUE(sim->driver().isOnScreen("备注: hello"));
}

TEST_F(SimulatorTest, CommandsDriveTheScreenAndFailuresSayWhy) {
    auto sim = startSimulator();
    std::string out;
    EXPECT_EQ(runScript(*sim, "type 备注 \"two  spaces\"\ntap 确定\nexpect \"备注: two  spaces\"\n", &out), 0) << out;

    std::ostringstream sink;
    auto r = sim->execute("tap 没有这个按钮", sink);
    EXPECT_EQ(r.status, Simulator::Status::Failed);
    EXPECT_NE(r.message.find("没有这个按钮"), std::string::npos);
    EXPECT_NE(r.message.find("\"确定\""), std::string::npos) << "names what is visible: " << r.message;
    EXPECT_EQ(sim->execute("row 0 0", sink).status, Simulator::Status::Failed);
    EXPECT_EQ(sim->execute("wait soon", sink).status, Simulator::Status::Failed);
    EXPECT_EQ(sim->execute("push {broken", sink).status, Simulator::Status::Failed);
    EXPECT_EQ(sim->execute("type \"unterminated", sink).status, Simulator::Status::Failed);
    EXPECT_EQ(sim->execute("frobnicate", sink).status, Simulator::Status::Failed);
    EXPECT_EQ(sim->execute("alert 好", sink).status, Simulator::Status::Failed);
    EXPECT_EQ(sim->execute("quit", sink).status, Simulator::Status::Quit);
    EXPECT_EQ(sim->execute("rotate sideways", sink).status, Simulator::Status::Failed);
    EXPECT_EQ(sim->execute("rotate landscape-left", sink).status, Simulator::Status::Ok);
    EXPECT_EQ(media::Device::current().orientation(), media::DeviceOrientation::LandscapeLeft);

    // A push reaches the delegate; "until" waits on the clock for a text that never comes.
    EXPECT_EQ(sim->execute("push {\"key\": \"ACCIDENTINFO\"}", sink).status, Simulator::Status::Ok);
    EXPECT_EQ(sim->execute("expect 推送: ACCIDENTINFO", sink).status, Simulator::Status::Ok);
    double before = loop().now();
    EXPECT_EQ(sim->execute("until 永远不来 3", sink).status, Simulator::Status::Expectation);
    EXPECT_NEAR(loop().now() - before, 3.0, 0.01);
}

TEST_F(SimulatorTest, AtTheTerminalFailuresAreToldAndTheNextCommandRuns) {
    auto sim = startSimulator();
    std::istringstream in("tap 没有\nexpect 确定\nexpect 没有\nuntil 也没有 2\ntype 备注 after\ntap 确定\nexpect \"备注: after\"\n");
    std::ostringstream out;
    // The failed expectations are told; the case goes on; the exit status remembers them.
    EXPECT_EQ(sim->run(in, out, true), 1);
    auto text = out.str();
    EXPECT_NE(text.find("error: no visible control"), std::string::npos) << text;
    EXPECT_NE(text.find("error: expected \"没有\""), std::string::npos) << text;
    EXPECT_NE(text.find("error: \"也没有\" did not show"), std::string::npos) << text;
    EXPECT_TRUE(sim->driver().isOnScreen("备注: after")) << text;

    std::istringstream good("tap 没有\nexpect 确定\n");
    std::ostringstream sink;
    EXPECT_EQ(sim->run(good, sink, true), 0) << "a mistyped command alone is no failed expectation";
}

TEST_F(SimulatorTest, RequestsAreListedAndExpected) {
    auto sim = startSimulator();
    ASSERT_NE(sim->server(), nullptr);
    sim->setRequestWait(0.2);
    httplib::Client client("127.0.0.1", sim->server()->port());
    auto res = client.Post("/Veskard_mobile/mobile/standard/accident", R"({"phone":"13800138000","carnum":"京A12345"})",
                           "application/json");
    ASSERT_TRUE(res);

    std::ostringstream out;
    EXPECT_EQ(sim->execute("requests", out).status, Simulator::Status::Ok);
    EXPECT_NE(out.str().find("POST accident"), std::string::npos) << out.str();
    EXPECT_EQ(sim->execute("expect-request accident phone=13800138000 carnum=京A12345", out).status,
              Simulator::Status::Ok);
    auto wrong = sim->execute("expect-request accident phone=13900000000", out);
    EXPECT_EQ(wrong.status, Simulator::Status::Expectation);
    EXPECT_NE(wrong.message.find("13800138000"), std::string::npos) << "lists the requests it saw: " << wrong.message;
    auto none = sim->execute("expect-request login", out);
    EXPECT_EQ(none.status, Simulator::Status::Expectation);
    EXPECT_NE(none.message.find("accident"), std::string::npos) << none.message;
    EXPECT_EQ(sim->execute("expect-request accident phone", out).status, Simulator::Status::Failed);

    // Counting: exactly so many requests of the path word (with those parameters).
    EXPECT_EQ(sim->execute("expect-count accident 1", out).status, Simulator::Status::Ok);
    EXPECT_EQ(sim->execute("expect-count accident 1 carnum=京A12345", out).status, Simulator::Status::Ok);
    EXPECT_EQ(sim->execute("expect-count accident 0 carnum=京B00000", out).status, Simulator::Status::Ok);
    EXPECT_EQ(sim->execute("expect-count login 0", out).status, Simulator::Status::Ok);
    auto tooFew = sim->execute("expect-count accident 2", out);
    EXPECT_EQ(tooFew.status, Simulator::Status::Expectation);
    EXPECT_NE(tooFew.message.find("1 accident request(s), expected 2"), std::string::npos) << tooFew.message;
    EXPECT_EQ(sim->execute("expect-count accident", out).status, Simulator::Status::Failed);
    EXPECT_EQ(sim->execute("expect-count accident -1", out).status, Simulator::Status::Failed);
}

TEST_F(SimulatorTest, ExpectedRequestsAreMatchedInsideListsAndObjects) {
    auto sim = startSimulator();
    ASSERT_NE(sim->server(), nullptr);
    sim->setRequestWait(0.2);
    httplib::Client client("127.0.0.1", sim->server()->port());
    auto res = client.Post("/Veskard_mobile/mobile/standard/dutyinfo",
                           R"({"accidentno":"BJ1","dutylist":[{"dutytpe":"0"},{"dutytpe":"1","n":2}]})", "application/json");
    ASSERT_TRUE(res);
    std::ostringstream out;
    EXPECT_EQ(sim->execute("expect-request dutyinfo accidentno=BJ1 dutylist.0.dutytpe=0 dutylist.1.dutytpe=1 dutylist.1.n=2",
                           out).status,
              Simulator::Status::Ok);
    for (const char* wrong : {"dutylist.1.dutytpe=0", "dutylist.2.dutytpe=0", "dutylist.x.dutytpe=0",
                              "dutylist.-1.dutytpe=0", "accidentno.0=B", "dutylist.0=0"})
        EXPECT_EQ(sim->execute(std::string("expect-request dutyinfo ") + wrong, out).status, Simulator::Status::Expectation)
            << wrong;
}

TEST_F(SimulatorTest, DrawScrollAndExpectUrlCheckTheirArguments) {
    auto sim = startSimulator();
    std::ostringstream out;
    for (const char* bad : {"scroll", "scroll down", "scroll 1 2"})
        EXPECT_EQ(sim->execute(bad, out).status, Simulator::Status::Failed) << bad;
    EXPECT_EQ(sim->execute("scroll 100", out).status, Simulator::Status::Failed);  // the placeholder has no table
    EXPECT_EQ(sim->execute("expect-url", out).status, Simulator::Status::Failed);
    auto none = sim->execute("expect-url telprompt:122", out);
    EXPECT_EQ(none.status, Simulator::Status::Expectation);
    EXPECT_NE(none.message.find("nothing"), std::string::npos) << none.message;
    ui::Application::shared().openURL("telprompt:122");
    EXPECT_EQ(sim->execute("expect-url telprompt:122", out).status, Simulator::Status::Ok);
    EXPECT_EQ(sim->execute("expect-url telprompt:12", out).status, Simulator::Status::Expectation);
    // Points on a named view count from its top-left corner on the screen: this stroke presses the button.
    EXPECT_EQ(sim->execute("draw Button 1,1 279,43", out).status, Simulator::Status::Ok);
    EXPECT_TRUE(sim->driver().isOnScreen("备注:"));
    EXPECT_EQ(sim->execute("draw 10,10 200,300 40,500", out).status, Simulator::Status::Ok);
    EXPECT_EQ(sim->execute("draw Label 3 1,1 2,2", out).status, Simulator::Status::Ok);
    for (const char* bad : {"draw", "draw 10,10", "draw 10,10 20", "draw 10;10 20,20", "draw a,1 2,3", "draw 1e9,1 2,3",
                            "draw Button 1,1 281,1", "draw Button 1,1", "draw Label 1,1 2,2", "draw Label 9 1,1 2,2",
                            "draw Label x 1,1 2,2", "draw Switch 1,1 2,2"})
        EXPECT_EQ(sim->execute(bad, out).status, Simulator::Status::Failed) << bad;
}

TEST_F(SimulatorTest, ScreenshotWritesAPngOfTheScreen) {
    auto sim = startSimulator();
    auto file = sandboxRoot / "shot.png";
    std::ostringstream out;
    ASSERT_EQ(sim->execute("screenshot " + file.string(), out).status, Simulator::Status::Ok);
    auto image = graphics::Image::fromFile(file.string());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (graphics::Size{640, 1136}));
    EXPECT_EQ(sim->execute("screenshot " + (file / "x.png").string(), out).status,
              Simulator::Status::Failed);
}

TEST(SimulatorOptionsTest, ParsesAndRejectsArguments) {
    std::string error;
    bool help = false;
    auto o = simulator::parseOptions({"--position", "121.47,31.23", "--account", "20001:13911112222", "--manual-clock",
                                      "walk.walk"},
                                     error, help);
    ASSERT_TRUE(o) << error;
    EXPECT_DOUBLE_EQ(o->longitude, 121.47);
    EXPECT_DOUBLE_EQ(o->latitude, 31.23);
    EXPECT_EQ(o->accountUserId, "20001");
    EXPECT_EQ(o->accountPhone, "13911112222");
    EXPECT_TRUE(o->manualClock);
    EXPECT_EQ(o->script, "walk.walk");
    EXPECT_DOUBLE_EQ(o->screenWidth, 320);
    EXPECT_DOUBLE_EQ(o->screenHeight, 568);
    auto larger = simulator::parseOptions({"--screen", "375x667"}, error, help);
    ASSERT_TRUE(larger) << error;
    EXPECT_DOUBLE_EQ(larger->screenWidth, 375);
    EXPECT_DOUBLE_EQ(larger->screenHeight, 667);
    auto tls = simulator::parseOptions({"--server", "https://api.veskard.cn"}, error, help);
    ASSERT_TRUE(tls) << error;
    EXPECT_EQ(tls->server, "https://api.veskard.cn:8091");

    for (std::vector<std::string> bad : {std::vector<std::string>{"--position", "500,1"},
                                         {"--position", "116"},
                                         {"--account", "a b"},
                                         {"--account", "1:phone"},
                                         {"--server", ":80"},
                                         {"--server", "host:99999"},
                                         {"--server", "ftp://host"},
                                         {"--sandbox"},
                                         {"--bogus"},
                                         {"a.walk", "b.walk"},
                                         {"--account", "1", "--no-account"},
                                         {"--screen", "375"},
                                         {"--screen", "375x"},
                                         {"--screen", "667x375"},
                                         {"--screen", "10x10"},
                                         {"--screen"}}) {
        EXPECT_FALSE(simulator::parseOptions(bad, error, help)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(simulator::parseOptions({"--help"}, error, help));
    EXPECT_TRUE(help);
}

TEST(SimulatorWordsTest, SplitsOnSpacesAndKeepsQuotedText) {
    std::vector<std::string> w;
    ASSERT_TRUE(simulator::splitWords("type  \"手机 号\" a\\b \"say \\\"hi\\\"\"", w));
    EXPECT_EQ(w, (std::vector<std::string>{"type", "手机 号", "a\\b", "say \"hi\""}));
    ASSERT_TRUE(simulator::splitWords("expect \"\"", w));
    EXPECT_EQ(w, (std::vector<std::string>{"expect", ""}));
    EXPECT_FALSE(simulator::splitWords("tap \"open", w));
}

TEST_F(SimulatorTest, ScriptsGiveTheirOwnOptionsInLeadingLines) {
    auto file = sandboxRoot / "w.walk";
    std::ofstream(file) << "#! --placeholder --position 121.47,31.23\n#!--no-account\n# comment\n#! --log\nscreen\n";
    EXPECT_EQ(simulator::scriptOptions(file),
              (std::vector<std::string>{"--placeholder", "--position", "121.47,31.23", "--no-account"}));
    EXPECT_TRUE(simulator::scriptOptions(sandboxRoot / "missing.walk").empty());
}

}  // namespace

namespace {

// The screen the application shows, or the one a placeholder stands for while it is not built.
std::string shownScreen(driver::Driver& d) {
    auto top = d.topScreen();
    if (auto placeholder = std::dynamic_pointer_cast<simulator::PlaceholderScreen>(top)) return placeholder->standsFor();
    return top ? top->className() : "";
}

class SimulatorLaunchTest : public PlatformTest {
protected:
    // A simulator on the test's sandbox under the manual clock, started.
    std::unique_ptr<Simulator> started() {
        SimulatorOptions options;
        options.manualClock = true;
        options.sandbox = sandboxRoot;
        auto sim = std::make_unique<Simulator>(options);
        std::string error;
        EXPECT_TRUE(sim->start(error)) << error;
        return sim;
    }
};

TEST_F(SimulatorLaunchTest, TheApplicationStartsOnTheHomePageWithTheDemonstrationAccount) {
    SimulatorOptions options;
    options.manualClock = true;
    options.sandbox = sandboxRoot;
    {
        Simulator sim(options);
        std::string error;
        ASSERT_TRUE(sim.start(error)) << error;
        EXPECT_EQ(shownScreen(sim.driver()), "HomeViewController");
        auto account = AccountTool::account();
        ASSERT_TRUE(account);
        EXPECT_EQ(account->userid, standin::kDemoUserId);
        EXPECT_EQ(account->phoneNumber, standin::kDemoPhone);
        EXPECT_EQ(AppConfig::baseURL(), sim.server()->baseURL());
    }
    // The same sandbox keeps its account; one given on the command line replaces it.
    options.accountUserId = "20002";
    options.accountPhone = "13911112222";
    {
        Simulator sim(options);
        std::string error;
        ASSERT_TRUE(sim.start(error)) << error;
        auto account = AccountTool::account();
        ASSERT_TRUE(account);
        EXPECT_EQ(account->userid, "20002");
        EXPECT_EQ(account->sn, StringExtension::snWithString("20002"));
    }
}

TEST_F(SimulatorLaunchTest, WithoutAnAccountTheLoginShowsAndAFreshInstallShowsTheGuide) {
    SimulatorOptions options;
    options.manualClock = true;
    options.sandbox = sandboxRoot;
    options.noAccount = true;
    {
        Simulator sim(options);
        std::string error;
        ASSERT_TRUE(sim.start(error)) << error;
        EXPECT_EQ(shownScreen(sim.driver()), "LoginViewController");
        EXPECT_FALSE(AccountTool::account());
    }
    options.firstLaunch = true;
    Simulator sim(options);
    std::string error;
    ASSERT_TRUE(sim.start(error)) << error;
    EXPECT_EQ(shownScreen(sim.driver()), "NewFeatureController");
}

TEST_F(SimulatorLaunchTest, TheLargerScreenIsLaidOutAndPhotographedWhole) {
    SimulatorOptions options;
    options.manualClock = true;
    options.sandbox = sandboxRoot;
    options.screenWidth = 375;
    options.screenHeight = 667;
    {
        Simulator sim(options);
        std::string error;
        ASSERT_TRUE(sim.start(error)) << error;
        EXPECT_EQ(shownScreen(sim.driver()), "HomeViewController");
        auto window = ui::Application::shared().keyWindow();
        ASSERT_TRUE(window);
        EXPECT_EQ(window->bounds().size, (ui::Size{375, 667}));
        auto shot = sim.driver().screenshot();
        EXPECT_EQ(shot->pixelWidth(), 750);
        EXPECT_EQ(shot->pixelHeight(), 1334);
        // The home page's buttons are laid out for the wider screen: centred on it.
        auto button = sim.driver().findByTitle("事故处理").view();
        ASSERT_TRUE(button);
        auto frame = button->convertRectToView(button->bounds(), nullptr);
        EXPECT_NEAR(frame.x() + frame.width() / 2, 375.0 / 2, 1);
    }
    ui::Screen::mainScreen().reset();
}

TEST_F(SimulatorLaunchTest, BadHardwareOptionsStopTheStart) {
    SimulatorOptions options;
    options.manualClock = true;
    options.sandbox = sandboxRoot;
    options.cameraFolder = sandboxRoot / "no-photos";
    std::string error;
    EXPECT_FALSE(Simulator(options).start(error));
    EXPECT_NE(error.find("--camera"), std::string::npos) << error;

    options.cameraFolder.clear();
    options.microphoneWav = sandboxRoot / "voice.wav";
    std::ofstream(options.microphoneWav) << "not a wav file";
    EXPECT_FALSE(Simulator(options).start(error));
    EXPECT_NE(error.find("--microphone"), std::string::npos) << error;
}

}  // namespace

TEST_F(SimulatorLaunchTest, OpenPushesARegisteredScreenAndRefusesBadArgumentsWithTheReason) {
    auto started_ = started();
    auto& sim = *started_;
    std::ostringstream out;
    auto opened = sim.execute("open ReportViewController {\"simualateState\": 0}", out);
    EXPECT_EQ(opened.status, Simulator::Status::Ok) << opened.message;
    EXPECT_EQ(sim.driver().topScreenName(), "ReportViewController");

    // The practice flag as a text, and a name nobody registered: refused, the screen stays.
    expectErrors();
    auto refused = sim.execute("open ReportViewController {\"simualateState\": \"0\"}", out);
    EXPECT_NE(refused.status, Simulator::Status::Ok);
    EXPECT_EQ(loggedErrors().size(), 1u);
    auto unknown = sim.execute("open NoSuchViewController", out);
    EXPECT_NE(unknown.status, Simulator::Status::Ok);
    EXPECT_NE(unknown.message.find("NoSuchViewController"), std::string::npos);
    EXPECT_EQ(sim.driver().topScreenName(), "ReportViewController");
}

TEST_F(SimulatorLaunchTest, OpenWithoutArgumentsListsThemWithWhatTheirValuesMean) {
    auto started_ = started();
    auto& sim = *started_;
    std::ostringstream out;
    auto listed = sim.execute("open ClientViewController", out);
    ASSERT_EQ(listed.status, Simulator::Status::Ok);
    EXPECT_NE(listed.message.find(
                  "\"simulateNormal\"  1 a real case (sent to the server), 0 practice (nothing is sent) (needed)"),
              std::string::npos)
        << listed.message;
    EXPECT_NE(listed.message.find("\"carCount\"  true or false (needed)"), std::string::npos) << listed.message;
    EXPECT_EQ(sim.driver().topScreenName(), "HomeViewController") << "listing opens nothing";

    // The example it gives opens the screen.
    auto example = listed.message.substr(listed.message.find("e.g. ") + 5);
    ASSERT_EQ(sim.execute(example, out).status, Simulator::Status::Ok) << example;
    EXPECT_EQ(sim.driver().topScreenName(), "ClientViewController");
}

TEST(SimulatorHelpTest, EveryCommandIsListedOnceBeforeTheClosingParagraph) {
    const std::string help = Simulator::help();
    const auto closing = help.find("what the server pushes");
    ASSERT_NE(closing, std::string::npos);
    const std::string table = help.substr(0, closing);
    for (const char* command :
         {"screen", "tap", "type", "page", "open", "quit", "practice", "relaunch", "police-decide"}) {
        size_t count = 0;
        for (const char* after : {" ", "\n"}) {
            const std::string line = "\n  " + std::string(command) + after;
            for (auto at = table.find(line); at != std::string::npos; at = table.find(line, at + 1)) ++count;
        }
        EXPECT_EQ(count, 1u) << command;
    }
}

// A chat message pushed with the server's address in it; where it lies and whether its voice
// plays are what the walks check, and a check that does not hold says why.
TEST_F(SimulatorLaunchTest, PushedMessagesAreCheckedForTheirSideAndTheirVoiceForItsAnimation) {
    auto started_ = started();
    auto& sim = *started_;
    std::ostringstream out;
    auto run = [&](const std::string& line) { return sim.execute(line, out); };
    ASSERT_EQ(run("open ChatViewController {\"simulateState\": 0}").status, Simulator::Status::Ok);
    ASSERT_EQ(run(R"(push {"aps":{"key":"MSG","content":{"msgtype":"0","content":"交警正在查看"}}})").status,
              Simulator::Status::Ok);
    EXPECT_EQ(run("expect-side left 交警正在查看").status, Simulator::Status::Ok);
    auto wrongSide = run("expect-side right 交警正在查看");
    EXPECT_EQ(wrongSide.status, Simulator::Status::Expectation);
    EXPECT_NE(wrongSide.message.find("nearer the left side"), std::string::npos) << wrongSide.message;
    EXPECT_EQ(run("expect-side left 没有这条消息").status, Simulator::Status::Expectation);
    EXPECT_EQ(run("expect-side up 交警正在查看").status, Simulator::Status::Failed);

    // "$SERVER" is the built-in server: the voice is fetched from it as it arrives (its length
    // shows), and on a tap the icon moves for the four seconds it sounds.
    ASSERT_EQ(run(R"(push {"aps":{"key":"MSG","content":{"msgtype":"1","content":"$SERVER/Veskard_mobile/voice/police.mp3"}}})")
                  .status,
              Simulator::Status::Ok);
    EXPECT_EQ(run("expect-side left leftvoice_3").status, Simulator::Status::Ok);
    EXPECT_EQ(run("expect-request voice/police.mp3").status, Simulator::Status::Ok);
    EXPECT_EQ(run("until 4″ 5").status, Simulator::Status::Ok);
    EXPECT_EQ(run("expect-animation stopped leftvoice").status, Simulator::Status::Ok);
    auto notYet = run("expect-animation running leftvoice");
    EXPECT_EQ(notYet.status, Simulator::Status::Expectation);
    EXPECT_NE(notYet.message.find("is not animating"), std::string::npos) << notYet.message;
    ASSERT_EQ(run("tap leftvoice_3").status, Simulator::Status::Ok);
    EXPECT_EQ(run("wait 1").status, Simulator::Status::Ok);
    EXPECT_EQ(run("expect-animation running leftvoice").status, Simulator::Status::Ok);
    EXPECT_EQ(run("wait 4").status, Simulator::Status::Ok);
    EXPECT_EQ(run("expect-animation stopped leftvoice").status, Simulator::Status::Ok);
    EXPECT_EQ(sim.server()->count("voice/police.mp3"), 1u);

    EXPECT_EQ(run("expect-animation running rightvoice").status, Simulator::Status::Expectation);
    EXPECT_EQ(run("expect-animation moving leftvoice").status, Simulator::Status::Failed);
}

#ifdef VESKARD_SIMULATOR_PROGRAM
namespace {

// Runs the simulator program on a script; returns its exit status and what it printed.
int runProgram(const std::filesystem::path& script, const std::string& options, std::string& output) {
    std::string command = std::string(VESKARD_SIMULATOR_PROGRAM) + " " + options + " '" + script.string() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

size_t storedUploads(const std::filesystem::path& sandbox) {
    size_t n = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(sandbox / "Documents" / "failedImage", ec))
        if (entry.path().extension() == ".json") ++n;
    return n;
}

class SimulatorRestartTest : public PlatformTest {};

// From the home page through the tips and the single-car choice to the camera's third step,
// two shots taken.
constexpr const char* kToTheThirdShot =
    "wait 2\ntap 事故处理\nuntil 发生交通事故时,请您务必保证自身安全 5\ntap 我知道了\n"
    "until 事故现场是否有以下情况？ 5\ntap 无以上情况\nuntil 我们将按照以下步骤引导您处理交通事故。 5\n"
    "tap 我知道了\nuntil 两车及以上事故 5\ntap 单车事故\nuntil 请您从车辆(左前方)拍摄全景照片 10\n"
    "tap 拍照按钮\nuntil 请您从车辆(右后方)拍摄全景照片 10\ntap 拍照按钮\nuntil 请您拍摄车辆碰撞部位照片 10\n";

// Five photos taken while the server refuses them, the application quit at once; the next
// start sends each of them once and keeps none.
TEST_F(SimulatorRestartTest, PhotosRefusedBeforeAQuitAreSentOnceAfterTheNextStart) {
    auto sandbox = sandboxRoot / "phone";
    auto first = sandboxRoot / "first.walk";
    {
        std::ofstream out(first);
        out << kToTheThirdShot
            << "tap 拍照按钮\nuntil 请您拍摄行驶证件照片 10\ntap 拍照按钮\nuntil 请您拍摄驾驶证件照片 10\ntap 拍照按钮\n"
               "expect-request image imagetype=7\nquit\n";
    }
    std::string output;
    ASSERT_EQ(runProgram(first, "--manual-clock --refuse-uploads --sandbox '" + sandbox.string() + "'", output), 0) << output;
    EXPECT_EQ(storedUploads(sandbox), 5u) << output;

    auto second = sandboxRoot / "second.walk";
    {
        std::ofstream out(second);
        // Time on the manual clock moves with the uploads in flight; on a loaded machine the
        // first round may not finish within its first minute, and later rounds come every two.
        out << "expect HomeViewController\nuntil-uploaded 600\nrequests\nquit\n";
    }
    output.clear();
    ASSERT_EQ(runProgram(second, "--manual-clock --sandbox '" + sandbox.string() + "'", output), 0) << output;
    EXPECT_EQ(storedUploads(sandbox), 0u);

    // The request log of the second start: each photo once.
    std::map<std::string, int> types;
    std::set<std::string> names;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        auto at = line.find(". POST image ");
        if (at == std::string::npos) continue;
        auto body = nlohmann::json::parse(line.substr(at + 13), nullptr, false);
        ASSERT_TRUE(body.is_object()) << line;
        ++types[body.value("imagetype", std::string())];
        names.insert(body.value("imagename", std::string()) + body.value("imagetype", std::string()));
    }
    EXPECT_EQ(types, (std::map<std::string, int>{{"1", 1}, {"2", 1}, {"3", 1}, {"6", 1}, {"7", 1}})) << output;
    EXPECT_EQ(names.size(), 5u);
}

// A case of five photos the server refuses, run as the program under the common umask: the
// account, the photos kept for sending again and the album copies are its user's alone.
TEST_F(SimulatorRestartTest, WhatTheApplicationStoresIsItsUsersAlone) {
    auto sandbox = sandboxRoot / "phone";
    auto walk = sandboxRoot / "case.walk";
    {
        std::ofstream out(walk);
        out << kToTheThirdShot << "quit\n";
    }
    const mode_t saved = ::umask(022);
    std::string output;
    const int status = runProgram(walk, "--manual-clock --refuse-uploads --sandbox '" + sandbox.string() + "'", output);
    ::umask(saved);
    ASSERT_EQ(status, 0) << output;
    ASSERT_TRUE(std::filesystem::exists(sandbox / "Documents" / "account.data"));
    ASSERT_EQ(storedUploads(sandbox), 2u) << output;
    std::vector<std::string> open;
    size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(sandbox)) {
        struct stat info {};
        ASSERT_EQ(::lstat(entry.path().c_str(), &info), 0);
        files += S_ISREG(info.st_mode) ? 1 : 0;
        if ((info.st_mode & 0777) != (S_ISDIR(info.st_mode) ? 0700u : 0600u)) open.push_back(entry.path().string());
    }
    EXPECT_GE(files, 5u) << "the account, two photos kept to send again and their album copies";
    EXPECT_EQ(open, std::vector<std::string>{});
}

}  // namespace
#endif

namespace {

TEST(SimulatorRequestsTest, LongValuesAreShortenedAndTheLineStaysJson) {
    std::string photo = "/9j/" + std::string(20000, 'A');
    EXPECT_EQ(simulator::shortValue(photo), "\"<JPEG photo, 20004 characters of Base64>\"");
    EXPECT_EQ(simulator::shortValue("%2F9j%2F" + std::string(100, 'B')), "\"<JPEG photo, 108 characters of Base64>\"");
    EXPECT_EQ(simulator::shortValue("iVBORw0KGgo" + std::string(100, 'C')), "\"<PNG picture, 111 characters of Base64>\"");
    EXPECT_EQ(simulator::shortValue("京A12345"), "\"京A12345\"");
    EXPECT_EQ(simulator::shortValue(3), "3");
    // A long text is cut on a character boundary and says how long it was.
    std::string words;
    for (int i = 0; i < 40; ++i) words += "定损";
    auto cut = nlohmann::json::parse(simulator::shortValue(words), nullptr, false);
    ASSERT_TRUE(cut.is_string());
    EXPECT_NE(cut.get<std::string>().find("... (240 bytes)"), std::string::npos) << cut;
    EXPECT_LT(cut.get<std::string>().size(), 100u);
    // Lists show their first entries, shortened.
    nlohmann::json many = nlohmann::json::array();
    for (int i = 0; i < 20; ++i) many.push_back(photo);
    auto list = nlohmann::json::parse(simulator::shortValue(many), nullptr, false);
    ASSERT_TRUE(list.is_array());
    EXPECT_EQ(list.size(), 9u);
    EXPECT_EQ(list.back(), "... 20 entries");
}

TEST(SimulatorWatchTest, CallsAreToldAsCalls) {
    EXPECT_EQ(simulator::ScreenWatch::urlLine("telprompt://122"), "[call: 122]");
    EXPECT_EQ(simulator::ScreenWatch::urlLine("tel:95518"), "[call: 95518]");
    EXPECT_EQ(simulator::ScreenWatch::urlLine("https://example.com/a"), "[opened: https://example.com/a]");
}

}  // namespace

namespace {

class SimulatorShowsTest : public PlatformTest {
protected:
    std::unique_ptr<Simulator> start(SimulatorOptions options = {}) {
        options.manualClock = true;
        options.sandbox = sandboxRoot;
        auto sim = std::make_unique<Simulator>(options);
        std::string error;
        EXPECT_TRUE(sim->start(error)) << error;
        return sim;
    }
    // Runs one command; its printed output.
    std::string run(Simulator& sim, const std::string& command, Simulator::Status expected = Simulator::Status::Ok) {
        std::ostringstream out;
        auto r = sim.execute(command, out);
        EXPECT_EQ(r.status, expected) << command << ": " << r.message << "\n" << out.str();
        return out.str();
    }
};

TEST_F(SimulatorShowsTest, EachCommandTellsWhatItBroughtOnTheScreen) {
    auto sim = start();
    auto opened = run(*sim, R"(open ClientViewController {"simulateNormal": 1, "carCount": false,)"
                            R"( "carlist": {"carno": "京A12345", "ownername": "张三", "jqxname": "中国人民财产保险股份有限公司"}})");
    EXPECT_NE(opened.find("[screen: ClientViewController \"当事人信息\"]"), std::string::npos) << opened;

    // The form's check: the message raised by the tap is told by the tap.
    ASSERT_TRUE(run(*sim, "clear 请输入驾驶人姓名").find("[") == std::string::npos);
    auto tapped = run(*sim, "tap 下一步");
    EXPECT_NE(tapped.find("[message: \""), std::string::npos) << tapped;

    // A replaced name, and the field's limit of 40 characters still holds.
    run(*sim, "type 请输入驾驶人姓名 " + std::string(50, 'x'));
    auto field = sim->driver().textInput("请输入驾驶人姓名");
    ASSERT_TRUE(field);
    EXPECT_EQ(std::dynamic_pointer_cast<ui::TextField>(field.view())->text(), std::string(40, 'x'));
    run(*sim, "clear 请输入驾驶人姓名");
    run(*sim, "type 请输入驾驶人姓名 李四");
    EXPECT_EQ(std::dynamic_pointer_cast<ui::TextField>(field.view())->text(), "李四");

    // The plate prefix: the sheet comes, its wheel turns, the sheet goes.
    auto sheet = run(*sim, "tap 京A");
    EXPECT_NE(sheet.find("[sheet: \"号码\" buttons: \"完成\" \"取消\"]"), std::string::npos) << sheet;
    run(*sim, "pick 号码 1 B");
    auto done = run(*sim, "tap 完成");
    EXPECT_NE(done.find("[gone: sheet \"号码\"]"), std::string::npos) << done;
    EXPECT_TRUE(sim->driver().isOnScreen("京B"));
    run(*sim, "pick 号码 1 C", Simulator::Status::Failed);

    // A call the application places shows as a call.
    ui::Application::shared().openURL("telprompt://122");
    auto waited = run(*sim, "wait 1");
    EXPECT_NE(waited.find("[call: 122]"), std::string::npos) << waited;
}

TEST_F(SimulatorShowsTest, AnAmbiguousTapOrPlaceholderIsRefusedWithTheCandidatesAndANumberPicksOne) {
    auto sim = start();
    run(*sim, R"(open ClientViewController {"simulateNormal": 1, "carCount": true})");
    std::ostringstream sink;
    auto both = sim->execute("tap 下拉", sink);
    EXPECT_EQ(both.status, Simulator::Status::Failed);
    auto first = both.message.find("1. Button \"下拉\""), second = both.message.find("2. Button \"下拉\"");
    EXPECT_NE(first, std::string::npos) << both.message;
    EXPECT_NE(second, std::string::npos) << both.message;
    EXPECT_NE(both.message.find("in row [0, 1]"), std::string::npos) << both.message;
    EXPECT_NE(both.message.find("in row [1, 1]"), std::string::npos) << both.message;
    EXPECT_FALSE(sim->driver().isAlertShowing());

    auto tapped = sim->execute("tap 下拉 2", sink);
    ASSERT_EQ(tapped.status, Simulator::Status::Ok) << tapped.message;
    EXPECT_NE(tapped.message.find("at (120,396)"), std::string::npos) << "the lower one: " << tapped.message;
    run(*sim, "tap 取消");
    EXPECT_EQ(sim->execute("tap 下拉 3", sink).status, Simulator::Status::Failed);

    auto shared = sim->execute("type 请输入驾驶人姓名 李四", sink);
    EXPECT_EQ(shared.status, Simulator::Status::Failed);
    EXPECT_NE(shared.message.find("1. TextField \"请输入驾驶人姓名\" (90,109,217.5,44) in row [0, 0]"), std::string::npos)
        << shared.message;
    EXPECT_NE(shared.message.find("2. TextField \"请输入驾驶人姓名\" (90,330,217.5,44) in row [1, 0]"), std::string::npos)
        << shared.message;
    EXPECT_EQ(sim->execute("type 请输入驾驶人姓名 3 李四", sink).status, Simulator::Status::Failed);

    // A number picks one; then the other, the only one still showing the placeholder, is meant.
    struct Typed {
        const char* words;
        const char* text;
        const char* row;
    };
    for (const Typed& t : {Typed{"1 张三", "张三", "in row [0, 0]"}, Typed{"李四 2", "李四 2", "in row [1, 0]"}}) {
        run(*sim, std::string("type 请输入驾驶人姓名 ") + t.words);
        auto field = sim->driver().find<ui::TextField>(driver::ViewQuery::byText(t.text));
        ASSERT_TRUE(field) << field.error();
        EXPECT_NE(driver::Driver::describeCandidate(*field.view()).find(t.row), std::string::npos) << t.words;
    }
}

TEST_F(SimulatorShowsTest, AnSmsTheServerSendsIsShownAndThePoliceDecideWhenAsked) {
    auto sim = start();
    standin::RecordedRequest request;
    request.method = "GET";
    request.pathWord = "verification";
    request.query = {{"phone", "13900139000"}};
    sim->server()->answer(request);
    EXPECT_NE(run(*sim, "wait 0").find("[sms to 13900139000: 123456]"), std::string::npos);
    EXPECT_EQ(run(*sim, "wait 0").find("[sms"), std::string::npos) << "told once";

    EXPECT_EQ(sim->server()->stateSnapshot().data["policeDecisionAfterPolls"], 30);
    run(*sim, "police-decide");
    EXPECT_EQ(sim->server()->stateSnapshot().data["policeDecisionAfterPolls"], 0);
}

// A JPEG of one colour, the size of the camera's scene.
std::string jpegOf(double r, double g, double b) {
    auto image = graphics::Image::draw({1280, 960}, 1, true, [&](cairo_t* cr) {
        cairo_set_source_rgb(cr, r, g, b);
        cairo_paint(cr);
    });
    return image->jpegData(0.9);
}

TEST_F(SimulatorShowsTest, TheCameraShowsThePhotoInFrontOfItUnderTheOutline) {
    auto photos = sandboxRoot / "photos";
    std::filesystem::create_directories(photos);
    ASSERT_TRUE(foundation::files::writeAtomically(photos / "scene.jpg", jpegOf(1, 0, 1)));
    SimulatorOptions options;
    options.cameraFolder = photos;
    auto sim = start(options);
    run(*sim, "wait 2");
    run(*sim, R"(open SingleDoubleAccidentViewController {"simulateNormal": 1})");
    run(*sim, "tap 单车事故");
    run(*sim, "until 请您从车辆(左前方)拍摄全景照片 10");
    auto shot = sim->driver().screenshot(1);
    ASSERT_TRUE(shot);
    int magenta = 0, white = 0, all = 0;
    for (int y = 0; y < 500; y += 2)
        for (int x = 0; x < shot->pixelWidth(); x += 2) {
            auto p = shot->pixel(x, y);
            ++all;
            if (p.r > 0.85 && p.g < 0.2 && p.b > 0.85) ++magenta;
            if (p.r > 0.95 && p.g > 0.95 && p.b > 0.95) ++white;
        }
    EXPECT_GT(magenta, all / 2) << "the photo fills the preview";
    EXPECT_GT(white, all / 200) << "the step's white outline lies over it";
}

TEST_F(SimulatorShowsTest, ACameraFolderWithoutAReadableJpegIsRefusedAtStart) {
    auto empty = sandboxRoot / "empty";
    std::filesystem::create_directories(empty);
    auto broken = sandboxRoot / "broken";
    std::filesystem::create_directories(broken);
    ASSERT_TRUE(foundation::files::writeAtomically(broken / "photo.jpg", "not a picture at all"));
    ASSERT_TRUE(foundation::files::writeAtomically(broken / "notes.txt", "hello"));
    for (auto folder : {empty, broken}) {
        SimulatorOptions options;
        options.manualClock = true;
        options.sandbox = sandboxRoot / "phone";
        options.cameraFolder = folder;
        std::string error;
        EXPECT_FALSE(Simulator(options).start(error)) << folder;
        EXPECT_NE(error.find("--camera"), std::string::npos) << error;
        EXPECT_NE(error.find("readable JPEG"), std::string::npos) << error;
    }
    // One readable photo among broken ones is enough.
    ASSERT_TRUE(foundation::files::writeAtomically(broken / "zz.jpeg", jpegOf(0, 1, 0)));
    SimulatorOptions options;
    options.manualClock = true;
    options.sandbox = sandboxRoot / "phone";
    options.cameraFolder = broken;
    std::string error;
    EXPECT_TRUE(Simulator(options).start(error)) << error;
}

}  // namespace
