#include "decompiler/RecordLines.h"

#include "platform/Text.h"

std::string ScriptHeaderLine(const ScriptHeader& script) {
    std::string line;
    decompiler::StringOutput out(line);
    WriteScriptHeader(out, script);
    out.Piece({platform::EndOfLine});
    return line;
}

std::string GlobalLine(const MapState& state, const GlobalHeader& global) {
    std::string line;
    decompiler::StringOutput out(line);
    WriteGlobalLine(out, state, global);
    return line;
}
