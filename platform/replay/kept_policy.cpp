// Which kept games stay: the best by score and the latest by date.
#include "platform/kept_games.h"

#include <algorithm>
#include <numeric>

namespace zplat::replay {

namespace {

bool Later(const GameRow &a, const GameRow &b) {
    return a.date != b.date ? a.date > b.date : a.number > b.number;
}

} // namespace

bool IsReplayName(const std::string &name) {
    static const std::string suffix = ".zvr";
    if (name.size() <= suffix.size() || name.size() > kMaxReplayName || name[0] == '.' ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_' || c == '.';
    });
}

bool RanksAbove(const GameRow &a, const GameRow &b) {
    if (a.score != b.score) {
        return a.score > b.score;
    }
    if (a.date != b.date) {
        return a.date < b.date;
    }
    return a.number < b.number;
}

std::vector<GameRow> ByRank(std::vector<GameRow> rows) {
    std::stable_sort(rows.begin(), rows.end(), RanksAbove);
    return rows;
}

std::vector<GameRow> KeepPolicy(std::vector<GameRow> rows, const GameRow &added,
                                std::vector<GameRow> *dropped) {
    rows.push_back(added);
    rows = ByRank(std::move(rows));
    std::vector<bool> keep(rows.size(), false);
    std::fill_n(keep.begin(), std::min(kKeepBest, rows.size()), true);
    std::vector<size_t> latest(rows.size());
    std::iota(latest.begin(), latest.end(), size_t(0));
    std::stable_sort(latest.begin(), latest.end(),
                     [&rows](size_t a, size_t b) { return Later(rows[a], rows[b]); });
    for (size_t i = 0; i < std::min(kKeepLast, latest.size()); ++i) {
        keep[latest[i]] = true;
    }
    std::vector<GameRow> kept;
    if (dropped != nullptr) {
        dropped->clear();
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        if (keep[i]) {
            kept.push_back(std::move(rows[i]));
        } else if (dropped != nullptr) {
            dropped->push_back(std::move(rows[i]));
        }
    }
    return kept;
}

} // namespace zplat::replay
