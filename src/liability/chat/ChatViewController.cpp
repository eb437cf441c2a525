#include "liability/chat/ChatViewController.h"

#include <chrono>
#include <fstream>
#include <sstream>

#include "core/AppConfig.h"
#include "core/Base64Codec.h"
#include "core/CaseInProgress.h"
#include "core/DatetimeChange.h"
#include "core/FileAccess.h"
#include "core/MessageRequest.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/TextValues.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "liability/chat/ChatLog.h"
#include "liability/chat/VoiceDownload.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

namespace {

double now() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Hears the end of one playback for the chat.
class PlaybackListener : public SoundRecordingDelegate {
public:
    explicit PlaybackListener(std::function<void()> ended) : ended_(std::move(ended)) {}
    void playedFinishedOrError(bool) override {
        if (ended_) ended_();
    }

private:
    std::function<void()> ended_;
};

}  // namespace

ChatViewController::~ChatViewController() {
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
    if (record_) {
        record_->setDelegate({});
        record_->stopAudioPlay();
    }
}

// --- Views ----------------------------------------------------------------------------------------

void ChatViewController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    view()->setBackgroundColor(ui::Color{0.93, 0.93, 0.93, 1});
    const auto bounds = ui::Screen::mainScreen().bounds();
    const double width = bounds.width(), height = bounds.height();

    imTableView_ = std::make_shared<ui::TableView>(ui::Rect(0, 0, width, height - 44 - 66), ui::TableViewStyle::Plain);
    imTableView_->setDataSource(sharedAs<ChatViewController>());
    imTableView_->setDelegate(sharedAs<ChatViewController>());
    imTableView_->setBackgroundView(nullptr);
    imTableView_->setBackgroundColor(ui::Color::clear());
    imTableView_->setSeparatorColor(ui::Color::clear());
    imTableView_->setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
    imTableView_->registerClass([](const std::string& identifier) { return std::make_shared<ChatTableViewCell>(identifier); },
                                ChatTableViewCell::kReuseIdentifier);
    view()->addSubview(imTableView_);

    toolBar_ = std::make_shared<ChatToolBar>(ui::Rect(0, height - 44 - 66, width, 44));
    toolBar_->setDelegate(sharedAs<ChatViewController>());
    view()->addSubview(toolBar_);

    Theme::styleNavigationBar(*this, kTitle);
    navigationItem()->setHidesBackButton(true);
    Theme::addBackItem(sharedAs<ChatViewController>());

    poller_->onAccept = foundation::weakBind(
        this, [](const auto& self, std::vector<PoliceDutyModel> records) { self->accept(std::move(records)); });
    // The message a push opened the chat with joins the log once, for the case it belongs to.
    if (dict) ChatLog::shared().receive(*dict);
    auto added = foundation::weakBind(this, [](const auto& self, const foundation::Notification& note) {
        if (note.userInfo.is_object() && note.userInfo.value("accidentno", "") == self->caseNumber())
            self->messageAdded();
    });
    foundation::NotificationCenter::defaultCenter().addObserver(ChatLog::kAddedNotification, added, this);
    auto lengthKnown = foundation::weakBind(this, [](const auto& self, const foundation::Notification& note) {
        if (!note.userInfo.is_object() || note.userInfo.value("accidentno", "") != self->caseNumber()) return;
        if (auto row = self->rowOf(note.userInfo.value("serial", uint64_t{0}))) self->reloadRow(*row);
    });
    foundation::NotificationCenter::defaultCenter().addObserver(ChatLog::kLengthNotification, lengthKnown, this);
}

void ChatViewController::viewWillAppear(bool animated) {
    BaseViewController::viewWillAppear(animated);
    Theme::styleNavigationBar(*this);
    ui::Application::shared().setIdleTimerDisabled(true);
    poller_->start();
    // Messages kept while the chat was away are shown, the latest in sight.
    imTableView_->reloadData();
    if (!readingOlder_) showLatest(false);
}

void ChatViewController::viewDidDisappear(bool animated) {
    BaseViewController::viewDidDisappear(animated);
    ui::Application::shared().setIdleTimerDisabled(false);
    poller_->stop();
}

// --- Table ----------------------------------------------------------------------------------------

int ChatViewController::numberOfRowsInSection(ui::TableView&, int) { return static_cast<int>(rows().size()); }

double ChatViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) {
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(rows().size())) return MessageFrame::kMinimumRowHeight;
    return rows()[indexPath.row].cellHeight();
}

std::shared_ptr<ui::TableViewCell> ChatViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                           ui::IndexPath indexPath) {
    auto cell = std::dynamic_pointer_cast<ChatTableViewCell>(
        tableView.dequeueReusableCellWithIdentifier(ChatTableViewCell::kReuseIdentifier, indexPath));
    if (!cell) cell = std::make_shared<ChatTableViewCell>();
    cell->setDelegate(sharedAs<ChatViewController>());
    if (indexPath.row >= 0 && indexPath.row < static_cast<int>(rows().size())) {
        const auto& frame = rows()[indexPath.row];
        bool playing = playing_ && frame.message() == playing_;
        cell->layoutSubviewsWithMessageFrame(frame, indexPath, kOtherRole, playing);
    }
    return cell;
}

void ChatViewController::scrollViewWillBeginDecelerating(ui::ScrollView&) { view()->endEditing(true); }

std::string ChatViewController::caseNumber() const { return CaseInProgress::accidentno().value_or(""); }

std::vector<MessageFrame>& ChatViewController::rows() const { return ChatLog::shared().rows(caseNumber()); }

void ChatViewController::append(std::shared_ptr<Message> message) {
    ChatLog::shared().add(caseNumber(), std::move(message));
}

void ChatViewController::messageAdded() {
    // Only the new row is measured and placed: adding a message costs the same however many the
    // chat holds.
    imTableView_->insertRowsAtIndexPaths({ui::IndexPath::forRow(static_cast<int>(rows().size()) - 1, 0)},
                                         ui::TableViewRowAnimation::None);
    // A new message comes into sight, unless the driver has scrolled up to older ones and this
    // is not their own.
    const bool own = !rows().empty() && rows().back().message()->source == Message::Own;
    if (own) readingOlder_ = false;
    if (!readingOlder_) showLatest(true);
}

void ChatViewController::showLatest(bool animated) {
    if (rows().empty()) return;
    imTableView_->scrollToRowAtIndexPath(ui::IndexPath::forRow(static_cast<int>(rows().size()) - 1, 0),
                                         ui::TableViewScrollPosition::Bottom, animated);
}

bool ChatViewController::atLatest() const {
    return imTableView_->contentOffset().y >= imTableView_->maximumContentOffset().y - 1;
}

void ChatViewController::scrollViewDidEndDragging(ui::ScrollView&, bool willDecelerate) {
    if (!willDecelerate) readingOlder_ = !atLatest();
}

void ChatViewController::scrollViewDidEndDecelerating(ui::ScrollView&) { readingOlder_ = !atLatest(); }

std::optional<int> ChatViewController::rowOf(uint64_t serial) const {
    // From the latest: replies and playback are about recent messages.
    const auto& all = rows();
    for (size_t i = all.size(); i-- > 0;)
        if (all[i].message()->serial == serial) return static_cast<int>(i);
    return std::nullopt;
}

void ChatViewController::reloadRow(int row) {
    imTableView_->reloadRowsAtIndexPaths({ui::IndexPath::forRow(row, 0)}, ui::TableViewRowAnimation::None);
}

// --- Sending --------------------------------------------------------------------------------------

void ChatViewController::chatTabBarSendMessageWithText(ChatToolBar&, const std::string& text) {
    view()->endEditing(true);
    if (text.empty()) return;
    auto message = std::make_shared<Message>();
    message->type = Message::Text;
    message->source = Message::Own;
    message->content = text;
    message->isSend = Message::Sending;
    message->time = DatetimeChange::intelligenceTimeStringSinceDate(now());
    append(message);
    sendNewMessages(message);
}

void ChatViewController::chatTabBarSendMessageWithVoice(ChatToolBar&, const std::string& mp3Path, double recordTime) {
    if (recordTime <= 0) return;
    auto message = std::make_shared<Message>();
    message->type = Message::Voice;
    message->source = Message::Own;
    message->voiceLength = static_cast<int64_t>(recordTime);
    message->voicepath = VoiceDownload::lastComponent(mp3Path);
    message->isSend = Message::Sending;
    message->time = DatetimeChange::intelligenceTimeStringSinceDate(now());
    append(message);
    sendNewMessages(message);
}

void ChatViewController::sendNewMessages(const std::shared_ptr<Message>& message) {
    auto& state = UserDateSingleton::shareUserDateInstance();
    MessageRequest request;
    request.userid = TextValues::sentValue(state.userid());
    request.sn = TextValues::sentValue(state.sn());
    request.appkey = AppConfig::appKey();
    request.accidentno = TextValues::sentValue(CaseInProgress::number());
    request.from = TextValues::sentValue(state.userid());
    request.type = "0";
    const uint64_t serial = message->serial;
    if (message->type == Message::Voice) {
        // The MP3 the recorder wrote into the case material directory; without it nothing is sent.
        std::string bytes;
        auto path = FileAccess::directory() / VoiceDownload::plainFileName(message->voicepath);
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::ostringstream data;
            data << in.rdbuf();
            bytes = data.str();
        }
        if (VoiceDownload::plainFileName(message->voicepath).empty() || bytes.empty()) {
            foundation::log("ChatViewController: the voice message " + message->voicepath + " has no MP3 and is not sent");
            sendReplied(serial, Message::Failed);
            return;
        }
        request.content = Base64Codec::encodeData(bytes);
        request.msgtype = "1";
        request.dataname = path.filename().string();
        request.duration = std::to_string(message->voiceLength);
    } else {
        request.content = StringExtension::UTF8StringWithString(message->content);
        request.msgtype = "0";
    }
    if (simulateState == CaseMode::Practice) {
        // Practice sends nothing; the message is shown as sent.
        sendReplied(serial, Message::Sent);
        return;
    }
    RequestManager::shareRequestManager().request_submitmsg_WithParams(
        request.keyValues(),
        foundation::weakBind(this, [serial](const auto& self, const nlohmann::json&, const RequestOutcome& outcome) {
            self->sendReplied(serial, outcome.answered() ? Message::Sent : Message::Failed);
        }));
}

void ChatViewController::sendReplied(uint64_t serial, int state) {
    auto row = rowOf(serial);
    if (!row) return;
    rows()[*row].message()->isSend = state;
    reloadRow(*row);
    if (!readingOlder_) showLatest(true);
}

void ChatViewController::chatTabBarBeginingEditing(ChatToolBar&) {
    if (rows().size() >= 2)
        imTableView_->setContentOffset({0, std::max(0.0, imTableView_->contentSize().height - 80)}, true);
}

void ChatViewController::chatTabBarBeginingEndEditing(ChatToolBar&) {
    if (rows().size() >= 3)
        imTableView_->scrollToRowAtIndexPath(ui::IndexPath::forRow(static_cast<int>(rows().size()) - 1, 0),
                                             ui::TableViewScrollPosition::Bottom, true);
}

// --- Decision poll --------------------------------------------------------------------------------

void ChatViewController::loadData() { poller_->poll(); }

void ChatViewController::accept(std::vector<PoliceDutyModel> records) {
    InsuranceCompany insurer = insurance;
    if (!insurance.inscomname || insurance.inscomname->empty()) {
        auto& state = UserDateSingleton::shareUserDateInstance();
        insurer.inscomcode = state.inscomcode();
        insurer.inscomname = state.inscomname();
        insurer.insphone = state.insphone();
        insurer.insreporttel = state.insreporttel();
    }
    onDecision(std::move(records), std::move(insurer));
}

// --- Voice playback -------------------------------------------------------------------------------

void ChatViewController::addObserveForVoiceIsPlayOrStop(ui::IndexPath indexPath) {
    if (playing_) {
        // A tap while a message plays only stops it.
        stopPlayback();
        return;
    }
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(rows().size())) return;
    auto message = rows()[indexPath.row].message();
    if (message->type != Message::Voice) return;
    const std::string& path = message->voicepath;
    if (message->source == Message::Other && !VoiceDownload::isWebURL(path) &&
        VoiceDownload::plainFileName(path) != path) {
        foundation::log("ChatViewController: the voice address " + path + " is not played");
        return;
    }
    const unsigned long long session = ++playSession_;
    playbackListener_ = std::make_shared<PlaybackListener>(
        foundation::weakBind(this, [session](const auto& self) { self->playbackEnded(session); }));
    record_ = std::make_shared<SoundRecording>();
    record_->setDelegate(playbackListener_);
    playing_ = message;
    reloadRow(indexPath.row);
    record_->playAudio(path);
}

void ChatViewController::playbackEnded(unsigned long long session) {
    if (session != playSession_ || !playing_) return;
    auto row = rowOf(playing_->serial);
    playing_.reset();
    if (row) reloadRow(*row);
}

void ChatViewController::stopPlayback() {
    ++playSession_;
    auto message = playing_;
    playing_.reset();
    if (record_) {
        record_->setDelegate({});
        record_->stopAudioPlay();
    }
    if (message)
        if (auto row = rowOf(message->serial)) reloadRow(*row);
}
