// The browser test's verdicts: each check prints one line, ok or FAILED.
import { AsyncLocalStorage } from 'node:async_hooks';

export const tally = { passed: 0, failed: 0 };

// Where a session that runs beside others keeps its lines until it ends.
const held = new AsyncLocalStorage();

export function say(line) {
    const lines = held.getStore();
    if (lines) lines.push(line);
    else console.log(line);
}

export function check(ok, what) {
    say(`${ok ? 'ok' : 'FAILED'}: ${what}`);
    if (ok) ++tally.passed;
    else ++tally.failed;
    return ok;
}

// Runs the sessions at the same time, each one's lines printed together
// when it ends, in the order given.
export async function atOnce(sessions) {
    const outputs = sessions.map(() => []);
    const runs = sessions.map((session, i) => held.run(outputs[i], session));
    for (let i = 0; i < runs.length; ++i) {
        await runs[i];
        for (const line of outputs[i]) console.log(line);
    }
}

// Pixels where a and b ({ width, height, rgb }) differ, ignoring those for
// which skip(x, y) is true: { count, text }.
export function differences(a, b, skip = () => false) {
    let count = 0;
    let first = '';
    const at = (image, x, y) => {
        const i = (y * image.width + x) * 3;
        return (image.rgb[i] << 16) | (image.rgb[i + 1] << 8) | image.rgb[i + 2];
    };
    for (let y = 0; y < a.height; ++y) {
        for (let x = 0; x < a.width; ++x) {
            if (skip(x, y) || at(a, x, y) === at(b, x, y)) continue;
            if (count++ === 0) {
                first = ` (first at ${x},${y}: ${at(a, x, y).toString(16)} ` +
                    `instead of ${at(b, x, y).toString(16)})`;
            }
        }
    }
    return { count, text: `${count} pixels differ${first}` };
}

// The image as the screen shows it at `scale`: each pixel a scale x scale
// square.
export function upscaled(image, scale) {
    const width = image.width * scale;
    const height = image.height * scale;
    const rgb = Buffer.alloc(width * height * 3);
    for (let y = 0; y < height; ++y) {
        for (let x = 0; x < width; ++x) {
            const from = (Math.floor(y / scale) * image.width + Math.floor(x / scale)) * 3;
            image.rgb.copy(rgb, (y * width + x) * 3, from, from + 3);
        }
    }
    return { width, height, rgb };
}
