// Writing a stream: each item as the shortest entry that says it, a run of
// fires counted until something else comes.
#include "platform/replay.h"
#include "platform/replay/stream_format.h"

#include <algorithm>

namespace zplat::replay {

using namespace format;

namespace {

bool Refuse(std::string *error, const std::string &why) {
    if (error != nullptr) {
        *error = why;
    }
    return false;
}

bool IsKey(InputType type) {
    return type == InputType::KeyDown || type == InputType::KeyUp;
}

// Why the stream cannot hold this input, or an empty string.
std::string Unrecordable(const InputRecord &input) {
    if (input.window > kMaxIndex) {
        return "window serial " + std::to_string(input.window) + " is over " +
               std::to_string(kMaxIndex);
    }
    if (IsKey(input.type) && (input.vk < 1 || input.vk > 254)) {
        return "key code " + std::to_string(input.vk) + " is not in 1..254";
    }
    if (input.type == InputType::BarCommand && input.item > kMaxIndex) {
        return "menu bar item " + std::to_string(input.item) + " is over " +
               std::to_string(kMaxIndex);
    }
    if (uint8_t(input.type) > uint8_t(InputType::BarCommand)) {
        return "unknown input type " + std::to_string(int(input.type));
    }
    return "";
}

} // namespace

namespace {

void PutVarintTo(std::vector<uint8_t> *out, uint64_t v) {
    while (v >= 0x80) {
        out->push_back(uint8_t(v | 0x80));
        v >>= 7;
    }
    out->push_back(uint8_t(v));
}

void PutTagTo(std::vector<uint8_t> *out, unsigned kind, uint64_t a) {
    if (a < kInlineLimit) {
        out->push_back(uint8_t(a << 4 | kind));
        return;
    }
    out->push_back(uint8_t(kInlineLimit << 4 | kind));
    PutVarintTo(out, a - kInlineLimit);
}

// A run of count fires of timer, as its own entry.
void PutRunTo(std::vector<uint8_t> *out, uint32_t timer, uint32_t count) {
    if (timer == 0) {
        PutTagTo(out, kFire0, count);
    } else {
        PutTagTo(out, kFire, timer);
        PutVarintTo(out, count - 1);
    }
}

} // namespace

void StreamWriter::PutVarint(uint64_t v) {
    PutVarintTo(&bytes_, v);
}

void StreamWriter::PutTag(unsigned kind, uint64_t a) {
    PutTagTo(&bytes_, kind, a);
}

void StreamWriter::WritePending() {
    if (pendingCount_ == 0) {
        return;
    }
    PutRunTo(&bytes_, pendingTimer_, pendingCount_);
    pendingCount_ = 0;
}

StreamWriter::Mark StreamWriter::Here() const {
    return Mark{bytes_.size(), pendingTimer_, pendingCount_};
}

void StreamWriter::BytesAt(const Mark &mark, std::vector<uint8_t> *out) const {
    out->assign(bytes_.begin(), bytes_.begin() + long(std::min(mark.bytes, bytes_.size())));
    if (mark.pendingCount != 0) {
        PutRunTo(out, mark.pendingTimer, mark.pendingCount);
    }
}

bool StreamWriter::Fire(uint32_t timer, uint32_t count, std::string *error) {
    if (count == 0) {
        return Refuse(error, "a fire count of 0");
    }
    if (timer > kMaxIndex) {
        return Refuse(error, "timer index " + std::to_string(timer) + " is over " +
                                 std::to_string(kMaxIndex));
    }
    if (pendingCount_ != 0 && (timer != pendingTimer_ || count > UINT32_MAX - pendingCount_)) {
        WritePending();
    }
    pendingTimer_ = timer;
    pendingCount_ += count;
    lastWasInput_ = false;
    return true;
}

bool StreamWriter::Input(const InputRecord &raw, bool newDelivery, std::string *error) {
    const InputRecord input = Canonical(raw);
    const std::string why = Unrecordable(input);
    if (!why.empty()) {
        return Refuse(error, why);
    }
    if (!newDelivery && !lastWasInput_) {
        return Refuse(error, "an input continues a delivery with no input just before it");
    }
    // Where it stands: 0 continues the delivery, n + 1 starts one after n
    // fires of timer 0.
    uint64_t a = 0;
    if (newDelivery) {
        a = 1;
        if (pendingTimer_ == 0) {
            a += pendingCount_;
            pendingCount_ = 0;
        } else {
            WritePending();
        }
    }
    if (input.window != target_) {
        PutTag(kTarget, input.window);
        target_ = input.window;
    }
    if (haveLastInput_ && input == lastInput_) {
        PutTag(kAgain, a);
    } else if (IsKey(input.type)) {
        const bool up = input.type == InputType::KeyUp;
        if (!input.alt && !input.repeat) {
            PutTag(up ? kKeyUp : kKeyDown, a);
        } else {
            PutTag(kKey, a);
            bytes_.push_back(uint8_t((up ? kFlagUp : 0) | (input.alt ? kFlagAlt : 0) |
                                     (input.repeat ? kFlagRepeat : 0)));
        }
        bytes_.push_back(uint8_t(input.vk));
    } else if (input.type == InputType::BarCommand) {
        PutTag(kBar, a);
        PutVarint(input.item);
    } else if (input.type >= InputType::Click && input.type <= InputType::Drag) {
        PutTag(kPointer, a);
        bytes_.push_back(uint8_t(int(input.type) - int(InputType::Click)));
        PutVarint(ZigZag(input.x));
        PutVarint(ZigZag(input.y));
    } else {
        PutTag(kWindow, a);
        bytes_.push_back(uint8_t(int(input.type) - int(InputType::Minimize)));
    }
    lastInput_ = input;
    haveLastInput_ = true;
    lastWasInput_ = true;
    return true;
}

void StreamWriter::TickCount(uint32_t value) {
    WritePending();
    PutTag(kTicks, 0);
    PutVarint(ZigZag(int32_t(value - lastTicks_)));
    lastTicks_ = value;
    lastWasInput_ = false;
}

bool StreamWriter::Desktop(int width, int height, std::string *error) {
    if (width < 1 || width > 65535 || height < 1 || height > 65535) {
        return Refuse(error, "desktop size " + std::to_string(width) + " x " +
                                 std::to_string(height) + " is not within 1..65535");
    }
    WritePending();
    PutTag(kDesktop, 0);
    PutVarint(uint64_t(width));
    PutVarint(uint64_t(height));
    lastWasInput_ = false;
    return true;
}

void StreamWriter::Refused() {
    WritePending();
    PutTag(kRefused, 0);
    lastWasInput_ = false;
}

bool StreamWriter::Add(const Item &item, std::string *error) {
    switch (item.kind) {
    case Item::Fire:
        return Fire(item.timer, item.count, error);
    case Item::Input:
        return Input(item.input, item.newDelivery, error);
    case Item::TickCount:
        TickCount(item.value);
        return true;
    case Item::Desktop:
        return Desktop(item.width, item.height, error);
    case Item::Refused:
        Refused();
        return true;
    }
    return Refuse(error, "unknown item kind " + std::to_string(int(item.kind)));
}

void StreamWriter::Flush() {
    WritePending();
}

void StreamWriter::Clear() {
    *this = StreamWriter();
}

} // namespace zplat::replay
