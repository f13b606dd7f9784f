// Printing every script of the largest map, in each style, output and text-reading mode.
// Goals: 10 million nodes a second for the returned text of the order walk, 5 million for the
// tree walk (texts read at load). The order walk prints every record between a script's first
// child's sibling and its root; where a script's first child has no sibling that range starts
// at record 0, so a pass over this map prints far more records than the map holds.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "LoadedMaps.h"
#include "decompiler/Decompiler.h"
#include "preferences/Prefernces.h"

namespace {

std::vector<std::string> Headers(const MapState& state) {
    std::vector<std::string> headers;
    for (const ScriptHeader& script : state.ScriptHeaderCache) {
        headers.push_back("(script startup " + script.Name + "\n");
    }
    return headers;
}

class FieldSink : public platform::TextSink {
public:
    void AppendText(const std::string& piece) override { text += piece; }
    std::string text;
};

// Counts the nodes a print goes through: with tags on, each printed node opens one tag.
class TagCounter : public platform::TextSink {
public:
    void AppendText(const std::string& piece) override {
        nodes += piece.compare(0, 2, " <") == 0 && piece.compare(0, 3, " </") != 0 ? 1 : 0;
    }
    int64_t nodes = 0;
};

int64_t NodesPerPass(MapState& state, int32_t style) {
    Prefernces::ResetToDefaults();
    Prefernces::DecompStyle = style;
    Prefernces::SyntaxTag = true;
    TagCounter counter;
    for (size_t s = 0; s < state.ScriptHeaderCache.size(); ++s) {
        state.LoadedScript = static_cast<int32_t>(s);
        ExtractScriptConstant(state, state.ScriptHeaderCache[s].ExpPointer, counter);
    }
    Prefernces::ResetToDefaults();
    return counter.nodes;
}

// Arguments: style (1 order walk, 2 tree walk), output (0 returned text, 1 streamed),
// ScriptCommand (1 texts read at load, 2 read while printing).
void BM_PrintEveryScript(benchmark::State& bench) {
    MapState& state = LoadedMaximalMap();
    const auto style = static_cast<int32_t>(bench.range(0));
    const bool streamed = bench.range(1) == 1;
    const auto command = static_cast<int32_t>(bench.range(2));
    const std::vector<std::string> headers = Headers(state);
    const int64_t nodes = NodesPerPass(state, style);

    Prefernces::DecompStyle = style;
    Prefernces::ScriptCommand = command;
    size_t bytes = 0;
    for (auto _ : bench) {
        for (size_t s = 0; s < headers.size(); ++s) {
            state.LoadedScript = static_cast<int32_t>(s);
            const int32_t root = state.ScriptHeaderCache[s].ExpPointer;
            if (streamed) {
                FieldSink field;
                field.text = headers[s];
                ExtractScriptConstant(state, root, field);
                bytes += field.text.size();
            } else {
                bytes += ExtractScriptFloating(state, root, headers[s]).size();
            }
        }
    }
    Prefernces::ResetToDefaults();
    benchmark::DoNotOptimize(bytes);
    bench.counters["nodes"] = static_cast<double>(nodes);
    bench.counters["nodes_per_second"] =
        benchmark::Counter(static_cast<double>(nodes) * static_cast<double>(bench.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrintEveryScript)
    ->ArgNames({"style", "streamed", "command"})
    ->ArgsProduct({{1, 2}, {0, 1}, {1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintEveryScript)
    ->ArgNames({"style", "streamed", "command"})
    ->ArgsProduct({{1, 2}, {0, 1}, {2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);  // one file open per printed node: a pass of the order walk takes seconds

void BM_PlainTreeWalkEveryScript(benchmark::State& bench) {
    MapState& state = LoadedMaximalMap();
    const std::vector<std::string> headers = Headers(state);
    const int64_t nodes = NodesPerPass(state, 2);
    size_t bytes = 0;
    for (auto _ : bench) {
        for (size_t s = 0; s < headers.size(); ++s) {
            bytes +=
                ScriptTreeExtract(state, state.ScriptHeaderCache[s].ExpPointer, headers[s]).size();
        }
    }
    benchmark::DoNotOptimize(bytes);
    bench.counters["nodes_per_second"] =
        benchmark::Counter(static_cast<double>(nodes) * static_cast<double>(bench.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlainTreeWalkEveryScript)->Unit(benchmark::kMillisecond);

void BM_PlainOrderWalkEveryScript(benchmark::State& bench) {
    MapState& state = LoadedMaximalMap();
    const int64_t nodes = NodesPerPass(state, 1);
    size_t bytes = 0;
    for (auto _ : bench) {
        for (const ScriptHeader& script : state.ScriptHeaderCache) {
            FieldSink field;
            DecompileScript(state, Lookup(state.SyntaxByIdentity, script.ExpPointer, 0), field);
            bytes += field.text.size();
        }
    }
    benchmark::DoNotOptimize(bytes);
    bench.counters["nodes_per_second"] =
        benchmark::Counter(static_cast<double>(nodes) * static_cast<double>(bench.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlainOrderWalkEveryScript)->Unit(benchmark::kMillisecond);

}  // namespace
