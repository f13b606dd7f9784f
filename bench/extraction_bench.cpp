// The extraction texts on the largest map. Goals: 20 million walked nodes a second for Extract
// All and for the script range of every script; the copy an Extract All run takes of the map
// costs the main thread little.
#include <benchmark/benchmark.h>

#include <string>

#include "MapBuilder.h"
#include "TempDir.h"
#include "extraction/Extraction.h"
#include "mapfile/MapReader.h"
#include "preferences/Prefernces.h"

namespace {

const MapState& MaximalMap() {
    static testmap::TempDir dir;
    static const MapState state = [] {
        const std::string path = dir.File("maximal.map");
        testmap::Build(testmap::MaximalMap()).Save(path);
        Prefernces::ResetToDefaults();
        MapState loaded;
        OpenMap(loaded, path);
        return loaded;
    }();
    return state;
}

void Report(benchmark::State& bench, int64_t nodes, size_t bytes) {
    bench.counters["nodes"] = static_cast<double>(nodes);
    bench.counters["text_bytes"] = static_cast<double>(bytes);
    bench.counters["nodes_per_second"] =
        benchmark::Counter(static_cast<double>(nodes) * static_cast<double>(bench.iterations()),
                           benchmark::Counter::kIsRate);
}

void BM_ExtractAll(benchmark::State& bench) {
    const MapState& state = MaximalMap();
    ExtractAllResult result;
    for (auto _ : bench) {
        result = ExtractAll(state);
        benchmark::DoNotOptimize(result.text.data());
    }
    Report(bench, result.syntaxParts, result.text.size());
}
BENCHMARK(BM_ExtractAll)->Unit(benchmark::kMillisecond);

void BM_ExtractEveryScriptAsARange(benchmark::State& bench) {
    const MapState& state = MaximalMap();
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

void BM_ExtractionSnapshot(benchmark::State& bench) {
    const MapState& state = MaximalMap();
    for (auto _ : bench) {
        MapState snapshot = ExtractionSnapshot(state);
        benchmark::DoNotOptimize(snapshot.SyntaxCache.data());
    }
}
BENCHMARK(BM_ExtractionSnapshot)->Unit(benchmark::kMillisecond);

}  // namespace
