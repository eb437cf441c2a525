#pragma once
#include <map>
#include <memory>
#include <string>

#include "platform/ui/View.h"

namespace ui::layout {

using Views = std::map<std::string, std::shared_ptr<View>>;

// Places views inside `container` by a visual-format rule, the small subset the screens use:
//   "H:|-10-[button]-10-|"            inset 10 from both edges (the width follows)
//   "V:|-60-[button(44)]"              60 from the top, 44 high
//   "V:|-10-[a(100)]-20-[b(44)]"       a chain of views with gaps and fixed sizes
//   "H:|-10-[b(a)]-10-|"               b as wide as a
//   "V:|-20-[button]-0-|"              top and bottom insets
// A gap written "-" is 8 points; none is 0. Fixed sizes win over a trailing inset that
// cannot also be met. The rule is kept on the container and applied again whenever it lays
// out (so it follows size changes); it is also applied at once. Returns false for a rule it
// cannot read (and logs it), changing nothing.
bool addVisualFormat(View& container, const std::string& format, const Views& views);
// Applies a rule once without keeping it.
bool applyVisualFormat(View& container, const std::string& format, const Views& views);

// Frame helpers.
inline Rect insetRect(Rect bounds, EdgeInsets insets) { return bounds.inset(insets); }
// `count` equal widths side by side inside `bounds`, separated by `gap`.
Rect equalWidthSlot(Rect bounds, int count, int index, double gap = 0);

}  // namespace ui::layout
