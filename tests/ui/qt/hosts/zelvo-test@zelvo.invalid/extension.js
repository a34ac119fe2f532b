// Test only: the shell's Eval answers, so that a test can click and look as a user does; what
// the test reaches through it is under global._zelvo, the same for every shell version.
const {Clutter, GLib} = imports.gi;
const Main = imports.ui.main;

function init() {
    return {
        enable() {
            global.context.unsafe_mode = true;
            global._zelvo = {Main, Clutter, GLib, seat: Clutter.get_default_backend().get_default_seat()};
        },
        disable() {
            global.context.unsafe_mode = false;
            delete global._zelvo;
        },
    };
}
