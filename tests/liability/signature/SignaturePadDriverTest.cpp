#include <memory>

#include "liability/signature/PopSignUtil.h"
#include "platform/testing/Driver.h"
#include "platform/ui/Application.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/Window.h"
#include "support/PlatformTest.h"

using ui::Point;

namespace {

// The pad driven as a finger on the screen would: buttons found by their titles, strokes
// drawn at screen points across the sideways panel.
class SignaturePadDriverTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        PopSignUtil::resetShared();
        window = std::make_shared<ui::Window>(ui::Rect{0, 0, 320, 568});
        root = std::make_shared<ui::ViewController>();
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        PopSignUtil::getSignWithVC(root, [this](ui::ImagePtr image) {
            ++okCalls;
            okImage = image;
            PopSignUtil::closePop();
        }, [] { PopSignUtil::closePop(); });
        driver.settle();
    }
    void TearDown() override {
        PopSignUtil::resetShared();
        window.reset();
        root.reset();
        ui::resetForTests();
        PlatformTest::TearDown();
    }

    driver::Driver driver;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ViewController> root;
    int okCalls = 0;
    ui::ImagePtr okImage;
};

TEST_F(SignaturePadDriverTest, SignatureDrawnAcrossTheSidewaysPadComesBackBlackOnClear) {
    ASSERT_TRUE(driver.isOnScreen("请在下方区域内签名"));
    ASSERT_TRUE(driver.isOnScreen("签 名"));
    // Drawing area point (x, y) lies at screen point (220 - y, 5 + x).
    auto down = driver.drag({170, 105}, {170, 405}, 6);   // y 50, x 100 .. 400
    ASSERT_TRUE(down) << down.error();
    EXPECT_FALSE(driver.isOnScreen("签 名"));

    auto r = driver.tap("确定");
    ASSERT_TRUE(r) << r;
    ASSERT_EQ(okCalls, 1);
    ASSERT_TRUE(okImage);
    EXPECT_EQ(okImage->pixelWidth(), 558);
    EXPECT_EQ(okImage->pixelHeight(), 210);
    EXPECT_EQ(okImage->pixel(250, 50), ui::Color::black());
    EXPECT_EQ(okImage->pixel(250, 60).a, 0);
    EXPECT_EQ(okImage->pixel(50, 50).a, 0);   // before the first move

    // The caller closed the pad: it slides out and is gone.
    driver.wait(0.3);
    EXPECT_FALSE(driver.isOnScreen("确定"));
    EXPECT_FALSE(PopSignUtil::shareRestance()->zhezhaoView);
}

TEST_F(SignaturePadDriverTest, ResigningAndCancelledTouchesFromTheScreen) {
    ASSERT_TRUE(driver.touchDown({170, 105}));
    ASSERT_TRUE(driver.touchMove({170, 205}));
    ASSERT_TRUE(driver.touchCancel());
    EXPECT_EQ(SignView::state().currentPoints.size(), 1u);
    EXPECT_TRUE(SignView::state().strokes.empty());

    auto r = driver.tap("重签");
    ASSERT_TRUE(r) << r;
    EXPECT_TRUE(driver.isOnScreen("签 名"));
    EXPECT_TRUE(SignView::state().currentPoints.empty());
    r = driver.tap("确定");
    ASSERT_TRUE(r) << r;
    EXPECT_EQ(okCalls, 1);
    EXPECT_FALSE(okImage);
}

}  // namespace

// A form whose code field still has the keyboard when the pad opens: the pad puts the keyboard
// away, so none of its lower part (where "确定" sits) is hidden.
class SignaturePadKeyboardTest : public PlatformTest {};

TEST_F(SignaturePadKeyboardTest, OpeningThePadPutsAwayTheKeyboardOfTheScreenBelow) {
    ui::resetForTests();
    PopSignUtil::resetShared();
    driver::Driver driver;
    auto window = std::make_shared<ui::Window>(ui::Rect{0, 0, 320, 568});
    auto root = std::make_shared<ui::ViewController>();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    auto code = std::make_shared<ui::TextField>(ui::Rect{10, 300, 140, 39});
    code->setPlaceholder("请输入对方验证码");
    root->view()->addSubview(code);
    ASSERT_TRUE(driver.type("请输入对方验证码", "123456"));
    ASSERT_TRUE(ui::Keyboard::isVisible());

    int cancelled = 0;
    PopSignUtil::getSignWithVC(root, [](ui::ImagePtr) { PopSignUtil::closePop(); }, [&] {
        ++cancelled;
        PopSignUtil::closePop();
    });
    driver.settle();
    EXPECT_FALSE(ui::Keyboard::isVisible());
    EXPECT_FALSE(code->isFirstResponder());
    EXPECT_EQ(code->text(), "123456") << "what was typed stays";
    ASSERT_TRUE(driver.tap("取消"));
    EXPECT_EQ(cancelled, 1);

    PopSignUtil::resetShared();
    window.reset();
    ui::resetForTests();
}
