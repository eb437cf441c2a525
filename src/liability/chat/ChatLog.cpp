#include "liability/chat/ChatLog.h"

#include <iterator>

#include "core/CaseInProgress.h"
#include "platform/foundation/MainThread.h"
#include "platform/foundation/NotificationCenter.h"

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
    add(number, other.message());
    return belongs;
}

void ChatLog::reset() {
    foundation::assertMainThread("the chat log");
    rows_.clear();
}
