#pragma once
// What the desktop tests ask of the X server: windows of a process, their
// place on the screen, pixels of the screen, and the pointer (through xdotool).
#include <sys/types.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace desktop {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rect&) const = default;
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Screen pixels of one rectangle, rows top first.
struct Shot {
    Rect area;
    std::vector<Rgb> pixels;
    Rgb at(int x, int y) const { return pixels[std::size_t(y - area.y) * area.w + (x - area.x)]; }
    // Writes a binary PPM for a person to look at when a test fails.
    void save(const std::string& path) const;
};

class XSession {
public:
    XSession();
    ~XSession();
    bool connected() const { return conn_ != nullptr; }

    // Viewable top-level client windows whose _NET_WM_PID is pid, in root coordinates.
    std::vector<Rect> windowsOf(pid_t pid);
    std::vector<xcb_window_t> windowIdsOf(pid_t pid);
    // The names of the atoms in a window's ATOM-list property.
    std::vector<std::string> atomNames(xcb_window_t window, const char* property);
    std::optional<std::uint32_t> cardinal(xcb_window_t window, const char* property);
    // WM_HINTS says the window takes keyboard focus (absent hints count as yes).
    bool acceptsFocus(xcb_window_t window);
    Shot grab(const Rect& area);
    Rect screen();
    // Whether a compositing manager owns the screen's selection.
    bool composited();

private:
    void collect(xcb_window_t parent, pid_t pid, int depth, std::vector<xcb_window_t>& out);
    Rect placeOf(xcb_window_t window);
    xcb_atom_t atom(const char* name);

    xcb_connection_t* conn_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
};

// Runs a shell command; its exit status.
int sh(const std::string& command);
void sleepMs(int ms);

}  // namespace desktop
