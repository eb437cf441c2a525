#pragma once
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/ScrollView.h"
#include "platform/ui/TextInput.h"

namespace ui {

class TextView;

// The delegate of a text view; every operation is optional. A text view delegate is also
// its scroll view delegate.
class TextViewDelegate : public ScrollViewDelegate {
public:
    virtual bool textViewShouldBeginEditing(TextView& view) { (void)view; return true; }
    virtual void textViewDidBeginEditing(TextView& view) { (void)view; }
    virtual bool textViewShouldEndEditing(TextView& view) { (void)view; return true; }
    virtual void textViewDidEndEditing(TextView& view) { (void)view; }
    // `range` in characters (see TextRange). The return key arrives as the replacement "\n".
    virtual bool shouldChangeTextInRange(TextView& view, TextRange range, const std::string& replacement) {
        (void)view; (void)range; (void)replacement; return true;
    }
    virtual void textViewDidChange(TextView& view) { (void)view; }
    virtual void textViewDidChangeSelection(TextView& view) { (void)view; }
};

// A multi-line text input. Keyboard input as in TextField: shouldChangeTextInRange, then the
// change, then textViewDidChange and TextViewTextDidChangeNotification. The return key inserts
// "\n" through the same path. Setting `text` in code does none of that.
class TextView : public ScrollView {
public:
    TextView() { init(); }
    explicit TextView(Rect frame) : ScrollView(frame) { init(); }
    std::string className() const override { return "TextView"; }

    const std::string& text() const { return text_; }
    virtual void setText(const std::string& text);
    const Font& font() const { return font_; }
    void setFont(const Font& f) { font_ = f; setNeedsDisplay(); }
    const Color& textColor() const { return textColor_; }
    void setTextColor(const Color& c) { textColor_ = c; setNeedsDisplay(); }
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment a) { alignment_ = a; }
    ReturnKeyType returnKeyType() const { return returnKeyType_; }
    void setReturnKeyType(ReturnKeyType t) { returnKeyType_ = t; }
    KeyboardType keyboardType() const { return keyboardType_; }
    void setKeyboardType(KeyboardType t) { keyboardType_ = t; }
    bool isEditable() const { return editable_; }
    void setEditable(bool e) { editable_ = e; }
    bool isSelectable() const { return selectable_; }
    void setSelectable(bool s) { selectable_ = s; }
    EdgeInsets textContainerInset() const { return textInset_; }
    void setTextContainerInset(EdgeInsets e) { textInset_ = e; setNeedsDisplay(); }

    std::shared_ptr<TextViewDelegate> delegate() const { return tvDelegate_.lock(); }
    void setDelegate(std::weak_ptr<TextViewDelegate> d);

    bool isEditing() const { return editing_; }
    TextRange selectedRange() const;
    void setSelectedRange(TextRange range);

    // Keyboard input, as TextField's (nothing happens unless first responder).
    bool insertText(const std::string& text);
    void typeText(const std::string& text);
    bool deleteBackward();
    // The return key: inserts "\n" through the delegate.
    void pressReturn() { insertText("\n"); }
    void setMarkedText(const std::string& marked);
    void unmarkText();
    std::optional<TextRange> markedTextRange() const { return marked_; }

    bool canBecomeFirstResponder() const override;
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void didBecomeFirstResponder() override;
    void didResignFirstResponder() override;
    bool showsKeyboard() const override { return editable_; }

    void touchesEnded(const Touches& touches) override;
    Size sizeThatFits(Size size) const override;
    void draw(GraphicsContext& context, Rect rect) override;
    std::string describeContent() const override { return text_; }

protected:
    // Called after every change of the text (typed or set in code).
    virtual void textDidChange() {}

private:
    void init();
    bool applyEdit(TextRange range, const std::string& replacement, bool askDelegate);
    std::string text_;
    Font font_ = Font::systemFont(12);
    Color textColor_ = Color::black();
    TextAlignment alignment_ = TextAlignment::Left;
    ReturnKeyType returnKeyType_ = ReturnKeyType::Default;
    KeyboardType keyboardType_ = KeyboardType::Default;
    bool editable_ = true;
    bool selectable_ = true;
    EdgeInsets textInset_{8, 0, 8, 0};
    std::weak_ptr<TextViewDelegate> tvDelegate_;
    bool editing_ = false;
    std::optional<TextRange> selection_;
    std::optional<TextRange> marked_;
};

}  // namespace ui
