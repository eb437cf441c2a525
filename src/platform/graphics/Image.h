#pragma once
#include <cstdint>
#include <functional>
#include <memory>
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
class Image {
public:
    using Ptr = std::shared_ptr<const Image>;

    // From the resource bundle: "name", "name.png", "name.jpg" or "name@2x.png" (scale 2).
    // Cached by name. Null when none exists.
    static Ptr named(const std::string& name);
    static Ptr fromFile(const std::string& path);
    // PNG or JPEG bytes. Null when they do not decode.
    static Ptr fromData(const std::string& bytes, double scale = 1);
    // A new bitmap of `size` points at `scale`, cleared (transparent unless opaque: then white),
    // into which `draw` paints with a Cairo context whose unit is one point.
    static Ptr draw(Size size, double scale, bool opaque, const std::function<void(cairo_t*)>& draw);
    // Takes ownership of an ARGB32 surface.
    static Ptr fromSurface(cairo_surface_t* surface, double scale = 1,
                           ImageOrientation orientation = ImageOrientation::Up);
    Ptr withOrientation(ImageOrientation orientation) const;
    Ptr withScale(double scale) const;

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
    cairo_surface_t* surface() const { return surface_; }
    // The pixel at (x, y) of the stored pixels, unpremultiplied.
    Color pixel(int x, int y) const;
    // Draws the image upright into `rect` of a context (orientation applied).
    void drawInRect(cairo_t* cr, Rect rect, double alpha = 1) const;
    // JPEG at quality 0..1 with TurboJPEG (orientation applied; transparency put on white).
    std::string jpegData(double quality) const;
    std::string pngData() const;
    // The name it was loaded under, if any (descriptions, the testing driver).
    const std::string& name() const { return name_; }

    Image(cairo_surface_t* surface, double scale, ImageOrientation orientation);
    std::string name_;

private:
    cairo_surface_t* surface_;
    double scale_;
    ImageOrientation orientation_;
};

}  // namespace graphics
