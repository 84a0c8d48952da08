// Verifying a replay: its record played back headless, as fast as it goes.
#include "platform/game_watch.h"
#include "platform/headless/headless.h"
#include "platform/journal.h"
#include "platform/window_inspection.h"

namespace headless {

Verified VerifyReplay(const zplat::ProgramEntry &program, const zplat::replay::Replay &replay) {
    Reset();
    // The record gives the program all the time it reads; the clock never
    // moves (nothing waits), so no limit is reached however long the game.
    SetTimeLimit(UINT64_MAX / 2);
    static std::string failure;
    failure.clear();
    OnFailure([](const std::string &why) { failure = why; });
    program.restart();
    zplat::PlaybackPace pace;
    pace.quitAtEnd = true;
    zplat::StartPlayback(replay.body, pace);
    program.winMain();

    Verified v;
    // The program's first window, the one whose title is the status line.
    const std::vector<HWND> windows = zplat::ListWindows();
    HWND main = windows.empty() ? nullptr : windows.front();
    v.title = Title(main);
    v.picture = zplat::PictureHash(main);
    const uint64_t played = zplat::JournalTicks();
    v.ticks = played >= replay.header.startTick ? played - replay.header.startTick : 0;
    v.error = !zplat::PlaybackError().empty() ? zplat::PlaybackError() : failure;
    v.matches = v.error.empty() && zplat::PlaybackEnded() && v.title == replay.header.status &&
                v.picture == replay.header.pictureHash && v.ticks == replay.header.gameTicks;
    zplat::StopJournal();
    zplat::ShutdownPlatform();
    return v;
}

} // namespace headless
