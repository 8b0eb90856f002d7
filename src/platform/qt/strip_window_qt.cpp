#include "platform/qt/strip_window_qt.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QTimer>
#include <QWindow>

#include "platform/qt/layer_painter.h"
#include "platform/qt/qt_screens.h"
#include "platform/qt/x11_native.h"

namespace pawlane {
namespace {

// How often to look whether a compositing manager came or went, and to give
// the window manager's frame our input shape again in case it reset it.
constexpr int kCompositorCheckMs = 3000;
// Window managers map and reparent asynchronously: how long after a show or a
// resize the frame is looked at.
constexpr int kFrameSettleMs = 300;

// A pet's layers report a handful of overlapping rectangles every tick (old
// and new place of each): fold overlapping ones into their bounding box. A few
// larger rectangles repaint a little more but cost far less to unite. Boxes
// that merely lie near each other stay apart, so a pack spread along the
// strip never turns into one strip-wide repaint.
std::vector<QRect> mergedDamage(std::vector<QRect> rects) {
    // One pass, each box growing as far as it can; overlaps left over are
    // harmless (only repainted twice), so there is no need to go round again.
    for (std::size_t i = 0; i < rects.size(); ++i) {
        for (bool grew = true; grew;) {
            grew = false;
            for (std::size_t j = i + 1; j < rects.size();) {
                if (rects[i].intersects(rects[j])) {
                    rects[i] = rects[i].united(rects[j]);
                    rects[j] = rects.back();
                    rects.pop_back();
                    grew = true;
                } else {
                    ++j;
                }
            }
        }
    }
    return rects;
}

}  // namespace

// Expose events of the strip are answered from the buffer, drawn straight to
// the window: Qt's backing store is not kept up to date and must not flush.
class QtStripWindow::ExposeFilter final : public QAbstractNativeEventFilter {
public:
    explicit ExposeFilter(QtStripWindow& strip) : strip_(strip) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t" || !strip_.directPainter()) return false;
        QRect area;
        bool more = false;
        if (!x11::isExposeOf(message, strip_.windowHandle(), &area, &more)) return false;
        // Until Qt has seen the window exposed, it paints it itself (from the buffer).
        if (!strip_.windowHandle()->isExposed()) return false;
        exposed_ += area;
        if (!more) {
            for (const QRect& r : exposed_) strip_.painter_->put(strip_.buffer_, r);
            strip_.painter_->endFrame();
            exposed_ = QRegion();
        }
        return true;
    }

private:
    QtStripWindow& strip_;
    QRegion exposed_;
};

QtStripWindow::~QtStripWindow() {
    if (exposeFilter_) QCoreApplication::instance()->removeNativeEventFilter(exposeFilter_.get());
}

x11::WindowPainter* QtStripWindow::directPainter() {
    const WId id = winId();
    if (id != painterWindow_) {
        painterWindow_ = id;
        // The buffer may live in the old painter's memory.
        if (!buffer_.isNull()) buffer_ = buffer_.copy();
        painter_ = x11::WindowPainter::create(windowHandle());
    }
    return painter_.get();
}

QtStripWindow::QtStripWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint |
                           Qt::WindowTransparentForInput) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QStringLiteral("Pawlane"));
    winId();  // the native window exists from here on, unmapped
    shaped_ = x11::available();
    composited_ = x11::compositorRunning();
    lastCompositorCheck_.start();
    if (directPainter()) {
        exposeFilter_ = std::make_unique<ExposeFilter>(*this);
        QCoreApplication::instance()->installNativeEventFilter(exposeFilter_.get());
    }
}

PointF QtStripWindow::fromScreen(PointF p) const { return {p.x - frame_.x, p.y - frame_.y}; }

PointF QtStripWindow::toStrip(const QPointF& p) const { return {p.x(), height() - p.y()}; }

void QtStripWindow::setTakesClicks(bool on) {
    if (takesClicks_ == on) return;
    takesClicks_ = on;
    applyInputFlag();
}

void QtStripWindow::applyInputFlag() {
    // On the live native window: Qt updates its input shape without recreating it.
    QWindow* w = windowHandle();
    if (!w) return;
    w->setFlag(Qt::WindowTransparentForInput, !takesClicks_);
    if (isVisible()) x11::mirrorInputShapeToFrame(w);
}

void QtStripWindow::syncFrameInputSoon() {
    if (frameSyncPending_) return;
    frameSyncPending_ = true;
    QTimer::singleShot(kFrameSettleMs, this, [this] {
        frameSyncPending_ = false;
        if (isVisible()) x11::mirrorInputShapeToFrame(windowHandle());
    });
}

void QtStripWindow::refreshFrame() {
    if (!frameSource_) return;
    const RectF r = frameSource_();
    if (r.w <= 0 || r.h <= 0) return;  // no screen: keep what we have
    frame_ = r;
    const QRect target = qtFromGlobal(r);
    if (geometry() != target) {
        setGeometry(target);
        syncFrameInputSoon();
    }
    const qreal dpr = devicePixelRatioF();
    const QSize pixels(int(std::ceil(target.width() * dpr)), int(std::ceil(target.height() * dpr)));
    if (buffer_.size() != pixels || buffer_.devicePixelRatio() != dpr) {
        x11::WindowPainter* direct = directPainter();
        buffer_ = QImage();  // before the painter lets go of its memory
        buffer_ = direct ? direct->surface(pixels) : QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        buffer_.setDevicePixelRatio(dpr);
        buffer_.fill(Qt::transparent);
        mask_ = QRegion();
    }
    root_.clearDamage();
    repaintRegion(QRegion(rect()));
}

void QtStripWindow::commit() {
    if (shaped_ && lastCompositorCheck_.elapsed() > kCompositorCheckMs) {
        lastCompositorCheck_.restart();
        const bool composited = x11::compositorRunning();
        if (composited != composited_) {
            composited_ = composited;
            mask_ = QRegion();
            if (composited_ && windowHandle()) windowHandle()->setMask(QRegion());
            updateMask(QRegion(rect()));
        }
        if (isVisible()) x11::mirrorInputShapeToFrame(windowHandle());
    }
    if (!root_.hasDamage()) return;
    std::vector<QRect> rects;
    const double h = height();
    for (const RectF* r = root_.damageBegin(); r != root_.damageEnd(); ++r) rects.push_back(touchedPixels(*r, h));
    root_.clearDamage();
    QRegion region;
    for (const QRect& r : mergedDamage(std::move(rects))) region += r;
    repaintRegion(region.intersected(rect()));
}

void QtStripWindow::repaintRegion(const QRegion& region) {
    if (region.isEmpty() || buffer_.isNull()) return;
    if (painter_) painter_->waitUntilRead();
    {
        QPainter p(&buffer_);
        p.setClipRegion(region);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& r : region) p.fillRect(r, Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        paintLayers(p, root_, region.boundingRect(), height(), caches_);
    }
    // Painted now rather than at the next update request: one tick, one paint
    // and flush, without another trip round the event loop.
    if (isVisible()) {
        x11::WindowPainter* direct = directPainter();
        if (direct && windowHandle()->isExposed()) {
            const qreal dpr = buffer_.devicePixelRatio();
            for (const QRect& r : region)
                direct->put(buffer_, QRect(int(r.x() * dpr), int(r.y() * dpr), int(std::ceil(r.width() * dpr)),
                                           int(std::ceil(r.height() * dpr))));
            direct->endFrame();
        } else {
            repaint(region);
        }
    }
    if (shaped_) updateMask(region);
}

void QtStripWindow::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const qreal dpr = buffer_.devicePixelRatio();
    for (const QRect& r : event->region()) {
        const QRectF source(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr);
        p.drawImage(QRectF(r), buffer_, source);
    }
}

void QtStripWindow::updateMask(const QRegion& changed) {
    // A compositor shows the transparent pixels as they are: no shape needed,
    // and reshaping would only make it repaint the whole strip.
    if (composited_) return;
    QRegion next = mask_.subtracted(changed);
    for (const QRect& r : changed) next += opaquePixels(buffer_, r);
    if (next == mask_) return;
    mask_ = next;
    // An empty mask would mean "no shape" to Qt, which shows the whole window.
    // On the native window, not the widget: a widget mask would also clip
    // every later paint against these many rectangles.
    if (!mask_.isEmpty() && windowHandle()) windowHandle()->setMask(mask_);
    applyVisibility();
}

void QtStripWindow::setShown(bool shown) {
    wanted_ = shown;
    applyVisibility();
}

void QtStripWindow::applyVisibility() {
    if (visibilityPending_) return;
    visibilityPending_ = true;
    QTimer::singleShot(0, this, [this] {
        visibilityPending_ = false;
        applyVisibilityNow();
    });
}

void QtStripWindow::applyVisibilityNow() {
    // Shaped with nothing painted, the window would be a black box: keep it unmapped.
    const bool visible = wanted_ && !(shaped_ && !composited_ && mask_.isEmpty());
    if (visible == isVisible()) return;
    if (visible) {
        x11::markStickyAboveUnlisted(windowHandle());
        show();
        applyInputFlag();
        syncFrameInputSoon();
    } else {
        hide();
    }
}

void QtStripWindow::press(QMouseEvent* event) {
    const auto interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    const int distance = QGuiApplication::styleHints()->startDragDistance();
    const QPointF at = event->position();
    const bool continues = clickCount_ > 0 && lastPress_.isValid() && lastPress_.elapsed() <= interval &&
                           (at - lastPressAt_).manhattanLength() <= distance;
    clickCount_ = continues ? clickCount_ + 1 : 1;
    lastPress_.restart();
    lastPressAt_ = at;
    if (handler_) handler_->mouseDown(toStrip(at), clickCount_);
}

void QtStripWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        if (handler_) handler_->contextMenu(globalFromQt(event->globalPosition()));
        return;
    }
    if (event->button() == Qt::LeftButton) press(event);
}

void QtStripWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt sends this instead of the second press.
    if (event->button() == Qt::LeftButton) press(event);
}

void QtStripWindow::mouseMoveEvent(QMouseEvent* event) {
    if (handler_ && (event->buttons() & Qt::LeftButton)) handler_->mouseDragged(toStrip(event->position()));
}

void QtStripWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (handler_) handler_->mouseUp(toStrip(event->position()), clickCount_);
}

}  // namespace pawlane
