// The kept games' rule, the table's text form and the --scores listing.
#include "platform/kept_games.h"
#include "platform/replay.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <random>

namespace {

using namespace zplat::replay;

GameRow Row(uint32_t number, int32_t score, int64_t date) {
    GameRow row;
    row.number = number;
    row.score = score;
    row.level = 1 + score / 1000;
    row.ticks = 20 * 95;
    row.date = date;
    row.status = "Zorvak - Lives: 0  Level: 1  Score: " + std::to_string(score);
    row.replay = "game-" + std::to_string(number) + ".zvr";
    return row;
}

std::vector<uint32_t> Numbers(const std::vector<GameRow> &rows) {
    std::vector<uint32_t> numbers;
    for (const GameRow &row : rows) {
        numbers.push_back(row.number);
    }
    return numbers;
}

// Games kept one after another, checked after each against the whole
// history: the table is exactly the best ten of all games so far and the ten
// latest, and whatever left it is in `dropped`.
TEST(KeptGames, TableIsTheBestTenAndTheLastTenOfEveryGameSoFar) {
    std::mt19937 random(11);
    std::vector<GameRow> all;
    std::vector<GameRow> table;
    for (uint32_t n = 1; n <= 200; ++n) {
        // Scores from a small range, so that many tie; a few games per second.
        const GameRow added = Row(n, int32_t(random() % 30) * 50, 1700000000 + n / 3);
        all.push_back(added);
        std::vector<GameRow> dropped;
        const size_t before = table.size();
        table = KeepPolicy(table, added, &dropped);
        ASSERT_EQ(table.size() + dropped.size(), before + 1);

        std::vector<GameRow> expected;
        const std::vector<GameRow> ranked = ByRank(all);
        for (const GameRow &row : ranked) {
            // Among the best ten, or among the ten latest (numbers rise with dates here).
            const bool best = &row - ranked.data() < 10;
            const bool last = row.number + 10 > n;
            if (best || last) {
                expected.push_back(row);
            }
        }
        ASSERT_EQ(Numbers(table), Numbers(expected)) << "after game " << n;
    }
}

TEST(KeptGames, TiesRankTheEarlierGameHigher) {
    const std::vector<GameRow> rows = {Row(5, 100, 2000), Row(2, 300, 3000), Row(4, 100, 1000),
                                       Row(3, 100, 2000), Row(1, -50, 500)};
    EXPECT_EQ(Numbers(ByRank(rows)), (std::vector<uint32_t>{2, 4, 3, 5, 1}));
}

// A game whose clock ran behind, with a poor score: it ranks nowhere and is
// not among the latest, so it goes at once.
TEST(KeptGames, AGameThatRanksNowhereGoesAtOnce) {
    std::vector<GameRow> table;
    for (uint32_t n = 1; n <= 20; ++n) {
        table.push_back(Row(n, n <= 10 ? 5000 : 10, 2000 + n));
    }
    std::vector<GameRow> dropped;
    const GameRow late = Row(21, 0, 1000);
    table = KeepPolicy(table, late, &dropped);
    EXPECT_EQ(table.size(), 20u);
    EXPECT_EQ(dropped, std::vector<GameRow>{late});
}

TEST(KeptGames, TableTextReadsBack) {
    GameTable table;
    table.nextNumber = 31;
    table.rows = {Row(30, 750, 1714588920), Row(7, -200, 0), Row(12, 2147483647, kMaxDate)};
    table.rows[1].status = "";
    table.rows[2].level = 1000000;
    GameTable back;
    std::string error;
    ASSERT_TRUE(ParseTable(TableText(table), &back, &error)) << error;
    EXPECT_EQ(back.nextNumber, 31u);
    EXPECT_EQ(back.rows, ByRank(table.rows));
}

TEST(KeptGames, DamagedOrForeignTablesAreNamedAtTheirLine) {
    const std::string head = "zorvak-games\t1\t9\n";
    const std::string row = "3\t500\t2\t1900\t1714588920\tgame-3.zvr\tScore: 500\n";
    const std::pair<std::string, std::string> table[] = {
        {"", "line 1: the table is empty or its last line is cut off"},
        {head + row.substr(0, 20), "line 1: the table is empty or its last line is cut off"},
        {"[Desktop Entry]\n", "line 1: not a table of kept games"},
        {"zorvak-games\t2\t9\n", "line 1: table version 2; this program reads version 1"},
        {"zorvak-games\t1\t0\n", "line 1: next game number \"0\""},
        {head + row + row, "line 3: game number 3 a second time"},
        {head + "4\t1\t2\t3\t4\tgame-3.zvr\tx\n" + row, "line 3: replay game-3.zvr a second time"},
        {head + "9\t1\t2\t3\t4\tg.zvr\tx\n", "line 2: game number \"9\" (must be 1..8)"},
        {head + "1\t+1\t2\t3\t4\tg.zvr\tx\n", "line 2: score \"+1\""},
        {head + "1\t2147483648\t2\t3\t4\tg.zvr\tx\n", "line 2: score \"2147483648\""},
        {head + "1\t1\t-1\t3\t4\tg.zvr\tx\n", "line 2: level \"-1\""},
        {head + "1\t1\t2\t3 \t4\tg.zvr\tx\n", "line 2: ticks \"3 \""},
        {head + "1\t1\t2\t3\t253402300800\tg.zvr\tx\n", "line 2: date \"253402300800\""},
        {head + "1\t1\t2\t3\t4\t../../.bashrc.zvr\tx\n",
         "line 2: replay name \"../../.bashrc.zvr\""},
        {head + "1\t1\t2\t3\t4\tg.zvr\tx\ty\n", "line 2: 8 fields, a row has 7"},
        {head + "1\t1\t2\t3\t4\tg.zvr\t\x01\n",
         "line 2: a status line that is not at most 127 printable characters"},
        {head + "\n", "line 2: 1 fields, a row has 7"},
    };
    for (const auto &[text, message] : table) {
        GameTable parsed;
        parsed.nextNumber = 77;
        std::string error;
        EXPECT_FALSE(ParseTable(text, &parsed, &error)) << message;
        EXPECT_EQ(error, message);
        EXPECT_EQ(parsed.nextNumber, 77u) << "untouched on failure";
    }
}

TEST(KeptGames, ListingHasAlignedColumnsBestFirst) {
    setenv("TZ", "UTC", 1);
    tzset();
    std::vector<GameRow> rows = {Row(1, 750, 1714588920), Row(2, 12350, 1714592580),
                                 Row(3, -200, 0)};
    rows[1].ticks = 20 * 725 + 19; // 12:05, the part second dropped
    rows[1].level = 17;
    EXPECT_EQ(FormatTable(rows), "Rank  Score  Level   Time  Date              Replay\n"
                                 "   1  12350     17  12:05  2024-05-01 19:43  game-2.zvr\n"
                                 "   2    750      1   1:35  2024-05-01 18:42  game-1.zvr\n"
                                 "   3   -200      1   1:35  1970-01-01 00:00  game-3.zvr\n");
    EXPECT_EQ(FormatTable({}), "No games kept yet.\n");
}

} // namespace
