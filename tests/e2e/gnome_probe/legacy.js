/* The probe as GNOME 43 and 44 load an extension: a script, its imports
   through imports.gi and imports.ui, and init() giving the object the
   shell enables and Eval reaches as stateObj. */

const { Clutter, Gio, GLib, Meta, Shell, St } = imports.gi;
const Main = imports.ui.main;

const ProbeBase = class {};

// PROBE

function init(extension) {
    return new Probe(extension);
}
