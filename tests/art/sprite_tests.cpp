// How the sprites read in play: animations that change from frame to frame,
// figures that face the way they move, explosions that grow, and a frame of
// walls and ground whose tiles join without seams.
#include "tests/support/art_files.h"

#include <algorithm>
#include <cmath>

using namespace support;

namespace {

int Differences(const Icon &a, const Icon &b) {
    int n = 0;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
        n += a.pixels[i] != b.pixels[i];
    return n;
}

int RowWidth(const Icon &icon, int y) {
    int n = 0;
    for (int x = 0; x < icon.width; ++x)
        n += icon.lit(x, y);
    return n;
}

// A figure that points up has a narrow tip on top and its widest part in
// its lower half (and the reverse for one that points down).
void ExpectPointsUp(const std::string &name, bool up) {
    SCOPED_TRACE(name);
    Icon icon = LoadIcon(name);
    int top = icon.height, bottom = -1, widest = 0;
    for (int y = 0; y < icon.height; ++y)
        if (RowWidth(icon, y)) {
            top = std::min(top, y), bottom = y;
            widest = RowWidth(icon, y) > RowWidth(icon, widest) ? y : widest;
        }
    ASSERT_LT(top, bottom);
    EXPECT_LE(RowWidth(icon, up ? top : bottom), 2) << "no narrow tip at the front";
    EXPECT_TRUE(up ? widest > (top + bottom) / 2 : widest < (top + bottom) / 2)
        << "widest part is not behind the tip";
}

// Mean distance of the lit pixels from the cell's centre.
double Spread(const Icon &icon) {
    double sum = 0;
    int n = 0;
    for (int y = 0; y < icon.height; ++y)
        for (int x = 0; x < icon.width; ++x)
            if (icon.lit(x, y)) {
                sum += std::hypot(x - (icon.width - 1) / 2.0, y - (icon.height - 1) / 2.0);
                ++n;
            }
    return n ? sum / n : 0;
}

// Pixels that differ between column (or row) a of one tile and column (row) b
// of another: how abrupt the change is where two tiles meet; and the most
// abrupt change between neighbouring columns (rows) inside a tile.
int Seam(const Icon &first, int a, const Icon &second, int b, bool columns = true) {
    int n = 0;
    for (int k = 0; k < 32; ++k)
        n += columns ? first.at(a, k) != second.at(b, k) : first.at(k, a) != second.at(k, b);
    return n;
}

int Roughest(const Icon &t, bool columns = true) {
    int most = 0;
    for (int k = 0; k + 1 < 32; ++k)
        most = std::max(most, Seam(t, k, t, k + 1, columns));
    return most;
}

} // namespace

TEST(Animation, FramesStepAndExplosionsGrow) {
    // Each cycle differs from frame to frame, but only as a step of one
    // movement (explosions aside): not a new figure.
    for (auto [stem, count] : {std::pair{"IC_SHIP", 3},
                               {"IC_ALIEN", 5},
                               {"IC_BASE", 4},
                               {"IC_KAMIK", 2},
                               {"IC_CRAZY", 2},
                               {"IC_ROCKET", 2},
                               {"IC_MISSILE", 2},
                               {"IC_EXPLOSE", 4}}) {
        for (int k = 1; k < count; ++k) {
            Icon a = LoadIcon(stem + std::to_string(k)), b = LoadIcon(stem + std::to_string(k + 1));
            EXPECT_GE(Differences(a, b), 2) << stem << k << " and the next";
            if (!Starts(stem, "IC_EXPLOSE")) {
                EXPECT_LT(Differences(a, b), a.width * a.height / 4)
                    << stem << k << " and the next jump";
            }
        }
    }
    double before = 0;
    for (int k = 1; k <= 4; ++k) {
        const double spread = Spread(LoadIcon("IC_EXPLOSE" + std::to_string(k)));
        EXPECT_GT(spread, before + 1.0)
            << "IC_EXPLOSE" << k << " is not larger than the one before";
        before = spread;
    }
}

TEST(Figures, FaceTheWayTheyMove) {
    for (const char *up : {"IC_SHIP1", "IC_SHIP2", "IC_SHIP3", "IC_MISSILE1", "IC_MISSILE2"})
        ExpectPointsUp(up, true);
    for (const char *down : {"IC_ROCKET1", "IC_ROCKET2"})
        ExpectPointsUp(down, false);
}

TEST(FrameTiles, GroundWallsAndCornersJoinWithoutSeams) {
    const Icon left = LoadIcon("IC_WALL4"), right = LoadIcon("IC_WALL3");
    const Icon bottomLeft = LoadIcon("IC_WALL1"), bottomRight = LoadIcon("IC_WALL2");
    std::vector<Icon> land;
    int roughest = 0;
    for (int k = 1; k <= 4; ++k) {
        land.push_back(LoadIcon("IC_LAND" + std::to_string(k)));
        roughest = std::max(roughest, Roughest(land.back()));
    }
    // Ground tiles join in any order, and their surfaces (first lit row) line
    // up at both edges, so the ground line runs straight across.
    auto surface = [](const Icon &t, int x) {
        int y = 0;
        while (y < 32 && !t.lit(x, y))
            ++y;
        return y;
    };
    for (size_t a = 0; a < 4; ++a) {
        for (size_t b = 0; b < 4; ++b)
            EXPECT_LE(Seam(land[a], 31, land[b], 0), roughest)
                << "IC_LAND" << a + 1 << "|" << b + 1;
        EXPECT_EQ(surface(land[a], 0), surface(land[0], 0)) << "IC_LAND" << a + 1;
        EXPECT_EQ(surface(land[a], 31), surface(land[0], 0)) << "IC_LAND" << a + 1;
        // The bottom corners meet every ground tile at their inner side.
        EXPECT_LE(Seam(bottomLeft, 31, land[a], 0), Roughest(land[a])) << "IC_WALL1|" << a + 1;
        EXPECT_LE(Seam(land[a], 31, bottomRight, 0), Roughest(land[a])) << a + 1 << "|IC_WALL2";
    }
    // Walls stack, and the corners stand under their wall column.
    for (auto [wall, corner] : {std::pair{&left, &bottomLeft}, std::pair{&right, &bottomRight}}) {
        EXPECT_LE(Seam(*wall, 31, *wall, 0, false), Roughest(*wall, false))
            << "wall does not stack";
        EXPECT_LE(Seam(*wall, 31, *corner, 0, false), Roughest(*wall, false));
    }
    // The left column's figure leans on the left edge, the right one's on the
    // right edge, so each faces into the playfield.
    int outer = 0, inner = 0;
    for (int y = 0; y < 32; ++y) {
        outer += left.lit(1, y) + right.lit(30, y);
        inner += left.lit(30, y) + right.lit(1, y);
    }
    EXPECT_GT(outer, inner);
}
