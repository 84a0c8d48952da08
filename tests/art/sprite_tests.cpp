// How the sprites read in play: animations that change from frame to frame,
// figures that face the way they move, explosions that grow, and a frame of
// walls and ground whose tiles join without seams.
#include "tests/art/art_test_support.h"

#include <algorithm>
#include <cmath>

using namespace arttest;

namespace {

int Differences(const Icon &a, const Icon &b) {
    int n = 0;
    for (size_t i = 0; i < a.index.size() && i < b.index.size(); ++i)
        n += a.index[i] != b.index[i];
    return n;
}

// Lit pixels in row y, and the rows that hold any.
int RowWidth(const Icon &icon, int y) {
    int n = 0;
    for (int x = 0; x < icon.width; ++x)
        n += icon.lit(x, y);
    return n;
}
void LitRows(const Icon &icon, int *top, int *bottom) {
    *top = icon.height;
    *bottom = -1;
    for (int y = 0; y < icon.height; ++y)
        if (RowWidth(icon, y)) {
            *top = std::min(*top, y);
            *bottom = std::max(*bottom, y);
        }
}

// A figure that points up has a narrow tip on top and its widest part in
// its lower half (and the reverse for one that points down).
void ExpectPointsUp(const std::string &name, bool up) {
    SCOPED_TRACE(name);
    Icon icon = LoadIcon(name);
    int top, bottom;
    LitRows(icon, &top, &bottom);
    ASSERT_LT(top, bottom);
    int widest = top;
    for (int y = top; y <= bottom; ++y)
        if (RowWidth(icon, y) > RowWidth(icon, widest))
            widest = y;
    const int tip = up ? top : bottom;
    EXPECT_LE(RowWidth(icon, tip), 2) << "no narrow tip at the front";
    const int middle = (top + bottom) / 2;
    if (up)
        EXPECT_GT(widest, middle) << "widest part is not behind the tip";
    else
        EXPECT_LT(widest, middle) << "widest part is not behind the tip";
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

// Pixels that differ between column/row a of one tile and column/row b of
// another: how abrupt the change is where two tiles meet.
int ColumnSeam(const Icon &left, int a, const Icon &right, int b) {
    int n = 0;
    for (int y = 0; y < 32; ++y)
        n += left.at(a, y) != right.at(b, y);
    return n;
}
int RowSeam(const Icon &upper, int a, const Icon &lower, int b) {
    int n = 0;
    for (int x = 0; x < 32; ++x)
        n += upper.at(x, a) != lower.at(x, b);
    return n;
}
// The most abrupt change between neighbouring columns (rows) inside a tile.
int RoughestColumnStep(const Icon &t) {
    int most = 0;
    for (int x = 0; x + 1 < 32; ++x)
        most = std::max(most, ColumnSeam(t, x, t, x + 1));
    return most;
}
int RoughestRowStep(const Icon &t) {
    int most = 0;
    for (int y = 0; y + 1 < 32; ++y)
        most = std::max(most, RowSeam(t, y, t, y + 1));
    return most;
}

} // namespace

TEST(Animation, EveryFrameDiffersFromTheNextOneShown) {
    const std::vector<std::vector<std::string>> cycles = {
        {"IC_SHIP1", "IC_SHIP2", "IC_SHIP3"},
        {"IC_ALIEN1", "IC_ALIEN2", "IC_ALIEN3", "IC_ALIEN4", "IC_ALIEN5"},
        {"IC_BASE1", "IC_BASE2", "IC_BASE3", "IC_BASE4"},
        {"IC_KAMIK1", "IC_KAMIK2"},
        {"IC_CRAZY1", "IC_CRAZY2"},
        {"IC_ROCKET1", "IC_ROCKET2"},
        {"IC_MISSILE1", "IC_MISSILE2"},
        {"IC_EXPLOSE1", "IC_EXPLOSE2", "IC_EXPLOSE3", "IC_EXPLOSE4"},
    };
    for (const auto &cycle : cycles)
        for (size_t i = 0; i + 1 < cycle.size(); ++i) {
            Icon a = LoadIcon(cycle[i]), b = LoadIcon(cycle[i + 1]);
            EXPECT_GE(Differences(a, b), 2) << cycle[i] << " and " << cycle[i + 1];
            // ...but a frame is a step of one movement, not a new figure.
            if (cycle[i].rfind("IC_EXPLOSE", 0) != 0) {
                EXPECT_LT(Differences(a, b), a.width * a.height / 4)
                    << cycle[i] << " and " << cycle[i + 1] << " jump";
            }
        }
}

TEST(Animation, ExplosionsGrowOverTheirFourFrames) {
    double before = 0;
    for (int k = 1; k <= 4; ++k) {
        Icon e = LoadIcon("IC_EXPLOSE" + std::to_string(k));
        const double spread = Spread(e);
        EXPECT_GT(spread, before + 1.0)
            << "IC_EXPLOSE" << k << " is not larger than the one before";
        before = spread;
    }
}

TEST(Figures, FaceTheWayTheyMove) {
    for (const char *ship : {"IC_SHIP1", "IC_SHIP2", "IC_SHIP3"})
        ExpectPointsUp(ship, true);
    for (const char *missile : {"IC_MISSILE1", "IC_MISSILE2"})
        ExpectPointsUp(missile, true);
    for (const char *rocket : {"IC_ROCKET1", "IC_ROCKET2"})
        ExpectPointsUp(rocket, false);
}

TEST(FrameTiles, GroundTilesJoinInAnyOrder) {
    std::vector<Icon> land;
    for (int k = 1; k <= 4; ++k)
        land.push_back(LoadIcon("IC_LAND" + std::to_string(k)));
    int roughest = 0;
    for (const Icon &t : land)
        roughest = std::max(roughest, RoughestColumnStep(t));
    for (size_t a = 0; a < land.size(); ++a)
        for (size_t b = 0; b < land.size(); ++b)
            EXPECT_LE(ColumnSeam(land[a], 31, land[b], 0), roughest)
                << "IC_LAND" << a + 1 << " then IC_LAND" << b + 1 << " shows a seam";
    // Their surfaces line up: the first lit row is the same at both edges of
    // every tile, so the ground line runs straight across.
    auto surface = [](const Icon &t, int x) {
        int y = 0;
        while (y < 32 && !t.lit(x, y))
            ++y;
        return y;
    };
    for (size_t a = 0; a < land.size(); ++a) {
        EXPECT_EQ(surface(land[a], 0), surface(land[0], 0)) << "IC_LAND" << a + 1;
        EXPECT_EQ(surface(land[a], 31), surface(land[0], 0)) << "IC_LAND" << a + 1;
    }
}

TEST(FrameTiles, WallsStackAndCornersJoinWallsAndGround) {
    const Icon left = LoadIcon("IC_WALL4"), right = LoadIcon("IC_WALL3");
    const Icon bottomLeft = LoadIcon("IC_WALL1"), bottomRight = LoadIcon("IC_WALL2");
    for (const Icon *wall : {&left, &right})
        EXPECT_LE(RowSeam(*wall, 31, *wall, 0), RoughestRowStep(*wall)) << "wall does not stack";
    // The corners stand under their wall column...
    EXPECT_LE(RowSeam(left, 31, bottomLeft, 0), RoughestRowStep(left));
    EXPECT_LE(RowSeam(right, 31, bottomRight, 0), RoughestRowStep(right));
    // ...and meet every ground tile at their inner side.
    for (int k = 1; k <= 4; ++k) {
        const Icon land = LoadIcon("IC_LAND" + std::to_string(k));
        const int roughest = RoughestColumnStep(land);
        EXPECT_LE(ColumnSeam(bottomLeft, 31, land, 0), roughest) << "IC_WALL1 | IC_LAND" << k;
        EXPECT_LE(ColumnSeam(land, 31, bottomRight, 0), roughest)
            << "IC_LAND" << k << " | IC_WALL2";
    }
    // The left column's figure leans on the left edge, the right one's on the
    // right edge, so each faces into the playfield.
    int leftOuter = 0, leftInner = 0;
    for (int y = 0; y < 32; ++y) {
        leftOuter += left.lit(1, y) + right.lit(30, y);
        leftInner += left.lit(30, y) + right.lit(1, y);
    }
    EXPECT_GT(leftOuter, leftInner);
}
