#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Types.h"

typedef struct _cairo cairo_t;

namespace ui {

enum class LineCap { Butt, Round, Square };
enum class LineJoin { Miter, Round, Bevel };

// A text run with its own font and colour (attributed text).
struct TextRun {
    std::string text;
    std::optional<Font> font;
    std::optional<Color> color;
};

// Drawing with Cairo in points: what a view's draw override and image drawing use.
// The context does not own the Cairo context.
class GraphicsContext {
public:
    explicit GraphicsContext(cairo_t* cr);
    cairo_t* cairo() const { return cr_; }

    void saveState();
    void restoreState();
    void translate(double x, double y);
    void scale(double sx, double sy);
    void rotate(double radians);
    void concat(const AffineTransform& t);
    void clipToRect(Rect rect);

    // Paths.
    void beginPath();
    void moveTo(Point p);
    void addLineTo(Point p);
    void addCurveTo(Point c1, Point c2, Point end);
    void addArc(Point center, double radius, double startAngle, double endAngle, bool clockwise);
    void addRect(Rect rect);
    void addEllipseInRect(Rect rect);
    void addRoundedRect(Rect rect, double radius);
    void closePath();
    void strokePath();
    void fillPath();

    // State.
    void setLineWidth(double width);
    double lineWidth() const;
    void setLineCap(LineCap cap);
    void setLineJoin(LineJoin join);
    void setStrokeColor(const Color& color);
    void setFillColor(const Color& color);
    void setAlpha(double alpha) { alpha_ = alpha; }

    // Shapes.
    void fillRect(Rect rect);
    void strokeRect(Rect rect);
    void clearRect(Rect rect);
    void fillEllipseInRect(Rect rect);
    void strokeLineSegments(const std::vector<Point>& points);  // pairs of points

    // Images: drawn upright (orientation applied) scaled into the rectangle; a stretchable
    // image (Image::resizableImage) keeps its caps.
    void drawImage(const ImagePtr& image, Rect rect, double alpha = 1);
    // The image drawn as a stretchable one with these caps.
    void drawImageWithCapInsets(const ImagePtr& image, Rect rect, EdgeInsets caps, double alpha = 1);

    // Text with the machine's CJK font. Wraps to the rectangle's width when numberOfLines is
    // not 1 (0: any number); lines past the limit or the height are left out; vertically
    // centred when `centreVertically`.
    void drawText(const std::string& text, Rect rect, const Font& font, const Color& color,
                  TextAlignment alignment = TextAlignment::Left, int numberOfLines = 0,
                  bool centreVertically = false);
    void drawRuns(const std::vector<TextRun>& runs, Rect rect, const Font& defaultFont,
                  const Color& defaultColor, TextAlignment alignment = TextAlignment::Left,
                  int numberOfLines = 0, bool centreVertically = false);

private:
    void applyColor(const Color& c);
    cairo_t* cr_;
    Color stroke_ = Color::black();
    Color fill_ = Color::black();
    double alpha_ = 1;
};

// Draws into a new image of `size` points at `scale` (0: the screen's scale).
ImagePtr drawImage(Size size, double scale, bool opaque, const std::function<void(GraphicsContext&)>& draw);

// Renders a view hierarchy (the view's bounds) into an image at `scale` (0: screen scale):
// background colours, corner radii and borders, images, text, custom drawing, subviews with
// their transforms and alpha; hidden views are left out.
ImagePtr render(View& view, double scale = 0);
ImagePtr render(const std::shared_ptr<View>& view, double scale = 0);
// Renders a view hierarchy into an existing context at the context's origin.
void renderInContext(View& view, GraphicsContext& context);

}  // namespace ui
