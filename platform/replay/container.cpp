// The .zvr file: a header of what playback needs and what the game came to,
// the stream, and a CRC-32 over both.  docs/replays.md has the layout.
#include "platform/replay.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace zplat::replay {

namespace {

constexpr char kMagic[8] = {'Z', 'O', 'R', 'V', 'A', 'K', 'R', 'P'};
constexpr uint8_t kFormatVersion = 1;

bool Printable(const std::string &s) {
    for (char c : s) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

void PutLe(std::vector<uint8_t> *out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out->push_back(uint8_t(v >> (8 * i)));
    }
}

void PutString(std::vector<uint8_t> *out, const std::string &s) {
    out->push_back(uint8_t(s.size()));
    out->insert(out->end(), s.begin(), s.end());
}

// Where each of the header's fields starts, counted from the client width
// (the program version, of its own length, comes before it).
constexpr size_t kWidthAt = 0;
constexpr size_t kReasonAt = 12;
constexpr size_t kDateAt = 13;
constexpr size_t kStatusAt = 29;

// What is wrong with a header's fields, or an empty string; *at says which
// field, as the offset of its first byte after the program version, or
// SIZE_MAX for the program version itself.
std::string HeaderFault(const ReplayHeader &h, size_t *at) {
    *at = SIZE_MAX;
    if (h.programVersion.empty() || h.programVersion.size() > kMaxVersionLength ||
        !Printable(h.programVersion)) {
        return "the program version must be 1..31 printable ASCII characters";
    }
    *at = kWidthAt;
    if (h.clientWidth < 1 || h.clientWidth > 65535 || h.clientHeight < 1 ||
        h.clientHeight > 65535) {
        return "client size " + std::to_string(h.clientWidth) + " x " +
               std::to_string(h.clientHeight) + " (each must be 1..65535)";
    }
    *at = kReasonAt;
    if (uint8_t(h.endReason) > uint8_t(EndReason::Other)) {
        return "end reason " + std::to_string(int(h.endReason)) + " (must be 0..3)";
    }
    *at = kDateAt;
    if (h.date < 0 || h.date > kMaxDate) {
        return "date " + std::to_string(h.date) + " (must be 0.." + std::to_string(kMaxDate) + ")";
    }
    *at = kStatusAt;
    if (h.status.size() > kMaxStatusLength || !Printable(h.status)) {
        return "the status line must be at most 127 printable ASCII characters";
    }
    return "";
}

// Reads the file's fields in order, each checked against what is left.
class Cursor {
public:
    Cursor(const uint8_t *data, size_t size, size_t at) : data_(data), size_(size), at_(at) {}

    bool Take(size_t n, const char *what, const uint8_t **out, std::string *error) {
        if (n > size_ - at_) {
            *error = "byte " + std::to_string(at_) + ": truncated: " + what + " needs " +
                     std::to_string(n) + " bytes, " + std::to_string(size_ - at_) + " left";
            return false;
        }
        *out = data_ + at_;
        at_ += n;
        return true;
    }
    bool Le(int bytes, const char *what, uint64_t *out, std::string *error) {
        const uint8_t *p = nullptr;
        if (!Take(size_t(bytes), what, &p, error)) {
            return false;
        }
        *out = 0;
        for (int i = 0; i < bytes; ++i) {
            *out |= uint64_t(p[i]) << (8 * i);
        }
        return true;
    }
    bool String(const char *what, std::string *out, std::string *error) {
        uint64_t n = 0;
        const uint8_t *p = nullptr;
        if (!Le(1, what, &n, error) || !Take(size_t(n), what, &p, error)) {
            return false;
        }
        out->assign(reinterpret_cast<const char *>(p), size_t(n));
        return true;
    }
    size_t At() const { return at_; }
    size_t Left() const { return size_ - at_; }

private:
    const uint8_t *data_;
    size_t size_;
    size_t at_;
};

// Magic and version: is this a file this program reads at all?
bool ReadIdentity(const uint8_t *data, size_t size, std::string *error) {
    if (size == 0) {
        *error = "byte 0: truncated: the file is empty";
        return false;
    }
    const size_t n = std::min(size, sizeof kMagic);
    if (std::memcmp(data, kMagic, n) != 0) {
        *error = "byte 0: not a Zorvak replay (it does not start with ZORVAKRP)";
        return false;
    }
    if (size <= sizeof kMagic) {
        *error = "byte " + std::to_string(size) + ": truncated: the file ends after " +
                 std::to_string(size) + " bytes, inside its header";
        return false;
    }
    if (data[8] != kFormatVersion) {
        *error = "byte 8: format version " + std::to_string(data[8]) +
                 "; this program reads version " + std::to_string(kFormatVersion);
        return false;
    }
    return true;
}

// The header's fields in file order; their ranges are checked later, once
// the CRC says the bytes are as written.
bool ReadHeaderFields(Cursor *c, ReplayHeader *h, size_t *fieldsAt, std::string *error) {
    uint64_t width = 0;
    uint64_t height = 0;
    uint64_t start = 0;
    uint64_t ticks = 0;
    uint64_t reason = 0;
    uint64_t date = 0;
    if (!c->String("the program version", &h->programVersion, error)) {
        return false;
    }
    *fieldsAt = c->At();
    if (!c->Le(2, "the client width", &width, error) ||
        !c->Le(2, "the client height", &height, error) ||
        !c->Le(4, "the start tick", &start, error) ||
        !c->Le(4, "the game's ticks", &ticks, error) ||
        !c->Le(1, "the end reason", &reason, error) || !c->Le(8, "the date", &date, error) ||
        !c->Le(8, "the picture's hash", &h->pictureHash, error) ||
        !c->String("the status line", &h->status, error)) {
        return false;
    }
    h->clientWidth = int(width);
    h->clientHeight = int(height);
    h->startTick = uint32_t(start);
    h->gameTicks = uint32_t(ticks);
    h->endReason = EndReason(reason);
    h->date = int64_t(date);
    return true;
}

} // namespace

bool WriteReplay(const ReplayHeader &header, const std::vector<uint8_t> &body,
                 std::vector<uint8_t> *file, std::string *error) {
    size_t at = 0;
    const std::string fault = HeaderFault(header, &at);
    if (!fault.empty()) {
        *error = "cannot write the replay: " + fault;
        return false;
    }
    std::string why;
    if (body.size() > kMaxFileSize || !CheckStream(body.data(), body.size(), 0, nullptr, &why)) {
        *error = "cannot write the replay: its stream " +
                 (why.empty() ? "is over " + std::to_string(kMaxFileSize) + " bytes"
                              : "does not read back: " + why);
        return false;
    }
    std::vector<uint8_t> out(std::begin(kMagic), std::end(kMagic));
    out.push_back(kFormatVersion);
    PutString(&out, header.programVersion);
    PutLe(&out, uint64_t(header.clientWidth), 2);
    PutLe(&out, uint64_t(header.clientHeight), 2);
    PutLe(&out, header.startTick, 4);
    PutLe(&out, header.gameTicks, 4);
    out.push_back(uint8_t(header.endReason));
    PutLe(&out, uint64_t(header.date), 8);
    PutLe(&out, header.pictureHash, 8);
    PutString(&out, header.status);
    PutLe(&out, body.size(), 4);
    out.insert(out.end(), body.begin(), body.end());
    PutLe(&out, Crc32(out.data(), out.size()), 4);
    if (out.size() > kMaxFileSize) {
        *error =
            "cannot write the replay: it would be over " + std::to_string(kMaxFileSize) + " bytes";
        return false;
    }
    *file = std::move(out);
    return true;
}

namespace {

// The layout: header, body and CRC each within what is left, nothing after
// them.
bool ReadLayout(const uint8_t *data, size_t size, Replay *r, size_t *fieldsAt, size_t *crcAt,
                std::string *error) {
    Cursor c(data, size, 9);
    uint64_t bodySize = 0;
    const uint8_t *p = nullptr;
    if (!ReadHeaderFields(&c, &r->header, fieldsAt, error) ||
        !c.Le(4, "the body's length", &bodySize, error)) {
        return false;
    }
    r->bodyOffset = c.At();
    if (c.Left() < 4 || bodySize > c.Left() - 4) {
        *error = "byte " + std::to_string(c.At() - 4) + ": truncated: the body's length says " +
                 std::to_string(bodySize) + " bytes, and " + std::to_string(c.Left()) +
                 " are left for it and the CRC-32";
        return false;
    }
    c.Take(size_t(bodySize), "the body", &p, error);
    r->body.assign(p, p + bodySize);
    *crcAt = c.At();
    c.Take(4, "the CRC-32", &p, error);
    if (c.Left() != 0) {
        *error = "byte " + std::to_string(c.At()) + ": " + std::to_string(c.Left()) +
                 " bytes after the CRC-32, where the file should end";
        return false;
    }
    return true;
}

std::string Hex(uint32_t v) {
    static const char digits[] = "0123456789abcdef";
    std::string s = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        s += digits[(v >> shift) & 0xF];
    }
    return s;
}

} // namespace

bool ReadReplay(const uint8_t *data, size_t size, Replay *out, std::string *error) {
    if (size > kMaxFileSize) {
        *error = "too large: " + std::to_string(size) + " bytes, a replay has at most " +
                 std::to_string(kMaxFileSize);
        return false;
    }
    if (!ReadIdentity(data, size, error)) {
        return false;
    }
    Replay r;
    size_t fieldsAt = 0;
    size_t crcAt = 0;
    if (!ReadLayout(data, size, &r, &fieldsAt, &crcAt, error)) {
        return false;
    }
    const uint32_t stored = uint32_t(data[crcAt]) | uint32_t(data[crcAt + 1]) << 8 |
                            uint32_t(data[crcAt + 2]) << 16 | uint32_t(data[crcAt + 3]) << 24;
    const uint32_t computed = Crc32(data, crcAt);
    if (stored != computed) {
        *error = "byte " + std::to_string(crcAt) + ": damaged: CRC-32 of the " +
                 std::to_string(crcAt) + " bytes before it is " + Hex(computed) +
                 ", the file says " + Hex(stored);
        return false;
    }
    size_t at = 0;
    const std::string fault = HeaderFault(r.header, &at);
    if (!fault.empty()) {
        *error = "byte " + std::to_string(at == SIZE_MAX ? 9 : fieldsAt + at) + ": " + fault;
        return false;
    }
    std::string why;
    if (!CheckStream(r.body.data(), r.body.size(), r.bodyOffset, &r.summary, &why)) {
        *error = why;
        return false;
    }
    *out = std::move(r);
    return true;
}

} // namespace zplat::replay
