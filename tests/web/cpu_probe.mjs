// CPU time of the processes that show a page: its renderer (the page's
// script, the WebAssembly program, the canvas) and the GPU process (which
// composites, in software here), read from the kernel's per-thread run time
// (/proc/PID/task/*/schedstat, nanoseconds) where there is one, else from
// Chromium's own count (10 ms steps).
import fs from 'node:fs';

function scheduledSeconds(pid) {
    let tasks;
    try {
        tasks = fs.readdirSync(`/proc/${pid}/task`);
    } catch {
        return null;
    }
    let total = 0;
    for (const task of tasks) {
        try {
            total += Number(fs.readFileSync(`/proc/${pid}/task/${task}/schedstat`, 'utf8')
                .split(' ')[0]) / 1e9;
        } catch {
            // The thread ended between the listing and the read.
        }
    }
    return total;
}

// { seconds, processes }: the CPU time so far of the renderer and GPU
// processes, by process id.
export async function cpuSample(browser) {
    const { processInfo } = await browser.send('SystemInfo.getProcessInfo');
    const byPid = {};
    for (const { type, id, cpuTime } of processInfo) {
        if (type !== 'renderer' && type !== 'GPU') continue;
        byPid[id] = { type, seconds: scheduledSeconds(id) ?? cpuTime };
    }
    return byPid;
}

// The share of one core the renderer and GPU processes used between two
// samples taken wallSeconds apart, in percent; processes present in both,
// of one type only if type is given.
export function cpuPercent(before, after, wallSeconds, type = null) {
    let used = 0;
    for (const [pid, { seconds, type: kind }] of Object.entries(after)) {
        if (before[pid] && (type === null || kind === type)) used += seconds - before[pid].seconds;
    }
    return used / wallSeconds * 100;
}

// Measures for `seconds` of the real clock (a wait that stays: the time is
// what is measured) while `during` (optional) runs; { percent, renderer,
// gpu, seconds }.
export async function measureCpu(browser, seconds, during = async () => {}) {
    const before = await cpuSample(browser);
    const start = performance.now();
    const end = start + seconds * 1000;
    await during(end);
    const left = end - performance.now();
    if (left > 0) await new Promise((resolve) => setTimeout(resolve, left));
    const after = await cpuSample(browser);
    const wall = (performance.now() - start) / 1000;
    return {
        percent: cpuPercent(before, after, wall),
        renderer: cpuPercent(before, after, wall, 'renderer'),
        gpu: cpuPercent(before, after, wall, 'GPU'),
        seconds: wall,
    };
}
