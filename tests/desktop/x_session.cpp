#include "x_session.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace desktop {

void Shot::save(const std::string& path) const {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "P6\n%d %d\n255\n", area.w, area.h);
    for (const Rgb& p : pixels) std::fwrite(&p, 3, 1, f);
    std::fclose(f);
}

XSession::XSession() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return;
    }
    conn_ = c;
    screen_ = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data;
}

XSession::~XSession() {
    if (conn_) xcb_disconnect(conn_);
}

xcb_atom_t XSession::atom(const char* name) {
    auto* r = xcb_intern_atom_reply(conn_, xcb_intern_atom(conn_, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

Rect XSession::screen() {
    // The root's size may change under us (xrandr): ask the server.
    auto* g = xcb_get_geometry_reply(conn_, xcb_get_geometry(conn_, screen_->root), nullptr);
    Rect r{0, 0, g ? g->width : 0, g ? g->height : 0};
    std::free(g);
    return r;
}

bool XSession::composited() {
    auto* r = xcb_get_selection_owner_reply(conn_, xcb_get_selection_owner(conn_, atom("_NET_WM_CM_S0")), nullptr);
    const bool owned = r && r->owner != XCB_NONE;
    std::free(r);
    return owned;
}

void XSession::collect(xcb_window_t parent, pid_t pid, int depth, std::vector<xcb_window_t>& out) {
    auto* tree = xcb_query_tree_reply(conn_, xcb_query_tree(conn_, parent), nullptr);
    if (!tree) return;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    const int n = xcb_query_tree_children_length(tree);
    const xcb_atom_t pidAtom = atom("_NET_WM_PID");
    for (int i = 0; i < n; ++i) {
        const xcb_window_t w = children[i];
        auto* attrs = xcb_get_window_attributes_reply(conn_, xcb_get_window_attributes(conn_, w), nullptr);
        const bool viewable = attrs && attrs->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attrs);
        if (!viewable) continue;
        auto* prop = xcb_get_property_reply(
            conn_, xcb_get_property(conn_, 0, w, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        const bool ours = prop && xcb_get_property_value_length(prop) == 4 &&
                          *static_cast<const std::uint32_t*>(xcb_get_property_value(prop)) == std::uint32_t(pid);
        std::free(prop);
        if (ours)
            out.push_back(w);
        else if (depth < 3)
            collect(w, pid, depth + 1, out);  // window-manager frames hold the clients
    }
    std::free(tree);
}

Rect XSession::placeOf(xcb_window_t w) {
    Rect r{};
    auto* g = xcb_get_geometry_reply(conn_, xcb_get_geometry(conn_, w), nullptr);
    auto* t = xcb_translate_coordinates_reply(conn_, xcb_translate_coordinates(conn_, w, screen_->root, 0, 0), nullptr);
    if (g && t) r = {t->dst_x, t->dst_y, g->width, g->height};
    std::free(g);
    std::free(t);
    return r;
}

std::vector<xcb_window_t> XSession::windowIdsOf(pid_t pid) {
    std::vector<xcb_window_t> out;
    collect(screen_->root, pid, 0, out);
    return out;
}

std::vector<Rect> XSession::windowsOf(pid_t pid) {
    std::vector<Rect> out;
    for (xcb_window_t w : windowIdsOf(pid)) out.push_back(placeOf(w));
    return out;
}

std::vector<std::string> XSession::atomNames(xcb_window_t window, const char* property) {
    std::vector<std::string> names;
    auto* prop = xcb_get_property_reply(
        conn_, xcb_get_property(conn_, 0, window, atom(property), XCB_ATOM_ATOM, 0, 64), nullptr);
    if (!prop) return names;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(prop));
    for (int i = 0; i < xcb_get_property_value_length(prop) / 4; ++i) {
        auto* name = xcb_get_atom_name_reply(conn_, xcb_get_atom_name(conn_, atoms[i]), nullptr);
        if (name) names.emplace_back(xcb_get_atom_name_name(name), xcb_get_atom_name_name_length(name));
        std::free(name);
    }
    std::free(prop);
    return names;
}

std::optional<std::uint32_t> XSession::cardinal(xcb_window_t window, const char* property) {
    auto* prop = xcb_get_property_reply(
        conn_, xcb_get_property(conn_, 0, window, atom(property), XCB_ATOM_CARDINAL, 0, 1), nullptr);
    std::optional<std::uint32_t> v;
    if (prop && xcb_get_property_value_length(prop) == 4)
        v = *static_cast<const std::uint32_t*>(xcb_get_property_value(prop));
    std::free(prop);
    return v;
}

bool XSession::acceptsFocus(xcb_window_t window) {
    auto* prop = xcb_get_property_reply(
        conn_, xcb_get_property(conn_, 0, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, 9), nullptr);
    bool accepts = true;
    // flags bit 0 (InputHint) set means the second field says whether it takes input.
    if (prop && xcb_get_property_value_length(prop) >= 8) {
        const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(prop));
        if (v[0] & 1) accepts = v[1] != 0;
    }
    std::free(prop);
    return accepts;
}

Shot XSession::grab(const Rect& area) {
    Shot shot{area, {}};
    auto* img = xcb_get_image_reply(conn_,
                                    xcb_get_image(conn_, XCB_IMAGE_FORMAT_Z_PIXMAP, screen_->root, std::int16_t(area.x),
                                                  std::int16_t(area.y), std::uint16_t(area.w),
                                                  std::uint16_t(area.h), ~0u),
                                    nullptr);
    if (!img) return shot;
    // Depth 24 in 32-bit little-endian pixels: B, G, R, unused.
    const std::uint8_t* data = xcb_get_image_data(img);
    const int length = xcb_get_image_data_length(img);
    shot.pixels.reserve(std::size_t(area.w) * area.h);
    for (int i = 0; i + 3 < length && int(shot.pixels.size()) < area.w * area.h; i += 4)
        shot.pixels.push_back({data[i + 2], data[i + 1], data[i]});
    std::free(img);
    return shot;
}

int sh(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace desktop
