#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace graphics {

enum class ImageOrientation { Up, Down, Left, Right, UpMirrored, DownMirrored, LeftMirrored, RightMirrored };

// An image: pixels in a Cairo ARGB32 surface (premultiplied), a scale (pixels per point)
// and an orientation that says how the pixels are turned for display. Immutable once made;
// shared through shared_ptr.
//
// A JPEG image keeps its compressed bytes and makes its pixels only when they are needed:
// reading them (surface(), pixel(), encoding) decodes them once at full size, while drawing it
// smaller than its size decodes only at the size the drawing needs (the codec scales by
// eighths). Quarter turns made with uprightTurned() are views on the same source, so a shot
// can be turned upright, reduced and then drawn turned without a full-size copy.
class Image {
public:
    using Ptr = std::shared_ptr<const Image>;

    // From the resource bundle: "name", "name.png", "name.jpg" or "name@2x.png" (scale 2).
    // Cached by name. Null when none exists.
    static Ptr named(const std::string& name);
    static Ptr fromFile(const std::string& path);
    // PNG or JPEG bytes. Null when they do not decode. A JPEG keeps its bytes: given as a
    // temporary (or moved), they are taken over instead of copied.
    static Ptr fromData(const std::string& bytes, double scale = 1);
    static Ptr fromData(std::string&& bytes, double scale = 1);
    // A new bitmap of `size` points at `scale`, cleared (transparent unless opaque: then white),
    // into which `draw` paints with a Cairo context whose unit is one point.
    static Ptr draw(Size size, double scale, bool opaque, const std::function<void(cairo_t*)>& draw);
    // Takes ownership of an ARGB32 surface.
    static Ptr fromSurface(cairo_surface_t* surface, double scale = 1,
                           ImageOrientation orientation = ImageOrientation::Up);
    Ptr withOrientation(ImageOrientation orientation) const;
    Ptr withScale(double scale) const;
    // The same picture as a stretchable one: drawn into a rectangle of another size, the caps
    // (points from each edge) keep their size and the middle stretches, so the corners and
    // edges of a button or a bubble stay sharp. A side whose caps meet stretches the one row or
    // column of pixels after its first cap. Caps wider or taller than the rectangle shrink in
    // proportion. Shares the pixels; all-zero caps give back a plain picture.
    Ptr resizableImage(EdgeInsets capInsets) const;
    EdgeInsets capInsets() const { return capInsets_; }
    bool isResizable() const { return !(capInsets_ == EdgeInsets{}); }
    // The picture as displayed (orientation applied), turned clockwise by `quarterTurns`
    // quarter turns (negative: anticlockwise), as an upright image at scale 1 whose pixels are
    // the displayed pixels one for one. Shares the pixels' source: nothing is drawn until the
    // result's pixels are read or drawn.
    Ptr uprightTurned(int quarterTurns) const;

    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Size in points as displayed (orientation applied: Left/Right swap width and height).
    Size size() const;
    double scale() const { return scale_; }
    ImageOrientation orientation() const { return orientation_; }
    int pixelWidth() const;   // of the stored pixels, before orientation
    int pixelHeight() const;
    bool hasAlpha() const;    // any pixel not fully opaque
    // The stored pixels (made here on first use for a JPEG or a turned view; never null).
    cairo_surface_t* surface() const;
    // Whether making the pixels found the data corrupt past its header: what could be decoded
    // is kept (the rest transparent) and the fault logged. Known once the pixels were made
    // or drawn.
    bool isBroken() const;
    // The pixel at (x, y) of the stored pixels, unpremultiplied.
    Color pixel(int x, int y) const;
    // Draws the image upright into `rect` of a context (orientation applied), sampled with a
    // cairo_filter_t (-1: the default, good); a stretchable picture (upright) keeps its caps
    // as resizableImage says. A JPEG drawn at a fraction of its size is decoded
    // at the smallest of the codec's scales that still covers the drawn size.
    void drawInRect(cairo_t* cr, Rect rect, double alpha = 1, int filter = -1) const;
    // A new transparent bitmap of `size` points at scale 1 with the picture drawn upright into
    // `rect` (in its points), as drawInRect draws it with the default filter. A drawing that
    // reduces the picture on both axes is made without Cairo: each new pixel is the average of
    // the area of the picture it covers, reduced along the stored pixels' axes and then turned
    // upright by moving whole pixels. A JPEG is decoded for it at the codec's halving scale
    // (1/2, 1/4, 1/8) that still keeps at least twice the pixels needed on each axis, so that the
    // average sees what a reduction of the whole picture sees (the size of the picture's JPEG,
    // on which compression by size decides, stays that of a full-size reduction).
    // Null when the bitmap cannot be made; isBroken() tells a picture whose data proved corrupt.
    Ptr drawnInRect(Size size, Rect rect) const;
    // JPEG at quality 0..1 with TurboJPEG (orientation applied; transparency put on white).
    // The encoding at full quality is kept with the image, so asking for it again (an album
    // copy of an image just compressed) costs nothing.
    std::string jpegData(double quality) const;
    std::string pngData() const;
    // The name it was loaded under, if any (descriptions, the testing driver).
    const std::string& name() const { return name_; }

    Image(cairo_surface_t* surface, double scale, ImageOrientation orientation);
    struct Source;
    // Pixels to be made from `source`, placed as `turn` displays them.
    Image(std::shared_ptr<Source> source, ImageOrientation turn, double scale, ImageOrientation orientation);
    std::string name_;

private:
    cairo_surface_t* madeSurface() const;
    std::shared_ptr<Image> copy(ImageOrientation orientation, double scale) const;
    void drawStretched(cairo_t* cr, Rect rect, double alpha) const;

    std::shared_ptr<Source> source_;  // null: `surface_` holds the pixels from the start
    ImageOrientation turn_ = ImageOrientation::Up;
    mutable std::once_flag made_;
    mutable cairo_surface_t* surface_ = nullptr;
    double scale_;
    ImageOrientation orientation_;
    EdgeInsets capInsets_;
    mutable std::mutex jpegMutex_;
    mutable std::optional<std::string> bestJpeg_;  // jpegData(1.0), once asked for
};

}  // namespace graphics
