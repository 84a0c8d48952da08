// The games kept after play: a table of rows (score, level reached, length,
// date, the final status line and the replay's file name), the rule that
// bounds it (the best kKeepBest and the last kKeepLast games stay), the
// table's text form, the listing `zorvak --scores` prints, and on the
// desktop the store under $XDG_DATA_HOME/zorvak/.  docs/replays.md has the
// layout and the rules.
//
// The rule, the text form and the listing are plain C++, shared with the web
// page; the store (StoreDirectory and what follows it) is the desktop's.
#ifndef ZORVAK_PLATFORM_KEPT_GAMES_H
#define ZORVAK_PLATFORM_KEPT_GAMES_H

#include <cstdint>
#include <string>
#include <vector>

namespace zplat::replay {

constexpr size_t kKeepBest = 10;
constexpr size_t kKeepLast = 10;
// A replay's file name: letters, digits, '-', '_' and '.', not starting with
// '.', ending in ".zvr", at most this long.
constexpr size_t kMaxReplayName = 64;

struct GameRow {
    // The table's serial for the game: 1 for the first one kept, then 2, ...
    // Among games of the same date the lower number is the earlier game.
    uint32_t number = 0;
    int32_t score = 0;
    int32_t level = 0;  // the level reached, 0..1000000
    uint32_t ticks = 0; // game ticks, 20 a second
    int64_t date = 0;   // when it ended, Unix seconds, 0..kMaxDate
    std::string status; // the final status line, printable ASCII, at most 127 bytes
    std::string replay; // the replay's file name (IsReplayName)

    bool operator==(const GameRow &) const = default;
};

bool IsReplayName(const std::string &name);

// True when a ranks above b: a higher score, or on equal scores the earlier
// game (by date, then by number).
bool RanksAbove(const GameRow &a, const GameRow &b);
// The rows best first: rows[i] has rank i + 1.
std::vector<GameRow> ByRank(std::vector<GameRow> rows);

// The rows that stay when `added` joins `rows`: the best kKeepBest by rank
// and the last kKeepLast by date (then number), best first.  The rest go
// into *dropped (which may be null), their replays to be deleted.
std::vector<GameRow> KeepPolicy(std::vector<GameRow> rows, const GameRow &added,
                                std::vector<GameRow> *dropped);

// The table as the store keeps it: the number the next game gets, and the
// rows.
struct GameTable {
    uint32_t nextNumber = 1;
    std::vector<GameRow> rows;

    bool operator==(const GameTable &) const = default;
};

// A table's text form: a header line with the form's version and the next
// number, then one row per line, tab-separated, best first.
std::string TableText(const GameTable &table);
// Reads it back, checking every line and field (and that numbers and replay
// names are distinct and below nextNumber); false with "line N: ..." when
// anything is wrong.
bool ParseTable(const std::string &text, GameTable *table, std::string *error);

// The listing for `zorvak --scores`: a heading, then one line per row best
// first with aligned columns: rank, score, level, time (m:ss), date
// (YYYY-MM-DD HH:MM, local time), replay.  With no rows, a line that says so.
std::string FormatTable(const std::vector<GameRow> &rows);

// ---- The desktop store (not in the web build) ----
//
//   DIR/games.tsv      the table (TableText)
//   DIR/replays/*.zvr  the replays its rows name
//   DIR/lock           taken (flock) by whoever changes the table

// The store's folder: $XDG_DATA_HOME/zorvak, or $HOME/.local/share/zorvak when
// XDG_DATA_HOME is unset, empty or not absolute.  False when neither gives an
// absolute path.  Makes nothing.
bool StoreDirectory(std::string *dir, std::string *error);

// The table at DIR, for listing: a missing table (or folder) is an empty
// one.  Changes nothing, takes no lock.  False with "PATH: ..." when the
// table cannot be read or is damaged.
bool ReadGameTable(const std::string &dir, GameTable *table, std::string *error);

// The path of a row's replay in the store at DIR.
std::string ReplayPath(const std::string &dir, const GameRow &row);

struct KeptGame {
    GameRow row;        // as kept: with its number and replay name
    std::string notice; // one line to show when something was repaired (a damaged table set aside)
};

// Keeps a finished game: writes `replayFile` under a new name, then under
// the store's lock reads the table, gives `game` (whose number and replay
// name are ignored) the next number, applies KeepPolicy, writes the table
// anew (temporary file, fsync, rename) and deletes the replays that fell out.
// A damaged table is renamed aside (games.tsv.damaged-DATE, never deleted)
// and a new one begun; *notice then says so.  A folder that cannot be made
// or written, or a full disk: false with one line in *error, and no file
// half written or left behind.
bool KeepGame(const std::string &dir, const std::vector<uint8_t> &replayFile, const GameRow &game,
              KeptGame *kept, std::string *error);

} // namespace zplat::replay

#endif
