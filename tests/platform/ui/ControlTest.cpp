#include <gtest/gtest.h>

#include <cmath>

#include "UiTest.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"

using namespace ui;

namespace {

class ControlTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        root = std::make_shared<ViewController>();
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        button = std::make_shared<Button>(ButtonType::Custom, Rect(20, 100, 200, 44));
        button->setTitle("我知道了");
        root->view()->addSubview(button);
        button->addTarget([this] { events.push_back("down"); }, ControlEvent::TouchDown);
        button->addTarget([this] { events.push_back("up"); }, ControlEvent::TouchUpInside);
        button->addTarget([this] { events.push_back("exit"); }, ControlEvent::TouchDragExit);
    }
    std::shared_ptr<ViewController> root;
    std::shared_ptr<Button> button;
    std::vector<std::string> events;
};

TEST_F(ControlTest, ATapSendsTouchDownThenTouchUpInside) {
    EXPECT_EQ(window->tap({120, 122}), button);
    EXPECT_EQ(events, (std::vector<std::string>{"down", "up"}));
    EXPECT_FALSE(button->isHighlighted());
}

TEST_F(ControlTest, HiddenDisabledOrCoveredButtonsGetNoTap) {
    button->setHidden(true);
    EXPECT_EQ(window->tap({120, 122}), root->view());
    button->setHidden(false);
    button->setEnabled(false);
    EXPECT_EQ(window->tap({120, 122}), root->view());
    button->setEnabled(true);
    button->setAlpha(0.005);
    window->tap({120, 122});
    button->setAlpha(1);
    EXPECT_TRUE(events.empty());

    auto cover = std::make_shared<View>(Rect(0, 80, 320, 100));
    root->view()->addSubview(cover);
    EXPECT_EQ(window->tap({120, 122}), cover);
    EXPECT_TRUE(events.empty());
    // A cover that takes no touches lets them through.
    cover->setUserInteractionEnabled(false);
    window->tap({120, 122});
    EXPECT_EQ(events, (std::vector<std::string>{"down", "up"}));
}

TEST_F(ControlTest, DraggingAwayExitsAndReleasingOutsideIsNoTap) {
    window->sendTouch(TouchPhase::Began, {120, 122});
    EXPECT_TRUE(button->isHighlighted());
    window->sendTouch(TouchPhase::Moved, {120, 400});
    EXPECT_FALSE(button->isHighlighted());
    window->sendTouch(TouchPhase::Ended, {120, 400});
    EXPECT_EQ(events, (std::vector<std::string>{"down", "exit"}));
}

TEST_F(ControlTest, TitlesAndImagesFollowTheState) {
    button->setTitle("已拍照", ControlStates::Disabled);
    button->setTitleColor(Color::red(), ControlStates::Highlighted);
    EXPECT_EQ(button->currentTitle(), "我知道了");
    EXPECT_EQ(button->currentTitleColor(), Color::white());
    button->setHighlighted(true);
    EXPECT_EQ(button->currentTitleColor(), Color::red());
    EXPECT_EQ(button->currentTitle(), "我知道了");  // nothing set for highlighted: the normal title
    button->setHighlighted(false);
    button->setEnabled(false);
    EXPECT_EQ(button->currentTitle(), "已拍照");
    EXPECT_EQ(button->titleLabel()->text(), "已拍照");
    button->removeTarget(nullptr);
    EXPECT_FALSE(button->hasActionsForEvents(ControlEvent::AllEvents));
}

TEST_F(ControlTest, HitTestingFollowsAQuarterTurn) {
    auto v = std::make_shared<View>(Rect(110, 90, 100, 20));
    v->setTransform(AffineTransform::rotation(M_PI / 2));
    root->view()->addSubview(v);
    EXPECT_EQ(v->frame().x(), 150);
    EXPECT_NEAR(v->frame().height(), 100, 1e-9);
    // Inside the turned view, outside its unturned rectangle.
    EXPECT_EQ(root->view()->hitTest({160, 140}), v);
    // Inside the unturned rectangle only.
    EXPECT_EQ(root->view()->hitTest({120, 95}), root->view());
    Point local = v->convertPointFromView({160, 140}, nullptr);
    EXPECT_NEAR(local.x, 90, 1e-9);
    EXPECT_NEAR(local.y, 10, 1e-9);
    Point back = v->convertPointToView(local, nullptr);
    EXPECT_NEAR(back.x, 160, 1e-9);
    EXPECT_NEAR(back.y, 140, 1e-9);
}

TEST_F(ControlTest, GestureRecognizersSeeTouchesButControlsKeepTheirTaps) {
    auto area = std::make_shared<View>(Rect(0, 200, 320, 300));
    root->view()->addSubview(area);
    int taps = 0;
    std::vector<Point> pans;
    area->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([&](GestureRecognizer&) { ++taps; }));
    auto pan = std::make_shared<PanGestureRecognizer>([&](GestureRecognizer& g) {
        pans.push_back(static_cast<PanGestureRecognizer&>(g).translationInView(area));
    });
    area->addGestureRecognizer(pan);
    window->tap({100, 300});
    EXPECT_EQ(taps, 1);
    EXPECT_TRUE(pans.empty());

    window->drag({100, 300}, {100, 360}, 3);
    EXPECT_EQ(taps, 1);
    ASSERT_FALSE(pans.empty());
    EXPECT_EQ(pans.back().y, 60);
    EXPECT_EQ(pan->state(), GestureRecognizerState::Possible);  // reset after the sequence

    // A button inside the area takes its tap; the area's tap recognizer does not fire.
    auto inner = std::make_shared<Button>(ButtonType::Custom, Rect(10, 10, 50, 50));
    int pressed = 0;
    inner->addTarget([&] { ++pressed; }, ControlEvent::TouchUpInside);
    area->addSubview(inner);
    window->tap({30, 230});
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(taps, 1);
}

class TouchRecorder : public View {
public:
    using View::View;
    void touchesBegan(const Touches& t) override { seen.push_back(t.front()->locationInView(this)); }
    void touchesMoved(const Touches& t) override { seen.push_back(t.front()->locationInView(this)); }
    void touchesEnded(const Touches& t) override { seen.push_back(t.front()->locationInView(this)); ended = true; }
    std::vector<Point> seen;
    bool ended = false;
};

class TouchScreen : public ViewController {
public:
    void touchesBegan(const Touches& t) override { began = t.front()->locationInView(view()); }
    Point began{-1, -1};
};

TEST_F(ControlTest, RawTouchesReachViewsAndPassUpToTheirScreen) {
    auto rec = std::make_shared<TouchRecorder>(Rect(0, 300, 100, 100));
    root->view()->addSubview(rec);
    window->drag({10, 310}, {50, 350}, 2);
    ASSERT_EQ(rec->seen.size(), 4u);
    EXPECT_EQ(rec->seen.front(), (Point{10, 10}));
    EXPECT_EQ(rec->seen.back(), (Point{50, 50}));
    EXPECT_TRUE(rec->ended);

    auto screen = std::make_shared<TouchScreen>();
    window->setRootViewController(screen);
    window->tap({200, 500});
    EXPECT_EQ(screen->began, (Point{200, 500}));
}

}  // namespace

namespace {

TEST_F(ControlTest, ATitleSetAfterTheInsetsKeepsClearOfTheImagePushedToTheEdge) {
    // The plate prefix: a small arrow pushed to the right edge, the prefix text to its left.
    auto arrow = graphics::Image::draw({12, 8}, 1, false, [](cairo_t*) {});
    auto prefix = std::make_shared<Button>(ButtonType::Custom, Rect(90, 7, 60, 30));
    prefix->setImage(arrow);
    prefix->titleLabel()->setFont(Font::systemFont(15));
    prefix->setImageEdgeInsets({0, 46, 0, 0});
    root->view()->addSubview(prefix);
    prefix->setTitle("京A");
    // Moved left on one side only, the centred title moves half as far and runs under the arrow.
    prefix->setTitleEdgeInsets({0, -17, 0, 0});
    window->layoutIfNeededAll();
    EXPECT_GT(prefix->titleLabel()->frame().maxX(), prefix->imageView()->frame().x());
    prefix->setTitleEdgeInsets({0, -17, 0, 17});
    window->layoutIfNeededAll();
    Rect title = prefix->titleLabel()->frame(), image = prefix->imageView()->frame();
    EXPECT_GT(title.width(), 15) << "the title is laid out for its text";
    EXPECT_LE(title.maxX(), image.x()) << "title " << title.x() << "+" << title.width() << ", image at " << image.x();
    EXPECT_GE(title.x(), 0);
}

}  // namespace

namespace {

// A solid picture of `colour`, as a button's background image.
ImagePtr solidPicture(Color colour, Size size) {
    return drawImage(size, 1, true, [&](GraphicsContext& context) {
        context.setFillColor(colour);
        context.fillRect({0, 0, size.width, size.height});
    });
}

// A white page holding one grey button with the title "满意度评价"; `render` draws the page.
struct GreyButtonPage {
    std::shared_ptr<View> page = std::make_shared<View>(Rect(0, 0, 300, 60));
    std::shared_ptr<Button> button = std::make_shared<Button>(ButtonType::Custom, Rect(10, 8, 280, 44));
    GreyButtonPage() {
        page->setBackgroundColor(Color::white());
        button->setTitle("满意度评价");
        button->setBackgroundImage(solidPicture(Color::rgbBytes(110, 110, 110), {280, 44}));
        page->addSubview(button);
    }
    // A pixel of the button's background well away from its title (pixels at scale 1).
    Color backgroundPixel() const {
        auto image = render(page, 1);
        return image->pixel(16, 14);
    }
    // The brightest pixel of the title's middle row: the title's own colour.
    Color brightestTitlePixel() const {
        auto image = render(page, 1);
        Color best = Color::black();
        for (int x = 100; x < 200; ++x) {
            Color c = image->pixel(x, 30);
            if (c.r + c.g + c.b > best.r + best.g + best.b) best = c;
        }
        return best;
    }
};

}  // namespace

TEST_F(ControlTest, DisabledButtonWithBackgroundImageIsDrawnFadedAndItsTitleStaysReadable) {
    GreyButtonPage grey;
    Color enabled = grey.backgroundPixel();
    EXPECT_NEAR(enabled.r, 110.0 / 255, 0.02);

    grey.button->setEnabled(false);
    Color disabled = grey.backgroundPixel();
    // Half the grey over the white page behind it: plainly lighter than the enabled button.
    EXPECT_NEAR(disabled.r, (110.0 / 255 + 1) / 2, 0.03);
    EXPECT_GT(disabled.r - enabled.r, 0.2);
    // The title is still drawn white over the faded grey.
    EXPECT_GT(grey.brightestTitlePixel().r, 0.95);

    // Enabled again, the button looks as it did.
    grey.button->setEnabled(true);
    EXPECT_NEAR(grey.backgroundPixel().r, enabled.r, 0.01);
}

TEST_F(ControlTest, DisabledButtonKeepsItsOwnDisabledPictureOrFullStrengthWhenAskedNotToAdjust) {
    GreyButtonPage own;
    own.button->setBackgroundImage(solidPicture(Color::rgbBytes(200, 30, 30), {280, 44}), ControlStates::Disabled);
    own.button->setEnabled(false);
    Color c = own.backgroundPixel();
    EXPECT_NEAR(c.r, 200.0 / 255, 0.02);
    EXPECT_NEAR(c.g, 30.0 / 255, 0.02);

    GreyButtonPage fixed;
    fixed.button->setAdjustsImageWhenDisabled(false);
    fixed.button->setEnabled(false);
    EXPECT_NEAR(fixed.backgroundPixel().r, 110.0 / 255, 0.02);
    EXPECT_FALSE(fixed.button->dimsDisabledBackground());
}
