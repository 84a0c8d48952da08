// Whole games recorded through the platform and played back: the record of
// what the program read reproduces the game exactly, tick for tick (status
// line, object table, picture), whatever else went on in the session.
#include "platform/game_watch.h"
#include "platform/journal.h"
#include "platform/watch.h"
#include "shell/process_start.h"
#include "tests/support/game_window.h"
#include "tests/support/session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

using namespace support;

namespace {

// A game kept by the platform while recording, with what the game itself
// held at the moment its record ends.
struct Kept {
    zplat::GameRecord game;
    std::vector<GameObject> objects;
    int32_t nextBonus = 0;
};

// What a session does besides playing: nothing, or now and then the window
// minimised and restored, the About window opened and the game paused.
enum class Extras { None, MinimiseAndAbout };

// Plays games with keys from virtual time `start` (which seeds the game)
// until `games` games have ended on their own; returns those kept.
std::vector<Kept> RecordSession(uint64_t start, int games, Extras extras) {
    StartFresh(4 * 3600 * 1000);
    headless::Reset(start);
    headless::SetTimeLimit(start + 4 * 3600 * 1000);
    headless::OnFailure([](const std::string &what) { ADD_FAILURE() << "backend: " << what; });
    zplat::StartRecording();
    static std::vector<Kept> kept;
    kept.clear();
    static int wanted = 0;
    wanted = games;
    zplat::OnGameRecorded([](const zplat::GameRecord &game) {
        if (game.header.endReason != zplat::replay::EndReason::GameOver) {
            return;
        }
        kept.push_back(Kept{game, Objects(), nextBonusScore});
        HWND main = MainWindow();
        headless::At(headless::Now() + 20,
                     [main] { headless::AltLetter(main, int(kept.size()) == wanted ? 'Q' : 'N'); });
    });
    headless::At(start + 70, [] { Command('N'); });
    headless::OnIdle([] {
        HWND main = MainWindow();
        if (main == NULL || headless::IsMinimized(main) || AboutWindow() != NULL) {
            return;
        }
        HuntWithKeys(main);
    });
    if (extras == Extras::MinimiseAndAbout) {
        for (uint64_t t = start + 40000; t < start + 3600 * 1000; t += 97000) {
            headless::At(t, [] { headless::Minimize(MainWindow()); });
            headless::At(t + 1300, [] { headless::Restore(MainWindow()); });
            headless::At(t + 30000, [] { Command('A'); });
            headless::At(t + 60000, [] { headless::Key(MainWindow(), 'P'); });
            headless::At(t + 64321, [] { headless::Key(MainWindow(), 'P'); });
        }
    }
    EXPECT_EQ(RunWinMain(), 0);
    zplat::OnGameRecorded(nullptr);
    return kept;
}

struct Played {
    std::string title;
    uint64_t picture = 0;
    uint64_t ticks = 0;
    std::vector<GameObject> objects;
    int32_t nextBonus = 0;
    std::string error;
};

// Plays a kept game's record back, as fast as it goes, in a fresh program.
Played PlayBack(const zplat::GameRecord &game, uint64_t start) {
    StartFresh();
    // The clock of the playback is not the recording's: the record gives the
    // program its tick count.
    headless::Reset(start + 12345);
    zplat::PlaybackPace pace;
    zplat::StartPlayback(game.stream, pace);
    EXPECT_EQ(RunWinMain(), 0);
    Played played;
    HWND main = MainWindow();
    played.title = headless::Title(main);
    played.picture = zplat::PictureHash(main);
    played.ticks = zplat::JournalTicks();
    played.objects = Objects();
    played.nextBonus = nextBonusScore;
    played.error = zplat::PlaybackError();
    EXPECT_TRUE(zplat::PlaybackEnded());
    zplat::StopJournal();
    return played;
}

TEST(ReplaySession, RecordedGamesPlayBackExactly) {
    // Three sessions of two games each: the second game of a session starts
    // from where the first left the random source and the bonus threshold.
    // One of them minimised, with the About window up and paused now and then.
    for (uint64_t start : {uint64_t(100000), uint64_t(7777777), uint64_t(4294900000)}) {
        SCOPED_TRACE(testing::Message() << "session from " << start);
        const std::vector<Kept> kept =
            RecordSession(start, 2, start == 7777777 ? Extras::MinimiseAndAbout : Extras::None);
        ASSERT_EQ(kept.size(), 2u);
        for (const Kept &k : kept) {
            const Played played = PlayBack(k.game, start);
            EXPECT_EQ(played.error, "");
            EXPECT_EQ(played.title, k.game.header.status);
            EXPECT_EQ(played.picture, k.game.header.pictureHash);
            EXPECT_EQ(played.ticks, uint64_t(k.game.header.startTick) + k.game.header.gameTicks);
            EXPECT_EQ(played.nextBonus, k.nextBonus);
            EXPECT_TRUE(played.objects == k.objects);
        }
        EXPECT_LT(kept[0].game.stream.size(), kept[1].game.stream.size());
    }
}

// A game that goes through all sixteen levels (the formation levels, whose
// placement trials overflow the energies, among them): lives are topped up
// after each score until every level has been seen (the game starts at its
// second, 1, and comes to 0 after 15), by a rule that acts at the same point
// of the game when it is played back, so the record must still give the
// same game.
uint32_t levelsSeen = 0;

TEST(ReplaySession, AGameThroughEveryLevelPlaysBackExactly) {
    struct TopUp {
        TopUp() {
            afterAddScore = [] {
                levelsSeen |= 1u << (level & 15);
                if (levelsSeen != 0xFFFF && lives < 3) {
                    lives = 3;
                }
            };
        }
        ~TopUp() { afterAddScore = nullptr; }
    } topUp;
    const uint64_t start = 31337;
    levelsSeen = 0;
    const std::vector<Kept> kept = RecordSession(start, 1, Extras::None);
    ASSERT_EQ(kept.size(), 1u);
    std::vector<bool> reached(16);
    for (const ScoreEvent &e : scoreLog) {
        reached.at(size_t(e.level)) = true;
    }
    EXPECT_EQ(std::count(reached.begin(), reached.end(), true), 16);
    // The rule starts afresh for the playback.
    levelsSeen = 0;
    const Played played = PlayBack(kept[0].game, start);
    EXPECT_EQ(played.error, "");
    EXPECT_EQ(played.title, kept[0].game.header.status);
    EXPECT_EQ(played.picture, kept[0].game.header.pictureHash);
    EXPECT_EQ(played.nextBonus, kept[0].nextBonus);
    EXPECT_TRUE(played.objects == kept[0].objects);
    std::printf("a game through every level: %u ticks, %s\n", kept[0].game.header.gameTicks,
                kept[0].game.header.status.c_str());
}

// A game cut short by a New game, and the next by the program's end (closed
// from the desktop): each kept as it stood before the input that ended it,
// and each plays back to that.
TEST(ReplaySession, GamesCutShortByANewGameOrTheEndPlayBackToWhereTheyStood) {
    StartFresh();
    zplat::StartRecording();
    static std::vector<zplat::GameRecord> kept;
    kept.clear();
    zplat::OnGameRecorded([](const zplat::GameRecord &game) { kept.push_back(game); });
    headless::At(AfterTick(2), [] { Command('N'); });
    headless::At(AfterTick(3), [] { headless::Key(MainWindow(), VK_LEFT); });
    headless::At(AfterTick(40), [] { headless::Key(MainWindow(), VK_SPACE); });
    headless::At(AfterTick(80), [] {
        // Right and New game at once: the key goes before the game ends.
        headless::Key(MainWindow(), VK_RIGHT);
        Command('N');
    });
    headless::At(AfterTick(130), [] { headless::Close(MainWindow()); });
    EXPECT_EQ(RunWinMain(), 0);
    zplat::OnGameRecorded(nullptr);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].header.endReason, zplat::replay::EndReason::NewGame);
    EXPECT_EQ(kept[1].header.endReason, zplat::replay::EndReason::Quit);
    EXPECT_EQ(kept[0].header.gameTicks, 78u);
    EXPECT_EQ(kept[1].header.gameTicks, 50u);
    for (const zplat::GameRecord &game : kept) {
        const Played played = PlayBack(game, kStart);
        EXPECT_EQ(played.error, "");
        EXPECT_EQ(played.title, game.header.status);
        EXPECT_EQ(played.picture, game.header.pictureHash);
        EXPECT_EQ(played.ticks, uint64_t(game.header.startTick) + game.header.gameTicks);
    }
}

// What the program shows at a tick of a record, played straight there.
struct Shown {
    std::string title;
    headless::Image client;
    std::vector<GameObject> objects;
    int32_t nextBonus = 0;
};

Shown PlayStraightTo(const std::vector<uint8_t> &stream, uint64_t tick) {
    StartFresh();
    zplat::PlaybackPace pace;
    pace.realTime = true;
    pace.held = true;
    pace.fastUntil = tick;
    pace.quitAtEnd = false;
    zplat::StartPlayback(stream, pace);
    static Shown shown;
    headless::At(kStart + 500000, [] {
        shown = Shown{headless::Title(MainWindow()), headless::ClientImage(MainWindow()), Objects(),
                      nextBonusScore};
        PostQuitMessage(0);
    });
    RunWinMain();
    EXPECT_EQ(zplat::JournalTicks(), tick);
    zplat::StopJournal();
    return shown;
}

TEST(ReplaySession, AJumpToATickShowsWhatPlayingStraightThereShows) {
    const std::vector<Kept> kept = RecordSession(100000, 1, Extras::None);
    ASSERT_EQ(kept.size(), 1u);
    zplat::replay::Replay replay;
    replay.header = kept[0].game.header;
    replay.body = kept[0].game.stream;
    const uint64_t start = replay.header.startTick;
    ASSERT_GT(replay.header.gameTicks, 700u);
    std::map<uint64_t, Shown> straight;
    for (uint64_t t : {137, 138, 611}) {
        straight[t] = PlayStraightTo(replay.body, start + t);
    }

    // Watching: held, then sought ahead (played on as fast), back (the
    // program run anew), stepped one tick on and one back with the arrows.
    StartFresh();
    static std::vector<std::pair<uint64_t, Shown>> seen;
    seen.clear();
    auto look = [] {
        seen.emplace_back(zplat::CurrentWatch().tick,
                          Shown{headless::Title(MainWindow()), headless::ClientImage(MainWindow()),
                                Objects(), nextBonusScore});
    };
    uint64_t t = kStart + 1000;
    headless::At(t, [] { headless::Key(MainWindow(), VK_SPACE); });
    headless::At(t += 500, [] { zplat::SeekWatch(611); });
    headless::At(t += 500, look);
    headless::At(t += 500, [] { zplat::SeekWatch(137); });
    headless::At(t += 500, look);
    headless::At(t += 500, [] { headless::Key(MainWindow(), VK_RIGHT); });
    headless::At(t += 500, look);
    headless::At(t += 500, [] { headless::Key(MainWindow(), VK_LEFT); });
    headless::At(t += 500, look);
    headless::At(t += 500, [] { headless::Close(MainWindow()); });
    const zplat::ProgramEntry program{[] { return RunWinMain(); }, [] { RestoreProcessStart(); }};
    EXPECT_EQ(zplat::WatchReplay(program, replay, 1), zplat::WatchEnd::Quit);
    ASSERT_EQ(seen.size(), 4u);
    const uint64_t expected[] = {611, 137, 138, 137};
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "look " << i);
        EXPECT_EQ(seen[i].first, expected[i]);
        EXPECT_EQ(seen[i].second.title, straight[expected[i]].title);
        EXPECT_TRUE(seen[i].second.client.pixels == straight[expected[i]].client.pixels);
    }
    EXPECT_NE(straight[137].client.pixels, straight[611].client.pixels);
}

// ---- Golden replays: games recorded once, kept in golden/ beside the table
// their game held at its end, and played back by every build.

const char *const kGoldenDir = ZORVAK_REPLAY_GOLDEN_DIR;
// The table is held in the middle of the game too, where it is full.
constexpr uint64_t kMidway = 1000;

// The occupied slots, a line each, then the bonus threshold.
std::string TableText(const std::vector<GameObject> &objects, int32_t nextBonus) {
    std::string text;
    for (size_t i = 0; i < objects.size(); ++i) {
        const GameObject &o = objects[i];
        if (o.kind == KIND_FREE) {
            continue;
        }
        char line[160];
        std::snprintf(line, sizeof line,
                      "slot %zu: kind %d energy %d x %d y %d dy %d dx %d delay %u "
                      "frame %d step %d cooldown %u\n",
                      i, o.kind, o.energy, o.x, o.y, o.dy, o.dx, unsigned(o.delay), o.frame,
                      o.frameStep, o.cooldown);
        text += line;
    }
    return text + "next bonus " + std::to_string(nextBonus) + "\n";
}

std::string Slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// ZORVAK_WRITE_GOLDEN_REPLAYS=1 records them anew (after a change that is
// meant to change the game's pictures, say), into the source tree.
void WriteGoldenReplays() {
    int n = 0;
    for (Extras extras : {Extras::None, Extras::MinimiseAndAbout}) {
        const std::vector<Kept> kept = RecordSession(4242424, 1, extras);
        ASSERT_EQ(kept.size(), 1u);
        zplat::replay::ReplayHeader header = kept[0].game.header;
        header.programVersion = "1.0";
        header.date = 1796601600; // 2026-12-07
        std::vector<uint8_t> file;
        std::string error;
        ASSERT_TRUE(zplat::replay::WriteReplay(header, kept[0].game.stream, &file, &error))
            << error;
        const std::string name = std::string(kGoldenDir) + "/game-" + std::to_string(++n);
        std::ofstream(name + ".zvr", std::ios::binary)
            .write(reinterpret_cast<const char *>(file.data()), std::streamsize(file.size()));
        if (n == 1) {
            // The same record with another outcome written down: a replay
            // that does not end as it says (for the program's --verify).
            zplat::replay::ReplayHeader other = header;
            other.status = "Lives: 03 - Level 09 - Score: 99999";
            std::vector<uint8_t> wrong;
            ASSERT_TRUE(zplat::replay::WriteReplay(other, kept[0].game.stream, &wrong, &error));
            std::ofstream(std::string(kGoldenDir) + "/other-outcome.zvr", std::ios::binary)
                .write(reinterpret_cast<const char *>(wrong.data()), std::streamsize(wrong.size()));
        }
        const Shown midway = PlayStraightTo(kept[0].game.stream, header.startTick + kMidway);
        std::ofstream(name + ".table")
            << "After " << kMidway << " ticks:\n"
            << TableText(midway.objects, midway.nextBonus) << "At the end:\n"
            << TableText(kept[0].objects, kept[0].nextBonus);
    }
}

TEST(ReplaySession, GoldenReplaysPlayBackAsTheyWereRecorded) {
    if (std::getenv("ZORVAK_WRITE_GOLDEN_REPLAYS") != nullptr) {
        WriteGoldenReplays();
    }
    const zplat::ProgramEntry program{[] { return RunWinMain(); }, [] { RestoreProcessStart(); }};
    for (const char *name : {"game-1", "game-2"}) {
        SCOPED_TRACE(name);
        const std::string path = std::string(kGoldenDir) + "/" + name;
        zplat::replay::Replay replay;
        std::string error;
        ASSERT_TRUE(zplat::replay::ReadReplayFile(path + ".zvr", &replay, &error)) << error;
        ClearRecords();
        const headless::Verified v = headless::VerifyReplay(program, replay);
        EXPECT_TRUE(v.matches) << v.title << " after " << v.ticks << " ticks; " << v.error;
        const std::string atEnd = TableText(Objects(), nextBonusScore);
        const Shown midway = PlayStraightTo(replay.body, replay.header.startTick + kMidway);
        EXPECT_EQ("After " + std::to_string(kMidway) + " ticks:\n" +
                      TableText(midway.objects, midway.nextBonus) + "At the end:\n" + atEnd,
                  Slurp(path + ".table"));
        EXPECT_GT(replay.header.gameTicks, 500u);
    }
}

} // namespace
