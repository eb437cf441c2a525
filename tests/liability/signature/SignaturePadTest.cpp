#include <cairo.h>

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "support/PlatformTest.h"
#include "liability/signature/DrawSignView.h"
#include "liability/signature/PopSignUtil.h"
#include "liability/signature/SignView.h"
#include "platform/ui/Application.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Window.h"

using ui::Point;
using ui::Rect;
using ui::TouchPhase;

namespace {

// The pad opened over a 320 x 568 window. Points of the drawing area are turned into window
// points the way a finger on the sideways pad would touch the screen.
class SignaturePadTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        PopSignUtil::resetShared();
        window = std::make_shared<ui::Window>(Rect{0, 0, 320, 568});
        root = std::make_shared<ui::ViewController>();
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        drain();
    }
    void TearDown() override {
        PopSignUtil::resetShared();
        window.reset();
        root.reset();
        ui::resetForTests();
        PlatformTest::TearDown();
    }

    void open() {
        PopSignUtil::getSignWithVC(root, [this](ui::ImagePtr image) {
            ++okCalls;
            okImage = image;
        }, [this] { ++cancelCalls; });
        panel = PopSignUtil::shareRestance()->signView();
        ASSERT_TRUE(panel);
    }

    // A point of the drawing area (558 x 210 at (5, 100) of the 568 x 320 panel) in the window.
    Point windowPoint(Point drawing) const {
        return panel->drawView->convertPointToView(drawing, nullptr);
    }
    // The panel's points of its buttons, in the window.
    Point buttonPoint(const std::shared_ptr<ui::Button>& b) const {
        return b->convertPointToView(Point{40, 20}, nullptr);
    }
    void tapButton(const std::shared_ptr<ui::Button>& b) { ASSERT_EQ(window->tap(buttonPoint(b)), b); }

    void stroke(std::vector<Point> drawingPoints, TouchPhase end = TouchPhase::Ended) {
        ASSERT_FALSE(drawingPoints.empty());
        window->sendTouch(TouchPhase::Began, windowPoint(drawingPoints.front()));
        for (size_t i = 1; i < drawingPoints.size(); ++i) window->sendTouch(TouchPhase::Moved, windowPoint(drawingPoints[i]));
        window->sendTouch(end, windowPoint(drawingPoints.back()));
    }

    static double alphaAt(const ui::ImagePtr& image, int x, int y) { return image->pixel(x, y).a; }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ViewController> root;
    std::shared_ptr<DrawSignView> panel;
    int okCalls = 0;
    int cancelCalls = 0;
    ui::ImagePtr okImage;
};

std::vector<Point> parsed(const std::vector<std::string>& texts) {
    std::vector<Point> out;
    for (auto& t : texts) {
        auto p = SignView::pointFromString(t);
        EXPECT_TRUE(p) << t;
        if (p) out.push_back(*p);
    }
    return out;
}

// An image of the given pixels (RGBA bytes, one row).
ui::ImagePtr rowImage(const std::vector<ui::Color>& colors, double scale = 1) {
    int w = int(colors.size());
    return ui::Image::draw({w / scale, 1 / scale}, scale, false, [&](cairo_t* cr) {
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        for (int i = 0; i < w; ++i) {
            cairo_set_source_rgba(cr, colors[i].r, colors[i].g, colors[i].b, colors[i].a);
            cairo_rectangle(cr, i / scale, 0, 1 / scale, 1 / scale);
            cairo_fill(cr);
        }
    });
}

TEST_F(SignaturePadTest, OpensTurnedOverTheRootViewAndSlidesOutWhenClosed) {
    open();
    auto mask = PopSignUtil::shareRestance()->zhezhaoView;
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->superview(), root->view());
    EXPECT_EQ(mask->frame(), (Rect{0, 0, 320, 568}));
    EXPECT_EQ(mask->backgroundColor(), ui::Color::grey(0.2, 0.5));

    // Landscape panel turned clockwise to cover the portrait screen.
    EXPECT_EQ(panel->superview(), mask);
    EXPECT_EQ(panel->bounds().size, (ui::Size{568, 320}));
    Rect f = panel->frame();
    EXPECT_NEAR(f.x(), 0, 1e-9);
    EXPECT_NEAR(f.y(), 0, 1e-9);
    EXPECT_NEAR(f.width(), 320, 1e-9);
    EXPECT_NEAR(f.height(), 568, 1e-9);
    EXPECT_NEAR(panel->transform().b, 1, 1e-12);   // sin(pi/2): x turns towards y
    EXPECT_EQ(panel->backgroundColor(), ui::Color::rgbBytes(59, 73, 82));
    EXPECT_EQ(panel->layer().cornerRadius, 15.0);

    EXPECT_EQ(panel->drawView->frame(), (Rect{5, 100, 558, 210}));
    EXPECT_EQ(panel->drawView->backgroundColor(), ui::Color::rgbBytes(101, 129, 90));
    EXPECT_EQ(panel->subviews().front(), panel->drawView);   // sent to the back
    auto hint = panel->hintLabel();
    ASSERT_TRUE(hint);
    EXPECT_EQ(hint->text(), "签 名");
    EXPECT_EQ(hint->frame(), panel->drawView->bounds());
    EXPECT_TRUE(panel->hintShowing());

    bool titleFound = false;
    for (auto& v : panel->subviews()) {
        if (auto l = std::dynamic_pointer_cast<ui::Label>(v); l && l->text() == "请在下方区域内签名") {
            titleFound = true;
            EXPECT_EQ(l->frame(), (Rect{124, 10, 320, 40}));
            EXPECT_EQ(l->font().size, 24);
        }
    }
    EXPECT_TRUE(titleFound);
    EXPECT_EQ(panel->cancelBtn->currentTitle(), "取消");
    EXPECT_EQ(panel->clearBtn->currentTitle(), "重签");
    EXPECT_EQ(panel->okBtn->currentTitle(), "确定");
    EXPECT_EQ(panel->cancelBtn->frame(), (Rect{100, 50, 80, 40}));
    EXPECT_EQ(panel->clearBtn->frame(), (Rect{230, 50, 80, 40}));
    EXPECT_EQ(panel->okBtn->frame(), (Rect{360, 50, 80, 40}));
    auto pressed = panel->okBtn->backgroundImageForState(ui::ControlStates::Highlighted);
    ASSERT_TRUE(pressed);
    EXPECT_EQ(pressed->pixel(0, 0), ui::Color::rgbBytes(169, 183, 192));

    // Closing slides the mask out over 0.25 s, then drops it.
    PopSignUtil::closePop();
    EXPECT_EQ(mask->frame(), (Rect{320, 0, 320, 568}));
    advance(0.2);
    EXPECT_EQ(mask->superview(), root->view());
    advance(0.1);
    EXPECT_FALSE(mask->superview());
    EXPECT_FALSE(PopSignUtil::shareRestance()->zhezhaoView);

    // From the second opening on the mask is made anew, opaque red.
    open();
    auto second = PopSignUtil::shareRestance()->zhezhaoView;
    ASSERT_TRUE(second);
    EXPECT_NE(second, mask);
    EXPECT_EQ(second->backgroundColor(), ui::Color::red());
    EXPECT_EQ(second->superview(), root->view());
    PopSignUtil::closePop();
    advance(0.3);
}

TEST_F(SignaturePadTest, OpeningAgainWhileOpenOrClosingIsIgnored) {
    open();
    auto first = panel;
    auto mask = PopSignUtil::shareRestance()->zhezhaoView;
    int laterOk = 0;
    auto openLater = [&] { PopSignUtil::getSignWithVC(root, [&](ui::ImagePtr) { ++laterOk; }, [] {}); };

    openLater();
    EXPECT_EQ(PopSignUtil::shareRestance()->signView(), first);
    EXPECT_EQ(PopSignUtil::shareRestance()->zhezhaoView, mask);
    EXPECT_EQ(mask->subviews().size(), 1u);
    EXPECT_EQ(root->view()->subviews().size(), 1u);
    // The open pad's buttons still answer its own opener.
    tapButton(first->okBtn);
    EXPECT_EQ(okCalls, 1);
    EXPECT_EQ(laterOk, 0);

    // Still sliding out: ignored too.
    PopSignUtil::closePop();
    advance(0.1);
    openLater();
    EXPECT_EQ(mask->subviews().size(), 1u);
    advance(0.2);
    EXPECT_FALSE(mask->superview());
    EXPECT_TRUE(root->view()->subviews().empty());

    // Closed: the next opening shows a pad again.
    openLater();
    auto next = PopSignUtil::shareRestance()->signView();
    ASSERT_TRUE(next);
    EXPECT_NE(next, first);
    EXPECT_EQ(root->view()->subviews().size(), 1u);
    PopSignUtil::closePop();
    advance(0.3);
}

TEST_F(SignaturePadTest, TouchesOnTheTurnedPanelArriveInTheDrawingAreasCoordinates) {
    open();
    // Drawing-area x runs down the portrait screen, y runs right to left.
    Point w = windowPoint({100, 105});
    EXPECT_NEAR(w.x, 115, 1e-9);
    EXPECT_NEAR(w.y, 105, 1e-9);

    auto hit = window->sendTouch(TouchPhase::Began, {115, 105});
    ASSERT_TRUE(hit);
    EXPECT_TRUE(hit == panel->drawView || hit->superview() == panel->drawView);
    EXPECT_FALSE(panel->hintShowing());
    window->sendTouch(TouchPhase::Moved, {115, 205});
    window->sendTouch(TouchPhase::Moved, {65, 305});
    window->sendTouch(TouchPhase::Ended, {65, 305});

    const auto& s = SignView::state();
    ASSERT_EQ(s.strokes.size(), 1u);
    auto pts = parsed(s.strokes[0]);
    ASSERT_EQ(pts.size(), 2u);   // the touch-down point is not recorded
    EXPECT_NEAR(pts[0].x, 200, 1e-9);
    EXPECT_NEAR(pts[0].y, 105, 1e-9);
    EXPECT_NEAR(pts[1].x, 300, 1e-9);
    EXPECT_NEAR(pts[1].y, 155, 1e-9);
    EXPECT_NEAR(s.lastPoint.x, 300, 1e-9);
    EXPECT_EQ(s.strokeColors, std::vector<int>{0});
    EXPECT_EQ(s.strokeWidths, std::vector<int>{0});
    EXPECT_TRUE(s.currentPoints.empty());
}

TEST_F(SignaturePadTest, OkGivesNilUntilAStrokeMovesAndAfterResigning) {
    open();
    tapButton(panel->okBtn);
    EXPECT_EQ(okCalls, 1);
    EXPECT_FALSE(okImage);

    // A tap without moving: an empty stroke, the hint gone, and still nothing to hand over; a
    // touch that moves to one point draws nothing either.
    window->tap(windowPoint({279, 105}));
    EXPECT_FALSE(panel->hintShowing());
    ASSERT_EQ(SignView::state().strokes.size(), 1u);
    EXPECT_TRUE(SignView::state().strokes[0].empty());
    tapButton(panel->okBtn);
    ASSERT_EQ(okCalls, 2);
    EXPECT_FALSE(okImage);
    stroke({{50, 50}, {150, 60}});
    tapButton(panel->okBtn);
    ASSERT_EQ(okCalls, 3);
    EXPECT_FALSE(okImage);
    stroke({{50, 50}, {100, 55}, {150, 60}});
    tapButton(panel->okBtn);
    ASSERT_EQ(okCalls, 4);
    EXPECT_TRUE(okImage);

    // "重签": hint back, everything cleared, OK gives nil again.
    stroke({{50, 50}, {150, 60}});
    tapButton(panel->clearBtn);
    EXPECT_TRUE(panel->hintShowing());
    EXPECT_TRUE(SignView::state().strokes.empty());
    tapButton(panel->okBtn);
    EXPECT_EQ(okCalls, 5);
    EXPECT_FALSE(okImage);

    tapButton(panel->cancelBtn);
    EXPECT_EQ(cancelCalls, 1);
    EXPECT_EQ(okCalls, 5);
    PopSignUtil::closePop();
    advance(0.3);
}

TEST_F(SignaturePadTest, DrawnLineBecomesOpaqueBlackOnTransparency) {
    open();
    stroke({{100, 105}, {200, 105}, {300, 105}, {400, 105}});
    tapButton(panel->okBtn);
    ASSERT_TRUE(okImage);
    ASSERT_EQ(okImage->pixelWidth(), 558);
    ASSERT_EQ(okImage->pixelHeight(), 210);
    for (int x : {205, 250, 300, 395}) {
        ui::Color c = okImage->pixel(x, 105);
        EXPECT_EQ(c, ui::Color::black()) << x;
    }
    // The pen is 5 points wide with round caps; nothing further away.
    EXPECT_EQ(alphaAt(okImage, 300, 100), 0);
    EXPECT_EQ(alphaAt(okImage, 300, 110), 0);
    EXPECT_EQ(alphaAt(okImage, 300, 30), 0);
    EXPECT_EQ(alphaAt(okImage, 150, 105), 0);   // before the first moved point
    EXPECT_EQ(alphaAt(okImage, 405, 105), 0);
    EXPECT_EQ(alphaAt(okImage, 0, 0), 0);
    // Every pixel is either fully transparent or opaque black.
    for (int y = 0; y < 210; y += 3)
        for (int x = 0; x < 558; x += 3) {
            ui::Color c = okImage->pixel(x, y);
            ASSERT_TRUE(c.a == 0 || c == ui::Color::black()) << x << "," << y;
        }
    PopSignUtil::closePop();
    advance(0.3);
}

TEST_F(SignaturePadTest, UndoAndRedoMoveWholeStrokes) {
    open();
    SignView& view = *panel->drawView;
    view.revocation();   // nothing drawn: nothing changes
    EXPECT_TRUE(SignView::state().strokes.empty());
    EXPECT_TRUE(SignView::state().undoneStrokes.empty());

    window->tap(windowPoint({20, 20}));
    ASSERT_EQ(SignView::state().strokes.size(), 1u);
    view.revocation();
    EXPECT_TRUE(SignView::state().strokes.empty());
    EXPECT_TRUE(SignView::state().strokeColors.empty());
    EXPECT_EQ(SignView::state().undoneStrokes.size(), 1u);
    EXPECT_EQ(SignView::state().undoneWidths.size(), 1u);
    view.refrom();
    ASSERT_EQ(SignView::state().strokes.size(), 1u);
    EXPECT_TRUE(SignView::state().strokes[0].empty());
    EXPECT_TRUE(SignView::state().undoneStrokes.empty());
    view.refrom();   // nothing undone: nothing changes
    EXPECT_EQ(SignView::state().strokes.size(), 1u);

    // A new stroke leaves the undone strokes: redo puts the undone one after it.
    stroke({{10, 10}, {60, 10}, {110, 10}});
    view.revocation();
    stroke({{10, 100}, {60, 100}, {110, 100}});
    view.refrom();
    const auto& s = SignView::state();
    ASSERT_EQ(s.strokes.size(), 3u);
    EXPECT_NEAR(parsed(s.strokes[1]).at(0).y, 100, 1e-9);
    EXPECT_NEAR(parsed(s.strokes[2]).at(0).y, 10, 1e-9);
    EXPECT_EQ(s.strokeColors.size(), 3u);

    auto image = DrawSignView::imageToTransparent(ui::render(*panel->drawView, 1.0));
    EXPECT_EQ(image->pixel(85, 10), ui::Color::black());
    EXPECT_EQ(image->pixel(85, 100), ui::Color::black());
    view.revocation();
    view.revocation();
    image = DrawSignView::imageToTransparent(ui::render(*panel->drawView, 1.0));
    EXPECT_EQ(alphaAt(image, 85, 10), 0);
    EXPECT_EQ(alphaAt(image, 85, 100), 0);

    view.clear();
    EXPECT_TRUE(s.strokes.empty());
    EXPECT_TRUE(s.undoneStrokes.empty());
    EXPECT_TRUE(s.undoneColors.empty());
}

TEST_F(SignaturePadTest, CancelledTouchJoinsTheNextStroke) {
    open();
    stroke({{50, 50}, {100, 50}, {150, 50}}, TouchPhase::Cancelled);
    EXPECT_TRUE(SignView::state().strokes.empty());
    EXPECT_EQ(SignView::state().currentPoints.size(), 2u);
    stroke({{150, 150}, {250, 150}, {300, 150}});
    const auto& s = SignView::state();
    ASSERT_EQ(s.strokes.size(), 1u);
    auto pts = parsed(s.strokes[0]);
    ASSERT_EQ(pts.size(), 4u);
    EXPECT_NEAR(pts[1].x, 150, 1e-9);
    EXPECT_NEAR(pts[2].x, 250, 1e-9);

    // The joining segment from (150, 50) to (250, 150) is drawn.
    tapButton(panel->okBtn);
    ASSERT_TRUE(okImage);
    EXPECT_EQ(okImage->pixel(200, 100), ui::Color::black());
    EXPECT_EQ(alphaAt(okImage, 150, 150), 0);
}

TEST(SignaturePanelButtons, AButtonKeptAfterItsPanelHasGoneDoesNothing) {
    int okCalls = 0, cancelCalls = 0;
    std::shared_ptr<ui::Button> ok, cancel;
    {
        auto panel = std::make_shared<DrawSignView>(Rect{0, 0, 320, 568});
        panel->signCallBackBlock = [&](ui::ImagePtr) { ++okCalls; };
        panel->cancelBlock = [&] { ++cancelCalls; };
        ok = panel->okBtn;
        cancel = panel->cancelBtn;
        ok->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
        EXPECT_EQ(okCalls, 1);
    }
    ok->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    cancel->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    EXPECT_EQ(okCalls, 1);
    EXPECT_EQ(cancelCalls, 0);
}

TEST(SignatureTransparency, KeepsOnlyPixelsWithoutTheBackgroundBitsAsBlack) {
    auto image = rowImage({ui::Color::rgbBytes(101, 129, 90), ui::Color::rgbBytes(255, 255, 255),
                           ui::Color::rgbBytes(100, 128, 89), ui::Color::rgbBytes(0, 0, 0),
                           ui::Color::rgbBytes(0x75, 0xC1, 0x5B), ui::Color::rgbBytes(101, 129, 88),
                           ui::Color::clear()});
    auto out = DrawSignView::imageToTransparent(image);
    ASSERT_TRUE(out);
    ASSERT_EQ(out->pixelWidth(), 7);
    ASSERT_EQ(out->pixelHeight(), 1);
    EXPECT_EQ(out->pixel(0, 0).a, 0);   // the background colour itself
    EXPECT_EQ(out->pixel(1, 0).a, 0);   // white has every bit
    EXPECT_EQ(out->pixel(2, 0), ui::Color::black());
    EXPECT_EQ(out->pixel(3, 0), ui::Color::black());
    EXPECT_EQ(out->pixel(4, 0).a, 0);   // more bits than the background still vanish
    EXPECT_EQ(out->pixel(5, 0), ui::Color::black());   // blue lacks bit 0x02
    EXPECT_EQ(out->pixel(6, 0), ui::Color::black());   // transparent input lies on black

    // Sizes are taken in points: a two-pixels-per-point image comes out at one per point.
    auto retina = rowImage({ui::Color::white(), ui::Color::white(), ui::Color::white(), ui::Color::white()}, 2);
    auto half = DrawSignView::imageToTransparent(retina);
    ASSERT_TRUE(half);
    EXPECT_EQ(half->pixelWidth(), 2);
    EXPECT_EQ(half->scale(), 1);
    EXPECT_EQ(half->pixel(1, 0).a, 0);

    EXPECT_FALSE(DrawSignView::imageToTransparent(nullptr));
    auto empty = DrawSignView::imageToTransparent(ui::Image::draw({0, 0}, 1, false, [](cairo_t*) {}));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->pixelWidth(), 0);
}

TEST(SignViewPen, TablesTextPointsAndRefusedIndexes) {
    SignView view({0, 0, 100, 40});
    view.setBackgroundColor(ui::Color::white());
    view.setLineColor(3);
    view.setlineWidth(4);
    view.setLineColor(6);    // refused
    view.setlineWidth(-1);   // refused
    EXPECT_EQ(SignView::state().colorIndex, 3);
    EXPECT_EQ(SignView::state().widthIndex, 4);
    EXPECT_EQ(SignView::colorAt(1), ui::Color::rgba(0, 1, 0));
    EXPECT_EQ(SignView::widthAt(2), 12.0);

    EXPECT_EQ(SignView::stringFromPoint({12.5, 30}), "{12.5, 30}");
    auto p = SignView::pointFromString("{-3.25, 1e2}");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->x, -3.25);
    EXPECT_EQ(p->y, 100);
    EXPECT_FALSE(SignView::pointFromString("{1 2}"));
    EXPECT_FALSE(SignView::pointFromString("12, 3"));
    EXPECT_FALSE(SignView::pointFromString("{a, 3}"));

    // A red stroke 16 points wide; a one-point stroke draws nothing.
    auto* state = const_cast<SignView::State*>(&SignView::state());
    state->currentPoints = {"{10, 20}", "{90, 20}"};
    auto image = ui::render(view, 1.0);
    EXPECT_EQ(image->pixel(50, 20), ui::Color::red());
    EXPECT_EQ(image->pixel(50, 13), ui::Color::red());
    EXPECT_EQ(image->pixel(50, 3), ui::Color::white());
    state->currentPoints = {"{50, 20}"};
    image = ui::render(view, 1.0);
    EXPECT_EQ(image->pixel(50, 20), ui::Color::white());
}

}  // namespace
