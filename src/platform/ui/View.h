#pragma once
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Responder.h"
#include "platform/ui/Types.h"

namespace ui {

class GraphicsContext;
class GestureRecognizer;

enum class ContentMode {
    ScaleToFill, ScaleAspectFit, ScaleAspectFill, Redraw, Center,
    Top, Bottom, Left, Right, TopLeft, TopRight, BottomLeft, BottomRight
};

// Which margins and sizes follow the superview when its size changes.
enum AutoresizingMask : unsigned {
    AutoresizingNone = 0,
    AutoresizingFlexibleLeftMargin = 1 << 0,
    AutoresizingFlexibleWidth = 1 << 1,
    AutoresizingFlexibleRightMargin = 1 << 2,
    AutoresizingFlexibleTopMargin = 1 << 3,
    AutoresizingFlexibleHeight = 1 << 4,
    AutoresizingFlexibleBottomMargin = 1 << 5,
};

// Options of block animations. Kept for the callers; animations apply at once.
enum ViewAnimationOptions : unsigned {
    AnimationOptionNone = 0,
    AnimationOptionAllowUserInteraction = 1 << 1,
    AnimationOptionBeginFromCurrentState = 1 << 2,
    AnimationOptionRepeat = 1 << 3,
    AnimationOptionAutoreverse = 1 << 4,
    AnimationOptionCurveEaseInOut = 0,
    AnimationOptionCurveEaseIn = 1 << 16,
    AnimationOptionCurveEaseOut = 2 << 16,
    AnimationOptionCurveLinear = 3 << 16,
};

// The layer properties a view draws with: corners, border, clipping.
struct Layer {
    double cornerRadius = 0;
    double borderWidth = 0;
    Color borderColor = Color::black();
    bool masksToBounds = false;   // the same flag as View::clipsToBounds
};

// A rectangle on the screen. Views belong to the main thread: their mutators abort off it in
// debug builds (see platform/foundation/MainThread.h). Views are held by shared_ptr: a superview holds its subviews
// strongly, in order (the last one is in front); the link up is not owning (and is cleared
// when the superview is destroyed), so a view may build its subviews in its constructor.
//
// Geometry: `bounds` is the view's own coordinate space, `center` its position in the
// superview, `transform` turns and scales it about its centre. `frame` is the box around the
// transformed bounds in the superview; setting it with a transform other than identity keeps
// the transform and sets the centre to the rectangle's middle and the bounds size to its size.
class View : public Responder, public std::enable_shared_from_this<View> {
public:
    View();
    explicit View(Rect frame);
    ~View() override;
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // This object as a shared_ptr of another of its bases or its own class (null when it
    // is not of that type or not owned by a shared_ptr).
    template <class T>
    std::shared_ptr<T> sharedAs() {
        return std::dynamic_pointer_cast<T>(weak_from_this().lock());
    }

    // The class name used in descriptions and by the testing driver ("View", "Button", ...).
    virtual std::string className() const { return "View"; }

    // Geometry.
    Rect frame() const;
    virtual void setFrame(Rect frame);
    Rect bounds() const { return bounds_; }
    virtual void setBounds(Rect bounds);
    Point center() const { return center_; }
    void setCenter(Point center);
    AffineTransform transform() const { return transform_; }
    void setTransform(const AffineTransform& transform);
    // Shortcuts of frame edges and size.
    double x() const { return frame().x(); }
    double y() const { return frame().y(); }
    double width() const { return frame().width(); }
    double height() const { return frame().height(); }

    // Appearance.
    double alpha() const { return alpha_; }
    void setAlpha(double alpha);
    bool isHidden() const { return hidden_; }
    virtual void setHidden(bool hidden);
    std::optional<Color> backgroundColor() const { return backgroundColor_; }
    virtual void setBackgroundColor(std::optional<Color> color);
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool opaque) { opaque_ = opaque; }
    bool clipsToBounds() const { return layer_.masksToBounds; }
    void setClipsToBounds(bool clips) { layer_.masksToBounds = clips; }
    ContentMode contentMode() const { return contentMode_; }
    void setContentMode(ContentMode mode);
    Layer& layer() { return layer_; }
    const Layer& layer() const { return layer_; }
    std::optional<Color> tintColor() const;   // own, else the superview's, else none
    void setTintColor(std::optional<Color> color) { tintColor_ = color; setNeedsDisplay(); }

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    // A screen's main button (its "next", its "submit"): while the keyboard is up, the scroll
    // view around the input keeps it in sight above the keyboard together with the input,
    // when both fit there.
    bool staysInSightWhileTyping() const { return staysInSightWhileTyping_; }
    void setStaysInSightWhileTyping(bool stays) { staysInSightWhileTyping_ = stays; }
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
    bool isMultipleTouchEnabled() const { return multipleTouchEnabled_; }
    void setMultipleTouchEnabled(bool enabled) { multipleTouchEnabled_ = enabled; }
    unsigned autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(unsigned mask) { autoresizingMask_ = mask; }
    bool autoresizesSubviews() const { return autoresizesSubviews_; }
    void setAutoresizesSubviews(bool v) { autoresizesSubviews_ = v; }

    // Hierarchy.
    std::shared_ptr<View> superview() const;
    // The superview without taking ownership (valid while the hierarchy stands; also set
    // while a view's constructor builds its subviews).
    View* superviewPointer() const { return superview_; }
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    // The window the view is in, or null.
    std::shared_ptr<Window> window() const;
    void addSubview(const std::shared_ptr<View>& view);
    void insertSubview(const std::shared_ptr<View>& view, size_t index);
    void insertSubviewAbove(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling);
    void insertSubviewBelow(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling);
    void removeFromSuperview();
    void bringSubviewToFront(const std::shared_ptr<View>& view);
    void sendSubviewToBack(const std::shared_ptr<View>& view);
    void exchangeSubviewAtIndex(size_t a, size_t b);
    bool isDescendantOfView(const View* view) const;
    // This view or the first descendant (depth first, in subview order) with the tag.
    std::shared_ptr<View> viewWithTag(int tag);
    // Hooks when the hierarchy changes.
    virtual void willMoveToSuperview(View* newSuperview) { (void)newSuperview; }
    virtual void didMoveToSuperview() {}
    virtual void willMoveToWindow(Window* newWindow) { (void)newWindow; }
    virtual void didMoveToWindow() {}
    virtual void didAddSubview(View* subview) { (void)subview; }
    virtual void willRemoveSubview(View* subview) { (void)subview; }

    // Coordinates. A null view means the window's coordinates (the window the view is in).
    Point convertPointToView(Point point, const View* view) const;
    Point convertPointFromView(Point point, const View* view) const;
    Rect convertRectToView(Rect rect, const View* view) const;
    Rect convertRectFromView(Rect rect, const View* view) const;
    Point convertPointToView(Point p, const std::shared_ptr<View>& v) const { return convertPointToView(p, v.get()); }
    Point convertPointFromView(Point p, const std::shared_ptr<View>& v) const { return convertPointFromView(p, v.get()); }
    Rect convertRectToView(Rect r, const std::shared_ptr<View>& v) const { return convertRectToView(r, v.get()); }
    Rect convertRectFromView(Rect r, const std::shared_ptr<View>& v) const { return convertRectFromView(r, v.get()); }
    // A point of the superview in this view's coordinates, and back.
    Point pointFromSuperview(Point p) const;
    Point pointToSuperview(Point p) const;

    // Hit testing: the deepest visible, interactive view containing the point (given in this
    // view's coordinates), front to back; null when none. Hidden views, views with alpha
    // below 0.01 and views with interaction off are skipped with their subviews.
    virtual std::shared_ptr<View> hitTest(Point point);
    virtual bool pointInside(Point point) const;

    // Whether the view and all its ancestors are shown (not hidden, alpha >= 0.01) and it is in a window.
    bool isVisibleOnScreen() const;

    // Responder chain: the screen whose root view this is, else the superview.
    Responder* nextResponder() const override;
    // The screen whose root view this is, if any.
    std::shared_ptr<ViewController> viewController() const { return viewController_.lock(); }
    // Resigns the first responder when it is this view or inside it.
    bool endEditing(bool force);

    // Gesture recognizers (tap, pan) attached to the view.
    void addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    void removeGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const { return recognizers_; }

    // Layout. setNeedsLayout marks the view; the window lays out marked views on the next
    // turn of the run loop, and layoutIfNeeded does it now. layoutSubviews is the override
    // point: the base applies the autoresizing masks and the visual-format rules.
    void setNeedsLayout();
    void layoutIfNeeded();
    bool needsLayout() const { return needsLayout_; }
    virtual void layoutSubviews();
    virtual Size sizeThatFits(Size size) const;
    virtual void sizeToFit();
    virtual Size intrinsicContentSize() const { return {-1, -1}; }

    // Drawing: override draw to paint the view's content above its background colour.
    // setNeedsDisplay only counts (views are drawn when rendered).
    virtual void draw(GraphicsContext& context, Rect rect);
    void setNeedsDisplay();
    unsigned long displayCount() const { return displayCount_; }
    // The view and its subviews as an image of its bounds at `scale` (0: the screen's scale).
    ImagePtr renderImage(double scale = 0);

    // Block animations: the animations block runs at once (its values are final); the
    // completion gets true after delay + duration seconds of the run loop's clock.
    static void animate(double duration, double delay, unsigned options,
                        const std::function<void()>& animations,
                        std::function<void(bool)> completion = nullptr);
    static void animate(double duration, const std::function<void()>& animations,
                        std::function<void(bool)> completion = nullptr);

    // Description for the testing driver: text, title, image name (empty when none).
    virtual std::string describeContent() const { return ""; }

    // Internal: which screen this view is the root of; the visual-format rules.
    void setViewController(const std::shared_ptr<ViewController>& vc) { viewController_ = vc; }
    struct FormatRule {
        std::string format;
        std::map<std::string, std::weak_ptr<View>> views;
    };
    void addFormatRule(FormatRule rule);
    const std::vector<FormatRule>& formatRules() const { return formatRules_; }

protected:
    virtual void boundsSizeChanged(Size oldSize);

private:
    void attachSubview(const std::shared_ptr<View>& view, size_t index);
    void detachFromSuperview();
    void notifyWindowChange(Window* newWindow, bool did);
    void autoresizeSubviews(Size oldSize);

    Point center_;
    Rect bounds_;
    AffineTransform transform_;
    double alpha_ = 1;
    bool hidden_ = false;
    bool opaque_ = true;
    std::optional<Color> backgroundColor_;
    std::optional<Color> tintColor_;
    ContentMode contentMode_ = ContentMode::ScaleToFill;
    Layer layer_;
    int tag_ = 0;
    bool staysInSightWhileTyping_ = false;
    bool userInteractionEnabled_ = true;
    bool multipleTouchEnabled_ = false;
    unsigned autoresizingMask_ = AutoresizingNone;
    bool autoresizesSubviews_ = true;
    bool needsLayout_ = true;
    unsigned long displayCount_ = 0;
    View* superview_ = nullptr;   // cleared when the superview goes
    std::vector<std::shared_ptr<View>> subviews_;
    std::weak_ptr<ViewController> viewController_;
    std::vector<std::shared_ptr<GestureRecognizer>> recognizers_;
    std::vector<FormatRule> formatRules_;
};

}  // namespace ui
