// Reading a whole regular file safely (platform/regular_file.h).
#include "platform/regular_file.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zplat {

bool ReadRegularFile(const std::string &path, size_t maxSize, std::vector<unsigned char> *bytes,
                     std::string *why, int *errorNumber) {
    int ignored = 0;
    if (errorNumber == nullptr) {
        errorNumber = &ignored;
    }
    bytes->clear();
    *errorNumber = 0;
    // Non-blocking, so that opening a FIFO with no writer does not wait.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *errorNumber = errno;
        *why = std::strerror(errno);
        return false;
    }
    struct stat info {};
    bool ok = false;
    if (fstat(fd, &info) != 0) {
        *errorNumber = errno;
        *why = std::strerror(errno);
    } else if (S_ISDIR(info.st_mode)) {
        *why = "it is a folder, not a file";
    } else if (!S_ISREG(info.st_mode)) {
        *why = "it is not a regular file (a device, FIFO or socket)";
    } else if (uint64_t(info.st_size) > maxSize) {
        *why = "it is larger than " + std::to_string(maxSize) + " bytes (" +
               std::to_string(int64_t(info.st_size)) + ")";
    } else {
        bytes->resize(size_t(info.st_size));
        size_t done = 0;
        ok = true;
        while (done < bytes->size()) {
            const ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                // Shrunk while being read, or a read error.
                *errorNumber = got < 0 ? errno : 0;
                *why = got < 0 ? std::strerror(errno) : "it changed while being read";
                ok = false;
                break;
            }
            done += size_t(got);
        }
    }
    close(fd);
    if (!ok) {
        bytes->clear();
    }
    return ok;
}

} // namespace zplat
