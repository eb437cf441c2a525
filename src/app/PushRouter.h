#pragma once
#include <memory>

#include <nlohmann/json.hpp>

namespace ui {
class Window;
}

// Routes a push message by its "aps"/"key": the claim result opens the result prompt and any
// key but "MSG", "HANDLEPAPER" and "PHOTORESULT" the case notices; while a case is in progress
// on screen (CaseRoad::isOnScreen) they lie over the driver's screen, else they become the window's
// new root. "MSG" is a chat message: over the police wait of its case it opens the case chat;
// anywhere else it is kept for its case's chat (ChatLog), which shows it when open or when it
// opens. "HANDLEPAPER" and "PHOTORESULT" do nothing. Payloads that do not have the expected
// shape are ignored (logged). A screen the push needs that is not built yet says so on the
// screen.
namespace PushRouter {

void route(const nlohmann::json& userInfo, const std::shared_ptr<ui::Window>& window);

}  // namespace PushRouter
