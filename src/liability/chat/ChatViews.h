#pragma once
#include <memory>
#include <optional>
#include <string>

#include "liability/chat/ChatMessage.h"
#include "liability/chat/SoundRecording.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/IndexPath.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextView.h"
#include "platform/foundation/NotificationCenter.h"

class ChatToolBar;

// What the chat's input bar tells the chat screen.
class ChatTabBarDelegate {
public:
    virtual ~ChatTabBarDelegate() = default;
    virtual void chatTabBarSendMessageWithText(ChatToolBar& bar, const std::string& text) = 0;
    virtual void chatTabBarSendMessageWithVoice(ChatToolBar& bar, const std::string& mp3Path, double recordTime) = 0;
    virtual void chatTabBarBeginingEditing(ChatToolBar& bar) = 0;
    virtual void chatTabBarBeginingEndEditing(ChatToolBar& bar) = 0;
};

// The 44-point input bar at the foot of the chat: a switch between typing (a text view whose
// Send key sends) and hold-to-talk ("摁住我说话": recording while the finger is down; releasing
// on the button sends, leaving it, releasing outside or a cancelled touch (a call) drops the
// recording). Every way the touch ends removes the level overlay. While the keyboard is up the
// bar rides on top of it, so what is typed can be seen; it goes back down with the keyboard.
class ChatToolBar : public ui::View, public ui::TextViewDelegate, public SoundRecordingDelegate {
public:
    static constexpr const char* kTalkTitle = "摁住我说话";
    static constexpr int64_t kLongestRecording = 60;

    explicit ChatToolBar(ui::Rect frame);
    ~ChatToolBar() override;
    std::string className() const override { return "ChatToolBar"; }
    void didMoveToSuperview() override;

    void setDelegate(std::weak_ptr<ChatTabBarDelegate> delegate) { delegate_ = std::move(delegate); }

    void voiceAndBoardButton();
    void voiceButtonTouchDownAction();
    void voiceButtonAction();
    void voiceButtonTouchDragExit();

    void textViewDidBeginEditing(ui::TextView& view) override;
    bool shouldChangeTextInRange(ui::TextView& view, ui::TextRange range, const std::string& replacement) override;
    void soundrecording(SoundRecording& recorder, const std::string& mp3Path, double recordTime) override;
    void soundrecordingFailed(SoundRecording& recorder, const std::string& mp3Path, double recordTime,
                              const std::string& reason) override;

private:
    friend class ChatTestAPI;
    void build();
    void keyboardWillHide();
    void keyboardWillChangeFrame(const nlohmann::json& userInfo);

    std::weak_ptr<ChatTabBarDelegate> delegate_;
    std::optional<double> restingY_;   // where the bar sits without the keyboard
    std::shared_ptr<ui::Button> switchButton_;
    std::shared_ptr<ui::TextView> showMessageView_;
    std::shared_ptr<ui::Button> showVoiceButton_;
    std::shared_ptr<SoundRecording> soundRecording_;
    bool built_ = false;
};

// What a voice cell tells the chat: its voice bubble was tapped.
class ChatTableViewCellDelegate {
public:
    virtual ~ChatTableViewCellDelegate() = default;
    virtual void addObserveForVoiceIsPlayOrStop(ui::IndexPath indexPath) = 0;
};

// One message row: the avatar, the bubble with the text or the voice (icon, time, a button
// over the bubble), the spinner while sending and the failure icon. Cells are reused: each
// layout builds the bubble's content anew and sets every state.
class ChatTableViewCell : public ui::TableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "cell";

    explicit ChatTableViewCell(const std::string& reuseIdentifier = kReuseIdentifier);
    std::string className() const override { return "ChatTableViewCell"; }

    // `role` is the other side ("policeman", "insuranceman"); `playing` whether this row's
    // voice is the one being played.
    void layoutSubviewsWithMessageFrame(const MessageFrame& frame, ui::IndexPath indexPath, const std::string& role,
                                        bool playing);
    void setDelegate(std::weak_ptr<ChatTableViewCellDelegate> delegate) { delegate_ = std::move(delegate); }
    void voiceButtonAction();

    // Rows never show a selection.
    void setSelected(bool) override {}
    void setSelected(bool, bool) override {}
    void setHighlighted(bool) override {}
    void setHighlighted(bool, bool) override {}

private:
    friend class ChatTestAPI;
    void addContent(Message& message, double bw, double bh, bool playing);

    std::shared_ptr<ui::ImageView> headImageView_;
    std::shared_ptr<ui::ImageView> backImageView_;
    std::shared_ptr<ui::ActivityIndicatorView> showActivityView_;
    std::shared_ptr<ui::ImageView> showFailImageView_;
    std::shared_ptr<ui::ImageView> animationImageView_;
    std::shared_ptr<Message> showMessages_;
    ui::IndexPath indexPath_;
    std::weak_ptr<ChatTableViewCellDelegate> delegate_;
};
