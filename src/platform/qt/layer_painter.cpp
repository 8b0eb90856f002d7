#include "platform/qt/layer_painter.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace pawlane {
namespace {

QImage borrow(const Image& image) {
    return QImage(image.data(), image.width(), image.height(), image.width() * 4,
                  QImage::Format_RGBA8888_Premultiplied);
}

// Whole-pixel rectangles (at device scale 1) can use the cache.
bool wholePixels(const QRectF& r, qreal dpr) {
    auto whole = [](double v) { return std::abs(v - std::round(v)) < 1e-6; };
    return dpr == 1 && whole(r.width()) && whole(r.height());
}

void paintOne(QPainter& p, const Layer& layer, const QRectF& rect, PaintCaches& caches) {
    switch (layer.kind()) {
    case Layer::Kind::Plain:
        return;
    case Layer::Kind::Image: {
        const auto& image = static_cast<const ImageLayer&>(layer);
        const Image& contents = image.contents();
        if (contents.isNull()) return;
        if (image.nearestFilter() && wholePixels(rect, p.device()->devicePixelRatioF())) {
            const QSize size(int(std::lround(rect.width())), int(std::lround(rect.height())));
            p.drawImage(QPoint(int(std::lround(rect.x())), int(std::lround(rect.y()))),
                        caches.sprites.get(contents, size, layer.mirrored()));
            return;
        }
        // Borrows the pixels; the layer keeps them alive while we paint.
        const QImage source = borrow(contents);
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
        const int pixelSize = std::max(1, int(std::lround(text.fontSize())));
        QFont font;
        font.setBold(true);
        font.setPixelSize(pixelSize);
        const QStaticText& laidOut = caches.texts.get(text.string(), pixelSize);
        const QSizeF size = laidOut.size();
        const ColorF c = text.color();
        p.save();
        p.setClipRect(rect, Qt::IntersectClip);
        p.setFont(font);
        p.setPen(QColor::fromRgbF(float(c.r), float(c.g), float(c.b), float(c.a)));
        // Centred in the bounds, on whole pixels so glyphs stay crisp.
        p.drawStaticText(QPointF(std::round(rect.center().x() - size.width() / 2),
                                 std::round(rect.center().y() - size.height() / 2)),
                         laidOut);
        p.restore();
        return;
    }
    }
}

void paintTree(QPainter& p, const Layer& layer, const QRect& area, double height, double opacity,
               PaintCaches& caches) {
    if (layer.hidden()) return;
    opacity *= layer.opacity();
    if (opacity <= 0) return;
    const RectF frame = layer.frameInRoot();
    if (frame.w > 0 && frame.h > 0 && touchedPixels(frame, height).intersects(area)) {
        p.setOpacity(opacity);
        paintOne(p, layer, toSurface(frame, height), caches);
    }
    for (const Layer* child : layer.sublayers()) paintTree(p, *child, area, height, opacity, caches);
}

}  // namespace

const QImage& SpriteCache::get(const Image& source, QSize size, bool mirrored) {
    for (const Entry& e : entries_)
        if (e.source.sharesPixelsWith(source) && e.size == size && e.mirrored == mirrored) return e.ready;
    // Frames come and go with the pack; past the bound, start afresh.
    if (entries_.size() >= kMaxEntries) entries_.clear();
    QImage ready = borrow(source)
                       .scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                       .mirrored(mirrored, false)
                       .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    entries_.push_back({source, size, mirrored, std::move(ready)});
    return entries_.back().ready;
}

const QStaticText& TextCache::get(const std::string& text, int pixelSize) {
    for (const Entry& e : entries_)
        if (e.pixelSize == pixelSize && e.text == text) return e.laidOut;
    if (entries_.size() >= kMaxEntries) entries_.clear();
    QFont font;
    font.setBold(true);
    font.setPixelSize(pixelSize);
    QStaticText laidOut(QString::fromStdString(text));
    laidOut.setTextFormat(Qt::PlainText);
    laidOut.prepare(QTransform(), font);
    entries_.push_back({text, pixelSize, std::move(laidOut)});
    return entries_.back().laidOut;
}

QRectF toSurface(const RectF& r, double height) { return {r.x, height - (r.y + r.h), r.w, r.h}; }

QRect touchedPixels(const RectF& r, double height) {
    const QRectF s = toSurface(r, height);
    const int x0 = int(std::floor(s.left())) - 1, y0 = int(std::floor(s.top())) - 1;
    const int x1 = int(std::ceil(s.right())) + 1, y1 = int(std::ceil(s.bottom())) + 1;
    return {x0, y0, x1 - x0, y1 - y0};
}

void paintLayers(QPainter& painter, const Layer& root, const QRect& area, double height, PaintCaches& caches) {
    painter.save();
    for (const Layer* child : root.sublayers()) paintTree(painter, *child, area, height, 1.0, caches);
    painter.restore();
}

// The painted (non-transparent) pixels of `area`, in logical pixels.
QRegion opaquePixels(const QImage& image, const QRect& area) {
    const qreal dpr = image.devicePixelRatio();
    const QRect device = QRect(int(area.x() * dpr), int(area.y() * dpr), int(std::ceil(area.width() * dpr)),
                               int(std::ceil(area.height() * dpr)))
                             .intersected(image.rect());
    // Runs of painted pixels row by row. A row with the same runs as the one
    // above only makes that band taller: sprites are drawn at an integer
    // scale, so this sends the X server a third of the rectangles or fewer.
    QList<QRect> rows;
    qsizetype bandStart = 0;
    for (int y = device.top(); y <= device.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        const qsizetype rowStart = rows.size();
        int x = device.left();
        while (x <= device.right()) {
            while (x <= device.right() && qAlpha(line[x]) == 0) ++x;
            if (x > device.right()) break;
            const int start = x;
            while (x <= device.right() && qAlpha(line[x]) != 0) ++x;
            rows.append(QRect(start, y, x - start, 1));
        }
        const qsizetype count = rows.size() - rowStart;
        bool same = rowStart > bandStart && count == rowStart - bandStart;
        for (qsizetype i = 0; same && i < count; ++i)
            same = rows[bandStart + i].left() == rows[rowStart + i].left() &&
                   rows[bandStart + i].width() == rows[rowStart + i].width();
        if (same) {
            for (qsizetype i = bandStart; i < rowStart; ++i) rows[i].setBottom(y);
            rows.resize(rowStart);
        } else {
            bandStart = rowStart;
        }
    }
    QRegion region;
    if (dpr == 1) {
        // Rows top to bottom, runs left to right: already banded as QRegion wants.
        region.setRects(rows.constData(), int(rows.size()));
        return region;
    }
    for (const QRect& r : rows) {
        const int x0 = int(std::floor(r.x() / dpr)), x1 = int(std::ceil((r.x() + r.width()) / dpr));
        const int y0 = int(std::floor(r.y() / dpr)), y1 = int(std::ceil((r.y() + r.height()) / dpr));
        region += QRect(x0, y0, x1 - x0, y1 - y0);
    }
    return region;
}

}  // namespace pawlane
