// The stream's items: how each is made, the canonical form of an input, and
// the CRC-32 that the file form ends with.
#include "platform/replay.h"

#include <array>

namespace zplat::replay {

namespace {

// The table of the reflected polynomial 0xEDB88320, as zlib uses it.
constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

} // namespace

uint32_t Crc32(const uint8_t *data, size_t size, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc = kCrcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

InputRecord Canonical(InputRecord input) {
    InputRecord out;
    out.type = input.type;
    out.window = input.window;
    switch (input.type) {
    case InputType::KeyDown:
    case InputType::KeyUp:
        out.vk = input.vk;
        out.alt = input.alt;
        out.repeat = input.repeat;
        break;
    case InputType::Click:
    case InputType::Release:
    case InputType::Drag:
        out.x = input.x;
        out.y = input.y;
        break;
    case InputType::BarCommand:
        out.item = input.item;
        break;
    default:
        break;
    }
    return out;
}

Item FireItem(uint32_t timer, uint32_t count) {
    Item item;
    item.kind = Item::Fire;
    item.timer = timer;
    item.count = count;
    return item;
}

Item InputItem(const InputRecord &input, bool newDelivery) {
    Item item;
    item.kind = Item::Input;
    item.input = input;
    item.newDelivery = newDelivery;
    return item;
}

Item TickCountItem(uint32_t value) {
    Item item;
    item.kind = Item::TickCount;
    item.value = value;
    return item;
}

Item DesktopItem(int width, int height) {
    Item item;
    item.kind = Item::Desktop;
    item.width = width;
    item.height = height;
    return item;
}

Item RefusedItem() {
    Item item;
    item.kind = Item::Refused;
    return item;
}

} // namespace zplat::replay
