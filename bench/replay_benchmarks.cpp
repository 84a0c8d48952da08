// What a minute of play costs as a replay: its size (the counters body_bytes
// and file_bytes) and the time to record and to read it.
//
//   replay_benchmarks [--benchmark_filter=REGEX] [--benchmark_min_time=S]
//
// Record/N and Read/N for the minutes of tests/support/replay_streams.h:
// 0 taps: 1200 fires of the game's timer, three key presses a second;
// 1 held key: 1200 fires, a key held down and auto-repeating at 25 a second;
// 2 both: the taps with the held key repeating between them.
#include "platform/replay.h"
#include "tests/support/replay_streams.h"

#include <benchmark/benchmark.h>

namespace {

using namespace zplat::replay;

std::vector<Item> Minute(int64_t which) {
    return support::MinuteOfPlay(which != 1, which != 0);
}

std::vector<uint8_t> Record(const std::vector<Item> &items) {
    StreamWriter writer;
    for (const Item &item : items) {
        writer.Add(item, nullptr);
    }
    writer.Flush();
    return writer.Bytes();
}

void Sizes(benchmark::State &state, const std::vector<uint8_t> &body) {
    ReplayHeader header;
    header.programVersion = "1.0";
    header.clientWidth = 511;
    header.clientHeight = 330;
    header.status = "Lives: 00 - Level 03 - Score: 04250";
    std::vector<uint8_t> file;
    std::string error;
    WriteReplay(header, body, &file, &error);
    state.counters["body_bytes"] = double(body.size());
    state.counters["file_bytes"] = double(file.size());
}

void BM_Record(benchmark::State &state) {
    const std::vector<Item> items = Minute(state.range(0));
    std::vector<uint8_t> body;
    for (auto _ : state) {
        body = Record(items);
        benchmark::DoNotOptimize(body.data());
    }
    Sizes(state, body);
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(items.size()));
}
BENCHMARK(BM_Record)->Name("Record")->DenseRange(0, 2);

void BM_Read(benchmark::State &state) {
    const std::vector<uint8_t> body = Record(Minute(state.range(0)));
    for (auto _ : state) {
        StreamSummary summary;
        std::string error;
        CheckStream(body.data(), body.size(), 0, &summary, &error);
        benchmark::DoNotOptimize(summary.items);
    }
    Sizes(state, body);
}
BENCHMARK(BM_Read)->Name("Read")->DenseRange(0, 2);

} // namespace

BENCHMARK_MAIN();
