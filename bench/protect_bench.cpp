// Protect Map over the largest map: one write and a look at the file per value node.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "LoadedMaps.h"
#include "mainwindow/RecordEditors.h"

namespace {

void BM_ProtectMaximalMap(benchmark::State& state) {
    MapState& map = LoadedMaximalMap();
    int32_t changed = 0;
    for (auto _ : state) {
        changed = ProtectScripts(map);
    }
    state.counters["changed"] = changed;
    state.counters["values"] = static_cast<double>(std::count_if(
        map.SyntaxCache.begin(), map.SyntaxCache.end(),
        [](const Syntax& node) { return node.ExpType == 9; }));
}
BENCHMARK(BM_ProtectMaximalMap)->Unit(benchmark::kMillisecond);

}  // namespace
