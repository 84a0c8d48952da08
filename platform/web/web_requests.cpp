// The page's own requests to the backend, which the program never hears of:
// draw what was missed while hidden, pause for an absent player, watch a
// replay, seek in it, leave it.
#include "platform/journal.h"
#include "platform/session.h"
#include "platform/watch.h"
#include "platform/web/web_backend.h"
#include "platform/web/web_page.h"

#include <algorithm>
#include <string>
#include <vector>

namespace zweb {

bool WebBackend::OfferedReplay(zplat::replay::Replay *replay) {
    const int length = zweb_page_replay_length();
    if (length < 0) {
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    zweb_page_replay_take(bytes.data(), length);
    std::string error;
    if (!zplat::replay::ReadReplay(bytes.data(), bytes.size(), replay, &error)) {
        zweb_page_replay_refused(error.c_str());
        return false;
    }
    return true;
}

bool WebBackend::TakeWatchRequest(zplat::replay::Replay *replay) {
    if (!wanted_) {
        return false;
    }
    *replay = std::move(*wanted_);
    wanted_.reset();
    return true;
}

bool WebBackend::PageRequest(const int32_t *fields) {
    switch (fields[0]) {
    case ZWEB_INPUT_SHOWN:
        RedrawStale();
        return true;
    case ZWEB_INPUT_ABSENT:
        zplat::PauseForAbsence();
        return true;
    case ZWEB_INPUT_WATCH: {
        auto replay = std::make_unique<zplat::replay::Replay>();
        if (OfferedReplay(replay.get())) {
            wanted_ = std::move(replay);
            PostQuitMessage(0); // the run that is on ends; the page's loop watches it
        }
        return true;
    }
    case ZWEB_INPUT_SEEK:
        zplat::SeekWatch(uint64_t(std::max(fields[5], 0)));
        return true;
    case ZWEB_INPUT_LEAVE:
        if (zplat::CurrentWatch().watching) {
            PostQuitMessage(0);
        }
        return true;
    default:
        return false;
    }
}

} // namespace zweb
