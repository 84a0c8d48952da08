// The process-wide values of the game and the shell, as a fresh process has
// them.
#ifndef ZORVAK_TESTS_SUPPORT_PROCESS_STATE_H
#define ZORVAK_TESTS_SUPPORT_PROCESS_STATE_H

namespace support {

// Puts every process-wide value of the game and the shell (the object table,
// the game values, the shell's flags and counters, the sprite handles and the
// platform handles) back to what it was before the first test changed any.
// The generator's state is not among them: tests seed it.
void RestoreProcessStart();

} // namespace support

#endif
