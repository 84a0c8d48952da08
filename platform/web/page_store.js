// The kept games in the browser's storage (linked with --js-library, beside
// page.js): the table's text (zplat::replay::TableText, the program decides
// what it holds) under zorvak.games and each replay file, base64, under
// zorvak.replay.NAME.  Storage that is full or refused (a private window,
// the quota, storage turned off) costs one console line and a word on the
// page; the game plays on.  Beside them, the page's settings.

var LibraryZorvakStore = {
    $ZWStore__deps: ['$ZW'],
    $ZWStore: {
        TABLE: 'zorvak.games',
        REPLAY: 'zorvak.replay.',
        SETTINGS: 'zorvak.settings',

        storage: function() {
            try {
                return window.localStorage || null;
            } catch (e) {
                return null;  // refused outright (storage turned off)
            }
        },

        get: function(key) {
            var storage = ZWStore.storage();
            try {
                return storage ? storage.getItem(key) : null;
            } catch (e) {
                return null;
            }
        },

        // A word on the page (#zorvak-message) and, for a fault, one line in
        // the console.
        say: function(text, fault) {
            if (fault) console.warn('Zorvak: ' + text);
            var line = document.getElementById('zorvak-message');
            if (!line) return;
            line.textContent = text;
            line.hidden = !text;
        },

        toBase64: function(bytes) {
            var text = '';
            for (var i = 0; i < bytes.length; i += 0x8000) {
                text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
            }
            return btoa(text);
        },

        // Bytes from base64 (or base64url); null when it is neither.
        fromBase64: function(text) {
            try {
                var binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
                var bytes = new Uint8Array(binary.length);
                for (var i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
                return bytes;
            } catch (e) {
                return null;
            }
        },

        replay: function(name) {
            var text = ZWStore.get(ZWStore.REPLAY + name);
            return text === null ? null : ZWStore.fromBase64(text);
        },

        // The rows of the stored table, best first: the fields of each line
        // after the heading (the program has checked the table it wrote; a
        // line that is not a row is left out here).
        rows: function() {
            var text = ZWStore.get(ZWStore.TABLE) || '';
            var rows = [];
            text.split('\n').slice(1).forEach(function(line) {
                var f = line.split('\t');
                if (f.length !== 7) return;
                rows.push({
                    number: +f[0], score: +f[1], level: +f[2], ticks: +f[3], date: +f[4],
                    replay: f[5], status: f[6]
                });
            });
            return rows;
        },

        // Writes the replay, then the table; deletes the replays that fell
        // out.  On a refusal nothing half kept stays.
        keep: function(table, name, bytes, dropped, notice) {
            var storage = ZWStore.storage();
            var key = ZWStore.REPLAY + name;
            try {
                if (!storage) throw new Error('the browser offers no storage here');
                storage.setItem(key, ZWStore.toBase64(bytes));
                storage.setItem(ZWStore.TABLE, table);
            } catch (e) {
                try {
                    if (storage) storage.removeItem(key);
                } catch (ignored) {
                }
                ZWStore.say('The game was not kept: the browser\'s storage refused it (' +
                            e.message + ').', true);
                return;
            }
            dropped.split('\n').forEach(function(gone) {
                if (gone) storage.removeItem(ZWStore.REPLAY + gone);
            });
            if (notice) ZWStore.say(notice, true);
            Module['kept'] = (Module['kept'] || 0) + 1;
            ZWWatch.showTable();
        },

        // The page's settings (zorvak.settings, JSON): whether the player
        // wants the game in full screen.  A stored value that does not read
        // gives the defaults and a console line.
        settings: function() {
            var defaults = {fullScreen: false};
            var text = ZWStore.get(ZWStore.SETTINGS);
            if (text === null) return defaults;
            try {
                var stored = JSON.parse(text);
                if (stored && typeof stored === 'object' && typeof stored.fullScreen === 'boolean') {
                    return {fullScreen: stored.fullScreen};
                }
            } catch (e) {
            }
            console.warn('Zorvak: the stored settings do not read (' + text.slice(0, 40) +
                         '); the defaults are used');
            return defaults;
        },

        saveSettings: function(settings) {
            var storage = ZWStore.storage();
            try {
                if (storage) storage.setItem(ZWStore.SETTINGS, JSON.stringify(settings));
            } catch (e) {
                ZWStore.say('The settings were not kept: the browser\'s storage refused them (' +
                            e.message + ').', true);
            }
        },

        // Keeps a damaged table under another key, never deleting it: its
        // name.
        setAside: function(key, fault) {
            var storage = ZWStore.storage();
            var stamp = new Date().toISOString().replace(/[-:]/g, '').replace(/\..*/, '');
            var aside = key + '.damaged-' + stamp;
            for (var k = 2; ZWStore.get(aside) !== null; ++k) aside = key + '.damaged-' + stamp + '-' + k;
            try {
                storage.setItem(aside, storage.getItem(key));
                storage.removeItem(key);
            } catch (e) {
                console.warn('Zorvak: the damaged table could not be set aside: ' + e.message);
            }
            return aside;
        },
    },

    zweb_page_stored_length__deps: ['$ZWStore'],
    zweb_page_stored_length: function(key) {
        var text = ZWStore.get(UTF8ToString(key));
        return text === null ? -1 : lengthBytesUTF8(text);
    },

    zweb_page_stored_read__deps: ['$ZWStore'],
    zweb_page_stored_read: function(key, out, size) {
        var text = ZWStore.get(UTF8ToString(key)) || '';
        var bytes = new TextEncoder().encode(text);
        HEAPU8.set(bytes.subarray(0, size), out);
    },

    zweb_page_set_aside__deps: ['$ZWStore'],
    zweb_page_set_aside: function(key, fault, out, size) {
        stringToUTF8(ZWStore.setAside(UTF8ToString(key), UTF8ToString(fault)), out, size);
    },

    zweb_page_keep_game__deps: ['$ZWStore', '$ZWWatch'],
    zweb_page_keep_game: function(table, name, file, size, dropped, notice) {
        ZWStore.keep(UTF8ToString(table), UTF8ToString(name), HEAPU8.slice(file, file + size),
                     UTF8ToString(dropped), UTF8ToString(notice));
    },

    zweb_page_not_kept__deps: ['$ZWStore'],
    zweb_page_not_kept: function(why) {
        ZWStore.say('The game was not kept: ' + UTF8ToString(why), true);
    },
};

mergeInto(LibraryManager.library, LibraryZorvakStore);
