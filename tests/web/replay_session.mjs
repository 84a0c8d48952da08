// The kept games on the page: a game played with keys is kept in the
// browser's storage and listed in the best-games table, and its replay,
// taken from the storage, verifies on the desktop program; a golden replay
// opened through a shared link is watched at speed 16 to its end, where the
// status line is the one it recorded; a file that is not a replay, dropped on
// the page, is refused with the reader's message; a damaged table is set
// aside, never deleted; the seek bar and the buttons steer a replay; the
// page's settings (full screen wanted) are kept, and a corrupt one survived.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

import { check, say } from './check.mjs';
import { altLetter, centreOf, loadGame, openPage, press, sleep } from './page_driver.mjs';

const GOLDEN = new URL('../shell/golden/game-1.zvr', import.meta.url);
const rows = `document.querySelectorAll('#zorvak-games tbody tr[data-replay]').length`;
const title = `document.querySelector('.zw-main .zw-title').textContent`;
const notice = `document.querySelector('.zw-main .zw-notice').textContent`;
const message = `document.getElementById('zorvak-message').textContent`;

export function replaySession(url, { out, verifier }) {
    return async (browser) => {
        const s = { problems: [], out, verifier, url };
        s.page = await openPage(browser, s.problems);
        const steps = [keptGame, verifiedNatively, downloaded, watchedFromTable, sharedLink,
            droppedFile, damagedTable, playerAway, storageRefused, gameOver, settings];
        for (const step of steps) {
            if ((await step(s)) === false) break;
        }
        const expected = (p) => p.includes('kept games: the table was damaged') ||
            p.includes('the stored settings do not read') || p.includes('The game was not kept');
        const others = s.problems.filter((p) => !expected(p));
        check(others.length === 0, 'replays: no script errors, warnings or dialogs' +
            (others.length ? `:\n  ${others.join('\n  ')}` : ''));
    };
}

// Two seconds of a game steered with keys, then Alt+N: the game that ends
// is kept and listed.
async function keptGame(s) {
    const { page } = s;
    if (!check(await loadGame(page, s.url) !== null, 'replays: the page paints the game')) return false;
    check(await page.evaluate(rows) === 0, 'a fresh browser keeps no games: the table is empty');
    await altLetter(page, 'n');
    await sleep(500);
    await press(page, 'ArrowLeft', 'ArrowLeft', 37);
    await press(page, ' ', 'Space', 32, 0, ' ');
    await sleep(1000);
    await press(page, 'ArrowRight', 'ArrowRight', 39);
    await press(page, ' ', 'Space', 32, 0, ' ');
    await sleep(500);
    s.status = await page.evaluate(title);
    await altLetter(page, 'n');
    const kept = await page.waitFor(`${rows} === 1`, 3000);
    check(kept !== null, `the game cut short by New game is kept and listed (${s.status})`);
    s.row = await page.evaluate(`[...document.querySelectorAll('#zorvak-games tbody tr td')]
        .map((td) => td.textContent)`);
    check(s.row[0] === '1' && s.row[3] && /^\d{4}-\d\d-\d\d \d\d:\d\d$/.test(s.row[4]) &&
        s.row[5] === 'WatchDownloadShare',
        `its row: rank, score, level, time, date and Watch, Download, Share (${s.row.join(' | ')})`);
    await screenshotWide(s, 'web-table.png');
    return kept !== null;
}

// The page on a screen wide enough for the table beside the game.
async function screenshotWide(s, file) {
    await s.page.send('Emulation.setDeviceMetricsOverride',
        { width: 1700, height: 860, deviceScaleFactor: 1, mobile: false });
    await sleep(300);
    const { data } = await s.page.send('Page.captureScreenshot', { format: 'png' });
    fs.writeFileSync(path.join(s.out, file), Buffer.from(data, 'base64'));
    await s.page.send('Emulation.clearDeviceMetricsOverride');
}

// The kept replay, read from the page's storage, plays back on the desktop
// program to the same end.
async function verifiedNatively(s) {
    const [stored, status] = await s.page.evaluate(`(() => {
        const table = localStorage.getItem('zorvak.games').split('\\n')[1].split('\\t');
        return [localStorage.getItem('zorvak.replay.' + table[5]), table[6]];
    })()`);
    s.status = status;
    const file = path.join(s.out, 'page-recorded.zvr');
    fs.writeFileSync(file, Buffer.from(stored, 'base64'));
    s.recorded = file;
    if (s.verifier === 'none') {
        say('SKIP: no desktop program in this build to verify the page\'s replay');
        return;
    }
    const run = spawnSync(s.verifier, ['--verify', file], { encoding: 'utf8', timeout: 60000 });
    check(run.status === 0 && run.stdout.includes('as recorded'),
        `the page's replay verifies on the desktop: exit ${run.status}, ${run.stdout.trim()}` +
        `${run.stderr.trim()}`);
}

// Download saves the stored replay as a file, byte for byte.
async function downloaded(s) {
    const folder = fs.mkdtempSync(path.join(s.out, 'download-'));
    await s.page.send('Page.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
    await s.page.evaluate(`[...document.querySelectorAll('#zorvak-games button')]
        .find((b) => b.textContent === 'Download').click()`);
    const file = path.join(folder, 'zorvak-game-1.zvr');
    for (let i = 0; i < 50 && !fs.existsSync(file); ++i) await sleep(100);
    check(fs.existsSync(file) && fs.readFileSync(file).equals(fs.readFileSync(s.recorded)),
        'Download saves the kept game\'s replay as zorvak-game-1.zvr, the bytes it keeps');
}

// Watch on the kept game's row ends the game that runs (which is kept in
// its turn) and plays the kept one to the status line it ended on.
async function watchedFromTable(s) {
    const { page } = s;
    await page.evaluate(`[...document.querySelectorAll('#zorvak-games button')]
        .find((b) => b.textContent === 'Watch').click()`);
    const watching = await page.waitFor('ZWWatch.watching', 3000);
    const ended = await page.waitFor(`document.getElementById('zorvak-watch').dataset.ended === '1'`,
        10000);
    check(watching !== null && ended !== null && await page.evaluate(title) === s.status,
        `Watch plays the kept game in the canvas to its end (${await page.evaluate(title)})`);
    check(await page.waitFor(`${rows} === 2`, 3000) !== null,
        'the game that Watch cut short is kept too');
    await page.evaluate(`document.querySelector('[data-watch=leave]').click()`);
    await page.waitFor('!ZWWatch.watching', 3000);
}

// The golden replay in a link's fragment plays at once; four Faster clicks
// make it 16 times as fast; at its end the title is the status line it
// recorded and the bar says ended.
async function sharedLink(s) {
    const { page } = s;
    const golden = fs.readFileSync(GOLDEN);
    const status = golden.toString('latin1').match(/Lives: \d\d - Level \d\d - Score: -?\d+/)?.[0];
    const link = `${s.url}#replay=${golden.toString('base64url')}`;
    await page.send('Page.navigate', { url: 'about:blank' });
    await page.send('Page.navigate', { url: link });
    const watching = await page.waitFor(`window.ZWWatch && ZWWatch.watching`, 10000);
    if (!check(watching !== null, `a shared link (${link.length} characters) plays its replay at once`)) {
        return;
    }
    await seekBar(page);
    await screenshotWide(s, 'web-watch.png');
    for (let i = 0; i < 4; ++i) {
        await page.evaluate(`document.querySelector('[data-watch=faster]').click()`);
    }
    const started = Date.now();
    const ended = await page.waitFor(`document.getElementById('zorvak-watch').dataset.ended === '1'`,
        90000, 200);
    const where = await page.evaluate(`document.querySelector('.zw-where').textContent`);
    check(ended !== null && where.endsWith('x16, ended'),
        `watched at x16 to its end in ${((Date.now() - started) / 1000).toFixed(1)} s: "${where}"`);
    check(await page.evaluate(title) === status && (await page.evaluate(notice)).endsWith(', ended'),
        `the title is the status line it recorded (${await page.evaluate(title)}), the notice ` +
        `"${await page.evaluate(notice)}"`);
    await page.evaluate(`document.querySelector('[data-watch=leave]').click()`);
    check(await page.waitFor('!ZWWatch.watching && document.getElementById("zorvak-watch").hidden',
        3000) !== null, 'Leave ends the replay and the game plays live again');
}

const where = `document.querySelector('.zw-where').textContent`;
const click = (name) => `document.querySelector('[data-watch=${name}]').click()`;

// Paused from its button, the replay goes to where the seek bar is let go
// (a minute in, then back to 0:30, which runs the game anew), a tick
// ahead, 10 seconds ahead, and on again.
async function seekBar(page) {
    await page.evaluate(click('pause'));
    const paused = await page.waitFor(`${where}.endsWith(', paused')`, 3000);
    const seekTo = async (tick) => {
        await page.evaluate(`(() => {
            const seek = document.querySelector('#zorvak-watch input[type=range]');
            seek.value = ${tick};
            seek.dispatchEvent(new Event('change'));
        })()`);
        return page.waitFor(`_zweb_watch_tick() === ${tick}`, 20000);
    };
    const ahead = await seekTo(1200);
    const back = await seekTo(600);
    await page.evaluate(click('ahead1'));
    const tick = await page.waitFor(`_zweb_watch_tick() === 601`, 5000);
    await page.evaluate(click('ahead10'));
    const ten = await page.waitFor(`_zweb_watch_tick() === 801`, 5000);
    const shown = await page.waitFor(`${where} === '0:40 / 4:57, paused'`, 2000);
    check(paused !== null && ahead !== null && back !== null && tick !== null && ten !== null &&
        shown !== null, `the bar pauses, seeks ahead and back, steps a tick and 10 s ` +
        `("${await page.evaluate(where)}")`);
    await page.evaluate(click('pause'));
}

// A file that is not a replay, dropped on the page: the reader's message.
async function droppedFile({ page }) {
    await page.evaluate(`(() => {
        const data = new DataTransfer();
        data.items.add(new File(['not a replay at all'], 'junk.zvr'));
        document.dispatchEvent(new DragEvent('drop', { dataTransfer: data, cancelable: true }));
    })()`);
    const said = await page.waitFor(`${message}.startsWith('That replay cannot be watched: byte ')`,
        3000);
    check(said !== null, `a dropped file that is not a replay is refused: "${await page.evaluate(message)}"`);
}

// A damaged table is kept under another key and a new one begun; the
// replays kept before stay, and the new table's first game takes a name of
// its own.
async function damagedTable({ page }) {
    const first = `localStorage.getItem('zorvak.replay.game-1.zvr')`;
    const earlier = await page.evaluate(first);
    await page.evaluate(`localStorage.setItem('zorvak.games', 'zorvak-games\\t1\\t2\\ngarbage\\n')`);
    await altLetter(page, 'n');
    await sleep(300);
    await altLetter(page, 'n');
    const aside = await page.waitFor(`Object.keys(localStorage).find((k) =>
        k.startsWith('zorvak.games.damaged-'))`, 3000);
    check(aside !== null && await page.evaluate(`localStorage.getItem('${aside}')`) ===
        'zorvak-games\t1\t2\ngarbage\n' && await page.evaluate(rows) === 1,
        `a damaged table is kept as ${aside} and a new one begun`);
    check(earlier !== null && await page.evaluate(first) === earlier &&
        await page.evaluate(`document.querySelector('#zorvak-games tr[data-replay]').dataset.replay`) ===
        'game-1-2.zvr', 'the replays kept before stay; the new game 1 is kept as game-1-2.zvr');
}

// The player goes away from a game that runs: the keyboard taken to the
// rest of the page, or the browser's window losing the focus, pauses it; P
// goes on, and so does a tap on the notice.
async function playerAway({ page }) {
    const paused = `${notice} === 'Paused: P to go on'`;
    const focusGame = `document.querySelector('.zw-main .zw-screen').focus()`;
    await page.evaluate('document.activeElement.blur()');
    const byPage = await page.waitFor(paused, 2000);
    await page.evaluate(focusGame);
    await press(page, 'p', 'KeyP', 80, 0, 'p');
    const goesOn = await page.waitFor(`${notice} === ''`, 2000);
    await page.evaluate(`window.dispatchEvent(new Event('blur'))`);
    const byWindow = await page.waitFor(paused, 2000);
    const at = await centreOf(page, '.zw-main .zw-notice');
    const button = { button: 'left', clickCount: 1, ...at };
    await page.send('Input.dispatchMouseEvent', { type: 'mousePressed', ...button });
    await page.send('Input.dispatchMouseEvent', { type: 'mouseReleased', ...button });
    check(byPage !== null && goesOn !== null && byWindow !== null &&
        await page.waitFor(`${notice} === ''`, 2000) !== null,
        'a game pauses when the keyboard goes to the rest of the page or the window loses ' +
        'the focus; P goes on, and so does a tap on the notice');
}

// Storage that refuses (full, or a private window): a word on the page and
// a console line, nothing half kept, and the game plays on.
async function storageRefused(s) {
    const { page } = s;
    const before = await page.evaluate('JSON.stringify(localStorage)');
    await page.evaluate(`window.setItem = Storage.prototype.setItem;
        Storage.prototype.setItem = function() {
            throw new DOMException('the quota is exceeded', 'QuotaExceededError');
        }`);
    await altLetter(page, 'n');
    const said = await page.waitFor(`${message}.startsWith('The game was not kept')`, 3000);
    await sleep(500);
    const ticks = await page.evaluate('_zweb_ticks()');
    await sleep(300);
    await page.evaluate('Storage.prototype.setItem = window.setItem');
    check(said !== null && s.problems.some((p) => p.includes('The game was not kept')) &&
        await page.evaluate('JSON.stringify(localStorage)') === before &&
        await page.evaluate('_zweb_ticks()') > ticks,
        `storage that refuses: "${await page.evaluate(message)}", a console line, the storage as ` +
        'it was, and the game plays on');
}

// The ship, left alone, loses its lives (in about 45 s, as a rule): as soon
// as the status line shows none left the page says the game is over and how
// to play again (the game-over picture may come minutes later), until the
// next New game, which keeps the game.  The game is seeded by the clock, and
// now and then the ship left alone keeps a life for the two minutes given:
// then there is no game over to see, and the run says so.
async function gameOver({ page }) {
    const kept = await page.evaluate(rows);
    const wanted = 'Game over: New game (Alt+N) to play again';
    const over = await page.waitFor(
        `${notice} === '${wanted}' || ${title}.startsWith('Lives: 00')`, 120000, 250);
    const status = await page.evaluate(title);
    if (over === null && !status.startsWith('Lives: 00')) {
        say(`skip: the ship left alone kept a life for 120 s (${status}): no game over to see`);
    } else {
        await page.waitFor(`${notice} === '${wanted}'`, 2000);
        check(status.startsWith('Lives: 00') && await page.evaluate(notice) === wanted &&
            (await page.evaluate('document.title')).endsWith(wanted),
            `no lives left: "Game over" beside the status line and in the page's title (${status})`);
    }
    await altLetter(page, 'n');
    check(await page.waitFor(`${notice} === ''`, 2000) !== null &&
        await page.waitFor(`${rows} === ${kept + 1}`, 3000) !== null,
        'New game ends the notice, and the game that ended is kept');
}

// A corrupt stored setting gives the defaults (and a console line); full
// screen chosen is kept, and after a reload the first key goes full screen
// (a browser allows it only at a gesture).
async function settings(s) {
    const { page } = s;
    await page.evaluate(`localStorage.setItem('zorvak.settings', '{"fullScreen": tru')`);
    const loaded = await loadGame(page, s.url);
    check(loaded !== null && s.problems.some((p) => p.includes('the stored settings do not read')),
        'a corrupt stored setting: the page plays with the defaults and says so in the console');
    await altLetter(page, 'n');
    const button = await centreOf(page, '#zorvak-fullscreen');
    const at = { button: 'left', clickCount: 1, ...button };
    await page.send('Input.dispatchMouseEvent', { type: 'mousePressed', ...at });
    await page.send('Input.dispatchMouseEvent', { type: 'mouseReleased', ...at });
    const stored = await page.waitFor(
        `localStorage.getItem('zorvak.settings') === '{"fullScreen":true}'`, 3000);
    await sleep(400);
    check(stored !== null && await page.evaluate(notice) === '',
        'full screen chosen is written to the storage (and the game that runs is not paused by ' +
        'the click)');
    await loadGame(page, s.url);
    const before = await page.evaluate('!!document.fullscreenElement');
    await press(page, 'ArrowLeft', 'ArrowLeft', 37);
    const entered = await page.waitFor('!!document.fullscreenElement', 3000);
    check(!before && entered !== null,
        'read back after a reload: the first key takes the game to full screen');
}
