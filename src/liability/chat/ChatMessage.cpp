#include "liability/chat/ChatMessage.h"

#include <algorithm>
#include <atomic>

#include "core/TextValues.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Screen.h"

namespace {

std::atomic<uint64_t> nextSerial{1};

// The integer value of a text: leading blanks, a sign and digits; 0 when there are none.
long long integerValue(const std::string& text) {
    try {
        size_t used = 0;
        return std::stoll(text, &used);
    } catch (...) {
        return 0;
    }
}

}  // namespace

Message::Message() : serial(nextSerial++) {}

std::string voiceCaption(const Message& message) {
    std::string caption;
    if (message.voiceLength > 0) caption = std::to_string(std::min<int64_t>(message.voiceLength, 600)) + "″";
    if (!message.time.empty()) caption += (caption.empty() ? "" : " ") + message.time;
    return caption;
}

void MessageFrame::setMessage(std::shared_ptr<Message> message) {
    message_ = std::move(message);
    if (!message_) return;
    const double width = ui::Screen::mainScreen().bounds().width();
    const bool own = message_->source == Message::Own;
    iconF_ = ui::Rect(own ? width - 10 - 40 : 10, 10, 40, 40);

    double w = 0, h = 0;
    if (message_->type == Message::Voice) {
        // One point per second of recording, within the recorder's minute.
        w = static_cast<double>(std::clamp<int64_t>(message_->voiceLength, 0, 600)) + 40;
        // Never narrower than its caption needs (the length, and "刚刚" beside it).
        auto caption =
            graphics::measureText(voiceCaption(*message_), graphics::Font::systemFont(kVoiceCaptionFontSize), 0);
        w = std::max(w, caption.width + kVoiceBubbleRoom - 40);
        h = 20;
    } else {
        auto size = graphics::measureText(message_->content, graphics::Font::systemFont(kTextFontSize), kTextWrapWidth);
        w = std::min(size.width, kTextWrapWidth);
        h = size.height;
    }
    const double bubbleWidth = w + 40;
    const double bubbleHeight = h + 25;
    const double x = own ? iconF_.x() - 10 - bubbleWidth : iconF_.maxX() + 10;
    contentF_ = ui::Rect(x, iconF_.y(), bubbleWidth, bubbleHeight);
    cellHeight_ = std::max(std::max(contentF_.maxY(), iconF_.maxY()) + 10, kMinimumRowHeight);
}

std::optional<OtherMessages> OtherMessages::fromPush(const nlohmann::json& content) {
    if (!content.is_object()) return std::nullopt;
    OtherMessages other;
    other.accidentno = TextValues::replyText(content, "accidentno").value_or("");
    other.msgid = TextValues::replyText(content, "msgid").value_or("");
    other.from = TextValues::replyText(content, "from").value_or("");
    other.type = TextValues::replyText(content, "type").value_or("");
    other.content = TextValues::replyText(content, "content").value_or("");
    other.msgtype = TextValues::replyText(content, "msgtype").value_or("");
    return other;
}

std::shared_ptr<Message> OtherMessages::message() const {
    auto message = std::make_shared<Message>();
    if (integerValue(msgtype) != 0) {
        message->type = Message::Voice;
        message->voicepath = content;
    } else {
        message->type = Message::Text;
        message->content = content;
    }
    message->source = Message::Other;
    message->isSend = Message::Sent;
    return message;
}
