#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/View.h"

namespace driver {

// What the driver reads off a view.
namespace content {
// The text a view shows: a label's, a text field's or text view's text, a button's current
// title; for other views what they describe of themselves (empty when nothing).
std::string text(const ui::View& view);
// A button's current title, an alert's or action sheet's title.
std::string title(const ui::View& view);
// A text field's placeholder.
std::string placeholder(const ui::View& view);
// The name of the image shown: an image view's, a button's image or else background image.
std::string imageName(const ui::View& view);
// Whether an image name matches: equal, or equal once a directory, "@2x" and the extension
// are taken off both ("back" matches "back.png" and "images/back@2x.png").
bool imageNameMatches(const std::string& shown, const std::string& wanted);
// An image name as a screen names it: without directory, "@2x"/"@3x" and extension.
std::string imageStem(const std::string& name);
// Every non-empty text, title, placeholder and image name of the view.
std::vector<std::string> all(const ui::View& view);
}  // namespace content

// Which views to find. Every condition that is set must hold. By default only views a
// person can see count: shown (neither they nor an ancestor hidden or transparent), inside
// the screen and their clipping ancestors, and not wholly covered by an opaque view in front.
struct ViewQuery {
    std::optional<std::string> className;    // the view's className() exactly
    std::optional<std::string> text;         // content::text
    std::optional<std::string> title;        // content::title
    std::optional<std::string> placeholder;  // content::placeholder
    std::optional<std::string> imageName;    // content::imageName (see imageNameMatches)
    // Any of text, title, placeholder or image name (what the simulator's "tap TEXT" means).
    std::optional<std::string> anyContent;
    std::optional<int> tag;
    // Text conditions match a part of the view's text instead of all of it.
    bool substring = false;
    // Controls only (buttons, text fields, switches...).
    bool controlsOnly = false;
    // Every view in every window, shown or not.
    bool includeHidden = false;
    // Only views inside this one (itself included).
    std::shared_ptr<ui::View> within;
    // A further condition.
    std::function<bool(const ui::View&)> where;

    static ViewQuery byClass(std::string name) { ViewQuery q; q.className = std::move(name); return q; }
    static ViewQuery byText(std::string text) { ViewQuery q; q.text = std::move(text); return q; }
    static ViewQuery byTitle(std::string title) { ViewQuery q; q.title = std::move(title); return q; }
    static ViewQuery byPlaceholder(std::string p) { ViewQuery q; q.placeholder = std::move(p); return q; }
    static ViewQuery byImageName(std::string name) { ViewQuery q; q.imageName = std::move(name); return q; }
    static ViewQuery byContent(std::string any) { ViewQuery q; q.anyContent = std::move(any); return q; }
    static ViewQuery byTag(int tag) { ViewQuery q; q.tag = tag; return q; }
    static ViewQuery any() { return {}; }

    ViewQuery& all() { includeHidden = true; return *this; }
    ViewQuery& controls() { controlsOnly = true; return *this; }
    ViewQuery& containing() { substring = true; return *this; }
    ViewQuery& inside(std::shared_ptr<ui::View> view) { within = std::move(view); return *this; }

    // Whether the view itself satisfies the conditions (visibility and `within` aside).
    bool matches(const ui::View& view) const;
    // "a visible control with text "确定"" (for messages).
    std::string describe() const;
};

}  // namespace driver
