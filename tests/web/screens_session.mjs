// The page on desktop screens, from a laptop's to a 4K monitor's, and full
// screen: the page's button, F11 and Alt+Enter, which the game never hears.
// Last, a window that opens as the page is hidden is drawn when it is shown
// again.
import path from 'node:path';

import { check, differences } from './check.mjs';
import { readPpm } from './images.mjs';
import {
    canvasImage, centreOf, clickImage, loadGame, openPage, press, recordInput, rectOf, setHidden,
    sleep,
} from './page_driver.mjs';

const MAIN = '.zw-main .zw-screen';

// The scale a desktop browser's page gets, worked out by hand from the
// page's style: the header takes 74 CSS px, the box around the canvas 6 px
// across and 28 down.  Scale: the smaller of (width - 6) / 511 and
// (height - 74 - 28) / 349, rounded down; in full screen there is no header.
const DESKTOP_SCREENS = [
    // [what, width, height, scale]
    ['a 1366 x 768 laptop\'s browser window (657 px high inside)', 1366, 657, 1],
    ['a 4K monitor\'s browser window (3840 x 2054 inside)', 3840, 2054, 5],
];

async function setViewport(page, width, height) {
    await page.send('Emulation.setDeviceMetricsOverride',
        { width, height, deviceScaleFactor: 0, mobile: false });
    return page.waitFor(`innerWidth === ${width} && innerHeight === ${height}`, 2000);
}

export async function screensSession(browser, url, { reference }) {
    const problems = [];
    const page = await openPage(browser, problems);
    await setViewport(page, 1366, 657);
    if (!check(await loadGame(page, url) !== null, 'the page paints the game')) return;
    for (const [what, width, height, scale] of DESKTOP_SCREENS) {
        await setViewport(page, width, height);
        const shown = await page.waitFor(`ZW.scale === ${scale}`, 2000);
        const css = await rectOf(page, MAIN);
        check(shown !== null && css.width === 511 * scale,
            `${what}: ${scale}x (${css.width} CSS px across)`);
    }
    await fullScreen(page);
    await openedWhileHidden(page, readPpm(path.join(reference, 'about.ppm')));
    check(problems.length === 0, 'no script errors, warnings or dialogs' +
        (problems.length ? `:\n  ${problems.join('\n  ')}` : ''));
}

const inFullScreen = `document.fullscreenElement === document.getElementById('zorvak-app')`;

// The laptop's window at 1x; in full screen the page fills its 1366 x 768
// screen (the viewport given that size here: headless Chromium's full screen
// keeps its window), where 2x fits.
async function fullScreen(page) {
    await setViewport(page, 1366, 657);
    await page.waitFor('ZW.scale === 1', 2000);
    const button = await centreOf(page, '#zorvak-fullscreen');
    const click = { button: 'left', clickCount: 1, ...button };
    await page.send('Input.dispatchMouseEvent', { type: 'mousePressed', ...click });
    await page.send('Input.dispatchMouseEvent', { type: 'mouseReleased', ...click });
    const entered = await page.waitFor(inFullScreen, 2000);
    await setViewport(page, 1366, 768);
    const scaled = await page.waitFor('ZW.scale === 2', 2000);
    const css = await rectOf(page, MAIN);
    const title = await rectOf(page, '.zw-main .zw-titlebar');
    check(entered !== null && scaled !== null && css.width === 1022 && title.y >= 0 &&
        css.y + css.height <= 768,
        `the Full screen button: the laptop's 1366 x 768 screen shows the game at 2x, ` +
        `its status line above it (canvas ${css.width} x ${css.height} at ${css.x}, ${css.y})`);

    await page.evaluate(`document.querySelector('${MAIN}').focus()`);
    await recordInput(page);
    await press(page, 'F11', 'F11', 122);
    check(await page.waitFor(`!document.fullscreenElement`, 2000) !== null,
        'F11 leaves full screen');
    const alt = { key: 'Alt', code: 'AltLeft', windowsVirtualKeyCode: 18 };
    await page.send('Input.dispatchKeyEvent', { type: 'rawKeyDown', ...alt, modifiers: 1 });
    await press(page, 'Enter', 'Enter', 13, 1, '\r');
    await page.send('Input.dispatchKeyEvent', { type: 'keyUp', ...alt, modifiers: 0 });
    check(await page.waitFor(inFullScreen, 2000) !== null, 'Alt+Enter goes to full screen');
    await sleep(100);
    const sent = await page.evaluate('JSON.stringify(sent.filter((r) => r[0] === 1 || r[0] === 6))');
    check(sent === '[[1,1,18,1,0]]', 'the game hears neither F11 nor Enter, nor the Alt ' +
        `released after Alt+Enter (which would light its menu bar): only Alt's press (${sent})`);
    await press(page, 'F11', 'F11', 122);
    await page.waitFor(`!document.fullscreenElement`, 2000);
}

// About opened just as the page is hidden (before the page hears of it):
// nothing is drawn while it is hidden, and all of it when it is shown.
async function openedWhileHidden(page, about) {
    await setViewport(page, 1366, 657);
    await page.waitFor('ZW.scale === 1', 2000);
    const before = await page.evaluate('Module.presents');
    await setHidden(page, true, false);
    await clickImage(page, await rectOf(page, MAIN), 511, 120, 8);
    const opened = await page.waitFor(`document.querySelectorAll('.zw-window').length === 2`, 3000);
    await sleep(200);
    const drawn = await page.evaluate('Module.presents') - before;
    await setHidden(page, false);
    await sleep(200);
    const shown = await canvasImage(page, '.zw-over .zw-screen');
    const diff = shown.width === about.width ? differences(shown, about)
        : { count: -1, text: `${shown.width} x ${shown.height}` };
    check(opened !== null && drawn === 0 && diff.count === 0,
        `About opened as the page is hidden: nothing drawn while hidden (${drawn} presents), ` +
        `its picture once the page is shown (${diff.text})`);
}
