// Replay files and bare replay streams, whatever their bytes.  The input is
// read three ways: as a file, as a file whose CRC-32 is made right (so that
// the header's ranges and the stream are reached), and as a bare stream.
// Checks: a refusal says at which byte; what reads, its stream yields every
// item without a fault, and written again it reads the same.
#include "fuzz/fuzz_support.h"
#include "platform/replay.h"
#include "tests/support/replay_streams.h"

#include <string>
#include <vector>

namespace {

using namespace zplat::replay;

std::vector<uint8_t> Rewrite(const std::vector<Item> &items) {
    StreamWriter writer;
    std::string error;
    for (const Item &item : items) {
        fuzz::Require(writer.Add(item, &error), "the writer takes every item a reader gave");
    }
    writer.Flush();
    return writer.Bytes();
}

void CheckStream(const std::vector<uint8_t> &body) {
    std::vector<Item> items;
    std::string error;
    if (!support::ReadItems(body, &items, &error)) {
        fuzz::Require(error.rfind("byte ", 0) == 0, "a damaged stream is named at its byte");
        return;
    }
    std::vector<Item> again;
    fuzz::Require(support::ReadItems(Rewrite(items), &again, &error),
                  "a stream written again reads");
    fuzz::Require(support::MergeRuns(again) == support::MergeRuns(items),
                  "a stream written again reads the same");
}

void CheckFile(const uint8_t *data, size_t size) {
    Replay replay;
    std::string error;
    if (!ReadReplay(data, size, &replay, &error)) {
        fuzz::Require(error.rfind("byte ", 0) == 0, "a refused file is named at its byte");
        return;
    }
    std::vector<Item> items;
    fuzz::Require(support::ReadItems(replay.body, &items, &error),
                  "the stream of a file that reads never fails");
    std::vector<uint8_t> file;
    fuzz::Require(WriteReplay(replay.header, Rewrite(items), &file, &error),
                  "a file that reads is written again");
    Replay again;
    std::vector<Item> itemsAgain;
    fuzz::Require(ReadReplay(file.data(), file.size(), &again, &error) &&
                      again.header == replay.header &&
                      support::ReadItems(again.body, &itemsAgain, &error) &&
                      support::MergeRuns(itemsAgain) == support::MergeRuns(items),
                  "a file written again reads the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    CheckFile(data, size);
    if (size >= 4) {
        std::vector<uint8_t> fixed(data, data + size);
        const uint32_t crc = Crc32(fixed.data(), size - 4);
        for (size_t i = 0; i < 4; ++i) {
            fixed[size - 4 + i] = uint8_t(crc >> (8 * i));
        }
        CheckFile(fixed.data(), fixed.size());
    }
    CheckStream(std::vector<uint8_t>(data, data + size));
    return 0;
}
