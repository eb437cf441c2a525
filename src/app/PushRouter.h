#pragma once
#include <memory>

#include <nlohmann/json.hpp>

namespace ui {
class Window;
}

// Routes a push message by its "aps"/"key": the claim result opens the result prompt as the
// window's new root; "MSG" goes to the case chat (pushed over the police wait) or is posted for
// a chat on screen; "HANDLEPAPER" and "PHOTORESULT" do nothing; any other key opens the case
// notices as the new root. Payloads that do not have the expected shape are ignored (logged).
// A screen the push needs that is not built yet says so on the screen.
namespace PushRouter {

void route(const nlohmann::json& userInfo, const std::shared_ptr<ui::Window>& window);

}  // namespace PushRouter
