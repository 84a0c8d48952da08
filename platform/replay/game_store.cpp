// The kept games on the desktop: DIR/games.tsv, DIR/replays/, DIR/lock.
// Every change of the table is made under an exclusive lock on DIR/lock and
// written whole to a temporary file that is renamed over the table, so two
// instances never lose a row and a reader sees the old table or the new one.
#include "platform/kept_games.h"
#include "platform/regular_file.h"
#include "platform/replay.h"
#include "platform/replay/posix_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zplat::replay {

namespace {

const char kTableName[] = "games.tsv";
constexpr size_t kMaxTableSize = size_t(1) << 20;
// How long KeepGame waits for another instance to let go of the lock.
constexpr int kLockWaitMs = 10000;
// A temporary table is left from a run that stopped half way once it is this
// old (a live instance takes moments).
constexpr time_t kStaleSeconds = 3600;

bool Fail(const std::string &why, std::string *error) {
    *error = "cannot keep the game: " + why;
    return false;
}

// "YYYYMMDD-HHMMSS" in UTC.
std::string Stamp(int64_t date) {
    const time_t t = time_t(date);
    struct tm utc {};
    char text[32] = "00000000-000000";
    if (gmtime_r(&t, &utc) != nullptr) {
        std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &utc);
    }
    return text;
}

// The exclusive lock on the store, held until it goes out of scope.
class StoreLock {
public:
    StoreLock() = default;
    StoreLock(const StoreLock &) = delete;
    StoreLock &operator=(const StoreLock &) = delete;
    ~StoreLock() {
        if (fd_ >= 0) {
            close(fd_); // lets go of the lock
        }
    }

    bool Take(const std::string &path, std::string *why) {
        fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0) {
            *why = "cannot open the lock " + path + ": " + std::strerror(errno);
            return false;
        }
        // Polled rather than waited on, so that an instance stopped while
        // holding it costs this one a message, not its game.
        for (int waited = 0; flock(fd_, LOCK_EX | LOCK_NB) != 0; waited += 10) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= kLockWaitMs) {
                *why = "cannot take the lock " + path + ": " +
                       (waited >= kLockWaitMs ? "another instance holds it" : std::strerror(errno));
                return false;
            }
            const timespec pause = {0, 10 * 1000 * 1000};
            nanosleep(&pause, nullptr);
        }
        return true;
    }

private:
    int fd_ = -1;
};

// Writes the replay under a new name in folder: *name.
bool WriteNewReplay(const std::string &folder, int64_t date, const std::vector<uint8_t> &bytes,
                    std::string *name, std::string *why) {
    for (int k = 1; k <= 1000; ++k) {
        *name = Stamp(date) + "-" + std::to_string(k) + ".zvr";
        int errorNumber = 0;
        if (posix::WriteNewFile(folder + "/" + *name, bytes, &errorNumber, why)) {
            posix::SyncFolder(folder);
            return true;
        }
        if (errorNumber != EEXIST) {
            return false;
        }
    }
    *why = "no free name for a replay in " + folder;
    return false;
}

// Renames a damaged table to games.tsv.damaged-STAMP (never over another).
bool SetAside(const std::string &dir, const std::string &fault, std::string *notice,
              std::string *why) {
    const std::string table = dir + "/" + kTableName;
    std::string aside = table + ".damaged-" + Stamp(int64_t(time(nullptr)));
    struct stat info {};
    for (int k = 2; lstat(aside.c_str(), &info) == 0; ++k) {
        aside = table + ".damaged-" + Stamp(int64_t(time(nullptr))) + "-" + std::to_string(k);
    }
    if (rename(table.c_str(), aside.c_str()) != 0) {
        *why = "cannot set the damaged table " + table + " aside: " + std::strerror(errno);
        return false;
    }
    *notice = "kept games: " + table + " was damaged (" + fault + "); it is kept as " + aside +
              " and a new table is begun";
    return true;
}

// The table as it stands (empty if there is none); a damaged one is set aside.
bool LoadTable(const std::string &dir, GameTable *table, std::string *notice, std::string *why) {
    const std::string path = dir + "/" + kTableName;
    std::vector<uint8_t> bytes;
    int errorNumber = 0;
    *table = GameTable();
    if (!ReadRegularFile(path, kMaxTableSize, &bytes, why, &errorNumber)) {
        if (errorNumber == ENOENT) {
            return true;
        }
        if (errorNumber != 0) {
            *why = "cannot read " + path + ": " + *why;
            return false;
        }
        return SetAside(dir, *why, notice, why);
    }
    std::string fault;
    if (!ParseTable(std::string(bytes.begin(), bytes.end()), table, &fault)) {
        *table = GameTable();
        return SetAside(dir, fault, notice, why);
    }
    return true;
}

// Deletes the temporary tables that a run stopped half way left behind, once
// they are old enough not to be another instance's work in progress.  (A
// replay that no row names is left alone: it may belong to a table set
// aside.)
void SweepTemporaries(const std::string &dir) {
    const std::string prefix = std::string(".") + kTableName + ".";
    const time_t old = time(nullptr) - kStaleSeconds;
    DIR *listing = opendir(dir.c_str());
    if (listing == nullptr) {
        return;
    }
    for (const dirent *e = readdir(listing); e != nullptr; e = readdir(listing)) {
        const std::string name = e->d_name;
        struct stat info {};
        if (name.rfind(prefix, 0) == 0 &&
            fstatat(dirfd(listing), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_mtime < old) {
            unlinkat(dirfd(listing), name.c_str(), 0);
        }
    }
    closedir(listing);
}

// Why a row cannot be kept as it is, or an empty string: its fields as the
// table's reader would take them.
std::string RowFault(GameRow row) {
    row.number = 1;
    row.replay = "check.zvr";
    GameTable table{2, {row}};
    GameTable back;
    std::string fault;
    return ParseTable(TableText(table), &back, &fault) ? "" : fault.substr(fault.find(": ") + 2);
}

} // namespace

bool StoreDirectory(std::string *dir, std::string *error) {
    return posix::XdgFolder("XDG_DATA_HOME", ".local/share", "kept games", dir, error);
}

std::string ReplayPath(const std::string &dir, const GameRow &row) {
    return dir + "/replays/" + row.replay;
}

bool ReadGameTable(const std::string &dir, GameTable *table, std::string *error) {
    const std::string path = dir + "/" + kTableName;
    std::vector<uint8_t> bytes;
    int errorNumber = 0;
    std::string why;
    if (!ReadRegularFile(path, kMaxTableSize, &bytes, &why, &errorNumber)) {
        if (errorNumber == ENOENT || errorNumber == ENOTDIR) {
            *table = GameTable();
            return true;
        }
        *error = path + ": cannot read the table of kept games: " + why;
        return false;
    }
    if (!ParseTable(std::string(bytes.begin(), bytes.end()), table, &why)) {
        *error = path + ":" + why.substr(std::strlen("line "));
        return false;
    }
    return true;
}

bool KeepGame(const std::string &dir, const std::vector<uint8_t> &replayFile, const GameRow &game,
              KeptGame *kept, std::string *error) {
    GameRow row = game;
    std::string why = RowFault(row);
    if (!why.empty()) {
        return Fail("its row has " + why, error);
    }
    const std::string replays = dir + "/replays";
    if (!posix::MakeFolders(replays, &why) ||
        !WriteNewReplay(replays, row.date, replayFile, &row.replay, &why)) {
        return Fail(why, error);
    }
    StoreLock lock;
    GameTable table;
    std::string notice;
    if (!lock.Take(dir + "/lock", &why) || !LoadTable(dir, &table, &notice, &why)) {
        unlink(ReplayPath(dir, row).c_str());
        return Fail(why, error);
    }
    if (table.nextNumber == UINT32_MAX) {
        unlink(ReplayPath(dir, row).c_str());
        return Fail("the table's game numbers are used up", error);
    }
    row.number = table.nextNumber++;
    std::vector<GameRow> dropped;
    table.rows = KeepPolicy(std::move(table.rows), row, &dropped);
    const std::string text = TableText(table);
    if (!posix::ReplaceFile(dir, kTableName, std::vector<uint8_t>(text.begin(), text.end()),
                            &why)) {
        unlink(ReplayPath(dir, row).c_str());
        return Fail(why, error);
    }
    for (const GameRow &gone : dropped) {
        unlink(ReplayPath(dir, gone).c_str());
    }
    SweepTemporaries(dir);
    kept->row = row;
    kept->notice = notice;
    return true;
}

} // namespace zplat::replay
