// The extraction texts on the largest map. Goals: 20 million walked nodes a second for Extract
// All and for the script range of every script, 10 million nodes a second for the command
// database; the copy an Extract All run takes of the map costs the main thread little.
#include <benchmark/benchmark.h>

#include <string>

#include "LoadedMaps.h"
#include "extraction/CommandDatabase.h"
#include "extraction/Extraction.h"

namespace {

void Report(benchmark::State& bench, int64_t nodes, size_t bytes) {
    bench.counters["nodes"] = static_cast<double>(nodes);
    bench.counters["text_bytes"] = static_cast<double>(bytes);
    bench.counters["nodes_per_second"] =
        benchmark::Counter(static_cast<double>(nodes) * static_cast<double>(bench.iterations()),
                           benchmark::Counter::kIsRate);
}

void BM_ExtractAll(benchmark::State& bench) {
    const MapState& state = LoadedMaximalMap();
    ExtractAllResult result;
    for (auto _ : bench) {
        result = ExtractAll(state);
        benchmark::DoNotOptimize(result.text.data());
    }
    Report(bench, result.syntaxParts, result.text.size());
}
BENCHMARK(BM_ExtractAll)->Unit(benchmark::kMillisecond);

void BM_ExtractEveryScriptAsARange(benchmark::State& bench) {
    const MapState& state = LoadedMaximalMap();
    const auto scripts = static_cast<int32_t>(state.ScriptHeaderCache.size());
    const int64_t nodes = ExtractAll(state).syntaxParts -
                          static_cast<int64_t>(state.GlobalHeaderCache.size()) - 2 * scripts;
    RangeText range;
    for (auto _ : bench) {
        range = ExtractScriptRange(state, 0, scripts - 2);
        benchmark::DoNotOptimize(range.text.data());
    }
    Report(bench, nodes, range.text.size());
}
BENCHMARK(BM_ExtractEveryScriptAsARange)->Unit(benchmark::kMillisecond);

void BM_CommandDatabase(benchmark::State& bench) {
    const MapState& state = LoadedMaximalMap();
    CommandListing listing;
    for (auto _ : bench) {
        listing = BuildCommandDatabase(state.SyntaxCache);
        benchmark::DoNotOptimize(listing.text.data());
    }
    bench.counters["lines"] = listing.added;
    bench.counters["nodes_per_second"] = benchmark::Counter(
        static_cast<double>(state.SyntaxCache.size()) * static_cast<double>(bench.iterations()),
        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CommandDatabase)->Unit(benchmark::kMillisecond);

void BM_ExtractionSnapshot(benchmark::State& bench) {
    const MapState& state = LoadedMaximalMap();
    for (auto _ : bench) {
        MapState snapshot = ExtractionSnapshot(state);
        benchmark::DoNotOptimize(snapshot.SyntaxCache.data());
    }
}
BENCHMARK(BM_ExtractionSnapshot)->Unit(benchmark::kMillisecond);

}  // namespace
