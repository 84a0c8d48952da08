// The kept games on disk: the table and the replays stay in step, two
// instances at once lose nothing, and a read-only, missing or full disk costs
// one line and leaves everything as it was.  Processes of their own (forked)
// play the second instance, the unprivileged user and the full disk.
#include "platform/kept_games.h"
#include "platform/replay.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace zplat::replay;
namespace fs = std::filesystem;

// fn in a process of its own: 0 when it returned true.
int InChild(const std::function<bool()> &fn) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(fn() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string Contents(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

GameRow Game(int32_t score, int64_t date, size_t statusLength = 20) {
    GameRow row;
    row.score = score;
    row.level = 2;
    row.ticks = 1234;
    row.date = date;
    row.status = std::string(statusLength, 'S');
    return row;
}

// The replay a game is kept with: its bytes say which game it was.
std::vector<uint8_t> ReplayOf(const GameRow &game, size_t size = 64) {
    std::vector<uint8_t> bytes(size, uint8_t(game.score));
    bytes[0] = uint8_t(game.date);
    return bytes;
}

class GameStore : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("game_store_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root, ec);
        fs::create_directories(root);
        dir = (root / "zorvak").string();
    }
    void TearDown() override {
        for (const auto &e : fs::recursive_directory_iterator(root, ec)) {
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(root, ec);
    }

    bool Keep(const GameRow &game, KeptGame *kept = nullptr, size_t replaySize = 64) {
        KeptGame k;
        std::string error;
        const bool ok = KeepGame(dir, ReplayOf(game, replaySize), game, &k, &error);
        EXPECT_TRUE(ok) << error;
        if (kept != nullptr) {
            *kept = k;
        }
        return ok;
    }
    std::vector<GameRow> Rows() {
        GameTable table;
        std::string error;
        EXPECT_TRUE(ReadGameTable(dir, &table, &error)) << error;
        return table.rows;
    }
    // Every file under the store, with its contents.
    std::map<std::string, std::string> Snapshot() {
        std::map<std::string, std::string> files;
        for (const auto &e : fs::recursive_directory_iterator(dir, ec)) {
            files[e.path().lexically_relative(dir).string()] =
                e.is_directory() ? "<folder>" : Contents(e.path());
        }
        return files;
    }
    // The replays folder holds exactly the rows' replays, each as kept.
    void ExpectReplaysMatch(const std::vector<GameRow> &rows) {
        std::map<std::string, std::string> expected;
        for (const GameRow &row : rows) {
            const std::vector<uint8_t> bytes = ReplayOf(row);
            expected["replays/" + row.replay] = std::string(bytes.begin(), bytes.end());
        }
        std::map<std::string, std::string> replays;
        for (const auto &[name, contents] : Snapshot()) {
            if (name.rfind("replays/", 0) == 0) {
                replays[name] = contents;
            }
        }
        EXPECT_EQ(replays, expected);
    }

    fs::path root;
    std::string dir;
    std::error_code ec;
};

// What the rule keeps when games come in the order of their numbers.
std::vector<GameRow> PolicyOver(std::vector<GameRow> games) {
    std::sort(games.begin(), games.end(),
              [](const GameRow &a, const GameRow &b) { return a.number < b.number; });
    std::vector<GameRow> table;
    for (const GameRow &game : games) {
        table = KeepPolicy(table, game, nullptr);
    }
    return table;
}

TEST_F(GameStore, TableAndReplaysStayInStep) {
    std::vector<GameRow> kept;
    for (int i = 0; i < 25; ++i) {
        KeptGame k;
        ASSERT_TRUE(Keep(Game((i * 37) % 100, 1700000000 + i), &k));
        EXPECT_EQ(k.row.number, uint32_t(i + 1));
        EXPECT_TRUE(k.notice.empty());
        kept.push_back(k.row);
    }
    const std::vector<GameRow> rows = Rows();
    EXPECT_EQ(rows, PolicyOver(kept));
    EXPECT_EQ(rows.size(), 16u); // four of the last ten are among the best ten
    ExpectReplaysMatch(rows);
    EXPECT_EQ(Snapshot().count("games.tsv"), 1u);
}

TEST_F(GameStore, TwoInstancesAtOnceLoseNoRow) {
    int pipes[2][2];
    std::vector<pid_t> children;
    for (int c = 0; c < 2; ++c) {
        ASSERT_EQ(pipe(pipes[c]), 0);
        std::fflush(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            // Each reports the number and name its games were given.
            for (int i = 0; i < 30; ++i) {
                const GameRow game = Game(2 * ((i * 7) % 30) + c, 1700000000 + i / 4);
                KeptGame k;
                std::string error;
                if (!KeepGame(dir, ReplayOf(game), game, &k, &error)) {
                    _exit(1);
                }
                const std::string line = std::to_string(k.row.number) + " " +
                                         std::to_string(game.score) + " " +
                                         std::to_string(game.date) + " " + k.row.replay + "\n";
                if (write(pipes[c][1], line.data(), line.size()) != ssize_t(line.size())) {
                    _exit(1);
                }
            }
            _exit(0);
        }
        children.push_back(pid);
        close(pipes[c][1]);
    }
    std::vector<GameRow> games;
    for (int c = 0; c < 2; ++c) {
        int status = 0;
        waitpid(children[size_t(c)], &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        std::string report;
        char buffer[4096];
        for (ssize_t n; (n = read(pipes[c][0], buffer, sizeof buffer)) > 0;) {
            report.append(buffer, size_t(n));
        }
        close(pipes[c][0]);
        std::istringstream lines(report);
        GameRow row = Game(0, 0);
        while (lines >> row.number >> row.score >> row.date >> row.replay) {
            games.push_back(row);
        }
    }
    ASSERT_EQ(games.size(), 60u);
    std::vector<uint32_t> numbers;
    for (const GameRow &game : games) {
        numbers.push_back(game.number);
    }
    std::sort(numbers.begin(), numbers.end());
    for (uint32_t n = 1; n <= 60; ++n) {
        EXPECT_EQ(numbers[n - 1], n);
    }
    const std::vector<GameRow> rows = Rows();
    EXPECT_EQ(rows, PolicyOver(games));
    ExpectReplaysMatch(rows);
    for (const auto &[name, contents] : Snapshot()) {
        EXPECT_TRUE(name == "games.tsv" || name == "lock" || name.rfind("replays", 0) == 0) << name;
    }
}

// An unprivileged user (root writes anywhere) before a folder it may not
// write to.
TEST_F(GameStore, ReadOnlyFolderCostsOneLine) {
    ASSERT_TRUE(Keep(Game(100, 1700000000)));
    const auto before = Snapshot();
    fs::permissions(dir + "/replays", fs::perms(0555));
    fs::permissions(dir, fs::perms(0555));
    const int result = InChild([this] {
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
            return false;
        }
        KeptGame kept;
        std::string error;
        const GameRow game = Game(500, 1700000100);
        GameTable table;
        return !KeepGame(dir, ReplayOf(game), game, &kept, &error) &&
               error.rfind("cannot keep the game: cannot create " + dir + "/replays/", 0) == 0 &&
               error.find("Permission denied") != std::string::npos &&
               error.find('\n') == std::string::npos && ReadGameTable(dir, &table, &error) &&
               table.rows.size() == 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(GameStore, FolderThatCannotBeMadeCostsOneLine) {
    std::ofstream(root / "file").close();
    dir = (root / "file" / "zorvak").string();
    KeptGame kept;
    std::string error;
    EXPECT_FALSE(KeepGame(dir, {1, 2, 3}, Game(1, 1), &kept, &error));
    EXPECT_EQ(error, "cannot keep the game: " + (root / "file").string() + " is not a folder");
}

// A disk that fills while the replay is written, then one that fills while
// the table is: nothing changes and nothing is left half written.
TEST_F(GameStore, FullDiskLeavesEverythingAsItWas) {
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(Keep(Game(100 - i, 1700000000 + i, 120))); // ten best, ten last
    }
    ASSERT_GT(fs::file_size(dir + "/games.tsv"), 2048u);
    const auto before = Snapshot();
    const int result = InChild([this] {
        const rlimit limit = {2048, 2048};
        std::signal(SIGXFSZ, SIG_IGN);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return false;
        }
        KeptGame kept;
        std::string big;
        std::string small;
        const GameRow game = Game(1000, 1700000100);
        return !KeepGame(dir, ReplayOf(game, 4096), game, &kept, &big) &&
               big.find("File too large") != std::string::npos &&
               !KeepGame(dir, ReplayOf(game, 64), game, &kept, &small) &&
               small == "cannot keep the game: cannot write " + dir + "/games.tsv: File too large";
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(GameStore, DamagedTableIsSetAsideAndANewOneBegun) {
    fs::create_directories(dir);
    std::ofstream(dir + "/games.tsv") << "<html>\n";
    KeptGame kept;
    ASSERT_TRUE(Keep(Game(300, 1700000000), &kept));
    EXPECT_NE(kept.notice.find("games.tsv was damaged (line 1: not a table of kept games)"),
              std::string::npos)
        << kept.notice;
    std::ofstream(dir + "/games.tsv", std::ios::app) << "3\t4\n"; // a row cut short
    ASSERT_TRUE(Keep(Game(200, 1700000001), &kept));
    EXPECT_NE(kept.notice.find("(line 3: 2 fields, a row has 7)"), std::string::npos);

    std::vector<std::string> aside;
    for (const auto &[name, contents] : Snapshot()) {
        if (name.rfind("games.tsv.damaged-", 0) == 0) {
            aside.push_back(contents);
        }
    }
    ASSERT_EQ(aside.size(), 2u);
    std::sort(aside.begin(), aside.end());
    EXPECT_EQ(aside[0], "<html>\n");
    EXPECT_EQ(aside[1].substr(aside[1].size() - 4), "3\t4\n");
    EXPECT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0].number, 1u);
}

TEST_F(GameStore, ListingChangesNothing) {
    GameTable table;
    std::string error;
    EXPECT_TRUE(ReadGameTable(dir, &table, &error));
    EXPECT_TRUE(table.rows.empty());
    EXPECT_FALSE(fs::exists(dir));
    fs::create_directories(dir);
    std::ofstream(dir + "/games.tsv") << "zorvak-games\t1\n";
    EXPECT_FALSE(ReadGameTable(dir, &table, &error));
    EXPECT_EQ(error, dir + "/games.tsv:1: not a table of kept games");
    EXPECT_EQ(Snapshot().size(), 1u);
}

// A temporary table that a run stopped half way left goes once it is an
// hour old; a replay that no row names stays (it may be a damaged table's).
TEST_F(GameStore, StaleTemporaryTablesAreSwept) {
    ASSERT_TRUE(Keep(Game(1, 1700000000)));
    for (const char *name : {"/replays/orphan.zvr", "/.games.tsv.Ab12Cd", "/.games.tsv.Ef34Gh"}) {
        std::ofstream(dir + name) << "x";
    }
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(2);
    fs::last_write_time(dir + "/replays/orphan.zvr", old);
    fs::last_write_time(dir + "/.games.tsv.Ab12Cd", old);
    ASSERT_TRUE(Keep(Game(2, 1700000001)));
    EXPECT_FALSE(fs::exists(dir + "/.games.tsv.Ab12Cd"));
    EXPECT_TRUE(fs::exists(dir + "/.games.tsv.Ef34Gh"));
    EXPECT_TRUE(fs::exists(dir + "/replays/orphan.zvr"));
}

TEST(GameStoreFolder, FollowsXdgDataHome) {
    struct Case {
        const char *xdg;
        const char *home;
        const char *expected;
    };
    const Case cases[] = {
        {"/data", "/home/p", "/data/zorvak"},
        {"relative/data", "/home/p", "/home/p/.local/share/zorvak"},
        {"", "/home/p", "/home/p/.local/share/zorvak"},
        {nullptr, "/home/p", "/home/p/.local/share/zorvak"},
        {nullptr, "home", nullptr},
        {nullptr, nullptr, nullptr},
    };
    for (const Case &c : cases) {
        c.xdg != nullptr ? setenv("XDG_DATA_HOME", c.xdg, 1) : unsetenv("XDG_DATA_HOME");
        c.home != nullptr ? setenv("HOME", c.home, 1) : unsetenv("HOME");
        std::string dir;
        std::string error;
        EXPECT_EQ(StoreDirectory(&dir, &error), c.expected != nullptr);
        EXPECT_EQ(c.expected != nullptr ? dir : error,
                  c.expected != nullptr
                      ? c.expected
                      : "no folder for kept games: neither XDG_DATA_HOME nor HOME is an absolute "
                        "path");
    }
}

} // namespace
