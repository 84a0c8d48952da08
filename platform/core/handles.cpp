// The handle table.  A handle is a small integer, not an address: the slot
// index in its low 20 bits and the slot's generation above them.  A null,
// stale (freed, generation moved on) or wrong-type handle finds nothing, so
// every call can refuse it without touching memory.
#include "platform/core/state.h"
#include "platform/window_inspection.h"

#include <algorithm>

namespace zplat {

namespace {

constexpr int kIndexBits = 20;
constexpr uintptr_t kIndexMask = (uintptr_t(1) << kIndexBits) - 1;
// A program holds a device context or two at a time; a few spares suffice.
constexpr size_t kSpareDcs = 8;

Slot *SlotOf(const void *handle, HType type) {
    auto value = reinterpret_cast<uintptr_t>(handle);
    size_t index = value & kIndexMask;
    uintptr_t gen = value >> kIndexBits;
    State &s = St();
    if (index == 0 || index >= s.slots.size()) {
        return nullptr;
    }
    Slot &slot = s.slots[index];
    if (slot.type == HType::None || slot.gen != gen) {
        return nullptr;
    }
    if (type != HType::None && slot.type != type) {
        return nullptr;
    }
    return &slot;
}

} // namespace

void *NewHandle(HType type, std::unique_ptr<Object> object) {
    State &s = St();
    size_t index;
    if (!s.freeSlots.empty()) {
        index = s.freeSlots.back();
        s.freeSlots.pop_back();
    } else {
        index = s.slots.size();
        if (index > kIndexMask) {
            return nullptr;
        }
        s.slots.emplace_back();
    }
    Slot &slot = s.slots[index];
    slot.gen = (slot.gen + 1) & 0xFFFFFF;
    if (slot.gen == 0) {
        slot.gen = 1;
    }
    slot.type = type;
    slot.object = std::move(object);
    return reinterpret_cast<void *>((uintptr_t(slot.gen) << kIndexBits) | index);
}

Object *Lookup(const void *handle, HType type) {
    Slot *slot = SlotOf(handle, type);
    return slot ? slot->object.get() : nullptr;
}

HType TypeOf(const void *handle) {
    Slot *slot = SlotOf(handle, HType::None);
    return slot ? slot->type : HType::None;
}

bool FreeHandle(const void *handle, HType type) {
    Slot *slot = SlotOf(handle, type);
    if (!slot) {
        return false;
    }
    // Destroy the object after the slot is marked free, in case its
    // destructor looks handles up.
    std::unique_ptr<Object> dead = std::move(slot->object);
    slot->type = HType::None;
    State &s = St();
    s.freeSlots.push_back(size_t(reinterpret_cast<uintptr_t>(handle) & kIndexMask));
    if (type == HType::Dc && s.spareDcs.size() < kSpareDcs) {
        if (s.spareDcs.capacity() < kSpareDcs) {
            s.spareDcs.reserve(kSpareDcs);
        }
        s.spareDcs.push_back(std::move(dead));
    }
    return true;
}

std::unique_ptr<Object> ReuseObject(HType type) {
    State &s = St();
    if (type != HType::Dc || s.spareDcs.empty()) {
        return nullptr;
    }
    std::unique_ptr<Object> object = std::move(s.spareDcs.back());
    s.spareDcs.pop_back();
    return object;
}

size_t HandleSlots() {
    return St().slots.size();
}

void *HandleAt(size_t index, HType type) {
    State &s = St();
    if (index == 0 || index >= s.slots.size() || s.slots[index].type != type) {
        return nullptr;
    }
    return reinterpret_cast<void *>((uintptr_t(s.slots[index].gen) << kIndexBits) | index);
}

std::vector<void *> HandlesOf(HType type) {
    std::vector<void *> out;
    for (size_t i = 1; i < HandleSlots(); ++i) {
        if (void *h = HandleAt(i, type)) {
            out.push_back(h);
        }
    }
    return out;
}

HandleCounts CountHandles() {
    HandleCounts counts;
    const State &s = St();
    for (size_t i = 1; i < s.slots.size(); ++i) {
        switch (s.slots[i].type) {
        case HType::Window:
            ++counts.windows;
            break;
        case HType::Dc:
            ++counts.dcs;
            break;
        case HType::Bitmap:
            ++counts.bitmaps;
            break;
        case HType::Icon:
            ++counts.icons;
            break;
        case HType::Menu:
            ++counts.menus;
            break;
        case HType::Brush:
            ++counts.brushes;
            break;
        case HType::Cursor:
            ++counts.cursors;
            break;
        default:
            break;
        }
        if (s.slots[i].type != HType::None) {
            ++counts.total;
        }
    }
    return counts;
}

} // namespace zplat
