#include "platform/ui/BarButtonItem.h"

namespace ui {

BarButtonItem::BarButtonItem(const std::string& title, BarButtonItemStyle style, Action action)
    : title_(title), style_(style), action_(std::move(action)) {}

BarButtonItem::BarButtonItem(ImagePtr image, BarButtonItemStyle style, Action action)
    : image_(std::move(image)), style_(style), action_(std::move(action)) {}

BarButtonItem::BarButtonItem(std::shared_ptr<View> customView) : customView_(std::move(customView)) {}

void BarButtonItem::perform() {
    auto keep = weak_from_this().lock();
    if (!enabled_) return;
    auto a = action_;
    if (a) a();
}

}  // namespace ui
