#include "platform/testing/Driver.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "platform/foundation/Activity.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScreenRendering.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

namespace driver {

namespace {

std::string inQuotes(const std::string& s) { return "\"" + s + "\""; }

std::string escapedText(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\n') out += "\\n";
        else if (c == '"') out += "\\\"";
        else out += c;
    }
    return out;
}

std::string number(double v) {
    std::ostringstream os;
    if (std::fabs(v - std::round(v)) < 0.005) {
        os << static_cast<long long>(std::llround(v));
    } else {
        os.precision(1);
        os << std::fixed << v;
    }
    return os.str();
}

std::string pointText(ui::Point p) { return "(" + number(p.x) + "," + number(p.y) + ")"; }

std::string rectText(const ui::Rect& r) {
    return "(" + number(r.x()) + "," + number(r.y()) + "," + number(r.width()) + "," + number(r.height()) + ")";
}

// "Button "确定"" — a view named for messages.
std::string name(const std::shared_ptr<ui::View>& view) {
    if (!view) return "nothing";
    std::string s = view->className();
    auto contents = content::all(*view);
    if (!contents.empty()) {
        // An image name shows as the screen names it, as describeScreen shows it.
        bool isImage = contents.front() == content::imageName(*view);
        s += " " + inQuotes(isImage ? content::imageStem(contents.front()) : contents.front());
    }
    if (auto vc = view->viewController()) s += " <" + vc->className() + ">";
    return s;
}

// Where a view lies in a table: "row [1, 3]" of the cell it is in ("" outside tables).
std::string rowOf(const ui::View& view) {
    for (const ui::View* v = &view; v; v = v->superviewPointer()) {
        auto* cell = dynamic_cast<const ui::TableViewCell*>(v);
        if (!cell) continue;
        for (const ui::View* t = cell->superviewPointer(); t; t = t->superviewPointer()) {
            if (auto* table = dynamic_cast<const ui::TableView*>(t)) {
                auto path = const_cast<ui::TableView*>(table)->indexPathForCell(*cell);
                return path ? "row " + path->description() : "";
            }
        }
    }
    return "";
}

bool related(const std::shared_ptr<ui::View>& hit, const std::shared_ptr<ui::View>& view, bool acceptAncestor) {
    if (!hit || !view) return false;
    if (hit == view || hit->isDescendantOfView(view.get())) return true;
    return acceptAncestor && view->isDescendantOfView(hit.get());
}

bool isControl(const std::shared_ptr<ui::View>& view) {
    return dynamic_cast<const ui::Control*>(view.get()) != nullptr;
}

ui::Point middle(const ViewEntry& e) {
    if (e.visibleRect.isEmpty()) return e.screenRect.origin;
    return e.visibleRect.center();
}

const ui::Dialog* asDialog(const ui::View& view) { return dynamic_cast<const ui::Dialog*>(&view); }

// Dialogs show above the keyboard.
bool insideDialog(const ui::View* view) {
    for (; view; view = view->superviewPointer()) {
        if (asDialog(*view)) return true;
    }
    return false;
}

// Whether the keyboard, while it is up, lies over the screen point.
// (A point on its top edge lies above it.) Only for a driver whose keyboard takes touches.
bool underKeyboard(ui::Point p, bool keyboardTakesTouches) {
    if (!keyboardTakesTouches || !ui::Keyboard::isVisible()) return false;
    ui::Rect keyboard = ui::Keyboard::frame();
    return p.y > keyboard.y() && keyboard.contains(p);
}

bool reachable(const ViewEntry& e, bool keyboardTakesTouches) {
    if (underKeyboard(middle(e), keyboardTakesTouches) && !insideDialog(e.view.get())) return false;
    auto hit = ScreenSnapshot::hitTest(middle(e));
    return related(hit.view, e.view, !isControl(e.view));
}

bool isTextInput(const ui::View* v) {
    if (dynamic_cast<const ui::TextField*>(v)) return true;
    if (auto* tv = dynamic_cast<const ui::TextView*>(v)) return tv->isEditable();
    return false;
}

bool isButtonPart(const ui::View& view) {
    auto* button = dynamic_cast<const ui::Button*>(view.superviewPointer());
    if (!button) return false;
    return button->titleLabel().get() == &view || button->imageView().get() == &view;
}

// The front-most dialog shown over the view (drawn after it, the view not inside it).
std::shared_ptr<ui::View> dialogOver(const ScreenSnapshot& snap, const ViewEntry& target) {
    const auto& entries = snap.entries();
    for (auto it = entries.rbegin(); it != entries.rend() && it->order > target.order; ++it) {
        if (it->shown && it->inside && asDialog(*it->view) && target.order < it->order) {
            bool inside = target.order >= it->order && target.order <= it->subtreeEnd;
            if (!inside) return it->view;
        }
    }
    return nullptr;
}

void layOutWindows() {
    for (auto& w : ScreenSnapshot::windows(false)) w->layoutIfNeeded();
}

}  // namespace

// --- Finding -------------------------------------------------------------------------------

std::vector<std::shared_ptr<ui::View>> Driver::findAll(const ViewQuery& query) const {
    ScreenSnapshot snap;
    const ViewEntry* within = query.within ? snap.entryFor(query.within.get()) : nullptr;
    if (query.within && !within) return {};
    std::vector<const ViewEntry*> matches;
    for (auto& e : snap.entries()) {
        if (within && (e.order < within->order || e.order > within->subtreeEnd)) continue;
        if (!query.includeHidden && !e.visible()) continue;
        // A button's own title label and image view are the button's business.
        if (isButtonPart(*e.view)) continue;
        if (!query.matches(*e.view)) continue;
        // Inside an earlier match: the outer view stands for both.
        if (!matches.empty()) {
            bool inner = false;
            for (auto* m : matches) {
                if (e.order > m->order && e.order <= m->subtreeEnd) {
                    inner = true;
                    break;
                }
            }
            if (inner) continue;
        }
        matches.push_back(&e);
    }
    std::vector<std::shared_ptr<ui::View>> out;
    for (auto it = matches.rbegin(); it != matches.rend(); ++it) out.push_back((*it)->view);
    return out;
}

Found<ui::View> Driver::find(const ViewQuery& query) const {
    auto matches = findAll(query);
    if (!matches.empty()) {
        if (matches.size() == 1 || query.includeHidden) return matches.front();
        ScreenSnapshot snap;
        for (auto& m : matches) {
            if (auto* e = snap.entryFor(m.get()); e && reachable(*e, keyboardTakesTouches_)) return m;
        }
        return matches.front();
    }
    // Say why: a matching view that nobody sees, or what the screen shows instead.
    std::string msg = "no " + query.describe().substr(2) + " on the screen";
    if (!query.includeHidden) {
        ViewQuery all = query;
        all.includeHidden = true;
        auto hidden = findAll(all);
        if (!hidden.empty()) {
            ScreenSnapshot snap;
            auto* e = snap.entryFor(hidden.front().get());
            std::string why = !e ? "is in no window"
                              : !e->shown ? "is hidden"
                              : !e->inside ? "is outside the visible area"
                              : "is covered";
            msg += " (" + name(hidden.front()) + " " + why + ")";
        }
    }
    msg += "; top screen: " + (topScreenName().empty() ? std::string("none") : topScreenName());
    auto texts = visibleTexts();
    if (!texts.empty()) {
        msg += "; visible:";
        size_t n = 0;
        for (auto& t : texts) {
            if (n++ == 25) {
                msg += " ...";
                break;
            }
            msg += " " + inQuotes(t);
        }
    }
    return Found<ui::View>::failure(msg);
}

std::vector<std::shared_ptr<ui::View>> Driver::candidates(const std::string& text) const {
    auto inReadingOrder = [](std::vector<std::shared_ptr<ui::View>> views) {
        ScreenSnapshot snap;
        std::vector<std::pair<ui::Rect, std::shared_ptr<ui::View>>> placed;
        for (auto& v : views) {
            if (auto* e = snap.entryFor(v.get())) placed.emplace_back(e->visibleRect, v);
        }
        std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) {
            if (std::fabs(a.first.y() - b.first.y()) > 0.5) return a.first.y() < b.first.y();
            return a.first.x() < b.first.x();
        });
        std::vector<std::shared_ptr<ui::View>> out;
        for (auto& [rect, v] : placed) out.push_back(v);
        return out;
    };
    auto reachableOnly = [this](const std::vector<std::shared_ptr<ui::View>>& views) {
        ScreenSnapshot snap;
        std::vector<std::shared_ptr<ui::View>> out;
        for (auto& v : views) {
            if (auto* e = snap.entryFor(v.get()); e && reachable(*e, keyboardTakesTouches_)) out.push_back(v);
        }
        return out.empty() ? views : out;
    };
    auto controls = findAll(ViewQuery::byContent(text).controls());
    if (!controls.empty()) return inReadingOrder(reachableOnly(controls));
    // Views that are no controls mean the row they lie in: one candidate per row.
    std::vector<std::shared_ptr<ui::View>> views, seenRows;
    for (auto& v : findAll(ViewQuery::byContent(text))) {
        std::shared_ptr<ui::View> row;
        for (auto* u = v.get(); u && !row; u = u->superviewPointer()) {
            if (dynamic_cast<ui::TableViewCell*>(u)) row = u->sharedAs<ui::View>();
        }
        if (row && std::find(seenRows.begin(), seenRows.end(), row) != seenRows.end()) continue;
        if (row) seenRows.push_back(row);
        views.push_back(v);
    }
    return inReadingOrder(reachableOnly(views));
}

std::string Driver::describeCandidate(const ui::View& view) {
    ScreenSnapshot snap;
    std::string line = name(const_cast<ui::View&>(view).sharedAs<ui::View>());
    if (auto* e = snap.entryFor(&view)) line += " " + rectText(e->screenRect);
    if (auto row = rowOf(view); !row.empty()) line += " in " + row;
    return line;
}

bool Driver::isVisible(const std::shared_ptr<ui::View>& view) const {
    if (!view) return false;
    ScreenSnapshot snap;
    auto* e = snap.entryFor(view.get());
    return e && e->visible();
}

std::vector<std::string> Driver::visibleTexts() const {
    ScreenSnapshot snap;
    std::vector<std::string> out;
    auto& entries = snap.entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (!it->visible()) continue;
        for (auto& s : content::all(*it->view)) {
            if (std::find(out.begin(), out.end(), s) == out.end()) out.push_back(s);
        }
    }
    return out;
}

bool Driver::isOnScreen(const std::string& text) const {
    if (text.empty()) return false;
    for (auto& s : visibleTexts()) {
        if (s.find(text) != std::string::npos) return true;
    }
    return false;
}

std::vector<std::shared_ptr<ui::View>> Driver::textInputs() const {
    ScreenSnapshot snap;
    std::vector<const ViewEntry*> inputs;
    for (auto& e : snap.entries()) {
        if (e.visible() && isTextInput(e.view.get())) inputs.push_back(&e);
    }
    std::stable_sort(inputs.begin(), inputs.end(), [](const ViewEntry* a, const ViewEntry* b) {
        if (std::fabs(a->screenRect.y() - b->screenRect.y()) > 0.5) return a->screenRect.y() < b->screenRect.y();
        return a->screenRect.x() < b->screenRect.x();
    });
    std::vector<std::shared_ptr<ui::View>> out;
    for (auto* e : inputs) out.push_back(e->view);
    return out;
}

// --- Touches -------------------------------------------------------------------------------

Outcome Driver::tap(const std::shared_ptr<ui::View>& view) { return tapEntry(view, !isControl(view)); }

Outcome Driver::tapEntry(const std::shared_ptr<ui::View>& view, bool acceptAncestor) {
    if (!view) return Outcome::failure("no view to tap");
    settle();
    ScreenSnapshot snap;
    auto* e = snap.entryFor(view.get());
    if (!e) return Outcome::failure(name(view) + " is not on the screen (in no window)");
    if (!e->shown) return Outcome::failure(name(view) + " is hidden");
    if (!e->inside) return Outcome::failure(name(view) + " is outside the visible part of the screen");
    ui::Point p = middle(*e);
    const std::string before = name(view);  // as it was named before the touch changed it
    if (auto dialog = dialogOver(snap, *e)) {
        return Outcome::failure(name(view) + " is covered by the " + describeDialog(*dialog) + "; answer it first");
    }
    if (underKeyboard(p, keyboardTakesTouches_) && !insideDialog(view.get())) {
        return Outcome::failure(
            name(view) + " lies under the keyboard: a finger at " + pointText(p) +
            " would press a key; put the keyboard away first (return, or a tap on an empty place above it)");
    }
    auto down = touchDown(p);
    if (!down) return Outcome::failure("tapping " + name(view) + ": " + down.error());
    auto hit = down.view();
    auto up = touchUp(p);
    if (related(hit, view, acceptAncestor)) return Outcome::success("tapped " + before + " at " + pointText(p));
    std::string why;
    auto* control = dynamic_cast<const ui::Control*>(view.get());
    if (control && !control->isEnabled()) {
        why = "is disabled";
    } else if (!view->isUserInteractionEnabled()) {
        why = "takes no touches";
    } else {
        why = "is covered";
    }
    return Outcome::failure(name(view) + " " + why + ": the touch at " + pointText(p) + " went to " + name(hit));
}

Outcome Driver::tap(const ViewQuery& query) {
    auto f = find(query);
    if (!f) return Outcome::failure(f.error());
    return tap(f.view());
}

Outcome Driver::tap(const std::string& text) {
    auto control = find(ViewQuery::byContent(text).controls());
    if (control) return tapEntry(control.view(), false);
    auto any = find(ViewQuery::byContent(text));
    if (any) return tapEntry(any.view(), true);
    return Outcome::failure(control.error());
}

Found<ui::View> Driver::tapAt(ui::Point screenPoint) {
    auto down = touchDown(screenPoint);
    if (!down) return down;
    auto up = touchUp(screenPoint);
    if (!up) return Found<ui::View>::failure(up.message());
    return down;
}

Found<ui::View> Driver::touchDown(ui::Point screenPoint) {
    if (touchWindow_) touchCancel();
    auto hit = ScreenSnapshot::hitTest(screenPoint);
    if (underKeyboard(screenPoint, keyboardTakesTouches_) && !insideDialog(hit.view.get())) {
        return Found<ui::View>::failure("the touch at " + pointText(screenPoint) + " lands on the keyboard");
    }
    if (!hit.window) return Found<ui::View>::failure("no window takes a touch at " + pointText(screenPoint));
    ui::Point local{screenPoint.x - hit.window->frame().x(), screenPoint.y - hit.window->frame().y()};
    touchWindow_ = hit.window;
    auto window = hit.window;
    auto view = window->sendTouch(ui::TouchPhase::Began, local);
    if (!view) {
        touchWindow_.reset();
        return Found<ui::View>::failure("nothing took the touch at " + pointText(screenPoint));
    }
    return view;
}

Outcome Driver::touchMove(ui::Point screenPoint) {
    auto window = touchWindow_;
    if (!window) return Outcome::failure("no finger is down");
    window->sendTouch(ui::TouchPhase::Moved, {screenPoint.x - window->frame().x(), screenPoint.y - window->frame().y()});
    return Outcome::success();
}

Outcome Driver::touchUp(ui::Point screenPoint) {
    auto window = touchWindow_;
    if (!window) return Outcome::failure("no finger is down");
    touchWindow_.reset();
    auto view = window->sendTouch(ui::TouchPhase::Ended, {screenPoint.x - window->frame().x(), screenPoint.y - window->frame().y()});
    settle();
    // A touch on an empty place (no control, no text input) puts the keyboard away, as the
    // phone's keyboard handling does.
    auto input = focusedInput();
    if (keyboardTakesTouches_ && ui::Keyboard::isVisible() && input && view && !isControl(view) &&
        !isTextInput(view.get()) && !view->isDescendantOfView(input.get())) {
        input->resignFirstResponder();
        settle();
        return Outcome::success("lifted from " + name(view) + "; the keyboard went away");
    }
    return Outcome::success(view ? "lifted from " + name(view) : "");
}

Outcome Driver::touchCancel() {
    auto window = touchWindow_;
    if (!window) return Outcome::failure("no finger is down");
    touchWindow_.reset();
    window->sendTouch(ui::TouchPhase::Cancelled, {0, 0});
    settle();
    return Outcome::success();
}

Found<ui::View> Driver::drag(ui::Point from, ui::Point to, int steps) {
    auto down = touchDown(from);
    if (!down) return down;
    steps = std::max(1, steps);
    for (int i = 1; i <= steps; ++i) {
        double t = double(i) / steps;
        touchMove({from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t});
    }
    touchUp(to);
    return down;
}

// --- Navigation bar ------------------------------------------------------------------------

namespace {
std::shared_ptr<ui::NavigationController> navigationOf(const std::shared_ptr<ui::ViewController>& top) {
    if (!top) return nullptr;
    if (auto nav = top->navigationController()) return nav;
    return std::dynamic_pointer_cast<ui::NavigationController>(top);
}
}  // namespace

Outcome Driver::tapBarButton(BarSide side) {
    auto top = topScreen();
    if (!top) return Outcome::failure("no screen is showing");
    auto nav = navigationOf(top);
    if (!nav) return Outcome::failure("the top screen " + top->className() + " is not in a navigation controller");
    if (nav->isNavigationBarHidden()) return Outcome::failure("the navigation bar of " + top->className() + " is hidden");
    auto bar = nav->navigationBar();
    if (side == BarSide::Back) {
        auto back = bar ? bar->backButton() : nullptr;
        if (!back || !isVisible(back)) return Outcome::failure("no back button shows on " + top->className());
        return tap(back);
    }
    auto item = side == BarSide::Left ? top->navigationItem()->leftBarButtonItem()
                                      : top->navigationItem()->rightBarButtonItem();
    if (!item) {
        return Outcome::failure(top->className() + " has no " + (side == BarSide::Left ? "left" : "right") +
                                " bar button item");
    }
    return tapBarButtonItem(item);
}

Outcome Driver::tapBarButtonItem(const std::shared_ptr<ui::BarButtonItem>& item) {
    if (!item) return Outcome::failure("no bar button item to tap");
    if (auto button = item->button()) return tapEntry(button, false);
    if (auto custom = item->customView()) return tapEntry(custom, !isControl(custom));
    return Outcome::failure("the bar button item " + inQuotes(item->title()) + " is not shown in a navigation bar");
}

Outcome Driver::goBack() {
    auto top = topScreen();
    if (!top) return Outcome::failure("no screen is showing");
    auto nav = navigationOf(top);
    if (nav && !nav->isNavigationBarHidden()) {
        auto bar = nav->navigationBar();
        if (auto back = bar ? bar->backButton() : nullptr; back && isVisible(back)) return tap(back);
        if (auto left = top->navigationItem()->leftBarButtonItem()) return tapBarButtonItem(left);
    }
    return Outcome::failure("no back button or left bar item shows on " + top->className());
}

// --- Keyboard ------------------------------------------------------------------------------

std::shared_ptr<ui::View> Driver::textInputFor(const std::shared_ptr<ui::View>& view, std::string& error) {
    if (!view) {
        error = "no text input";
        return nullptr;
    }
    if (isTextInput(view.get())) return view;
    for (auto* v = view->superviewPointer(); v; v = v->superviewPointer()) {
        if (isTextInput(v)) return v->sharedAs<ui::View>();
    }
    ScreenSnapshot snap;
    if (auto* e = snap.entryFor(view.get())) {
        for (size_t i = e->order + 1; i <= e->subtreeEnd && i < snap.entries().size(); ++i) {
            if (isTextInput(snap.entries()[i].view.get())) return snap.entries()[i].view;
        }
    }
    error = name(view) + " is not a text input and holds none";
    return nullptr;
}

Outcome Driver::focus(const std::shared_ptr<ui::View>& input) {
    if (input->isFirstResponder()) return Outcome::success();
    auto tapped = tapEntry(input, false);
    if (!tapped) return tapped;
    if (!input->isFirstResponder()) return Outcome::failure(name(input) + " did not take the keyboard when tapped");
    return Outcome::success();
}

Outcome Driver::type(const std::shared_ptr<ui::View>& view, const std::string& text, Typing how) {
    std::string error;
    auto input = textInputFor(view, error);
    if (!input) return Outcome::failure(error);
    const std::string before = name(input);
    if (auto focused = focus(input); !focused) return focused;
    auto* field = dynamic_cast<ui::TextField*>(input.get());
    auto* tv = dynamic_cast<ui::TextView*>(input.get());
    auto insert = [&](const std::string& s) { return field ? field->insertText(s) : tv->insertText(s); };
    size_t refused = 0, count = 0;
    if (how == Typing::Insertion) {
        count = 1;
        if (!insert(text)) refused = 1;
    } else {
        for (auto& ch : ui::text::characters(text)) {
            ++count;
            if (!insert(ch)) ++refused;
            settle();
        }
    }
    settle();
    std::string now = field ? field->text() : tv->text();
    std::string note = "typed into " + before;
    if (refused) {
        note += " (" + std::to_string(refused) + " of " + std::to_string(count) +
                (how == Typing::Insertion ? " insertion" : " keystrokes") + " refused)";
    }
    return Outcome::success(note + "; text now " + inQuotes(now));
}

Found<ui::View> Driver::textInput(const std::string& placeholderOrIndex) const {
    auto byPlaceholder = find(ViewQuery::byPlaceholder(placeholderOrIndex));
    if (byPlaceholder) return byPlaceholder;
    // A text view's placeholder is a label inside it.
    auto label = find(ViewQuery::byText(placeholderOrIndex));
    if (label) {
        for (auto* v = label->superviewPointer(); v; v = v->superviewPointer()) {
            if (isTextInput(v)) return Found<ui::View>(v->sharedAs<ui::View>());
        }
    }
    auto inputs = textInputs();
    char* end = nullptr;
    long index = std::strtol(placeholderOrIndex.c_str(), &end, 10);
    if (!placeholderOrIndex.empty() && end && *end == '\0') {
        if (index >= 0 && static_cast<size_t>(index) < inputs.size()) return Found<ui::View>(inputs[index]);
    }
    std::string msg = "no visible text input with placeholder " + inQuotes(placeholderOrIndex);
    msg += inputs.empty() ? "; the screen shows no text input" : "; inputs on the screen:";
    for (size_t i = 0; i < inputs.size(); ++i) {
        msg += " [" + std::to_string(i) + "] " + inputs[i]->className();
        auto p = content::placeholder(*inputs[i]);
        if (!p.empty()) msg += " " + inQuotes(p);
    }
    return Found<ui::View>::failure(msg);
}

Outcome Driver::type(const std::string& placeholderOrIndex, const std::string& text, Typing how) {
    auto input = textInput(placeholderOrIndex);
    if (!input) return Outcome::failure(input.error());
    return type(input.view(), text, how);
}

Outcome Driver::clear(const std::shared_ptr<ui::View>& view) {
    std::string error;
    auto input = textInputFor(view, error);
    if (!input) return Outcome::failure(error);
    if (auto focused = focus(input); !focused) return focused;
    auto* field = dynamic_cast<ui::TextField*>(input.get());
    auto* tv = dynamic_cast<ui::TextView*>(input.get());
    auto current = [&] { return field ? field->text() : tv->text(); };
    // The caret goes to the end first, as a finger holding the delete key starts there.
    if (field) field->setSelectedRange({ui::text::length(field->text()), 0});
    else tv->setSelectedRange({ui::text::length(tv->text()), 0});
    while (!current().empty()) {
        size_t before = ui::text::length(current());
        if (field) field->deleteBackward();
        else tv->deleteBackward();
        settle();
        if (ui::text::length(current()) >= before) {
            return Outcome::failure(input->className() + " refused the delete key; text still " + inQuotes(current()));
        }
    }
    return Outcome::success("cleared " + input->className());
}

Outcome Driver::clear(const std::string& placeholderOrIndex) {
    auto input = textInput(placeholderOrIndex);
    if (!input) return Outcome::failure(input.error());
    return clear(input.view());
}

Outcome Driver::typeIntoFocused(const std::string& text, Typing how) {
    auto input = focusedInput();
    if (!input) return Outcome::failure("no text input has the keyboard");
    return type(input, text, how);
}

Outcome Driver::deleteBackward(const std::shared_ptr<ui::View>& view, int count) {
    std::string error;
    auto input = textInputFor(view, error);
    if (!input) return Outcome::failure(error);
    if (auto focused = focus(input); !focused) return focused;
    auto* field = dynamic_cast<ui::TextField*>(input.get());
    auto* tv = dynamic_cast<ui::TextView*>(input.get());
    for (int i = 0; i < count; ++i) {
        if (field) field->deleteBackward();
        else tv->deleteBackward();
        settle();
    }
    return Outcome::success("text now " + inQuotes(field ? field->text() : tv->text()));
}

Outcome Driver::setMarkedText(const std::shared_ptr<ui::View>& view, const std::string& marked) {
    std::string error;
    auto input = textInputFor(view, error);
    if (!input) return Outcome::failure(error);
    if (auto focused = focus(input); !focused) return focused;
    if (auto* field = dynamic_cast<ui::TextField*>(input.get())) field->setMarkedText(marked);
    else if (auto* tv = dynamic_cast<ui::TextView*>(input.get())) tv->setMarkedText(marked);
    settle();
    return Outcome::success();
}

Outcome Driver::commitMarkedText(const std::shared_ptr<ui::View>& view) {
    std::string error;
    auto input = textInputFor(view, error);
    if (!input) return Outcome::failure(error);
    if (!input->isFirstResponder()) return Outcome::failure(name(input) + " does not have the keyboard");
    if (auto* field = dynamic_cast<ui::TextField*>(input.get())) field->unmarkText();
    else if (auto* tv = dynamic_cast<ui::TextView*>(input.get())) tv->unmarkText();
    settle();
    return Outcome::success();
}

std::shared_ptr<ui::View> Driver::focusedInput() const {
    auto* responder = ui::Application::shared().firstResponder();
    auto* view = dynamic_cast<ui::View*>(responder);
    return view ? view->sharedAs<ui::View>() : nullptr;
}

Outcome Driver::pressReturn() {
    auto input = focusedInput();
    if (!input) return Outcome::failure("no text input has the keyboard");
    if (auto* field = dynamic_cast<ui::TextField*>(input.get())) field->pressReturn();
    else if (auto* tv = dynamic_cast<ui::TextView*>(input.get())) tv->pressReturn();
    else return Outcome::failure(name(input) + " has no return key");
    settle();
    return Outcome::success("pressed return in " + input->className());
}

// --- Tables, scroll views, alerts ----------------------------------------------------------

Found<ui::TableView> Driver::visibleTable() const { return find<ui::TableView>(ViewQuery::any()); }

Outcome Driver::selectRow(int section, int row, std::shared_ptr<ui::TableView> table) {
    if (!table) {
        auto found = visibleTable();
        if (!found) return Outcome::failure(found.error());
        table = found.view();
    }
    int sections = table->numberOfSections();
    if (section < 0 || section >= sections) {
        return Outcome::failure("the table has " + std::to_string(sections) + " sections; there is no section " +
                                std::to_string(section));
    }
    int rows = table->numberOfRowsInSection(section);
    if (row < 0 || row >= rows) {
        return Outcome::failure("section " + std::to_string(section) + " has " + std::to_string(rows) +
                                " rows; there is no row " + std::to_string(row));
    }
    ui::IndexPath ip{section, row};
    table->scrollToRowAtIndexPath(ip, ui::TableViewScrollPosition::None, false);
    settle();
    auto cell = table->cellForRowAtIndexPath(ip);
    if (!cell) return Outcome::failure("row " + ip.description() + " has no cell on the screen");
    ScreenSnapshot snap;
    auto* e = snap.entryFor(cell.get());
    if (!e || !e->shown || !e->inside) return Outcome::failure("row " + ip.description() + " is not visible");
    if (auto dialog = dialogOver(snap, *e)) {
        return Outcome::failure("row " + ip.description() + " is covered by the " + describeDialog(*dialog) +
                                "; answer it first");
    }
    if (underKeyboard(middle(*e), keyboardTakesTouches_)) {
        return Outcome::failure(
            "row " + ip.description() +
            " lies under the keyboard; put the keyboard away first (return, or a tap on an empty place above it)");
    }
    auto hit = ScreenSnapshot::hitTest(middle(*e));
    if (!hit.view || !(hit.view == table || hit.view->isDescendantOfView(table.get()))) {
        return Outcome::failure("row " + ip.description() + " is covered by " + name(hit.view));
    }
    std::string label = name(cell);
    if (!table->tapRowAtIndexPath(ip)) return Outcome::failure("the table does not let row " + ip.description() + " be selected");
    settle();
    return Outcome::success("selected row " + ip.description() + " " + label);
}

Outcome Driver::page(int page, std::shared_ptr<ui::ScrollView> scrollView) {
    if (!scrollView) {
        ViewQuery paging;
        paging.where = [](const ui::View& v) {
            auto* sv = dynamic_cast<const ui::ScrollView*>(&v);
            return sv && sv->isPagingEnabled();
        };
        auto found = find<ui::ScrollView>(paging);
        if (!found) return Outcome::failure(found.error());
        scrollView = found.view();
    }
    double width = scrollView->bounds().width();
    if (width <= 0) return Outcome::failure("the scroll view has no width");
    int pages = static_cast<int>(std::ceil(scrollView->contentSize().width / width - 0.001));
    if (page < 0 || page >= std::max(1, pages)) {
        return Outcome::failure("the scroll view has " + std::to_string(pages) + " pages; there is no page " +
                                std::to_string(page));
    }
    if (!scrollView->isScrollEnabled()) return Outcome::failure("the scroll view does not scroll");
    scrollView->userScroll({page * width, scrollView->contentOffset().y});
    settle();
    if (scrollView->currentPage() != page) {
        return Outcome::failure("the scroll view stayed on page " + std::to_string(scrollView->currentPage()));
    }
    return Outcome::success("on page " + std::to_string(page));
}

Outcome Driver::scroll(const std::shared_ptr<ui::ScrollView>& scrollView, ui::Point offset) {
    if (!scrollView) return Outcome::failure("no scroll view to scroll");
    if (!scrollView->isScrollEnabled()) return Outcome::failure("the scroll view does not scroll");
    scrollView->userScroll(offset);
    settle();
    return Outcome::success("content offset now " + pointText(scrollView->contentOffset()));
}

std::vector<std::shared_ptr<ui::View>> Driver::dialogs() const {
    ScreenSnapshot snap;
    std::vector<std::shared_ptr<ui::View>> out;
    const auto& entries = snap.entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->shown && it->inside && asDialog(*it->view)) out.push_back(it->view);
    }
    return out;
}

std::string Driver::describeDialog(const ui::View& view) {
    const auto* dialog = asDialog(view);
    if (!dialog) return view.className();
    std::string line = dialog->dialogKind() + " " + inQuotes(escapedText(dialog->dialogTitle()));
    if (!dialog->dialogMessage().empty()) line += " " + inQuotes(escapedText(dialog->dialogMessage()));
    auto buttons = dialog->dialogButtons();
    if (!buttons.empty()) {
        line += " buttons:";
        for (const auto& b : buttons) line += " " + inQuotes(escapedText(b));
    }
    return line;
}

bool Driver::isAlertShowing() const { return !dialogs().empty(); }

Outcome Driver::answerAlert(const std::string& buttonTitle) {
    settle();
    auto shown = dialogs();
    if (shown.empty()) {
        auto button = find(ViewQuery::byTitle(buttonTitle).controls());
        if (button) return tapEntry(button.view(), false);
        return Outcome::failure("no alert or action sheet is showing, and " + button.error());
    }
    // The front-most one.
    auto modal = shown.front();
    const auto* dialog = asDialog(*modal);
    std::string what = "the " + dialog->dialogKind() + " " + inQuotes(dialog->dialogTitle());
    auto titles = dialog->dialogButtons();
    if (std::find(titles.begin(), titles.end(), buttonTitle) == titles.end()) {
        std::string msg = what + " has no button " + inQuotes(buttonTitle) + "; its buttons:";
        for (auto& t : titles) msg += " " + inQuotes(t);
        return Outcome::failure(msg);
    }
    auto buttons = findAll(ViewQuery::byTitle(buttonTitle).controls().inside(modal));
    if (!buttons.empty()) {
        auto tapped = tapEntry(buttons.front(), false);
        if (!tapped) return tapped;
        return Outcome::success("answered " + what + " with " + inQuotes(buttonTitle));
    }
    // A system alert or sheet whose button is not drawn as one.
    if (auto* alert = dynamic_cast<ui::AlertView*>(modal.get()))
        alert->clickButtonAtIndex(alert->indexOfButtonWithTitle(buttonTitle));
    else if (auto* sheet = dynamic_cast<ui::ActionSheet*>(modal.get()))
        sheet->clickButtonAtIndex(sheet->indexOfButtonWithTitle(buttonTitle));
    else return Outcome::failure(what + " shows no button " + inQuotes(buttonTitle) + " to tap");
    settle();
    return Outcome::success("answered " + what + " with " + inQuotes(buttonTitle));
}

Outcome Driver::pick(const std::string& where, int column, const std::string& rowTitle) {
    settle();
    auto pickers = findAll<ui::PickerView>(ViewQuery{});
    if (pickers.empty()) return Outcome::failure("no picker wheel is showing");
    std::shared_ptr<ui::PickerView> picker;
    if (where.empty()) {
        picker = pickers.front();
    } else {
        for (auto& p : pickers) {
            for (auto* v = p->superviewPointer(); v && !picker; v = v->superviewPointer()) {
                if (content::text(*v) == where || content::title(*v) == where) picker = p;
            }
            if (picker) break;
        }
        if (!picker) {
            std::string msg = "no picker wheel in " + inQuotes(where) + "; pickers showing in:";
            for (auto& p : pickers) {
                std::string in = "the screen";
                for (auto* v = p->superviewPointer(); v; v = v->superviewPointer()) {
                    if (auto* sheet = dynamic_cast<ui::ActionSheet*>(v)) {
                        in = "the action sheet " + inQuotes(sheet->title());
                        break;
                    }
                }
                msg += " " + in;
            }
            return Outcome::failure(msg);
        }
    }
    int columns = picker->numberOfComponents();
    if (column < 0 || column >= columns) {
        return Outcome::failure("the picker has " + std::to_string(columns) + " column(s), numbered from 0; no column " +
                                std::to_string(column));
    }
    int rows = picker->numberOfRowsInComponent(column);
    for (int row = 0; row < rows; ++row) {
        if (picker->titleForRow(row, column) == rowTitle) {
            picker->userSelectRow(row, column);
            settle();
            return Outcome::success("turned column " + std::to_string(column) + " to " + inQuotes(rowTitle));
        }
    }
    std::string msg = "column " + std::to_string(column) + " of the picker has no row " + inQuotes(rowTitle) + "; its rows:";
    for (int row = 0; row < rows && row < 40; ++row) msg += " " + inQuotes(picker->titleForRow(row, column));
    if (rows > 40) msg += " ...";
    return Outcome::failure(msg);
}

// --- Screens -------------------------------------------------------------------------------

std::shared_ptr<ui::ViewController> Driver::topScreen() const {
    if (auto key = ui::Application::shared().keyWindow(); key && key->rootViewController()) {
        return key->topViewController();
    }
    auto ws = ScreenSnapshot::windows(false);
    for (auto it = ws.rbegin(); it != ws.rend(); ++it) {
        if ((*it)->rootViewController()) return (*it)->topViewController();
    }
    return nullptr;
}

std::string Driver::topScreenName() const {
    auto top = topScreen();
    return top ? top->className() : "";
}

namespace {
std::string escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '"') out += "\\\"";
        else out += c;
    }
    return out;
}

std::string describeLine(const ViewEntry& e) {
    const ui::View& v = *e.view;
    std::string line = v.className() + " " + rectText(e.screenRect);
    if (auto vc = v.viewController()) line += " <" + vc->className() + ">";
    if (auto* field = dynamic_cast<const ui::TextField*>(&v)) {
        std::string text = field->text();
        if (field->isSecureTextEntry()) {
            std::string dots;
            for (size_t i = 0; i < ui::text::length(text); ++i) dots += "\u2022";
            text = dots;
        }
        line += " " + inQuotes(escaped(text));
        if (!field->placeholder().empty()) line += " placeholder=" + inQuotes(escaped(field->placeholder()));
    } else {
        auto text = content::text(v);
        if (!text.empty()) line += " " + inQuotes(escaped(text));
        auto title = content::title(v);
        if (!title.empty() && title != text) line += " title=" + inQuotes(escaped(title));
        if (auto* alert = dynamic_cast<const ui::AlertView*>(&v); alert && !alert->message().empty()) {
            line += " message=" + inQuotes(escaped(alert->message()));
        }
    }
    auto image = content::imageName(v);
    if (!image.empty()) line += " image=" + content::imageStem(image);
    if (auto* control = dynamic_cast<const ui::Control*>(&v)) {
        if (control->isSelected()) line += " selected";
        if (!control->isEnabled()) line += " disabled";
        if (control->isHighlighted()) line += " highlighted";
    }
    if (auto* cell = dynamic_cast<const ui::TableViewCell*>(&v)) {
        if (auto row = rowOf(v); !row.empty()) line += " " + row;
        if (cell->isSelected()) line += " selected";
        if (cell->accessoryType() == ui::TableViewCellAccessoryType::Checkmark) line += " checkmark";
    }
    if (v.isFirstResponder()) line += " editing";
    if (auto* w = dynamic_cast<const ui::Window*>(&v)) {
        if (w->isKeyWindow()) line += " key";
        if (w->windowLevel() != ui::WindowLevelNormal) line += " level=" + number(w->windowLevel());
    }
    if (auto* spinner = dynamic_cast<const ui::ActivityIndicatorView*>(&v); spinner && spinner->isAnimating()) {
        line += " spinning";
    }
    return line;
}
}  // namespace

std::string Driver::describeScreen() const {
    ScreenSnapshot snap;
    const auto& entries = snap.entries();
    std::string out = "Screen: " + (topScreenName().empty() ? std::string("none") : topScreenName()) + "\n";
    // What asks for an answer first: it takes every touch until answered.
    for (const auto& dialog : dialogs()) out += "On top: " + describeDialog(*dialog) + "\n";
    // Each view, then its subviews; a table's rows, headers and footers in reading order (top
    // to bottom), whatever order the table keeps them in. A view left out (covered, outside)
    // leaves its shown subviews at its own indentation.
    std::function<void(size_t, size_t)> print = [&](size_t i, size_t depth) {
        const auto& e = entries[i];
        if (!e.shown || isButtonPart(*e.view)) return;
        bool printed = false;
        auto* label = dynamic_cast<const ui::Label*>(e.view.get());
        bool emptyLabel = label && label->text().empty() && label->subviews().empty();
        if (!e.covered && e.inside && !emptyLabel) {
            out += std::string(depth * 2, ' ') + describeLine(e) + "\n";
            printed = true;
        }
        std::vector<size_t> children;
        for (size_t c = i + 1; c <= e.subtreeEnd && c < entries.size(); c = entries[c].subtreeEnd + 1) children.push_back(c);
        if (dynamic_cast<const ui::TableView*>(e.view.get())) {
            std::stable_sort(children.begin(), children.end(), [&](size_t a, size_t b) {
                return entries[a].screenRect.y() < entries[b].screenRect.y();
            });
        }
        for (size_t c : children) print(c, printed ? depth + 1 : depth);
    };
    for (size_t i = 0; i < entries.size(); i = entries[i].subtreeEnd + 1) print(i, 0);
    if (ui::Keyboard::isVisible()) {
        out += "Keyboard " + rectText(ui::Keyboard::frame()) + " language=" + ui::Keyboard::currentInputModeLanguage() + "\n";
    }
    return out;
}

ui::ImagePtr Driver::screenshot(double scale) const {
    settle();
    return ui::renderScreen(ScreenSnapshot::windows(false), scale);
}

// --- Application and time ------------------------------------------------------------------

Outcome Driver::deliverPush(const nlohmann::json& payload) {
    if (!ui::Application::shared().delegate()) return Outcome::failure("the application has no delegate to take the push");
    ui::Application::shared().receiveRemoteNotification(payload);
    settle();
    return Outcome::success("delivered the push; top screen " + topScreenName());
}

Outcome Driver::rotate(media::DeviceOrientation orientation) {
    media::Device::current().setOrientation(orientation);
    settle();
    return Outcome::success();
}

void Driver::settle() const {
    auto& loop = foundation::RunLoop::main();
    for (int i = 0; i < 100 && loop.drain() > 0; ++i) {
    }
    layOutWindows();
}

void Driver::finishTransitions() const {
    auto& loop = foundation::RunLoop::main();
    loop.drain();
    for (const auto& window : ui::Application::shared().windows()) {
        std::vector<std::shared_ptr<ui::ViewController>> screens;
        if (auto root = window->rootViewController()) screens.push_back(root);
        for (size_t i = 0; i < screens.size(); ++i) {
            if (auto presented = screens[i]->presentedViewController()) screens.push_back(presented);
        }
        for (const auto& screen : screens) {
            if (auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(screen))
                navigation->finishTransition();
        }
    }
    loop.drain();
    layOutWindows();
}

void Driver::settleQueues() const {
    for (int i = 0; i < 2; ++i) {
        foundation::dispatch::waitIdle();
        foundation::RunLoop::main().drain();
    }
    layOutWindows();
}

bool Driver::settleAll(double limit) const {
    auto& loop = foundation::RunLoop::main();
    bool calm = loop.runUntil(
        [] { return !foundation::activityInFlight() && foundation::dispatch::waitIdle(0.01); }, limit);
    settleQueues();
    finishTransitions();
    return calm;
}

namespace {
// Work someone reading the screen waits for: requests or downloads on the network, work on
// the dispatch queues.
bool inFlight() { return foundation::activityInFlight() || !foundation::dispatch::waitIdle(0); }
// The manual clock's step while something is in flight, and the real clock's slice between
// looks at the condition.
constexpr double kStep = 0.1;
double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
}  // namespace

bool Driver::turnLoop(double seconds, const std::function<bool()>& condition) {
    auto& loop = foundation::RunLoop::main();
    seconds = std::max(0.0, seconds);
    auto observe = [&] {
        if (stepObserver_) stepObserver_();
    };
    auto held = [&] {
        if (!condition) return false;
        layOutWindows();
        return condition();
    };
    settle();
    observe();
    if (held()) return true;
    auto manual = loop.manualClock();
    if (!manual) {
        const double deadline = steadySeconds() + seconds;
        while (true) {
            double left = deadline - steadySeconds();
            if (left <= 0) break;
            bool done = condition ? loop.runUntil(held, std::min(kStep, left)) : (loop.runFor(std::min(kStep, left)), false);
            settle();
            observe();
            if (done || held()) return true;
        }
        settle();
        return held();
    }
    const double target = manual->now() + seconds;
    while (true) {
        // What is in flight lands first, in real time but at most one step of it.
        if (inFlight()) loop.runUntil([&] { return !inFlight() || held(); }, kStep);
        settle();
        observe();
        if (held()) return true;
        double now = manual->now();
        if (now >= target) return false;
        double next = std::min(target, inFlight() ? now + kStep : loop.nextFireDate());
        if (next <= now) next = std::min(target, now + 1e-6);
        loop.runFor(next - now);
    }
}

void Driver::wait(double seconds) { turnLoop(seconds, nullptr); }

bool Driver::waitUntil(const std::function<bool()>& condition, double seconds) { return turnLoop(seconds, condition); }

Outcome Driver::waitForText(const std::string& text, double seconds) {
    if (waitUntil([&] { return isOnScreen(text); }, seconds)) return Outcome::success();
    return Outcome::failure(inQuotes(text) + " did not show within " + number(seconds) + " s; top screen " +
                            topScreenName());
}

}  // namespace driver
