// Loads arbitrary bytes as a map, then reads back everything the load produced and prints its
// scripts in every style, output and setting.
#include <algorithm>
#include <cstdint>
#include <string>

#include "InputFile.h"
#include "decompiler/Decompiler.h"
#include "enginecommands/EngineCommands.h"
#include "mapfile/MapReader.h"
#include "preferences/Prefernces.h"

namespace {

class CollectingSink : public platform::TextSink {
public:
    void AppendText(const std::string& piece) override { text += piece; }
    std::string text;
};

// Printing every script of a large map would make one input take seconds: with texts read
// while printing, every printed node opens the file again.
constexpr size_t kScriptsPrinted = 8;
constexpr size_t kScriptsReadWhilePrinting = 2;

void PrintScripts(MapState& state) {
    const std::string header = "(script startup s\n";
    const size_t scripts = std::min(state.ScriptHeaderCache.size(), kScriptsPrinted);
    for (size_t s = 0; s < scripts; ++s) {
        state.LoadedScript = static_cast<int32_t>(s);
        const int32_t root = state.ScriptHeaderCache[s].ExpPointer;
        for (int32_t command : {1, 2}) {
            if (command == 2 && s >= kScriptsReadWhilePrinting) {
                continue;
            }
            for (bool tags : {false, true}) {
                for (int32_t style : {1, 2, 3, 0}) {
                    Prefernces::ScriptCommand = command;
                    Prefernces::SyntaxTag = tags;
                    Prefernces::DecompStyle = style;
                    // A first print reads the texts that the first child's line shows as held,
                    // so the two outputs are compared from the second print on.
                    ExtractScriptFloating(state, root, header);
                    CollectingSink field;
                    ExtractScriptConstant(state, root, field);
                    const std::string floating = ExtractScriptFloating(state, root, header);
                    const bool printed = style == 1 || style == 2;
                    if (floating != (printed ? header + field.text : std::string())) {
                        __builtin_trap();
                    }
                }
            }
        }
        Prefernces::ScriptCommand = 1;
        Prefernces::SyntaxTag = false;
        Prefernces::DecompStyle = 2;
        if (ScriptTreeExtract(state, root, header) != ExtractScriptFloating(state, root, header)) {
            __builtin_trap();
        }
        CollectingSink field;
        DecompileScript(state, Lookup(state.SyntaxByIdentity, root, 0), field);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InputFile file;
    if (!file.Fill(data, size)) {
        return 0;
    }

    Prefernces::ResetToDefaults();
    Prefernces::ScriptCommand = size % 2 == 0 ? 1 : 2;
    MapState state;
    OpenMap(state, file.Path());
    size_t total = 0;
    for (const auto& script : state.ScriptHeaderCache) {
        total += script.Name.size();
    }
    for (const auto& global : state.GlobalHeaderCache) {
        total += global.Name.size();
    }
    for (const auto& node : state.SyntaxCache) {
        total += node.Command.size() + EngineCommandName(state, node.EngineIdentity).size();
    }
    PrintScripts(state);
    return total == static_cast<size_t>(-1) ? 1 : 0;
}
