// Test only: the shell's Eval answers, so that a test can click and look as a user does; what
// the test reaches through it is under global._zelvo, the same for every shell version. This
// is the module form that GNOME Shell 45 and later load.
import Clutter from 'gi://Clutter';
import GLib from 'gi://GLib';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

export default class ZelvoTestExtension extends Extension {
    enable() {
        global.context.unsafe_mode = true;
        global._zelvo = {Main, Clutter, GLib, seat: global.stage.context.get_backend().get_default_seat()};
    }

    disable() {
        global.context.unsafe_mode = false;
        delete global._zelvo;
    }
}
