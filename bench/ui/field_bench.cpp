// Showing printed scripts in the script page's text field. Goals: streaming costs time in
// proportion to the text, also when the text is one long line; whatever a map makes a script
// print is shown within 2 s.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QPlainTextEdit>

#include <chrono>
#include <memory>
#include <string>

#include "MapBuilder.h"
#include "TempDir.h"
#include "decompiler/Decompiler.h"
#include "mainwindow/RecordPages.h"
#include "mainwindow/ui/ScriptTextField.h"
#include "mapfile/MapReader.h"
#include "platform/Hooks.h"
#include "platform/ui/Runtime.h"
#include "preferences/Prefernces.h"

namespace {

using testmap::MakeNode;
using testmap::MapSpec;
using testmap::Node;

// A window holding a field set up as the script page's FldScriptDeComp.
class ShownField {
public:
    ShownField() {
        edit = std::make_unique<QPlainTextEdit>();
        edit->resize(298, 449);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        edit->show();
        Settle();
    }
    // Lets the window lay out and draw what the field holds (the offscreen platform draws too).
    void Settle() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<QPlainTextEdit> edit;
};

// A script whose body is one call with `count` arguments, each printing a blank and `text`:
// the tree walk prints them all on one line. With `shared`, every argument's text is the
// first one's, as a hostile map may point them.
MapSpec OneLongLine(int count, const std::string& text, bool shared) {
    MapSpec spec;
    for (int i = 0; i < count; ++i) {
        const bool last = i == count - 1;
        Node node = MakeNode(static_cast<int16_t>(-2 - i), -1, 2, 9,
                             last ? int16_t{-1} : static_cast<int16_t>(-3 - i), last ? -1 : 0,
                             i == 0 || !shared ? text : "");
        if (shared && i > 0) {
            node.textOffset = 1;  // after record 0's empty text
        }
        spec.nodes.push_back(node);
    }
    spec.nodes.push_back(MakeNode(static_cast<int16_t>(-2 - count), 3, 4, 8, -1, -2, "call"));
    spec.scripts = {{"s", 0, 4, static_cast<int16_t>(-2 - count)}};
    return spec;
}

// Thirty calls whose child and sibling are both the next one: 2^30 nodes to print.
MapSpec SharedChain() {
    MapSpec spec;
    for (int i = 0; i < 30; ++i) {
        const auto next = static_cast<int16_t>(i < 29 ? -3 - i : -1);
        spec.nodes.push_back(MakeNode(static_cast<int16_t>(-2 - i), 3, 4, 8, next, next, "call"));
    }
    spec.scripts = {{"s", 0, 4, -2}};
    return spec;
}

// 32 000 calls in a row whose texts are all one 4 KiB text.
MapSpec SharedText() {
    MapSpec spec;
    for (int i = 0; i < 32000; ++i) {
        Node node = MakeNode(static_cast<int16_t>(-2 - i), 3, 4, 8,
                             static_cast<int16_t>(i < 31999 ? -3 - i : -1), -1,
                             i == 0 ? std::string(4096, 'a') : "");
        if (i > 0) {
            node.textOffset = 1;
        }
        spec.nodes.push_back(node);
    }
    spec.nodes.push_back(MakeNode(-32002, 3, 4, 8, -1, -2, "call"));
    spec.scripts = {{"s", 0, 4, -32002}};
    return spec;
}

struct Loaded {
    testmap::TempDir dir;
    MapState state;
};

std::unique_ptr<Loaded> Load(const MapSpec& spec, int32_t scriptCommand) {
    auto loaded = std::make_unique<Loaded>();
    const std::string path = loaded->dir.File("bench.map");
    testmap::Build(spec).Save(path);
    Prefernces::ResetToDefaults();
    Prefernces::ScriptCommand = scriptCommand;
    OpenMap(loaded->state, path);
    loaded->state.LoadedScript = 0;
    return loaded;
}

// Prints the shown script into the field as the script page does and lets the window draw it;
// returns the seconds that took.
double Show(MapState& state, ShownField& shown) {
    const auto start = std::chrono::steady_clock::now();
    {
        ScriptTextField field(*shown.edit);
        PrintShownScript(state, field);
    }
    shown.Settle();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A one-line script streamed in tree style, its texts read from the map while printing: the
// pieces come slowly, with the window's event loop running between them, as in the program.
// Argument: the arguments of the call, each printing " v".
void BM_StreamOneLongLineIntoTheField(benchmark::State& bench) {
    const auto count = static_cast<int>(bench.range(0));
    const std::unique_ptr<Loaded> map = Load(OneLongLine(count, "v", false), 2);
    ShownField shown;
    platform::SetYieldHook(platform::YieldToEventLoop);
    Prefernces::DecompStyle = 2;
    Prefernces::ScriptPrinting = 2;
    double seconds = 0;
    for (auto _ : bench) {
        seconds += Show(map->state, shown);
    }
    platform::SetYieldHook(nullptr);
    const auto bytes = static_cast<double>(shown.edit->document()->characterCount());
    bench.counters["bytes"] = bytes;
    bench.counters["bytes_per_second"] =
        bytes * static_cast<double>(bench.iterations()) / seconds;
    Prefernces::ResetToDefaults();
}
BENCHMARK(BM_StreamOneLongLineIntoTheField)
    ->ArgName("nodes")
    ->Arg(2000)
    ->Arg(8000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The maps of the budget's reasons, each printed in tree style and shown. Arguments: the map
// (0 the longest line the budget allows, from one 4 KiB text read at load; 1 subtrees shared
// along a chain; 2 one 4 KiB text for every node, read while printing; 3 a 32 000-node line)
// and ScriptPrinting (1 the whole text at once, 2 streamed).
void BM_ShowHostileScript(benchmark::State& bench) {
    const auto kind = bench.range(0);
    std::unique_ptr<Loaded> map;
    switch (kind) {
        case 0:
            map = Load(OneLongLine(32000, std::string(4096, 'a'), true), 1);
            break;
        case 1:
            map = Load(SharedChain(), 1);
            break;
        case 2:
            map = Load(SharedText(), 2);
            break;
        default:
            map = Load(OneLongLine(32000, "v", false), 2);
            break;
    }
    ShownField shown;
    platform::SetYieldHook(platform::YieldToEventLoop);
    Prefernces::DecompStyle = 2;
    Prefernces::ScriptPrinting = static_cast<int32_t>(bench.range(1));
    double seconds = 0;
    for (auto _ : bench) {
        seconds += Show(map->state, shown);
    }
    platform::SetYieldHook(nullptr);
    bench.counters["bytes"] = static_cast<double>(shown.edit->document()->characterCount());
    bench.counters["seconds"] = seconds / static_cast<double>(bench.iterations());
    Prefernces::ResetToDefaults();
}
BENCHMARK(BM_ShowHostileScript)
    ->ArgNames({"map", "printing"})
    ->ArgsProduct({{0, 1, 2, 3}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
