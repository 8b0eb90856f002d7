// Canvas and PNG coding on QImage/QPainter.
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstring>

#include "platform/canvas.h"

namespace pawlane {
namespace {

QImage wrap(const Image& image) {
    // Borrows the pixels; callers keep `image` alive while the QImage is used.
    return QImage(image.data(), image.width(), image.height(), image.width() * 4,
                  QImage::Format_RGBA8888_Premultiplied);
}

QColor toQColor(const ColorF& c) { return QColor::fromRgbF(float(c.r), float(c.g), float(c.b), float(c.a)); }

class QtCanvas final : public Canvas {
public:
    QtCanvas(int width, int height)
        : surface_(std::max(width, 1), std::max(height, 1), QImage::Format_RGBA8888_Premultiplied) {
        surface_.fill(Qt::transparent);
        painter_.begin(&surface_);
        painter_.setRenderHint(QPainter::Antialiasing, true);
        painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    ~QtCanvas() override { painter_.end(); }

    int width() const override { return surface_.width(); }
    int height() const override { return surface_.height(); }

    void fillRect(const RectF& r, const ColorF& c) override { painter_.fillRect(flip(r), toQColor(c)); }

    void fillRects(const std::vector<RectF>& rects, const ColorF& c) override {
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        for (const auto& r : rects) path.addRect(flip(r));
        painter_.fillPath(path, toQColor(c));
    }
    void fillRoundedRect(const RectF& r, double radius, const ColorF& c) override {
        painter_.fillPath(rounded(r, radius), toQColor(c));
    }
    void clipRoundedRect(const RectF& r, double radius) override {
        painter_.setClipPath(rounded(r, radius), Qt::IntersectClip);
    }
    void save() override { painter_.save(); }
    void restore() override { painter_.restore(); }

    void drawImage(const Image& image, const RectF& dest) override {
        if (image.isNull()) return;
        painter_.drawImage(flip(dest), wrap(image));
    }

    Image image() const override {
        // The painter may still hold buffered work; QImage reads are coherent for raster.
        std::vector<std::uint8_t> bytes(std::size_t(surface_.width()) * surface_.height() * 4);
        for (int y = 0; y < surface_.height(); ++y)
            std::memcpy(bytes.data() + std::size_t(y) * surface_.width() * 4, surface_.constScanLine(y),
                        std::size_t(surface_.width()) * 4);
        return Image(surface_.width(), surface_.height(), std::move(bytes));
    }

private:
    // Canvas space is y-up from the bottom-left; QImage is y-down from the top-left.
    QRectF flip(const RectF& r) const { return QRectF(r.x, surface_.height() - (r.y + r.h), r.w, r.h); }
    QPainterPath rounded(const RectF& r, double radius) const {
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        path.addRoundedRect(flip(r), radius, radius);
        return path;
    }

    QImage surface_;
    QPainter painter_;
};

}  // namespace

std::unique_ptr<Canvas> makeCanvas(int width, int height) { return std::make_unique<QtCanvas>(width, height); }

bool writePng(const Image& image, const std::string& path) {
    if (image.isNull()) return false;
    return wrap(image).save(QString::fromStdString(path), "PNG");
}

Image readPng(const std::string& path) {
    QImage loaded;
    if (!loaded.load(QString::fromStdString(path), "PNG")) return {};
    loaded = loaded.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    std::vector<std::uint8_t> bytes(std::size_t(loaded.width()) * loaded.height() * 4);
    for (int y = 0; y < loaded.height(); ++y)
        std::memcpy(bytes.data() + std::size_t(y) * loaded.width() * 4, loaded.constScanLine(y),
                    std::size_t(loaded.width()) * 4);
    return Image(loaded.width(), loaded.height(), std::move(bytes));
}

}  // namespace pawlane
