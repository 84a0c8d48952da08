// Sprites, object animation, the playfield frame, erasing and pictures, all
// read back from the client framebuffer.
#include "presentation/draw_object.h"
#include "tests/support/game_fixture.h"

#include <vector>

using namespace support;

namespace {

class DrawingTest : public GameTest {};

// Draws slot i `count` times on a blanked cell; the sprite seen after each
// drawing, or -1 when the drawing left the cell unchanged.
std::vector<int> Frames(int slot, int count) {
    std::vector<int> seen;
    for (int n = 0; n < count; n++) {
        const GameObject &o = objectTable[slot];
        for (int k = 0; k < 4; k++) {
            DrawIcon(drawDC, o.x + 32 * (k % 2), o.y + 32 * (k / 2), spriteSet[IC_BLANC]);
        }
        headless::Image before = Client();
        DrawObject(slot);
        headless::Image after = Client();
        seen.push_back(before.pixels == after.pixels ? -1 : SpriteAt(after, o.x, o.y));
    }
    return seen;
}

// Which sprite each handle draws is seen in the animation and frame tests
// below (the game's own art, in the shell's whole-program tests).
TEST_F(DrawingTest, SpritesAreFreedInTheReverseOfTheLoadOrder) {
    std::vector<HICON> loaded(spriteSet, spriteSet + SPRITE_COUNT);
    destroyedIcons.clear();
    FreeSprites();
    EXPECT_EQ(destroyedIcons, std::vector<HICON>(loaded.rbegin(), loaded.rend()));
    LoadSprites();
}

TEST_F(DrawingTest, AnimationSchemes) {
    Put(1, KIND_SHIP, 100, 100);
    EXPECT_EQ(Frames(1, 8), (std::vector<int>{IC_SHIP1, IC_SHIP2, IC_SHIP3, IC_SHIP3, IC_SHIP2,
                                              IC_SHIP1, IC_SHIP1, IC_SHIP2}));
    Put(2, KIND_ALIEN, 200, 100).frame = 5;
    EXPECT_EQ(Frames(2, 7), (std::vector<int>{IC_ALIEN5, IC_ALIEN5, IC_ALIEN4, IC_ALIEN3, IC_ALIEN2,
                                              IC_ALIEN1, IC_ALIEN1}));
    Put(3, KIND_BASE, 300, 100).frame = 5;
    EXPECT_EQ(Frames(3, 6), (std::vector<int>{-1, -1, IC_BASE4, IC_BASE3, IC_BASE2, IC_BASE1}));
    for (auto [kind, first] :
         {std::pair{KIND_KAMIKAZE, IC_KAMIK1}, std::pair{KIND_ROCKET, IC_ROCKET1},
          std::pair{KIND_MISSILE, IC_MISSILE1}, std::pair{KIND_FIREBALL, IC_EXPLOSE1},
          std::pair{KIND_CRAZY, IC_CRAZY1}}) {
        Put(4, kind, 150, 200);
        EXPECT_EQ(Frames(4, 3), (std::vector<int>{first, first + 1, first}));
        objectTable[4].frame = 3;
        EXPECT_EQ(Frames(4, 1), (std::vector<int>{-1}));
    }
    // An explosion: nine drawings, the last one black, then the slot is free.
    Put(5, KIND_EXPLOSION, 120, 200, 1);
    std::vector<int> seen;
    for (int n = 0; n < 9; n++) {
        ASSERT_EQ(objectTable[5].kind, KIND_EXPLOSION);
        DrawIcon(drawDC, 120, 200, spriteSet[IC_SHIP2]);
        DrawObject(5);
        seen.push_back(CellIsBlack(Client(), 120, 200) ? IC_BLANC : SpriteAt(Client(), 120, 200));
    }
    EXPECT_EQ(seen,
              (std::vector<int>{IC_EXPLOSE1, IC_EXPLOSE2, IC_EXPLOSE3, IC_EXPLOSE4, IC_EXPLOSE4,
                                IC_EXPLOSE3, IC_EXPLOSE2, IC_EXPLOSE1, IC_BLANC}));
    EXPECT_EQ(objectTable[5].kind, KIND_FREE);
}

TEST_F(DrawingTest, StarWandersAPixelAndRestartsOutsideItsArea) {
    GameObject &s = Put(6, KIND_STAR, 100, 100);
    s.dx = s.dy = 1;
    SetPixel(drawDC, 100, 100, 0x6464);
    DrawObject(6);
    EXPECT_EQ(Client().At(101, 101), 0x646400u); // red, green 0x64
    EXPECT_EQ(Client().At(100, 100), 0u);
    s.y = 1, s.dy = -1;
    DrawObject(6); // to y = 0: still inside
    EXPECT_EQ((std::vector<int>{s.x, s.y}), (std::vector<int>{102, 0}));
    s.x = 32, s.y = 100, s.dx = -1;
    SetPixel(drawDC, 32, 100, 0x6464);
    SeedRandom(1);
    DrawObject(6); // to x = 31: new place drawn from state 1, old pixel cleared
    // Raw draws 41, 18467, 6334: delay 10, x 279, y 83; then 26500 turns dx
    // (Random(500) gives 404) and 19169 leaves dy (292).
    EXPECT_EQ(s, (GameObject{KIND_STAR, 10000, 279, 83, 1, -1, 10, 1, 1, 0}));
    EXPECT_EQ(Client().At(32, 100), 0u);
    EXPECT_EQ(Client().At(279, 83), 0x646400u);
}

TEST_F(DrawingTest, PlayfieldFrameFor511By330) {
    DrawPlayfield(drawDC);
    headless::Image img = Client();
    for (int y = 0; y <= 256; y += 32) {
        EXPECT_EQ(SpriteAt(img, 0, y), IC_WALL4) << y;
        EXPECT_EQ(SpriteAt(img, 479, y), IC_WALL3) << y;
    }
    EXPECT_EQ(img.At(4, 292), SpriteColour(IC_WALL4)); // the row at 288, half under the ground
    EXPECT_EQ(SpriteAt(img, 0, 298), IC_WALL1);
    EXPECT_EQ(SpriteAt(img, 479, 298), IC_WALL2);
    // One Random(4) per ground cell, x = 0 to 448.
    Generator g{1};
    for (int x = 0; x < 479; x += 32) {
        const int tile = IC_LAND1 + g.Next(4);
        if (x > 0 && x < 448) { // the end cells lie under the corners
            EXPECT_EQ(SpriteAt(img, x, 298), tile) << x;
        }
    }
    EXPECT_TRUE(CellIsBlack(img, 200, 100));
    DrawPlayfield(drawDC); // new ground, same walls
    headless::Image again = Client();
    int differ = 0;
    for (int x = 32; x < 448; x += 32) {
        differ += SpriteAt(again, x, 298) != SpriteAt(img, x, 298);
    }
    EXPECT_GT(differ, 0);
    EXPECT_EQ(SpriteAt(again, 479, 0), IC_WALL3);
}

TEST_F(DrawingTest, EraseObjectsBlanksOneCellOfEveryActiveObject) {
    for (int y = 0; y < 288; y += 32) {
        for (int x = 0; x < 480; x += 32) {
            DrawIcon(drawDC, x, y, spriteSet[IC_WALL3]);
        }
    }
    Put(0, KIND_SHIP, 32, 224);
    Put(3, KIND_BASE, 128, 64, 10000);
    Put(4, KIND_ALIEN, 320, 64).delay = 7;
    Put(5, KIND_EXPLOSION, 384, 160, 1);
    Put(6, KIND_ALIEN, 256, 192).kind = KIND_FREE;
    EraseObjects();
    headless::Image img = Client();
    for (auto [x, y] : {std::pair{32, 224}, std::pair{128, 64}, std::pair{384, 160}}) {
        EXPECT_TRUE(CellIsBlack(img, x, y)) << x;
    }
    // The rest of the base's 64 x 64, the dormant and the free slot stay.
    for (auto [x, y] : {std::pair{160, 64}, std::pair{128, 96}, std::pair{160, 96},
                        std::pair{320, 64}, std::pair{256, 192}}) {
        EXPECT_EQ(SpriteAt(img, x, y), IC_WALL3) << x << "," << y;
    }
}

TEST_F(DrawingTest, ShowBitmapCopiesAtItsOwnSizeAndBeepsOnFailures) {
    for (int k = 0; k < 6; k++) {
        DrawIcon(drawDC, 50 + 32 * (k % 3), 60 + 32 * (k / 3), spriteSet[IC_CRAZY1]);
    }
    ShowBitmap(drawDC, 50, 60, "BMP_TEST");
    headless::Image img = Client();
    for (int y = 0; y < 20; y++) {
        for (int x = 0; x < 40; x++) {
            ASSERT_EQ(img.At(50 + x, 60 + y), TestBitmapPixelWhite(x, y) ? 0xFFFFFFu : 0u);
        }
    }
    // Just right of the copy and just below it.
    EXPECT_EQ(img.At(90, 61), SpriteColour(IC_CRAZY1));
    EXPECT_EQ(img.At(51, 80), SpriteColour(IC_CRAZY1));
    EXPECT_EQ(headless::Beeps(), 0);
    ShowBitmap(drawDC, 0, 0, "BMP_NOT_THERE");
    EXPECT_EQ(headless::Beeps(), 1);
    ShowBitmap(NULL, 0, 0, "BMP_TEST");
    EXPECT_GE(headless::Beeps(), 2);
    EXPECT_EQ(Client().pixels, img.pixels);
}

} // namespace
