// The SDL backend's present path on SDL's offscreen driver: finding what
// changed, scaling it into the window surface and handing it on, per frame,
// with percentiles.  The frames are the real game's, made on the headless
// backend first.
//
//   sdl_present_benchmarks [--benchmark_filter=REGEX]
//
// GameFrames: consecutive ticks of a game (a few sprites move), without the
//   core's word on where it drew: the backend compares whole frames.
// GameFramesHinted: the same with that word, taken here as the box around
//   what changed (the core's box around what it drew is at least that).
// WholePictures: the introduction and About pictures in turn (everything).
// Minimised: a game frame while minimised (the icon is made from it too).
#include "bench/percentiles.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/sdl/sdl_backend.h"
#include "presentation/playfield.h"
#include "presentation/sprites.h"
#include "presentation/window_services.h"
#include "resources/game_module.h"
#include "rules/game_tick.h"
#include "tests/support/game_fixture.h"
#include "tests/support/game_window.h"
#include "world/game_state.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

const int kWidth = 511;
const int kHeight = 330 + 19; // client and menu bar

using Image = std::vector<uint32_t>;

// The client area as the composed image's lower part, under a black bar.
Image Composed(HWND window) {
    const headless::Image client = headless::ClientImage(window);
    Image image(size_t(kWidth) * kHeight, 0);
    std::copy(client.pixels.begin(), client.pixels.end(), image.begin() + 19 * kWidth);
    return image;
}

// 400 ticks of a game, and the two pictures, drawn on the headless backend.
void MakeFrames(std::vector<Image> *game, std::vector<Image> *pictures) {
    support::SetUpGame(GameModule());
    DrawPlayfield(drawDC);
    ShowBitmap(drawDC, 32, 0, "BMP_INTRO");
    pictures->push_back(Composed(mainWindow));
    ShowBitmap(drawDC, 32, 0, "BMP_ABOUT");
    pictures->push_back(Composed(mainWindow));
    SeedRandom(11);
    support::NewGame();
    for (int t = 0; t < 600; ++t) {
        support::Hunt();
        GameTick();
        if (t >= 200) {
            game->push_back(Composed(mainWindow));
        }
    }
    support::TearDownGame();
}

struct Fixture {
    std::vector<Image> game, pictures;
    std::vector<zplat::Area> hints; // game[i] against game[i - 1]
    // The same as a few boxes, as the core names them.
    std::vector<std::vector<zplat::Area>> boxes;
    std::unique_ptr<zsdl::SdlBackend> backend;
    HWND window = reinterpret_cast<HWND>(uintptr_t(0x5eed));
    Fixture() {
        MakeFrames(&game, &pictures);
        for (size_t i = 0; i < game.size(); ++i) {
            const Image &before = game[(i + game.size() - 1) % game.size()];
            const zplat::Frame frame{game[i].data(), kWidth, kHeight, 0, 19, false};
            hints.push_back(zplat::ChangedArea(before.data(), frame));
            std::vector<zplat::Area> parts(zplat::kChangedBoxes);
            parts.resize(size_t(
                zplat::ChangedAreas(before.data(), frame, parts.data(), zplat::kChangedBoxes)));
            boxes.push_back(parts);
        }
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        backend = std::make_unique<zsdl::SdlBackend>(GameModule());
        backend->CreateNativeWindow(window, "present", 0, 0, kWidth, kHeight);
        backend->ShowNativeWindow(window, true);
    }
};

Fixture &F() {
    // Made on first use and kept for the whole run: never destroyed, so it
    // has no owner.
    static Fixture *fixture = new Fixture; // NOLINT(cppcoreguidelines-owning-memory)
    return *fixture;
}

void Present(benchmark::State &state, const std::vector<Image> &frames, bool minimised,
             const std::vector<zplat::Area> *hints = nullptr,
             const std::vector<std::vector<zplat::Area>> *boxes = nullptr) {
    Fixture &f = F();
    if (f.backend->NativeWindow(f.window) == nullptr) {
        state.SkipWithError("no SDL window (offscreen driver missing?)");
        return;
    }
    state.counters["scale"] = f.backend->Scale(f.window);
    bench::Samples samples;
    size_t i = 0;
    for (auto _ : state) {
        const size_t at = i++ % frames.size();
        zplat::Frame frame{frames[at].data(), kWidth, kHeight, 0, 19, minimised};
        if (hints != nullptr) {
            const zplat::Area &hint = (*hints)[at];
            frame.changedX = hint.x;
            frame.changedY = hint.y;
            frame.changedWidth = hint.width;
            frame.changedHeight = hint.height;
        }
        if (boxes != nullptr) {
            const std::vector<zplat::Area> &parts = (*boxes)[at];
            frame.changedBoxCount = int(parts.size());
            std::copy(parts.begin(), parts.end(), frame.changedBoxes);
        }
        samples.Time(state, [&] { f.backend->Present(f.window, frame); });
    }
    samples.Report(state);
}

void GameFrames(benchmark::State &state) {
    Present(state, F().game, false);
}
void GameFramesHinted(benchmark::State &state) {
    Present(state, F().game, false, &F().hints);
}
void GameFramesInBoxes(benchmark::State &state) {
    Present(state, F().game, false, &F().hints, &F().boxes);
}
void WholePictures(benchmark::State &state) {
    Present(state, F().pictures, false);
}
void Minimised(benchmark::State &state) {
    Present(state, F().game, true);
}
BENCHMARK(GameFrames)->UseManualTime();
BENCHMARK(GameFramesHinted)->UseManualTime();
BENCHMARK(GameFramesInBoxes)->UseManualTime();
BENCHMARK(WholePictures)->UseManualTime();
BENCHMARK(Minimised)->UseManualTime();

} // namespace

BENCHMARK_MAIN();
