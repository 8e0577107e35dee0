#include "platform/qt/qt_form_frame.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace tallyrun {

namespace {

// Openbox answers within a millisecond; a window manager slower than this costs the start-up no more than that.
constexpr auto AnswerWait = std::chrono::milliseconds(200);

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
using PropertyReply = std::unique_ptr<xcb_get_property_reply_t, FreeReply>;

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

PropertyReply Property(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t name, xcb_atom_t type,
                       std::uint32_t longs)
{
    PropertyReply reply(
        xcb_get_property_reply(connection, xcb_get_property(connection, 0, window, name, type, 0, longs), nullptr));
    if (!reply || reply->type != type || reply->format != 32)
        return nullptr;
    return reply;
}

bool Offers(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t wanted)
{
    const PropertyReply supported = Property(connection, root, Atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 4096);
    if (!supported)
        return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(supported.get()));
    const auto* end = atoms + xcb_get_property_value_length(supported.get()) / sizeof(xcb_atom_t);
    return std::find(atoms, end, wanted) != end;
}

// The property holds left, right, top and bottom in device pixels.
std::optional<QMargins> Extents(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t extents, qreal ratio)
{
    const PropertyReply reply = Property(connection, window, extents, XCB_ATOM_CARDINAL, 4);
    if (!reply || xcb_get_property_value_length(reply.get()) != 4 * sizeof(std::uint32_t))
        return std::nullopt;
    const auto* edge = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    const auto logical = [ratio](std::uint32_t pixels) { return static_cast<int>(std::lround(pixels / ratio)); };
    return QMargins(logical(edge[0]), logical(edge[2]), logical(edge[1]), logical(edge[3]));
}

}  // namespace

std::optional<QMargins> RequestFrameExtents(QWidget& window)
{
    // The offscreen platform answers for X11 too, without a connection.
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || xcb_connection_has_error(connection))
        return std::nullopt;
    // The first X screen's window manager: displays of several X screens (:0.1) are left to the guess.
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t request = Atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    if (request == XCB_ATOM_NONE || !Offers(connection, root, request))
        return std::nullopt;

    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t extents = Atom(connection, "_NET_FRAME_EXTENTS");
    const qreal ratio = window.devicePixelRatioF();
    if (auto known = Extents(connection, id, extents, ratio))
        return known;

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);

    // Waiting for the property's change event would mean taking events from under Qt's own reader; each look is
    // one round trip instead.
    const auto deadline = std::chrono::steady_clock::now() + AnswerWait;
    do {
        if (auto answered = Extents(connection, id, extents, ratio))
            return answered;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

}  // namespace tallyrun
