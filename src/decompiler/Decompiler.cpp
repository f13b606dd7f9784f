#include "decompiler/Decompiler.h"

#include "decompiler/NodeText.h"
#include "decompiler/Output.h"
#include "decompiler/Walks.h"
#include "preferences/Prefernces.h"

using namespace decompiler;

namespace {

// Prints in the style DecompStyle names now. False when that style prints nothing.
template <typename Out>
bool PrintInChosenStyle(MapState& state, int32_t identity, Out& out) {
    PrintJob job;
    switch (Prefernces::DecompStyle) {
        case 1:
            OrderWalk(state, identity, out, job);
            return true;
        case 2:
            TreeWalk(state, identity, out, job);
            return true;
        case 3:
            ShowStyleNotImplemented();
            return false;
        default:
            return false;
    }
}

}  // namespace

std::string ExtractScriptFloating(MapState& state, int32_t identity, const std::string& header) {
    std::string text = header;
    StringOutput out(text);
    if (!PrintInChosenStyle(state, identity, out)) {
        return {};
    }
    return text;
}

void ExtractScriptConstant(MapState& state, int32_t identity, platform::TextSink& field) {
    SinkOutput out(field);
    PrintInChosenStyle(state, identity, out);
}
