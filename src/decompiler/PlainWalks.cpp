#include "decompiler/Decompiler.h"

#include <algorithm>

#include "decompiler/NodeText.h"
#include "decompiler/Output.h"
#include "decompiler/Walks.h"
#include "platform/Hooks.h"

using namespace decompiler;

void DecompileScript(MapState& state, int32_t rootPosition, platform::TextSink& field) {
    SinkOutput out(field);
    PrintJob job;
    const Syntax* root = At(state.SyntaxCache, rootPosition);
    const Syntax* first =
        root == nullptr
            ? nullptr
            : At(state.SyntaxCache, Lookup(state.SyntaxByIdentity, root->KidExpPointer, 0));
    if (first != nullptr) {
        const int64_t start = Lookup(state.SyntaxByIdentity, first->SibExpPointer, 0);
        if (first->ExpType == kValueExp) {
            out.Piece({kLineEnd, "(", first->Command, kLineEnd});
        }
        for (int64_t position = std::max<int64_t>(start, 0);
             position < rootPosition && position < static_cast<int64_t>(state.SyntaxCache.size());
             ++position) {
            const Syntax& node = state.SyntaxCache[static_cast<size_t>(position)];
            if (!job.Visit(out, node.ExpIdentity)) {
                return;  // the marker ends the text
            }
            PlainOrderNodeText(out, node);
            OrderClosing(out, node);
            platform::Yield();
        }
    }
    out.Piece({"))"});
}

std::string ScriptTreeExtract(const MapState& state, int32_t identity, const std::string& text) {
    std::string result = text;
    StringOutput out(result);
    PrintJob job;
    PlainTreeWalk(state, identity, out, job);
    return result;
}
