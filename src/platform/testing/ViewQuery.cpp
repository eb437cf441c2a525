#include "platform/testing/ViewQuery.h"

#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

namespace driver {

namespace content {

namespace {
bool isKnownKind(const ui::View& view) {
    return dynamic_cast<const ui::Label*>(&view) || dynamic_cast<const ui::Button*>(&view) ||
           dynamic_cast<const ui::TextField*>(&view) || dynamic_cast<const ui::TextView*>(&view) ||
           dynamic_cast<const ui::ImageView*>(&view) || dynamic_cast<const ui::AlertView*>(&view) ||
           dynamic_cast<const ui::ActionSheet*>(&view);
}

std::string stem(std::string name) {
    if (auto slash = name.find_last_of('/'); slash != std::string::npos) name = name.substr(slash + 1);
    if (auto dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) name = name.substr(0, dot);
    for (const char* suffix : {"@2x", "@3x"}) {
        std::string s = suffix;
        if (name.size() > s.size() && name.compare(name.size() - s.size(), s.size(), s) == 0) {
            name.resize(name.size() - s.size());
        }
    }
    return name;
}
}  // namespace

std::string text(const ui::View& view) {
    if (auto* label = dynamic_cast<const ui::Label*>(&view)) return label->text();
    if (auto* field = dynamic_cast<const ui::TextField*>(&view)) return field->text();
    if (auto* tv = dynamic_cast<const ui::TextView*>(&view)) return tv->text();
    if (auto* button = dynamic_cast<const ui::Button*>(&view)) return button->currentTitle();
    if (isKnownKind(view)) return "";
    return view.describeContent();
}

std::string title(const ui::View& view) {
    if (auto* button = dynamic_cast<const ui::Button*>(&view)) return button->currentTitle();
    if (auto* alert = dynamic_cast<const ui::AlertView*>(&view)) return alert->title();
    if (auto* sheet = dynamic_cast<const ui::ActionSheet*>(&view)) return sheet->title();
    return "";
}

std::string placeholder(const ui::View& view) {
    if (auto* field = dynamic_cast<const ui::TextField*>(&view)) return field->placeholder();
    return "";
}

std::string imageName(const ui::View& view) {
    if (auto* iv = dynamic_cast<const ui::ImageView*>(&view)) {
        auto image = iv->displayedImage();
        return image ? image->name() : "";
    }
    if (auto* button = dynamic_cast<const ui::Button*>(&view)) {
        if (auto image = button->currentImage(); image && !image->name().empty()) return image->name();
        if (auto bg = button->currentBackgroundImage(); bg && !bg->name().empty()) return bg->name();
    }
    return "";
}

std::string imageStem(const std::string& name) { return stem(name); }

bool imageNameMatches(const std::string& shown, const std::string& wanted) {
    if (shown.empty() || wanted.empty()) return false;
    return shown == wanted || stem(shown) == stem(wanted);
}

std::vector<std::string> all(const ui::View& view) {
    std::vector<std::string> out;
    auto add = [&](std::string s) {
        if (s.empty()) return;
        for (auto& o : out) {
            if (o == s) return;
        }
        out.push_back(std::move(s));
    };
    add(text(view));
    add(title(view));
    add(placeholder(view));
    add(imageName(view));
    if (auto* alert = dynamic_cast<const ui::AlertView*>(&view)) add(alert->message());
    return out;
}

}  // namespace content

namespace {
bool textMatches(const std::string& shown, const std::string& wanted, bool substring) {
    if (substring) return !wanted.empty() && shown.find(wanted) != std::string::npos;
    return shown == wanted;
}

std::string inQuotes(const std::string& s) { return "\"" + s + "\""; }
}  // namespace

bool ViewQuery::matches(const ui::View& view) const {
    if (className && view.className() != *className) return false;
    if (tag && view.tag() != *tag) return false;
    if (controlsOnly && !dynamic_cast<const ui::Control*>(&view)) return false;
    if (text && !textMatches(content::text(view), *text, substring)) return false;
    if (title && !textMatches(content::title(view), *title, substring)) return false;
    if (placeholder && !textMatches(content::placeholder(view), *placeholder, substring)) return false;
    if (imageName) {
        auto shown = content::imageName(view);
        if (!(substring ? textMatches(shown, *imageName, true) : content::imageNameMatches(shown, *imageName))) return false;
    }
    if (anyContent) {
        bool any = false;
        for (auto& s : content::all(view)) {
            if (textMatches(s, *anyContent, substring)) any = true;
        }
        if (!any && content::imageNameMatches(content::imageName(view), *anyContent)) any = true;
        if (!any) return false;
    }
    if (where && !where(view)) return false;
    return true;
}

std::string ViewQuery::describe() const {
    std::string s = includeHidden ? "a view" : "a visible view";
    if (controlsOnly) s = includeHidden ? "a control" : "a visible control";
    if (className) s += " of class " + *className;
    std::vector<std::string> conds;
    std::string how = substring ? " containing " : " ";
    if (text) conds.push_back("text" + how + inQuotes(*text));
    if (title) conds.push_back("title" + how + inQuotes(*title));
    if (placeholder) conds.push_back("placeholder" + how + inQuotes(*placeholder));
    if (imageName) conds.push_back("image" + how + inQuotes(*imageName));
    if (anyContent) conds.push_back("title, text or image" + how + inQuotes(*anyContent));
    if (tag) conds.push_back("tag " + std::to_string(*tag));
    if (where) conds.push_back("the extra condition");
    for (size_t i = 0; i < conds.size(); ++i) s += (i == 0 ? " with " : " and ") + conds[i];
    if (within) s += " inside " + within->className();
    return s;
}

}  // namespace driver
