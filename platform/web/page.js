// The page's half of the web backend (linked with --js-library): window
// boxes with a title bar and a canvas, drawing, input, the page's clock and
// the sleep between messages, the beep and the end of the program.
//
// Every top-level window of the program is a box inside #zorvak-desktop: the
// first (the main window) in the page's flow, later ones (About) over it,
// placed as the program placed them on its desktop.  All boxes show their
// pixels at one whole-number scale of device pixels, with sharp edges.

var LibraryZorvakPage = {
    $ZW__deps: ['$callUserCallback'],
    $ZW: {
        windows: {},  // id -> window record
        order: [],  // ids in creation order
        input: [],  // waiting input: [type, id, vk, alt, repeat, x, y]
        wake: null,  // ends the current sleep, while there is one
        timer: 0,
        scale: 1,  // device pixels per image pixel
        iconUrl: '',  // ICON_1 as a data URL
        favicon: '',  // what the favicon shows now
        audio: null,
        audioUntil: 0,
        autoMinimized: false,
        started: false,
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
        pressed: null,  // the window the left button went down on, while held

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
            window.addEventListener('resize', ZW.layout);
            document.addEventListener('visibilitychange', ZW.visibilityChanged);
            // Sound may start only after the visitor's first gesture.
            document.addEventListener('pointerdown', ZW.unlockAudio, true);
            document.addEventListener('keydown', ZW.unlockAudio, true);
            // The button's release and drags belong to the window it went
            // down on, wherever the pointer is by then.
            document.addEventListener('mousemove', ZW.onMouseMove);
            document.addEventListener('mouseup', ZW.onMouseUp);
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
            var vk = ZW.virtualKey(e.key, e.code);
            if (!vk) return;
            // The game's keys are the game's (Alt and F10 too: no browser
            // menu), but the browser keeps its Ctrl and Cmd shortcuts.
            if (!e.ctrlKey && !e.metaKey) e.preventDefault();
            ZW.push([type, win.id, vk, e.altKey ? 1 : 0, e.repeat ? 1 : 0, 0, 0]);
        },

        // The left button's event (CLICK, DRAG or RELEASE) at image pixels,
        // clamped to the window's image.
        pointer: function(win, type, e) {
            var r = win.screen.getBoundingClientRect();
            if (r.width <= 0 || r.height <= 0) return;
            var x = Math.floor((e.clientX - r.left) * win.width / r.width);
            var y = Math.floor((e.clientY - r.top) * win.height / r.height);
            x = Math.max(0, Math.min(win.width - 1, x));
            y = Math.max(0, Math.min(win.height - 1, y));
            ZW.push([type, win.id, 0, 0, 0, x, y]);
        },

        onMouseDown: function(win, e) {
            if (e.button !== 0) return;
            e.preventDefault();
            win.screen.focus({preventScroll: true});
            ZW.pressed = win;
            ZW.pointer(win, ZW.CLICK, e);
        },

        onMouseMove: function(e) {
            var win = ZW.pressed;
            if (win && (e.buttons & 1) && ZW.windows[win.id]) ZW.pointer(win, ZW.DRAG, e);
        },

        onMouseUp: function(e) {
            var win = ZW.pressed;
            if (e.button !== 0 || !win) return;
            ZW.pressed = null;
            if (ZW.windows[win.id]) ZW.pointer(win, ZW.RELEASE, e);
        },

        // A hidden page is a minimised program, as when its window goes to
        // the taskbar; it comes back when the page is shown again.
        visibilityChanged: function() {
            var main = ZW.main();
            if (!main) return;
            if (document.hidden) {
                if (!main.minimized) {
                    ZW.autoMinimized = true;
                    ZW.push([ZW.MINIMIZE, main.id, 0, 0, 0, 0, 0]);
                }
            } else if (ZW.autoMinimized) {
                ZW.autoMinimized = false;
                if (main.minimized) ZW.push([ZW.RESTORE, main.id, 0, 0, 0, 0, 0]);
            }
        },

        unlockAudio: function() {
            if (ZW.audio) {
                if (ZW.audio.state === 'suspended') ZW.audio.resume();
                return;
            }
            var Context = window.AudioContext || window.webkitAudioContext;
            if (!Context) return;
            try {
                ZW.audio = new Context();
            } catch (e) {
                ZW.audio = null;
            }
        },

        // The whole-number scale at which the main window fits the viewport
        // below the boxes' top edge, in device pixels, by the backend's rule.
        fitScale: function() {
            var main = ZW.main();
            if (!main) return 1;
            var ratio = window.devicePixelRatio || 1;
            var desktop = ZW.desktop();
            var top = desktop.getBoundingClientRect().top + window.scrollY;
            var roomWidth = (desktop.clientWidth || window.innerWidth) * ratio;
            var roomHeight = (window.innerHeight - top - main.title.offsetHeight - 12) * ratio;
            return _zweb_fit_scale(Math.floor(roomWidth), Math.floor(roomHeight), main.width,
                                   main.height);
        },

        layout: function() {
            var main = ZW.main();
            if (!main) return;
            ZW.scale = ZW.fitScale();
            var ratio = window.devicePixelRatio || 1;
            ZW.order.forEach(function(id) {
                var win = ZW.windows[id];
                win.screen.style.width = (win.width * ZW.scale / ratio) + 'px';
                win.screen.style.height = (win.height * ZW.scale / ratio) + 'px';
            });
            // Later windows keep the offset between their centre and the
            // main window's that the program gave them on its desktop.
            var mainX = main.box.offsetLeft + main.box.offsetWidth / 2;
            var mainY = main.box.offsetTop + main.box.offsetHeight / 2;
            ZW.order.slice(1).forEach(function(id) {
                var win = ZW.windows[id];
                var dx = (win.x + win.width / 2) - (main.x + main.width / 2);
                var dy = (win.y + win.height / 2) - (main.y + main.height / 2);
                var left = mainX + dx * ZW.scale / ratio - win.box.offsetWidth / 2;
                var top = mainY + dy * ZW.scale / ratio - win.box.offsetHeight / 2;
                win.box.style.left = Math.max(0, Math.round(left)) + 'px';
                win.box.style.top = Math.max(0, Math.round(top)) + 'px';
            });
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
            var icon = document.createElement('img');
            icon.className = 'zw-icon';
            icon.alt = '';
            if (ZW.iconUrl) icon.src = ZW.iconUrl;
            var text = document.createElement('span');
            text.className = 'zw-title';
            text.textContent = title;
            bar.appendChild(icon);
            bar.appendChild(text);

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
            screen.addEventListener('mousedown', function(e) {
                ZW.onMouseDown(win, e);
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
            ZW.layout();
        },

        // The 32 x 32 pixels at the client origin, as on a taskbar.
        showMinimizedIcon: function(win, clientX, clientY) {
            var tray = win.trayIcon.getContext('2d');
            tray.drawImage(win.screen, clientX, clientY, 32, 32, 0, 0, 32, 32);
            var url = win.trayIcon.toDataURL();
            win.icon.src = url;
            win.customIcon = true;
            if (win === ZW.main()) ZW.setFavicon(url);
        },

        showDefaultIcon: function(win) {
            if (!win.customIcon) return;
            win.customIcon = false;
            win.icon.src = ZW.iconUrl;
            if (win === ZW.main()) ZW.setFavicon(ZW.iconUrl);
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
        ZW.iconUrl = canvas.toDataURL();
        ZW.setFavicon(ZW.iconUrl);
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
        if (ZW.pressed === win) ZW.pressed = null;
        win.box.remove();
        delete ZW.windows[id];
        ZW.order.splice(ZW.order.indexOf(id), 1);
        ZW.layout();
    },

    zweb_page_show_window__deps: ['$ZW'],
    zweb_page_show_window: function(id, shown) {
        var win = ZW.windows[id];
        if (!win) return;
        var wasShown = win.box.style.display !== 'none';
        win.box.style.display = shown ? '' : 'none';
        ZW.layout();
        if (!shown || wasShown) return;
        // A window that appears takes the focus from the program's others;
        // the first one takes it from the page.
        if (win === ZW.main() || ZW.focusedWindow()) win.screen.focus({preventScroll: true});
    },

    zweb_page_set_title__deps: ['$ZW'],
    zweb_page_set_title: function(id, title) {
        var win = ZW.windows[id];
        if (!win) return;
        var text = UTF8ToString(title);
        win.titleText.textContent = text;
        if (win === ZW.main()) document.title = text;
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
        ZW.layout();
    },

    zweb_page_restore_window__deps: ['$ZW'],
    zweb_page_restore_window: function(id) {
        var win = ZW.windows[id];
        if (!win || !win.minimized) return;
        win.minimized = false;
        win.box.classList.remove('zw-minimized');
        ZW.layout();
        if (!document.hidden) win.screen.focus({preventScroll: true});
    },

    zweb_page_present__deps: ['$ZW'],
    zweb_page_present: function(id, rgba, width, height, boxX, boxY, boxWidth, boxHeight,
                                clientX, clientY, minimized) {
        var win = ZW.windows[id];
        if (!win) return;
        if (win.width !== width || win.height !== height) {
            win.width = win.screen.width = width;
            win.height = win.screen.height = height;
            ZW.layout();
        }
        if (boxWidth > 0 && boxHeight > 0) {
            var pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, boxWidth * boxHeight * 4);
            win.context.putImageData(new ImageData(pixels, boxWidth, boxHeight), boxX, boxY);
            if (!Module['firstPaintMs']) {
                Module['firstPaintMs'] = performance.now();
                document.documentElement.classList.add('zw-running');
            }
        }
        if (minimized) {
            ZW.showMinimizedIcon(win, clientX, clientY);
        } else {
            ZW.showDefaultIcon(win);
        }
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
        // 880 Hz for 120 ms with soft edges; beeps that come faster than
        // they can be heard are dropped rather than queued into a drone.
        var audio = ZW.audio;
        if (!audio || audio.state !== 'running') return;
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
    },

    zweb_page_ended__deps: ['$ZW'],
    zweb_page_ended: function(exitCode) {
        Module['exitCode'] = exitCode;
        document.documentElement.classList.add('zw-ended');
        document.title = 'Zorvak';
        ZW.setFavicon(ZW.iconUrl);
    },
};

mergeInto(LibraryManager.library, LibraryZorvakPage);
