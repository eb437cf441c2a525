#pragma once
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Control.h"
#include "platform/ui/TextInput.h"

namespace ui {

class TextField;

// The delegate of a text field; every operation is optional.
class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;
    virtual bool textFieldShouldBeginEditing(TextField& field) { (void)field; return true; }
    virtual void textFieldDidBeginEditing(TextField& field) { (void)field; }
    virtual bool textFieldShouldEndEditing(TextField& field) { (void)field; return true; }
    virtual void textFieldDidEndEditing(TextField& field) { (void)field; }
    // `range` in characters (see TextRange). Returning false refuses the edit.
    virtual bool shouldChangeCharactersInRange(TextField& field, TextRange range, const std::string& replacement) {
        (void)field; (void)range; (void)replacement; return true;
    }
    virtual bool textFieldShouldClear(TextField& field) { (void)field; return true; }
    virtual bool textFieldShouldReturn(TextField& field) { (void)field; return true; }
};

enum class TextBorderStyle { None, Line, Bezel, RoundedRect };
enum class TextFieldViewMode { Never, WhileEditing, UnlessEditing, Always };

// A one-line text input. A tap makes it first responder (editing begins, the keyboard comes
// up). Keyboard input goes through insertText / deleteBackward / setMarkedText:
// the delegate's shouldChangeCharactersInRange is asked first, then the text changes, then
// EditingChanged is sent and TextFieldTextDidChangeNotification posted. Setting `text` in code
// does none of that. The caret is kept at the end of the text unless selectedRange is set.
class TextField : public Control {
public:
    TextField() { init(); }
    explicit TextField(Rect frame) : Control(frame) { init(); }
    std::string className() const override { return "TextField"; }

    // The text including any marked (uncommitted) text.
    const std::string& text() const { return text_; }
    void setText(const std::string& text);
    const std::string& placeholder() const { return placeholder_; }
    void setPlaceholder(const std::string& p) { placeholder_ = p; setNeedsDisplay(); }
    const Font& font() const { return font_; }
    void setFont(const Font& f) { font_ = f; setNeedsDisplay(); }
    const Color& textColor() const { return textColor_; }
    void setTextColor(const Color& c) { textColor_ = c; setNeedsDisplay(); }
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment a) { alignment_ = a; }
    TextBorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(TextBorderStyle s) { borderStyle_ = s; setNeedsDisplay(); }
    KeyboardType keyboardType() const { return keyboardType_; }
    void setKeyboardType(KeyboardType t) { keyboardType_ = t; }
    ReturnKeyType returnKeyType() const { return returnKeyType_; }
    void setReturnKeyType(ReturnKeyType t) { returnKeyType_ = t; }
    AutocapitalizationType autocapitalizationType() const { return autocap_; }
    void setAutocapitalizationType(AutocapitalizationType t) { autocap_ = t; }
    bool isSecureTextEntry() const { return secure_; }
    void setSecureTextEntry(bool s) { secure_ = s; setNeedsDisplay(); }
    bool clearsOnBeginEditing() const { return clearsOnBeginEditing_; }
    void setClearsOnBeginEditing(bool v) { clearsOnBeginEditing_ = v; }
    TextFieldViewMode clearButtonMode() const { return clearButtonMode_; }
    void setClearButtonMode(TextFieldViewMode m) { clearButtonMode_ = m; }
    std::shared_ptr<View> leftView() const { return leftView_; }
    void setLeftView(std::shared_ptr<View> v);
    TextFieldViewMode leftViewMode() const { return leftViewMode_; }
    void setLeftViewMode(TextFieldViewMode m) { leftViewMode_ = m; setNeedsLayout(); }
    std::shared_ptr<View> inputView() const { return inputView_; }
    void setInputView(std::shared_ptr<View> v) { inputView_ = std::move(v); }
    std::shared_ptr<View> inputAccessoryView() const { return inputAccessoryView_; }
    void setInputAccessoryView(std::shared_ptr<View> v) { inputAccessoryView_ = std::move(v); }

    std::shared_ptr<TextFieldDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<TextFieldDelegate> d) { delegate_ = std::move(d); }

    bool isEditing() const { return editing_; }
    TextRange selectedRange() const;
    void setSelectedRange(TextRange range);

    // Keyboard input (what the testing driver uses). Each call is one keystroke or one
    // committed chunk: it replaces the marked text, else the selection, with `text`.
    // Returns whether the delegate let it through. Nothing happens unless the field is
    // first responder (call becomeFirstResponder or tap it first).
    bool insertText(const std::string& text);
    // Types `text` character by character (one insertText each).
    void typeText(const std::string& text);
    // Deletes the selection, else the character before the caret.
    bool deleteBackward();
    // The return key: asks textFieldShouldReturn, then sends EditingDidEndOnExit.
    void pressReturn();
    // The clear button: asks textFieldShouldClear, then empties the text with an edit.
    void clear();

    // Input method composition: the marked text replaces the previous marked text (or the
    // selection) and is part of text(); EditingChanged is sent. unmarkText commits it.
    // The delegate is asked when the text is committed (range: the marked range).
    void setMarkedText(const std::string& marked);
    void unmarkText();
    std::optional<TextRange> markedTextRange() const { return marked_; }

    bool canBecomeFirstResponder() const override;
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void didBecomeFirstResponder() override;
    void didResignFirstResponder() override;
    bool showsKeyboard() const override { return true; }

    void touchesEnded(const Touches& touches) override;
    void layoutSubviews() override;
    Size sizeThatFits(Size size) const override;
    void draw(GraphicsContext& context, Rect rect) override;
    std::string describeContent() const override;

private:
    void init();
    bool applyEdit(TextRange range, const std::string& replacement, bool askDelegate);
    void textChanged();
    std::string text_;
    std::string placeholder_;
    Font font_ = Font::systemFont(17);
    Color textColor_ = Color::black();
    TextAlignment alignment_ = TextAlignment::Left;
    TextBorderStyle borderStyle_ = TextBorderStyle::None;
    KeyboardType keyboardType_ = KeyboardType::Default;
    ReturnKeyType returnKeyType_ = ReturnKeyType::Default;
    AutocapitalizationType autocap_ = AutocapitalizationType::Sentences;
    bool secure_ = false;
    bool clearsOnBeginEditing_ = false;
    TextFieldViewMode clearButtonMode_ = TextFieldViewMode::Never;
    std::shared_ptr<View> leftView_;
    TextFieldViewMode leftViewMode_ = TextFieldViewMode::Never;
    std::shared_ptr<View> inputView_, inputAccessoryView_;
    std::weak_ptr<TextFieldDelegate> delegate_;
    bool editing_ = false;
    std::optional<TextRange> selection_;   // none: caret at the end
    std::optional<TextRange> marked_;
};

}  // namespace ui
