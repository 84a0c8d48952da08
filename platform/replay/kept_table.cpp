// The kept games' table as text: what the store writes, and its reading,
// which checks every line so that a damaged or foreign file is noticed.
#include "platform/kept_games.h"
#include "platform/replay.h"

#include <charconv>
#include <set>

namespace zplat::replay {

namespace {

const char kTableMagic[] = "zorvak-games";
constexpr int kTableVersion = 1;
constexpr size_t kMaxRows = 1000;
constexpr int32_t kMaxLevel = 1000000;

std::vector<std::string> SplitTabs(const std::string &line) {
    std::vector<std::string> fields;
    size_t from = 0;
    for (size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', from)) {
        fields.push_back(line.substr(from, tab - from));
        from = tab + 1;
    }
    fields.push_back(line.substr(from));
    return fields;
}

// A whole field as a decimal number within lo..hi.
template <typename T> bool Number(const std::string &field, T lo, T hi, T *out) {
    T v{};
    const char *end = field.data() + field.size();
    const auto [stop, fault] = std::from_chars(field.data(), end, v);
    if (field.empty() || fault != std::errc() || stop != end || v < lo || v > hi) {
        return false;
    }
    *out = v;
    return true;
}

bool Printable(const std::string &s) {
    for (char c : s) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

// One row's fields; an empty string, or what is wrong.
std::string ReadRow(const std::vector<std::string> &f, uint32_t nextNumber, GameRow *row) {
    if (f.size() != 7) {
        return std::to_string(f.size()) + " fields, a row has 7";
    }
    if (!Number<uint32_t>(f[0], 1, nextNumber - 1, &row->number)) {
        return "game number \"" + f[0] + "\" (must be 1.." + std::to_string(nextNumber - 1) + ")";
    }
    if (!Number<int32_t>(f[1], INT32_MIN, INT32_MAX, &row->score)) {
        return "score \"" + f[1] + "\"";
    }
    if (!Number<int32_t>(f[2], 0, kMaxLevel, &row->level)) {
        return "level \"" + f[2] + "\"";
    }
    if (!Number<uint32_t>(f[3], 0, UINT32_MAX, &row->ticks)) {
        return "ticks \"" + f[3] + "\"";
    }
    if (!Number<int64_t>(f[4], 0, kMaxDate, &row->date)) {
        return "date \"" + f[4] + "\"";
    }
    if (!IsReplayName(f[5])) {
        return "replay name \"" + f[5] + "\"";
    }
    row->replay = f[5];
    if (f[6].size() > kMaxStatusLength || !Printable(f[6])) {
        return "a status line that is not at most 127 printable characters";
    }
    row->status = f[6];
    return "";
}

bool ReadHeading(const std::string &line, GameTable *table, std::string *error) {
    const std::vector<std::string> f = SplitTabs(line);
    int version = 0;
    if (f.size() != 3 || f[0] != kTableMagic) {
        *error = "line 1: not a table of kept games";
        return false;
    }
    if (!Number<int>(f[1], 0, 1000000, &version) || version != kTableVersion) {
        *error = "line 1: table version " + f[1] + "; this program reads version " +
                 std::to_string(kTableVersion);
        return false;
    }
    if (!Number<uint32_t>(f[2], 1, UINT32_MAX, &table->nextNumber)) {
        *error = "line 1: next game number \"" + f[2] + "\"";
        return false;
    }
    return true;
}

} // namespace

std::string TableText(const GameTable &table) {
    std::string text = std::string(kTableMagic) + "\t" + std::to_string(kTableVersion) + "\t" +
                       std::to_string(table.nextNumber) + "\n";
    for (const GameRow &r : ByRank(table.rows)) {
        text += std::to_string(r.number) + "\t" + std::to_string(r.score) + "\t" +
                std::to_string(r.level) + "\t" + std::to_string(r.ticks) + "\t" +
                std::to_string(r.date) + "\t" + r.replay + "\t" + r.status + "\n";
    }
    return text;
}

bool ParseTable(const std::string &text, GameTable *table, std::string *error) {
    if (text.empty() || text.back() != '\n') {
        *error = "line 1: the table is empty or its last line is cut off";
        return false;
    }
    GameTable t;
    std::set<uint32_t> numbers;
    std::set<std::string> names;
    size_t line = 1;
    for (size_t from = 0, end = text.find('\n'); end != std::string::npos;
         from = end + 1, end = text.find('\n', from), ++line) {
        const std::string content = text.substr(from, end - from);
        if (line == 1) {
            if (!ReadHeading(content, &t, error)) {
                return false;
            }
            continue;
        }
        GameRow row;
        std::string fault = t.rows.size() == kMaxRows
                                ? "more than " + std::to_string(kMaxRows) + " rows"
                                : ReadRow(SplitTabs(content), t.nextNumber, &row);
        if (fault.empty() && !numbers.insert(row.number).second) {
            fault = "game number " + std::to_string(row.number) + " a second time";
        }
        if (fault.empty() && !names.insert(row.replay).second) {
            fault = "replay " + row.replay + " a second time";
        }
        if (!fault.empty()) {
            *error = "line " + std::to_string(line) + ": " + fault;
            return false;
        }
        t.rows.push_back(std::move(row));
    }
    *table = std::move(t);
    return true;
}

} // namespace zplat::replay
