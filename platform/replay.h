// Replays: what the program read across the Windows boundary, in the order it
// read it (timer messages, input, GetTickCount, the desktop's size), written
// compactly as a stream, and the .zvr file that holds a stream with what
// playback needs and what the game came to.  docs/replays.md has the bytes.
//
// The reader trusts nothing: every length, count and field is checked before
// use, a damaged stream or file is refused with the byte offset of the damage,
// and nothing is allocated in proportion to a number read from the file.
// Plain C++ with no system calls but ReadReplayFile, so the web page uses it
// too.
#ifndef ZORVAK_PLATFORM_REPLAY_H
#define ZORVAK_PLATFORM_REPLAY_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zplat::replay {

// The largest window serial, timer index and menu bar item a stream holds.
constexpr uint32_t kMaxIndex = 4096;
// The largest .zvr file read, and so the largest body.
constexpr size_t kMaxFileSize = size_t(16) << 20;
constexpr size_t kMaxStatusLength = 127;
constexpr size_t kMaxVersionLength = 31;
// The latest date a file or a kept game may carry: 9999-12-31 23:59:59 UTC.
constexpr int64_t kMaxDate = 253402300799;

// CRC-32 as zlib's crc32() computes it: crc is the value so far (0 to start).
uint32_t Crc32(const uint8_t *data, size_t size, uint32_t crc = 0);

// ---- The stream's items ----

// The input types, named as zplat::InputEvent names them.
enum class InputType : uint8_t {
    KeyDown,
    KeyUp,
    Click,
    Release,
    Drag,
    Minimize,
    Restore,
    Close,
    Focus,
    BarCommand,
};

// One input event as the core took it in.  A stream records only the fields
// that the type uses; the others read back as 0 (see Canonical).
struct InputRecord {
    InputType type = InputType::KeyDown;
    // The window as a serial: 0 none, 1 the first window the program made,
    // 2 the next, ... (at most kMaxIndex).
    uint32_t window = 0;
    int vk = 0;          // KeyDown, KeyUp: 1..254
    bool alt = false;    // KeyDown, KeyUp
    bool repeat = false; // KeyDown, KeyUp
    int x = 0;           // Click, Release, Drag
    int y = 0;
    uint32_t item = 0; // BarCommand: the menu bar item's index (at most kMaxIndex)

    bool operator==(const InputRecord &) const = default;
};

// The input with the fields its type does not use set to 0.
InputRecord Canonical(InputRecord input);

struct Item {
    enum Kind : uint8_t {
        Fire,      // timer (index in the core's timer list) fired count times in a row
        Input,     // input; newDelivery for the first of those taken in at once
        TickCount, // GetTickCount returned value
        Desktop,   // the program read the desktop's size, width x height (1..65535 each)
        Refused,   // a window the program asked for could not be made
    };
    Kind kind = Refused;
    uint32_t timer = 0;
    uint32_t count = 0;
    InputRecord input;
    bool newDelivery = false;
    uint32_t value = 0;
    int width = 0;
    int height = 0;

    bool operator==(const Item &) const = default;
};

Item FireItem(uint32_t timer, uint32_t count = 1);
Item InputItem(const InputRecord &input, bool newDelivery);
Item TickCountItem(uint32_t value);
Item DesktopItem(int width, int height);
Item RefusedItem();

// ---- Writing a stream ----

// Records items as they happen.  A fire of the timer fired just before only
// counts (no allocation, no byte written); a run of timer 0 is then folded
// into the tag of the input that follows it.  Bytes() holds what has been
// written, up to the last Flush().
class StreamWriter {
public:
    // Each returns false, records nothing and says why in *error (which may
    // be null) for what a stream cannot hold: a count of 0, an index or
    // serial over kMaxIndex, a key code outside 1..254, a size outside
    // 1..65535, or an input that continues a delivery without an input just
    // before it.
    bool Fire(uint32_t timer, uint32_t count, std::string *error);
    bool Input(const InputRecord &input, bool newDelivery, std::string *error);
    void TickCount(uint32_t value);
    bool Desktop(int width, int height, std::string *error);
    void Refused();
    bool Add(const Item &item, std::string *error);

    // Writes the pending run of fires, so that Bytes() holds every item so
    // far.  Recording goes on after it: the bytes then are a prefix of the
    // bytes later.
    void Flush();
    const std::vector<uint8_t> &Bytes() const { return bytes_; }
    // A place in the stream that may later be taken as its end: the bytes
    // written by then and the run of fires still being counted.
    struct Mark {
        size_t bytes = 0;
        uint32_t pendingTimer = 0;
        uint32_t pendingCount = 0;
    };
    Mark Here() const;
    // The whole stream as it stood at a mark of this writer (taken since its
    // last Clear): a complete stream that ends there, while recording goes on.
    void BytesAt(const Mark &mark, std::vector<uint8_t> *out) const;
    // Forgets everything: the next item starts a new stream.
    void Clear();

private:
    void PutTag(unsigned kind, uint64_t a);
    void PutVarint(uint64_t v);
    void WritePending();

    std::vector<uint8_t> bytes_;
    uint32_t pendingTimer_ = 0;
    uint32_t pendingCount_ = 0;
    uint32_t target_ = 0;
    uint32_t lastTicks_ = 0;
    InputRecord lastInput_;
    bool haveLastInput_ = false;
    bool lastWasInput_ = false;
};

// ---- Reading a stream ----

// Yields a stream's items in order.  Offsets in messages are counted from
// `base` (the body's place in its file), as "byte N: ...".
class StreamReader {
public:
    StreamReader(const uint8_t *data, size_t size, size_t base = 0);

    // The next item: true with *item; false at the end of the stream (with
    // *error empty) or at damage (with *error naming it and its byte).
    bool Next(Item *item, std::string *error);
    // The offset (counted from base) of the next entry.
    size_t Offset() const { return base_ + at_; }

private:
    bool Entry(uint64_t a, Item *item, std::string *error);
    bool DesktopEntry(Item *item, std::string *error);
    bool InputEntry(uint64_t a, Item *item, std::string *error);
    bool InputFields(InputRecord *input, std::string *error);
    bool Byte(uint8_t *out, std::string *error);
    bool Varint(uint64_t *out, std::string *error);
    bool SignedVarint(int *out, std::string *error);
    // "byte N: KIND: what", N where the current entry starts.
    bool Fail(const std::string &what, std::string *error) const;

    const uint8_t *data_;
    size_t size_;
    size_t base_;
    size_t at_ = 0;
    size_t start_ = 0;  // the current entry
    unsigned kind_ = 0; // its kind
    uint32_t target_ = 0;
    uint32_t lastTicks_ = 0;
    InputRecord lastInput_;
    bool haveLastInput_ = false;
    bool lastWasInput_ = false;
    // An input entry that began with fires: its input, given after them.
    Item held_;
    bool holding_ = false;
};

// What a whole stream holds.
struct StreamSummary {
    uint64_t items = 0;
    uint64_t timer0Fires = 0; // fires of the timer at index 0
    uint64_t inputs = 0;
};

// Reads a whole stream once: true with its summary, or false with the first
// damage.
bool CheckStream(const uint8_t *data, size_t size, size_t base, StreamSummary *summary,
                 std::string *error);

// ---- The .zvr file ----

enum class EndReason : uint8_t { GameOver, NewGame, Quit, Other };

struct ReplayHeader {
    std::string programVersion; // 1..kMaxVersionLength printable ASCII characters
    int clientWidth = 0;        // the main window's client size the game ran with, 1..65535
    int clientHeight = 0;
    // Fires of the game's timer before the kept game's New game: watching
    // fast-forwards to there.
    uint32_t startTick = 0;
    // Fires of the game's timer from New game to the end.
    uint32_t gameTicks = 0;
    std::string status;       // the final status line, 0..kMaxStatusLength printable ASCII
    uint64_t pictureHash = 0; // the main window's picture at the end
    EndReason endReason = EndReason::Other;
    int64_t date = 0; // Unix seconds, 0..kMaxDate

    bool operator==(const ReplayHeader &) const = default;
};

struct Replay {
    ReplayHeader header;
    std::vector<uint8_t> body; // the stream, checked whole: a StreamReader over it never fails
    size_t bodyOffset = 0;     // where the body starts in the file
    StreamSummary summary;
};

// The file for a header and a stream: false with the reason when a field is
// out of range or the stream does not read back (nothing is written).
bool WriteReplay(const ReplayHeader &header, const std::vector<uint8_t> &body,
                 std::vector<uint8_t> *file, std::string *error);

// Reads and checks a whole file: magic, version, every length against what
// is left, the CRC, every field's range and the whole stream.  On failure
// *error says what is wrong and at which byte ("byte N: ...").
bool ReadReplay(const uint8_t *data, size_t size, Replay *out, std::string *error);

// The same for a file on disk ("PATH: byte N: ..."): only a regular file (or
// a link to one) of at most kMaxFileSize bytes, its size checked before it
// is read; a FIFO or device is refused without waiting on it.  Not in the
// web build.
bool ReadReplayFile(const std::string &path, Replay *out, std::string *error);

} // namespace zplat::replay

#endif
