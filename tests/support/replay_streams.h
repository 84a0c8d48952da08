// Replay streams for the tests, the benchmark and the fuzz corpus: random
// ones of every item kind, a minute of play, and the items of a stream as
// its reader gives them.
#ifndef ZORVAK_TESTS_SUPPORT_REPLAY_STREAMS_H
#define ZORVAK_TESTS_SUPPORT_REPLAY_STREAMS_H

#include "platform/replay.h"

#include <random>
#include <string>
#include <vector>

namespace support {

using zplat::replay::InputRecord;
using zplat::replay::InputType;
using zplat::replay::Item;

inline InputRecord Key(InputType type, int vk, uint32_t window = 1, bool alt = false,
                       bool repeat = false) {
    InputRecord in;
    in.type = type;
    in.vk = vk;
    in.window = window;
    in.alt = alt;
    in.repeat = repeat;
    return in;
}

// Adjacent runs of one timer as one run (up to 2^32 - 1 fires), as the
// writer records them: the form in which two streams are compared.
inline std::vector<Item> MergeRuns(const std::vector<Item> &items) {
    std::vector<Item> out;
    for (const Item &item : items) {
        if (item.kind == Item::Fire && !out.empty() && out.back().kind == Item::Fire &&
            out.back().timer == item.timer && item.count <= UINT32_MAX - out.back().count) {
            out.back().count += item.count;
        } else {
            out.push_back(item);
        }
    }
    return out;
}

// Every item of a stream; false with the reader's message at damage.
inline bool ReadItems(const std::vector<uint8_t> &bytes, std::vector<Item> *items,
                      std::string *error) {
    zplat::replay::StreamReader reader(bytes.data(), bytes.size());
    items->clear();
    Item item;
    while (reader.Next(&item, error)) {
        items->push_back(item);
    }
    return error->empty();
}

// A random stream that a program could have made: every item kind and
// input type, runs of fires short and long, deliveries of several inputs to
// several windows, negative pointer positions, repeated keys and tick counts
// that jump by anything in 32 bits.
inline std::vector<Item> RandomStream(uint32_t seed, int length) {
    std::mt19937 random(seed);
    auto pick = [&random](uint32_t n) { return uint32_t(random() % n); };
    std::vector<Item> items;
    uint32_t ticks = random();
    for (int i = 0; i < length; ++i) {
        const uint32_t what = pick(20);
        if (what < 8) {
            const uint32_t counts[] = {1, 1, 2, 14, 15, 16, 300, 100000, 4000000000u};
            items.push_back(zplat::replay::FireItem(what < 6 ? 0 : pick(4097), counts[pick(9)]));
        } else if (what < 15) {
            const bool continues =
                !items.empty() && items.back().kind == Item::Input && pick(3) == 0;
            if (continues && pick(3) == 0) {
                items.push_back(items.back()); // the same input again
                items.back().newDelivery = false;
                continue;
            }
            InputRecord in;
            in.type = InputType(pick(10));
            in.window = pick(4) == 0 ? pick(4097) : pick(3);
            in.vk = 1 + int(pick(254));
            in.alt = pick(2) == 0;
            in.repeat = pick(2) == 0;
            in.x = int(random()); // negative half the time
            in.y = int(pick(700)) - 100;
            in.item = pick(4097);
            items.push_back(zplat::replay::InputItem(zplat::replay::Canonical(in), !continues));
        } else if (what < 18) {
            ticks += pick(3) == 0 ? random() : pick(100);
            items.push_back(zplat::replay::TickCountItem(ticks));
        } else if (what < 19) {
            items.push_back(zplat::replay::DesktopItem(1 + int(pick(65535)), 1 + int(pick(65535))));
        } else {
            items.push_back(zplat::replay::RefusedItem());
        }
    }
    return items;
}

// A minute of play on the 50 ms timer: 1200 fires, with taps three key
// presses a second (Left, Right or Space, down then up, each in a delivery
// of its own), and with heldKeyRepeats Space held down throughout,
// auto-repeating at 25 a second (between the taps, when there are some).
inline std::vector<Item> MinuteOfPlay(bool taps, bool heldKeyRepeats) {
    std::vector<Item> items;
    const int keys[] = {0x25, 0x27, 0x20}; // VK_LEFT, VK_RIGHT, VK_SPACE
    // Events on a 10 ms grid: fires every 50 ms, a press every 333 ms
    // (released 80 ms later), a repeat every 40 ms.
    for (int ms = 10; ms <= 60000; ms += 10) {
        if (ms % 50 == 0) {
            items.push_back(zplat::replay::FireItem(0));
        }
        const int press = ms % 333;
        if (taps && (press < 10 || (press >= 80 && press < 90))) {
            const int vk = keys[(ms / 333) % 3];
            const InputType type = press < 10 ? InputType::KeyDown : InputType::KeyUp;
            items.push_back(zplat::replay::InputItem(Key(type, vk, 0), true));
        } else if (heldKeyRepeats && ms % 40 == 0) {
            items.push_back(
                zplat::replay::InputItem(Key(InputType::KeyDown, 0x20, 0, false, true), true));
        }
    }
    return items;
}

} // namespace support

#endif
