/* What gnome-shell knows of the windows in a test session, and a user's
   keyboard and pointer. Loaded as an extension of the session's own shell
   mode (gnome_session.py); it puts the shell in unsafe mode so that the
   tests reach these methods through org.gnome.Shell.Eval:

       Main.extensionManager.lookup(UUID).stateObj.windows()

   Every method returns plain data, which Eval hands back as JSON.

   The shell loads extensions two ways: as scripts with imports.gi up to
   GNOME 44, as ES modules from 45. gnome_session.py puts this file into
   the wrapper for the shell that runs (legacy.js or module.js), which
   provides Clutter, Gio, GLib, Meta, Shell, St, Main and ProbeBase. */

let keyboard = null;
let pointer = null;
// The move or resize mutter is making of a window, as it says when it
// begins and ends one: { id, op }, or null.
let grab = null;

class Probe extends ProbeBase {
    enable() {
        // Nothing in a test session may lock, blank or open the overview on
        // its own: no user is there to undo it.
        new Gio.Settings({ schema_id: 'org.gnome.desktop.session' }).set_uint('idle-delay', 0);
        new Gio.Settings({ schema_id: 'org.gnome.desktop.screensaver' }).set_boolean('lock-enabled', false);
        new Gio.Settings({ schema_id: 'org.gnome.desktop.interface' }).set_boolean('enable-hot-corners', false);

        global.display.connect('grab-op-begin', (display, window, op) => {
            grab = { id: window ? window.get_id() : null, op };
        });
        global.display.connect('grab-op-end', () => {
            grab = null;
        });

        global.context.unsafe_mode = true;
        // The shell says so in a banner over the top of the screen, which
        // would be in every screenshot for the next few seconds.
        for (const source of Main.messageTray.getSources())
            source.destroy();

        // A session starts in the overview, where no window takes input.
        if (Main.layoutManager._startingUp)
            Main.layoutManager.connect('startup-complete', _started);
        else
            _started();
    }

    disable() {
    }

    ready() {
        return !Main.layoutManager._startingUp && !Main.overview.visible && !Main.overview.animationInProgress;
    }

    environment(name) {
        return GLib.getenv(name);
    }

    // Every window, bottom of the stack first, with where it is in the stack
    // and in the window list Alt+Tab and the window switcher draw from.
    windows() {
        const stacked = global.display.sort_windows_by_stacking(global.display.list_all_windows());
        const switcher = _switcherWindows();
        return stacked.map((window, index) => Object.assign(_describe(window), {
            stacking: index,
            in_alt_tab: switcher.includes(window),
        }));
    }

    // Alt+Tab's entries in its order: the window each stands for and its app.
    altTab() {
        const tracker = Shell.WindowTracker.get_default();
        return _switcherWindows().map(window => {
            const app = tracker.get_window_app(window);
            return { id: window.get_id(), title: window.get_title(), app: app ? app.get_id() : null };
        });
    }

    grab() {
        return grab;
    }

    // What a user's drag of the title bar ends in.
    moveFrame(id, x, y) {
        _window(id).move_frame(true, x, y);
        return _rect(_window(id).get_frame_rect());
    }

    activate(id) {
        _window(id).activate(global.get_current_time());
    }

    maximize(id) {
        _window(id).maximize(Meta.MaximizeFlags.BOTH);
    }

    monitors() {
        const count = global.display.get_n_monitors();
        const found = [];
        for (let i = 0; i < count; i++) {
            found.push({
                geometry: _rect(global.display.get_monitor_geometry(i)),
                scale: global.display.get_monitor_scale(i),
            });
        }
        return found;
    }

    // The shell's own scale: its screenshot service takes areas divided by it.
    uiScale() {
        return St.ThemeContext.get_for_stage(global.stage).scale_factor;
    }

    // --- a user's hands -----------------------------------------------------

    keyDown(name) {
        _press(name, Clutter.KeyState.PRESSED);
    }

    keyUp(name) {
        _press(name, Clutter.KeyState.RELEASED);
    }

    pointTo(x, y) {
        _devices();
        pointer.notify_absolute_motion(_now(), x, y);
    }

    button(pressed, which = Clutter.BUTTON_PRIMARY) {
        _devices();
        pointer.notify_button(_now(), which, pressed ? Clutter.ButtonState.PRESSED : Clutter.ButtonState.RELEASED);
    }

    // --- monitors -----------------------------------------------------------

    // Sets the scale of the one monitor as Settings > Displays does, through
    // mutter's DisplayConfig; the answer comes later, so callers poll
    // monitors().
    setScale(scale) {
        const bus = Gio.DBus.session;
        const call = (method, parameters, then) => bus.call('org.gnome.Mutter.DisplayConfig',
            '/org/gnome/Mutter/DisplayConfig', 'org.gnome.Mutter.DisplayConfig', method, parameters, null,
            Gio.DBusCallFlags.NONE, -1, null, (connection, result) => {
                try {
                    then(connection.call_finish(result));
                } catch (e) {
                    log(`setScale: ${e.message}`);
                }
            });
        call('GetCurrentState', null, reply => {
            const [serial, monitorList] = reply.deepUnpack();
            const [[connector], modes] = monitorList[0];
            const mode = modes.find(m => m[6]['is-current']?.deepUnpack()) ?? modes[0];
            const logical = [[0, 0, scale, 0, true, [[connector, mode[0], {}]]]];
            call('ApplyMonitorsConfig',
                new GLib.Variant('(uua(iiduba(ssa{sv}))a{sv})', [serial, 1, logical, {}]), () => {});
        });
    }
}

function _started() {
    Main.overview.hide();
    // The first key a new keyboard sends is lost on its way to XWayland's
    // clients: one the tests would miss is sent now, with no window there.
    _press('Shift_L', Clutter.KeyState.PRESSED);
    _press('Shift_L', Clutter.KeyState.RELEASED);
    pointer.notify_absolute_motion(_now(), global.screen_width - 1, global.screen_height - 1);
}

// The windows Alt+Tab lists, as the shell's altTab.js picks them (the
// module keeps its function to itself from GNOME 45): attached dialogs stand
// for their parent, and skip-taskbar windows are left out.
function _switcherWindows() {
    const windows = global.display.get_tab_list(Meta.TabList.NORMAL_ALL, null);
    return windows.map(w => w.is_attached_dialog() ? w.get_transient_for() : w)
        .filter((w, i, a) => !w.skip_taskbar && a.indexOf(w) === i);
}

function _rect(r) {
    return [r.x, r.y, r.width, r.height];
}

function _typeName(type) {
    return Object.keys(Meta.WindowType).find(name => Meta.WindowType[name] === type) ?? String(type);
}

// A frame of mutter's own is around the client's rectangle. A Wayland
// client's title bar is inside its client rectangle, and the shadows a
// client draws around itself (Qt from 6.8) are outside its frame rectangle,
// which mutter 48 then reports as smaller than the client's.
function _hasServerFrame(frame, client) {
    const inside = frame.x <= client.x && frame.y <= client.y &&
        client.x + client.width <= frame.x + frame.width && client.y + client.height <= frame.y + frame.height;
    return inside && (frame.width !== client.width || frame.height !== client.height);
}

function _describe(window) {
    const frame = window.get_frame_rect();
    const client = window.frame_rect_to_client_rect(frame);
    const parent = window.get_transient_for();
    const app = Shell.WindowTracker.get_default().get_window_app(window);
    const type = window.get_window_type();
    return {
        id: window.get_id(),
        pid: window.get_pid(),
        title: window.get_title(),
        wm_class: window.get_wm_class(),
        wm_class_instance: window.get_wm_class_instance(),
        gtk_application_id: window.get_gtk_application_id(),
        app: app ? app.get_id() : null,
        client_type: window.get_client_type() === Meta.WindowClientType.WAYLAND ? 'wayland' : 'x11',
        type: _typeName(type),
        frame: _rect(frame),
        client: _rect(client),
        buffer: _rect(window.get_buffer_rect()),
        server_frame: _hasServerFrame(frame, client),
        decorated: window.decorated,
        transient_for: parent ? parent.get_id() : null,
        attached: window.is_attached_dialog(),
        modal: type === Meta.WindowType.MODAL_DIALOG,
        skip_taskbar: window.is_skip_taskbar(),
        can_maximize: window.can_maximize(),
        can_minimize: window.can_minimize(),
        can_close: window.can_close(),
        allows_move: window.allows_move(),
        allows_resize: window.allows_resize(),
        maximized: window.get_maximized(),
        minimized: window.minimized,
        hidden: window.is_hidden(),
        focused: window.has_focus(),
        monitor_scale: global.display.get_monitor_scale(window.get_monitor()),
    };
}

function _window(id) {
    const found = global.display.list_all_windows().find(window => window.get_id() === id);
    if (!found)
        throw new Error(`no window ${id}`);
    return found;
}

function _devices() {
    if (keyboard === null) {
        const seat = Clutter.get_default_backend().get_default_seat();
        keyboard = seat.create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE);
        pointer = seat.create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE);
    }
}

// Virtual devices take their times in microseconds.
function _now() {
    return GLib.get_monotonic_time();
}

// Keys by their place on a PC keyboard (evdev codes), as a real keyboard
// sends them. Asked for by keysym alone, Clutter may pick another key that
// gives the same symbol at another level: Alt_L comes from the <ALT> key
// then, which X clients on XWayland read as no symbol at all.
const EVDEV = {
    Escape: 1, BackSpace: 14, Tab: 15, Return: 28, Control_L: 29, Shift_L: 42, Alt_L: 56, space: 57,
    F1: 59, F2: 60, F3: 61, F4: 62, F5: 63, F10: 68, Home: 102, Up: 103, Page_Up: 104, Left: 105,
    Right: 106, End: 107, Down: 108, Page_Down: 109, Delete: 111, Super_L: 125, Menu: 127,
    1: 2, 2: 3, 3: 4, 4: 5, 5: 6, 6: 7, 7: 8, 8: 9, 9: 10, 0: 11,
};

function _press(name, state) {
    _devices();
    if (name in EVDEV) {
        keyboard.notify_key(_now(), EVDEV[name], state);
        return;
    }
    const keyval = name.length === 1 ? Clutter.unicode_to_keysym(name.codePointAt(0)) : Clutter[`KEY_${name}`];
    if (keyval === undefined)
        throw new Error(`no key ${name}`);
    keyboard.notify_keyval(_now(), keyval, state);
}
