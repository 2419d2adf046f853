/* The probe as GNOME 45 and later load an extension: an ES module whose
   default export the shell makes its stateObj. */

import Clutter from 'gi://Clutter';
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import Shell from 'gi://Shell';
import St from 'gi://St';

import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import { Extension as ProbeBase } from 'resource:///org/gnome/shell/extensions/extension.js';

// PROBE

export default Probe;
