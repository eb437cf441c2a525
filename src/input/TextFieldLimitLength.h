#pragma once
#include <cstddef>
#include <memory>

namespace ui {
class TextField;
}

// A length limit on a text field's text, counted in characters.
class TextFieldLimitLength {
public:
    // From now on, after every edit, text longer than `maxLength` characters is cut to its
    // first `maxLength` characters (a character is never split). While the Simplified Chinese
    // input mode ("zh-Hans") is active the cut waits until no text is marked, so that a
    // composition in progress is not broken. A later call replaces the earlier limit.
    static void limitTextLength(const std::shared_ptr<ui::TextField>& field, size_t maxLength);
    // Cuts the field's text now if it is over the limit (the same rule as after an edit).
    static void applyLimit(ui::TextField& field, size_t maxLength);
};
