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
#include "core/Output.h"
#include "liability/chat/ChatViews.h"
#include "liability/police/DecisionPoller.h"
#include "liability/police/PoliceDutyModel.h"
#include "platform/ui/TableView.h"

// "在线沟通": the case chat with the traffic police. Own messages (typed, or held-to-talk voice)
// are shown on the right at once and sent with "submitmsg"; the reply marks that very message
// (found by its identity) sent or failed. Messages of the other side arrive as "MSG" pushes
// and are shown on the left with the police avatar. The chat shows the messages of the case in
// progress, kept in the ChatLog for the application's run: those of an earlier opening, and
// those pushed while it was not shown; a message of another case is not shown and never
// changes the case (CaseInProgress). While shown, the chat keeps the device
// awake and polls the police decision ("processpapertimer") every 2 s on one timer
// (DecisionPoller); the decision's alert "接收" hands the decision on (`onDecision`) and the chat
// polls no more. A decision that arrives after the chat has gone is dropped and asked for again
// at the next appearance. A message sent or received comes into sight (the table scrolls to
// it), unless the driver has scrolled up to read older ones and it is not their own. Tapping a voice message plays it
// (a received one is fetched first, http(s) only); a tap while one plays only stops it.
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
        GivenCaseMode simulateState;
        InsuranceCompany insurance;
        // The message a push opened the chat with (added to the log when the chat loads).
        std::optional<OtherMessages> dict;
    };
    explicit ChatViewController(Arguments arguments)
        : dict(std::move(arguments.dict)),
          insurance(std::move(arguments.insurance)),
          simulateState(arguments.simulateState),
          poller_(DecisionPoller::make({.owner = kClassName, .mode = simulateState})) {}
    ~ChatViewController() override;
    std::string className() const override { return kClassName; }

    const std::optional<OtherMessages> dict;
    const InsuranceCompany insurance;
    const CaseMode simulateState;

    // "接收" of the decision alert: the police liability confirmation.
    Output<void(std::vector<PoliceDutyModel> dateSorce, InsuranceCompany insruance)> onDecision{
        this, "onDecision"};

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    void loadData();

    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    void scrollViewWillBeginDecelerating(ui::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(ui::ScrollView& scrollView, bool willDecelerate) override;
    void scrollViewDidEndDecelerating(ui::ScrollView& scrollView) override;

    void chatTabBarSendMessageWithText(ChatToolBar& bar, const std::string& text) override;
    void chatTabBarSendMessageWithVoice(ChatToolBar& bar, const std::string& mp3Path, double recordTime) override;
    void chatTabBarBeginingEditing(ChatToolBar& bar) override;
    void chatTabBarBeginingEndEditing(ChatToolBar& bar) override;
    void addObserveForVoiceIsPlayOrStop(ui::IndexPath indexPath) override;

private:
    friend class ChatTestAPI;

    // The case the chat is about: the case in progress.
    std::string caseNumber() const;
    // The messages of that case, oldest first (ChatLog).
    std::vector<MessageFrame>& rows() const;
    void append(std::shared_ptr<Message> message);
    // A message was added to the chat's case.
    void messageAdded();
    // Scrolls the latest message into sight.
    void showLatest(bool animated);
    bool atLatest() const;
    void sendNewMessages(const std::shared_ptr<Message>& message);
    void sendReplied(uint64_t serial, int state);
    std::optional<int> rowOf(uint64_t serial) const;
    void reloadRow(int row);
    void accept(std::vector<PoliceDutyModel> records);
    void stopPlayback();
    void playbackEnded(unsigned long long session);

    std::shared_ptr<ui::TableView> imTableView_;
    std::shared_ptr<ChatToolBar> toolBar_;
    std::shared_ptr<SoundRecording> record_;
    std::shared_ptr<SoundRecordingDelegate> playbackListener_;
    std::shared_ptr<Message> playing_;
    unsigned long long playSession_ = 0;
    std::shared_ptr<DecisionPoller> poller_;
    // The driver has scrolled up to older messages: new ones do not pull the table down.
    bool readingOlder_ = false;
};
