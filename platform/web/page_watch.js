// The best games beside the game, and watching them (linked with
// --js-library, beside page.js): the table of kept games with Watch,
// Download and Share for each; a shared link (the replay in the URL's
// fragment, #replay=BASE64URL) or a replay file dropped on the page plays at
// once; while a replay is watched, buttons and a seek bar steer it for the
// pointer and fingers, as the keys do (watch.h has the keys).

var LibraryZorvakWatch = {
    $ZWWatch__deps: ['$ZW', '$ZWStore'],
    $ZWWatch: {
        started: false,
        offered: null,  // the replay the program is asked to watch, bytes
        fragmentRead: false,
        watching: false,
        poll: 0,
        dragging: false,
        MAX_FILE: 16 << 20,  // zplat::replay::kMaxFileSize
        VK: {SPACE: 0x20, UP: 0x26, DOWN: 0x28},

        start: function() {
            if (ZWWatch.started) return;
            ZWWatch.started = true;
            ZWWatch.showTable();
            window.addEventListener('hashchange', function() {
                if (ZWWatch.fromFragment()) ZWWatch.ask();
            });
            document.addEventListener('dragover', function(e) {
                e.preventDefault();
            });
            document.addEventListener('drop', ZWWatch.onDrop);
            var bar = document.getElementById('zorvak-watch');
            if (bar) ZWWatch.makeBar(bar);
        },

        // The replay in the page's fragment becomes the one offered: true if
        // there is one.
        fromFragment: function() {
            var match = /^#replay=(.*)$/.exec(location.hash);
            if (!match) return false;
            var bytes = ZWStore.fromBase64(match[1]);
            if (!bytes) {
                ZWStore.say('The link\'s replay cannot be watched: it is not base64url.');
                return false;
            }
            ZWWatch.offered = bytes;
            return true;
        },

        // Asks the program to watch the replay offered now.
        ask: function() {
            ZW.push([ZW.WATCH, 0, 0, 0, 0, 0, 0]);
        },

        offer: function(bytes) {
            ZWWatch.offered = bytes;
            ZWStore.say('');
            ZWWatch.ask();
        },

        onDrop: function(e) {
            var file = e.dataTransfer && e.dataTransfer.files[0];
            if (!file) return;
            e.preventDefault();
            if (file.size > ZWWatch.MAX_FILE) {
                ZWStore.say(file.name + ' cannot be watched: it is larger than 16 MiB.');
                return;
            }
            file.arrayBuffer().then(function(buffer) {
                ZWWatch.offer(new Uint8Array(buffer));
            }, function(error) {
                ZWStore.say(file.name + ' cannot be read: ' + error.message);
            });
        },

        clock: function(ticks) {
            var seconds = Math.floor(ticks / 20);
            return Math.floor(seconds / 60) + ':' + String(seconds % 60).padStart(2, '0');
        },

        date: function(unix) {
            var d = new Date(unix * 1000);
            var two = function(n) {
                return String(n).padStart(2, '0');
            };
            return d.getFullYear() + '-' + two(d.getMonth() + 1) + '-' + two(d.getDate()) + ' ' +
                   two(d.getHours()) + ':' + two(d.getMinutes());
        },

        link: function(bytes) {
            var text = ZWStore.toBase64(bytes).replace(/\+/g, '-').replace(/\//g, '_')
                .replace(/=+$/, '');
            return location.href.replace(/#.*$/, '') + '#replay=' + text;
        },

        download: function(row, bytes) {
            var url = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
            var a = document.createElement('a');
            a.href = url;
            a.download = 'zorvak-' + row.replay;
            document.body.appendChild(a);
            a.click();
            a.remove();
            setTimeout(function() {
                URL.revokeObjectURL(url);
            }, 1000);
        },

        share: function(bytes) {
            var url = ZWWatch.link(bytes);
            var field = document.getElementById('zorvak-share');
            if (field) {
                field.hidden = false;
                field.value = url;
                field.select();
            }
            var said = 'A link to this replay (' + url.length + ' characters)';
            var copy = navigator.clipboard && navigator.clipboard.writeText(url);
            if (!copy) {
                ZWStore.say(said + ' is below: copy it.');
                return;
            }
            copy.then(function() {
                ZWStore.say(said + ' is copied.');
            }, function() {
                ZWStore.say(said + ' is below: copy it.');
            });
        },

        // One of a row's buttons: what it does with the row's replay.
        rowButton: function(text, row, act) {
            var b = document.createElement('button');
            b.type = 'button';
            b.textContent = text;
            b.addEventListener('click', function() {
                var bytes = ZWStore.replay(row.replay);
                if (!bytes) {
                    ZWStore.say('The replay of game ' + row.number + ' is gone from the storage.');
                    return;
                }
                act(row, bytes);
            });
            return b;
        },

        showTable: function() {
            var body = document.querySelector('#zorvak-games tbody');
            if (!body) return;
            var rows = ZWStore.rows();
            body.textContent = '';
            rows.forEach(function(row, i) {
                var tr = document.createElement('tr');
                tr.dataset.replay = row.replay;
                [i + 1, row.score, row.level, ZWWatch.clock(row.ticks), ZWWatch.date(row.date)]
                    .forEach(function(value) {
                        var td = document.createElement('td');
                        td.textContent = value;
                        tr.appendChild(td);
                    });
                // The row's buttons on a line of their own below it.
                var below = document.createElement('tr');
                below.className = 'zw-actions';
                var actions = document.createElement('td');
                actions.colSpan = 5;
                actions.appendChild(ZWWatch.rowButton('Watch', row, function(r, bytes) {
                    ZWWatch.offer(bytes);
                }));
                actions.appendChild(ZWWatch.rowButton('Download', row, ZWWatch.download));
                actions.appendChild(ZWWatch.rowButton('Share', row, function(r, bytes) {
                    ZWWatch.share(bytes);
                }));
                below.appendChild(actions);
                body.appendChild(tr);
                body.appendChild(below);
            });
            var none = document.getElementById('zorvak-no-games');
            if (none) none.hidden = rows.length > 0;
        },

        key: function(vk) {
            ZW.push([ZW.KEY, 0, vk, 0, 0, 0, 0]);
            ZW.push([ZW.KEY_UP, 0, vk, 0, 0, 0, 0]);
        },

        // Where the replay stands, from the program.
        position: function() {
            var state = _zweb_watch_state();
            return {
                tick: _zweb_watch_tick(), length: _zweb_watch_length(), held: (state & 1) !== 0,
                ended: (state & 2) !== 0, speed: state >> 2
            };
        },

        seekBy: function(ticks) {
            var at = ZWWatch.position();
            var tick = Math.max(0, Math.min(at.length, at.tick + ticks));
            ZW.push([ZW.SEEK, 0, 0, 0, 0, tick, 0]);
        },

        makeBar: function(bar) {
            var actions = {
                back10: function() {
                    ZWWatch.seekBy(-200);
                },
                back1: function() {
                    ZWWatch.seekBy(-1);
                },
                pause: function() {
                    ZWWatch.key(ZWWatch.VK.SPACE);
                },
                ahead1: function() {
                    ZWWatch.seekBy(1);
                },
                ahead10: function() {
                    ZWWatch.seekBy(200);
                },
                slower: function() {
                    ZWWatch.key(ZWWatch.VK.DOWN);
                },
                faster: function() {
                    ZWWatch.key(ZWWatch.VK.UP);
                },
                leave: function() {
                    ZW.push([ZW.LEAVE, 0, 0, 0, 0, 0, 0]);
                },
            };
            bar.querySelectorAll('[data-watch]').forEach(function(b) {
                b.addEventListener('mousedown', function(e) {
                    e.preventDefault();  // the keys stay with the game
                });
                b.addEventListener('click', actions[b.dataset.watch]);
            });
            var seek = bar.querySelector('input[type=range]');
            seek.addEventListener('input', function() {
                ZWWatch.dragging = true;
            });
            seek.addEventListener('change', function() {
                ZWWatch.dragging = false;
                ZW.push([ZW.SEEK, 0, 0, 0, 0, +seek.value, 0]);
            });
        },

        // Shows where the replay stands on the bar.
        update: function() {
            var bar = document.getElementById('zorvak-watch');
            if (!bar || !ZWWatch.watching) return;
            var at = ZWWatch.position();
            var seek = bar.querySelector('input[type=range]');
            seek.max = at.length;
            if (!ZWWatch.dragging) seek.value = at.tick;
            var text = ZWWatch.clock(at.tick) + ' / ' + ZWWatch.clock(at.length) +
                       (at.speed > 1 ? ' x' + at.speed : '') +
                       (at.ended ? ', ended' : at.held ? ', paused' : '');
            var where = bar.querySelector('.zw-where');
            if (where.textContent !== text) where.textContent = text;
            bar.dataset.ended = at.ended ? '1' : '0';
        },

        setWatching: function(watching) {
            ZWWatch.watching = watching;
            document.documentElement.classList.toggle('zw-watching', watching);
            var bar = document.getElementById('zorvak-watch');
            if (bar) bar.hidden = !watching;
            clearInterval(ZWWatch.poll);
            if (watching) {
                ZWWatch.poll = setInterval(ZWWatch.update, 250);
                ZWStore.say('');
            }
            ZWLayout.layoutSoon();
        },
    },

    zweb_page_replay_length__deps: ['$ZWWatch'],
    zweb_page_replay_length: function() {
        if (!ZWWatch.fragmentRead) {
            ZWWatch.fragmentRead = true;
            ZWWatch.fromFragment();
        }
        return ZWWatch.offered ? ZWWatch.offered.length : -1;
    },

    zweb_page_replay_take__deps: ['$ZWWatch'],
    zweb_page_replay_take: function(out, size) {
        HEAPU8.set(ZWWatch.offered.subarray(0, size), out);
        ZWWatch.offered = null;
    },

    zweb_page_replay_refused__deps: ['$ZWStore'],
    zweb_page_replay_refused: function(why) {
        ZWStore.say('That replay cannot be watched: ' + UTF8ToString(why));
    },

    zweb_page_watching__deps: ['$ZWWatch'],
    zweb_page_watching: function(watching) {
        ZWWatch.setWatching(watching !== 0);
    },
};

mergeInto(LibraryManager.library, LibraryZorvakWatch);
