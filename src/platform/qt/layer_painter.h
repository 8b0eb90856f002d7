#pragma once
// Paints a layer tree with QPainter: sprites without smoothing where asked,
// mirrored, text in bold, opacity carried down the tree.
#include <QImage>
#include <QStaticText>
#include <QRect>
#include <QRegion>

#include <vector>

#include "platform/layer.h"

class QPainter;

namespace pawlane {

// Pixel-art frames already magnified and mirrored for the surface, so a
// repaint is a plain copy. An entry keeps its source image alive, so its
// pixels' address cannot be taken by another image while it is cached.
class SpriteCache {
public:
    static constexpr std::size_t kMaxEntries = 256;
    const QImage& get(const Image& source, QSize size, bool mirrored);

private:
    struct Entry {
        Image source;
        QSize size;
        bool mirrored;
        QImage ready;
    };
    std::vector<Entry> entries_;
};

// Laid-out text, so a repaint of an unchanged string does not lay it out again.
class TextCache {
public:
    static constexpr std::size_t kMaxEntries = 128;
    const QStaticText& get(const std::string& text, int pixelSize);

private:
    struct Entry {
        std::string text;
        int pixelSize;
        QStaticText laidOut;
    };
    std::vector<Entry> entries_;
};

struct PaintCaches {
    SpriteCache sprites;
    TextCache texts;
};

// Layer coordinates have y upward from the bottom of a surface `height` tall.
QRectF toSurface(const RectF& r, double height);
// The whole pixels a layer rectangle touches, with a pixel of margin for text edges.
QRect touchedPixels(const RectF& r, double height);

// Paints every visible layer under root that meets `area` (surface coordinates).
void paintLayers(QPainter& painter, const Layer& root, const QRect& area, double height, PaintCaches& caches);
// The painted (non-transparent) pixels of `image` within `area`, in logical
// pixels: what a shaped window without a compositor must show.
QRegion opaquePixels(const QImage& image, const QRect& area);

}  // namespace pawlane
