#pragma once
#include <memory>
#include <vector>

#include "liability/chat/ChatViewController.h"

// A look inside the case chat for its tests.
class ChatTestAPI {
public:
    static std::vector<std::shared_ptr<Message>> messages(const ChatViewController& chat) {
        std::vector<std::shared_ptr<Message>> out;
        for (const auto& frame : chat.rows()) out.push_back(frame.message());
        return out;
    }
    static const std::vector<MessageFrame>& frames(const ChatViewController& chat) { return chat.rows(); }
    static bool timerRunning(const ChatViewController& chat) { return chat.poller_->isRunning(); }
    static std::shared_ptr<Message> playing(const ChatViewController& chat) { return chat.playing_; }
    static std::shared_ptr<SoundRecording> record(const ChatViewController& chat) { return chat.record_; }
    static std::shared_ptr<ChatToolBar> toolBar(const ChatViewController& chat) { return chat.toolBar_; }
    static std::shared_ptr<ui::ImageView> voiceIcon(const ChatTableViewCell& cell) { return cell.animationImageView_; }
    static bool spinnerShown(const ChatTableViewCell& cell) { return !cell.showActivityView_->isHidden(); }
    static bool failureShown(const ChatTableViewCell& cell) { return !cell.showFailImageView_->isHidden(); }
    static std::shared_ptr<ui::ImageView> bubble(const ChatTableViewCell& cell) { return cell.backImageView_; }
    static std::shared_ptr<ui::ImageView> avatar(const ChatTableViewCell& cell) { return cell.headImageView_; }
};
