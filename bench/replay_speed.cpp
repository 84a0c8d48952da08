// What replays cost and how fast they play back, on the whole program:
// an hour of play (72,000 ticks of the game's timer, games started anew as
// they end) recorded with keys as a player types them, then
//  - the size of its record, in all and per minute;
//  - the cost of recording a tick: the same hour played with and without
//    the journal recording it;
//  - verification: the hour played back as fast as the program runs, in
//    ticks a second; that is also what a jump to the end of an hour-long
//    game costs a player watching it (a jump runs the program anew and plays
//    the record to there).
//
//   replay_speed [TICKS]        (default 72000; the test command runs 2000)
#include "platform/headless/headless.h"
#include "platform/journal.h"
#include "platform/replay.h"
#include "resources/game_module.h"
#include "shell/process_start.h"
#include "tests/support/game_window.h"
#include "world/game_state.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

const uint64_t kStart = 1000000;

int RunProgram() {
    return WinMain(GameModule(), NULL, const_cast<LPSTR>(""), SW_SHOWDEFAULT);
}

HWND Main() {
    return headless::FindWindowByClass("CL_ZORVAK");
}

// Plays `ticks` ticks with the keys, a new game whenever one ends; returns
// the seconds it took.
double PlayHour(uint64_t ticks, bool recording, std::vector<uint8_t> *stream) {
    RestoreProcessStart();
    headless::Reset(kStart);
    headless::SetTimeLimit(kStart + ticks * 50 + 10000);
    if (recording) {
        zplat::StartRecording();
    }
    static uint64_t end;
    end = kStart + ticks * 50 + 25;
    headless::At(kStart + 70, [] { headless::AltLetter(Main(), 'N'); });
    headless::At(end, [] { headless::AltLetter(Main(), 'Q'); });
    headless::OnIdle([] {
        HWND main = Main();
        if (main == NULL || headless::Now() >= end) {
            return;
        }
        if (headless::Title(main).rfind("Lives: 00", 0) == 0 && objectCount == 0) {
            headless::AltLetter(main, 'N'); // the next game
            return;
        }
        support::HuntWithKeys(main);
    });
    const Clock::time_point started = Clock::now();
    RunProgram();
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    if (stream != nullptr) {
        *stream = zplat::RecordedStream();
    }
    zplat::StopJournal();
    return seconds;
}

// Plays a record back as fast as the program runs; the seconds it took.
double PlayBack(const std::vector<uint8_t> &stream, uint64_t *ticks) {
    RestoreProcessStart();
    headless::Reset(kStart);
    headless::SetTimeLimit(UINT64_MAX / 2);
    zplat::StartPlayback(stream, zplat::PlaybackPace{});
    const Clock::time_point started = Clock::now();
    RunProgram();
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    *ticks = zplat::JournalTicks();
    if (!zplat::PlaybackError().empty()) {
        std::fprintf(stderr, "playback stopped: %s\n", zplat::PlaybackError().c_str());
    }
    zplat::StopJournal();
    return seconds;
}

} // namespace

int main(int argc, char **argv) {
    const uint64_t ticks = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 72000;
    if (ticks < 100) {
        std::fprintf(stderr, "usage: replay_speed [TICKS, at least 100]\n");
        return 2;
    }
    std::vector<uint8_t> stream;
    const double plain = PlayHour(ticks, false, nullptr);
    const double recorded = PlayHour(ticks, true, &stream);
    uint64_t played = 0;
    const double back = PlayBack(stream, &played);
    const double minutes = double(ticks) / 20 / 60;
    std::printf("%llu ticks of play (%.1f minutes) with keys typed as a player types them\n",
                static_cast<unsigned long long>(ticks), minutes);
    std::printf("record: %zu bytes, %.0f bytes a minute\n", stream.size(),
                double(stream.size()) / minutes);
    std::printf("live: %.0f ticks/s without recording, %.0f ticks/s recording: %.2f us a tick "
                "for the record\n",
                double(ticks) / plain, double(ticks) / recorded,
                (recorded - plain) / double(ticks) * 1e6);
    std::printf("played back: %llu ticks in %.3f s, %.0f ticks/s (a jump to the end)\n",
                static_cast<unsigned long long>(played), back, double(played) / back);
    return played >= ticks ? 0 : 1;
}
