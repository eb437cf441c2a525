#include "liability/chat/ChatViews.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/FileAccess.h"
#include "core/ShowTheWindow.h"
#include "liability/chat/VoiceDownload.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/Font.h"
#include "platform/media/AudioPlayer.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/Window.h"

namespace {

ui::Size imageSize(const std::string& name) {
    auto image = ui::Image::named(name);
    return image ? image->size() : ui::Size{40, 40};
}

// The current local time as "yyyyMMddHHmmss", the name of a new recording.
std::string recordingName() {
    std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local);
    return text;
}

// The bubble pictures' tail, on the speaker's side, and the room between a bubble's edge and
// what it holds.
constexpr double kBubbleTail = 7;
constexpr double kBubbleMargin = 12;

// Caps that keep a bubble picture's corners and tail and stretch the one row and column at the
// cap (the rest of the picture beyond it is kept as it is).
ui::EdgeInsets bubbleCaps(ui::Size picture, double left, double top) {
    return {top, left, std::max(0.0, picture.height - top - 1), std::max(0.0, picture.width - left - 1)};
}

// The seconds of a received voice message once its MP3 is here (fetched by an earlier play);
// 0 while it is not, or when it does not decode.
int64_t receivedVoiceLength(const Message& message) {
    std::optional<std::filesystem::path> file;
    if (VoiceDownload::isWebURL(message.voicepath)) file = VoiceDownload::storedCopy(message.voicepath);
    else if (auto name = VoiceDownload::plainFileName(message.voicepath); !name.empty() && name == message.voicepath)
        file = FileAccess::directory() / name;
    std::error_code error;
    if (!file || !std::filesystem::is_regular_file(*file, error) ||
        std::filesystem::file_size(*file, error) > static_cast<uintmax_t>(VoiceDownload::kMaximumBytes))
        return 0;
    std::ifstream in(*file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto info = media::AudioPlayer::decodeMP3(bytes);
    return info.decodable ? static_cast<int64_t>(std::lround(info.duration)) : 0;
}

}  // namespace

// --- Input bar -------------------------------------------------------------------------------------

ChatToolBar::ChatToolBar(ui::Rect frame) : ui::View(frame) {
    setBackgroundColor(ui::Color{0.94, 0.94, 0.94, 1});
    const double width = frame.width(), height = frame.height();

    switchButton_ = std::make_shared<ui::Button>(ui::ButtonType::Custom, ui::Rect(0, 0, 60, 44));
    switchButton_->setImage(ui::Image::named("keyboard.png"), ui::ControlStates::Normal);
    switchButton_->setImage(ui::Image::named("voice.png"), ui::ControlStates::Selected);
    ui::Size voice = imageSize("voice.png");
    switchButton_->setImageEdgeInsets({22 - voice.height / 4, 30 - voice.width / 4, 22 - voice.height / 4,
                                       30 - voice.width / 4});
    switchButton_->setSelected(false);
    switchButton_->addTarget([this] { voiceAndBoardButton(); }, ui::ControlEvent::TouchUpInside, this);
    addSubview(switchButton_);

    ui::Rect inputFrame(switchButton_->frame().maxX(), height / 2 - 20, width - switchButton_->frame().maxX() - 10, 40);
    showMessageView_ = std::make_shared<ui::TextView>(inputFrame);
    showMessageView_->layer().borderWidth = 1;
    showMessageView_->layer().borderColor = ui::Color{0, 0.48, 1, 1};
    showMessageView_->layer().cornerRadius = 4;
    showMessageView_->setFont(graphics::Font::systemFont(15));
    showMessageView_->setReturnKeyType(ui::ReturnKeyType::Send);
    addSubview(showMessageView_);

    showVoiceButton_ = std::make_shared<ui::Button>(ui::ButtonType::Custom, inputFrame);
    showVoiceButton_->layer().borderWidth = 1;
    showVoiceButton_->layer().borderColor = ui::Color::black();
    showVoiceButton_->layer().cornerRadius = 4;
    showVoiceButton_->setClipsToBounds(true);
    showVoiceButton_->setTitle(kTalkTitle);
    showVoiceButton_->setTitleColor(ui::Color::black());
    showVoiceButton_->addTarget([this] { voiceButtonTouchDownAction(); }, ui::ControlEvent::TouchDown, this);
    showVoiceButton_->addTarget([this] { voiceButtonAction(); }, ui::ControlEvent::TouchUpInside, this);
    // Leaving the button, releasing outside it and a cancelled touch (a call) all drop the take.
    showVoiceButton_->addTarget([this] { voiceButtonTouchDragExit(); },
                                ui::ControlEvent::TouchDragExit | ui::ControlEvent::TouchUpOutside |
                                    ui::ControlEvent::TouchCancel,
                                this);
    showVoiceButton_->setHidden(true);
    addSubview(showVoiceButton_);

    foundation::NotificationCenter::defaultCenter().addObserver(
        ui::KeyboardWillHideNotification, [this](const foundation::Notification&) { keyboardWillHide(); }, this);
    foundation::NotificationCenter::defaultCenter().addObserver(
        ui::KeyboardWillChangeFrameNotification,
        [this](const foundation::Notification& note) { keyboardWillChangeFrame(note.userInfo); }, this);
}

ChatToolBar::~ChatToolBar() {
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
    if (soundRecording_) {
        soundRecording_->setAudioName("");
        if (soundRecording_->recorder() && soundRecording_->recorder()->isRecording()) soundRecording_->stopRecorder();
    }
}

void ChatToolBar::didMoveToSuperview() {
    ui::View::didMoveToSuperview();
    if (built_) return;
    built_ = true;
    showMessageView_->setDelegate(sharedAs<ChatToolBar>());
}

void ChatToolBar::voiceAndBoardButton() {
    if (switchButton_->isSelected()) {
        switchButton_->setSelected(false);
        showVoiceButton_->setHidden(true);
        showMessageView_->setHidden(false);
        showMessageView_->becomeFirstResponder();
    } else {
        switchButton_->setSelected(true);
        endEditing(true);
        showVoiceButton_->setHidden(false);
        showMessageView_->setHidden(true);
    }
}

void ChatToolBar::textViewDidBeginEditing(ui::TextView&) {
    if (auto delegate = delegate_.lock()) delegate->chatTabBarBeginingEditing(*this);
}

bool ChatToolBar::shouldChangeTextInRange(ui::TextView& view, ui::TextRange, const std::string& replacement) {
    if (replacement != "\n") return true;
    std::string text = view.text();
    view.setText("");
    if (auto delegate = delegate_.lock()) delegate->chatTabBarSendMessageWithText(*this, text);
    return false;
}

void ChatToolBar::keyboardWillHide() {
    if (!built_) return;
    if (auto delegate = delegate_.lock()) delegate->chatTabBarBeginingEndEditing(*this);
}

void ChatToolBar::keyboardWillChangeFrame(const nlohmann::json& userInfo) {
    auto parent = superview();
    auto win = window();
    if (!parent || !win || !userInfo.is_object() || !userInfo.contains("frame")) return;
    const auto& f = userInfo["frame"];
    if (!f.is_object() || !f.value("y", nlohmann::json()).is_number()) return;
    if (!restingY_) restingY_ = frame().y();
    // The keyboard's top edge in the bar's superview (the keyboard's frame is the screen's).
    double keyboardTop = f["y"].get<double>() - win->frame().y();
    keyboardTop = parent->convertPointFromView({0, keyboardTop}, nullptr).y;
    ui::Rect bar = frame();
    bar.origin.y = std::min(*restingY_, keyboardTop - bar.height());
    setFrame(bar);
}

void ChatToolBar::voiceButtonTouchDownAction() {
    if (!soundRecording_) {
        soundRecording_ = std::make_shared<SoundRecording>();
        soundRecording_->setDelegate(std::static_pointer_cast<SoundRecordingDelegate>(sharedAs<ChatToolBar>()));
    }
    if (!soundRecording_->startRecorder(kLongestRecording, recordingName()))
        foundation::log("ChatToolBar: the recorder did not start");
}

void ChatToolBar::voiceButtonAction() {
    if (soundRecording_ && soundRecording_->recorder() && soundRecording_->recorder()->isRecording())
        soundRecording_->stopRecorder();
    ShowTheWindow::removeTheWindow();
}

void ChatToolBar::voiceButtonTouchDragExit() {
    if (soundRecording_) {
        soundRecording_->setAudioName("");
        if (soundRecording_->recorder() && soundRecording_->recorder()->isRecording()) soundRecording_->stopRecorder();
    }
    ShowTheWindow::removeTheWindow();
}

void ChatToolBar::soundrecording(SoundRecording&, const std::string& mp3Path, double recordTime) {
    if (auto delegate = delegate_.lock()) delegate->chatTabBarSendMessageWithVoice(*this, mp3Path, recordTime);
}

void ChatToolBar::soundrecordingFailed(SoundRecording&, const std::string& mp3Path, double recordTime,
                                       const std::string& reason) {
    // The take is still the driver's message: without its MP3 the chat shows it as failed.
    foundation::log("ChatToolBar: the recording could not be converted: " + reason);
    if (auto delegate = delegate_.lock()) delegate->chatTabBarSendMessageWithVoice(*this, mp3Path, recordTime);
}

// --- Message cell ----------------------------------------------------------------------------------

ChatTableViewCell::ChatTableViewCell(const std::string& reuseIdentifier)
    : ui::TableViewCell(ui::TableViewCellStyle::Default, reuseIdentifier) {
    setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    setBackgroundColor(ui::Color::clear());
    headImageView_ = std::make_shared<ui::ImageView>(ui::Rect(10, 10, 40, 40));
    contentView()->addSubview(headImageView_);
    backImageView_ = std::make_shared<ui::ImageView>(ui::Rect(0, 10, 40, 40));
    backImageView_->setUserInteractionEnabled(true);
    contentView()->addSubview(backImageView_);
    showActivityView_ = std::make_shared<ui::ActivityIndicatorView>(ui::Rect(0, 0, 20, 20));
    showActivityView_->setStyle(ui::ActivityIndicatorViewStyle::Gray);
    showActivityView_->setHidesWhenStopped(true);
    contentView()->addSubview(showActivityView_);
    showFailImageView_ = std::make_shared<ui::ImageView>(ui::Rect(0, 0, 20, 20));
    showFailImageView_->setImage(ui::Image::named("faileIcon.png"));
    showFailImageView_->setHidden(true);
    contentView()->addSubview(showFailImageView_);
}

void ChatTableViewCell::layoutSubviewsWithMessageFrame(const MessageFrame& frame, ui::IndexPath indexPath,
                                                       const std::string& role, bool playing) {
    indexPath_ = indexPath;
    auto content = backImageView_->subviews();
    for (auto& view : content) view->removeFromSuperview();
    animationImageView_.reset();
    showMessages_ = frame.message();
    if (!showMessages_) return;
    Message& message = *showMessages_;
    const double width = ui::Screen::mainScreen().bounds().width();
    const double bw = frame.contentF().width(), bh = frame.contentF().height();

    if (message.source == Message::Own) {
        headImageView_->setFrame({width - 10 - 40, 10, 40, 40});
        headImageView_->setImage(ui::Image::named("carowner.png"));
        ui::Size bubble = imageSize("chat_right.png");
        backImageView_->setImage(ui::Image::named("chat_right.png"));
        backImageView_->setCapInsets(bubbleCaps(bubble, 5, static_cast<int>(bubble.height * 3 / 4)));
        backImageView_->setFrame({headImageView_->frame().x() - bw - 10, 10, bw, bh});
        ui::Rect mark(backImageView_->frame().x() - 20, backImageView_->frame().y(), 20, 20);
        showActivityView_->setFrame(mark);
        showFailImageView_->setFrame(mark);
    } else {
        headImageView_->setFrame({10, 10, 40, 40});
        if (role == "insuranceman") headImageView_->setImage(ui::Image::named("insuranceimage.png"));
        else if (role == "policeman") headImageView_->setImage(ui::Image::named("policeimage.png"));
        ui::Size bubble = imageSize("chat_left.png");
        backImageView_->setImage(ui::Image::named("chat_left.png"));
        backImageView_->setCapInsets(
            bubbleCaps(bubble, static_cast<int>(bubble.width / 2), static_cast<int>(bubble.height * 3 / 4)));
        backImageView_->setFrame({headImageView_->frame().maxX() + 10, 10, bw, bh});
        ui::Rect mark(backImageView_->frame().maxX(), backImageView_->frame().y(), 20, 20);
        showActivityView_->setFrame(mark);
        showFailImageView_->setFrame(mark);
    }

    addContent(message, bw, bh, playing);

    switch (message.isSend) {
    case Message::Sending:
        showActivityView_->setHidden(false);
        showActivityView_->startAnimating();
        showFailImageView_->setHidden(true);
        break;
    case Message::Failed:
        showActivityView_->stopAnimating();
        showActivityView_->setHidden(true);
        showFailImageView_->setHidden(false);
        break;
    default:
        // Sent, received, or a state no message has: neither mark.
        showActivityView_->stopAnimating();
        showActivityView_->setHidden(true);
        showFailImageView_->setHidden(true);
        break;
    }
}

void ChatTableViewCell::addContent(Message& message, double bw, double bh, bool playing) {
    const bool own = message.source == Message::Own;
    if (message.type != Message::Voice) {
        // Clear of the tail on the speaker's side.
        auto label =
            std::make_shared<ui::Label>(ui::Rect(own ? 15 : 15 + kBubbleTail, 10, bw - 20 - kBubbleTail, bh - 20));
        label->setNumberOfLines(0);
        label->setFont(graphics::Font::systemFont(15));
        label->setTextColor(ui::Color::black());
        label->setBackgroundColor(ui::Color::clear());
        label->setText(message.content);
        backImageView_->addSubview(label);
        return;
    }
    if (!own && message.voiceLength <= 0) message.voiceLength = receivedVoiceLength(message);
    ui::Size icon = imageSize("voice_1.png");
    const double iconX = own ? bw - kBubbleTail - 10 - icon.width / 2 : kBubbleTail + 10;
    auto voice =
        std::make_shared<ui::ImageView>(ui::Rect(iconX, bh / 2 - icon.height / 4, icon.width / 2, icon.height / 2));
    voice->setBackgroundColor(ui::Color::clear());
    const std::string side = own ? "rightvoice_" : "leftvoice_";
    voice->setImage(ui::Image::named(side + "3.png"));
    std::vector<ui::ImagePtr> frames;
    for (int i = 1; i <= 3; ++i)
        if (auto image = ui::Image::named(side + std::to_string(i) + ".png")) frames.push_back(image);
    voice->setAnimationImages(std::move(frames));
    voice->setAnimationDuration(2.0);

    // The length and the time fill the side opposite the icon, inside the bubble's margin.
    const double captionX = own ? kBubbleMargin : iconX + icon.width / 2 + 6;
    const double captionEnd = own ? iconX - 6 : bw - kBubbleMargin;
    auto time = std::make_shared<ui::Label>(ui::Rect(captionX, 0, std::max(0.0, captionEnd - captionX), bh));
    time->setTextAlignment(own ? ui::TextAlignment::Left : ui::TextAlignment::Right);
    time->setFont(graphics::Font::systemFont(MessageFrame::kVoiceCaptionFontSize));
    time->setTextColor(ui::Color{0.2, 0.2, 0.2, 1});
    time->setAdjustsFontSizeToFitWidth(true);
    time->setText(voiceCaption(message));
    backImageView_->addSubview(time);

    auto button = std::make_shared<ui::Button>(ui::ButtonType::Custom, ui::Rect(0, 0, bw, bh));
    button->setBackgroundColor(ui::Color::clear());
    button->addSubview(voice);
    button->addTarget([this] { voiceButtonAction(); }, ui::ControlEvent::TouchUpInside, this);
    backImageView_->addSubview(button);
    animationImageView_ = voice;
    if (playing) voice->startAnimating();
}

void ChatTableViewCell::voiceButtonAction() {
    // The chat decides what plays and lays the rows out again with their animation.
    if (auto delegate = delegate_.lock()) delegate->addObserveForVoiceIsPlayOrStop(indexPath_);
}
