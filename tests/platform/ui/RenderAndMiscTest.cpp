#include <gtest/gtest.h>

#include "UiTest.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Layout.h"
#include "platform/ui/Storyboard.h"

using namespace ui;

namespace {

class UiMiscTest : public UiTest {};

bool near(const Color& c, const Color& e) {
    return std::abs(c.r - e.r) < 0.02 && std::abs(c.g - e.g) < 0.02 && std::abs(c.b - e.b) < 0.02 && std::abs(c.a - e.a) < 0.02;
}

TEST_F(UiMiscTest, RenderingDrawsBackgroundsSubviewsBordersAndText) {
    auto v = std::make_shared<View>(Rect(0, 0, 100, 50));
    v->setBackgroundColor(Color::rgbBytes(248, 248, 248));
    auto blue = std::make_shared<View>(Rect(10, 10, 20, 20));
    blue->setBackgroundColor(Color::rgba(0, 0, 1));
    v->addSubview(blue);
    auto hidden = std::make_shared<View>(Rect(60, 0, 40, 50));
    hidden->setBackgroundColor(Color::red());
    hidden->setHidden(true);
    v->addSubview(hidden);
    auto label = std::make_shared<Label>(Rect(40, 0, 60, 50));
    label->setText("■■■");
    label->setFont(Font::systemFont(20));
    label->setTextColor(Color::black());
    v->addSubview(label);
    auto framed = std::make_shared<View>(Rect(0, 40, 10, 10));
    framed->layer().borderWidth = 2;
    framed->layer().borderColor = Color::rgba(0, 1, 0);
    v->addSubview(framed);

    auto image = render(v, 2);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 200);
    EXPECT_EQ(image->pixelHeight(), 100);
    EXPECT_TRUE(near(image->pixel(2, 2), Color::rgbBytes(248, 248, 248)));
    EXPECT_TRUE(near(image->pixel(40, 40), Color::rgba(0, 0, 1)));
    EXPECT_TRUE(near(image->pixel(1, 81), Color::rgba(0, 1, 0)));    // border
    EXPECT_TRUE(near(image->pixel(10, 90), Color::rgbBytes(248, 248, 248)));  // inside the border
    // The hidden red view is left out; the label's glyphs are dark somewhere in its middle row.
    int dark = 0;
    for (int x = 80; x < 200; ++x) {
        Color c = image->pixel(x, 50);
        EXPECT_FALSE(c.r > 0.9 && c.g < 0.1);
        if (c.r < 0.3 && c.g < 0.3 && c.b < 0.3) ++dark;
    }
    EXPECT_GT(dark, 20);

    // Rounded corners leave the corner clear; a transformed subview is drawn turned.
    auto round = std::make_shared<View>(Rect(0, 0, 40, 40));
    round->setBackgroundColor(Color::red());
    round->layer().cornerRadius = 20;
    auto r = render(round, 1);
    EXPECT_LT(r->pixel(0, 0).a, 0.1);
    EXPECT_TRUE(near(r->pixel(20, 20), Color::red()));
}

class Stripes : public View {
public:
    using View::View;
    void draw(GraphicsContext& ctx, Rect) override {
        ctx.setStrokeColor(Color::black());
        ctx.setLineWidth(4);
        ctx.setLineCap(LineCap::Round);
        ctx.beginPath();
        ctx.moveTo({0, 10});
        ctx.addLineTo({40, 10});
        ctx.strokePath();
    }
};

TEST_F(UiMiscTest, CustomDrawingFollowsTheViewTransform) {
    auto box = std::make_shared<View>(Rect(0, 0, 40, 40));
    auto s = std::make_shared<Stripes>(Rect(0, 0, 40, 20));
    s->setTransform(AffineTransform::rotation(M_PI / 2));
    s->setCenter({20, 20});
    box->addSubview(s);
    auto img = render(box, 1);
    // The horizontal line at local y 10 turns into a vertical line at x 20 - (10 - 10) = 20.
    EXPECT_GT(img->pixel(20, 5).a, 0.9);
    EXPECT_LT(img->pixel(5, 10).a, 0.1);
}

TEST_F(UiMiscTest, AnimationsApplyAtOnceAndCompleteOnTheClock) {
    auto v = std::make_shared<View>(Rect(0, 0, 10, 10));
    bool done = false;
    View::animate(0.3, 0.5, AnimationOptionCurveEaseIn, [&] { v->setAlpha(0); }, [&](bool finished) { done = finished; });
    EXPECT_EQ(v->alpha(), 0);
    advance(0.79);
    EXPECT_FALSE(done);
    advance(0.02);
    EXPECT_TRUE(done);
}

TEST_F(UiMiscTest, ImageViewsCycleTheirImagesOnTheClock) {
    std::vector<ImagePtr> frames;
    for (int i = 0; i < 3; ++i) {
        frames.push_back(drawImage({2, 2}, 1, true, [](GraphicsContext&) {}));
    }
    auto iv = std::make_shared<ImageView>(Rect(0, 0, 2, 2));
    iv->setAnimationImages(frames);
    iv->setAnimationDuration(3);
    iv->startAnimating();
    EXPECT_TRUE(iv->isAnimating());
    EXPECT_EQ(iv->displayedImage(), frames[0]);
    advance(1.5);
    EXPECT_EQ(iv->displayedImage(), frames[1]);
    iv->stopAnimating();
    EXPECT_FALSE(iv->isAnimating());
}

class AlertRecorder : public AlertViewDelegate, public ActionSheetDelegate {
public:
    void clickedButtonAtIndex(AlertView&, int i) override { log.push_back("alert clicked " + std::to_string(i)); }
    void didDismissWithButtonIndex(AlertView&, int i) override { log.push_back("alert dismissed " + std::to_string(i)); }
    void didDismissWithButtonIndex(ActionSheet&, int i) override { log.push_back("sheet dismissed " + std::to_string(i)); }
    std::vector<std::string> log;
};

TEST_F(UiMiscTest, AlertsAndSheetsAnswerWithThePhonesIndexes) {
    auto root = std::make_shared<ViewController>();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    auto rec = std::make_shared<AlertRecorder>();

    auto alert = std::make_shared<AlertView>("提示信息", "您的设备没有闪光灯功能", rec, "取消", std::vector<std::string>{"确定"});
    alert->show();
    ASSERT_EQ(AlertView::visibleAlerts().size(), 1u);
    EXPECT_EQ(alert->indexOfButtonWithTitle("确定"), 1);
    // The alert covers the screen: a tap on its button answers it.
    EXPECT_EQ(alert->window(), window);
    auto button = std::dynamic_pointer_cast<Button>(window->hitTest(
        alert->convertPointToView(Point{alert->bounds().midX() + 60, alert->bounds().midY() + 30}, nullptr)));
    std::weak_ptr<AlertView> weak = alert;
    alert.reset();
    ASSERT_TRUE(button);
    std::string title = button->currentTitle();
    window->tap(button->convertPointToView(button->bounds().center(), nullptr));
    EXPECT_EQ(rec->log, (std::vector<std::string>{"alert clicked 1", "alert dismissed 1"}));
    EXPECT_EQ(title, "确定");
    EXPECT_TRUE(AlertView::visibleAlerts().empty());
    EXPECT_TRUE(weak.expired());

    auto sheet = std::make_shared<ActionSheet>("您确定放弃吗？", rec, "取消", "删除", std::vector<std::string>{"确定", "再想想"});
    EXPECT_EQ(sheet->destructiveButtonIndex(), 0);
    EXPECT_EQ(sheet->firstOtherButtonIndex(), 1);
    EXPECT_EQ(sheet->cancelButtonIndex(), 3);
    int blockIndex = -1;
    sheet->setDismissBlock([&](int i) { blockIndex = i; });
    sheet->showInView(root->view());
    ASSERT_EQ(ActionSheet::visibleSheets().size(), 1u);
    sheet->clickButtonAtIndex(sheet->indexOfButtonWithTitle("取消"));
    EXPECT_EQ(rec->log.back(), "sheet dismissed 3");
    EXPECT_EQ(blockIndex, 3);
    EXPECT_FALSE(sheet->window());
}

TEST_F(UiMiscTest, VisualFormatsPlaceViewsAndFollowSizeChanges) {
    auto footer = std::make_shared<View>(Rect(0, 0, 320, 200));
    auto textView = std::make_shared<View>();
    auto button = std::make_shared<View>();
    footer->addSubview(textView);
    footer->addSubview(button);
    layout::Views views{{"textView", textView}, {"button", button}};
    EXPECT_TRUE(layout::addVisualFormat(*footer, "H:|-10-[textView]-10-|", views));
    EXPECT_TRUE(layout::addVisualFormat(*footer, "H:|-10-[button(textView)]-10-|", views));
    EXPECT_TRUE(layout::addVisualFormat(*footer, "V:|-10-[textView(100)]-20-[button(44)]", views));
    EXPECT_EQ(textView->frame(), Rect(10, 10, 300, 100));
    EXPECT_EQ(button->frame(), Rect(10, 130, 300, 44));
    EXPECT_TRUE(layout::addVisualFormat(*footer, "V:|-60-[button(44)]-0-|", views));
    EXPECT_EQ(button->frame().y(), 60);
    footer->setFrame({0, 0, 400, 200});
    footer->layoutIfNeeded();
    EXPECT_EQ(textView->frame().width(), 380);
    EXPECT_FALSE(layout::addVisualFormat(*footer, "H:|-10-[missing]", views));
    EXPECT_FALSE(layout::addVisualFormat(*footer, "H:|-x-[button]", views));
}

TEST_F(UiMiscTest, StoryboardsMakeTheirRegisteredScreens) {
    EXPECT_EQ(Storyboard::storyboardWithName("ClientViewController"), nullptr);
    Storyboard::registerFactory("ClientViewController", [] {
        auto vc = std::make_shared<ViewController>();
        vc->setTitle("当事人信息");
        return vc;
    });
    auto sb = Storyboard::storyboardWithName("ClientViewController");
    ASSERT_TRUE(sb);
    auto a = sb->instantiateInitialViewController();
    auto b = sb->instantiateInitialViewController();
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->navigationItem()->title(), "当事人信息");
}

class Delegate : public ApplicationDelegate {
public:
    bool didFinishLaunching(const nlohmann::json&) override {
        log.push_back("launch");
        return true;
    }
    void didEnterBackground() override { log.push_back("background"); }
    void willEnterForeground() override { log.push_back("foreground"); }
    void didRegisterForRemoteNotificationsWithDeviceToken(const std::string& t) override { log.push_back("token " + t); }
    void didReceiveRemoteNotification(const nlohmann::json& info) override { log.push_back(info["aps"]["key"]); }
    std::vector<std::string> log;
};

TEST_F(UiMiscTest, TheApplicationRecordsURLsAndPassesEventsToItsDelegate) {
    auto& app = Application::shared();
    auto d = std::make_shared<Delegate>();
    app.setDelegate(d);
    app.setRemoteNotificationRegistrar([](Application& a) { a.deliverDeviceToken("abc123"); });
    app.launch();
    app.registerForRemoteNotifications();
    app.enterBackground();
    app.enterForeground();
    app.receiveRemoteNotification({{"aps", {{"key", "MSG"}}}});
    EXPECT_EQ(d->log, (std::vector<std::string>{"launch", "token abc123", "background", "foreground", "MSG"}));
    EXPECT_TRUE(app.openURL("telprompt://122"));
    EXPECT_FALSE(app.openURL("weixin://x"));
    EXPECT_EQ(app.openedURLs(), (std::vector<std::string>{"telprompt://122", "weixin://x"}));
    app.setApplicationIconBadgeNumber(1);
    app.setApplicationIconBadgeNumber(0);
    EXPECT_EQ(app.badgeHistory(), (std::vector<long>{1, 0}));
    window->makeKeyAndVisible();
    EXPECT_EQ(app.keyWindow(), window);
    ui::resetForTests();
    EXPECT_TRUE(app.openedURLs().empty());
    EXPECT_TRUE(app.windows().empty());
    EXPECT_EQ(app.delegate(), nullptr);
}

}  // namespace
