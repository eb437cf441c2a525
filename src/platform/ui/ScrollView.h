#pragma once
#include <memory>

#include "platform/ui/View.h"

namespace ui {

class ScrollView;

// The delegate of a scroll view; every operation is optional.
class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(ScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewWillBeginDragging(ScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewDidEndDragging(ScrollView& scrollView, bool willDecelerate) { (void)scrollView; (void)willDecelerate; }
    virtual void scrollViewWillBeginDecelerating(ScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewDidEndDecelerating(ScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewDidEndScrollingAnimation(ScrollView& scrollView) { (void)scrollView; }
};

// A view whose bounds origin is the content offset into a content of `contentSize`.
// A finger dragging inside it (a pan of more than 10 points that no control takes) moves the
// content, kept within the content (plus insets) and, when paging, settling on a whole page;
// userScroll does the same for the testing driver.
class ScrollView : public View {
public:
    ScrollView() { init(); }
    explicit ScrollView(Rect frame) : View(frame) { init(); }
    std::string className() const override { return "ScrollView"; }

    Size contentSize() const { return contentSize_; }
    void setContentSize(Size size);
    Point contentOffset() const { return bounds().origin; }
    void setContentOffset(Point offset);
    // Animated: the offset is final at once; scrollViewDidEndScrollingAnimation follows 0.3 s later.
    void setContentOffset(Point offset, bool animated);
    EdgeInsets contentInset() const { return contentInset_; }
    void setContentInset(EdgeInsets insets) { contentInset_ = insets; }
    EdgeInsets scrollIndicatorInsets() const { return indicatorInsets_; }
    void setScrollIndicatorInsets(EdgeInsets insets) { indicatorInsets_ = insets; }
    bool isPagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool v) { pagingEnabled_ = v; }
    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool v) { scrollEnabled_ = v; }
    bool bounces() const { return bounces_; }
    void setBounces(bool v) { bounces_ = v; }
    bool alwaysBounceVertical() const { return alwaysBounceVertical_; }
    void setAlwaysBounceVertical(bool v) { alwaysBounceVertical_ = v; }
    bool showsHorizontalScrollIndicator() const { return showsH_; }
    void setShowsHorizontalScrollIndicator(bool v) { showsH_ = v; }
    bool showsVerticalScrollIndicator() const { return showsV_; }
    void setShowsVerticalScrollIndicator(bool v) { showsV_ = v; }
    bool scrollsToTop() const { return scrollsToTop_; }
    void setScrollsToTop(bool v) { scrollsToTop_ = v; }
    bool isDragging() const { return dragging_; }

    std::shared_ptr<ScrollViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<ScrollViewDelegate> d) { delegate_ = std::move(d); }

    // The largest offset the content allows (never below the top-left less the insets).
    Point maximumContentOffset() const;
    Point minimumContentOffset() const;
    // Scrolls as little as possible to show the rectangle (content coordinates).
    void scrollRectToVisible(Rect rect, bool animated);
    // A drag by the user's finger to `offset` (clamped; paged when paging): will-begin-dragging,
    // did-scroll, did-end-dragging, did-end-decelerating. Does nothing when scrolling is off.
    void userScroll(Point offset);
    // With paging: the current page index along x (page width = bounds width).
    int currentPage() const;

    // The keyboard came up (again, for another input) or went. As a phone does, the nearest
    // scrollable view around the text input that has the keyboard makes room under the
    // keyboard (an extra bottom inset as deep as the keyboard covers it, on top of its own)
    // and scrolls the input into sight above it; when the keyboard goes, or another view
    // takes over, the room goes again. The keyboard calls it after its notifications.
    static void keyboardChanged();
    // The extra bottom inset this view keeps for the keyboard now (0 when none).
    double keyboardInset() const { return keyboardInset_; }

    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void touchesCancelled(const Touches& touches) override;

    // Internal: the pan that drags the content.
    void dragBy(Point delta, bool ended);

protected:
    virtual void contentOffsetChanged() { setNeedsLayout(); }
    void notifyDidScroll();

private:
    void init();
    Point clampOffset(Point p) const;
    static void giveBackKeyboardRoom();
    Point pageOffset(Point p) const;
    Size contentSize_;
    EdgeInsets contentInset_, indicatorInsets_;
    bool pagingEnabled_ = false;
    bool scrollEnabled_ = true;
    bool bounces_ = true;
    bool alwaysBounceVertical_ = false;
    bool showsH_ = true, showsV_ = true;
    bool scrollsToTop_ = true;
    bool dragging_ = false;
    Point dragStartOffset_;
    Point startPoint_;
    std::weak_ptr<ScrollViewDelegate> delegate_;
    double keyboardInset_ = 0;
};

}  // namespace ui
