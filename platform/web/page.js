// The page's half of the web backend (linked with --js-library): window
// boxes with a title bar and a canvas, drawing, input, the page's clock and
// the sleep between messages, the beep and the end of the program.  Beside
// it: page_layout.js (the scale, where the boxes stand, full screen),
// page_controls.js (the touch pads), page_store.js (the kept games in the
// browser's storage) and page_watch.js (their table, and watching them).
//
// Every top-level window of the program is a box inside #zorvak-desktop: the
// first (the main window) in the middle of the playfield, later ones (About)
// over it, placed as the program placed them on its desktop.  All boxes show
// their pixels at one whole-number scale of device pixels, with sharp edges.

var LibraryZorvakPage = {
    $ZW__deps: ['$callUserCallback', '$ZWLayout', '$ZWControls', '$ZWWatch'],
    $ZW: {
        windows: {},  // id -> window record
        order: [],  // ids in creation order
        input: [],  // waiting input: [type, id, vk, alt or touch, repeat, x, y]
        wake: null,  // ends the current sleep, while there is one
        timer: 0,
        scale: 1,  // device pixels per image pixel
        programIcon: null,  // ICON_1, in a canvas of its own
        favicon: '',  // what the favicon shows now
        pageFavicon: '',  // the page's own favicon, shown while no window is minimised
        audio: null,
        audioUntil: 0,  // when the last beep ends, in the audio context's time
        audioTimer: 0,
        resuming: false,
        started: false,
        awayTimer: 0,
        // Input types, as ZWEB_INPUT_* in web_page.h.
        KEY: 1,
        CLICK: 2,
        MINIMIZE: 3,
        RESTORE: 4,
        CLOSE: 5,
        KEY_UP: 6,
        RELEASE: 7,
        DRAG: 8,
        FOCUS: 9,
        SHOWN: 10,
        ABSENT: 11,
        WATCH: 12,
        SEEK: 13,
        LEAVE: 14,
        // The pointer acting as the left button, while it is down: {win,
        // id, touch}.
        pressed: null,

        desktop: function() {
            var desktop = document.getElementById('zorvak-desktop');
            if (!desktop) {
                desktop = document.createElement('div');
                desktop.id = 'zorvak-desktop';
                document.body.appendChild(desktop);
            }
            return desktop;
        },

        start: function() {
            if (ZW.started) return;
            ZW.started = true;
            document.addEventListener('visibilitychange', ZW.visibilityChanged);
            window.addEventListener('blur', ZW.away);
            // The keyboard left the program's windows for the rest of the
            // page (a click on the text beside it): once it has stayed away
            // a moment (a window of the program closing hands it on).
            document.addEventListener('focusout', function() {
                clearTimeout(ZW.awayTimer);
                ZW.awayTimer = setTimeout(function() {
                    if (ZW.main() && !ZW.focusedWindow() && document.hasFocus()) ZW.away();
                }, 250);
            });
            // Sound may start only after the visitor's first gesture.
            document.addEventListener('pointerdown', ZW.unlockAudio, true);
            document.addEventListener('keydown', ZW.unlockAudio, true);
            // The button's release and drags belong to the window it went
            // down on, wherever the pointer is by then.
            document.addEventListener('pointermove', ZW.onPointerMove);
            document.addEventListener('pointerup', ZW.onPointerUp);
            document.addEventListener('pointercancel', ZW.onPointerCancel);
            ZWLayout.start();
            ZWControls.start();
            ZWWatch.start();
        },

        main: function() {
            return ZW.windows[ZW.order[0]] || null;
        },

        push: function(record) {
            ZW.input.push(record);
            if (ZW.wake) ZW.wake();
        },

        virtualKey: function(key, code) {
            var stack = stackSave();
            var vk = _zweb_virtual_key(allocateUTF8OnStack(key), allocateUTF8OnStack(code));
            stackRestore(stack);
            return vk;
        },

        // A key pressed or released (type KEY or KEY_UP) on a window's canvas.
        onKey: function(win, type, e) {
            if (ZWLayout.takeFullScreenKey(e, type === ZW.KEY)) {
                e.preventDefault();
                return;
            }
            var vk = ZW.virtualKey(e.key, e.code);
            if (!vk) return;
            // The game's keys are the game's (Alt and F10 too: no browser
            // menu), but the browser keeps its Ctrl and Cmd shortcuts.
            if (!e.ctrlKey && !e.metaKey) e.preventDefault();
            ZW.push([type, win.id, vk, e.altKey ? 1 : 0, e.repeat ? 1 : 0, 0, 0]);
        },

        // The left button's event (CLICK, DRAG or RELEASE) at image pixels,
        // clamped to the window's image; a finger's is marked as one (the
        // backend gives a finger more room around the menu bar).
        pointer: function(win, type, e, touch) {
            var r = win.screen.getBoundingClientRect();
            if (r.width <= 0 || r.height <= 0) return;
            var x = Math.floor((e.clientX - r.left) * win.width / r.width);
            var y = Math.floor((e.clientY - r.top) * win.height / r.height);
            x = Math.max(0, Math.min(win.width - 1, x));
            y = Math.max(0, Math.min(win.height - 1, y));
            ZW.push([type, win.id, 0, touch ? 1 : 0, 0, x, y]);
        },

        // A mouse's left button, a finger or a pen on a window's canvas: the
        // left button.  A second finger on the canvas while one presses it
        // is not; a mouse button that goes down ends a press whose release
        // was lost (outside the browser's window).
        onPointerDown: function(win, e) {
            if (e.pointerType === 'mouse' ? e.button !== 0 : ZW.pressed && ZW.pressed.touch) return;
            e.preventDefault();
            win.screen.focus({preventScroll: true});
            ZW.pressed = {win: win, id: e.pointerId, touch: e.pointerType !== 'mouse'};
            ZW.pointer(win, ZW.CLICK, e, ZW.pressed.touch);
        },

        // The pressed pointer, if e is about it and its window is still there.
        pressedBy: function(e) {
            var pressed = ZW.pressed;
            if (!pressed || pressed.id !== e.pointerId) return null;
            return ZW.windows[pressed.win.id] ? pressed : null;
        },

        onPointerMove: function(e) {
            var pressed = ZW.pressedBy(e);
            if (pressed) ZW.pointer(pressed.win, ZW.DRAG, e, pressed.touch);
        },

        onPointerUp: function(e) {
            var pressed = ZW.pressedBy(e);
            if (!pressed) return;
            ZW.pressed = null;
            ZW.pointer(pressed.win, ZW.RELEASE, e, pressed.touch);
        },

        // The browser took the pointer away (the gesture was not the
        // page's): the button comes up where nothing can be chosen, on the
        // image's bottom row, in the client area.
        onPointerCancel: function(e) {
            var pressed = ZW.pressedBy(e);
            if (!pressed) return;
            ZW.pressed = null;
            ZW.push([ZW.RELEASE, pressed.win.id, 0, 0, 0, 0, pressed.win.height - 1]);
        },

        // The player has gone (the page hidden, the browser's window or the
        // keyboard elsewhere): a game that runs pauses until P.
        away: function() {
            if (ZW.main()) ZW.push([ZW.ABSENT, 0, 0, 0, 0, 0, 0]);
        },

        // A hidden page pauses a game that runs, and nothing is drawn; shown
        // again, the backend draws what it did not while the page was
        // hidden.
        visibilityChanged: function() {
            if (!ZW.main()) return;
            if (document.hidden) {
                ZW.away();
                return;
            }
            ZW.push([ZW.SHOWN, 0, 0, 0, 0, 0, 0]);
        },

        // A tap on the pause notice goes on, as P does.
        onNoticeTap: function(win) {
            if (win.notice.textContent.indexOf('Paused') !== 0) return;
            var vk = ZW.virtualKey('p', 'KeyP');
            ZW.push([ZW.KEY, 0, vk, 0, 0, 0, 0]);
            ZW.push([ZW.KEY_UP, 0, vk, 0, 0, 0, 0]);
        },

        // Sound may start only at a gesture of the visitor's: the first one
        // starts it.  A running audio context costs the machine all the time,
        // even silent, so it is suspended when no beep has sounded for a
        // while and resumed for the next one.
        unlockAudio: function() {
            if (ZW.audio) return;
            var Context = window.AudioContext || window.webkitAudioContext;
            if (!Context) return;
            try {
                ZW.audio = new Context();
            } catch (e) {
                ZW.audio = null;
                return;
            }
            if (ZW.audio.state === 'suspended') ZW.audio.resume();
            ZW.quietLater();
        },

        // Suspends the sound once it has been quiet for two seconds.
        quietLater: function() {
            var audio = ZW.audio;
            clearTimeout(ZW.audioTimer);
            var playing = Math.max(0, ZW.audioUntil - audio.currentTime);
            ZW.audioTimer = setTimeout(function() {
                if (audio.state === 'running') audio.suspend();
            }, (playing + 2) * 1000);
        },

        // 880 Hz for 120 ms with soft edges; beeps that come faster than
        // they can be heard are dropped rather than queued into a drone.
        tone: function() {
            var audio = ZW.audio;
            var now = audio.currentTime;
            var start = Math.max(now, ZW.audioUntil);
            if (start - now > 0.25) return;
            var tone = audio.createOscillator();
            var gain = audio.createGain();
            tone.frequency.value = 880;
            gain.gain.setValueAtTime(0, start);
            gain.gain.linearRampToValueAtTime(0.25, start + 0.006);
            gain.gain.setValueAtTime(0.25, start + 0.114);
            gain.gain.linearRampToValueAtTime(0, start + 0.12);
            tone.connect(gain);
            gain.connect(audio.destination);
            tone.start(start);
            tone.stop(start + 0.12);
            ZW.audioUntil = start + 0.12;
            Module['beeps'] = (Module['beeps'] || 0) + 1;
            ZW.quietLater();
        },

        setFavicon: function(url) {
            if (!url || url === ZW.favicon) return;
            ZW.favicon = url;
            var link = document.querySelector('link[rel~="icon"]');
            if (!link) {
                link = document.createElement('link');
                link.rel = 'icon';
                document.head.appendChild(link);
            }
            link.href = url;
        },

        focusedWindow: function() {
            var active = document.activeElement;
            for (var i = 0; i < ZW.order.length; ++i) {
                if (ZW.windows[ZW.order[i]].screen === active) return ZW.windows[ZW.order[i]];
            }
            return null;
        },

        button: function(cls, label, text, onClick) {
            var b = document.createElement('button');
            b.className = cls;
            b.type = 'button';
            b.title = label;
            b.setAttribute('aria-label', label);
            b.textContent = text;
            b.tabIndex = -1;
            b.addEventListener('mousedown', function(e) {
                e.preventDefault();  // keep the focus on the game
            });
            b.addEventListener('click', onClick);
            return b;
        },

        makeWindow: function(id, title, x, y, width, height) {
            var first = ZW.order.length === 0;
            var win = {
                id: id, x: x, y: y, width: width, height: height, minimized: false,
                customIcon: false
            };
            var box = document.createElement('div');
            box.className = 'zw-window' + (first ? ' zw-main' : ' zw-over');
            box.dataset.windowId = id;
            box.style.display = 'none';  // until the program shows it

            var bar = document.createElement('div');
            bar.className = 'zw-titlebar';
            var icon = document.createElement('canvas');
            icon.className = 'zw-icon';
            icon.width = icon.height = 32;
            ZW.drawIcon(icon, ZW.programIcon);
            var text = document.createElement('span');
            text.className = 'zw-title';
            text.textContent = title;
            // Beside the title (the status line), the platform's notice
            // (Paused, Game over, where a replay stands); hidden while
            // empty.  A tap on Paused goes on.
            var notice = document.createElement('span');
            notice.className = 'zw-notice';
            notice.setAttribute('role', 'status');
            notice.addEventListener('pointerdown', function(e) {
                e.preventDefault();
                ZW.onNoticeTap(win);
            });
            bar.appendChild(icon);
            bar.appendChild(text);
            bar.appendChild(notice);

            var screen = document.createElement('canvas');
            screen.className = 'zw-screen';
            screen.width = width;
            screen.height = height;
            screen.tabIndex = 0;
            screen.setAttribute('aria-label', 'Zorvak: ' + title);
            screen.addEventListener('keydown', function(e) {
                ZW.onKey(win, ZW.KEY, e);
            });
            screen.addEventListener('keyup', function(e) {
                ZW.onKey(win, ZW.KEY_UP, e);
            });
            screen.addEventListener('pointerdown', function(e) {
                ZW.onPointerDown(win, e);
            });
            // The visitor (or the page) gave this window the keyboard.
            screen.addEventListener('focus', function() {
                ZW.push([ZW.FOCUS, id, 0, 0, 0, 0, 0]);
            });

            // The minimised window: its icon, which the program animates,
            // and a click to bring it back.
            var tray = document.createElement('button');
            tray.className = 'zw-tray';
            tray.type = 'button';
            tray.title = 'Restore';
            var trayIcon = document.createElement('canvas');
            trayIcon.width = 32;
            trayIcon.height = 32;
            tray.appendChild(trayIcon);
            tray.addEventListener('click', function() {
                ZW.push([ZW.RESTORE, id, 0, 0, 0, 0, 0]);
            });

            box.appendChild(bar);
            box.appendChild(screen);
            box.appendChild(tray);
            win.box = box;
            win.title = bar;
            win.titleButtons = [];
            win.titleText = text;
            win.notice = notice;
            win.icon = icon;
            win.screen = screen;
            win.context = screen.getContext('2d', {alpha: false});
            win.tray = tray;
            win.trayIcon = trayIcon;
            return win;
        },

        // The title bar's buttons, as the window's style has them.
        setFrame: function(win, caption, closeBox, minimizeBox) {
            win.titleButtons.forEach(function(b) {
                b.remove();
            });
            win.titleButtons = [];
            win.title.style.display = caption ? '' : 'none';
            if (minimizeBox) {
                win.titleButtons.push(ZW.button('zw-minimize', 'Minimize', '\u2013', function() {
                    ZW.push([ZW.MINIMIZE, win.id, 0, 0, 0, 0, 0]);
                }));
            }
            if (closeBox) {
                win.titleButtons.push(ZW.button('zw-close', 'Close', '\u00d7', function() {
                    ZW.push([ZW.CLOSE, win.id, 0, 0, 0, 0, 0]);
                }));
            }
            win.titleButtons.forEach(function(b) {
                win.title.appendChild(b);
            });
            ZWLayout.layoutSoon();
        },

        // Draws a picture into an icon's canvas, whole.
        drawIcon: function(icon, picture) {
            var context = icon.getContext('2d');
            context.clearRect(0, 0, icon.width, icon.height);
            if (picture) context.drawImage(picture, 0, 0, icon.width, icon.height);
        },

        // The minimised window's icon (32 x 32 RGBA at rgba), as on a
        // taskbar: in its box and its title bar, and for the main window as
        // the favicon.
        showMinimizedIcon: function(win, rgba) {
            var pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, 32 * 32 * 4);
            win.trayIcon.getContext('2d').putImageData(new ImageData(pixels, 32, 32), 0, 0);
            ZW.drawIcon(win.icon, win.trayIcon);
            win.customIcon = true;
            if (win === ZW.main()) ZW.setFavicon(win.trayIcon.toDataURL());
        },

        showDefaultIcon: function(win) {
            if (!win.customIcon) return;
            win.customIcon = false;
            ZW.drawIcon(win.icon, ZW.programIcon);
            if (win === ZW.main()) ZW.setFavicon(ZW.pageFavicon);
        },
    },

    zweb_page_now__deps: ['$ZW'],
    zweb_page_now: function() {
        // The page's monotonic clock, counted from the Unix epoch.
        return Math.floor(performance.timeOrigin + performance.now());
    },

    zweb_page_viewport__deps: ['$ZW'],
    zweb_page_viewport: function(width, height) {
        HEAP32[width >> 2] = window.innerWidth;
        HEAP32[height >> 2] = window.innerHeight;
    },

    zweb_page_set_icon__deps: ['$ZW'],
    zweb_page_set_icon: function(rgba, width, height) {
        var canvas = document.createElement('canvas');
        canvas.width = width;
        canvas.height = height;
        var pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
        canvas.getContext('2d').putImageData(new ImageData(pixels, width, height), 0, 0);
        ZW.programIcon = canvas;
        // The page's favicon stays until a window is minimised; a page
        // without one shows the program's icon (made into a picture file
        // only then: it costs a few milliseconds).
        var link = document.querySelector('link[rel~="icon"]');
        ZW.pageFavicon = link && link.href.indexOf('data:') !== 0 ? link.href : canvas.toDataURL();
        ZW.setFavicon(ZW.pageFavicon);
    },

    zweb_page_create_window__deps: ['$ZW'],
    zweb_page_create_window: function(id, title, x, y, width, height) {
        ZW.start();
        var win = ZW.makeWindow(id, UTF8ToString(title), x, y, width, height);
        ZW.windows[id] = win;
        ZW.order.push(id);
        ZW.desktop().appendChild(win.box);
        if (win === ZW.main()) document.title = UTF8ToString(title);
        return 1;
    },

    zweb_page_destroy_window__deps: ['$ZW'],
    zweb_page_destroy_window: function(id) {
        var win = ZW.windows[id];
        if (!win) return;
        if (ZW.pressed && ZW.pressed.win === win) ZW.pressed = null;
        win.box.remove();
        delete ZW.windows[id];
        ZW.order.splice(ZW.order.indexOf(id), 1);
        ZWLayout.layoutSoon();
    },

    zweb_page_show_window__deps: ['$ZW'],
    zweb_page_show_window: function(id, shown) {
        var win = ZW.windows[id];
        if (!win) return;
        var wasShown = win.box.style.display !== 'none';
        win.box.style.display = shown ? '' : 'none';
        ZWLayout.layoutSoon();
        if (!shown || wasShown) return;
        // A window that appears takes the focus from the program's others;
        // the first one takes it from the page.
        if (win === ZW.main() || ZW.focusedWindow()) win.screen.focus({preventScroll: true});
    },

    zweb_page_set_title__deps: ['$ZW'],
    zweb_page_set_title: function(id, title, notice) {
        var win = ZW.windows[id];
        if (!win) return;
        var text = UTF8ToString(title);
        var said = UTF8ToString(notice);
        win.titleText.textContent = text;
        win.notice.textContent = said;
        if (win === ZW.main()) document.title = said ? text + ' \u2013 ' + said : text;
    },

    zweb_page_set_frame__deps: ['$ZW'],
    zweb_page_set_frame: function(id, caption, closeBox, minimizeBox) {
        var win = ZW.windows[id];
        if (win) ZW.setFrame(win, caption, closeBox, minimizeBox);
    },

    zweb_page_focus_window__deps: ['$ZW'],
    zweb_page_focus_window: function(id) {
        // Only within the program: the keyboard is never taken from the
        // rest of the page.
        var win = ZW.windows[id];
        if (win && !win.minimized && ZW.focusedWindow()) win.screen.focus({preventScroll: true});
    },

    zweb_page_minimize_window__deps: ['$ZW'],
    zweb_page_minimize_window: function(id) {
        var win = ZW.windows[id];
        if (!win || win.minimized) return;
        win.minimized = true;
        win.box.classList.add('zw-minimized');
        ZWLayout.layoutSoon();
    },

    zweb_page_restore_window__deps: ['$ZW'],
    zweb_page_restore_window: function(id) {
        var win = ZW.windows[id];
        if (!win || !win.minimized) return;
        win.minimized = false;
        win.box.classList.remove('zw-minimized');
        ZWLayout.layoutSoon();
        if (!document.hidden) win.screen.focus({preventScroll: true});
    },

    zweb_page_hidden__deps: ['$ZW'],
    zweb_page_hidden: function() {
        return document.hidden ? 1 : 0;
    },

    zweb_page_present__deps: ['$ZW'],
    zweb_page_present: function(id, rgba, boxes, count, width, height) {
        var win = ZW.windows[id];
        if (!win) return;
        if (win.width !== width || win.height !== height) {
            win.width = win.screen.width = width;
            win.height = win.screen.height = height;
            ZWLayout.layoutSoon();
        }
        var at = rgba;
        for (var i = 0; i < count; ++i) {
            var box = (boxes >> 2) + 4 * i;
            var boxWidth = HEAP32[box + 2];
            var boxHeight = HEAP32[box + 3];
            var pixels = new Uint8ClampedArray(HEAPU8.buffer, at, boxWidth * boxHeight * 4);
            win.context.putImageData(new ImageData(pixels, boxWidth, boxHeight), HEAP32[box],
                                     HEAP32[box + 1]);
            at += boxWidth * boxHeight * 4;
            Module['presentedPixels'] = (Module['presentedPixels'] || 0) + boxWidth * boxHeight;
        }
        if (!Module['firstPaintMs']) {
            Module['firstPaintMs'] = performance.now();
            document.documentElement.classList.add('zw-running');
            window.dispatchEvent(new Event('zorvak-running'));
        }
        Module['presents'] = (Module['presents'] || 0) + 1;
    },

    zweb_page_show_icon__deps: ['$ZW'],
    zweb_page_show_icon: function(id, rgba) {
        var win = ZW.windows[id];
        if (!win) return;
        if (rgba) {
            ZW.showMinimizedIcon(win, rgba);
        } else {
            ZW.showDefaultIcon(win);
        }
        Module['icons'] = (Module['icons'] || 0) + 1;
    },

    zweb_page_wait__deps: ['$ZW'],
    zweb_page_wait: function(timeoutMs) {
        Asyncify.handleSleep(function(wakeUp) {
            if (ZW.input.length) {
                wakeUp();
                return;
            }
            var done = function() {
                if (ZW.wake !== done) return;
                ZW.wake = null;
                clearTimeout(ZW.timer);
                callUserCallback(wakeUp);
            };
            ZW.wake = done;
            Module['sleeps'] = (Module['sleeps'] || 0) + 1;
            if (timeoutMs >= 0) ZW.timer = setTimeout(done, timeoutMs);
        });
    },

    zweb_page_next_input__deps: ['$ZW'],
    zweb_page_next_input: function(fields) {
        var record = ZW.input.shift();
        if (!record) return 0;
        for (var i = 0; i < 7; ++i) HEAP32[(fields >> 2) + i] = record[i];
        return 1;
    },

    zweb_page_message_box__deps: ['$ZW'],
    zweb_page_message_box: function(text, caption) {
        window.alert(UTF8ToString(caption) + '\n\n' + UTF8ToString(text));
    },

    zweb_page_beep__deps: ['$ZW'],
    zweb_page_beep: function() {
        var audio = ZW.audio;
        if (!audio || audio.state === 'closed') return;
        if (audio.state === 'running') {
            ZW.tone();
        } else if (!ZW.resuming) {
            ZW.resuming = true;
            audio.resume().then(function() {
                ZW.resuming = false;
                ZW.tone();
            }, function() {
                ZW.resuming = false;
            });
        }
    },

    zweb_page_ended__deps: ['$ZW'],
    zweb_page_ended: function(exitCode) {
        // The program has ended, as Quit ends it on a desktop.  A page in a
        // browser's tab cannot close the tab (nor should it): it says so and
        // offers to start again.  The installed page's own window closes.
        Module['exitCode'] = exitCode;
        document.documentElement.classList.add('zw-ended');
        document.title = 'Zorvak';
        ZW.setFavicon(ZW.pageFavicon);
        if (window.matchMedia && window.matchMedia('(display-mode: standalone)').matches) {
            window.close();
        }
    },
};

mergeInto(LibraryManager.library, LibraryZorvakPage);
