// Reading a stream: every entry checked before it is believed, each fault
// reported with the byte where its entry starts.
#include "platform/replay.h"
#include "platform/replay/stream_format.h"

namespace zplat::replay {

using namespace format;

namespace {

const char *const kKindNames[] = {"FIRE0", "FIRE",    "KEY_DOWN", "KEY_UP", "KEY",
                                  "AGAIN", "POINTER", "WINDOW",   "BAR",    "TARGET",
                                  "TICKS", "DESKTOP", "REFUSED"};

bool FitsVk(uint8_t vk) {
    return vk >= 1 && vk <= 254;
}

} // namespace

StreamReader::StreamReader(const uint8_t *data, size_t size, size_t base)
    : data_(data), size_(size), base_(base) {}

bool StreamReader::Fail(const std::string &what, std::string *error) const {
    std::string where = "byte " + std::to_string(base_ + start_) + ": ";
    if (kind_ < sizeof kKindNames / sizeof kKindNames[0]) {
        where += std::string(kKindNames[kind_]) + ": ";
    }
    *error = where + what;
    return false;
}

bool StreamReader::Byte(uint8_t *out, std::string *error) {
    if (at_ >= size_) {
        return Fail("the stream ends inside this entry", error);
    }
    *out = data_[at_++];
    return true;
}

bool StreamReader::Varint(uint64_t *out, std::string *error) {
    uint64_t v = 0;
    for (int i = 0; i < kMaxVarintBytes; ++i) {
        uint8_t b = 0;
        if (!Byte(&b, error)) {
            return false;
        }
        if (i == kMaxVarintBytes - 1 && b > 1) {
            return Fail(b >= 0x80 ? "a varint longer than 10 bytes" : "a varint over 64 bits",
                        error);
        }
        v |= uint64_t(b & 0x7F) << (7 * i);
        if (b < 0x80) {
            *out = v;
            return true;
        }
    }
    return Fail("a varint longer than 10 bytes", error); // not reached: the 10th byte is <= 1
}

bool StreamReader::SignedVarint(int *out, std::string *error) {
    uint64_t v = 0;
    if (!Varint(&v, error)) {
        return false;
    }
    if (v > UINT32_MAX) {
        return Fail("a position outside 32 bits", error);
    }
    *out = int(UnZigZag(v));
    return true;
}

bool StreamReader::Next(Item *item, std::string *error) {
    error->clear();
    if (holding_) {
        *item = held_;
        holding_ = false;
        return true;
    }
    while (at_ < size_) {
        start_ = at_;
        kind_ = data_[at_] & 0x0F;
        uint64_t a = data_[at_++] >> 4;
        if (a == kInlineLimit) {
            uint64_t more = 0;
            if (!Varint(&more, error)) {
                return false;
            }
            a = more > UINT64_MAX - kInlineLimit ? UINT64_MAX : more + kInlineLimit;
        }
        if (kind_ != kTarget) {
            return Entry(a, item, error);
        }
        if (a > kMaxIndex) {
            return Fail("window serial " + std::to_string(a) + " (at most 4096)", error);
        }
        target_ = uint32_t(a);
    }
    return false;
}

bool StreamReader::Entry(uint64_t a, Item *item, std::string *error) {
    if (IsInputKind(kind_)) {
        return InputEntry(a, item, error);
    }
    if (kind_ > kRefused) {
        return Fail("unknown entry kind " + std::to_string(kind_), error);
    }
    if (kind_ != kFire0 && kind_ != kFire && a != 0) {
        return Fail("a tag field of " + std::to_string(a) + " (must be 0)", error);
    }
    lastWasInput_ = false;
    uint64_t v = 0;
    switch (kind_) {
    case kFire0:
        if (a == 0 || a > UINT32_MAX) {
            return Fail("fire count " + std::to_string(a) + " (must be 1..4294967295)", error);
        }
        *item = FireItem(0, uint32_t(a));
        return true;
    case kFire:
        if (a == 0 || a > kMaxIndex) {
            return Fail("timer index " + std::to_string(a) + " (must be 1..4096)", error);
        }
        if (!Varint(&v, error)) {
            return false;
        }
        if (v >= UINT32_MAX) {
            return Fail("fire count over 4294967295", error);
        }
        *item = FireItem(uint32_t(a), uint32_t(v + 1));
        return true;
    case kTicks:
        if (!Varint(&v, error)) {
            return false;
        }
        if (v > UINT32_MAX) {
            return Fail("a change of the tick count outside 32 bits", error);
        }
        lastTicks_ += uint32_t(UnZigZag(v));
        *item = TickCountItem(lastTicks_);
        return true;
    case kDesktop:
        return DesktopEntry(item, error);
    default:
        *item = RefusedItem();
        return true;
    }
}

bool StreamReader::DesktopEntry(Item *item, std::string *error) {
    uint64_t width = 0;
    uint64_t height = 0;
    if (!Varint(&width, error) || !Varint(&height, error)) {
        return false;
    }
    if (width < 1 || width > 65535 || height < 1 || height > 65535) {
        return Fail("desktop size " + std::to_string(width) + " x " + std::to_string(height) +
                        " (each must be 1..65535)",
                    error);
    }
    *item = DesktopItem(int(width), int(height));
    return true;
}

bool StreamReader::InputEntry(uint64_t a, Item *item, std::string *error) {
    const bool continues = a == 0;
    if (continues && !lastWasInput_) {
        return Fail("continues a delivery, but no input comes just before it", error);
    }
    if (a > uint64_t(UINT32_MAX) + 1) {
        return Fail("fire count " + std::to_string(a - 1) + " before it (over 4294967295)", error);
    }
    InputRecord input;
    if (kind_ == kAgain) {
        if (!haveLastInput_) {
            return Fail("no input before it to repeat", error);
        }
        input = lastInput_;
    } else if (!InputFields(&input, error)) {
        return false;
    }
    input.window = target_;
    lastInput_ = input;
    haveLastInput_ = true;
    lastWasInput_ = true;
    if (a > 1) {
        *item = FireItem(0, uint32_t(a - 1));
        held_ = InputItem(input, true);
        holding_ = true;
    } else {
        *item = InputItem(input, !continues);
    }
    return true;
}

bool StreamReader::InputFields(InputRecord *input, std::string *error) {
    uint8_t b = 0;
    uint64_t v = 0;
    switch (kind_) {
    case kKey:
        if (!Byte(&b, error)) {
            return false;
        }
        if ((b & ~(kFlagUp | kFlagAlt | kFlagRepeat)) != 0) {
            return Fail("flags " + std::to_string(b) + " (only bits 0..2 may be set)", error);
        }
        input->type = (b & kFlagUp) != 0 ? InputType::KeyUp : InputType::KeyDown;
        input->alt = (b & kFlagAlt) != 0;
        input->repeat = (b & kFlagRepeat) != 0;
        [[fallthrough]];
    case kKeyDown:
    case kKeyUp:
        if (kind_ != kKey) {
            input->type = kind_ == kKeyUp ? InputType::KeyUp : InputType::KeyDown;
        }
        if (!Byte(&b, error)) {
            return false;
        }
        if (!FitsVk(b)) {
            return Fail("key code " + std::to_string(b) + " (must be 1..254)", error);
        }
        input->vk = b;
        return true;
    case kPointer:
        if (!Byte(&b, error)) {
            return false;
        }
        if (b > 2) {
            return Fail("pointer event " + std::to_string(b) + " (must be 0..2)", error);
        }
        input->type = InputType(int(InputType::Click) + b);
        return SignedVarint(&input->x, error) && SignedVarint(&input->y, error);
    case kWindow:
        if (!Byte(&b, error)) {
            return false;
        }
        if (b > 3) {
            return Fail("window event " + std::to_string(b) + " (must be 0..3)", error);
        }
        input->type = InputType(int(InputType::Minimize) + b);
        return true;
    default: // kBar
        if (!Varint(&v, error)) {
            return false;
        }
        if (v > kMaxIndex) {
            return Fail("menu bar item " + std::to_string(v) + " (at most 4096)", error);
        }
        input->type = InputType::BarCommand;
        input->item = uint32_t(v);
        return true;
    }
}

bool CheckStream(const uint8_t *data, size_t size, size_t base, StreamSummary *summary,
                 std::string *error) {
    StreamReader reader(data, size, base);
    StreamSummary counted;
    Item item;
    while (reader.Next(&item, error)) {
        ++counted.items;
        if (item.kind == Item::Fire && item.timer == 0) {
            counted.timer0Fires += item.count;
        } else if (item.kind == Item::Input) {
            ++counted.inputs;
        }
    }
    if (!error->empty()) {
        return false;
    }
    if (summary != nullptr) {
        *summary = counted;
    }
    return true;
}

} // namespace zplat::replay
