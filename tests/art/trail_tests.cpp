// The game draws its sprites straight onto the window, with no back buffer,
// and never erases an object before drawing it at its new place: the black
// margin of each sprite wipes the image it left one tick before. A moving
// sprite therefore needs a black margin at least as wide as its object's
// largest step, on the side it moves away from, or it leaves a trail.
#include "tests/art/art_test_support.h"

#include <algorithm>

using namespace arttest;

namespace {

// How far an object steps in one tick (x grows right, y grows down), and the
// frames it is drawn with, in the order the game shows them.
struct Mover {
    const char *what;
    std::vector<std::string> frames;
    int dxMin, dxMax, dyMin, dyMax;
};
const std::vector<Mover> &Movers() {
    static const std::vector<Mover> movers = {
        // The player's ship goes sideways; escort ships also climb a row.
        {"ship",
         {"IC_SHIP1", "IC_SHIP2", "IC_SHIP3", "IC_SHIP3", "IC_SHIP2", "IC_SHIP1"},
         -4,
         4,
         -1,
         0},
        {"alien",
         {"IC_ALIEN1", "IC_ALIEN2", "IC_ALIEN3", "IC_ALIEN4", "IC_ALIEN5", "IC_ALIEN4", "IC_ALIEN3",
          "IC_ALIEN2"},
         -2,
         2,
         1,
         6},
        {"kamikaze", {"IC_KAMIK1", "IC_KAMIK2"}, -6, 6, -2, -1},
        {"crazy invader", {"IC_CRAZY1", "IC_CRAZY2"}, -2, 2, 0, 2},
        {"rocket", {"IC_ROCKET1", "IC_ROCKET2"}, 0, 0, 6, 6},
        {"missile", {"IC_MISSILE1", "IC_MISSILE2"}, 0, 0, -4, -4},
        {"fireball", {"IC_EXPLOSE1", "IC_EXPLOSE2"}, -2, 2, 4, 4},
        {"base",
         {"IC_BASE1", "IC_BASE2", "IC_BASE3", "IC_BASE4", "IC_BASE3", "IC_BASE2"},
         0,
         0,
         -1,
         1},
    };
    return movers;
}

// A margin pixel wipes what is under it only when it is opaque and black.
bool Wipes(const Icon &icon, int x, int y) {
    return !icon.clear(x, y) && icon.at(x, y) == 0;
}
// How many whole columns (rows) on each side wipe.
struct Margins {
    int left = 0, right = 0, top = 0, bottom = 0;
};
Margins WipingMargins(const Icon &icon) {
    auto column = [&](int x) {
        for (int y = 0; y < icon.height; ++y)
            if (!Wipes(icon, x, y))
                return false;
        return true;
    };
    auto row = [&](int y) {
        for (int x = 0; x < icon.width; ++x)
            if (!Wipes(icon, x, y))
                return false;
        return true;
    };
    Margins m;
    while (m.left < icon.width && column(m.left))
        ++m.left;
    while (m.right < icon.width && column(icon.width - 1 - m.right))
        ++m.right;
    while (m.top < icon.height && row(m.top))
        ++m.top;
    while (m.bottom < icon.height && row(icon.height - 1 - m.bottom))
        ++m.bottom;
    return m;
}

// The window as the game paints it: each draw copies the sprite's opaque
// pixels over whatever is there, and nothing is ever cleared.
struct Window {
    int width, height;
    std::vector<uint8_t> pixels;
    Window(int w, int h) : width(w), height(h), pixels(size_t(w) * size_t(h), 0) {}
    void Draw(const Icon &icon, int left, int top) {
        for (int y = 0; y < icon.height; ++y)
            for (int x = 0; x < icon.width; ++x)
                if (!icon.clear(x, y))
                    pixels[size_t(top + y) * size_t(width) + size_t(left + x)] = icon.at(x, y);
    }
    // Coloured pixels outside the rectangle of the sprite drawn last.
    int LitOutside(int left, int top, int w, int h) const {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (pixels[size_t(y) * size_t(width) + size_t(x)] != 0 &&
                    (x < left || y < top || x >= left + w || y >= top + h))
                    ++n;
        return n;
    }
};

} // namespace

TEST(Trails, EveryFrameOfAMovingSpriteHasBlackMarginsForItsLargestStep) {
    for (const Mover &m : Movers()) {
        // Moving right by dx leaves the old image's left dx columns outside
        // the new one, and so on for every side.
        const int left = std::max(m.dxMax, 0), right = std::max(-m.dxMin, 0);
        const int top = std::max(m.dyMax, 0), bottom = std::max(-m.dyMin, 0);
        for (const std::string &name : m.frames) {
            SCOPED_TRACE(std::string(m.what) + " frame " + name);
            const Margins got = WipingMargins(LoadIcon(name));
            EXPECT_GE(got.left, left) << "trail on the left when it moves right";
            EXPECT_GE(got.right, right) << "trail on the right when it moves left";
            EXPECT_GE(got.top, top) << "trail above when it moves down";
            EXPECT_GE(got.bottom, bottom) << "trail below when it moves up";
        }
    }
}

TEST(Trails, FiguresKeepTheirPlaceInTheCellFromFrameToFrame) {
    // With the margins made wide enough, no frame may sit higher or further
    // to one side than the others, or the figure jitters as it animates (the
    // fireball flickers in size by design).
    for (const Mover &m : Movers()) {
        if (std::string(m.what) == "fireball")
            continue;
        const Margins first = WipingMargins(LoadIcon(m.frames[0]));
        for (const std::string &name : m.frames) {
            const Margins got = WipingMargins(LoadIcon(name));
            if (std::string(m.what) != "crazy invader") { // its sparks spin around it
                EXPECT_EQ(got.top, first.top) << m.what << ": " << name << " jumps up or down";
            }
            EXPECT_EQ(got.left - got.right, first.left - first.right)
                << m.what << ": " << name << " jumps sideways";
        }
    }
}

TEST(Trails, NothingIsLeftBehindWhenTheGamePaintsWithoutErasing) {
    // Play each animation along every extreme step, several ticks in a row,
    // onto one window, and look for pixels outside the last sprite drawn.
    for (const Mover &m : Movers()) {
        std::vector<Icon> frames;
        for (const std::string &name : m.frames)
            frames.push_back(LoadIcon(name));
        const int size = frames[0].width, ticks = 12;
        for (int dx : {m.dxMin, 0, m.dxMax})
            for (int dy : {m.dyMin, m.dyMax}) {
                const int span = size + ticks * 8;
                Window window(2 * span, 2 * span);
                int x = span - dx * ticks / 2 - size / 2, y = span - dy * ticks / 2 - size / 2;
                for (int t = 0; t < ticks; ++t, x += dx, y += dy)
                    window.Draw(frames[size_t(t) % frames.size()], x, y);
                x -= dx;
                y -= dy;
                EXPECT_EQ(window.LitOutside(x, y, size, size), 0)
                    << m.what << " stepping (" << dx << "," << dy << ") leaves a trail";
            }
    }
}
