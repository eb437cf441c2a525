#include "core/ViewExtension.h"

void ViewExtension::setHeight(const std::shared_ptr<ui::View>& view, double height) {
    if (!view) return;
    auto frame = view->frame();
    frame.size.height = height;
    view->setFrame(frame);
}

void ViewExtension::setY(const std::shared_ptr<ui::View>& view, double y) {
    if (!view) return;
    auto frame = view->frame();
    frame.origin.y = y;
    view->setFrame(frame);
}
