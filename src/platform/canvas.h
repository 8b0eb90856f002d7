#pragma once
// A drawing surface for the few pictures the program composes (icons, export
// sheets, previews). Coordinates in points with the origin at the bottom-left
// and y upwards; one point is one pixel.
#include <memory>
#include <string>
#include <vector>

#include "platform/image.h"

namespace pawlane {

struct RectF {
    double x = 0, y = 0, w = 0, h = 0;
};

// Straight (not premultiplied) colour, components 0...1.
struct ColorF {
    double r = 0, g = 0, b = 0, a = 1;
};

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual void fillRect(const RectF& r, const ColorF& c) = 0;
    // Fills the union of the rectangles as one shape, so shared edges leave no seams.
    virtual void fillRects(const std::vector<RectF>& rects, const ColorF& c) = 0;
    // Square-cornered rectangle with circular corners of the given radius, antialiased.
    virtual void fillRoundedRect(const RectF& r, double radius, const ColorF& c) = 0;
    // Intersects the clip with the rounded rectangle until the matching restore().
    virtual void clipRoundedRect(const RectF& r, double radius) = 0;
    virtual void save() = 0;
    virtual void restore() = 0;
    // Draws the image stretched over dest without smoothing, composited source-over.
    virtual void drawImage(const Image& image, const RectF& dest) = 0;
    virtual Image image() const = 0;
};

// A fully transparent surface of width x height pixels.
std::unique_ptr<Canvas> makeCanvas(int width, int height);

// Writes the image as PNG, replacing the file. False when encoding or writing fails.
bool writePng(const Image& image, const std::string& path);
// Reads a PNG (tests and tools); a null image when it cannot be read.
Image readPng(const std::string& path);

}  // namespace pawlane
