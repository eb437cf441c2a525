#pragma once
#include <functional>
#include <memory>

#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

#include "liability/signature/DrawSignView.h"

// Shows the signature pad over the whole application: a mask over the root view of the
// application's window, sliding in from the right, with the panel turned a quarter turn
// clockwise on it. The pad never closes by itself: the caller closes it with closePop.
class PopSignUtil : public std::enable_shared_from_this<PopSignUtil> {
public:
    static std::shared_ptr<PopSignUtil> shareRestance();

    // Opens the pad. The screen is accepted and not used. While a pad is open or still sliding
    // out, opening again is ignored.
    static void getSignWithVC(const std::shared_ptr<ui::ViewController>& vc, DrawSignView::SignCallBack ok,
                              DrawSignView::CancelBlock cancel);
    // Slides the pad out (0.25 s) and drops its mask.
    static void closePop();

    void setPopWithVC(const std::shared_ptr<ui::ViewController>& vc, DrawSignView::SignCallBack ok,
                      DrawSignView::CancelBlock cancel);
    // The instance side of closePop.
    void dismissPop();

    // The mask behind the panel (null while closed).
    std::shared_ptr<ui::View> zhezhaoView;
    // Kept, never called.
    std::function<void()> noB;

    // The panel of the current opening (null before the first).
    std::shared_ptr<DrawSignView> signView() const { return panel_.lock(); }

    PopSignUtil();
    // Drops the process-wide instance; the next use makes a fresh one (as at launch).
    static void resetShared();

private:
    std::weak_ptr<DrawSignView> panel_;
    unsigned long openings_ = 0;
};
