// The journal: a record of what a program read (its tick counts, the
// desktop's size, windows that could not be made, and the order in which
// input and timer messages reached it) plays back to the very same messages
// in the very same order, on another clock and another desktop.
#include "platform/journal.h"
#include "platform/session.h"
#include "tests/support/recording_window.h"
#include "tests/support/resource_files.h"

#include <gtest/gtest.h>

namespace {

using support::seen;

// A small program of recording windows that reads from outside at odd
// moments: the tick count and the desktop's size on keys, a second window
// with a timer of its own made on some ticks (or refused), destroyed later.
struct Program {
    HINSTANCE module = nullptr;
    HWND main = nullptr;
    std::vector<HWND> made;      // every window, in creation order
    std::vector<uint64_t> reads; // what it read, in order
    int ticks = 0;
    HWND extra = nullptr;

    static Program *current;

    void Start() {
        current = this;
        module = support::RegisterTestModule({});
        support::RegisterTestClass("JOURNAL", module);
        reads.push_back(GetTickCount());
        main = Make();
        ShowWindow(main, SW_SHOW);
        SetTimer(main, 7, 50, NULL);
        support::hook = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM, LRESULT *result) {
            return current->Handle(hwnd, message, wParam, result);
        };
    }

    HWND Make() {
        HWND w = support::MakeWindow("JOURNAL", module, 120, 90);
        made.push_back(w);
        reads.push_back(w != NULL);
        return w;
    }

    void ReadDesktop() {
        RECT r = {0, 0, 0, 0};
        GetWindowRect(GetDesktopWindow(), &r);
        reads.push_back(uint64_t(r.right) << 32 | uint64_t(r.bottom));
    }

    bool Handle(HWND hwnd, UINT message, WPARAM wParam, LRESULT *result) {
        *result = 0;
        if (message == WM_KEYDOWN && wParam == 'T') {
            reads.push_back(GetTickCount());
            ReadDesktop();
            return true;
        }
        if (message == WM_TIMER && hwnd == main && ++ticks % 9 == 0) {
            if (extra != NULL) {
                DestroyWindow(extra);
                extra = NULL;
            } else if ((extra = Make()) != NULL) {
                ShowWindow(extra, SW_SHOW);
                SetTimer(extra, 3, 130, NULL);
            }
            return true;
        }
        if (message == WM_KEYDOWN && wParam == 'Q') {
            PostQuitMessage(5);
            return true;
        }
        return false;
    }

    // The messages seen, each window named by its creation order.
    std::vector<std::vector<uint64_t>> Log() const {
        std::vector<std::vector<uint64_t>> log;
        for (const support::Seen &s : seen) {
            uint64_t window = 0;
            for (size_t i = 0; i < made.size(); ++i) {
                if (made[i] == s.hwnd) {
                    window = i + 1;
                }
            }
            // Handles and pointers the messages carry (a device context, the
            // creation record) are the platform's own, not what it read.
            const bool carriesHandle = s.message == WM_CREATE || s.message == WM_ERASEBKGND;
            log.push_back({window, s.message, carriesHandle ? 0 : uint64_t(s.wParam),
                           carriesHandle ? 0 : uint64_t(s.lParam)});
        }
        return log;
    }
};
Program *Program::current = nullptr;

// Input at odd moments, some of it several events at once.
void Script(uint64_t start, Program *p) {
    auto at = [start](uint64_t ms, std::function<void()> fn) { headless::At(start + ms, fn); };
    at(130, [p] { headless::Key(p->main, 'T'); });
    at(260, [p] {
        headless::Key(p->main, VK_LEFT, 3); // held: repeats
        headless::KeyUp(p->main, VK_LEFT);
        headless::Click(p->main, 30, 40);
    });
    at(401, [p] { headless::Minimize(p->main); });
    at(402, [p] {
        // Restored and typed on at once: the key comes before the repaint.
        headless::Restore(p->main);
        headless::Key(p->main, 'T');
    });
    at(690, [] { headless::SetDesktopSize(1280, 1024); });
    at(700, [p] { headless::Key(p->main, 'T'); });
    at(840, [] { headless::FailWindowCreation(true); });
    at(1300, [] { headless::FailWindowCreation(false); });
    at(1555, [p] { headless::AltLetter(p->main, 'X'); });
    at(2222, [p] { headless::Key(p->main, 'Q'); });
}

TEST(Journal, PlaybackGivesTheSameMessagesInTheSameOrderElsewhere) {
    // Recording, on a clock near the tick count's wrap.
    support::ResetPlatform();
    headless::Reset(4294967000u);
    headless::OnFailure([](const std::string &why) { ADD_FAILURE() << "headless: " << why; });
    zplat::StartRecording();
    Program recorded;
    recorded.Start();
    Script(4294967000u, &recorded);
    EXPECT_EQ(support::RunLoop(), 5);
    const std::vector<uint8_t> stream = zplat::RecordedStream();
    const auto log = recorded.Log();
    const uint64_t ticks = zplat::JournalTicks();
    ASSERT_GT(log.size(), 60u);
    EXPECT_EQ(ticks, uint64_t(recorded.ticks));

    // Played back on another clock and desktop, with no input at all.
    support::ResetPlatform();
    headless::Reset(77);
    headless::SetDesktopSize(640, 480);
    zplat::StartPlayback(stream, zplat::PlaybackPace{});
    Program played;
    played.Start();
    EXPECT_EQ(support::RunLoop(), 5);
    EXPECT_EQ(zplat::PlaybackError(), "");
    EXPECT_EQ(played.reads, recorded.reads);
    EXPECT_EQ(played.Log(), log);
    EXPECT_EQ(zplat::JournalTicks(), ticks);
    zplat::StopJournal();
}

TEST(Journal, AnotherProgramsRecordStopsThePlaybackSayingWhere) {
    support::ResetPlatform();
    zplat::StartRecording();
    Program recorded;
    recorded.Start();
    headless::At(300, [&] { headless::Key(recorded.main, 'Q'); });
    support::RunLoop();
    const std::vector<uint8_t> stream = zplat::RecordedStream();

    // This program reads the tick count where the record has a timer.
    support::ResetPlatform();
    zplat::StartPlayback(stream, zplat::PlaybackPace{});
    Program other;
    other.Start();
    support::Handle(WM_TIMER, [](HWND) { return LRESULT(GetTickCount()); });
    EXPECT_EQ(support::RunLoop(), 0);
    EXPECT_NE(zplat::PlaybackError().find("the program read the tick count"), std::string::npos)
        << zplat::PlaybackError();
    zplat::StopJournal();
}

} // namespace
