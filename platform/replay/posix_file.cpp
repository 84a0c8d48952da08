// Whole files read and written on POSIX systems; see posix_file.h.
#include "platform/replay/posix_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zplat::replay::posix {

namespace {

bool SystemFault(const std::string &what, std::string *why) {
    *why = what + ": " + std::strerror(errno);
    return false;
}

bool WriteAll(int fd, const std::vector<uint8_t> &bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        done += size_t(n);
    }
    return true;
}

// Writes, syncs and closes fd; on failure errno says why.
bool FinishFile(int fd, const std::vector<uint8_t> &bytes) {
    if (!WriteAll(fd, bytes) || fsync(fd) != 0) {
        const int saved = errno;
        close(fd);
        errno = saved;
        return false;
    }
    return close(fd) == 0;
}

} // namespace

bool WriteNewFile(const std::string &path, const std::vector<uint8_t> &bytes, int *errorNumber,
                  std::string *why) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        *errorNumber = errno;
        return SystemFault("cannot create " + path, why);
    }
    if (!FinishFile(fd, bytes)) {
        *errorNumber = errno;
        SystemFault("cannot write " + path, why);
        unlink(path.c_str());
        return false;
    }
    *errorNumber = 0;
    return true;
}

bool ReplaceFile(const std::string &folder, const std::string &name,
                 const std::vector<uint8_t> &bytes, std::string *why) {
    std::string temp = folder + "/." + name + ".XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        return SystemFault("cannot create a temporary file in " + folder, why);
    }
    const std::string path = folder + "/" + name;
    if (!FinishFile(fd, bytes) || chmod(temp.c_str(), 0644) != 0 ||
        rename(temp.c_str(), path.c_str()) != 0) {
        SystemFault("cannot write " + path, why);
        unlink(temp.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

bool MakeFolders(const std::string &folder, std::string *why) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        struct stat info {};
        if (stat(part.c_str(), &info) != 0) {
            if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
                return SystemFault("cannot make the folder " + part, why);
            }
        } else if (!S_ISDIR(info.st_mode)) {
            *why = part + " is not a folder";
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

bool XdgFolder(const char *variable, const char *homePath, const char *what, std::string *dir,
               std::string *error) {
    const char *base = std::getenv(variable);
    if (base != nullptr && base[0] == '/') {
        *dir = std::string(base) + "/zorvak";
        return true;
    }
    const char *home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        *dir = std::string(home) + "/" + homePath + "/zorvak";
        return true;
    }
    *error = std::string("no folder for ") + what + ": neither " + variable +
             " nor HOME is an absolute path";
    return false;
}

void SyncFolder(const std::string &folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace zplat::replay::posix
