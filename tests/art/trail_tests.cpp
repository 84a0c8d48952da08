// The game draws its sprites straight onto the window, with no back buffer,
// and never erases an object before drawing it at its new place: the black
// margin of each sprite wipes the image it left one tick before. A moving
// sprite therefore needs a black margin at least as wide as its object's
// largest step, on the side it moves away from, or it leaves a trail.
#include "tests/support/art_files.h"

#include <algorithm>
#include <sstream>

using namespace support;

namespace {

// How far an object steps in one tick (x grows right, y grows down), and the
// frames it is drawn with, in the order the game shows them.
struct Mover {
    std::string what, frames;
    int dxMin, dxMax, dyMin, dyMax;
    std::vector<Icon> Frames() const {
        std::vector<Icon> icons;
        std::istringstream names(frames);
        for (std::string name; names >> name;) {
            icons.push_back(LoadIcon("IC_" + name));
        }
        return icons;
    }
};
const Mover kMovers[] = {
    // The player's ship goes sideways; escort ships also climb a row.
    {"ship", "SHIP1 SHIP2 SHIP3 SHIP3 SHIP2 SHIP1", -4, 4, -1, 0},
    {"alien", "ALIEN1 ALIEN2 ALIEN3 ALIEN4 ALIEN5 ALIEN4 ALIEN3 ALIEN2", -2, 2, 1, 6},
    {"kamikaze", "KAMIK1 KAMIK2", -6, 6, -2, -1},
    {"crazy invader", "CRAZY1 CRAZY2", -2, 2, 0, 2},
    {"rocket", "ROCKET1 ROCKET2", 0, 0, 6, 6},
    {"missile", "MISSILE1 MISSILE2", 0, 0, -4, -4},
    {"fireball", "EXPLOSE1 EXPLOSE2", -2, 2, 4, 4},
    {"base", "BASE1 BASE2 BASE3 BASE4 BASE3 BASE2", 0, 0, -1, 1},
};

// How many whole columns (rows) on each side wipe what is under them: a
// margin pixel does only when it is opaque and black.
struct Margins {
    int left = 0, right = 0, top = 0, bottom = 0;
};
Margins WipingMargins(const Icon &icon) {
    auto wipes = [&](int x0, int y0, int dx, int dy) {
        for (int x = x0, y = y0; x < icon.width && y < icon.height; x += dx, y += dy) {
            if (icon.at(x, y) != 0) {
                return false;
            }
        }
        return true;
    };
    const int w = icon.width, h = icon.height;
    Margins m;
    while (m.left < w && wipes(m.left, 0, 0, 1)) {
        ++m.left;
    }
    while (m.right < w && wipes(w - 1 - m.right, 0, 0, 1)) {
        ++m.right;
    }
    while (m.top < h && wipes(0, m.top, 1, 0)) {
        ++m.top;
    }
    while (m.bottom < h && wipes(0, h - 1 - m.bottom, 1, 0)) {
        ++m.bottom;
    }
    return m;
}

} // namespace

TEST(Trails, FiguresKeepTheirPlaceInTheCellFromFrameToFrame) {
    // With the margins made wide enough, no frame may sit higher or further
    // to one side than the others, or the figure jitters as it animates (the
    // fireball flickers in size by design).
    for (const Mover &m : kMovers) {
        if (m.what == "fireball") {
            continue;
        }
        const std::vector<Icon> frames = m.Frames();
        const Margins first = WipingMargins(frames[0]);
        for (size_t k = 0; k < frames.size(); ++k) {
            const Margins got = WipingMargins(frames[k]);
            if (m.what != "crazy invader") { // its sparks spin
                EXPECT_EQ(got.top, first.top) << m.what << " frame " << k << " jumps up or down";
            }
            EXPECT_EQ(got.left - got.right, first.left - first.right)
                << m.what << " frame " << k << " jumps sideways";
        }
    }
}

TEST(Trails, NothingIsLeftBehindWhenTheGamePaintsWithoutErasing) {
    // Play each animation along every extreme step, several ticks in a row,
    // onto one window (each draw copies the opaque pixels, nothing is ever
    // cleared), and look for pixels outside the last sprite drawn.
    for (const Mover &m : kMovers) {
        const std::vector<Icon> frames = m.Frames();
        const int size = frames[0].width, ticks = 12, span = size + ticks * 8;
        for (int dx : {m.dxMin, 0, m.dxMax}) {
            for (int dy : {m.dyMin, m.dyMax}) {
                art::Image window(2 * span, 2 * span);
                int x = span - dx * ticks / 2 - size / 2, y = span - dy * ticks / 2 - size / 2;
                for (int t = 0; t < ticks; ++t, x += dx, y += dy) {
                    for (int py = 0; py < size; ++py) {
                        for (int px = 0; px < size; ++px) {
                            if (!frames[size_t(t) % frames.size()].clear(px, py)) {
                                window.set(x + px, y + py,
                                           frames[size_t(t) % frames.size()].at(px, py));
                            }
                        }
                    }
                }
                x -= dx, y -= dy;
                int trail = 0;
                for (int py = 0; py < window.height; ++py) {
                    for (int px = 0; px < window.width; ++px) {
                        trail += window.at(px, py) != 0 &&
                                 (px < x || py < y || px >= x + size || py >= y + size);
                    }
                }
                EXPECT_EQ(trail, 0)
                    << m.what << " stepping (" << dx << "," << dy << ") leaves a trail";
            }
        }
    }
}
