// The touch pads (linked with --js-library, beside page.js): Left, Right and
// Fire for thumbs, and a Pause tool, shown on a touch screen and hidden again
// when a key is pressed on a keyboard.
//
// A pad is a key: it sends the program what the keyboard's key sends, to the
// window that has the keyboard, as the desktop's controller does: one key
// press when the first finger lands on it, the release when the last finger
// leaves it, and nothing while it is held.  The keyboard's auto-repeat is the
// system's (its delay and rate are the visitor's settings, which a page
// cannot read), and the program acts on presses only: a steer holds its
// course, a held Fire fires once, as on the controller.  Each finger is
// followed on its own, so steering and firing together work, a finger that
// slides from one pad onto another releases the first and presses the
// second, and Left let go while Right is held leaves Right held.

var LibraryZorvakControls = {
    $ZWControls: {
        started: false,
        shown: false,
        pointers: {},  // a finger that is down -> the pad it holds (or null)
        held: {},  // a pad's key -> how many fingers hold it

        start: function() {
            if (ZWControls.started) return;
            ZWControls.started = true;
            document.querySelectorAll('.zw-pad [data-key]').forEach(function(pad) {
                pad.tabIndex = -1;
                pad.addEventListener('pointerdown', function(e) {
                    ZWControls.onDown(e, pad);
                });
            });
            // The Pause tool: a tap pauses and goes on, as P does.
            var pause = document.getElementById('zorvak-pause');
            if (pause) {
                pause.addEventListener('pointerdown', function(e) {
                    e.preventDefault();
                    ZWControls.send(ZW.KEY, pause);
                    ZWControls.send(ZW.KEY_UP, pause);
                });
            }
            document.addEventListener('pointermove', ZWControls.onMove);
            document.addEventListener('pointerup', ZWControls.onUp);
            document.addEventListener('pointercancel', ZWControls.onUp);
            window.addEventListener('blur', ZWControls.releaseAll);
            // Shown at a touch, hidden at a key of a keyboard.
            document.addEventListener('pointerdown', function(e) {
                if (e.pointerType === 'touch') ZWControls.show(true);
            }, true);
            document.addEventListener('keydown', function() {
                ZWControls.show(false);
            }, true);
            // No long-press menu over the game on a touch screen.
            document.addEventListener('contextmenu', function(e) {
                if (ZWControls.shown) e.preventDefault();
            });
            var coarse = window.matchMedia && window.matchMedia('(pointer: coarse)').matches;
            if (coarse) ZWControls.show(true);
        },

        show: function(shown) {
            if (shown === ZWControls.shown) return;
            ZWControls.shown = shown;
            if (!shown) ZWControls.releaseAll();
            document.documentElement.classList.toggle('zw-touch', shown);
            ZWLayout.layout();
        },

        // The pad under a point of the viewport, or null.
        padAt: function(x, y) {
            var under = document.elementFromPoint(x, y);
            return under && under.closest ? under.closest('.zw-pad [data-key]') : null;
        },

        onDown: function(e, pad) {
            if (e.pointerType === 'mouse' && e.button !== 0) return;
            e.preventDefault();  // no focus moved, no mouse events made up
            ZWControls.hold(e.pointerId, pad);
        },

        // A finger that is down, followed over the pads (and the gaps
        // between them) until it lifts.
        onMove: function(e) {
            if (!(e.pointerId in ZWControls.pointers)) return;
            ZWControls.hold(e.pointerId, ZWControls.padAt(e.clientX, e.clientY));
        },

        onUp: function(e) {
            if (!(e.pointerId in ZWControls.pointers)) return;
            ZWControls.hold(e.pointerId, null);
            delete ZWControls.pointers[e.pointerId];
        },

        releaseAll: function() {
            Object.keys(ZWControls.pointers).forEach(function(id) {
                ZWControls.hold(id, null);
                delete ZWControls.pointers[id];
            });
        },

        // The finger `id` is now on `pad` (null: on none).
        hold: function(id, pad) {
            var was = ZWControls.pointers[id] || null;
            ZWControls.pointers[id] = pad;
            if (was === pad) return;
            if (was) ZWControls.count(was, -1);
            if (pad) ZWControls.count(pad, 1);
        },

        // One finger more or fewer on a pad: its key goes down with the
        // first and up with the last.
        count: function(pad, change) {
            var key = pad.dataset.key;
            var fingers = (ZWControls.held[key] || 0) + change;
            ZWControls.held[key] = fingers;
            if (change > 0 && fingers === 1) ZWControls.send(ZW.KEY, pad);
            if (change < 0 && fingers === 0) ZWControls.send(ZW.KEY_UP, pad);
            pad.classList.toggle('zw-held', fingers > 0);
        },

        // The pad's key, for the window that has the keyboard (window 0).
        send: function(type, pad) {
            var vk = ZW.virtualKey(pad.dataset.key, pad.dataset.code || pad.dataset.key);
            if (vk) ZW.push([type, 0, vk, 0, 0, 0, 0]);
        },
    },
};

mergeInto(LibraryManager.library, LibraryZorvakControls);
