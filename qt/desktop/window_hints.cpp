#include "qt/desktop/window_hints.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

namespace desktop {

Qt::WindowFlags fixedWindowFlags(Qt::WindowType type)
{
    return type | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
}
namespace {

xcb_connection_t *x11()
{
    const auto *native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return native != nullptr ? native->connection() : nullptr;
}

// The atoms the hints below name. Interned together and kept for the run:
// each reply is a wait on the server, and the start-up window sets its hints
// before it can show.
struct Atoms {
    xcb_atom_t motifHints = XCB_ATOM_NONE;
    xcb_atom_t state = XCB_ATOM_NONE;
    xcb_atom_t skipTaskbar = XCB_ATOM_NONE;
    xcb_atom_t skipPager = XCB_ATOM_NONE;
};

const Atoms &atoms(xcb_connection_t *connection)
{
    static xcb_connection_t *internedFor = nullptr;
    static Atoms known;
    if (internedFor == connection)
        return known;
    const std::array<std::pair<xcb_atom_t *, const char *>, 4> names{{
        {&known.motifHints, "_MOTIF_WM_HINTS"},
        {&known.state, "_NET_WM_STATE"},
        {&known.skipTaskbar, "_NET_WM_STATE_SKIP_TASKBAR"},
        {&known.skipPager, "_NET_WM_STATE_SKIP_PAGER"},
    }};
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i)
        cookies[i] = xcb_intern_atom(connection, 0, uint16_t(std::strlen(names[i].second)), names[i].second);
    for (std::size_t i = 0; i < names.size(); ++i) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
        *names[i].first = reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
    }
    internedFor = connection;
    return known;
}

// Runs apply on window's X window before the window is first mapped: at
// once if Qt has made it, else as Qt makes it, on showing. Not through
// winId(), which would make it now: that marks the widget native, and Qt
// then makes every other child of its parent native too. For About that is
// the main window's central widget, which would keep an X window of its own
// inside the main window, About closed or not.
class OnXWindow : public QObject
{
public:
    using Apply = std::function<void(xcb_connection_t *, xcb_window_t)>;

    OnXWindow(QWidget *window, xcb_connection_t *connection, Apply apply)
        : QObject(window)
        , m_connection(connection)
        , m_apply(std::move(apply))
    {
        Q_ASSERT(window->isWindow());
        if (window->internalWinId() != 0)
            run(window);
        window->installEventFilter(this); // made again should its flags change
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WinIdChange && static_cast<QWidget *>(watched)->internalWinId() != 0)
            run(static_cast<QWidget *>(watched));
        return false;
    }

private:
    void run(QWidget *window)
    {
        m_apply(m_connection, xcb_window_t(window->internalWinId()));
        xcb_flush(m_connection);
    }

    xcb_connection_t *m_connection;
    Apply m_apply;
};

// Adds states to a window's _NET_WM_STATE before it is mapped; Qt keeps
// what is there when it sets its own at mapping.
void addStates(QWidget *window, std::vector<xcb_atom_t Atoms::*> names)
{
    xcb_connection_t *connection = x11();
    if (connection == nullptr)
        return;
    new OnXWindow(window, connection, [names = std::move(names)](xcb_connection_t *connection, xcb_window_t id) {
        const Atoms &known = atoms(connection);
        std::vector<xcb_atom_t> states;
        const xcb_get_property_cookie_t cookie =
            xcb_get_property(connection, 0, id, known.state, XCB_ATOM_ATOM, 0, 64);
        if (xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr)) {
            const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
            states.assign(values, values + xcb_get_property_value_length(reply) / int(sizeof(xcb_atom_t)));
            std::free(reply);
        }
        for (const auto name : names) {
            const xcb_atom_t state = known.*name;
            if (std::find(states.begin(), states.end(), state) == states.end())
                states.push_back(state);
        }
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, known.state, XCB_ATOM_ATOM, 32,
                            uint32_t(states.size()), states.data());
    });
}

} // namespace

void keepOffTaskbar(QWidget *window)
{
    addStates(window, {&Atoms::skipTaskbar, &Atoms::skipPager});
}

void withoutFrame(QWidget *window)
{
    // Motif's hints, which every X11 window manager reads: decorations
    // given, and none of them. Qt leaves them unset on a start-up window,
    // trusting the window manager to know the type.
    xcb_connection_t *connection = x11();
    if (connection == nullptr)
        return;
    new OnXWindow(window, connection, [](xcb_connection_t *connection, xcb_window_t id) {
        constexpr uint32_t kDecorationsGiven = 1u << 1;
        const std::array<uint32_t, 5> hints{kDecorationsGiven, 0, 0, 0, 0}; // flags, functions, decorations, input, status
        const xcb_atom_t property = atoms(connection).motifHints;
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, property, property, 32, uint32_t(hints.size()),
                            hints.data());
    });
}

namespace {

// A window's size before it is first shown: one sized by its layout has
// none until that has run.
QSize sizeBeforeShowing(QWidget *window)
{
    window->ensurePolished();
    if (QLayout *layout = window->layout())
        layout->activate();
    return window->size();
}

// Places the client area: a position given for the frame would be taken for
// the client's anyway, as long as Qt does not know the frame of a window
// that has never been shown.
void placeClient(QWidget *window, const QRect &client)
{
    window->setGeometry(client);
}

// Keeps a window centred over its owner until it is on the screen: some
// settle their size only as they are shown (a message box fits itself to its
// text then), after any placing done before.
class CentredOver : public QObject
{
public:
    CentredOver(QWidget *window, const QWidget *owner)
        : QObject(window)
        , m_window(window)
        , m_owner(owner->window())
    {
        centre();
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Resize && !m_window->testAttribute(Qt::WA_Mapped))
            centre();
        return false;
    }

private:
    void centre()
    {
        QRect client(QPoint(), sizeBeforeShowing(m_window));
        client.moveCenter(m_owner->geometry().center());
        placeClient(m_window, client);
    }

    QWidget *m_window;
    const QWidget *m_owner;
};

} // namespace

void openOver(QWidget *window, const QWidget *owner)
{
    Q_ASSERT(window->parentWidget() == owner->window());
    new CentredOver(window, owner);
}

void openCentredOn(QWidget *window, const QRect &area)
{
    QRect client(QPoint(), sizeBeforeShowing(window));
    client.moveCenter(area.center());
    placeClient(window, client);
}

} // namespace desktop
