#pragma once
// The few X11 window-manager conversations Qt has no API for, spoken over Qt's
// own xcb connection. Every call does nothing (or answers "no") when the
// application does not run on X11.
#include <QColor>
#include <QPoint>
#include <QWindow>

#include <optional>

namespace pawlane::x11 {

bool available();
// On every workspace, skipped by taskbars and pagers, above normal windows.
// Window managers drop these states when a window is withdrawn, so this is
// called before every map.
void markStickyAboveUnlisted(QWindow* window);
// Gives the window manager's frame around `window` the window's own input
// shape. Some window managers (openbox) keep the frame taking every click
// however the client shapes its input.
void mirrorInputShapeToFrame(QWindow* window);
// The pointer's position in Qt's global coordinates as of the previous call:
// the answer to a query sent then, so asking never waits on a round trip.
// Nothing off X11 (or before the first answer).
std::optional<QPoint> pointerWithoutWaiting();
// A compositing manager owns the screen's _NET_WM_CM selection.
bool compositorRunning();
// The foreground colour a freedesktop tray advertises for its icons.
std::optional<QColor> trayForeground();

}  // namespace pawlane::x11
