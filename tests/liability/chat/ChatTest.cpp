#include <gtest/gtest.h>

#include <filesystem>

#include "app/ApplicationScreens.h"
#include "app/LiabilityRoad.h"
#include "app/PushRouter.h"
#include "core/Base64Codec.h"
#include "core/CaseInProgress.h"
#include "core/FileAccess.h"
#include "core/UserDateSingleton.h"
#include "liability/chat/ChatLog.h"
#include "liability/chat/ChatViewController.h"
#include "liability/chat/VoiceTestSupport.h"
#include "liability/police/PoliceDutyViewController.h"
#include "liability/police/PoliceTestSupport.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextInput.h"
#include "support/ChatTestAPI.h"
#include "support/HeldReply.h"

namespace {

using standin::Reply;

struct Decision {
    CaseMode mode;
    std::vector<PoliceDutyModel> records;
    InsuranceCompany insurance;
};

class ChatTest : public PoliceTest {
protected:
    // Switches the input bar to voice and gives the centre of "摁住我说话" in window points.
    graphics::Point talkButtonCentre() {
        EXPECT_TRUE(driver.tap(driver::ViewQuery::byImageName("keyboard.png")));
        auto talk = driver.findByText("摁住我说话");
        EXPECT_TRUE(talk);
        return talk ? talk.view()->convertPointToView(talk.view()->bounds().center(), nullptr) : graphics::Point{};
    }
    void SetUp() override {
        PoliceTest::SetUp();
        ChatLog::shared().reset();
        registerApplicationScreens();
        // The decision stays away unless a test scripts it.
        server.script("processpapertimer", Reply::rescode("201", "等待"));
    }
    void TearDown() override {
        runUntil([] { return SoundRecording::runningConversions() == 0; }, 60);
        ChatLog::shared().reset();
        PoliceTest::TearDown();
    }

    std::shared_ptr<ChatViewController> openChat(std::optional<OtherMessages> dict = std::nullopt) {
        chat = std::make_shared<ChatViewController>(
            ChatViewController::Arguments{.simulateState = CaseMode::Real, .insurance = insurer(), .dict = std::move(dict)});
        chat->onDecision = [this](std::vector<PoliceDutyModel> records, InsuranceCompany i) {
            decisions.push_back({chat->simulateState, std::move(records), std::move(i)});
        };
        push(chat);
        return chat;
    }
    std::vector<std::shared_ptr<Message>> messages() const { return ChatTestAPI::messages(*chat); }
    std::shared_ptr<ui::TextView> textView() { return driver.find<ui::TextView>(driver::ViewQuery::byClass("TextView")).view(); }
    void type(const std::string& text) {
        auto input = textView();
        ASSERT_TRUE(input);
        ASSERT_TRUE(driver.type(input, text));
        ASSERT_TRUE(driver.pressReturn());
    }
    // A "MSG" push, as the application receives it.
    void postMSG(const nlohmann::json& content) {
        PushRouter::route({{"aps", {{"key", "MSG"}, {"content", content}}}}, nullptr);
        settle();
    }
    // The police wait of the case, as the negotiation opens it.
    void openPoliceWait() {
        push(LiabilityRoad::makePoliceWait({.simulateState = CaseMode::Real, .insurance = insurer()}));
    }
    void openChatFromTheWait() {
        tapAndSettle("联系交警");
        chat = top<ChatViewController>();
        ASSERT_TRUE(chat);
    }
    std::shared_ptr<ChatTableViewCell> cellAt(int row) {
        auto table = driver.visibleTable().view();
        return table ? std::dynamic_pointer_cast<ChatTableViewCell>(table->cellForRowAtIndexPath({0, row})) : nullptr;
    }
    std::filesystem::path writeMP3(const std::string& name, double seconds) {
        auto mp3 = encodeDirectly(microphonePCM(int64_t(seconds * 44100))).mp3;
        auto path = FileAccess::directory() / name;
        foundation::files::writeAtomically(path, mp3);
        return path;
    }

    // The chat's player is playing.
    bool sound() const {
        auto record = ChatTestAPI::record(*chat);
        return record && record->audioPlayer() && record->audioPlayer()->isPlaying();
    }

    std::shared_ptr<ChatViewController> chat;
    std::vector<Decision> decisions;
};

// --- Sending --------------------------------------------------------------------------------------

TEST_F(ChatTest, ATypedTextIsShownOnTheRightAndSentWithItsCase) {
    openChat();
    EXPECT_EQ(chat->title(), "在线沟通");
    EXPECT_TRUE(ui::Application::shared().isIdleTimerDisabled()) << "the device stays awake";
    type("你好 交警");
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0]->source, Message::Own);
    EXPECT_EQ(messages()[0]->time, "刚刚");
    EXPECT_EQ(textView()->text(), "") << "the Send key clears the input and inserts no newline";
    settleRequests();
    settle();
    auto request = server.lastRequest("submitmsg");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->param("accidentno"), kCase);
    EXPECT_EQ(request->param("from"), standin::kDemoUserId);
    EXPECT_EQ(request->param("msgtype"), "0");
    EXPECT_EQ(request->param("type"), "0");
    EXPECT_FALSE(request->param("dataname"));
    EXPECT_EQ(messages()[0]->isSend, Message::Sent);
    EXPECT_TRUE(driver.isOnScreen("你好 交警"));
    auto cell = cellAt(0);
    ASSERT_TRUE(cell);
    EXPECT_FALSE(ChatTestAPI::spinnerShown(*cell));
    EXPECT_FALSE(ChatTestAPI::failureShown(*cell));
    EXPECT_GT(ChatTestAPI::bubble(*cell)->frame().x(), ui::Screen::mainScreen().bounds().width() / 4);

    // An empty text is not sent.
    ASSERT_TRUE(driver.tap(textView()));
    ASSERT_TRUE(driver.pressReturn());
    settleRequests();
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_EQ(server.count("submitmsg"), 1u);
}

// What the user state lacks is left out of the message and the poll, never sent as empty text.
TEST_F(ChatTest, ValuesTheStateLacksAreLeftOut) {
    auto& state = UserDateSingleton::shareUserDateInstance();
    state.setAccidentno(std::nullopt);
    state.setSn(std::string());
    openChat();
    type("没有案件编号");
    advance(2.0);
    settleRequests();
    settle();
    for (const char* path : {"submitmsg", "processpapertimer"}) {
        auto request = server.lastRequest(path);
        ASSERT_TRUE(request) << path;
        EXPECT_FALSE(request->param("accidentno")) << path;
        EXPECT_FALSE(request->param("sn")) << path;
        EXPECT_EQ(request->param("userid"), standin::kDemoUserId) << path;
    }
    EXPECT_EQ(server.lastRequest("submitmsg")->param("from"), standin::kDemoUserId);
}

TEST_F(ChatTest, TheInputBarRidesOnTheKeyboardWhileTypingAndGoesBackDownAfter) {
    openChat();
    auto bar = ChatTestAPI::toolBar(*chat);
    ASSERT_TRUE(bar);
    auto onScreen = [](const std::shared_ptr<ui::View>& v) { return v->convertRectToView(v->bounds(), nullptr); };
    const ui::Rect resting = onScreen(bar);
    const double keyboardTop = ui::Screen::mainScreen().bounds().height() - ui::Keyboard::height();
    ASSERT_GT(resting.maxY(), keyboardTop) << "without the bar moving the keyboard would hide it";

    ASSERT_TRUE(driver.type(textView(), "请问多久出结果"));
    ASSERT_TRUE(ui::Keyboard::isVisible());
    EXPECT_DOUBLE_EQ(onScreen(bar).maxY(), keyboardTop);
    EXPECT_LE(onScreen(textView()).maxY(), keyboardTop);
    EXPECT_TRUE(driver.isVisible(textView()));

    // Sent with the Send key, the keyboard goes and the bar with it; typing again brings both
    // up; switching to talking puts them down again.
    ASSERT_TRUE(driver.pressReturn());
    EXPECT_FALSE(ui::Keyboard::isVisible());
    EXPECT_DOUBLE_EQ(onScreen(bar).y(), resting.y());
    ASSERT_TRUE(driver.type(textView(), "好的"));
    EXPECT_DOUBLE_EQ(onScreen(bar).maxY(), keyboardTop);
    bar->voiceAndBoardButton();
    settle();
    EXPECT_FALSE(ui::Keyboard::isVisible());
    EXPECT_DOUBLE_EQ(onScreen(bar).y(), resting.y());
    EXPECT_TRUE(driver.isOnScreen(ChatToolBar::kTalkTitle));
}

TEST_F(ChatTest, EachReplyMarksTheMessageItWasSentFor) {
    openChat();
    HeldReply slow;
    server.scriptOnce("submitmsg", slow(Reply::rescode("500", "失败")));
    server.scriptOnce("submitmsg", Reply::rescode("200", "成功"));
    type("第一条");
    ASSERT_TRUE(server.waitForRequests("submitmsg", 1));
    auto cell = cellAt(0);
    ASSERT_TRUE(cell);
    EXPECT_TRUE(ChatTestAPI::spinnerShown(*cell)) << "a message being sent shows the spinner";
    type("第二条");
    // The quick answer lands while the first is still on its way.
    ASSERT_TRUE(runUntil([&] { return messages().size() == 2 && messages()[1]->isSend == Message::Sent; }));
    slow.release();
    postMSG({{"accidentno", kCase}, {"msgtype", "0"}, {"content", "收到"}});
    settleRequests();
    settle();
    ASSERT_EQ(messages().size(), 3u);
    EXPECT_EQ(messages()[0]->isSend, Message::Failed) << "the slow refusal marks the first message";
    EXPECT_EQ(messages()[1]->isSend, Message::Sent) << "the quick answer marks the second";
    EXPECT_EQ(messages()[2]->isSend, Message::Sent) << "the received message is untouched";
    EXPECT_EQ(messages()[2]->source, Message::Other);
    cell = cellAt(0);
    ASSERT_TRUE(cell);
    EXPECT_TRUE(ChatTestAPI::failureShown(*cell));
    EXPECT_FALSE(ChatTestAPI::spinnerShown(*cell));
}

TEST_F(ChatTest, AVoiceMessageCarriesItsMP3AndAMissingOneIsMarkedFailed) {
    openChat();
    auto path = writeMP3("20261207100000.mp3", 1.5);
    chat->chatTabBarSendMessageWithVoice(*ChatTestAPI::toolBar(*chat), path.string(), 2.7);
    settleRequests();
    settle();
    auto request = server.lastRequest("submitmsg");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->param("msgtype"), "1");
    EXPECT_EQ(request->param("dataname"), "20261207100000.mp3");
    EXPECT_EQ(request->param("duration"), "2");
    auto decoded = Base64Codec::decodeString(request->param("content").value_or(""));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, foundation::files::read(path).value_or("x"));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0]->voiceLength, 2);
    EXPECT_EQ(messages()[0]->isSend, Message::Sent);

    // No file, an empty file, a zero time: nothing goes out.
    chat->chatTabBarSendMessageWithVoice(*ChatTestAPI::toolBar(*chat), (FileAccess::directory() / "gone.mp3").string(), 3);
    foundation::files::writeAtomically(FileAccess::directory() / "empty.mp3", "");
    chat->chatTabBarSendMessageWithVoice(*ChatTestAPI::toolBar(*chat), (FileAccess::directory() / "empty.mp3").string(), 3);
    chat->chatTabBarSendMessageWithVoice(*ChatTestAPI::toolBar(*chat), path.string(), 0);
    settleRequests();
    EXPECT_EQ(server.count("submitmsg"), 1u);
    ASSERT_EQ(messages().size(), 3u);
    EXPECT_EQ(messages()[1]->isSend, Message::Failed);
    EXPECT_EQ(messages()[2]->isSend, Message::Failed);
}

TEST_F(ChatTest, HoldToTalkSendsAShortTakeWithTimeOneAndACancelledTouchNothing) {
    openChat();
    auto centre = talkButtonCentre();

    // A call cancels the touch: the take is dropped and the overlay goes.
    ASSERT_TRUE(driver.touchDown(centre));
    advance(2.0);
    ASSERT_TRUE(driver.touchCancel());
    runUntil([] { return SoundRecording::runningConversions() == 0; }, 30);
    settleRequests();
    EXPECT_EQ(server.count("submitmsg"), 0u);
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(ui::Application::shared().keyWindow()->viewWithTag(ShowTheWindow::kTag));

    // A press of a moment is still a message of one second.
    ASSERT_TRUE(driver.touchDown(centre));
    advance(0.3);
    ASSERT_TRUE(driver.touchUp(centre));
    EXPECT_FALSE(ui::Application::shared().keyWindow()->viewWithTag(ShowTheWindow::kTag));
    ASSERT_TRUE(runUntil([this] { return !messages().empty(); }, 30));
    settleRequests();
    settle();
    auto request = server.lastRequest("submitmsg");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->param("duration"), "1");
    EXPECT_EQ(messages()[0]->voiceLength, 1);
    auto decoded = Base64Codec::decodeString(request->param("content").value_or(""));
    ASSERT_TRUE(decoded);
    EXPECT_GT(decoded->size(), 100u);
}

// A take that cannot be converted is still shown, as a failed voice message, and nothing is sent.
TEST_F(ChatTest, ATakeThatCannotBeConvertedShowsAsAFailedMessage) {
    openChat();
    auto centre = talkButtonCentre();
    ASSERT_TRUE(driver.touchDown(centre));
    advance(2.0);
    // The raw recording is gone before it can be converted.
    for (const auto& entry : std::filesystem::directory_iterator(FileAccess::directory()))
        if (entry.path().extension() == ".caf") std::filesystem::remove(entry.path());
    ASSERT_TRUE(driver.touchUp(centre));
    ASSERT_TRUE(runUntil([this] { return !messages().empty(); }, 30));
    settleRequests();
    settle();
    EXPECT_EQ(server.count("submitmsg"), 0u);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0]->type, Message::Voice);
    EXPECT_EQ(messages()[0]->isSend, Message::Failed);
    auto cell = cellAt(0);
    ASSERT_TRUE(cell);
    EXPECT_TRUE(ChatTestAPI::failureShown(*cell));
}

// --- Receiving ------------------------------------------------------------------------------------

TEST_F(ChatTest, TheRouterOpenedChatShowsThePushedMessageOnceOnTheLeft) {
    // No case in progress: the message's case becomes it.
    UserDateSingleton::shareUserDateInstance().setAccidentno(std::nullopt);
    auto opened = open<ChatViewController>("ChatViewController",
                                           {{"dict", {{"accidentno", "BJ9"}, {"msgtype", "0"}, {"content", "请拍照"}}}});
    ASSERT_TRUE(opened);
    chat = opened;
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0]->source, Message::Other);
    EXPECT_EQ(UserDateSingleton::shareUserDateInstance().accidentno(), "BJ9");
    auto cell = cellAt(0);
    ASSERT_TRUE(cell);
    EXPECT_EQ(ChatTestAPI::avatar(*cell)->image()->name(), "policeimage.png");
    EXPECT_LT(ChatTestAPI::bubble(*cell)->frame().x(), 100);

    push(std::make_shared<RootPage>());
    driver.goBack();
    settle();
    EXPECT_EQ(messages().size(), 1u) << "coming back does not add the pushed message again";
}

// A message of another case is not shown in this case's chat and never takes the case over:
// every later request of the police road goes out with the case's own number.
TEST_F(ChatTest, AMessageOfAnotherCaseNeverTakesOverTheCase) {
    server.withState([](standin::SimulatedState& s) { s.data["verification"]["13900139000"] = "123456"; });
    openPoliceWait();
    openChatFromTheWait();
    server.clearRequests();
    postMSG({{"accidentno", "BJ202612070099"}, {"msgtype", "0"}, {"content", "另一案件的消息"}});
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(driver.isOnScreen("另一案件的消息"));
    type("我在路边等候");
    server.scriptOnce("processpapertimer", Reply::rescode("200", "成功", {{"dutylist", decisionJson()}}));
    advance(2.0);
    settleRequests();
    settle();
    ASSERT_TRUE(driver.answerAlert("接收"));
    finishTransitions();

    // The confirmation: both signatures and the other driver's code, then the agreement.
    auto duty = top<PoliceDutyViewController>();
    ASSERT_TRUE(duty);
    ASSERT_TRUE(driver.scroll(duty->tableView(), {0, 10000}));
    ASSERT_TRUE(driver.tap("本方驾驶员签字"));
    drawAndConfirm(50);
    ASSERT_TRUE(driver.tap("对方驾驶员签字"));
    drawAndConfirm(150);
    auto footer = std::dynamic_pointer_cast<PoliceDutyFooterView>(duty->viewForFooterInSection(*duty->tableView(), 1));
    ASSERT_TRUE(footer);
    ASSERT_TRUE(driver.type(footer->code2(), "123456"));
    ASSERT_TRUE(driver.pressReturn());
    tapAndSettle(PoliceDutyFooterView::kConfirmTitle);
    EXPECT_EQ(driver.topScreenName(), "ProtocolViewController");
    ASSERT_TRUE(driver.tap("确认"));
    settleRequests();
    finishTransitions();

    EXPECT_EQ(server.count("signprocesspaper"), 1u);
    size_t withCase = 0;
    for (const auto& request : server.requests()) {
        if (auto number = request.param("accidentno")) {
            ++withCase;
            EXPECT_EQ(*number, kCase) << request.pathWord;
        }
    }
    EXPECT_GE(withCase, 3u) << "the message, the poll and the signing";
    EXPECT_EQ(CaseInProgress::accidentno(), kCase);
}

// The case's messages stay for the run: a chat opened again shows those sent and received
// before, and a message pushed while no chat was shown.
TEST_F(ChatTest, TheCasesMessagesAreShownWheneverTheChatOpens) {
    openPoliceWait();
    openChatFromTheWait();
    type("第一条");
    postMSG({{"accidentno", kCase}, {"msgtype", "0"}, {"content", "收到"}});
    settleRequests();
    driver.goBack();
    finishTransitions();
    push(std::make_shared<RootPage>());
    postMSG({{"accidentno", kCase}, {"msgtype", "0"}, {"content", "请在路边等候"}});
    driver.goBack();
    finishTransitions();
    EXPECT_EQ(driver.topScreenName(), "TrafficPoliceViewController");

    openChatFromTheWait();
    ASSERT_EQ(messages().size(), 3u);
    EXPECT_EQ(messages()[0]->content, "第一条");
    EXPECT_EQ(messages()[0]->isSend, Message::Sent);
    EXPECT_EQ(messages()[1]->content, "收到");
    EXPECT_EQ(messages()[2]->content, "请在路边等候");
    EXPECT_TRUE(driver.isOnScreen("请在路边等候"));
}

// A new message comes into sight, unless the driver has scrolled up to read older ones; their
// own message always does.
TEST_F(ChatTest, ANewMessageComesIntoSightUnlessTheDriverReadsOlderOnes) {
    openChat();
    auto table = driver.visibleTable().view();
    ASSERT_TRUE(table);
    auto latestInSight = [&] {
        auto visible = table->indexPathsForVisibleRows();
        return !visible.empty() && visible.back().row == static_cast<int>(messages().size()) - 1;
    };
    for (int i = 0; i < 15; ++i) {
        postMSG({{"accidentno", kCase}, {"msgtype", "0"}, {"content", "第" + std::to_string(i) + "条"}});
        ASSERT_TRUE(latestInSight()) << i;
    }
    ASSERT_TRUE(driver.scroll(table, {0, 0}));
    postMSG({{"accidentno", kCase}, {"msgtype", "0"}, {"content", "读旧消息时到达"}});
    EXPECT_EQ(table->contentOffset().y, 0);
    EXPECT_FALSE(latestInSight());
    ASSERT_TRUE(driver.scroll(table, {0, 100000}));
    postMSG({{"accidentno", kCase}, {"msgtype", "0"}, {"content", "回到底部后到达"}});
    EXPECT_TRUE(latestInSight());
    ASSERT_TRUE(driver.scroll(table, {0, 0}));
    type("我自己的消息");
    EXPECT_TRUE(latestInSight());
}

// --- Geometry and cells ---------------------------------------------------------------------------

TEST_F(ChatTest, RowGeometryGrowsWithTextAndVoiceAndNeverFallsBelow44) {
    auto voice = [](int64_t seconds) {
        auto m = std::make_shared<Message>();
        m->type = Message::Voice;
        m->voiceLength = seconds;
        return MessageFrame(m);
    };
    EXPECT_EQ(voice(60).contentF().width() - voice(0).contentF().width(), 60);
    auto text = [](const std::string& content, int source) {
        auto m = std::make_shared<Message>();
        m->content = content;
        m->source = source;
        return MessageFrame(m);
    };
    auto empty = text("", Message::Own);
    EXPECT_GE(empty.cellHeight(), 44);
    auto one = text("好", Message::Other), many = text(std::string(40, 'x') + "很多行的文字很多行的文字很多行的文字很多行的文字很多行的文字", Message::Other);
    EXPECT_GT(many.contentF().height(), one.contentF().height() + 20);
    EXPECT_GT(many.cellHeight(), one.cellHeight());
    EXPECT_LE(many.contentF().width(), 180 + 40);
    double width = ui::Screen::mainScreen().bounds().width();
    EXPECT_DOUBLE_EQ(empty.contentF().maxX(), width - 10 - 40 - 10) << "an own bubble ends 10 points left of the avatar";
    EXPECT_DOUBLE_EQ(one.contentF().x(), 60);
}

TEST_F(ChatTest, AReusedCellSetsEveryStateAnew) {
    auto voiceMessage = std::make_shared<Message>();
    voiceMessage->type = Message::Voice;
    voiceMessage->voiceLength = 5;
    voiceMessage->isSend = Message::Failed;
    voiceMessage->time = "刚刚";
    auto textMessage = std::make_shared<Message>();
    textMessage->content = "文字";
    textMessage->source = Message::Other;
    ChatTableViewCell cell;
    cell.layoutSubviewsWithMessageFrame(MessageFrame(voiceMessage), {0, 0}, "policeman", true);
    ASSERT_TRUE(ChatTestAPI::voiceIcon(cell));
    EXPECT_TRUE(ChatTestAPI::voiceIcon(cell)->isAnimating());
    EXPECT_TRUE(ChatTestAPI::failureShown(cell));
    cell.layoutSubviewsWithMessageFrame(MessageFrame(textMessage), {0, 1}, "policeman", false);
    EXPECT_FALSE(ChatTestAPI::voiceIcon(cell));
    EXPECT_FALSE(ChatTestAPI::failureShown(cell));
    EXPECT_FALSE(ChatTestAPI::spinnerShown(cell));
    auto content = ChatTestAPI::bubble(cell)->subviews();
    ASSERT_EQ(content.size(), 1u) << "no leftover voice button";
    EXPECT_EQ(content[0]->className(), "Label");
    EXPECT_EQ(ChatTestAPI::avatar(cell)->image()->name(), "policeimage.png");
}

TEST_F(ChatTest, EveryVoiceBubbleShowsItsLengthInsideItAReceivedOneAsItArrives) {
    auto caption = [](ChatTableViewCell& cell) -> std::shared_ptr<ui::Label> {
        for (auto& view : ChatTestAPI::bubble(cell)->subviews())
            if (auto label = std::dynamic_pointer_cast<ui::Label>(view)) return label;
        return nullptr;
    };
    auto own = std::make_shared<Message>();
    own->type = Message::Voice;
    own->voiceLength = 3;
    own->time = "刚刚";
    ChatTableViewCell cell;
    cell.layoutSubviewsWithMessageFrame(MessageFrame(own), {0, 0}, "policeman", false);
    auto label = caption(cell);
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), "3″ 刚刚");
    auto bubble = ChatTestAPI::bubble(cell)->bounds();
    EXPECT_GT(label->frame().x(), bubble.x()) << "a margin, not the bubble's edge";
    EXPECT_LE(graphics::measureText(label->text(), label->font()).width, label->frame().width());
    EXPECT_LT(label->frame().maxX(), ChatTestAPI::voiceIcon(cell)->frame().x());

    auto received = std::make_shared<Message>();
    received->type = Message::Voice;
    received->source = Message::Other;
    received->voicepath = "police.mp3";
    cell.layoutSubviewsWithMessageFrame(MessageFrame(received), {0, 1}, "policeman", false);
    EXPECT_EQ(caption(cell)->text(), "") << "no length before its MP3 is here";
    writeMP3("police.mp3", 4);
    cell.layoutSubviewsWithMessageFrame(MessageFrame(received), {0, 1}, "policeman", false);
    EXPECT_EQ(caption(cell)->text(), "4″");
    EXPECT_LT(caption(cell)->frame().maxX(), ChatTestAPI::bubble(cell)->bounds().maxX());

    // One pushed from the server: its MP3 is fetched as it arrives, so its length shows before
    // anyone plays it, and the play then uses that copy.
    openChat();
    postMSG({{"accidentno", kCase}, {"msgtype", "1"}, {"content", server.voiceURL("police.mp3")}});
    settleRequests();
    settle();
    ASSERT_EQ(messages().size(), 1u);
    auto arrived = cellAt(0);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(caption(*arrived)->text(), "4″");
    EXPECT_FALSE(ChatTestAPI::playing(*chat));
    chat->addObserveForVoiceIsPlayOrStop({0, 0});
    ASSERT_TRUE(runUntil([this] { return sound(); }, 20));
    EXPECT_EQ(server.count("voice/police.mp3"), 1u);
}

// --- Playback -------------------------------------------------------------------------------------

TEST_F(ChatTest, ATapWhileOnePlaysOnlyStopsItAndTheEndClearsThePlayingMessage) {
    openChat();
    writeMP3("a.mp3", 3);
    writeMP3("b.mp3", 3);
    for (const char* name : {"a.mp3", "b.mp3"}) chat->chatTabBarSendMessageWithVoice(*ChatTestAPI::toolBar(*chat), name, 3);
    settleRequests();
    settle();
    ASSERT_EQ(messages().size(), 2u);
    chat->addObserveForVoiceIsPlayOrStop({0, 0});
    settle();
    EXPECT_EQ(ChatTestAPI::playing(*chat), messages()[0]);
    auto cell = cellAt(0);
    ASSERT_TRUE(cell && ChatTestAPI::voiceIcon(*cell));
    EXPECT_TRUE(ChatTestAPI::voiceIcon(*cell)->isAnimating());

    chat->addObserveForVoiceIsPlayOrStop({0, 1});
    settle();
    EXPECT_FALSE(ChatTestAPI::playing(*chat)) << "the tap stops the first and does not start the second";
    EXPECT_FALSE(ChatTestAPI::voiceIcon(*cellAt(0))->isAnimating());
    EXPECT_FALSE(ChatTestAPI::voiceIcon(*cellAt(1))->isAnimating());

    chat->addObserveForVoiceIsPlayOrStop({0, 1});
    settle();
    EXPECT_EQ(ChatTestAPI::playing(*chat), messages()[1]);
    ASSERT_TRUE(runUntil([this] { return sound(); }, 20));
    advance(4.0);
    settle();
    EXPECT_FALSE(ChatTestAPI::playing(*chat)) << "the end of the playback is heard";
    settle();
    EXPECT_FALSE(ChatTestAPI::voiceIcon(*cellAt(1))->isAnimating());
}

// --- Decision poll --------------------------------------------------------------------------------

TEST_F(ChatTest, OnePollTimerWhileShownAndNoPollAfterTheDecision) {
    openChat();
    EXPECT_TRUE(ChatTestAPI::timerRunning(*chat));
    advance(2.0);
    settleRequests();
    advance(2.0);
    settleRequests();
    EXPECT_EQ(server.count("processpapertimer"), 2u);

    // A decision that arrives after the chat has gone shows nothing.
    HeldReply late;
    server.scriptOnce("processpapertimer", late(Reply::rescode("200", "成功", {{"dutylist", decisionJson()}})));
    advance(2.0);
    ASSERT_TRUE(server.waitForRequests("processpapertimer", 3));
    push(std::make_shared<RootPage>());
    EXPECT_FALSE(ChatTestAPI::timerRunning(*chat));
    EXPECT_FALSE(ui::Application::shared().isIdleTimerDisabled());
    late.release();
    settleRequests();
    settle();
    EXPECT_FALSE(driver.isOnScreen("交警给您发来事故责任认定意见,请接收"));

    // Back in the chat it is asked for again; the alert hands it on and polling ends.
    server.scriptOnce("processpapertimer", Reply::rescode("200", "成功", {{"dutylist", decisionJson()}}));
    driver.goBack();
    settle();
    advance(2.0);
    settleRequests();
    settle();
    EXPECT_EQ(server.count("processpapertimer"), 4u);
    EXPECT_TRUE(driver.isOnScreen("交警给您发来事故责任认定意见,请接收"));
    EXPECT_FALSE(ChatTestAPI::timerRunning(*chat));
    ASSERT_TRUE(driver.answerAlert("接收"));
    settle();
    ASSERT_EQ(decisions.size(), 1u);
    EXPECT_EQ(decisions[0].records.size(), 2u);
    EXPECT_EQ(decisions[0].insurance.inscomname, insurer().inscomname);
    advance(6.0);
    settleRequests();
    EXPECT_EQ(server.count("processpapertimer"), 4u) << "decided: no more polls";
}

TEST_F(ChatTest, TheWaitsChatButtonOpensTheChatAndItsDecisionTheConfirmation) {
    push(LiabilityRoad::makePoliceWait({.simulateState = CaseMode::Real, .insurance = insurer()}));
    tapAndSettle("联系交警");
    EXPECT_EQ(driver.topScreenName(), "ChatViewController");
    server.scriptOnce("processpapertimer", Reply::rescode("200", "成功", {{"dutylist", decisionJson()}}));
    advance(2.0);
    settleRequests();
    settle();
    ASSERT_TRUE(driver.answerAlert("接收"));
    settle();
    EXPECT_EQ(driver.topScreenName(), "PoliceDutyViewController");
}

}  // namespace
