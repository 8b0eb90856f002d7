#include "platform/qt/qt_screens.h"

#include "platform/qt/x11_native.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace pawlane {
namespace {

// Qt's y of the primary screen's bottom edge: global y = this - Qt y.
double primaryBottom() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 0;
    const QRect g = screen->geometry();
    return g.y() + g.height();
}

}  // namespace

RectF globalFromQt(const QRect& r) {
    return {double(r.x()), primaryBottom() - (r.y() + r.height()), double(r.width()), double(r.height())};
}

QRect qtFromGlobal(const RectF& r) {
    const int x = int(std::lround(r.x)), w = int(std::lround(r.w)), h = int(std::lround(r.h));
    const int y = int(std::lround(primaryBottom() - (r.y + r.h)));
    return {x, y, w, h};
}

PointF globalFromQt(const QPointF& p) { return {p.x(), primaryBottom() - p.y()}; }

QPoint qtFromGlobal(const PointF& p) {
    return {int(std::lround(p.x)), int(std::lround(primaryBottom() - p.y))};
}

QtScreens::QtScreens() {
    auto* app = qGuiApp;
    if (!app) return;
    for (QScreen* screen : QGuiApplication::screens()) watch(screen);
    connect(app, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watch(screen);
        changed();
    });
    connect(app, &QGuiApplication::screenRemoved, this, [this] { changed(); });
    connect(app, &QGuiApplication::primaryScreenChanged, this, [this] { changed(); });
}

void QtScreens::watch(QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, [this] { changed(); });
    connect(screen, &QScreen::availableGeometryChanged, this, [this] { changed(); });
}

void QtScreens::changed() {
    // One change often arrives as several signals; answer them once.
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        pending_ = false;
        for (const auto& fn : observers_) fn();
    });
}

std::optional<ScreenGeometry> QtScreens::primary() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return std::nullopt;
    return ScreenGeometry{globalFromQt(screen->geometry()), globalFromQt(screen->availableGeometry())};
}

void QtScreens::observe(std::function<void()> fn) { observers_.push_back(std::move(fn)); }

RectF QtScreens::screenFrame() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? globalFromQt(screen->geometry()) : RectF{};
}

PointF QtScreens::pointer() const {
    // A tick reads the pointer more than once, and within a few milliseconds
    // the answer is the same. On X11 the answer is the one asked for a tick
    // earlier: waiting on a round trip thirty times a second was the biggest
    // single cost of a tick.
    if (!pointerRead_.isValid() || pointerRead_.elapsed() > 4) {
        pointerRead_.restart();
        if (const auto native = x11::pointerWithoutWaiting()) {
            const QScreen* screen = QGuiApplication::primaryScreen();
            const qreal dpr = screen ? screen->devicePixelRatio() : 1.0;
            lastPointer_ = globalFromQt(QPointF(native->x() / dpr, native->y() / dpr));
        } else {
            lastPointer_ = globalFromQt(QPointF(QCursor::pos()));
        }
    }
    return lastPointer_;
}

}  // namespace pawlane
