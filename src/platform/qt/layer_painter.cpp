#include "platform/qt/layer_painter.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace pawlane {
namespace {

void paintOne(QPainter& p, const Layer& layer, const QRectF& rect) {
    switch (layer.kind()) {
    case Layer::Kind::Plain:
        return;
    case Layer::Kind::Image: {
        const auto& image = static_cast<const ImageLayer&>(layer);
        const Image& contents = image.contents();
        if (contents.isNull()) return;
        // Borrows the pixels; the layer keeps them alive while we paint.
        const QImage source(contents.data(), contents.width(), contents.height(), contents.width() * 4,
                            QImage::Format_RGBA8888_Premultiplied);
        p.setRenderHint(QPainter::SmoothPixmapTransform, !image.nearestFilter());
        if (layer.mirrored()) {
            p.save();
            p.translate(rect.x() + rect.width(), rect.y());
            p.scale(-1, 1);
            p.drawImage(QRectF(0, 0, rect.width(), rect.height()), source);
            p.restore();
        } else {
            p.drawImage(rect, source);
        }
        return;
    }
    case Layer::Kind::Text: {
        const auto& text = static_cast<const TextLayer&>(layer);
        if (text.string().empty()) return;
        QFont font;
        font.setBold(true);
        font.setPixelSize(std::max(1, int(std::lround(text.fontSize()))));
        const ColorF c = text.color();
        p.save();
        p.setClipRect(rect, Qt::IntersectClip);
        p.setFont(font);
        p.setPen(QColor::fromRgbF(float(c.r), float(c.g), float(c.b), float(c.a)));
        p.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, QString::fromStdString(text.string()));
        p.restore();
        return;
    }
    }
}

void paintTree(QPainter& p, const Layer& layer, const QRect& area, double height, double opacity) {
    if (layer.hidden()) return;
    opacity *= layer.opacity();
    if (opacity <= 0) return;
    const RectF frame = layer.frameInRoot();
    if (frame.w > 0 && frame.h > 0 && touchedPixels(frame, height).intersects(area)) {
        p.setOpacity(opacity);
        paintOne(p, layer, toSurface(frame, height));
    }
    for (const Layer* child : layer.sublayers()) paintTree(p, *child, area, height, opacity);
}

}  // namespace

QRectF toSurface(const RectF& r, double height) { return {r.x, height - (r.y + r.h), r.w, r.h}; }

QRect touchedPixels(const RectF& r, double height) {
    const QRectF s = toSurface(r, height);
    const int x0 = int(std::floor(s.left())) - 1, y0 = int(std::floor(s.top())) - 1;
    const int x1 = int(std::ceil(s.right())) + 1, y1 = int(std::ceil(s.bottom())) + 1;
    return {x0, y0, x1 - x0, y1 - y0};
}

void paintLayers(QPainter& painter, const Layer& root, const QRect& area, double height) {
    painter.save();
    for (const Layer* child : root.sublayers()) paintTree(painter, *child, area, height, 1.0);
    painter.restore();
}

}  // namespace pawlane
