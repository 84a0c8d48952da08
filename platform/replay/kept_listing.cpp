// The kept games as `zorvak --scores` lists them.
#include "platform/kept_games.h"

#include <algorithm>
#include <array>
#include <ctime>

namespace zplat::replay {

namespace {

constexpr size_t kColumns = 6;
using Cells = std::array<std::string, kColumns>;

// Game ticks, 20 a second, as minutes and seconds.
std::string Duration(uint32_t ticks) {
    const uint32_t seconds = ticks / 20;
    const uint32_t s = seconds % 60;
    return std::to_string(seconds / 60) + ":" + (s < 10 ? "0" : "") + std::to_string(s);
}

std::string LocalDate(int64_t date) {
    const time_t t = time_t(date);
    struct tm local {};
    char text[32] = "";
    if (localtime_r(&t, &local) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local) == 0) {
        return "?";
    }
    return text;
}

} // namespace

std::string FormatTable(const std::vector<GameRow> &rows) {
    if (rows.empty()) {
        return "No games kept yet.\n";
    }
    std::vector<Cells> lines = {{"Rank", "Score", "Level", "Time", "Date", "Replay"}};
    const std::vector<GameRow> ranked = ByRank(rows);
    for (size_t i = 0; i < ranked.size(); ++i) {
        const GameRow &r = ranked[i];
        lines.push_back({std::to_string(i + 1), std::to_string(r.score), std::to_string(r.level),
                         Duration(r.ticks), LocalDate(r.date), r.replay});
    }
    std::array<size_t, kColumns> width{};
    for (const Cells &cells : lines) {
        for (size_t c = 0; c < kColumns; ++c) {
            width[c] = std::max(width[c], cells[c].size());
        }
    }
    std::string text;
    for (const Cells &cells : lines) {
        std::string line;
        for (size_t c = 0; c < kColumns; ++c) {
            // Numbers and times to the right, the date and the name to the left.
            const std::string pad(width[c] - cells[c].size(), ' ');
            line += (c == 0 ? "" : "  ") + (c < 4 ? pad + cells[c] : cells[c] + pad);
        }
        text += line.substr(0, line.find_last_not_of(' ') + 1) + "\n";
    }
    return text;
}

} // namespace zplat::replay
