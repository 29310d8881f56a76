#include "shell/x11_window_frame.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace ruzez {

namespace {

// Window managers answer at once; one that does not is not waited on.
constexpr std::chrono::milliseconds kAnswerWait{500};

template <typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection,
                              xcb_intern_atom(connection, false, uint16_t(strlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

bool supported(xcb_connection_t *connection, xcb_window_t root, xcb_atom_t wanted)
{
    const xcb_atom_t supportedAtom = atom(connection, "_NET_SUPPORTED");
    const XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, false, root, supportedAtom,
                                                XCB_ATOM_ATOM, 0, 4096),
                               nullptr),
        &std::free);
    if (!reply || reply->format != 32)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
    return std::find(atoms, atoms + count, wanted) != atoms + count;
}

std::optional<QMargins> frameExtents(xcb_connection_t *connection, xcb_window_t window,
                                     xcb_atom_t extents)
{
    const XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, false, window, extents,
                                                XCB_ATOM_CARDINAL, 0, 4),
                               nullptr),
        &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
        return std::nullopt;
    // left, right, top, bottom
    const auto *value = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    return QMargins(int(value[0]), int(value[2]), int(value[1]), int(value[3]));
}

// The frame Qt knows around the window now; none until the window manager
// has told it.
std::optional<QMargins> frameNow(const QWidget &window)
{
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    if (outer == inner)
        return std::nullopt;
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

} // namespace

QMargins X11WindowFrame::normalFrame(QWidget &window)
{
    const bool normal = !(window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen
                                                  | Qt::WindowMinimized));
    if (normal) {
        if (const auto now = frameNow(window))
            m_known = now;
    }
    if (!m_known && !m_asked) {
        m_asked = true;
        m_known = frameBeforeShowing(window);
    }
    // Never seen normal and nobody to ask: the frame it has is the best guess.
    return m_known.value_or(frameNow(window).value_or(QMargins()));
}

std::optional<QMargins> frameBeforeShowing(QWidget &window)
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                              : nullptr;
    if (!x11 || !x11->connection())
        return std::nullopt;
    xcb_connection_t *connection = x11->connection();
    const auto native = xcb_window_t(window.winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = atom(connection, "_NET_FRAME_EXTENTS");
    if (request == XCB_ATOM_NONE || extents == XCB_ATOM_NONE
        || !supported(connection, root, request))
        return std::nullopt;

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = native;
    message.type = request;
    xcb_send_event(connection, false, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);

    // The window manager answers in the screen's pixels; the window is sized
    // in Qt's logical pixels, which differ on a scaled screen.
    const qreal scale = window.devicePixelRatioF();
    const QDeadlineTimer deadline(kAnswerWait);
    while (true) {
        if (const auto frame = frameExtents(connection, native, extents)) {
            return QMargins(qRound(frame->left() / scale), qRound(frame->top() / scale),
                            qRound(frame->right() / scale), qRound(frame->bottom() / scale));
        }
        if (deadline.hasExpired())
            return std::nullopt;
        QThread::msleep(5);
    }
}

} // namespace ruzez
