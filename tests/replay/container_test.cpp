// The .zvr file: what is written reads back, and every kind of damage is
// refused with a message that says what and where.  Each input is copied to a
// buffer of its own length, so that a read past its end shows under ASan.
#include "platform/replay.h"
#include "tests/support/replay_streams.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {

using namespace zplat::replay;
namespace fs = std::filesystem;

ReplayHeader SampleHeader() {
    ReplayHeader h;
    h.programVersion = "1.0";
    h.clientWidth = 511;
    h.clientHeight = 330;
    h.startTick = 140;
    h.gameTicks = 1200;
    h.status = "Zorvak - Lives: 0  Level: 3  Score: 4250";
    h.pictureHash = 0x0123456789ABCDEFull;
    h.endReason = EndReason::GameOver;
    h.date = 1714588920;
    return h;
}

// Where the fields of SampleHeader's file stand.
constexpr size_t kWidthAt = 13;
constexpr size_t kReasonAt = 25;
constexpr size_t kDateAt = 26;
constexpr size_t kStatusAt = 42;
constexpr size_t kBodyLengthAt = 43 + 40;
constexpr size_t kBodyAt = kBodyLengthAt + 4;

std::vector<uint8_t> StreamOf(const std::vector<Item> &items) {
    StreamWriter writer;
    for (const Item &item : items) {
        writer.Add(item, nullptr);
    }
    writer.Flush();
    return writer.Bytes();
}

std::vector<uint8_t> SampleFile() {
    std::vector<uint8_t> file;
    std::string error;
    EXPECT_TRUE(
        WriteReplay(SampleHeader(), StreamOf(support::MinuteOfPlay(true, false)), &file, &error))
        << error;
    return file;
}

std::string ReadError(std::vector<uint8_t> bytes, size_t size) {
    bytes.resize(size);
    bytes.shrink_to_fit();
    Replay replay;
    std::string error;
    return ReadReplay(bytes.data(), bytes.size(), &replay, &error) ? "" : error;
}
std::string ReadError(const std::vector<uint8_t> &bytes) {
    return ReadError(bytes, bytes.size());
}

void FixCrc(std::vector<uint8_t> *file) {
    const size_t at = file->size() - 4;
    const uint32_t crc = Crc32(file->data(), at);
    for (int i = 0; i < 4; ++i) {
        (*file)[at + size_t(i)] = uint8_t(crc >> (8 * i));
    }
}

TEST(ReplayFile, ReadsBackWhatWasWritten) {
    const std::vector<uint8_t> file = SampleFile();
    ASSERT_EQ(file[kStatusAt], 40) << "the layout the other tests assume";
    Replay replay;
    std::string error;
    ASSERT_TRUE(ReadReplay(file.data(), file.size(), &replay, &error)) << error;
    EXPECT_EQ(replay.header, SampleHeader());
    EXPECT_EQ(replay.body, StreamOf(support::MinuteOfPlay(true, false)));
    EXPECT_EQ(replay.bodyOffset, kBodyAt);
    EXPECT_EQ(replay.summary.timer0Fires, 1200u);
    EXPECT_EQ(replay.summary.inputs, 360u);
}

TEST(ReplayFile, EveryCutIsTruncated) {
    const std::vector<uint8_t> file = SampleFile();
    for (size_t n = 0; n < file.size(); ++n) {
        const std::string error = ReadError(file, n);
        ASSERT_EQ(error.rfind("byte ", 0), 0u) << n << ": " << error;
        ASSERT_NE(error.find(": truncated: "), std::string::npos) << n << ": " << error;
    }
}

// One bit flipped anywhere: the magic and version say so themselves, a
// length finds the file too short or too long, the rest fails the CRC.
TEST(ReplayFile, EveryFlippedBitIsRefused) {
    const std::vector<uint8_t> file = SampleFile();
    const std::string crcAt = "byte " + std::to_string(file.size() - 4) + ": damaged: CRC-32";
    for (size_t at = 0; at < file.size(); ++at) {
        for (int bit = 0; bit < 8; ++bit) {
            std::vector<uint8_t> damaged = file;
            damaged[at] ^= uint8_t(1 << bit);
            const std::string error = ReadError(damaged);
            const bool length = at == 9 || at == kStatusAt || (at >= kBodyLengthAt && at < kBodyAt);
            if (at < 8) {
                EXPECT_EQ(error, "byte 0: not a Zorvak replay (it does not start with ZORVAKRP)");
            } else if (at == 8) {
                EXPECT_EQ(error.rfind("byte 8: format version ", 0), 0u) << error;
            } else if (length) {
                EXPECT_TRUE(error.find("truncated") != std::string::npos ||
                            error.find("after the CRC-32") != std::string::npos ||
                            error.find("damaged: CRC-32") != std::string::npos)
                    << at << ": " << error;
            } else {
                EXPECT_EQ(error.rfind(crcAt, 0), 0u) << at << ": " << error;
            }
        }
    }
}

// Fields out of range in a file whose CRC is right (written by something
// else than this program): each named at its byte.
TEST(ReplayFile, FieldsOutOfRangeAreNamedAtTheirByte) {
    struct Patch {
        size_t at;
        std::vector<uint8_t> bytes;
        const char *message;
    };
    const Patch patches[] = {
        {8, {7}, "byte 8: format version 7; this program reads version 1"},
        {10, {0x01}, "byte 9: the program version must be 1..31 printable ASCII characters"},
        {kWidthAt, {0, 0}, "byte 13: client size 0 x 330 (each must be 1..65535)"},
        {kReasonAt, {9}, "byte 25: end reason 9 (must be 0..3)"},
        {kDateAt + 7, {0x80}, "byte 26: date -9223372035140186888 (must be 0..253402300799)"},
        {kStatusAt + 1,
         {0x7F},
         "byte 42: the status line must be at most 127 printable ASCII characters"},
        {kBodyAt, {0x0D}, "byte 87: unknown entry kind 13"},
    };
    for (const Patch &p : patches) {
        std::vector<uint8_t> file = SampleFile();
        std::copy(p.bytes.begin(), p.bytes.end(), file.begin() + long(p.at));
        FixCrc(&file);
        EXPECT_EQ(ReadError(file), p.message);
    }
}

TEST(ReplayFile, ForeignLongAndPaddedFilesAreRefused) {
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0};
    EXPECT_EQ(ReadError(png), "byte 0: not a Zorvak replay (it does not start with ZORVAKRP)");
    std::vector<uint8_t> file = SampleFile();
    const std::string size = std::to_string(file.size());
    const std::string left = std::to_string(file.size() - kBodyAt);
    const uint32_t body = uint32_t(file.size() - kBodyAt - 4) + (1u << 16);
    file[kBodyLengthAt + 2] ^= 1;
    EXPECT_EQ(ReadError(file), "byte 83: truncated: the body's length says " +
                                   std::to_string(body) + " bytes, and " + left +
                                   " are left for it and the CRC-32");
    file = SampleFile();
    file.push_back(0);
    EXPECT_EQ(ReadError(file), "byte " + size +
                                   ": 1 bytes after the CRC-32, where the file "
                                   "should end");
    file.resize(kMaxFileSize + 1);
    EXPECT_EQ(ReadError(file), "too large: 16777217 bytes, a replay has at most 16777216");
}

TEST(ReplayFile, WriterRefusesWhatItCouldNotReadBack) {
    std::vector<uint8_t> file;
    std::string error;
    ReplayHeader h = SampleHeader();
    h.status = std::string(128, 'x');
    EXPECT_FALSE(WriteReplay(h, {}, &file, &error));
    h = SampleHeader();
    h.clientHeight = 0;
    EXPECT_FALSE(WriteReplay(h, {}, &file, &error));
    EXPECT_FALSE(WriteReplay(SampleHeader(), {0x15}, &file, &error));
    EXPECT_EQ(error, "cannot write the replay: its stream does not read back: byte 0: AGAIN: no "
                     "input before it to repeat");
    EXPECT_TRUE(file.empty());
}

TEST(ReplayFile, Crc32IsZlibs) {
    std::mt19937 random(3);
    std::vector<uint8_t> bytes(5000);
    for (uint8_t &b : bytes) {
        b = uint8_t(random());
    }
    for (size_t size : {size_t(0), size_t(1), size_t(3), size_t(64), size_t(4999)}) {
        EXPECT_EQ(Crc32(bytes.data(), size), crc32(0, bytes.data(), uInt(size))) << size;
    }
    // Piece by piece as in one go.
    EXPECT_EQ(Crc32(bytes.data() + 100, 900, Crc32(bytes.data(), 100)),
              crc32(0, bytes.data(), 1000));
}

TEST(ReplayFile, OnlyRegularFilesAreReadFromDisk) {
    const fs::path dir = fs::temp_directory_path() / ("replay_file_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::vector<uint8_t> good = SampleFile();
    std::vector<uint8_t> bad = good;
    bad[60] ^= 1;
    std::ofstream(dir / "good.zvr", std::ios::binary)
        .write(reinterpret_cast<const char *>(good.data()), std::streamsize(good.size()));
    std::ofstream(dir / "bad.zvr", std::ios::binary)
        .write(reinterpret_cast<const char *>(bad.data()), std::streamsize(bad.size()));
    ASSERT_EQ(mkfifo((dir / "fifo.zvr").c_str(), 0600), 0);
    std::error_code ec;
    std::ofstream(dir / "huge.zvr").close();
    fs::resize_file(dir / "huge.zvr", kMaxFileSize + 1, ec);

    Replay replay;
    std::string error;
    EXPECT_TRUE(ReadReplayFile((dir / "good.zvr").string(), &replay, &error)) << error;
    EXPECT_EQ(replay.header, SampleHeader());
    const std::pair<std::string, std::string> refused[] = {
        {"bad.zvr", ": byte " + std::to_string(bad.size() - 4) + ": damaged: CRC-32"},
        {"fifo.zvr", ": cannot read the replay: it is not a regular file"},
        {"", ": cannot read the replay: it is a folder, not a file"},
        {"huge.zvr", ": cannot read the replay: it is larger than 16777216 bytes"},
        {"none.zvr", ": cannot read the replay: No such file or directory"},
    };
    for (const auto &[name, message] : refused) {
        const std::string path = (dir / name).string();
        EXPECT_FALSE(ReadReplayFile(path, &replay, &error));
        EXPECT_EQ(error.rfind(path + message, 0), 0u) << error;
    }
    fs::remove_all(dir, ec);
}

} // namespace
