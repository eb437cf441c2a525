#pragma once
#include <memory>

#include "platform/ui/View.h"

class ViewExtension {
public:
    // Changes only the frame's height.
    static void setHeight(const std::shared_ptr<ui::View>& view, double height);
    // Changes only the frame's vertical origin.
    static void setY(const std::shared_ptr<ui::View>& view, double y);
};
