#include "mainwindow/RecordPages.h"

#include "decompiler/Decompiler.h"
#include "mapfile/MapFormat.h"
#include "platform/Text.h"
#include "preferences/Prefernces.h"

namespace {

// Resolves a lookup into the shown record: the found position, else the first record.
template <typename Record>
int32_t Show(const std::vector<Record>& cache, int32_t position, std::optional<int32_t>& shown) {
    if (At(cache, position) == nullptr) {
        position = 0;
    }
    if (At(cache, position) == nullptr) {
        return -1;
    }
    shown = position;
    return position;
}

}  // namespace

std::string OffsetHelpTag(int64_t offset) {
    return "Offset : 0x" + platform::Hex(static_cast<int32_t>(offset));
}

int32_t ShowScript(MapState& state, const std::string& name) {
    return Show(state.ScriptHeaderCache, Lookup(state.ScriptsByName, name, 0), state.LoadedScript);
}

int32_t ShowGlobal(MapState& state, const std::string& name) {
    return Show(state.GlobalHeaderCache, Lookup(state.GlobalsByName, name, 0), state.LoadedGlobal);
}

int32_t ShowSyntax(MapState& state, const std::string& rowText) {
    return Show(state.SyntaxCache, Lookup(state.SyntaxByIdentityStr, std::string_view(rowText), 0),
                state.LoadedSyntax);
}

int64_t PrintShownScript(MapState& state, TextField& field) {
    field.SetText("");
    const ScriptHeader* script =
        state.LoadedScript ? At(state.ScriptHeaderCache, *state.LoadedScript) : nullptr;
    const int64_t start = platform::Ticks();
    if (script != nullptr) {
        const std::string header = ScriptHeaderLine(*script);
        const int32_t root = script->ExpPointer;
        if (Prefernces::ScriptPrinting == 1) {
            field.SetText(ExtractScriptFloating(state, root, header) + "))");
        } else if (Prefernces::ScriptPrinting == 2) {
            field.SetText(header);
            ExtractScriptConstant(state, root, field);
        }
    }
    return platform::Ticks() - start;
}
