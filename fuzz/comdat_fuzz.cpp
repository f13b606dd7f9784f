// Reads arbitrary bytes as an engine command file, then looks every command it read up by its
// identity.
#include <cmath>
#include <cstdint>

#include "InputFile.h"
#include "enginecommands/EngineCommands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InputFile file;
    if (!file.Fill(data, size)) {
        return 0;
    }
    ComDatResult read = ReadComDat(file.Path());
    if (!read.problem.empty() && !read.table.empty()) {
        __builtin_trap();  // a file that breaks the rules gives no commands
    }
    MapState state;
    state.CommandsByEngine = std::move(read.table);
    size_t total = 0;
    for (const auto& [identity, name] : *state.CommandsByEngine) {
        // The page asks by Int32 identity; only a whole number in range can be asked for.
        if (std::trunc(identity) == identity && identity >= INT32_MIN && identity <= INT32_MAX) {
            if (EngineCommandName(state, static_cast<int32_t>(identity)) != name) {
                __builtin_trap();
            }
        }
        total += name.size();
    }
    return total == static_cast<size_t>(-1) ? 1 : 0;
}
