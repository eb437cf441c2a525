#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/BaseViewController.h"
#include "core/CaseMode.h"
#include "core/InsuranceCompany.h"
#include "liability/chat/ChatViews.h"
#include "liability/police/DecisionPoller.h"
#include "liability/police/PoliceDutyModel.h"
#include "platform/ui/TableView.h"

// A message the other side sent, as a "MSG" push carries it. Every field is text; a field that
// is missing or of another kind reads as empty text.
struct OtherMessages {
    std::string accidentno, msgid, from, type, content, msgtype;
    // nullopt when the push content is no dictionary.
    static std::optional<OtherMessages> fromPush(const nlohmann::json& content);
};

// "在线沟通": the case chat with the traffic police. Own messages (typed, or held-to-talk voice)
// are shown on the right at once and sent with "submitmsg"; the reply marks that very message
// (found by its identity) sent or failed. Messages of the other side arrive as "MSG"
// notifications and are shown on the left with the police avatar; one whose case number is a
// non-empty text makes that case the current one. While shown, the chat keeps the device
// awake and polls the police decision ("processpapertimer") every 2 s on one timer
// (DecisionPoller); the decision's alert "接收" hands the decision on (`onDecision`) and the chat
// polls no more. A decision that arrives after the chat has gone is dropped and asked for again
// at the next appearance. Tapping a voice message plays it (a received one is fetched first, http(s)
// only); a tap while one plays only stops it.
//
// Practice sends nothing: own messages are shown as sent and no decision is polled.
class ChatViewController : public BaseViewController,
                           public ui::TableViewDataSource,
                           public ui::TableViewDelegate,
                           public ChatTabBarDelegate,
                           public ChatTableViewCellDelegate {
public:
    static constexpr const char* kClassName = "ChatViewController";
    static constexpr const char* kTitle = "在线沟通";
    static constexpr const char* kOtherRole = "policeman";

    struct Arguments {
        CaseMode simulateState = CaseMode::Real;
        InsuranceCompany insurance;
        // The message a push opened the chat with.
        std::optional<OtherMessages> dict;
    };
    explicit ChatViewController(Arguments arguments)
        : dict(std::move(arguments.dict)), insurance(std::move(arguments.insurance)),
          simulateState(arguments.simulateState),
          poller_(DecisionPoller::make({.owner = kClassName, .mode = simulateState, .sendMissingAsEmpty = true})) {}
    ~ChatViewController() override;
    std::string className() const override { return kClassName; }

    const std::optional<OtherMessages> dict;
    const InsuranceCompany insurance;
    const CaseMode simulateState;

    // "接收" of the decision alert: the police liability confirmation.
    std::function<void(CaseMode simulateState, std::vector<PoliceDutyModel> dateSorce, InsuranceCompany insruance)>
        onDecision;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    void loadData();
    void newMessages(const nlohmann::json& userInfo);

    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    void scrollViewWillBeginDecelerating(ui::ScrollView& scrollView) override;

    void chatTabBarSendMessageWithText(ChatToolBar& bar, const std::string& text) override;
    void chatTabBarSendMessageWithVoice(ChatToolBar& bar, const std::string& mp3Path, double recordTime) override;
    void chatTabBarBeginingEditing(ChatToolBar& bar) override;
    void chatTabBarBeginingEndEditing(ChatToolBar& bar) override;
    void addObserveForVoiceIsPlayOrStop(ui::IndexPath indexPath) override;

private:
    friend class ChatTestAPI;

    void append(std::shared_ptr<Message> message);
    void receive(const OtherMessages& other);
    void sendNewMessages(const std::shared_ptr<Message>& message);
    void sendReplied(uint64_t serial, int state);
    std::optional<int> rowOf(uint64_t serial) const;
    void reloadRow(int row);
    void accept(std::vector<PoliceDutyModel> records);
    void stopPlayback();
    void playbackEnded(unsigned long long session);

    std::shared_ptr<ui::TableView> imTableView_;
    std::shared_ptr<ChatToolBar> toolBar_;
    std::vector<MessageFrame> allMessagesFrameArray_;
    std::shared_ptr<SoundRecording> record_;
    std::shared_ptr<SoundRecordingDelegate> playbackListener_;
    std::shared_ptr<Message> playing_;
    unsigned long long playSession_ = 0;
    std::shared_ptr<DecisionPoller> poller_;
    bool dictShown_ = false;
};
