// libxcb is loaded by Qt's xcb platform plugin; we resolve the handful of
// functions we need at run time instead of linking it, so nothing but the
// plugin decides whether X11 is in use.
#include "platform/qt/x11_native.h"

#include <dlfcn.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>

namespace pawlane::x11 {
namespace {

// From libxcb-shape, which Qt's plugin links; declared here rather than
// pulling in its development headers for one call.
using ShapeCombine = xcb_void_cookie_t (*)(xcb_connection_t*, std::uint8_t op, std::uint8_t destinationKind,
                                           std::uint8_t sourceKind, xcb_window_t destination, std::int16_t x,
                                           std::int16_t y, xcb_window_t source);
// From libxcb-shm, likewise.
using ShmAttach = xcb_void_cookie_t (*)(xcb_connection_t*, std::uint32_t segment, std::uint32_t shmid,
                                        std::uint8_t readOnly);
using ShmDetach = xcb_void_cookie_t (*)(xcb_connection_t*, std::uint32_t segment);
using ShmPutImage = xcb_void_cookie_t (*)(xcb_connection_t*, xcb_drawable_t, xcb_gcontext_t, std::uint16_t totalWidth,
                                          std::uint16_t totalHeight, std::uint16_t srcX, std::uint16_t srcY,
                                          std::uint16_t srcWidth, std::uint16_t srcHeight, std::int16_t dstX,
                                          std::int16_t dstY, std::uint8_t depth, std::uint8_t format,
                                          std::uint8_t sendEvent, std::uint32_t segment, std::uint32_t offset);
constexpr std::uint8_t kShapeSet = 0;
constexpr std::uint8_t kShapeInput = 2;

struct Xcb {
    decltype(&xcb_intern_atom) internAtom = nullptr;
    decltype(&xcb_intern_atom_reply) internAtomReply = nullptr;
    decltype(&xcb_change_property) changeProperty = nullptr;
    decltype(&xcb_get_selection_owner) getSelectionOwner = nullptr;
    decltype(&xcb_get_selection_owner_reply) getSelectionOwnerReply = nullptr;
    decltype(&xcb_get_property) getProperty = nullptr;
    decltype(&xcb_get_property_reply) getPropertyReply = nullptr;
    decltype(&xcb_get_property_value) propertyValue = nullptr;
    decltype(&xcb_get_property_value_length) propertyValueLength = nullptr;
    decltype(&xcb_flush) flush = nullptr;
    decltype(&xcb_query_pointer) queryPointer = nullptr;
    decltype(&xcb_query_pointer_reply) queryPointerReply = nullptr;
    decltype(&xcb_setup_roots_iterator) rootsIterator = nullptr;
    decltype(&xcb_get_setup) getSetup = nullptr;
    decltype(&xcb_screen_next) screenNext = nullptr;
    decltype(&xcb_query_tree) queryTree = nullptr;
    decltype(&xcb_query_tree_reply) queryTreeReply = nullptr;
    decltype(&xcb_get_geometry) getGeometry = nullptr;
    decltype(&xcb_get_geometry_reply) getGeometryReply = nullptr;
    ShapeCombine shapeCombine = nullptr;  // may stay null: no shape library
    decltype(&xcb_generate_id) generateId = nullptr;
    decltype(&xcb_create_gc) createGc = nullptr;
    decltype(&xcb_free_gc) freeGc = nullptr;
    decltype(&xcb_put_image) putImage = nullptr;
    decltype(&xcb_get_maximum_request_length) maximumRequestLength = nullptr;
    decltype(&xcb_setup_pixmap_formats) pixmapFormats = nullptr;
    decltype(&xcb_setup_pixmap_formats_length) pixmapFormatsLength = nullptr;
    decltype(&xcb_get_input_focus) getInputFocus = nullptr;
    decltype(&xcb_get_input_focus_reply) getInputFocusReply = nullptr;
    decltype(&xcb_request_check) requestCheck = nullptr;
    decltype(&xcb_discard_reply) discardReply = nullptr;
    decltype(&xcb_get_extension_data) extensionData = nullptr;
    // May stay null: no shared-memory library, then pixels go over the socket.
    ShmAttach shmAttach = nullptr;
    ShmDetach shmDetach = nullptr;
    ShmPutImage shmPutImage = nullptr;
    xcb_extension_t* shmExtension = nullptr;
    xcb_connection_t* connection = nullptr;
    int screen = 0;
};

// The copy Qt's plugin already loaded, else a fresh one.
void* library(const char* name) {
    void* lib = dlopen(name, RTLD_NOW | RTLD_NOLOAD);
    return lib ? lib : dlopen(name, RTLD_NOW);
}

template <class F>
void resolve(void* lib, F& fn, const char* name) {
    fn = reinterpret_cast<F>(dlsym(lib, name));
}

const Xcb* xcb() {
    static const Xcb loaded = [] {
        Xcb x;
        if (QGuiApplication::platformName() != QLatin1String("xcb")) return x;
        auto* native = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        if (!native || !native->connection()) return x;
        void* lib = library("libxcb.so.1");
        if (!lib) return x;
        resolve(lib, x.internAtom, "xcb_intern_atom");
        resolve(lib, x.internAtomReply, "xcb_intern_atom_reply");
        resolve(lib, x.changeProperty, "xcb_change_property");
        resolve(lib, x.getSelectionOwner, "xcb_get_selection_owner");
        resolve(lib, x.getSelectionOwnerReply, "xcb_get_selection_owner_reply");
        resolve(lib, x.getProperty, "xcb_get_property");
        resolve(lib, x.getPropertyReply, "xcb_get_property_reply");
        resolve(lib, x.propertyValue, "xcb_get_property_value");
        resolve(lib, x.propertyValueLength, "xcb_get_property_value_length");
        resolve(lib, x.flush, "xcb_flush");
        resolve(lib, x.queryPointer, "xcb_query_pointer");
        resolve(lib, x.queryPointerReply, "xcb_query_pointer_reply");
        resolve(lib, x.rootsIterator, "xcb_setup_roots_iterator");
        resolve(lib, x.getSetup, "xcb_get_setup");
        resolve(lib, x.screenNext, "xcb_screen_next");
        resolve(lib, x.queryTree, "xcb_query_tree");
        resolve(lib, x.queryTreeReply, "xcb_query_tree_reply");
        resolve(lib, x.getGeometry, "xcb_get_geometry");
        resolve(lib, x.getGeometryReply, "xcb_get_geometry_reply");
        resolve(lib, x.generateId, "xcb_generate_id");
        resolve(lib, x.createGc, "xcb_create_gc");
        resolve(lib, x.freeGc, "xcb_free_gc");
        resolve(lib, x.putImage, "xcb_put_image");
        resolve(lib, x.maximumRequestLength, "xcb_get_maximum_request_length");
        resolve(lib, x.pixmapFormats, "xcb_setup_pixmap_formats");
        resolve(lib, x.pixmapFormatsLength, "xcb_setup_pixmap_formats_length");
        resolve(lib, x.getInputFocus, "xcb_get_input_focus");
        resolve(lib, x.getInputFocusReply, "xcb_get_input_focus_reply");
        resolve(lib, x.requestCheck, "xcb_request_check");
        resolve(lib, x.discardReply, "xcb_discard_reply");
        resolve(lib, x.extensionData, "xcb_get_extension_data");
        if (void* shm = library("libxcb-shm.so.0")) {
            resolve(shm, x.shmAttach, "xcb_shm_attach_checked");
            resolve(shm, x.shmDetach, "xcb_shm_detach");
            resolve(shm, x.shmPutImage, "xcb_shm_put_image");
            resolve(shm, x.shmExtension, "xcb_shm_id");
        }
        if (void* shape = library("libxcb-shape.so.0")) resolve(shape, x.shapeCombine, "xcb_shape_combine");
        if (!x.queryPointer || !x.queryPointerReply || !x.rootsIterator || !x.getSetup || !x.screenNext ||
            !x.queryTree || !x.queryTreeReply || !x.getGeometry || !x.getGeometryReply || !x.generateId ||
            !x.createGc || !x.freeGc || !x.putImage || !x.maximumRequestLength || !x.pixmapFormats ||
            !x.pixmapFormatsLength || !x.getInputFocus || !x.getInputFocusReply || !x.requestCheck ||
            !x.discardReply || !x.extensionData)
            return Xcb{};
        if (!x.internAtom || !x.internAtomReply || !x.changeProperty || !x.getSelectionOwner ||
            !x.getSelectionOwnerReply || !x.getProperty || !x.getPropertyReply || !x.propertyValue ||
            !x.propertyValueLength || !x.flush)
            return Xcb{};
        x.connection = native->connection();
        // The screen number the display name selects (":0.1" -> 1).
        if (const char* display = std::getenv("DISPLAY")) {
            if (const char* dot = std::strrchr(display, '.'); dot && std::strchr(display, ':') < dot)
                x.screen = std::atoi(dot + 1);
        }
        return x;
    }();
    return loaded.connection ? &loaded : nullptr;
}

xcb_atom_t atom(const Xcb& x, const char* name) {
    auto cookie = x.internAtom(x.connection, 0, std::uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = x.internAtomReply(x.connection, cookie, nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t a = reply->atom;
    std::free(reply);
    return a;
}

xcb_window_t selectionOwner(const Xcb& x, const std::string& selection) {
    const xcb_atom_t a = atom(x, selection.c_str());
    if (a == XCB_ATOM_NONE) return XCB_NONE;
    auto* reply = x.getSelectionOwnerReply(x.connection, x.getSelectionOwner(x.connection, a), nullptr);
    if (!reply) return XCB_NONE;
    const xcb_window_t owner = reply->owner;
    std::free(reply);
    return owner;
}

}  // namespace

bool available() { return xcb() != nullptr; }

void markStickyAboveUnlisted(QWindow* window) {
    const Xcb* x = xcb();
    if (!x || !window) return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const std::uint32_t allDesktops = 0xFFFFFFFF;
    x->changeProperty(x->connection, XCB_PROP_MODE_REPLACE, id, atom(*x, "_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL,
                      32, 1, &allDesktops);
    const xcb_atom_t states[] = {atom(*x, "_NET_WM_STATE_STICKY"), atom(*x, "_NET_WM_STATE_SKIP_TASKBAR"),
                                 atom(*x, "_NET_WM_STATE_SKIP_PAGER"), atom(*x, "_NET_WM_STATE_ABOVE")};
    // Qt adds its own states to this list when it maps the window.
    x->changeProperty(x->connection, XCB_PROP_MODE_REPLACE, id, atom(*x, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32,
                      4, states);
    x->flush(x->connection);
}

void mirrorInputShapeToFrame(QWindow* window) {
    const Xcb* x = xcb();
    if (!x || !x->shapeCombine || !window) return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    auto* tree = x->queryTreeReply(x->connection, x->queryTree(x->connection, id), nullptr);
    if (!tree) return;
    const xcb_window_t parent = tree->parent, root = tree->root;
    std::free(tree);
    if (parent == XCB_NONE || parent == root) return;  // not framed
    auto* geometry = x->getGeometryReply(x->connection, x->getGeometry(x->connection, id), nullptr);
    if (!geometry) return;
    x->shapeCombine(x->connection, kShapeSet, kShapeInput, kShapeInput, parent, geometry->x, geometry->y, id);
    std::free(geometry);
    x->flush(x->connection);
}

std::unique_ptr<WindowPainter> WindowPainter::create(QWindow* window) {
    const Xcb* x = xcb();
    if (!x || !window) return nullptr;
    // Pixels go out as they lie in a QImage's ARGB32 rows: the server must
    // read them little-endian, 32 bits a pixel.
    const xcb_setup_t* setup = x->getSetup(x->connection);
    if (!setup || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return nullptr;
    const auto id = static_cast<xcb_window_t>(window->winId());
    auto* geometry = x->getGeometryReply(x->connection, x->getGeometry(x->connection, id), nullptr);
    if (!geometry) return nullptr;
    const int depth = geometry->depth;
    std::free(geometry);
    if (depth != 32 && depth != 24) return nullptr;
    const xcb_format_t* formats = x->pixmapFormats(setup);
    bool fourBytes = false;
    for (int i = 0; i < x->pixmapFormatsLength(setup); ++i)
        fourBytes = fourBytes || (formats[i].depth == depth && formats[i].bits_per_pixel == 32);
    if (!fourBytes) return nullptr;
    std::unique_ptr<WindowPainter> painter(new WindowPainter);
    painter->window_ = id;
    painter->depth_ = depth;
    painter->gc_ = x->generateId(x->connection);
    const std::uint32_t noExposures = 0;
    x->createGc(x->connection, painter->gc_, id, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    // In 4-byte units; leave room for the request's own header.
    painter->maxBytes_ = std::size_t(x->maximumRequestLength(x->connection)) * 4 - 64;
    return painter;
}

WindowPainter::~WindowPainter() {
    releaseSurface();
    if (const Xcb* x = xcb()) x->freeGc(x->connection, gc_);
}

void WindowPainter::releaseSurface() {
    if (!shared_) return;
    waitUntilRead();
    if (const Xcb* x = xcb()) x->shmDetach(x->connection, segment_);
    shmdt(shared_);
    shared_ = nullptr;
    sharedBytes_ = 0;
}

QImage WindowPainter::surface(const QSize& pixels) {
    releaseSurface();
    const Xcb* x = xcb();
    const std::size_t bytes = std::size_t(pixels.width()) * std::size_t(pixels.height()) * 4;
    const xcb_query_extension_reply_t* ext =
        x && x->shmAttach && x->shmExtension ? x->extensionData(x->connection, x->shmExtension) : nullptr;
    // Qt's own switch for servers that only claim to share memory.
    if (ext && ext->present && bytes > 0 && !qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        void* memory = id >= 0 ? shmat(id, nullptr, 0) : reinterpret_cast<void*>(-1);
        if (memory != reinterpret_cast<void*>(-1)) {
            const std::uint32_t segment = x->generateId(x->connection);
            // Checked: a server on another machine cannot attach our memory.
            xcb_generic_error_t* error = x->requestCheck(x->connection, x->shmAttach(x->connection, segment, id, 1));
            shmctl(id, IPC_RMID, nullptr);  // gone once both sides let go
            if (!error) {
                shared_ = memory;
                sharedBytes_ = bytes;
                segment_ = segment;
                return QImage(static_cast<uchar*>(memory), pixels.width(), pixels.height(), pixels.width() * 4,
                              QImage::Format_ARGB32_Premultiplied);
            }
            std::free(error);
            shmdt(memory);
        } else if (id >= 0) {
            shmctl(id, IPC_RMID, nullptr);
        }
    }
    return QImage(pixels, QImage::Format_ARGB32_Premultiplied);
}

void WindowPainter::waitUntilRead() {
    if (!fencePending_) return;
    fencePending_ = false;
    // Answered long ago in practice: the reply is already queued.
    if (const Xcb* x = xcb()) std::free(x->getInputFocusReply(x->connection, xcb_get_input_focus_cookie_t{fence_}, nullptr));
}

void WindowPainter::endFrame() {
    const Xcb* x = xcb();
    if (!x || !sharedPutsSent_) return;
    sharedPutsSent_ = false;
    // The server reads the memory when it gets to the puts: the reply to a
    // request sent after them says that has happened.
    if (fencePending_) x->discardReply(x->connection, fence_);
    fence_ = x->getInputFocus(x->connection).sequence;
    fencePending_ = true;
}

void WindowPainter::put(const QImage& image, const QRect& deviceRect) {
    const Xcb* x = xcb();
    const QRect r = deviceRect.intersected(image.rect());
    if (!x || r.isEmpty()) return;
    if (shared_ && image.constBits() == shared_ && image.bytesPerLine() == image.width() * 4) {
        x->shmPutImage(x->connection, window_, gc_, std::uint16_t(image.width()), std::uint16_t(image.height()),
                       std::uint16_t(r.left()), std::uint16_t(r.top()), std::uint16_t(r.width()),
                       std::uint16_t(r.height()), std::int16_t(r.left()), std::int16_t(r.top()), std::uint8_t(depth_),
                       XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment_, 0);
        sharedPutsSent_ = true;
        return;
    }
    const std::size_t rowBytes = std::size_t(r.width()) * 4;
    const int rowsPerRequest = std::max(1, int(maxBytes_ / rowBytes));
    for (int top = r.top(); top <= r.bottom(); top += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, r.bottom() + 1 - top);
        scratch_.resize(rowBytes * std::size_t(rows));
        for (int y = 0; y < rows; ++y)
            std::memcpy(scratch_.data() + rowBytes * std::size_t(y), image.constScanLine(top + y) + r.left() * 4,
                        rowBytes);
        x->putImage(x->connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, std::uint16_t(r.width()),
                    std::uint16_t(rows), std::int16_t(r.left()), std::int16_t(top), 0, std::uint8_t(depth_),
                    std::uint32_t(scratch_.size()), scratch_.data());
    }
}

bool isExposeOf(const void* xcbEvent, QWindow* window, QRect* area, bool* more) {
    const auto* event = static_cast<const xcb_generic_event_t*>(xcbEvent);
    if ((event->response_type & 0x7f) != XCB_EXPOSE || !window) return false;
    const auto* expose = static_cast<const xcb_expose_event_t*>(xcbEvent);
    if (expose->window != static_cast<xcb_window_t>(window->winId())) return false;
    *area = QRect(expose->x, expose->y, expose->width, expose->height);
    *more = expose->count > 0;
    return true;
}

std::optional<QPoint> pointerWithoutWaiting() {
    const Xcb* x = xcb();
    if (!x) return std::nullopt;
    static xcb_window_t root = [x] {
        auto it = x->rootsIterator(x->getSetup(x->connection));
        for (int i = 0; i < x->screen && it.rem; ++i) x->screenNext(&it);
        return it.data ? it.data->root : xcb_window_t(XCB_NONE);
    }();
    static std::optional<xcb_query_pointer_cookie_t> pending;
    static std::optional<QPoint> latest;
    static bool askSoon = false;
    if (pending) {
        // Sent a tick ago: the answer is in by now, so this does not block in practice.
        if (auto* reply = x->queryPointerReply(x->connection, *pending, nullptr)) {
            latest = QPoint(reply->root_x, reply->root_y);
            std::free(reply);
        }
        pending.reset();
    }
    // Asked once the caller's work (the frame's drawing) is out: an answer
    // arriving while it is still being written only makes Qt's reader thread
    // fight this one for the connection.
    if (!askSoon) {
        askSoon = true;
        QMetaObject::invokeMethod(
            qApp,
            [x] {
                askSoon = false;
                pending = x->queryPointer(x->connection, root);
            },
            Qt::QueuedConnection);
    }
    return latest;
}

bool compositorRunning() {
    const Xcb* x = xcb();
    if (!x) return true;  // not X11: the platform composites
    return selectionOwner(*x, "_NET_WM_CM_S" + std::to_string(x->screen)) != XCB_NONE;
}

std::optional<QColor> trayForeground() {
    const Xcb* x = xcb();
    if (!x) return std::nullopt;
    const xcb_window_t tray = selectionOwner(*x, "_NET_SYSTEM_TRAY_S" + std::to_string(x->screen));
    if (tray == XCB_NONE) return std::nullopt;
    const xcb_atom_t colors = atom(*x, "_NET_SYSTEM_TRAY_COLORS");
    auto* reply = x->getPropertyReply(
        x->connection, x->getProperty(x->connection, 0, tray, colors, XCB_ATOM_CARDINAL, 0, 12), nullptr);
    if (!reply) return std::nullopt;
    std::optional<QColor> result;
    // Twelve cardinals: foreground, error, warning, success as 16-bit r, g, b.
    if (reply->format == 32 && x->propertyValueLength(reply) >= int(3 * sizeof(std::uint32_t))) {
        const auto* v = static_cast<const std::uint32_t*>(x->propertyValue(reply));
        result = QColor::fromRgb(int(v[0] >> 8), int(v[1] >> 8), int(v[2] >> 8));
    }
    std::free(reply);
    return result;
}

}  // namespace pawlane::x11
