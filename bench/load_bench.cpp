// Loading the largest map against reading its bytes: the loader should stay within ten times
// a plain read of the same file.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <vector>

#include "MapBuilder.h"
#include "TempDir.h"
#include "mapfile/MapReader.h"
#include "preferences/Prefernces.h"

namespace {

const std::string& MaximalMapPath() {
    static testmap::TempDir dir;
    static const std::string path = [] {
        std::string file = dir.File("maximal.map");
        testmap::Build(testmap::MaximalMap()).Save(file);
        return file;
    }();
    return path;
}

size_t ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<char> bytes(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    benchmark::DoNotOptimize(bytes.data());
    return bytes.size();
}

double SecondsPerRead(const std::string& path) {
    constexpr int kReads = 50;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kReads; ++i) {
        ReadWholeFile(path);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kReads;
}

void BM_ReadMaximalMapBytes(benchmark::State& state) {
    const std::string& path = MaximalMapPath();
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = ReadWholeFile(path);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ReadMaximalMapBytes)->Unit(benchmark::kMillisecond);

// A first load into an empty state. Freeing the loaded records afterwards is left out of the
// time (a later load pays it when it empties the caches; BM_LoadAndFreeMaximalMap shows it).
void BM_LoadMaximalMap(benchmark::State& state) {
    Prefernces::ResetToDefaults();
    const std::string& path = MaximalMapPath();
    size_t nodes = 0;
    double load = 0;
    for (auto _ : state) {
        auto map = std::make_unique<MapState>();
        const auto start = std::chrono::steady_clock::now();
        OpenMap(*map, path);
        load += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        nodes = map->SyntaxCache.size();
        state.PauseTiming();
        map.reset();
        state.ResumeTiming();
    }
    state.counters["nodes"] = static_cast<double>(nodes);
    state.counters["load_over_read"] =
        load / static_cast<double>(state.iterations()) / SecondsPerRead(path);
}
BENCHMARK(BM_LoadMaximalMap)->Unit(benchmark::kMillisecond);

void BM_LoadAndFreeMaximalMap(benchmark::State& state) {
    Prefernces::ResetToDefaults();
    const std::string& path = MaximalMapPath();
    for (auto _ : state) {
        MapState map;
        OpenMap(map, path);
        benchmark::DoNotOptimize(map.SyntaxCache.data());
    }
}
BENCHMARK(BM_LoadAndFreeMaximalMap)->Unit(benchmark::kMillisecond);

}  // namespace
