// Images for the browser test: PPM (the headless backend's references) and
// PNG (the browser's screenshots), as { width, height, rgb } with 3 bytes a
// pixel, row by row.
import fs from 'node:fs';
import zlib from 'node:zlib';

export function readPpm(path) {
    const data = fs.readFileSync(path);
    const header = data.subarray(0, 64).toString('latin1').match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
    if (!header) throw new Error(`${path}: not a binary PPM`);
    const width = Number(header[1]);
    const height = Number(header[2]);
    const rgb = data.subarray(header[0].length, header[0].length + width * height * 3);
    if (rgb.length !== width * height * 3) throw new Error(`${path}: short`);
    return { width, height, rgb };
}

// 8-bit RGB or RGBA, not interlaced: what Chromium writes.
export function decodePng(buffer) {
    if (buffer.readUInt32BE(0) !== 0x89504e47) throw new Error('not a PNG');
    let offset = 8;
    let width = 0;
    let height = 0;
    let channels = 0;
    const idat = [];
    while (offset < buffer.length) {
        const length = buffer.readUInt32BE(offset);
        const type = buffer.toString('latin1', offset + 4, offset + 8);
        const body = buffer.subarray(offset + 8, offset + 8 + length);
        if (type === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            const depth = body[8];
            const colour = body[9];
            if (depth !== 8 || (colour !== 2 && colour !== 6) || body[12] !== 0) {
                throw new Error(`PNG of depth ${depth}, colour type ${colour}: not handled`);
            }
            channels = colour === 6 ? 4 : 3;
        } else if (type === 'IDAT') {
            idat.push(body);
        }
        offset += 12 + length;
    }
    const raw = zlib.inflateSync(Buffer.concat(idat));
    const stride = width * channels;
    const pixels = Buffer.alloc(stride * height);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)];
        const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
        for (let i = 0; i < stride; ++i) {
            const a = i >= channels ? pixels[y * stride + i - channels] : 0;
            const b = y > 0 ? pixels[(y - 1) * stride + i] : 0;
            const c = i >= channels && y > 0 ? pixels[(y - 1) * stride + i - channels] : 0;
            let predicted = 0;
            if (filter === 1) predicted = a;
            else if (filter === 2) predicted = b;
            else if (filter === 3) predicted = (a + b) >> 1;
            else if (filter === 4) {
                const p = a + b - c;
                const pa = Math.abs(p - a);
                const pb = Math.abs(p - b);
                const pc = Math.abs(p - c);
                predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            }
            pixels[y * stride + i] = (line[i] + predicted) & 0xff;
        }
    }
    const rgb = Buffer.alloc(width * height * 3);
    for (let p = 0; p < width * height; ++p) {
        pixels.copy(rgb, p * 3, p * channels, p * channels + 3);
    }
    return { width, height, rgb };
}

export function pixel(image, x, y) {
    const i = (y * image.width + x) * 3;
    return (image.rgb[i] << 16) | (image.rgb[i + 1] << 8) | image.rgb[i + 2];
}
