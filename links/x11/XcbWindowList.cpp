#include "links/x11/XcbWindowList.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace {

struct FreeReply {
    void operator()(void *reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootOf(xcb_connection_t *c)
{
    const xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    return it.rem > 0 ? it.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

Reply<xcb_get_property_reply_t> property(xcb_connection_t *c, xcb_window_t window, xcb_atom_t name,
                                         xcb_atom_t type, uint32_t longs)
{
    return Reply<xcb_get_property_reply_t>(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, longs), nullptr));
}

std::vector<xcb_window_t> windowsIn(const xcb_get_property_reply_t *reply)
{
    std::vector<xcb_window_t> windows;
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const xcb_window_t *>(xcb_get_property_value(reply));
        windows.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    return windows;
}

// Both parts of WM_CLASS; none when the window has no such property.
QStringList classNamesOf(xcb_connection_t *c, xcb_window_t window)
{
    const auto reply = property(c, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 64);
    if (!reply || reply->format != 8)
        return {};
    const auto *data = static_cast<const char *>(xcb_get_property_value(reply.get()));
    const int length = xcb_get_property_value_length(reply.get());
    QStringList names;
    for (const QByteArray &part : QByteArray(data, length).split('\0')) {
        if (!part.isEmpty())
            names << QString::fromLatin1(part);
    }
    return names;
}

std::vector<xcb_window_t> children(xcb_connection_t *c, xcb_window_t window)
{
    Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    if (!tree)
        return {};
    const xcb_window_t *first = xcb_query_tree_children(tree.get());
    return std::vector<xcb_window_t>(first, first + xcb_query_tree_children_length(tree.get()));
}

bool viewable(xcb_connection_t *c, xcb_window_t window)
{
    Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

struct Atoms {
    xcb_atom_t stackingList, clientList, wmState, netWmState, hidden, maxVert, maxHorz, activeWindow;
    explicit Atoms(xcb_connection_t *c)
        : stackingList(atom(c, "_NET_CLIENT_LIST_STACKING")), clientList(atom(c, "_NET_CLIENT_LIST")), wmState(atom(c, "WM_STATE")),
          netWmState(atom(c, "_NET_WM_STATE")), hidden(atom(c, "_NET_WM_STATE_HIDDEN")),
          maxVert(atom(c, "_NET_WM_STATE_MAXIMIZED_VERT")), maxHorz(atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ")),
          activeWindow(atom(c, "_NET_ACTIVE_WINDOW"))
    {
    }
};

bool minimised(xcb_connection_t *c, const Atoms &a, xcb_window_t window)
{
    constexpr uint32_t IconicState = 3;
    if (const auto state = property(c, window, a.wmState, a.wmState, 2); state && state->format == 32
        && xcb_get_property_value_length(state.get()) >= 4
        && *static_cast<const uint32_t *>(xcb_get_property_value(state.get())) == IconicState)
        return true;
    for (const xcb_atom_t s : windowsIn(property(c, window, a.netWmState, XCB_ATOM_ATOM, 32).get())) {
        if (s == a.hidden)
            return true;
    }
    return false;
}

void sendToRoot(xcb_connection_t *c, xcb_window_t window, xcb_atom_t type, std::initializer_list<uint32_t> data)
{
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    int i = 0;
    for (const uint32_t value : data)
        event.data.data32[i++] = value;
    xcb_send_event(c, 0, rootOf(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
}

} // namespace

std::vector<TopWindow> XcbWindowList::topLevelWindows()
{
    xcb_connection_t *c = x11Connection();
    if (!c)
        return {};
    const xcb_window_t root = rootOf(c);
    const Atoms a(c);
    // A window manager lists the windows it manages; without one the windows are
    // the root's children, and a manager that lists nothing keeps each in a frame.
    std::vector<xcb_window_t> candidates = windowsIn(property(c, root, a.stackingList, XCB_ATOM_WINDOW, 4096).get());
    if (candidates.empty())
        candidates = windowsIn(property(c, root, a.clientList, XCB_ATOM_WINDOW, 4096).get());
    const bool managed = !candidates.empty();
    if (!managed) {
        for (const xcb_window_t top : children(c, root)) {
            if (!classNamesOf(c, top).isEmpty()) {
                candidates.push_back(top);
                continue;
            }
            for (const xcb_window_t inner : children(c, top))
                candidates.push_back(inner);
        }
    }
    std::vector<TopWindow> windows;
    // The lists run from the bottom of the stack (or the oldest window) to the top.
    for (auto it = candidates.crbegin(); it != candidates.crend(); ++it) {
        TopWindow window{*it, classNamesOf(c, *it), minimised(c, a, *it)};
        if (window.classNames.isEmpty())
            continue;
        if (!managed && !window.minimised && !viewable(c, *it))
            continue; // a hidden helper window, not one a person sees
        windows.push_back(std::move(window));
    }
    return windows;
}

void XcbWindowList::bringToFront(const TopWindow &window)
{
    xcb_connection_t *c = x11Connection();
    if (!c)
        return;
    const Atoms a(c);
    if (window.minimised) {
        constexpr uint32_t Add = 1;
        sendToRoot(c, window.id, a.netWmState, {Add, a.maxVert, a.maxHorz, 1});
        // Mapping a minimised window shows it again.
        xcb_map_window(c, window.id);
    }
    constexpr uint32_t FromApplication = 1;
    sendToRoot(c, window.id, a.activeWindow, {FromApplication, XCB_CURRENT_TIME, 0});
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(c, window.id, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_flush(c);
}
