#include <gtest/gtest.h>

#include "UiTest.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

using namespace ui;

namespace {

// Refuses digits and anything past five characters; records what it was asked.
class PlateDelegate : public TextFieldDelegate {
public:
    bool shouldChangeCharactersInRange(TextField& f, TextRange range, const std::string& s) override {
        asked.push_back({range, s});
        if (s.find_first_of("0123456789") != std::string::npos) return false;
        return text::length(text::replace(f.text(), range, s)) <= 5;
    }
    bool textFieldShouldReturn(TextField&) override {
        ++returns;
        return true;
    }
    void textFieldDidBeginEditing(TextField&) override { ++began; }
    void textFieldDidEndEditing(TextField&) override { ++ended; }
    std::vector<std::pair<TextRange, std::string>> asked;
    int returns = 0, began = 0, ended = 0;
};

class TextInputTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        root = std::make_shared<ViewController>();
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        field = std::make_shared<TextField>(Rect(10, 100, 300, 30));
        field->setPlaceholder("请输入车牌号");
        root->view()->addSubview(field);
        delegate = std::make_shared<PlateDelegate>();
        field->setDelegate(delegate);
        field->addTarget([this] { ++changes; }, ControlEvent::EditingChanged);
        for (const char* name : {KeyboardWillShowNotification, KeyboardWillHideNotification, KeyboardWillChangeFrameNotification}) {
            foundation::NotificationCenter::defaultCenter().addObserver(name, [this](const foundation::Notification& n) {
                keyboard.push_back(n);
            }, this);
        }
    }
    void TearDown() override {
        foundation::NotificationCenter::defaultCenter().removeObserver(this);
        UiTest::TearDown();
    }
    std::shared_ptr<ViewController> root;
    std::shared_ptr<TextField> field;
    std::shared_ptr<PlateDelegate> delegate;
    std::vector<foundation::Notification> keyboard;
    int changes = 0;
};

TEST_F(TextInputTest, TypingGoesThroughTheDelegateThenTheEditingEvents) {
    field->typeText("ab");
    EXPECT_EQ(field->text(), "");  // not first responder: the keyboard is not up
    window->tap({50, 115});
    ASSERT_TRUE(field->isFirstResponder());
    EXPECT_EQ(delegate->began, 1);

    field->typeText("京a1bcdef");
    EXPECT_EQ(field->text(), "京abcd");
    EXPECT_EQ(changes, 5);
    ASSERT_EQ(delegate->asked.size(), 8u);
    EXPECT_EQ(delegate->asked[1].first, (TextRange{1, 0}));
    EXPECT_EQ(delegate->asked[2].second, "1");

    EXPECT_TRUE(field->deleteBackward());
    EXPECT_EQ(field->text(), "京abc");
    EXPECT_EQ(delegate->asked.back().first, (TextRange{4, 1}));

    field->setSelectedRange({0, 1});
    field->insertText("沪");
    EXPECT_EQ(field->text(), "沪abc");

    field->pressReturn();
    EXPECT_EQ(delegate->returns, 1);
    EXPECT_TRUE(field->resignFirstResponder());
    EXPECT_EQ(delegate->ended, 1);
}

TEST_F(TextInputTest, MarkedTextIsPartOfTheTextUntilCommitted) {
    Keyboard::setCurrentInputModeLanguage("zh-Hans");
    field->becomeFirstResponder();
    field->setMarkedText("jing");
    EXPECT_EQ(field->text(), "jing");
    ASSERT_TRUE(field->markedTextRange());
    EXPECT_EQ(*field->markedTextRange(), (TextRange{0, 4}));
    field->setMarkedText("京");
    EXPECT_EQ(field->text(), "京");
    size_t askedBefore = delegate->asked.size();
    field->unmarkText();
    EXPECT_FALSE(field->markedTextRange());
    EXPECT_EQ(field->text(), "京");
    ASSERT_EQ(delegate->asked.size(), askedBefore + 1);
    EXPECT_EQ(delegate->asked.back().first, (TextRange{0, 0}));
    EXPECT_EQ(delegate->asked.back().second, "京");
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(Keyboard::currentInputModeLanguage(), "zh-Hans");
}

TEST_F(TextInputTest, KeyboardNotificationsFollowTheFirstResponder) {
    field->becomeFirstResponder();
    ASSERT_EQ(keyboard.size(), 2u);
    EXPECT_EQ(keyboard[0].name, KeyboardWillChangeFrameNotification);
    EXPECT_EQ(keyboard[1].name, KeyboardWillShowNotification);
    EXPECT_EQ(keyboard[1].userInfo["frame"]["y"], 568 - 216);
    EXPECT_EQ(keyboard[1].userInfo["duration"], 0.25);

    // Moving to another input keeps the keyboard up.
    auto other = std::make_shared<TextView>(Rect(0, 200, 320, 100));
    root->view()->addSubview(other);
    other->becomeFirstResponder();
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_EQ(delegate->ended, 1);
    EXPECT_EQ(keyboard.back().name, KeyboardWillShowNotification);

    keyboard.clear();
    root->view()->endEditing(true);
    ASSERT_EQ(keyboard.size(), 2u);
    EXPECT_EQ(keyboard[1].name, KeyboardWillHideNotification);
    EXPECT_EQ(keyboard[1].userInfo["frame"]["y"], 568);
    EXPECT_FALSE(Keyboard::isVisible());

    // An input that leaves the window gives the keyboard up.
    field->becomeFirstResponder();
    field->removeFromSuperview();
    EXPECT_FALSE(Keyboard::isVisible());
    EXPECT_EQ(currentFirstResponder(), nullptr);
}

// The chat bar's text view: the return key arrives as "\n" and is refused.
class SendOnReturn : public TextViewDelegate {
public:
    bool shouldChangeTextInRange(TextView& v, TextRange, const std::string& s) override {
        if (s == "\n") {
            sent.push_back(v.text());
            v.setText("");
            return false;
        }
        return true;
    }
    void textViewDidChange(TextView&) override { ++changed; }
    std::vector<std::string> sent;
    int changed = 0;
};

TEST_F(TextInputTest, TextViewReturnKeyGoesThroughTheDelegate) {
    auto tv = std::make_shared<TextView>(Rect(0, 200, 320, 40));
    root->view()->addSubview(tv);
    auto d = std::make_shared<SendOnReturn>();
    tv->setDelegate(d);
    window->tap({100, 220});
    ASSERT_TRUE(tv->isFirstResponder());
    tv->typeText("你好");
    tv->pressReturn();
    EXPECT_EQ(d->sent, (std::vector<std::string>{"你好"}));
    EXPECT_EQ(tv->text(), "");
    EXPECT_EQ(d->changed, 2);
    tv->pressReturn();
    EXPECT_EQ(d->sent.back(), "");
}

TEST(TextUnits, RangesCountCharactersNotBytes) {
    EXPECT_EQ(text::length("京A😀"), 3u);
    EXPECT_EQ(text::substring("京A😀", 1, 2), "A😀");
    EXPECT_EQ(text::replace("京A12", {1, 1}, "沪"), "京沪12");
    EXPECT_EQ(text::characters("交通").size(), 2u);
    EXPECT_EQ(text::length(std::string("a\xff") + "b"), 3u);
}

}  // namespace
