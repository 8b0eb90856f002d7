#pragma once
// The strip: a frameless, always-on-top window on every workspace that never
// takes focus. The layer tree is painted into a retained buffer, only where it
// changed, and the window shows that buffer. With a compositing manager the
// window is truly translucent; without one its X shape is cut to the painted
// pixels, so nothing behind it is hidden by a black box. Clicks pass through
// by the input shape, which is also given to the window manager's frame.
#include <QElapsedTimer>
#include <QImage>
#include <QRegion>
#include <QWidget>

#include <memory>

#include "platform/qt/layer_painter.h"
#include "platform/qt/x11_native.h"
#include "platform/strip_host.h"

namespace pawlane {

class QtStripWindow final : public QWidget, public StripHost {
public:
    QtStripWindow();
    ~QtStripWindow() override;

    // StripWindow
    PointF fromScreen(PointF screenPoint) const override;
    void setTakesClicks(bool on) override;
    void refreshFrame() override;
    RootLayer& rootLayer() override { return root_; }

    // StripHost
    void setFrameSource(std::function<RectF()> source) override { frameSource_ = std::move(source); }
    void setShown(bool shown) override;
    bool isShown() const override { return wanted_; }
    void commit() override;
    void setPointerHandler(StripPointerHandler* handler) override { handler_ = handler; }

    // For tests and diagnostics.
    bool shaped() const { return shaped_; }
    const QImage& buffer() const { return buffer_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    class ExposeFilter;
    // Draws to the window without Qt's backing store where X11 allows it.
    x11::WindowPainter* directPainter();
    void press(QMouseEvent* event);
    PointF toStrip(const QPointF& p) const;
    void repaintRegion(const QRegion& region);
    void updateMask(const QRegion& changed);
    // Shows or hides on the next turn of the event loop, so a show and a hide
    // within one turn (launch with the pets hidden) never map the window.
    void applyVisibility();
    void applyVisibilityNow();
    void applyInputFlag();
    void syncFrameInputSoon();

    RootLayer root_;
    PaintCaches caches_;
    QImage buffer_;
    std::function<RectF()> frameSource_;
    StripPointerHandler* handler_ = nullptr;
    RectF frame_;
    QRegion mask_;
    bool shaped_ = false;
    bool composited_ = false;
    QElapsedTimer lastCompositorCheck_;
    std::unique_ptr<x11::WindowPainter> painter_;
    WId painterWindow_ = 0;
    std::unique_ptr<ExposeFilter> exposeFilter_;
    bool wanted_ = false;
    bool takesClicks_ = false;
    bool visibilityPending_ = false;
    bool frameSyncPending_ = false;
    // Click counting: Qt only tells a double click apart.
    int clickCount_ = 0;
    QElapsedTimer lastPress_;
    QPointF lastPressAt_;
};

}  // namespace pawlane
