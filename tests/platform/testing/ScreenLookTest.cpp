// What a person sees of the phone's own parts: the keyboard over the lower screen and the
// room the screen makes for it, and the system camera picker's controls.
#include <gtest/gtest.h>

#include "OneScreenTest.h"
#include "platform/testing/Driver.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextInput.h"

using namespace ui;

namespace {

class ScreenLookTest : public OneScreenTest {
protected:
    std::shared_ptr<TextField> field(const std::string& placeholder, Rect frame) {
        auto f = std::make_shared<TextField>(frame);
        f->setPlaceholder(placeholder);
        return f;
    }
    // The input's frame on the screen.
    static Rect onScreen(const std::shared_ptr<View>& view) { return view->convertRectToView(view->bounds(), nullptr); }
};

bool near(const Color& c, const Color& e, double tolerance = 0.03) {
    return std::abs(c.r - e.r) < tolerance && std::abs(c.g - e.g) < tolerance && std::abs(c.b - e.b) < tolerance;
}

// A long form: a scroll view over the whole screen, a field near its top and one far down,
// under where the keyboard comes up, with the form's own bottom inset of 10.
struct LongForm {
    std::shared_ptr<ScrollView> scroll = std::make_shared<ScrollView>(Rect(0, 0, 320, 568));
    std::shared_ptr<TextField> top, bottom;
    LongForm(ScreenLookTest*, const std::shared_ptr<View>& page, std::shared_ptr<TextField> t, std::shared_ptr<TextField> b)
        : top(std::move(t)), bottom(std::move(b)) {
        scroll->setContentSize({320, 900});
        scroll->setContentInset({0, 0, 10, 0});
        scroll->addSubview(top);
        scroll->addSubview(bottom);
        page->addSubview(scroll);
    }
};

}  // namespace

TEST_F(ScreenLookTest, TheKeyboardMakesRoomInTheFormAndTheFieldBeingTypedIntoStaysInSight) {
    LongForm form(this, screen->view(), field("姓名", {10, 100, 300, 40}), field("电话", {10, 700, 300, 40}));
    const double keyboardTop = 568 - Keyboard::height();

    // Scrolled to the end the phone field shows low on the screen, where the keyboard comes up.
    form.scroll->userScroll({0, 1000});
    ASSERT_GT(onScreen(form.bottom).maxY(), keyboardTop);
    ASSERT_TRUE(d.type("电话", "13900139000"));
    ASSERT_TRUE(Keyboard::isVisible());
    EXPECT_EQ(form.bottom->text(), "13900139000");
    // The field sits wholly above the keyboard, and the form can be scrolled to its very end
    // above the keyboard too.
    EXPECT_LE(onScreen(form.bottom).maxY(), keyboardTop);
    EXPECT_GE(onScreen(form.bottom).minY(), 0);
    EXPECT_DOUBLE_EQ(form.scroll->keyboardInset(), Keyboard::height());
    EXPECT_DOUBLE_EQ(form.scroll->contentInset().bottom, 10 + Keyboard::height());
    EXPECT_DOUBLE_EQ(form.scroll->maximumContentOffset().y, 900 + 10 + Keyboard::height() - 568);

    // Scrolled back up, the first field takes the keyboard over; the room stays while typing.
    form.scroll->userScroll({0, 0});
    ASSERT_TRUE(d.type("姓名", "李四"));
    EXPECT_GE(onScreen(form.top).minY(), 0);
    EXPECT_LE(onScreen(form.top).maxY(), keyboardTop);
    EXPECT_DOUBLE_EQ(form.scroll->keyboardInset(), Keyboard::height());

    // The keyboard goes: the form's own inset is all that is left, the offset within reach.
    form.top->resignFirstResponder();
    EXPECT_FALSE(Keyboard::isVisible());
    EXPECT_DOUBLE_EQ(form.scroll->keyboardInset(), 0);
    EXPECT_DOUBLE_EQ(form.scroll->contentInset().bottom, 10);
    EXPECT_LE(form.scroll->contentOffset().y, form.scroll->maximumContentOffset().y);
}

TEST_F(ScreenLookTest, OnlyTheScrollViewAroundTheInputMakesRoomAndOnlyAsDeepAsTheKeyboardCoversIt) {
    // A short list above a field of its own: the keyboard covers only the list's last 48
    // points, and typing into the field outside any scroll view leaves the list alone.
    auto list = std::make_shared<ScrollView>(Rect(0, 0, 320, 400));
    list->setContentSize({320, 1000});
    auto inList = field("备注", {10, 360, 300, 30});
    list->addSubview(inList);
    screen->view()->addSubview(list);
    auto own = field("验证码", {10, 300, 300, 40});
    own->setFrame({10, 410, 300, 40});
    screen->view()->addSubview(own);

    ASSERT_TRUE(d.type("验证码", "123456"));
    EXPECT_DOUBLE_EQ(list->keyboardInset(), 0);
    EXPECT_DOUBLE_EQ(list->contentInset().bottom, 0);
    EXPECT_DOUBLE_EQ(list->contentOffset().y, 0);

    // From the own field to the one in the list: the list now makes room for the covered part.
    ASSERT_TRUE(d.type("备注", "剐蹭"));
    EXPECT_DOUBLE_EQ(list->keyboardInset(), 400 - (568 - Keyboard::height()));
    EXPECT_LE(onScreen(inList).maxY(), 568 - Keyboard::height());

    // Back to the own field: the list gives the room back.
    ASSERT_TRUE(d.type("验证码", "7"));
    EXPECT_DOUBLE_EQ(list->keyboardInset(), 0);
    EXPECT_DOUBLE_EQ(list->contentInset().bottom, 0);
}

TEST_F(ScreenLookTest, TheMainButtonComesIntoSightWithTheFieldWhenBothFitAboveTheKeyboard) {
    // The form's "下一步" lies far below the phone field; the name field is too far above it
    // for both to fit between the bar and the keyboard.
    LongForm form(this, screen->view(), field("姓名", {10, 100, 300, 40}), field("电话", {10, 560, 300, 40}));
    auto next = std::make_shared<Button>(ButtonType::System, Rect(10, 700, 300, 44));
    next->setTitle("下一步");
    next->setStaysInSightWhileTyping(true);
    form.scroll->addSubview(next);
    const double keyboardTop = 568 - Keyboard::height();

    ASSERT_TRUE(d.type("姓名", "李四"));
    EXPECT_GE(onScreen(form.top).minY(), 0);
    EXPECT_LE(onScreen(form.top).maxY(), keyboardTop);

    form.scroll->userScroll({0, 300});
    ASSERT_TRUE(d.type("电话", "139"));
    for (const auto& view : {std::static_pointer_cast<View>(form.bottom), std::static_pointer_cast<View>(next)}) {
        EXPECT_GE(onScreen(view).minY(), 0);
        EXPECT_LE(onScreen(view).maxY(), keyboardTop);
    }
    EXPECT_TRUE(d.tap("下一步"));
}

TEST_F(ScreenLookTest, ASheetOrAnAlertThatOpensPutsTheKeyboardAway) {
    screen->view()->addSubview(field("姓名", {10, 100, 300, 40}));
    auto open = [&](const std::function<void()>& show, const std::string& button) {
        ASSERT_TRUE(d.type("姓名", "李"));
        ASSERT_TRUE(Keyboard::isVisible());
        show();
        d.settle();
        EXPECT_FALSE(Keyboard::isVisible()) << button;
        EXPECT_TRUE(d.answerAlert(button)) << button;
    };
    open(
        [&] {
            auto sheet = std::make_shared<ActionSheet>("号码", std::weak_ptr<ActionSheetDelegate>(), "取消", "");
            sheet->addButtonWithTitle("完成");
            sheet->showInView(screen->view());
        },
        "完成");
    open(
        [&] {
            auto alert = std::make_shared<AlertView>("提示", "确定提交吗", std::weak_ptr<AlertViewDelegate>(), "取消",
                                                     std::vector<std::string>{"确定"});
            alert->show();
        },
        "确定");
}

TEST_F(ScreenLookTest, TheKeyboardDrawsTheKeysOfTheInputThatHasIt) {
    // Dark pixels on the keyboard's first row of keys: their letters or digits.
    auto marksOnFirstRow = [&] {
        auto shot = d.screenshot(1);
        int dark = 0;
        const double top = 568 - Keyboard::height();
        for (int y = static_cast<int>(top) + 12; y < top + 44; ++y) {
            for (int x = 0; x < 320; ++x) {
                if (shot->pixel(x, y).r < 0.4) ++dark;
            }
        }
        return dark;
    };
    auto name = field("姓名", {10, 100, 300, 40});
    auto phone = field("电话", {10, 150, 300, 40});
    phone->setKeyboardType(KeyboardType::PhonePad);
    screen->view()->addSubview(name);
    screen->view()->addSubview(phone);
    ASSERT_TRUE(d.type("姓名", "李"));
    int letter = marksOnFirstRow();
    EXPECT_GT(letter, 5) << "q to p of the pinyin keys";
    ASSERT_TRUE(d.type("电话", "1"));
    int digit = marksOnFirstRow();
    EXPECT_GT(digit, 5) << "1, 2 ABC, 3 DEF of the digit pad";
    EXPECT_NE(letter, digit);
}

TEST_F(ScreenLookTest, TheScreenshotShowsTheKeyboardOverWhatItCovers) {
    auto low = field("电话", {10, 500, 300, 40});
    low->setBackgroundColor(Color::rgba(1, 0, 0));
    screen->view()->addSubview(low);
    auto before = d.screenshot(1);
    EXPECT_TRUE(near(before->pixel(5, 520), Color::rgba(1, 0, 0)) || near(before->pixel(12, 505), Color::rgba(1, 0, 0)));

    ASSERT_TRUE(d.type("电话", "1"));
    auto shot = d.screenshot(1);
    // The keyboard's grey panel between its keys, and white keys; no red field showing through.
    EXPECT_TRUE(near(shot->pixel(2, 560), Color::grey(0.82)));
    int red = 0;
    for (int y = 360; y < 568; y += 4) {
        for (int x = 0; x < 320; x += 4) {
            Color c = shot->pixel(x, y);
            if (c.r > 0.9 && c.g < 0.1 && c.b < 0.1) ++red;
        }
    }
    EXPECT_EQ(red, 0);
    int white = 0;
    for (int x = 0; x < 320; ++x) {
        if (near(shot->pixel(x, 380), Color::white())) ++white;
    }
    EXPECT_GT(white, 150);
}

namespace {

struct PickerChoices : ImagePickerControllerDelegate {
    int picked = 0, cancelled = 0;
    ImagePtr original;
    void didFinishPickingMediaWithInfo(ImagePickerController& picker, const ImagePickerInfo& info) override {
        ++picked;
        original = info.originalImage;
        picker.dismissViewController(false);
    }
    void imagePickerControllerDidCancel(ImagePickerController& picker) override {
        ++cancelled;
        picker.dismissViewController(false);
    }
};

ImagePtr solid(Color colour, Size size) {
    return drawImage(size, 1, true, [&](GraphicsContext& context) {
        context.setFillColor(colour);
        context.fillRect({0, 0, size.width, size.height});
    });
}

}  // namespace

TEST_F(ScreenLookTest, TheCameraPickerShowsTheLensViewAShutterAndCancelThatAFingerCanUse) {
    auto shot = solid(Color::rgba(0, 0.5, 0), {64, 48});
    int taken = 0;
    ImagePickerController::setCameraProvider([&] { ++taken; return shot; });
    ImagePickerController::setCameraPreviewProvider([] { return solid(Color::rgba(0.2, 0.4, 0.8), {64, 48}); });
    auto choices = std::make_shared<PickerChoices>();

    auto open = [&] {
        auto picker = std::make_shared<ImagePickerController>();
        picker->setSourceType(ImagePickerSourceType::Camera);
        picker->setDelegate(choices);
        screen->presentViewController(picker, false);
        d.settle();
        return picker;
    };
    auto picker = open();
    ASSERT_EQ(d.topScreenName(), "ImagePickerScreen");
    EXPECT_TRUE(picker->isNavigationBarHidden()) << "a camera has no navigation bar";
    auto image = d.screenshot(1);
    EXPECT_TRUE(near(image->pixel(160, 200), Color::rgba(0.2, 0.4, 0.8))) << "what the lens sees fills the screen";
    EXPECT_TRUE(near(image->pixel(160, 568 - 48), Color::white())) << "the shutter's white disc";
    EXPECT_TRUE(near(image->pixel(300, 568 - 10), Color::black())) << "the black bar under the view";

    ASSERT_TRUE(d.tap("取消"));
    EXPECT_EQ(choices->cancelled, 1);
    EXPECT_EQ(taken, 0);

    open();
    // The shutter is the round button in the middle of the bar.
    auto touched = d.tapAt({160, 568 - 48});
    ASSERT_TRUE(touched) << touched.error();
    EXPECT_EQ(choices->picked, 1);
    EXPECT_EQ(choices->original, shot);
    EXPECT_EQ(taken, 1);
    EXPECT_NE(d.topScreenName(), "ImagePickerScreen");
}

TEST_F(ScreenLookTest, TheLibraryPickerSaysItHasNothingAndCanBeLeft) {
    auto choices = std::make_shared<PickerChoices>();
    auto picker = std::make_shared<ImagePickerController>();
    picker->setDelegate(choices);
    screen->presentViewController(picker, false);
    d.settle();
    EXPECT_FALSE(picker->isNavigationBarHidden());
    EXPECT_TRUE(d.isOnScreen("照片"));
    EXPECT_TRUE(d.isOnScreen("没有照片"));
    ASSERT_TRUE(d.tap("取消"));
    EXPECT_EQ(choices->cancelled, 1);
    EXPECT_EQ(choices->picked, 0);
}
