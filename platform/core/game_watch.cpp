// The game as the program shows it (platform/game_watch.h): its status
// line, its New game and its game-over picture, and the replays of the games
// that end while recording.
//
// Where a kept game's record ends: at the decision point after the game-over
// picture was loaded (the timer message that showed it, and whatever it
// caused, done); or, when a New game or the end of the program cuts it
// short, at the decision point before the input that did so was taken in,
// which is where its last picture and status line still stood.  Playing the
// record back ends at that same decision point, so the outcome can be held
// against it exactly.
#include "platform/game_watch.h"

#include "platform/core/journal_hooks.h"
#include "platform/core/state.h"
#include "platform/journal.h"
#include "platform/session.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace zplat {

namespace {

// Where the record could end: the stream then, its ticks, and the main
// window's status line and picture then.
struct Place {
    replay::StreamWriter::Mark mark;
    uint64_t ticks = 0;
    char title[replay::kMaxStatusLength + 1] = {};
    uint64_t picture = 0;
    // The picture is hashed only when it is about to change or be needed
    // (hashing it at every delivery of input would cost more than all the
    // rest of recording).
    bool pictureTaken = false;
};

struct Watch {
    WatchedGame game;
    uint64_t startTick = 0;
    // The decision point before the latest delivery, while that delivery's
    // messages are handled (until the next decision point): a New game or
    // the end of the program among them ends the game there.
    Place beforeDelivery;
    bool beforeDeliveryOpen = false;
    bool endPending = false; // the game-over picture was shown
    std::function<void(const GameRecord &)> receiver;
};

Watch &W() {
    static Watch watch;
    return watch;
}

bool IsMain(HWND hwnd) {
    return hwnd != nullptr && hwnd == JournalMainWindow();
}

// Reads a number of decimal digits with an optional minus sign.
bool Number(const char **at, bool maySign, int64_t *value) {
    const char *p = *at;
    const bool negative = maySign && *p == '-';
    if (negative) {
        ++p;
    }
    if (!std::isdigit(uint8_t(*p))) {
        return false;
    }
    int64_t v = 0;
    for (; std::isdigit(uint8_t(*p)); ++p) {
        v = v * 10 + (*p - '0');
        if (v > INT64_C(1) << 40) {
            return false;
        }
    }
    *value = negative ? -v : v;
    *at = p;
    return true;
}

bool Literal(const char **at, const char *text) {
    const size_t n = std::strlen(text);
    if (std::strncmp(*at, text, n) != 0) {
        return false;
    }
    *at += n;
    return true;
}

void TakePlace(Place *place) {
    place->mark = JournalMark();
    place->ticks = JournalTicks();
    HWND main = JournalMainWindow();
    Window *w = GetWindow(main);
    const std::string &title = w != nullptr ? w->title : std::string();
    const size_t n = std::min(title.size(), replay::kMaxStatusLength);
    std::memcpy(place->title, title.data(), n);
    place->title[n] = '\0';
    place->picture = 0;
    place->pictureTaken = !W().game.running; // only a running game's end needs it
}

// The place's picture, from the main window as it stands: taken no later
// than the first drawing on it after the place (GetDC, BeginPaint) or its
// destruction, so it is the picture there was at the place.
void TakePicture(Place *place) {
    if (!place->pictureTaken) {
        place->picture = PictureHash(JournalMainWindow());
        place->pictureTaken = true;
    }
}

// The game ends at place: handed to the receiver while recording.
void EndGame(Place &place, replay::EndReason reason) {
    Watch &w = W();
    if (!w.game.running) {
        return;
    }
    TakePicture(&place);
    w.game.running = false;
    w.endPending = false;
    if (!Recording() || !w.receiver) {
        return;
    }
    GameRecord kept;
    Window *main = GetWindow(JournalMainWindow());
    kept.header.clientWidth = main != nullptr ? main->clientW : 1;
    kept.header.clientHeight = main != nullptr ? main->clientH : 1;
    kept.header.startTick = uint32_t(std::min<uint64_t>(w.startTick, UINT32_MAX));
    kept.header.gameTicks = uint32_t(std::min<uint64_t>(place.ticks - w.startTick, UINT32_MAX));
    kept.header.status = place.title;
    kept.header.pictureHash = place.picture;
    kept.header.endReason = reason;
    JournalStreamAt(place.mark, &kept.stream);
    StatusLine status;
    kept.score = ReadStatusLine(place.title, &status) ? status.score : w.game.status.score;
    kept.levelReached = w.game.levelReached;
    w.receiver(kept);
}

} // namespace

bool ReadStatusLine(const std::string &title, StatusLine *out) {
    const char *at = title.c_str();
    int64_t lives = 0;
    int64_t level = 0;
    int64_t score = 0;
    if (!Literal(&at, "Lives: ") || !Number(&at, true, &lives) || !Literal(&at, " - Level ") ||
        !Number(&at, false, &level) || !Literal(&at, " - Score: ") || !Number(&at, true, &score) ||
        *at != '\0' || lives < INT32_MIN || lives > INT32_MAX || level > INT32_MAX ||
        score < INT32_MIN || score > INT32_MAX) {
        return false;
    }
    *out = StatusLine{int(lives), int(level), int32_t(score)};
    return true;
}

const WatchedGame &CurrentGame() {
    return W().game;
}

void OnGameRecorded(std::function<void(const GameRecord &)> receiver) {
    W().receiver = std::move(receiver);
}

uint64_t PictureHash(HWND window) {
    Window *w = GetWindow(window);
    if (w == nullptr) {
        return 0;
    }
    uint64_t hash = 14695981039346656037u;
    const uint32_t *pixels = w->Client();
    const size_t count = size_t(w->clientW) * size_t(w->clientH);
    for (size_t i = 0; i < count; ++i) {
        hash = (hash ^ pixels[i]) * 1099511628211u;
    }
    return hash;
}

// ---- The core's hooks ----

void ResetGameWatch() {
    auto receiver = std::move(W().receiver);
    W() = Watch{};
    W().receiver = std::move(receiver);
}

void DecisionPoint() {
    Watch &w = W();
    w.beforeDeliveryOpen = false;
    if (w.endPending) {
        Place now;
        TakePlace(&now);
        EndGame(now, replay::EndReason::GameOver);
    }
}

void BeforeDelivery() {
    TakePlace(&W().beforeDelivery);
    W().beforeDeliveryOpen = true;
}

void NoteDrawing(HWND hwnd) {
    Watch &w = W();
    if (w.beforeDeliveryOpen && IsMain(hwnd)) {
        TakePicture(&w.beforeDelivery);
    }
}

void NoteTitle(HWND hwnd, const std::string &title) {
    Watch &w = W();
    StatusLine status;
    if (!IsMain(hwnd) || !ReadStatusLine(title, &status)) {
        return;
    }
    w.game.status = status;
    w.game.levelReached = std::max(w.game.levelReached, status.level);
    const bool livesOut = status.lives <= 0;
    if (livesOut != w.game.livesOut) {
        w.game.livesOut = livesOut;
        RefreshNotices();
    }
}

void NoteBitmapLoaded(LPCSTR name) {
    Watch &w = W();
    if (w.game.running && name != nullptr && !IS_INTRESOURCE(name) &&
        std::strcmp(name, "BMP_GAMEOVER") == 0) {
        w.endPending = true;
    }
}

void NoteDispatch(const MSG &msg) {
    if (msg.message != WM_COMMAND || LOWORD(msg.wParam) != kNewGameCommand || !IsMain(msg.hwnd)) {
        return;
    }
    Watch &w = W();
    // The game that runs ends where the input that asked for this one came
    // in; the new one starts there.
    EndGame(w.beforeDelivery, replay::EndReason::NewGame);
    w.game.running = true;
    w.game.livesOut = false;
    w.game.levelReached = 0;
    w.startTick = w.beforeDelivery.ticks;
    RefreshNotices();
}

void NoteQuit() {
    EndGame(W().beforeDelivery, replay::EndReason::Quit);
}

bool KeptFileAndRow(const GameRecord &record, const char *version, int64_t date,
                    std::vector<uint8_t> *file, replay::GameRow *row, std::string *error) {
    replay::ReplayHeader header = record.header;
    header.programVersion = version;
    header.date = date;
    if (!replay::WriteReplay(header, record.stream, file, error)) {
        return false;
    }
    *row = replay::GameRow();
    row->score = record.score;
    row->level = record.levelReached;
    row->ticks = header.gameTicks;
    row->date = header.date;
    row->status = header.status;
    return true;
}

} // namespace zplat
