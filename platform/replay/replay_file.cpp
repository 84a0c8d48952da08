// A replay read from disk.
#include "platform/regular_file.h"
#include "platform/replay.h"
#include "platform/replay/posix_file.h"

namespace zplat::replay {

bool ReadReplayFile(const std::string &path, Replay *out, std::string *error) {
    std::vector<uint8_t> bytes;
    std::string why;
    int errorNumber = 0;
    if (!ReadRegularFile(path, kMaxFileSize, &bytes, &why, &errorNumber)) {
        *error = path + ": cannot read the replay: " + why;
        return false;
    }
    if (!ReadReplay(bytes.data(), bytes.size(), out, &why)) {
        *error = path + ": " + why;
        return false;
    }
    return true;
}

} // namespace zplat::replay
