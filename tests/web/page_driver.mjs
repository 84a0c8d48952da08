// Driving the page as a visitor does, over the DevTools protocol: keys,
// clicks, what a canvas shows, a hidden tab.  Shared by the browser test and
// the page's benchmark.

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Opens a page session (with `fresh`, in a new tab) that records script
// errors, console warnings and dialogs into `problems`.
export async function openPage(browser, problems = [], { fresh = false } = {}) {
    const page = await browser.attachToPage({ fresh });
    browser.on((message) => {
        if (message.sessionId !== page.sessionId) return;
        const params = message.params;
        if (message.method === 'Runtime.exceptionThrown') {
            problems.push(`exception: ${params.exceptionDetails.exception?.description ||
                params.exceptionDetails.text}`);
        } else if (message.method === 'Runtime.consoleAPICalled' &&
            (params.type === 'error' || params.type === 'warning')) {
            problems.push(`console: ${params.args.map((a) => a.value ?? a.description).join(' ')}`);
        } else if (message.method === 'Page.javascriptDialogOpening') {
            problems.push(`dialog: ${params.message}`);
            page.send('Page.handleJavaScriptDialog', { accept: true }).catch(() => {});
        }
    });
    await page.send('Page.enable');
    await page.send('Runtime.enable');
    return page;
}

// Loads url and waits for the game's first paint; its time in ms after the
// navigation started, or null.
export async function loadGame(page, url, timeoutMs = 30000) {
    await page.send('Page.navigate', { url });
    return page.waitFor('window.Module && Module.firstPaintMs', timeoutMs);
}

// What a canvas holds, as { width, height, rgb }.
export async function canvasImage(page, selector) {
    const { width, height, data } = await page.evaluate(`(() => {
        const canvas = document.querySelector(${JSON.stringify(selector)});
        if (!canvas) return { width: 0, height: 0, data: '' };
        const rgba = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        let text = '';
        for (let i = 0; i < rgba.length; i += 4) {
            text += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);
        }
        return { width: canvas.width, height: canvas.height, data: btoa(text) };
    })()`);
    return { width, height, rgb: Buffer.from(data, 'base64') };
}

export const rectOf = (page, selector) =>
    page.evaluate(`(() => {
        const e = document.querySelector(${JSON.stringify(selector)});
        if (!e) return null;
        const r = e.getBoundingClientRect();
        return { x: r.x, y: r.y, width: r.width, height: r.height };
    })()`);

// A key press as the keyboard makes it; text: the character it types.
export async function press(page, key, code, vk, modifiers = 0, text = '') {
    const event = { key, code, windowsVirtualKeyCode: vk, modifiers };
    await page.send('Input.dispatchKeyEvent', text ? { type: 'keyDown', text, ...event }
        : { type: 'rawKeyDown', ...event });
    await page.send('Input.dispatchKeyEvent', { type: 'keyUp', ...event });
}

export async function altLetter(page, letter) {
    const alt = { key: 'Alt', code: 'AltLeft', windowsVirtualKeyCode: 18, modifiers: 1 };
    await page.send('Input.dispatchKeyEvent', { type: 'rawKeyDown', ...alt });
    await press(page, letter, `Key${letter.toUpperCase()}`, letter.toUpperCase().charCodeAt(0), 1);
    await page.send('Input.dispatchKeyEvent', { type: 'keyUp', ...alt, modifiers: 0 });
}

// The CSS point at the middle of image pixel (x, y) of the canvas at rect.
export function imagePoint(rect, imageWidth, x, y) {
    const scale = rect.width / imageWidth;
    return { x: rect.x + (x + 0.5) * scale, y: rect.y + (y + 0.5) * scale };
}

// A left click on image pixel (x, y) of the canvas at rect.
export async function clickImage(page, rect, imageWidth, x, y) {
    const at = imagePoint(rect, imageWidth, x, y);
    const button = { button: 'left', clickCount: 1, ...at };
    await page.send('Input.dispatchMouseEvent', { type: 'mouseMoved', ...at });
    await page.send('Input.dispatchMouseEvent', { type: 'mousePressed', ...button });
    await page.send('Input.dispatchMouseEvent', { type: 'mouseReleased', ...button });
}

// Pretends the visitor switched tabs (or came back); with announce false,
// without telling the page (which sees it only when it looks).
export const setHidden = (page, hidden, announce = true) =>
    page.evaluate(`(() => {
        Object.defineProperty(document, 'hidden', { configurable: true, get: () => ${hidden} });
        Object.defineProperty(document, 'visibilityState',
            { configurable: true, get: () => '${hidden ? 'hidden' : 'visible'}' });
        if (${announce}) document.dispatchEvent(new Event('visibilitychange'));
    })()`);

// The page's memory: the WebAssembly memory and the JavaScript heap in use
// after a garbage collection, in bytes.
export async function pageMemory(page) {
    await page.send('HeapProfiler.collectGarbage');
    const { usedSize } = await page.send('Runtime.getHeapUsage');
    const wasm = await page.evaluate('HEAP8.buffer.byteLength');
    return { wasm, jsHeap: usedSize };
}

// Fingers on the screen ([{ id, x, y }], CSS pixels): for touchStart and
// touchMove, all the fingers down after the event (the protocol works out
// which one landed or moved); for touchEnd, the ones that lift ([]: all).
export const touch = (page, type, points) =>
    page.send('Input.dispatchTouchEvent', { type, touchPoints: points });

// A finger's tap at a CSS point.
export async function tap(page, at, id = 0) {
    await touch(page, 'touchStart', [{ id, ...at }]);
    await touch(page, 'touchEnd', []);
}

// The middle of the element's box, in CSS pixels.
export async function centreOf(page, selector) {
    const r = await rectOf(page, selector);
    return r && { x: r.x + r.width / 2, y: r.y + r.height / 2 };
}

// Records every input record the page hands the program from now on
// (window.sent: [type, window, key, alt or touch, repeat]).
export const recordInput = (page) =>
    page.evaluate(`(() => {
        window.sent = [];
        const push = ZW.push;
        ZW.push = (record) => {
            sent.push(record.slice(0, 5));
            push(record);
        };
    })()`);

// The ship's place: the non-black pixels' mean x in its 32 client rows, from
// 80 above the bottom, between the walls.
export function shipX(image) {
    let sum = 0;
    let count = 0;
    for (let y = image.height - 80; y < image.height - 48; ++y) {
        for (let x = 32; x < image.width - 32; ++x) {
            const i = (y * image.width + x) * 3;
            if (image.rgb[i] || image.rgb[i + 1] || image.rgb[i + 2]) {
                sum += x;
                ++count;
            }
        }
    }
    return count ? sum / count : NaN;
}
