// Test only: the shell's Eval answers, so that a test can click and look as a user does.
function init() {
    return {
        enable() { global.context.unsafe_mode = true; },
        disable() { global.context.unsafe_mode = false; },
    };
}
