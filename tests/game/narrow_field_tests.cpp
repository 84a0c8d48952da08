// Start positions in a client area narrower than the rules assume (the shell
// never makes one, but nothing else guards the arithmetic): the 32-bit sums
// wrap as two's complement instead of overflowing.
#include "support.h"
#include "world/init_object.h"

using namespace gt;

namespace {

TEST_F(GameTest, EntryColumnsWrapInAFieldNarrowerThanTheWalls) {
    // A state whose next raw draw is 16384, half the generator's range:
    // Random(n) then gives n / 2.
    const uint32_t halfDraw = 3782276673u;
    SeedRandom(halfDraw);
    ASSERT_EQ(Random(32768), 16384);
    // clientWidth 100: Random(100 - 128, taken as 2^32 - 28) is 2^31 - 14, and
    // 64 more wraps to -2^31 + 50.
    clientWidth = 100;
    SeedRandom(halfDraw);
    objectTable[1].kind = KIND_BASE;
    InitObject(1);
    EXPECT_EQ(objectTable[1].x, INT32_MIN + 50);
    EXPECT_EQ(objectTable[1].y, -32);
}

} // namespace
