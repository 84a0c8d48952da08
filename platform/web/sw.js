// The page's service worker: after the first visit the page loads and plays
// with no network.  The build writes BUILD below: the page's files with the
// SHA-256 of each, and the build's version, made from them.
//
// One build's files are kept together in a cache named after its version,
// and never mixed with another's:
// - a new worker (a new build) fetches every file of its list (asking the
//   server whether what the browser holds is still current) and checks each
//   against its SHA-256; if one is not the build's (a server
//   half-way through an update), it keeps nothing and does not install, and
//   the worker before it stays;
// - a worker serves the page's files from its own cache only, and takes over
//   only when no page of the worker before it is open (no skipWaiting, no
//   clients.claim): a page is served by one worker, one build, from its
//   first file to its last;
// - once a new worker is active, the caches of other builds are deleted.
const BUILD = /* written by the build */ null;

const CACHE = `zorvak-${BUILD.version}`;
const FILES = Object.keys(BUILD.files);

function hex(buffer) {
    return [...new Uint8Array(buffer)].map((b) => b.toString(16).padStart(2, '0')).join('');
}

// The file as the server has it now, if it is this build's.
async function fetchChecked(name) {
    const response = await fetch(name, { cache: 'no-cache' });
    if (!response.ok) throw new Error(`${name}: ${response.status} ${response.statusText}`);
    const digest = hex(await crypto.subtle.digest('SHA-256', await response.clone().arrayBuffer()));
    if (digest !== BUILD.files[name]) throw new Error(`${name} is not build ${BUILD.version}'s`);
    return response;
}

async function keepFiles() {
    try {
        const responses = await Promise.all(FILES.map(fetchChecked));
        const cache = await caches.open(CACHE);
        await Promise.all(FILES.map((name, i) => cache.put(name, responses[i])));
    } catch (error) {
        await caches.delete(CACHE);
        throw error;
    }
}

async function dropOtherBuilds() {
    const names = await caches.keys();
    await Promise.all(names.filter((name) => name.startsWith('zorvak-') && name !== CACHE)
        .map((name) => caches.delete(name)));
}

// The name in BUILD.files of what a request asks for, or null when it is
// not one of the page's files (the network answers those).  A visit to the
// page's folder, with any query, is a visit to index.html.
function fileOf(request) {
    if (request.method !== 'GET') return null;
    const url = new URL(request.url);
    const folder = new URL(self.registration.scope);
    if (url.origin !== folder.origin || !url.pathname.startsWith(folder.pathname)) return null;
    let name = url.pathname.slice(folder.pathname.length);
    if (name === '' && request.mode === 'navigate') name = 'index.html';
    return Object.prototype.hasOwnProperty.call(BUILD.files, name) ? name : null;
}

async function answer(name, request) {
    const cache = await caches.open(CACHE);
    // Installed means every file is kept; the network only if the browser
    // has dropped the cache since.
    return (await cache.match(name)) || fetch(request);
}

self.addEventListener('install', (event) => event.waitUntil(keepFiles()));
self.addEventListener('activate', (event) => event.waitUntil(dropOtherBuilds()));
self.addEventListener('fetch', (event) => {
    const name = fileOf(event.request);
    if (name) event.respondWith(answer(name, event.request));
});
