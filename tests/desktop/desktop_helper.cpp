// Stand-in windows for the desktop tests, driven over stdin:
//   desktop_helper dock <height>          a bottom panel reserving <height> pixels
//   desktop_helper backdrop <r> <g> <b>   a full-screen window of one colour that
//                                         prints "press <x> <y>" for each click
// stdin lines: "height <n>" resizes the dock; "quit" (or end of input) leaves.
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

xcb_connection_t* conn;
xcb_screen_t* screen;

xcb_atom_t atom(const char* name) {
    auto* reply = xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

void setAtomProperty(xcb_window_t w, const char* property, const char* value) {
    const xcb_atom_t v = atom(value);
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, w, atom(property), XCB_ATOM_ATOM, 32, 1, &v);
}

void placeDock(xcb_window_t w, int height) {
    const int W = screen->width_in_pixels, H = screen->height_in_pixels;
    // left, right, top, bottom, then the start/end pairs of each edge.
    const std::uint32_t strut[12] = {0, 0, 0, std::uint32_t(height), 0, 0, 0, 0, 0, 0, 0, std::uint32_t(W - 1)};
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL, 32, 12,
                        strut);
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_STRUT"), XCB_ATOM_CARDINAL, 32, 4, strut);
    const std::uint32_t geometry[] = {0, std::uint32_t(H - height), std::uint32_t(W), std::uint32_t(height)};
    xcb_configure_window(conn, w,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT,
                         geometry);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: desktop_helper dock <height> | backdrop <r> <g> <b>\n");
        return 2;
    }
    const std::string mode = argv[1];
    conn = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(conn)) return 3;
    screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
    const int W = screen->width_in_pixels, H = screen->height_in_pixels;

    std::uint32_t pixel = 0x303030;
    if (mode == "backdrop" && argc >= 5)
        pixel = (std::uint32_t(std::atoi(argv[2])) << 16) | (std::uint32_t(std::atoi(argv[3])) << 8) |
                std::uint32_t(std::atoi(argv[4]));
    const xcb_window_t w = xcb_generate_id(conn);
    const std::uint32_t values[] = {pixel, XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(conn, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0, W, H, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    if (mode == "dock") {
        setAtomProperty(w, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DOCK");
        placeDock(w, std::atoi(argv[2]));
    } else {
        // Below everything, undecorated, covering the screen.
        setAtomProperty(w, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DESKTOP");
    }
    xcb_map_window(conn, w);
    if (mode == "dock") placeDock(w, std::atoi(argv[2]));
    xcb_flush(conn);
    std::printf("ready\n");
    std::fflush(stdout);

    std::string pendingInput;
    pollfd fds[2] = {{0, POLLIN, 0}, {xcb_get_file_descriptor(conn), POLLIN, 0}};
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(conn)) {
            if ((event->response_type & 0x7f) == XCB_BUTTON_PRESS) {
                auto* press = reinterpret_cast<xcb_button_press_event_t*>(event);
                std::printf("press %d %d\n", press->root_x, press->root_y);
                std::fflush(stdout);
            }
            std::free(event);
        }
        if (xcb_connection_has_error(conn)) return 4;
        if (poll(fds, 2, 1000) < 0) return 5;
        if (fds[0].revents & (POLLIN | POLLHUP)) {
            char buffer[256];
            const ssize_t n = read(0, buffer, sizeof buffer);
            if (n <= 0) return 0;
            pendingInput.append(buffer, std::size_t(n));
            std::size_t end;
            while ((end = pendingInput.find('\n')) != std::string::npos) {
                const std::string line = pendingInput.substr(0, end);
                pendingInput.erase(0, end + 1);
                if (line == "quit") return 0;
                if (line.rfind("height ", 0) == 0 && mode == "dock") {
                    placeDock(w, std::atoi(line.c_str() + 7));
                    xcb_flush(conn);
                    std::printf("ok\n");
                    std::fflush(stdout);
                }
            }
        }
    }
}
