#pragma once
// The few X11 window-manager conversations Qt has no API for, spoken over Qt's
// own xcb connection. Every call does nothing (or answers "no") when the
// application does not run on X11.
#include <QColor>
#include <QPoint>
#include <QWindow>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

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
// Draws a window's pixels straight from an image: no round trip before each
// frame, as Qt's own backing store makes, and no second copy of the pixels.
class WindowPainter {
public:
    // Nothing when the window is not on X11 or the server cannot take the
    // image's pixels as they are.
    static std::unique_ptr<WindowPainter> create(QWindow* window);
    ~WindowPainter();
    WindowPainter(const WindowPainter&) = delete;
    WindowPainter& operator=(const WindowPainter&) = delete;
    // An ARGB32 premultiplied image to paint the window's pixels into: in
    // memory shared with the server where it can be, so put() sends no
    // pixels. Valid until the next call or the painter's end.
    QImage surface(const QSize& pixels);
    // Call before painting into the surface: the server may still be reading
    // what the last put() showed.
    void waitUntilRead();
    // `image` is the surface, or any ARGB32 premultiplied image as large as
    // the window, in device pixels.
    void put(const QImage& image, const QRect& deviceRect);
    // After the puts of a frame.
    void endFrame();

private:
    WindowPainter() = default;
    void releaseSurface();
    std::uint32_t window_ = 0, gc_ = 0;
    int depth_ = 32;
    std::size_t maxBytes_ = 0;
    std::vector<std::uint8_t> scratch_;
    void* shared_ = nullptr;
    std::size_t sharedBytes_ = 0;
    std::uint32_t segment_ = 0;
    unsigned int fence_ = 0;
    bool fencePending_ = false;
    bool sharedPutsSent_ = false;
};
// An X Expose event for `window`: its area in device pixels, and whether more follow.
bool isExposeOf(const void* xcbEvent, QWindow* window, QRect* area, bool* more);
// The pointer's position in Qt's global coordinates as of the previous call:
// the answer to a query sent then, so asking never waits on a round trip.
// Nothing off X11 (or before the first answer).
std::optional<QPoint> pointerWithoutWaiting();
// A compositing manager owns the screen's _NET_WM_CM selection.
bool compositorRunning();
// The foreground colour a freedesktop tray advertises for its icons.
std::optional<QColor> trayForeground();

}  // namespace pawlane::x11
