// The stream's entry kinds (docs/replays.md): each entry starts with a tag
// byte, kind in its low 4 bits and a field `a` in its high 4 (15: 15 plus a
// varint that follows).
#ifndef ZORVAK_PLATFORM_REPLAY_STREAM_FORMAT_H
#define ZORVAK_PLATFORM_REPLAY_STREAM_FORMAT_H

#include <cstdint>

namespace zplat::replay::format {

enum Kind : unsigned {
    kFire0 = 0,    // timer 0 fired a times
    kFire = 1,     // timer a fired; varint count - 1
    kKeyDown = 2,  // vk byte
    kKeyUp = 3,    // vk byte
    kKey = 4,      // flags byte, vk byte
    kAgain = 5,    // the previous input again
    kPointer = 6,  // byte 0 Click, 1 Release, 2 Drag; zigzag x, zigzag y
    kWindow = 7,   // byte 0 Minimize, 1 Restore, 2 Close, 3 Focus
    kBar = 8,      // varint item
    kTarget = 9,   // the inputs that follow go to window a
    kTicks = 10,   // zigzag int32(value - previous value)
    kDesktop = 11, // varint width, varint height
    kRefused = 12,
};

// Input kinds say where the input stands in a: 0 continues the delivery,
// n + 1 starts a new one after n fires of timer 0.
constexpr bool IsInputKind(unsigned kind) {
    return kind >= kKeyDown && kind <= kBar;
}

// KEY's flags.
constexpr uint8_t kFlagUp = 1;
constexpr uint8_t kFlagAlt = 2;
constexpr uint8_t kFlagRepeat = 4;

// The tag's inline field stops at 14; 15 says a varint follows.
constexpr unsigned kInlineLimit = 15;
constexpr int kMaxVarintBytes = 10;

constexpr uint64_t ZigZag(int64_t v) {
    return (uint64_t(v) << 1) ^ (v < 0 ? ~uint64_t(0) : 0);
}
constexpr int64_t UnZigZag(uint64_t v) {
    return int64_t(v >> 1) ^ -int64_t(v & 1);
}

} // namespace zplat::replay::format

#endif
