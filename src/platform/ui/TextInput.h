#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Types.h"

namespace ui {

// A range of text in CHARACTERS (Unicode code points), not bytes and not UTF-16 units:
// a CJK character or an emoji is one unit and is never split.
struct TextRange {
    size_t location = 0;
    size_t length = 0;
    size_t end() const { return location + length; }
    bool operator==(const TextRange&) const = default;
};

// UTF-8 helpers counting characters (code points). Invalid bytes count as one character each.
namespace text {
size_t length(const std::string& s);
// The characters [location, location + length) (clamped to the text).
std::string substring(const std::string& s, size_t location, size_t length = std::string::npos);
std::string replace(const std::string& s, TextRange range, const std::string& replacement);
// Splits into characters.
std::vector<std::string> characters(const std::string& s);

// Editing rules shared by text fields and text views. A selection of none is the caret at the end.
// The selection clamped to the text.
TextRange clampedSelection(const std::string& s, const std::optional<TextRange>& selection);
// The caret after `caret` characters (none when that is the end).
std::optional<TextRange> caretAt(const std::string& s, size_t caret);
// Takes an input method's composition out of the text; the caret stays where it began.
void dropComposition(std::string& s, std::optional<TextRange>& selection, std::optional<TextRange>& marked);
// Puts `markedText` in place of the composition (or else the selection) as the new composition.
void setComposition(std::string& s, std::optional<TextRange>& selection, std::optional<TextRange>& marked,
                    const std::string& markedText);
// The composition less its last character (a backspace while composing).
std::string compositionLessLastCharacter(const std::string& s, TextRange marked);
// What one backspace removes: the selection, else the character before the caret; none at the start.
std::optional<TextRange> backspaceRange(TextRange selection);
}  // namespace text

enum class KeyboardType { Default, ASCIICapable, NumbersAndPunctuation, URL, NumberPad, PhonePad, NamePhonePad, EmailAddress, DecimalPad };
enum class ReturnKeyType { Default, Go, Google, Join, Next, Route, Search, Send, Yahoo, Done, EmergencyCall };
enum class AutocapitalizationType { None, Words, Sentences, AllCharacters };

// Keyboard notifications, posted on the default notification centre (object null) when a
// text input becomes first responder (will-change-frame, then will-show) or stops being it
// without another input taking over (will-change-frame, then will-hide). userInfo:
// {"frame": {"x","y","width","height"} (the keyboard's frame at the end, in screen
//  coordinates; below the screen when hiding), "beginFrame": {...}, "duration": 0.25}.
inline const char* const KeyboardWillShowNotification = "UIKeyboardWillShowNotification";
inline const char* const KeyboardWillHideNotification = "UIKeyboardWillHideNotification";
inline const char* const KeyboardWillChangeFrameNotification = "UIKeyboardWillChangeFrameNotification";
inline const char* const KeyboardDidShowNotification = "UIKeyboardDidShowNotification";
inline const char* const KeyboardDidHideNotification = "UIKeyboardDidHideNotification";
inline const char* const TextFieldTextDidChangeNotification = "UITextFieldTextDidChangeNotification";
inline const char* const TextViewTextDidChangeNotification = "UITextViewTextDidChangeNotification";

// The on-screen keyboard: whether it is up, its frame, and the current input mode's language.
class Keyboard {
public:
    static bool isVisible();
    // (0, screen height - 216, screen width, 216) while visible.
    static Rect frame();
    static double height() { return 216; }
    static double animationDuration() { return 0.25; }
    // The primary language of the current input mode: "en-US" by default; "zh-Hans" for the
    // Simplified Chinese keyboard (whose input method marks text before committing it).
    static std::string currentInputModeLanguage();
    static void setCurrentInputModeLanguage(const std::string& language);

    // Puts the keyboard away: the text input that has it stops editing (what opens over the
    // screen, a sheet or an alert, does this so that the keyboard hides none of it).
    static void dismiss();

    // Internal: called by the first-responder bookkeeping.
    static void show();
    static void hide();
    static void hideQuietly();   // without notifications (the input went away)
    static void reset();
};

}  // namespace ui
