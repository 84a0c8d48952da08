// The replay stream: what the writer records reads back item for item, its
// bytes are the documented ones, and damage is refused at its byte.
#include "platform/replay.h"
#include "tests/support/replay_streams.h"

#include <gtest/gtest.h>

namespace {

using namespace zplat::replay;
using support::Key;
using support::MergeRuns;
using support::ReadItems;

std::vector<uint8_t> Write(const std::vector<Item> &items) {
    StreamWriter writer;
    std::string error;
    for (const Item &item : items) {
        EXPECT_TRUE(writer.Add(item, &error)) << error;
    }
    writer.Flush();
    return writer.Bytes();
}

TEST(ReplayStream, RandomStreamsReadBackItemForItem) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        const std::vector<Item> items = support::RandomStream(seed, 400);
        const std::vector<uint8_t> bytes = Write(items);
        std::vector<Item> back;
        std::string error;
        ASSERT_TRUE(ReadItems(bytes, &back, &error)) << "seed " << seed << ": " << error;
        ASSERT_EQ(MergeRuns(back), MergeRuns(items)) << "seed " << seed;
    }
}

// The lead cuts a kept game's stream at a Flush and records on: the bytes
// then are whole entries, and a prefix of the bytes later.
TEST(ReplayStream, FlushMidwayGivesAPrefixThatReadsAlone) {
    const std::vector<Item> items = support::RandomStream(7, 600);
    StreamWriter writer;
    std::string error;
    for (size_t i = 0; i < items.size(); ++i) {
        ASSERT_TRUE(writer.Add(items[i], &error)) << error;
        if (i == 300) {
            writer.Flush();
            const std::vector<uint8_t> cut = writer.Bytes();
            std::vector<Item> back;
            ASSERT_TRUE(ReadItems(cut, &back, &error)) << error;
            EXPECT_EQ(MergeRuns(back), MergeRuns({items.begin(), items.begin() + 301}));
        }
    }
    writer.Flush();
    std::vector<Item> back;
    ASSERT_TRUE(ReadItems(writer.Bytes(), &back, &error)) << error;
    EXPECT_EQ(MergeRuns(back), MergeRuns(items));
}

// The bytes of docs/replays.md's example, worked out by hand from the format.
TEST(ReplayStream, BytesAreTheDocumentedOnes) {
    StreamWriter w;
    std::string error;
    w.Desktop(1920, 1080, &error);
    w.TickCount(1000);
    w.Fire(0, 3, &error);
    w.Input(Key(InputType::KeyDown, 0x25), true, &error);
    w.Input(Key(InputType::KeyDown, 0x25), true, &error);
    w.Fire(0, 20, &error);
    w.Input(Key(InputType::KeyUp, 0x25), true, &error);
    InputRecord click;
    click.type = InputType::Click;
    click.window = 1;
    click.x = -3;
    click.y = 200;
    w.Input(click, false, &error);
    w.Fire(2, 1, &error);
    w.Refused();
    w.Flush();
    const std::vector<uint8_t> expected = {
        0x0B, 0x80, 0x0F, 0xB8, 0x08, // DESKTOP 1920 1080
        0x0A, 0xD0, 0x0F,             // TICKS +1000
        0x19,                         // TARGET 1
        0x42, 0x25,                   // 3 fires, then KEY_DOWN Left
        0x15,                         // AGAIN, a delivery of its own
        0xF3, 0x06, 0x25,             // 20 fires, then KEY_UP Left
        0x06, 0x00, 0x05, 0x90, 0x03, // in the same delivery: Click at -3, 200
        0x21, 0x00,                   // timer 2 fired once
        0x0C,                         // REFUSED
    };
    EXPECT_EQ(w.Bytes(), expected);
}

TEST(ReplayStream, WriterRefusesWhatTheStreamCannotHold) {
    StreamWriter w;
    std::string error;
    EXPECT_FALSE(w.Input(Key(InputType::KeyDown, 0x41), false, &error)) << "continues nothing";
    EXPECT_FALSE(w.Fire(0, 0, &error));
    EXPECT_FALSE(w.Fire(4097, 1, &error));
    EXPECT_FALSE(w.Input(Key(InputType::KeyDown, 0), true, &error));
    EXPECT_FALSE(w.Input(Key(InputType::KeyUp, 255), true, &error));
    EXPECT_FALSE(w.Input(Key(InputType::KeyDown, 0x41, 4097), true, &error));
    EXPECT_FALSE(w.Desktop(0, 600, &error));
    EXPECT_FALSE(w.Desktop(800, 65536, &error));
    EXPECT_FALSE(error.empty());
    w.Flush();
    EXPECT_TRUE(w.Bytes().empty());
}

struct Damage {
    std::vector<uint8_t> bytes;
    const char *message; // the whole message, "byte N: ..."
};

TEST(ReplayStream, DamageIsRefusedAtItsByte) {
    const Damage table[] = {
        {{0x0D}, "byte 0: unknown entry kind 13"},
        {{0x12, 0x41, 0x0F}, "byte 2: unknown entry kind 15"},
        {{0x02, 0x41}, "byte 0: KEY_DOWN: continues a delivery, but no input comes just before it"},
        {{0x12, 0x41, 0x10, 0x03, 0x41},
         "byte 3: KEY_UP: continues a delivery, but no input "
         "comes just before it"},
        {{0x12, 0x41, 0x09, 0x03, 0x41}, ""}, // TARGET between the two: still one delivery
        {{0x15}, "byte 0: AGAIN: no input before it to repeat"},
        {{0x00}, "byte 0: FIRE0: fire count 0 (must be 1..4294967295)"},
        {{0xF0, 0xF1, 0xFF, 0xFF, 0xFF, 0x0F},
         "byte 0: FIRE0: fire count 4294967296 (must be 1..4294967295)"},
        {{0x01, 0x00}, "byte 0: FIRE: timer index 0 (must be 1..4096)"},
        {{0xF1, 0xF2, 0x1F, 0x00}, "byte 0: FIRE: timer index 4097 (must be 1..4096)"},
        {{0x11, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}, "byte 0: FIRE: fire count over 4294967295"},
        {{0xF2, 0xF2, 0xFF, 0xFF, 0xFF, 0x0F, 0x41},
         "byte 0: KEY_DOWN: fire count 4294967296 before it (over 4294967295)"},
        {{0x12, 0x00}, "byte 0: KEY_DOWN: key code 0 (must be 1..254)"},
        {{0x13, 0xFF}, "byte 0: KEY_UP: key code 255 (must be 1..254)"},
        {{0x14, 0x08, 0x41}, "byte 0: KEY: flags 8 (only bits 0..2 may be set)"},
        {{0x16, 0x03, 0x00, 0x00}, "byte 0: POINTER: pointer event 3 (must be 0..2)"},
        {{0x16, 0x00, 0x80, 0x80, 0x80, 0x80, 0x10, 0x00},
         "byte 0: POINTER: a position outside 32 bits"},
        {{0x17, 0x04}, "byte 0: WINDOW: window event 4 (must be 0..3)"},
        {{0x18, 0x81, 0x20}, "byte 0: BAR: menu bar item 4097 (at most 4096)"},
        {{0xF9, 0xF2, 0x1F}, "byte 0: TARGET: window serial 4097 (at most 4096)"},
        {{0x1A, 0x00}, "byte 0: TICKS: a tag field of 1 (must be 0)"},
        {{0x0A, 0x80, 0x80, 0x80, 0x80, 0x10},
         "byte 0: TICKS: a change of the tick count "
         "outside 32 bits"},
        {{0x0A, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x00},
         "byte 0: TICKS: a varint longer than 10 bytes"},
        {{0x0A, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x02},
         "byte 0: TICKS: a varint over 64 bits"},
        {{0x0B, 0x00, 0x05}, "byte 0: DESKTOP: desktop size 0 x 5 (each must be 1..65535)"},
        {{0x0B, 0x05, 0x80, 0x80, 0x04},
         "byte 0: DESKTOP: desktop size 5 x 65536 (each must be "
         "1..65535)"},
        {{0x1C}, "byte 0: REFUSED: a tag field of 1 (must be 0)"},
        {{0x12}, "byte 0: KEY_DOWN: the stream ends inside this entry"},
        {{0x10, 0x16, 0x00, 0x80}, "byte 1: POINTER: the stream ends inside this entry"},
        {{0xF0}, "byte 0: FIRE0: the stream ends inside this entry"},
    };
    for (const Damage &d : table) {
        std::vector<Item> items;
        std::string error;
        EXPECT_EQ(ReadItems(d.bytes, &items, &error), d.message[0] == 0) << d.message;
        EXPECT_EQ(error, d.message);
    }
    // Offsets count from where the body stands in its file.
    StreamReader reader(table[0].bytes.data(), 1, 120);
    Item item;
    std::string error;
    EXPECT_FALSE(reader.Next(&item, &error));
    EXPECT_EQ(error, "byte 120: unknown entry kind 13");
}

} // namespace
