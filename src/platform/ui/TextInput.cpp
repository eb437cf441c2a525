#include "platform/ui/TextInput.h"

#include <algorithm>

#include <mutex>

#include <nlohmann/json.hpp>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"

namespace ui {

namespace text {

namespace {
size_t charLen(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 1;
}

// Byte offsets of each character start, plus the end.
std::vector<size_t> offsets(const std::string& s) {
    std::vector<size_t> out;
    size_t i = 0;
    while (i < s.size()) {
        out.push_back(i);
        size_t n = charLen(static_cast<unsigned char>(s[i]));
        bool valid = i + n <= s.size();
        for (size_t k = 1; valid && k < n; ++k) valid = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        i += valid ? n : 1;
    }
    out.push_back(s.size());
    return out;
}
}  // namespace

size_t length(const std::string& s) {
    return offsets(s).size() - 1;
}

std::string substring(const std::string& s, size_t location, size_t length) {
    auto off = offsets(s);
    size_t count = off.size() - 1;
    if (location >= count) return "";
    size_t end = (length == std::string::npos || location + length > count) ? count : location + length;
    return s.substr(off[location], off[end] - off[location]);
}

std::string replace(const std::string& s, TextRange range, const std::string& replacement) {
    auto off = offsets(s);
    size_t count = off.size() - 1;
    size_t loc = std::min(range.location, count);
    size_t end = std::min(range.location + range.length, count);
    return s.substr(0, off[loc]) + replacement + s.substr(off[end]);
}

std::vector<std::string> characters(const std::string& s) {
    auto off = offsets(s);
    std::vector<std::string> out;
    for (size_t i = 0; i + 1 < off.size(); ++i) out.push_back(s.substr(off[i], off[i + 1] - off[i]));
    return out;
}

TextRange clampedSelection(const std::string& s, const std::optional<TextRange>& selection) {
    size_t len = length(s);
    if (!selection) return {len, 0};
    TextRange r = *selection;
    r.location = std::min(r.location, len);
    r.length = std::min(r.length, len - r.location);
    return r;
}

std::optional<TextRange> caretAt(const std::string& s, size_t caret) {
    if (caret >= length(s)) return std::nullopt;
    return TextRange{caret, 0};
}

void dropComposition(std::string& s, std::optional<TextRange>& selection, std::optional<TextRange>& marked) {
    if (!marked) return;
    TextRange m = *marked;
    marked.reset();
    s = replace(s, m, "");
    selection = TextRange{m.location, 0};
}

void setComposition(std::string& s, std::optional<TextRange>& selection, std::optional<TextRange>& marked,
                    const std::string& markedText) {
    TextRange range = marked ? *marked : clampedSelection(s, selection);
    s = replace(s, range, markedText);
    size_t len = length(markedText);
    if (len > 0) marked = TextRange{range.location, len};
    else marked.reset();
    selection = caretAt(s, range.location + len);
}

std::string compositionLessLastCharacter(const std::string& s, TextRange marked) {
    auto chars = characters(substring(s, marked.location, marked.length));
    if (!chars.empty()) chars.pop_back();
    std::string shorter;
    for (auto& c : chars) shorter += c;
    return shorter;
}

std::optional<TextRange> backspaceRange(TextRange selection) {
    if (selection.length > 0) return selection;
    if (selection.location == 0) return std::nullopt;
    return TextRange{selection.location - 1, 1};
}

}  // namespace text

namespace {
struct KeyboardState {
    bool visible = false;
    std::string language = "en-US";
};
KeyboardState& state() {
    static KeyboardState* s = new KeyboardState();  // kept for the life of the process
    return *s;
}

nlohmann::json rectJson(Rect r) {
    return {{"x", r.x()}, {"y", r.y()}, {"width", r.width()}, {"height", r.height()}};
}

Rect shownFrame() {
    Rect b = Screen::mainScreen().bounds();
    return {0, b.height() - Keyboard::height(), b.width(), Keyboard::height()};
}

Rect hiddenFrame() {
    Rect b = Screen::mainScreen().bounds();
    return {0, b.height(), b.width(), Keyboard::height()};
}

void postKeyboard(const char* name, Rect begin, Rect end) {
    nlohmann::json info = {{"frame", rectJson(end)}, {"beginFrame", rectJson(begin)},
                           {"duration", Keyboard::animationDuration()}};
    foundation::NotificationCenter::defaultCenter().post(name, nullptr, info);
}
}  // namespace

bool Keyboard::isVisible() { return state().visible; }

Rect Keyboard::frame() { return state().visible ? shownFrame() : hiddenFrame(); }

std::string Keyboard::currentInputModeLanguage() { return state().language; }

void Keyboard::setCurrentInputModeLanguage(const std::string& language) { state().language = language; }

void Keyboard::show() {
    Rect begin = state().visible ? shownFrame() : hiddenFrame();
    state().visible = true;
    postKeyboard(KeyboardWillChangeFrameNotification, begin, shownFrame());
    postKeyboard(KeyboardWillShowNotification, begin, shownFrame());
    postKeyboard(KeyboardDidShowNotification, begin, shownFrame());
    ScrollView::keyboardChanged();
}

void Keyboard::hide() {
    if (!state().visible) return;
    state().visible = false;
    postKeyboard(KeyboardWillChangeFrameNotification, shownFrame(), hiddenFrame());
    postKeyboard(KeyboardWillHideNotification, shownFrame(), hiddenFrame());
    postKeyboard(KeyboardDidHideNotification, shownFrame(), hiddenFrame());
    ScrollView::keyboardChanged();
}

void Keyboard::hideQuietly() {
    state().visible = false;
    ScrollView::keyboardChanged();
}

void Keyboard::dismiss() {
    auto* responder = Application::shared().firstResponder();
    if (responder && responder->showsKeyboard()) responder->resignFirstResponder();
}

void Keyboard::reset() { state() = KeyboardState{}; }

}  // namespace ui
