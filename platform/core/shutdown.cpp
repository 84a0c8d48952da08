// Teardown: every window, class, timer, queued message and GDI object
// forgotten without a message sent (backend.h, ShutdownPlatform).
#include "platform/backend.h"
#include "platform/core/journal_hooks.h"
#include "platform/core/state.h"

namespace zplat {

void ShutdownPlatform() {
    State &s = St();
    Backend &backend = CurrentBackend();
    for (void *h : HandlesOf(HType::Window)) {
        Window *w = GetWindow(static_cast<HWND>(h));
        if (w && w->nativeMade) {
            backend.DestroyNativeWindow(static_cast<HWND>(h));
        }
    }
    // Free every object but keep the slots' generations, so that a handle
    // from before stays stale for good.
    for (size_t i = 1; i < s.slots.size(); ++i) {
        if (s.slots[i].type != HType::None) {
            s.slots[i].type = HType::None;
            s.slots[i].object.reset();
            s.freeSlots.push_back(i);
        }
    }
    s.classes.clear();
    s.posted.clear();
    s.input.clear();
    s.arrived.clear();
    s.timers.clear();
    s.quitPending = false;
    s.quitCode = 0;
    s.dropDown = DropDown{};
    s.desktop = nullptr;
    s.stockBitmap = nullptr;
    s.arrow = nullptr;
    for (auto &b : s.stockBrushes) {
        b = nullptr;
    }
    // The next program starts with no pause, no notice and no windows known
    // to a record.
    ResetJournalState();
}

} // namespace zplat
