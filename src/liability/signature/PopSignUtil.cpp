#include "liability/signature/PopSignUtil.h"

#include <cmath>

#include "platform/foundation/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

namespace {

std::shared_ptr<PopSignUtil>& sharedInstance() {
    static std::shared_ptr<PopSignUtil> instance;
    return instance;
}

// The view the pad covers: the root view of the application's window (the delegate's
// window, else the key window).
std::shared_ptr<ui::View> coveredRootView() {
    auto& app = ui::Application::shared();
    std::shared_ptr<ui::Window> window;
    if (auto delegate = app.delegate()) window = delegate->window();
    if (!window) window = app.keyWindow();
    if (!window) return nullptr;
    auto root = window->rootViewController();
    return root ? root->view() : nullptr;
}

}  // namespace

PopSignUtil::PopSignUtil() {
    zhezhaoView = std::make_shared<ui::View>();
    zhezhaoView->setBackgroundColor(ui::Color::grey(0.2, 0.5));
}

std::shared_ptr<PopSignUtil> PopSignUtil::shareRestance() {
    auto& instance = sharedInstance();
    if (!instance) instance = std::make_shared<PopSignUtil>();
    return instance;
}

void PopSignUtil::resetShared() { sharedInstance().reset(); }

void PopSignUtil::getSignWithVC(const std::shared_ptr<ui::ViewController>& vc, DrawSignView::SignCallBack ok,
                                DrawSignView::CancelBlock cancel) {
    shareRestance()->setPopWithVC(vc, std::move(ok), std::move(cancel));
}

void PopSignUtil::closePop() { shareRestance()->dismissPop(); }

void PopSignUtil::setPopWithVC(const std::shared_ptr<ui::ViewController>& vc, DrawSignView::SignCallBack ok,
                               DrawSignView::CancelBlock cancel) {
    (void)vc;
    auto root = coveredRootView();
    if (!root) {
        foundation::log("PopSignUtil: no window to show the signature pad on");
        return;
    }
    // One pad at a time: while one is on screen or still sliding out, a second opening would
    // stack a panel whose buttons still act.
    if (zhezhaoView && zhezhaoView->superview() && zhezhaoView->window()) {
        foundation::log("PopSignUtil: the signature pad is already open; the second opening is ignored");
        return;
    }
    ++openings_;
    // The pad covers the whole screen: a keyboard left up would hide its lower part.
    root->endEditing(true);
    const double w = root->bounds().width();
    const double h = root->bounds().height();

    if (!zhezhaoView) {
        zhezhaoView = std::make_shared<ui::View>();
        zhezhaoView->setBackgroundColor(ui::Color::red());
    }
    root->addSubview(zhezhaoView);
    zhezhaoView->setFrame({w, 0, w, h});

    auto panel = std::make_shared<DrawSignView>(ui::Rect{0, 0, w, h});
    panel->cancelBlock = std::move(cancel);
    panel->signCallBackBlock = std::move(ok);

    // The quarter turn takes effect at once.
    panel->setTransform(ui::AffineTransform::rotation(M_PI / 2));

    // Centred in the mask, which the turned panel then covers exactly.
    const ui::Rect turned = panel->frame();
    panel->setCenter({(w - turned.width()) / 2 + turned.width() / 2, (h - turned.height()) / 2 + turned.height() / 2});
    zhezhaoView->addSubview(panel);
    panel_ = panel;

    auto mask = zhezhaoView;
    ui::View::animate(0.3, [mask, w, h] { mask->setFrame({0, 0, w, h}); });
}

void PopSignUtil::dismissPop() {
    auto mask = zhezhaoView;
    if (!mask) return;
    const ui::Rect f = mask->frame();
    const unsigned long opening = openings_;
    std::weak_ptr<PopSignUtil> weak = weak_from_this();
    ui::View::animate(
        0.25, [mask, f] { mask->setFrame({f.width(), 0, f.width(), f.height()}); },
        [weak, mask, opening](bool) {
            auto self = weak.lock();
            // A pad opened again while this one slid out keeps its mask.
            if (self && self->openings_ != opening) return;
            mask->removeFromSuperview();
            if (self && self->zhezhaoView == mask) self->zhezhaoView.reset();
        });
}
