#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "decompiler/Output.h"
#include "decompiler/TypeNames.h"
#include "mapfile/MapFormat.h"
#include "mapfile/MapState.h"

// The one-line texts of a script's header and of a global, as the record pages and every
// extraction print them.

// The name of a type code in its table, or the empty text when the table has no such code (the
// pop-up then shows no selection).
template <size_t N>
std::string_view TypeName(const std::array<std::string_view, N>& table, int32_t code) {
    if (code < 0 || code >= static_cast<int32_t>(N)) {
        return {};
    }
    return table[static_cast<size_t>(code)];
}

// "(script ", the type, the return type unless the script is "startup" or "continuous", and
// the name, written as pieces to `out` (anything with Piece, as the printers' outputs).
template <typename Out>
void WriteScriptHeader(Out& out, const ScriptHeader& script) {
    constexpr int32_t kStartup = 0;
    constexpr int32_t kContinuous = 2;
    out.Piece({"(script ", TypeName(ScriptTypeNames, script.Type), " "});
    if (script.Type != kStartup && script.Type != kContinuous) {
        out.Piece({TypeName(ValueTypeNames, script.ReturnType), " "});
    }
    out.Piece({script.Name});
}

// The header and a line end.
std::string ScriptHeaderLine(const ScriptHeader& script);

// "(global ", the type, the name and the value of the global's value node, then ")": a
// boolean as true or false, any other type as the decimal value; nothing for a missing node.
template <typename Out>
void WriteGlobalLine(Out& out, const MapState& state, const GlobalHeader& global) {
    constexpr int32_t kBooleanType = 5;
    out.Piece({"(global ", TypeName(ValueTypeNames, global.Type), " ", global.Name, " "});
    const Syntax* value =
        At(state.SyntaxCache, Lookup(state.SyntaxByIdentity, global.ExpPointer, 0));
    if (value != nullptr) {
        if (global.Type == kBooleanType) {
            out.Piece({value->ScriptValue == mapformat::kTrueValue ? "true" : "false"});
        } else {
            const decompiler::Decimal number(value->ScriptValue);
            out.Piece({number.View()});
        }
    }
    out.Piece({")"});
}

std::string GlobalLine(const MapState& state, const GlobalHeader& global);
