#!/usr/bin/env node
// The web page played in headless Chromium, as visitors would: on a desktop
// with a keyboard and a mouse (desktop_session.mjs), on desktop screens of
// several sizes and in full screen (screens_session.mjs), on phones and
// tablets of several sizes and pixel ratios, by touch (phone_session.mjs),
// installed and offline (offline_session.mjs), and keeping, watching and
// sharing games (replay_session.mjs).
//
//   node browser_test.mjs --page DIR --reference DIR --out DIR [--chromium PATH]
//                         [--verifier ZORVAK]
//
// --reference holds main.ppm, about.ppm and ground.ppm (web_reference);
// --out receives the screenshots.  Exit code 0 when every check passed.
import fs from 'node:fs';
import { parseArgs } from 'node:util';

import { serve } from '../../tools/web/serve.mjs';
import { atOnce, check, say, tally } from './check.mjs';
import { Browser } from './chromium.mjs';
import { desktopSession } from './desktop_session.mjs';
import { offlineSession } from './offline_session.mjs';
import { replaySession } from './replay_session.mjs';
import { TOUCH_RATIOS, touchSession } from './phone_session.mjs';
import { screensSession } from './screens_session.mjs';

const { values: options } = parseArgs({
    options: {
        page: { type: 'string' },
        reference: { type: 'string' },
        out: { type: 'string' },
        chromium: { type: 'string', default: '/usr/bin/chromium' },
        // The desktop program, to verify a replay made on the page ("none":
        // left out).
        verifier: { type: 'string', default: 'none' },
    },
});
for (const name of ['page', 'reference', 'out']) {
    if (!options[name]) {
        console.error('usage: browser_test.mjs --page DIR --reference DIR --out DIR [--chromium PATH]');
        process.exit(2);
    }
}
fs.mkdirSync(options.out, { recursive: true });

// Runs session(browser) in a browser of its own.
async function inBrowser(launch, session) {
    const browser = await Browser.launch(options.chromium, launch);
    try {
        await session(browser);
    } catch (error) {
        check(false, `the session ran to its end: ${error.stack || error}`);
    } finally {
        await browser.close();
    }
}

const server = await serve(options.page);
const url = `http://127.0.0.1:${server.address().port}/`;
const touchScreens = (ratio) => () => {
    say(`-- Touch screens at ${ratio} device pixels per CSS pixel`);
    return inBrowser({ width: 500, height: 1000, ratio }, touchSession(ratio, url, options));
};
try {
    say('-- On a desktop');
    await inBrowser({ width: 1280, height: 1000 },
        (browser) => desktopSession(browser, url, options));
    // The sessions that time nothing on the real clock run side by side.
    const [first, ...others] = TOUCH_RATIOS;
    await touchScreens(first)();
    await atOnce([
        () => {
            say('-- Desktop screens and full screen');
            return inBrowser({ width: 1366, height: 768 }, (browser) => screensSession(browser, url, options));
        },
        ...others.map(touchScreens),
        () => {
            say('-- Kept games, watched and shared');
            return inBrowser({}, replaySession(url, options));
        },
        () => {
            say('-- Installed and offline');
            return inBrowser({}, (browser) => offlineSession(browser, options.page));
        },
    ]);
} finally {
    server.close();
}
console.log(`${tally.passed} passed, ${tally.failed} failed`);
process.exit(tally.failed === 0 ? 0 : 1);
