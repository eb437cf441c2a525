#include "platform/ui/TextInput.h"

#include <mutex>

#include <nlohmann/json.hpp>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Screen.h"

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
}

void Keyboard::hide() {
    if (!state().visible) return;
    state().visible = false;
    postKeyboard(KeyboardWillChangeFrameNotification, shownFrame(), hiddenFrame());
    postKeyboard(KeyboardWillHideNotification, shownFrame(), hiddenFrame());
    postKeyboard(KeyboardDidHideNotification, shownFrame(), hiddenFrame());
}

void Keyboard::hideQuietly() { state().visible = false; }

void Keyboard::reset() { state() = KeyboardState{}; }

}  // namespace ui
