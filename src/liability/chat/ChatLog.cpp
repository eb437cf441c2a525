#include "liability/chat/ChatLog.h"

#include <cmath>
#include <iterator>

#include "core/CaseInProgress.h"
#include "liability/chat/VoiceDownload.h"
#include "platform/foundation/MainThread.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Sandbox.h"
#include "platform/media/AudioPlayer.h"

ChatLog& ChatLog::shared() {
    static ChatLog log;
    return log;
}

std::vector<MessageFrame>& ChatLog::rows(const std::string& accidentno) {
    foundation::assertMainThread("the chat log");
    return rows_[accidentno];
}

void ChatLog::add(const std::string& accidentno, std::shared_ptr<Message> message) {
    rows(accidentno).emplace_back(std::move(message));
    foundation::NotificationCenter::defaultCenter().post(kAddedNotification, nullptr, {{"accidentno", accidentno}});
}

bool ChatLog::receive(const OtherMessages& other) {
    const bool hadCase = CaseInProgress::accidentno().has_value();
    const bool belongs = CaseInProgress::adopt(other.accidentno);
    auto number = other.accidentno.empty() ? CaseInProgress::accidentno().value_or("") : other.accidentno;
    if (!hadCase && !number.empty()) {
        // The case is known now: what was written before it was goes with it.
        auto& unnamed = rows("");
        auto& named = rows(number);
        named.insert(named.begin(), std::make_move_iterator(unnamed.begin()), std::make_move_iterator(unnamed.end()));
        unnamed.clear();
    }
    auto message = other.message();
    add(number, message);
    if (message->type == Message::Voice && VoiceDownload::isWebURL(message->voicepath) &&
        !VoiceDownload::storedCopy(message->voicepath)) {
        std::weak_ptr<Message> weak = message;
        VoiceDownload::fetch(message->voicepath, [this, weak, number](const std::optional<std::filesystem::path>& file) {
            auto voice = weak.lock();
            auto bytes = voice && file ? foundation::files::read(*file) : std::nullopt;
            if (!bytes) return;
            auto info = media::AudioPlayer::decodeMP3(*bytes);
            if (!info.decodable || voice->voiceLength > 0) return;
            voice->voiceLength = static_cast<int64_t>(std::lround(info.duration));
            for (auto& row : rows(number))
                if (row.message() == voice) row.setMessage(voice);  // the bubble grows with the length
            foundation::NotificationCenter::defaultCenter().post(
                kLengthNotification, nullptr, {{"accidentno", number}, {"serial", voice->serial}});
        });
    }
    return belongs;
}

void ChatLog::reset() {
    foundation::assertMainThread("the chat log");
    rows_.clear();
}
