#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "decompiler/Decompiler.h"
#include "decompiler/NodeText.h"
#include "decompiler/Output.h"
#include "mapfile/MapState.h"

// The two printing styles, each writing to either output (instantiated for both).
namespace decompiler {

// What the walks of one call share: the budgets they spend together and the map file the node
// texts are read from.
class PrintJob {
public:
    // Counts one node visit and says whether it may go on. Once a budget is used up it prints
    // the marker for `identity`, the first time only, and every later call says no.
    template <typename Out>
    bool Visit(Out& out, int32_t identity) {
        if (++visits_ <= kPrintVisitBudget && out.Written() < kPrintTextBudget &&
            read_ < kPrintReadBudget) {
            return true;
        }
        if (!spent_) {
            spent_ = true;
            visits_ = kPrintVisitBudget;  // every later call then finds the visits spent
            OverBudgetMarker(out, identity);
        }
        return false;
    }
    bool Spent() const { return spent_; }

    // A node's text read from the map now, counted against the read budget.
    std::string ReadText(const std::optional<std::string>& mapPath, int32_t textOffset) {
        std::string text = texts_.Read(mapPath, textOffset);
        read_ += static_cast<int64_t>(text.size());
        return text;
    }

private:
    int64_t visits_ = 0;
    int64_t read_ = 0;
    bool spent_ = false;
    MapTextReader texts_;
};

// Style 1: prints the records from the shown script's first child's sibling up to the record
// before `identity`'s, in cache order.
template <typename Out>
void OrderWalk(MapState& state, int32_t identity, Out& out, PrintJob& job);

// Style 2: prints the subtree from `identity` by following the node references; every descent
// chooses its style again.
template <typename Out>
void TreeWalk(MapState& state, int32_t identity, Out& out, PrintJob& job);

// A script's body as the settings-free order walk and the extractions print it: the root's
// first child's line when that child is a value, then every record from the first child's next
// sibling up to the one before the root, in cache order, each handed to `visit`, which prints
// it and returns false to stop. Nothing when the root is outside the cache.
template <typename Out, typename Visit>
void WalkScriptBody(const MapState& state, int32_t rootPosition, Out& out, Visit visit) {
    const Syntax* root = At(state.SyntaxCache, rootPosition);
    const Syntax* first =
        root == nullptr
            ? nullptr
            : At(state.SyntaxCache, Lookup(state.SyntaxByIdentity, root->KidExpPointer, 0));
    if (first == nullptr) {
        return;
    }
    if (first->ExpType == kValueExp) {
        out.Piece({kLineEnd, "(", first->Command, kLineEnd});
    }
    const int64_t end =
        std::min<int64_t>(rootPosition, static_cast<int64_t>(state.SyntaxCache.size()));
    for (int64_t position =
             std::max<int64_t>(Lookup(state.SyntaxByIdentity, first->SibExpPointer, 0), 0);
         position < end; ++position) {
        if (!visit(state.SyntaxCache[static_cast<size_t>(position)])) {
            return;
        }
    }
}

// The tree walk with no setting read: no style choice, no tags, texts as the records hold them.
void PlainTreeWalk(const MapState& state, int32_t identity, StringOutput& out, PrintJob& job);

}  // namespace decompiler
