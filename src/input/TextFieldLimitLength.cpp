#include "input/TextFieldLimitLength.h"

#include "platform/ui/TextField.h"
#include "platform/ui/TextInput.h"

namespace {
// Identifies the limit's action among the field's targets, so a new limit replaces the old.
const char kLimitOwner = 0;
}  // namespace

void TextFieldLimitLength::applyLimit(ui::TextField& field, size_t maxLength) {
    if (ui::Keyboard::currentInputModeLanguage() == "zh-Hans" && field.markedTextRange()) return;
    const std::string& text = field.text();
    if (ui::text::length(text) <= maxLength) return;
    field.setText(ui::text::substring(text, 0, maxLength));
}

void TextFieldLimitLength::limitTextLength(const std::shared_ptr<ui::TextField>& field, size_t maxLength) {
    if (!field) return;
    field->removeTarget(&kLimitOwner, ui::ControlEvent::EditingChanged);
    std::weak_ptr<ui::TextField> weakField = field;
    field->addTarget(
        [weakField, maxLength] {
            if (auto f = weakField.lock()) applyLimit(*f, maxLength);
        },
        ui::ControlEvent::EditingChanged, &kLimitOwner);
}
