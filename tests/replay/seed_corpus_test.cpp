// The replay fuzzer's seed corpus doubles as files of format version 1 kept
// as they were written: the valid ones must go on reading, the damaged ones
// must go on failing where they did.
#include "platform/replay.h"

#include <gtest/gtest.h>
#include <map>

namespace {

TEST(ReplaySeeds, ReadAsTheirNamesSay) {
    const std::string corpus = ZORVAK_REPLAY_CORPUS "/";
    for (const char *name :
         {"valid-minute.zvr", "valid-held-key.zvr", "valid-every-kind.zvr", "valid-start.zvr"}) {
        zplat::replay::Replay replay;
        std::string error;
        EXPECT_TRUE(zplat::replay::ReadReplayFile(corpus + name, &replay, &error)) << error;
        EXPECT_EQ(replay.header.programVersion, "1.0");
    }
    const std::map<std::string, std::string> damaged = {
        {"damaged-truncated.zvr", "byte 83: truncated: the body's length says 721 bytes, and 319 "
                                  "are left for it and the CRC-32"},
        {"damaged-flipped-bit.zvr", "byte 808: damaged: CRC-32 of the 808 bytes before it is "},
        {"damaged-version-2.zvr", "byte 8: format version 2; this program reads version 1"},
        {"damaged-continuation.zvr",
         "byte 48: KEY_DOWN: continues a delivery, but no input comes just before it"},
        {"damaged-huge-count.zvr", "byte 48: FIRE: fire count over 4294967295"},
    };
    for (const auto &[name, message] : damaged) {
        zplat::replay::Replay replay;
        std::string error;
        EXPECT_FALSE(zplat::replay::ReadReplayFile(corpus + name, &replay, &error));
        EXPECT_EQ(error.rfind(corpus + name + ": " + message, 0), 0u) << error;
    }
}

} // namespace
