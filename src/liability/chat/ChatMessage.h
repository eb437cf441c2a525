#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/ui/Types.h"

// One chat message as the chat screen and its cells see it. Each message has an identity of its
// own (`serial`), by which the reply of its send finds it again whatever came in between.
struct Message {
    enum Type { Text = 0, Voice = 1 };
    enum Source { Own = 0, Other = 1 };
    enum SendState { Sending = 0, Sent = 1, Failed = 2 };

    Message();

    std::string time;       // display time of an own message ("刚刚"); empty for received ones
    std::string content;    // the text of a text message
    int type = Text;
    int source = Own;
    int64_t voiceLength = 0;  // seconds of an own voice message
    std::string voicepath;    // own: the MP3's file name; received: the pushed URL or name
    int isSend = Sent;
    const uint64_t serial;
};

// What a voice message's bubble says beside its icon: its length in seconds (as 5″) when it is
// known, then its display time ("刚刚") when it has one.
std::string voiceCaption(const Message& message);

// The geometry of one message row, computed once when the message is set.
class MessageFrame {
public:
    // Voice bubbles: the caption's font size, and the room the icon and the bubble's edges take
    // besides the caption, so that the caption always fits inside the bubble.
    static constexpr double kVoiceCaptionFontSize = 15;
    static constexpr double kVoiceBubbleRoom = 60;
    static constexpr double kMinimumRowHeight = 44;
    static constexpr double kTextFontSize = 18;
    static constexpr double kTextWrapWidth = 180;

    MessageFrame() = default;
    explicit MessageFrame(std::shared_ptr<Message> message) { setMessage(std::move(message)); }

    void setMessage(std::shared_ptr<Message> message);
    const std::shared_ptr<Message>& message() const { return message_; }
    ui::Rect iconF() const { return iconF_; }
    ui::Rect contentF() const { return contentF_; }
    double cellHeight() const { return cellHeight_; }

private:
    std::shared_ptr<Message> message_;
    ui::Rect iconF_;
    ui::Rect contentF_;
    double cellHeight_ = kMinimumRowHeight;
};

// A message the other side sent, as a "MSG" push carries it. Every field is text; a field that
// is missing or of another kind reads as empty text.
struct OtherMessages {
    std::string accidentno, msgid, from, type, content, msgtype;
    // nullopt when the push content is no dictionary.
    static std::optional<OtherMessages> fromPush(const nlohmann::json& content);
    // The message as the chat shows it: on the left, received; a "msgtype" whose integer value
    // is not 0 is a voice message whose "content" is its address.
    std::shared_ptr<Message> message() const;
};
