// Reading a whole file that a user or a script names, safely: only a regular
// file (or a link to one) of at most maxSize bytes is read; a folder, a
// device, a FIFO or a socket is refused without waiting on it, and the size
// is checked before anything is read.  Used by the desktop program (replays,
// the kept games' table, its settings) and by the build's tools.
#ifndef ZORVAK_PLATFORM_REGULAR_FILE_H
#define ZORVAK_PLATFORM_REGULAR_FILE_H

#include <cstddef>
#include <string>
#include <vector>

namespace zplat {

// On failure returns false with the reason in *why and errno's value in
// *errorNumber (may be null; 0 when the file is there but refused).
bool ReadRegularFile(const std::string &path, size_t maxSize, std::vector<unsigned char> *bytes,
                     std::string *why, int *errorNumber = nullptr);

} // namespace zplat

#endif
