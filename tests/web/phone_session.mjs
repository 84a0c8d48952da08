// The page on phones and tablets, by touch: the scale chosen at several
// screen sizes and pixel ratios, upright and on their side, sharp and without
// scroll bars, the pads beside or below the playfield; touches that start a
// game, steer and fire as the keys do, several at once; no scrolling or
// zooming by touch; the pads hidden by a keyboard; About and Quit tapped on
// the menu bar.
//
// Each pixel ratio is a browser of its own, started at that ratio (as a
// phone's screen has it: the page is laid out in device pixels), its viewport
// set to each size in turn, so that every size is also a rotation or a
// resize of the page already running.
import fs from 'node:fs';
import path from 'node:path';

import { check, differences, say, upscaled } from './check.mjs';
import { decodePng } from './images.mjs';
import {
    canvasImage, centreOf, imagePoint, loadGame, openPage, press, recordInput, rectOf, shipX,
    sleep, tap, touch,
} from './page_driver.mjs';

const MAIN = '.zw-main .zw-screen';
const STATUS_LINE = 'Lives: 05 - Level 01 - Score: 00000';
const LEFT = '[data-key="ArrowLeft"]';
const RIGHT = '[data-key="ArrowRight"]';
const FIRE = '[data-key=" "]';
// What the keyboard's keys send: input types and virtual keys (Windows').
const KEY = 1;
const KEY_UP = 6;
const VK_LEFT = 0x25;
const VK_RIGHT = 0x27;
const VK_SPACE = 0x20;

// The scale each screen gets, worked out by hand from the page's style: on a
// touch screen the playfield is the viewport less the pads (182 CSS px to its
// left and 116 to its right on a screen on its side, a row below it on one
// upright); the box around the canvas takes 6 px across and 28 down (its
// frame and title bar).  Scale: the smaller of (width - 6) * ratio / 511 and
// (height - 28) * ratio / 349, rounded down.
export const TOUCH_SCREENS = [
    // [what, width, height, ratio, scale]
    ['a 390 x 844 phone at ratio 3 (1152 device px across)', 390, 844, 3, 2],
    ['the same phone on its side (1620 x 1086 device px of room)', 844, 390, 3, 3],
    ['a 412 x 915 phone at ratio 2.625', 412, 915, 2.625, 2],
    ['the same on its side (1603 x 1008)', 915, 412, 2.625, 2],
    ['a 360 x 740 phone at ratio 2 (708 across)', 360, 740, 2, 1],
    ['the same on its side (872 x 664)', 740, 360, 2, 1],
    ['a 768 x 1024 tablet at ratio 2 (1524 across)', 768, 1024, 2, 2],
    ['the same on its side (1440 x 1480)', 1024, 768, 2, 2],
];

// The pixel ratios of TOUCH_SCREENS, each the ratio of a browser of its own.
export const TOUCH_RATIOS = [...new Set(TOUCH_SCREENS.map(([, , , ratio]) => ratio))];

// The session of one ratio's browser: its screens' layouts; on the phone at
// ratio 3, playing by touch; on the smallest, About tapped on the menu bar.
export function touchSession(ratio, url, { out }) {
    return async (browser) => {
        const problems = [];
        const page = await openPage(browser, problems);
        await setScreen(page, TOUCH_SCREENS.find((s) => s[3] === ratio));
        if (!check(await loadGame(page, url) !== null, 'the page paints the game')) return;
        await sleep(300);
        // Each game pixel a sharp square: checked on the first screen of each
        // ratio and on the phone on its side at 3x (the screenshots are large
        // and slow to compare).
        for (const [i, screen] of TOUCH_SCREENS.filter((s) => s[3] === ratio).entries()) {
            await layoutOn(page, screen, i === 0 || screen[4] === 3);
        }
        if (ratio === 3) await playByTouch(page, out);
        if (ratio === 2) await aboutByTouch(page);
        check(problems.length === 0, 'no script errors, warnings or dialogs' +
            (problems.length ? `:\n  ${problems.join('\n  ')}` : ''));
    };
}

// The viewport of a touch screen of width x height CSS pixels, at the
// browser's own pixel ratio.
async function setScreen(page, [, width, height]) {
    await page.send('Emulation.setDeviceMetricsOverride',
        { width, height, deviceScaleFactor: 0, mobile: true });
    await page.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 5 });
}

const inside = (r, width, height) =>
    r && r.x >= 0 && r.y >= 0 && r.x + r.width <= width + 0.01 && r.y + r.height <= height + 0.01;

async function layoutOn(page, screen, checkSharp) {
    const [what, width, height, ratio, scale] = screen;
    await setScreen(page, screen);
    const shown = await page.waitFor(`innerWidth === ${width} && innerHeight === ${height} && ` +
        `ZW.scale === ${scale}`, 2000);
    const css = await rectOf(page, MAIN);
    check(shown !== null && Math.abs(css.width * ratio - 511 * scale) < 0.01,
        `${what}: ${scale} device px per game pixel (${await page.evaluate('ZW.scale')}, ` +
        `${(css.width * ratio).toFixed(1)} device px across)`);
    check(await page.evaluate('document.documentElement.scrollWidth <= innerWidth && ' +
        'document.documentElement.scrollHeight <= innerHeight'), `${what}: no scroll bars`);
    const title = await rectOf(page, '.zw-main .zw-titlebar');
    const [left, right] = [await rectOf(page, LEFT), await rectOf(page, FIRE)];
    check([title, css, left, right].every((r) => inside(r, width, height)),
        `${what}: the status line, the playfield and the pads all in sight`);
    const beside = left.x + left.width <= css.x && right.x >= css.x + css.width;
    const below = left.y >= css.y + css.height && right.y >= css.y + css.height;
    check(width > height ? beside : below,
        `${what}: the pads ${width > height ? 'beside' : 'below'} the playfield`);
    if (checkSharp) await sharp(page, what, scale);
}

// Each canvas pixel a sharp scale x scale square of device pixels.
async function sharp(page, what, scale) {
    for (let attempt = 0; ; ++attempt) {
        const image = await canvasImage(page, MAIN);
        const clip = { ...(await rectOf(page, MAIN)), scale: 1 };
        const { data } = await page.send('Page.captureScreenshot', { format: 'png', clip });
        const shot = decodePng(Buffer.from(data, 'base64'));
        const diff = shot.width === image.width * scale && shot.height === image.height * scale
            ? differences(shot, upscaled(image, scale))
            : { count: -1, text: `${shot.width} x ${shot.height} device px` };
        // The picture may change between the two reads: once more then.
        if (diff.count === 0 || attempt === 1) {
            check(diff.count === 0, `${what}: each game pixel a sharp square (${diff.text})`);
            return;
        }
    }
}

// The records the page sent since the last look, and no more.
async function sentSince(page) {
    return page.evaluate('sent.splice(0).filter((r) => r[0] === 1 || r[0] === 6)' +
        '.map((r) => r.join(","))');
}

const keyRecords = (...records) => records.map(([type, vk]) => `${type},0,${vk},0,0`);
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);

// Touches, on the 390 x 844 phone upright.
async function playByTouch(page, out) {
    say('-- Playing by touch');
    await setScreen(page, TOUCH_SCREENS[0]);
    await page.waitFor('ZW.scale === 2', 2000);
    await recordInput(page);
    const rect = await rectOf(page, MAIN);
    const steps = [startByTouch, steerByTouch, twoFingers, holdAndSlide, gestures, keyboardHides,
        screenshots, quitByTouch];
    for (const step of steps) {
        if ((await step(page, rect, out)) === false) return;
    }
}

// New game, tapped a little below the menu bar (where a thumb lands): the
// ship alone in its row, in the middle, for a while (the escorts it calls in
// fly in the same row later).
async function newGame(page) {
    await tap(page, imagePoint(await rectOf(page, MAIN), 511, 30, 19 + 8));
    await sleep(300);
    await sentSince(page);
}

// A tap on the menu bar's New game, a little below the bar, starts a game; a
// tap lower than a bar's height below it does not choose anything.
async function startByTouch(page, rect) {
    await tap(page, imagePoint(rect, 511, 120, 19 * 2 + 2));
    await sleep(300);
    check(await page.evaluate('document.querySelectorAll(".zw-window").length') === 1,
        'a tap more than the menu bar\'s height below About Zorvak chooses nothing');
    await newGame(page);
    const started = await page.waitFor(`document.title === '${STATUS_LINE}'`, 3000);
    return check(started !== null, 'a tap just below the menu bar\'s New game starts a game: ' +
        `"${await page.evaluate('document.title')}"`);
}

async function steerByTouch(page) {
    const start = shipX(await canvasImage(page, MAIN));
    const left = await centreOf(page, LEFT);
    await touch(page, 'touchStart', [{ id: 1, ...left }]);
    await sleep(150);
    await touch(page, 'touchMove', [{ id: 1, x: left.x + 3, y: left.y - 2 }]);
    await sleep(450);
    const moved = shipX(await canvasImage(page, MAIN));
    await touch(page, 'touchEnd', []);
    check(moved < start - 10, `the Left pad steers left (x ${start.toFixed(0)}, then ` +
        `${moved.toFixed(0)})`);
    const sent = await sentSince(page);
    check(same(sent, keyRecords([KEY, VK_LEFT], [KEY_UP, VK_LEFT])),
        `held for 600 ms, the Left pad sends one press of Left and its release, no repeats ` +
        `(${sent.join(' ')})`);
}

// New pixels in the 32 rows above the ship, near it: its shot.
function shotAbove(before, after, x) {
    let count = 0;
    for (let y = after.height - 112; y < after.height - 80; ++y) {
        for (let dx = -24; dx <= 24; ++dx) {
            const i = (y * after.width + Math.round(x) + dx) * 3;
            if (after.rgb.compare(before.rgb, i, i + 3, i, i + 3) !== 0) ++count;
        }
    }
    return count;
}

// Right held with one thumb while the other fires; Left lifted while Right
// is held leaves Right held.
async function twoFingers(page) {
    const [left, right, fire] = [await centreOf(page, LEFT), await centreOf(page, RIGHT),
        await centreOf(page, FIRE)];
    await newGame(page);
    const before = await canvasImage(page, MAIN);
    const start = shipX(before);
    await touch(page, 'touchStart', [{ id: 1, ...right }]);
    await touch(page, 'touchStart', [{ id: 1, ...right }, { id: 2, ...fire }]);
    await sleep(100);
    const firing = await canvasImage(page, MAIN);
    await touch(page, 'touchEnd', [{ id: 2, ...fire }]);
    await sleep(400);
    const moved = shipX(await canvasImage(page, MAIN));
    await touch(page, 'touchEnd', []);
    check(moved > start + 10 && shotAbove(before, firing, start) > 0,
        `Right and Fire at once: the ship turns right (x ${start.toFixed(0)}, then ` +
        `${moved.toFixed(0)}) and fires (${shotAbove(before, firing, start)} new pixels above it)`);
    const sent = await sentSince(page);
    check(same(sent, keyRecords([KEY, VK_RIGHT], [KEY, VK_SPACE], [KEY_UP, VK_SPACE],
        [KEY_UP, VK_RIGHT])), `each finger its own key (${sent.join(' ')})`);

    await newGame(page);
    await touch(page, 'touchStart', [{ id: 3, ...left }]);
    await touch(page, 'touchStart', [{ id: 3, ...left }, { id: 4, ...right }]);
    await touch(page, 'touchEnd', [{ id: 3, ...left }]);
    const atRelease = shipX(await canvasImage(page, MAIN));
    await sleep(400);
    const after = shipX(await canvasImage(page, MAIN));
    await touch(page, 'touchEnd', []);
    const released = await sentSince(page);
    check(after > atRelease + 10 && same(released, keyRecords([KEY, VK_LEFT], [KEY, VK_RIGHT],
        [KEY_UP, VK_LEFT], [KEY_UP, VK_RIGHT])),
        `Left lifted while Right is held: Right stays held and the ship keeps going right ` +
        `(x ${atRelease.toFixed(0)}, then ${after.toFixed(0)}; ${released.join(' ')})`);
}

// Fire held sends one press; a thumb sliding from Left onto Right lets go
// of Left and presses Right.
async function holdAndSlide(page) {
    const [left, right, fire] = [await centreOf(page, LEFT), await centreOf(page, RIGHT),
        await centreOf(page, FIRE)];
    await touch(page, 'touchStart', [{ id: 5, ...fire }]);
    for (let i = 0; i < 5; ++i) {
        await sleep(200);
        await touch(page, 'touchMove', [{ id: 5, x: fire.x + (i % 2), y: fire.y }]);
    }
    await touch(page, 'touchEnd', []);
    let sent = await sentSince(page);
    check(same(sent, keyRecords([KEY, VK_SPACE], [KEY_UP, VK_SPACE])),
        `Fire held for a second: one press, no repeats (${sent.join(' ')})`);
    await touch(page, 'touchStart', [{ id: 10, ...fire }]);
    await touch(page, 'touchStart', [{ id: 10, ...fire }, { id: 11, x: fire.x + 9, y: fire.y }]);
    await touch(page, 'touchEnd', [{ id: 10, ...fire }]);
    const oneLifted = await sentSince(page);
    await touch(page, 'touchEnd', []);
    sent = [...oneLifted, '|', ...(await sentSince(page))];
    check(same(sent, [...keyRecords([KEY, VK_SPACE]), '|', ...keyRecords([KEY_UP, VK_SPACE])]),
        `two thumbs on Fire: one press, released when the last lifts (${sent.join(' ')})`);
    await touch(page, 'touchStart', [{ id: 6, ...left }]);
    for (let i = 1; i <= 4; ++i) {
        await touch(page, 'touchMove', [{ id: 6, x: left.x + (right.x - left.x) * i / 4, y: left.y }]);
    }
    await touch(page, 'touchEnd', []);
    sent = await sentSince(page);
    check(same(sent, keyRecords([KEY, VK_LEFT], [KEY_UP, VK_LEFT], [KEY, VK_RIGHT],
        [KEY_UP, VK_RIGHT])), `a thumb sliding from Left onto Right (${sent.join(' ')})`);
}

// No scrolling, zooming, selecting or long-press menu while playing.
async function gestures(page) {
    const centre = await centreOf(page, MAIN);
    const view = `JSON.stringify([scrollX, scrollY, visualViewport.scale])`;
    let y = centre.y + 150;
    await touch(page, 'touchStart', [{ id: 7, x: centre.x, y }]);
    for (let i = 0; i < 12; ++i) {
        y -= 25;
        await touch(page, 'touchMove', [{ id: 7, x: centre.x, y }]);
    }
    await touch(page, 'touchEnd', []);
    const spread = (i) => [{ id: 8, x: centre.x - 40 - i * 10, y: centre.y },
        { id: 9, x: centre.x + 40 + i * 10, y: centre.y }];
    await touch(page, 'touchStart', spread(0));
    for (let i = 1; i <= 10; ++i) await touch(page, 'touchMove', spread(i));
    await touch(page, 'touchEnd', []);
    await sleep(300);
    check(await page.evaluate(view) === '[0,0,1]',
        `a finger dragged over the game and two spread apart neither scroll nor zoom the page ` +
        `(${await page.evaluate(view)})`);
    await page.send('Input.dispatchMouseEvent', { type: 'mousePressed', button: 'left',
        clickCount: 1, x: 1, y: 1 });
    await page.send('Input.dispatchMouseEvent', { type: 'mouseMoved', button: 'left', buttons: 1,
        x: 389, y: 843 });
    await page.send('Input.dispatchMouseEvent', { type: 'mouseReleased', button: 'left',
        clickCount: 1, x: 389, y: 843 });
    check(await page.evaluate('getSelection().toString()') === '', 'no text can be selected');
    check(await page.evaluate(`!document.querySelector('${MAIN}').dispatchEvent(` +
        `new MouseEvent('contextmenu', { bubbles: true, cancelable: true }))`),
        'a long press opens no menu');
    await sentSince(page);
}

// A key of a keyboard hides the pads, the next touch shows them again.
async function keyboardHides(page) {
    const padShown = `document.querySelector('${FIRE}').getClientRects().length > 0`;
    await page.evaluate(`document.querySelector('${MAIN}').focus()`);
    await sentSince(page);
    await press(page, 'ArrowRight', 'ArrowRight', VK_RIGHT);
    check(await page.evaluate(`!(${padShown})`), 'a key pressed on a keyboard hides the pads');
    check(same(await sentSince(page), [`${KEY},1,${VK_RIGHT},0,0`, `${KEY_UP},1,${VK_RIGHT},0,0`]),
        'and the key goes to the game as a pad would send it, from its window');
    await tap(page, { x: 195, y: 700 });
    check(await page.waitFor(padShown, 2000) !== null,
        'a touch shows the pads again');
}

async function screenshots(page, rect, out) {
    const shoot = async (file) => {
        const { data } = await page.send('Page.captureScreenshot', { format: 'png' });
        fs.writeFileSync(path.join(out, file), Buffer.from(data, 'base64'));
    };
    await shoot('web-phone-portrait.png');
    await setScreen(page, TOUCH_SCREENS[1]);
    await page.waitFor('ZW.scale === 3', 2000);
    await sleep(200);
    await shoot('web-phone-landscape.png');
    await setScreen(page, TOUCH_SCREENS[0]);
    await page.waitFor('ZW.scale === 2', 2000);
}

// About Zorvak tapped on the menu bar of the smallest phone, where the bar is
// 9.5 CSS pixels high.
async function aboutByTouch(page) {
    await setScreen(page, TOUCH_SCREENS.find((s) => s[1] === 360));
    await page.waitFor('ZW.scale === 1', 2000);
    await tap(page, imagePoint(await rectOf(page, MAIN), 511, 120, 9));
    check(await page.waitFor('document.querySelectorAll(".zw-window").length === 2', 3000) !== null,
        'a 360 x 740 phone: a tap on the menu bar\'s About Zorvak opens About');
}

// Quit Zorvak tapped on the menu bar ends the game; the page says so where
// the game was.
async function quitByTouch(page) {
    await tap(page, imagePoint(await rectOf(page, MAIN), 511, 210, 9));
    const ended = await page.waitFor(`document.documentElement.classList.contains('zw-ended')`, 3000);
    const note = await rectOf(page, '#zorvak-ended');
    check(ended !== null && await page.evaluate('Module.exitCode') === 0 &&
        inside(note, 390, 844) && note.height > 0,
        'a tap on Quit Zorvak ends the game; the page says so, in sight, and offers to play again');
}
