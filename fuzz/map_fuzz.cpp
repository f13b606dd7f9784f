// Loads arbitrary bytes as a map, then reads back everything the load produced.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "enginecommands/EngineCommands.h"
#include "mapfile/MapReader.h"
#include "preferences/Prefernces.h"

namespace {

std::string ScratchPath() {
    static const std::string path = "/tmp/morvane_fuzz_" + std::to_string(getpid()) + ".map";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = ScratchPath();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    Prefernces::ResetToDefaults();
    Prefernces::ScriptCommand = size % 2 == 0 ? 1 : 2;
    MapState state;
    OpenMap(state, path);
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
    return total == static_cast<size_t>(-1) ? 1 : 0;
}
