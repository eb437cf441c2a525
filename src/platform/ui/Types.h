#pragma once
#include <memory>
#include <string>

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

namespace ui {

using Point = graphics::Point;
using Size = graphics::Size;
using Rect = graphics::Rect;
using EdgeInsets = graphics::EdgeInsets;
using AffineTransform = graphics::AffineTransform;
using Color = graphics::Color;
using Font = graphics::Font;
using Image = graphics::Image;
using ImagePtr = graphics::Image::Ptr;

class View;
class Window;
class ViewController;
class NavigationController;

using ViewPtr = std::shared_ptr<View>;

enum class TextAlignment { Left, Center, Right, Justified, Natural };

enum class LineBreakMode { WordWrapping, CharWrapping, Clipping, TruncatingHead, TruncatingTail, TruncatingMiddle };

// The tint of system buttons and bar items when none is set (iOS blue).
inline Color defaultTintColor() { return Color::rgbBytes(0, 122, 255); }

}  // namespace ui
