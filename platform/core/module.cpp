// The registry of resource modules.
//
// An instance handle is not an address: it is a tag in the high bits and the
// module's number in the low 16 bits, so that a null, unknown or garbage
// handle is recognised without following any pointer.
#include "platform/module.h"

#include <cstdint>
#include <vector>

namespace zplat {
namespace {

constexpr uintptr_t kModuleTag = 0x2D4D0000u;
constexpr uintptr_t kTagMask = ~uintptr_t{0xFFFF};
constexpr size_t kMaxModules = 0xFFFF;

struct Module {
    const Resource *resources;
    size_t count;
};

// Module n has the number n + 1: no module is handle 0.
std::vector<Module> modules;

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool SameNameIgnoringCase(const char *a, const char *b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b)) {
            return false;
        }
    }
    return *a == *b;
}

} // namespace

HINSTANCE RegisterModule(const Resource *resources, size_t count) {
    if ((resources == nullptr && count != 0) || modules.size() >= kMaxModules) {
        return nullptr;
    }
    modules.push_back(Module{resources, count});
    return reinterpret_cast<HINSTANCE>(kModuleTag | modules.size());
}

const Resource *FindResourceIn(HINSTANCE module, ResourceType type, LPCSTR name) {
    if (name == nullptr || IS_INTRESOURCE(name)) {
        return nullptr;
    }
    const uintptr_t value = reinterpret_cast<uintptr_t>(module);
    if ((value & kTagMask) != kModuleTag) {
        return nullptr;
    }
    const size_t number = value & 0xFFFF;
    if (number == 0 || number > modules.size()) {
        return nullptr;
    }
    const Module &found = modules[number - 1];
    for (size_t i = 0; i < found.count; ++i) {
        const Resource &r = found.resources[i];
        if (r.type == type && r.name != nullptr && SameNameIgnoringCase(r.name, name)) {
            return &r;
        }
    }
    return nullptr;
}

} // namespace zplat
