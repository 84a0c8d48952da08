// The page's layout (linked with --js-library, beside page.js): the scale
// the program's windows are shown at, where their boxes stand in the
// playfield, and full screen.
//
// The page's style sheet lays out the playfield (#zorvak-play) with the
// header or the touch pads around it; this part fits the boxes into what it
// left, at the largest whole number of device pixels per image pixel that the
// backend's rule (zweb_fit_scale) allows, with each canvas on whole device
// pixels so that every image pixel is a sharp square.

var LibraryZorvakLayout = {
    $ZWLayout__deps: ['$ZWStore'],
    $ZWLayout: {
        started: false,
        pending: 0,  // the frame request of layoutSoon
        // Full-screen keys pressed and not yet released (KeyboardEvent.code),
        // and whether an Alt was part of one: their releases are taken too.
        takenKeys: [],
        altTaken: false,

        start: function() {
            if (ZWLayout.started) return;
            ZWLayout.started = true;
            window.addEventListener('resize', ZWLayout.layout);
            document.addEventListener('fullscreenchange', ZWLayout.fullScreenChanged);
            var button = document.getElementById('zorvak-fullscreen');
            if (button && document.fullscreenEnabled) {
                button.hidden = false;
                button.addEventListener('click', ZWLayout.toggleFullScreen);
                // The keyboard stays with the game (which would pause without it).
                button.addEventListener('mousedown', function(e) {
                    e.preventDefault();
                });
            }
            if (document.fullscreenEnabled && ZWStore.settings().fullScreen) ZWLayout.fullScreenSoon();
        },

        // The player left the game in full screen: a browser goes full
        // screen only at a gesture, so the first key or tap on the page
        // does it (F11 and Alt+Enter do it themselves).
        fullScreenSoon: function() {
            var enter = function(e) {
                document.removeEventListener('keydown', enter, true);
                document.removeEventListener('pointerdown', enter, true);
                if (e.key === 'F11' || (e.key === 'Enter' && e.altKey)) return;
                if (!document.fullscreenElement) ZWLayout.toggleFullScreen();
            };
            document.addEventListener('keydown', enter, true);
            document.addEventListener('pointerdown', enter, true);
        },

        // The element the boxes are laid out in, which fills the playfield.
        playfield: function() {
            return ZW.desktop();
        },

        // The room the main window's canvas has, in device pixels: the
        // playfield less the box's frame and title bar.
        room: function(main) {
            var ratio = window.devicePixelRatio || 1;
            var play = ZWLayout.playfield();
            var frame = getComputedStyle(main.box);
            var frameWidth = parseFloat(frame.borderLeftWidth) + parseFloat(frame.borderRightWidth);
            var frameHeight = parseFloat(frame.borderTopWidth) +
                parseFloat(frame.borderBottomWidth) + main.title.offsetHeight;
            var width = (play.clientWidth || window.innerWidth) - frameWidth;
            var height = (play.clientHeight || window.innerHeight) - frameHeight;
            return {width: Math.floor(width * ratio), height: Math.floor(height * ratio)};
        },

        // The whole-number scale, in device pixels per image pixel, at which
        // the main window fits the playfield.
        fitScale: function() {
            var main = ZW.main();
            if (!main) return 1;
            var room = ZWLayout.room(main);
            return _zweb_fit_scale(room.width, room.height, main.width, main.height);
        },

        // Places a box so that its canvas's top-left corner lands on the
        // device pixel nearest to (left, top), CSS pixels of the playfield.
        placeBox: function(win, left, top) {
            var ratio = window.devicePixelRatio || 1;
            var origin = ZWLayout.playfield().getBoundingClientRect();
            var insetX = win.box.clientLeft + win.screen.offsetLeft;
            var insetY = win.box.clientTop + win.screen.offsetTop;
            var x = Math.round((origin.left + left + insetX) * ratio) / ratio;
            var y = Math.round((origin.top + top + insetY) * ratio) / ratio;
            win.box.style.left = (x - origin.left - insetX) + 'px';
            win.box.style.top = (y - origin.top - insetY) + 'px';
        },

        // Lays the page out before the browser next draws it: the program's
        // changes of its windows come in bursts (a window made, framed,
        // shown), each would cost a layout of the whole page.
        layoutSoon: function() {
            if (ZWLayout.pending) return;
            ZWLayout.pending = requestAnimationFrame(function() {
                ZWLayout.pending = 0;
                ZWLayout.layout();
            });
        },

        layout: function() {
            var main = ZW.main();
            if (!main) return;
            ZW.scale = ZWLayout.fitScale();
            var ratio = window.devicePixelRatio || 1;
            ZW.order.forEach(function(id) {
                var win = ZW.windows[id];
                win.screen.style.width = (win.width * ZW.scale / ratio) + 'px';
                win.screen.style.height = (win.height * ZW.scale / ratio) + 'px';
            });
            // The main box in the middle of the playfield's width, near its
            // top (in full screen, in its middle).
            var play = ZWLayout.playfield();
            var freeX = play.clientWidth - main.box.offsetWidth;
            var freeY = play.clientHeight - main.box.offsetHeight;
            var top = document.fullscreenElement ? freeY / 2 : Math.min(freeY / 2, 6);
            ZWLayout.placeBox(main, Math.max(0, freeX / 2), Math.max(0, top));
            // Later windows keep the offset between their centre and the
            // main window's that the program gave them on its desktop.
            var mainX = main.box.offsetLeft + main.box.offsetWidth / 2;
            var mainY = main.box.offsetTop + main.box.offsetHeight / 2;
            ZW.order.slice(1).forEach(function(id) {
                var win = ZW.windows[id];
                var dx = (win.x + win.width / 2) - (main.x + main.width / 2);
                var dy = (win.y + win.height / 2) - (main.y + main.height / 2);
                var left = mainX + dx * ZW.scale / ratio - win.box.offsetWidth / 2;
                var boxTop = mainY + dy * ZW.scale / ratio - win.box.offsetHeight / 2;
                ZWLayout.placeBox(win, Math.max(0, left), Math.max(0, boxTop));
            });
        },

        toggleFullScreen: function() {
            var app = document.getElementById('zorvak-app') || document.documentElement;
            if (document.fullscreenElement) {
                document.exitFullscreen().catch(function() {});
            } else if (document.fullscreenEnabled) {
                app.requestFullscreen({navigationUI: 'hide'}).catch(function() {});
            }
        },

        fullScreenChanged: function() {
            ZWStore.saveSettings({fullScreen: !!document.fullscreenElement});
            var button = document.getElementById('zorvak-fullscreen');
            if (button) {
                button.textContent = document.fullscreenElement ? 'Leave full screen' : 'Full screen';
            }
            ZWLayout.layout();
        },

        // F11, or Enter with Alt held, switches full screen as on the
        // desktop: the program never hears them, nor their releases, nor the
        // release of the Alt that was part of one (that would read as an Alt
        // tap and light the menu bar).  True when the key was taken.
        takeFullScreenKey: function(e, down) {
            if (down) {
                if (e.key === 'Alt' && !e.repeat) ZWLayout.altTaken = false;
                if (e.key !== 'F11' && !(e.key === 'Enter' && e.altKey)) return false;
                if (ZWLayout.takenKeys.indexOf(e.code) < 0) ZWLayout.takenKeys.push(e.code);
                ZWLayout.altTaken = ZWLayout.altTaken || e.altKey;
                if (!e.repeat) ZWLayout.toggleFullScreen();
                return true;
            }
            var taken = ZWLayout.takenKeys.indexOf(e.code);
            if (taken >= 0) {
                ZWLayout.takenKeys.splice(taken, 1);
                return true;
            }
            if (e.key === 'Alt' && ZWLayout.altTaken) {
                ZWLayout.altTaken = false;
                return true;
            }
            return false;
        },
    },
};

mergeInto(LibraryManager.library, LibraryZorvakLayout);
