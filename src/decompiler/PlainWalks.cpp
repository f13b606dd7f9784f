#include "decompiler/Decompiler.h"

#include "decompiler/NodeText.h"
#include "decompiler/Output.h"
#include "decompiler/Walks.h"
#include "platform/Hooks.h"

using namespace decompiler;

void DecompileScript(MapState& state, int32_t rootPosition, platform::TextSink& field) {
    SinkOutput out(field);
    PrintJob job;
    bool stopped = false;
    WalkScriptBody(state, rootPosition, out, [&](const Syntax& node) {
        if (!job.Visit(out, node.ExpIdentity)) {
            stopped = true;  // the marker ends the text
            return false;
        }
        PlainOrderNodeText(out, node);
        OrderClosing(out, node);
        platform::Yield();
        return true;
    });
    if (!stopped) {
        out.Piece({"))"});
    }
}

std::string ScriptTreeExtract(const MapState& state, int32_t identity, const std::string& text) {
    std::string result = text;
    StringOutput out(result);
    PrintJob job;
    PlainTreeWalk(state, identity, out, job);
    return result;
}
