#pragma once
// Paints a layer tree with QPainter: sprites without smoothing where asked,
// mirrored, text in bold, opacity carried down the tree.
#include <QRect>

#include "platform/layer.h"

class QPainter;

namespace pawlane {

// Layer coordinates have y upward from the bottom of a surface `height` tall.
QRectF toSurface(const RectF& r, double height);
// The whole pixels a layer rectangle touches, with a pixel of margin for text edges.
QRect touchedPixels(const RectF& r, double height);

// Paints every visible layer under root that meets `area` (surface coordinates).
void paintLayers(QPainter& painter, const Layer& root, const QRect& area, double height);

}  // namespace pawlane
