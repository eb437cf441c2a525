#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/media/DeviceOrientation.h"
#include "platform/testing/Outcome.h"
#include "platform/testing/ScreenSnapshot.h"
#include "platform/testing/ViewQuery.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace driver {

enum class BarSide { Left, Right, Back };

// How text reaches a text input: one keystroke per character (each one asked of the
// delegate, so length limits stop at the limit), or the whole text as one insertion (a
// paste, or an input method committing a word).
enum class Typing { Keystrokes, Insertion };

// Drives the application's windows as a finger and a keyboard would. Every action goes
// through the platform's own paths (hit testing, control events, delegates) and then lets
// the run loop settle: the work the action posted runs and the windows lay out (the clock
// does not move). Finds and actions answer with a clear message when they fail.
//
// Points are screen points (the window's frame origin added to window coordinates).
class Driver {
public:
    Driver() = default;

    // Whether the keyboard, while it is up, takes the touches on its part of the screen as on
    // the phone: a tap on a control under it fails (the finger would press a key), and a tap on
    // an empty place (no control, no text input) puts it away. Off by default: screen tests
    // that type and then tap a button below the field do not model the keyboard; the
    // simulator turns it on.
    void setKeyboardTakesTouches(bool takes) { keyboardTakesTouches_ = takes; }
    bool keyboardTakesTouches() const { return keyboardTakesTouches_; }

    // --- Finding ---------------------------------------------------------------------------
    // Matching views front-most first: views in front of others (later windows, later
    // subviews) come before views behind them. A view that sits inside another match (a
    // button's own title label, a cell's label) is left out in favour of the outer one.
    std::vector<std::shared_ptr<ui::View>> findAll(const ViewQuery& query) const;
    // The one view a finger would mean: among the matches, those that a touch at their
    // centre reaches come first; then the front-most.
    Found<ui::View> find(const ViewQuery& query) const;
    template <class T>
    Found<T> find(ViewQuery query) const {
        auto inner = query.where;
        query.where = [inner](const ui::View& v) { return dynamic_cast<const T*>(&v) && (!inner || inner(v)); };
        auto f = find(query);
        if (!f) return Found<T>::failure(f.error());
        return Found<T>(std::dynamic_pointer_cast<T>(f.view()));
    }
    template <class T>
    std::vector<std::shared_ptr<T>> findAll(ViewQuery query) const {
        auto inner = query.where;
        query.where = [inner](const ui::View& v) { return dynamic_cast<const T*>(&v) && (!inner || inner(v)); };
        std::vector<std::shared_ptr<T>> out;
        for (auto& v : findAll(query)) out.push_back(std::dynamic_pointer_cast<T>(v));
        return out;
    }
    // Shortcuts (visible views).
    Found<ui::View> findByText(const std::string& text) const { return find(ViewQuery::byText(text)); }
    Found<ui::View> findByTitle(const std::string& title) const { return find(ViewQuery::byTitle(title)); }
    Found<ui::View> findByTag(int tag) const { return find(ViewQuery::byTag(tag)); }
    Found<ui::View> findByClass(const std::string& name) const { return find(ViewQuery::byClass(name)); }
    Found<ui::View> findByImageName(const std::string& name) const { return find(ViewQuery::byImageName(name)); }
    Found<ui::View> findByPlaceholder(const std::string& p) const { return find(ViewQuery::byPlaceholder(p)); }

    // What a finger could mean by `text`, as tap(text) looks for it: the visible controls whose
    // title, text or image name is `text` (else any visible views showing it), those a touch
    // reaches (when any do), in reading order: top to bottom, then left to right.
    std::vector<std::shared_ptr<ui::View>> candidates(const std::string& text) const;
    // One candidate for a person to tell it from the others: its name, its frame on the screen
    // and the table row it is in ("Button "处理" (240,120,60,30) in row [0, 2]").
    static std::string describeCandidate(const ui::View& view);
    // Whether a person sees the view now (see ViewQuery).
    bool isVisible(const std::shared_ptr<ui::View>& view) const;
    // Every text, title, placeholder and image name on the screen, front-most first.
    std::vector<std::string> visibleTexts() const;
    // Whether some visible view's text, title, placeholder or image name contains `text`.
    bool isOnScreen(const std::string& text) const;
    // The visible text inputs (text fields, editable text views) in reading order: top to
    // bottom, then left to right.
    std::vector<std::shared_ptr<ui::View>> textInputs() const;

    // --- Touches ---------------------------------------------------------------------------
    // A finger tap on the middle of the visible part of the view: touch-down, then touch-up at
    // the same point, through the hit testing of the front-most window there. Fails (saying
    // why) when the view is not on the screen or hidden, lies under a dialog (named) or under
    // the keyboard (see setKeyboardTakesTouches; no touch is sent),
    // and when the touch went elsewhere because the view is disabled, takes no touches or is
    // covered.
    Outcome tap(const std::shared_ptr<ui::View>& view);
    // Finds the view, then taps it. tap(text): the visible control whose title, text or image
    // name is `text`, else any visible view showing it (a label in a cell, say).
    Outcome tap(const ViewQuery& query);
    Outcome tap(const std::string& text);
    // A tap at a screen point; returns the view that took it.
    Found<ui::View> tapAt(ui::Point screenPoint);
    // Raw touches of one finger at screen points: down (hit-tested), moves, up, cancel. A touch
    // down where the keyboard lies fails when the keyboard takes touches.
    Found<ui::View> touchDown(ui::Point screenPoint);
    Outcome touchMove(ui::Point screenPoint);
    Outcome touchUp(ui::Point screenPoint);
    Outcome touchCancel();
    // Down at `from`, `steps` moves to `to`, up at `to`.
    Found<ui::View> drag(ui::Point from, ui::Point to, int steps = 5);

    // --- Navigation bar --------------------------------------------------------------------
    // Taps the left or right item of the top screen's navigation item, or the back button.
    Outcome tapBarButton(BarSide side);
    // Taps the button the bar shows for the item (or the item's custom view).
    Outcome tapBarButtonItem(const std::shared_ptr<ui::BarButtonItem>& item);
    // Back: the back button when the bar shows one, else the left item.
    Outcome goBack();

    // --- Keyboard --------------------------------------------------------------------------
    // Gives the input the keyboard with a tap when it does not have it, then types at the
    // caret through the input's keyboard path (delegate, editing-changed, notifications).
    // Succeeds when the input took the keyboard; the note tells how many characters the
    // delegate refused and what the text now is.
    Outcome type(const std::shared_ptr<ui::View>& input, const std::string& text, Typing how = Typing::Keystrokes);
    // The input by placeholder, else by its index in textInputs() when `placeholderOrIndex`
    // is a number.
    Outcome type(const std::string& placeholderOrIndex, const std::string& text, Typing how = Typing::Keystrokes);
    // The visible text input with that placeholder (a text view's placeholder label counts),
    // else the one at that index of textInputs() when `placeholderOrIndex` is a number.
    Found<ui::View> textInput(const std::string& placeholderOrIndex) const;
    // Empties the input as the delete key held down would: the caret goes to the end, then one
    // delete at a time, each asked of the delegate. Fails when a delete changes nothing.
    Outcome clear(const std::shared_ptr<ui::View>& input);
    Outcome clear(const std::string& placeholderOrIndex);
    // Into the input that has the keyboard.
    Outcome typeIntoFocused(const std::string& text, Typing how = Typing::Keystrokes);
    // The delete key, `count` times.
    Outcome deleteBackward(const std::shared_ptr<ui::View>& input, int count = 1);
    // An input method composing: marked text replaces the previous marked text; commit
    // unmarks it (the delegate is asked then).
    Outcome setMarkedText(const std::shared_ptr<ui::View>& input, const std::string& marked);
    Outcome commitMarkedText(const std::shared_ptr<ui::View>& input);
    // The return key of the input that has the keyboard.
    Outcome pressReturn();
    // The input that has the keyboard, if any.
    std::shared_ptr<ui::View> focusedInput() const;

    // --- Tables, scroll views, alerts -------------------------------------------------------
    // Selects a row as a finger does: scrolls it into view, checks nothing covers it, then
    // taps it through the table (willSelect, deselect of the previous row, didSelect).
    // Without a table: the front-most visible table.
    Outcome selectRow(int section, int row, std::shared_ptr<ui::TableView> table = nullptr);
    Found<ui::TableView> visibleTable() const;
    // Pages a paging scroll view to page `page` (along x) as a finger's swipe does; without
    // one given, the front-most visible paging scroll view.
    Outcome page(int page, std::shared_ptr<ui::ScrollView> scrollView = nullptr);
    // A finger's drag of the content to `offset` (clamped; paged when paging).
    Outcome scroll(const std::shared_ptr<ui::ScrollView>& scrollView, ui::Point offset);
    // Answers the front-most dialog (a system alert or action sheet, or a screen's own dialog)
    // by tapping its button with that title; when none shows, taps the front-most visible
    // button with that title.
    Outcome answerAlert(const std::string& buttonTitle);
    // Whether a dialog (an alert or sheet, the system's or a screen's own) is showing.
    bool isAlertShowing() const;
    // The dialogs showing, front-most first: views that are ui::Dialog.
    std::vector<std::shared_ptr<ui::View>> dialogs() const;
    // "alert "提示" "message" buttons: "取消" "确定"" (a view that is no dialog: its name).
    static std::string describeDialog(const ui::View& dialog);
    // Turns a visible picker wheel's column (from 0) to the row showing `rowTitle`, as a finger
    // does (the delegate hears of it). `where` names the picker: the title of the action sheet
    // it lies in, or any text of a view that holds it; empty: the front-most visible picker.
    Outcome pick(const std::string& where, int column, const std::string& rowTitle);

    // --- Screens ---------------------------------------------------------------------------
    // The screen on top of the key window (the root, the top of a navigation stack, or the
    // top presented screen), and its class name ("" when there is none).
    std::shared_ptr<ui::ViewController> topScreen() const;
    std::string topScreenName() const;
    // The visible screen as indented text, one view per line:
    //   ClassName (x,y,w,h) "text" placeholder="..." image=name <ScreenClass> selected disabled
    // Frames are screen rectangles. Views nobody sees (hidden, clipped away, covered) are left
    // out; so are a button's own title label and image view (the button's line shows them).
    // Alerts, action sheets, HUD windows and the keyboard are included; a dialog showing (see
    // dialogs()) is named first, on a line "On top: alert "title" "message" buttons: ...".
    std::string describeScreen() const;
    // The windows as one image at `scale` (0: the screen's scale), front-most window on top.
    ui::ImagePtr screenshot(double scale = 0) const;

    // --- Application and time -------------------------------------------------------------
    // Turns the phone (the orientation notification goes out when it changes).
    Outcome rotate(media::DeviceOrientation orientation);
    // Hands a push payload to the application delegate as the system would.
    Outcome deliverPush(const nlohmann::json& payload);
    // Turns the run loop for `seconds` of its clock. A manual clock moves from one timer to the
    // next while nothing is in flight, without waiting in real time; while a request, a
    // download or work on the queues is in flight it moves no faster than real time (in steps
    // of 0.1 s), so that the replies land as the clock moves. The real clock simply runs.
    void wait(double seconds);
    // Turns the run loop as wait() does until `condition` holds (checked after every step) or
    // `seconds` pass. Returns whether it held.
    bool waitUntil(const std::function<bool()>& condition, double seconds);
    // Called after every step of wait() and waitUntil() (someone watching the screen change).
    void setStepObserver(std::function<void()> observer) { stepObserver_ = std::move(observer); }
    Outcome waitForText(const std::string& text, double seconds);
    // Runs the work that is ready and lays out the windows.
    void settle() const;
    // Ends every running push or pop of the windows' navigation controllers, with the work
    // they post.
    void finishTransitions() const;
    // Lets the dispatch queues finish and the main queue run, twice, without moving the clock.
    void settleQueues() const;
    // Waits (in real time, at most `limit` seconds) until nothing is in flight: no work on the
    // queues, no request or download (foundation::activityInFlight), no transition; then lets
    // what they posted run. False when the limit passed first.
    bool settleAll(double limit = 10) const;

private:
    Outcome tapEntry(const std::shared_ptr<ui::View>& view, bool acceptAncestor);
    std::shared_ptr<ui::View> textInputFor(const std::shared_ptr<ui::View>& view, std::string& error);
    Outcome focus(const std::shared_ptr<ui::View>& input);
    bool turnLoop(double seconds, const std::function<bool()>& condition);
    std::shared_ptr<ui::Window> touchWindow_;
    std::function<void()> stepObserver_;
    bool keyboardTakesTouches_ = false;
};

}  // namespace driver
