// What the Linux program does: play and keep each game, list the kept
// games, watch one again, verify replays.
#include "platform/sdl/program/runs.h"

#include "platform/game_watch.h"
#include "platform/headless/headless.h"
#include "platform/journal.h"
#include "platform/kept_games.h"
#include "resources/game_module.h"
#include "shell/process_start.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>

namespace zsdl {

namespace {

using zplat::replay::GameRow;
using zplat::replay::GameTable;

// Keeps a game that ended in the store; a store that cannot take it costs
// one line on stderr, and the game plays on.
void Keep(const zplat::GameRecord &record) {
    std::vector<uint8_t> file;
    std::string error;
    std::string dir;
    GameRow row;
    zplat::replay::KeptGame kept;
    if (!zplat::KeptFileAndRow(record, ZORVAK_VERSION, int64_t(std::time(nullptr)), &file, &row,
                               &error) ||
        !zplat::replay::StoreDirectory(&dir, &error) ||
        !zplat::replay::KeepGame(dir, file, row, &kept, &error)) {
        std::fprintf(stderr, "zorvak: the game was not kept: %s\n", error.c_str());
        return;
    }
    if (!kept.notice.empty()) {
        std::fprintf(stderr, "zorvak: %s\n", kept.notice.c_str());
    }
}

bool ReadTable(GameTable *table, std::string *dir, std::FILE *err) {
    std::string error;
    if (!zplat::replay::StoreDirectory(dir, &error) ||
        !zplat::replay::ReadGameTable(*dir, table, &error)) {
        std::fprintf(err, "zorvak: %s\n", error.c_str());
        return false;
    }
    return true;
}

} // namespace

bool FindReplay(const std::string &what, zplat::replay::Replay *replay, std::FILE *err) {
    std::string path = what;
    char *end = nullptr;
    errno = 0;
    const long rank = std::strtol(what.c_str(), &end, 10);
    if (!what.empty() && *end == '\0' && errno == 0 && what[0] >= '0' && what[0] <= '9') {
        GameTable table;
        std::string dir;
        if (!ReadTable(&table, &dir, err)) {
            return false;
        }
        const std::vector<GameRow> rows = zplat::replay::ByRank(table.rows);
        if (rank < 1 || size_t(rank) > rows.size()) {
            Wrong(err, "no kept game has rank " + what + " (" + std::to_string(rows.size()) +
                           " kept: see zorvak --scores)");
            return false;
        }
        path = zplat::replay::ReplayPath(dir, rows[size_t(rank - 1)]);
    }
    std::string error;
    if (!zplat::replay::ReadReplayFile(path, replay, &error)) {
        std::fprintf(err, "zorvak: %s\n", error.c_str());
        return false;
    }
    return true;
}

zplat::ProgramEntry Game() {
    return zplat::ProgramEntry{
        [] { return WinMain(GameModule(), NULL, const_cast<LPSTR>(""), SW_SHOWDEFAULT); },
        [] { RestoreProcessStart(); }};
}

int Play(bool newGame) {
    return zplat::PlayRecorded(Game(), Keep, newGame);
}

int PrintScores(std::FILE *out, std::FILE *err) {
    GameTable table;
    std::string dir;
    if (!ReadTable(&table, &dir, err)) {
        return 1;
    }
    std::fputs(zplat::replay::FormatTable(zplat::replay::ByRank(table.rows)).c_str(), out);
    return 0;
}

int Watch(const zplat::replay::Replay &replay, int speed) {
    if (zplat::WatchReplay(Game(), replay, speed) == zplat::WatchEnd::Quit) {
        return 0;
    }
    zplat::ShutdownPlatform();
    return Play(true);
}

int Verify(const std::vector<std::string> &files, std::FILE *out, std::FILE *err) {
    int worst = 0;
    for (const std::string &file : files) {
        zplat::replay::Replay replay;
        std::string error;
        if (!zplat::replay::ReadReplayFile(file, &replay, &error)) {
            std::fprintf(err, "zorvak: %s\n", error.c_str());
            worst = 2;
            continue;
        }
        const headless::Verified v = headless::VerifyReplay(Game(), replay);
        if (v.matches) {
            std::fprintf(out, "%s: %s (as recorded, after %llu ticks)\n", file.c_str(),
                         v.title.c_str(), static_cast<unsigned long long>(v.ticks));
            continue;
        }
        std::string how = v.title + " after " + std::to_string(v.ticks) +
                          " ticks, but the replay recorded " + replay.header.status + " after " +
                          std::to_string(replay.header.gameTicks) + " ticks";
        if (v.title == replay.header.status && v.ticks == replay.header.gameTicks) {
            how = v.title + " as recorded, but the picture differs";
        }
        if (!v.error.empty()) {
            how += " (" + v.error + ")";
        }
        std::fprintf(out, "%s: DIFFERS: %s\n", file.c_str(), how.c_str());
        worst = std::max(worst, 1);
    }
    return worst;
}

} // namespace zsdl
