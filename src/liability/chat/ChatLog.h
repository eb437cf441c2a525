#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "liability/chat/ChatMessage.h"

// The case chats' messages, sent and received, kept by case number for the application's run,
// oldest first: the chat shows the messages of the case in progress whenever it opens, and a
// message pushed while no chat is shown waits here for it. Main thread only.
class ChatLog {
public:
    // Posted after a message is added; user info {"accidentno": the case it was added to}.
    static constexpr const char* kAddedNotification = "ChatLogAdded";
    // Posted when a received voice message's length became known (its MP3 arrived); user info
    // {"accidentno": its case, "serial": the message's serial}.
    static constexpr const char* kLengthNotification = "ChatLogVoiceLength";

    static ChatLog& shared();

    // The rows of case `accidentno` (an empty list when it has none).
    std::vector<MessageFrame>& rows(const std::string& accidentno);
    // Adds a message to the rows of case `accidentno`.
    void add(const std::string& accidentno, std::shared_ptr<Message> message);
    // A pushed message of the other side, added to the rows of its case. One without a case
    // number is taken as one of the case in progress; with no case in progress, the message's
    // case becomes it (CaseInProgress::adopt), bringing along what was written without a
    // case. A message of another case is kept for that case and logged, never shown in the
    // chat of the case in progress. True when it belongs to the case in progress.
    // The push does not say how long a voice message is: its MP3 is fetched as it arrives (the
    // play later uses that copy) and its length read from it.
    bool receive(const OtherMessages& other);
    // Forgets every message (tests).
    void reset();

private:
    ChatLog() = default;
    std::map<std::string, std::vector<MessageFrame>> rows_;
};
