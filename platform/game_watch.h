// What the program shows of its game through the Windows calls, read here and
// nowhere else: the status line it writes into its main window's title
// ("Lives: %.2d - Level %.2u - Score: %.5ld"), its New game command (menu
// command 1000), and its game-over picture (the bitmap BMP_GAMEOVER).  The
// notices, the kept games and their replays are built on it.
//
// A game starts at its New game and ends at the game-over picture, the next
// New game or the end of the program.  While recording, each game that ends
// is handed over as a replay: the stream from the program's start to the
// game's end, and what the game came to.
#ifndef ZORVAK_PLATFORM_GAME_WATCH_H
#define ZORVAK_PLATFORM_GAME_WATCH_H

#include "platform/kept_games.h"
#include "platform/platform.h"
#include "platform/replay.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zplat {

// The program's menu command that starts a new game.
constexpr unsigned kNewGameCommand = 1000;

struct StatusLine {
    int lives = 0;
    int level = 0;
    int32_t score = 0;
    bool operator==(const StatusLine &) const = default;
};
// Reads a title in the status line's form; false for any other title.
bool ReadStatusLine(const std::string &title, StatusLine *out);

struct WatchedGame {
    bool running = false;  // between a New game and its end
    bool livesOut = false; // the status line shows no lives left (until the next New game)
    StatusLine status;     // the latest status line
    int levelReached = 0;
};
const WatchedGame &CurrentGame();

// A game that ended while recording, as a replay.
struct GameRecord {
    replay::ReplayHeader header; // programVersion and date left for the receiver
    std::vector<uint8_t> stream;
    int levelReached = 0;
    int32_t score = 0;
};
void OnGameRecorded(std::function<void(const GameRecord &)> receiver);

// A game that ended as it is kept: its .zvr file, made by the program of
// `version` on `date` (Unix seconds), and its row of the kept games' table
// (its number and replay name are the store's to give).  False, with the
// writer's message, for a record the file cannot hold.
bool KeptFileAndRow(const GameRecord &record, const char *version, int64_t date,
                    std::vector<uint8_t> *file, replay::GameRow *row, std::string *error);

// FNV-1a (64 bits) over a window's client pixels, a 32-bit word (0x00RRGGBB)
// at a time: the picture a replay's outcome holds.  0 when there is no window.
uint64_t PictureHash(HWND window);

} // namespace zplat

#endif
