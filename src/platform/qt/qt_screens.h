#pragma once
// Screens and pointer from QGuiApplication, in the program's global
// coordinates (y up from the primary screen's bottom edge); and the
// conversions between those and Qt's (y down from the top).
#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QRect>

#include "platform/desktop.h"
#include "platform/screens.h"

class QScreen;

namespace pawlane {

RectF globalFromQt(const QRect& r);
QRect qtFromGlobal(const RectF& r);
PointF globalFromQt(const QPointF& p);
QPoint qtFromGlobal(const PointF& p);

class QtScreens final : public QObject, public Screens, public Desktop {
public:
    QtScreens();

    std::optional<ScreenGeometry> primary() const override;
    void observe(std::function<void()> fn) override;

    RectF screenFrame() const override;
    PointF pointer() const override;

private:
    void watch(QScreen* screen);
    void changed();

    std::vector<std::function<void()>> observers_;
    bool pending_ = false;
    mutable QElapsedTimer pointerRead_;
    mutable PointF lastPointer_;
};

}  // namespace pawlane
