#include "decompiler/Walks.h"

#include <algorithm>
#include <string>
#include <type_traits>
#include <vector>

#include "decompiler/Decompiler.h"
#include "decompiler/NodeText.h"
#include "platform/Hooks.h"
#include "preferences/Prefernces.h"

namespace decompiler {

namespace {

// Reading yields, and a yield may let the state change: the record is looked up again before
// the text is stored, and a record that has gone keeps nothing.
void RereadCommand(MapState& state, int32_t position, PrintJob& job) {
    const Syntax* node = At(state.SyntaxCache, position);
    if (node == nullptr) {
        return;
    }
    std::string text = job.ReadText(state.f, node->ScriptTableOffset);
    if (Syntax* stillThere = At(state.SyntaxCache, position)) {
        stillThere->Command = std::move(text);
    }
}

template <typename Out>
void PrintOrderRecord(MapState& state, int32_t position, Out& out, PrintJob& job) {
    const Syntax* node = At(state.SyntaxCache, position);
    if (node == nullptr) {
        return;
    }
    if (Prefernces::SyntaxTag) {
        OpeningTag(out, node->ExpIdentity);
    }
    if (Prefernces::ScriptCommand == 2) {
        RereadCommand(state, position, job);
        node = At(state.SyntaxCache, position);
        if (node == nullptr) {
            return;
        }
    }
    OrderNodeText(out, *node);
    if (Prefernces::SyntaxTag) {
        ClosingTag(out, node->ExpIdentity);
    }
    OrderClosing(out, *node);
}

// Only identities of -2 or less are followed: -1 means none, and 0 and above end the descent.
bool Followed(int32_t reference) {
    return reference <= -2;
}

// Cache positions whose printing is under way, one bit each.
class OpenSet {
public:
    explicit OpenSet(size_t positions) : words_((positions + 63) / 64) {}

    // False when the position is open already.
    bool Insert(int32_t position) {
        const auto index = static_cast<size_t>(position);
        if (index / 64 >= words_.size()) {
            words_.resize(index / 64 + 1);  // the cache may have grown at a yield
        }
        const uint64_t bit = uint64_t{1} << (index % 64);
        uint64_t& word = words_[index / 64];
        if ((word & bit) != 0) {
            return false;
        }
        word |= bit;
        return true;
    }
    void Erase(int32_t position) {
        const auto index = static_cast<size_t>(position);
        words_[index / 64] &= ~(uint64_t{1} << (index % 64));
    }

private:
    std::vector<uint64_t> words_;
};

// The references a printed node leaves to follow; kNoNode where there is none.
struct Descents {
    int32_t child = kNoNode;
    int32_t sibling = kNoNode;
};

// The tree walk. Where a recursive walk would call itself for the child and then for the
// sibling, this one keeps the siblings still to print on a stack of its own and loops, so the
// call stack stays flat whatever the map holds.
//
// A node's printing lasts until its child's subtree and its following siblings are printed, as
// the recursive walk's call does. Only a reference to a node whose printing is still under way
// is a cycle; a node reached again later (a shared subtree) prints again, and the print's
// budget bounds what such sharing can cost.
// `kLive` walks read the settings; the plain walk reads none and changes nothing.
template <typename Out, bool kLive>
class TreeWalker {
public:
    using State = std::conditional_t<kLive, MapState, const MapState>;

    TreeWalker(State& state, Out& out, PrintJob& job)
        : state_(state), out_(out), job_(job), open_(state.SyntaxCache.size()) {
        // Room for a script of common size without growing: a print is often short, and
        // growing these would cost more than printing it.
        path_.reserve(256);
        levels_.reserve(64);
    }

    void Run(int32_t identity) {
        Descents next = Visit(identity, false);
        for (;;) {
            if (job_.Spent()) {
                return;
            }
            int32_t target = next.sibling;
            if (next.child != kNoNode) {
                if (levels_.size() < static_cast<size_t>(kMaxDescentDepth)) {
                    levels_.push_back({next.sibling, path_.size()});
                    target = next.child;
                } else {
                    TooDeepMarker(out_, next.child);
                }
            }
            while (target == kNoNode) {
                if (levels_.empty()) {
                    return;
                }
                const Level level = levels_.back();
                levels_.pop_back();
                // The child's subtree is printed: every node opened in it is done.
                while (path_.size() > level.pathBefore) {
                    open_.Erase(path_.back());
                    path_.pop_back();
                }
                target = level.sibling;
            }
            next = Visit(target, true);
        }
    }

private:
    // A child level entered: the sibling of the node that went down, printed once the child's
    // subtree is done, and how many nodes were open when it began.
    struct Level {
        int32_t sibling;
        size_t pathBefore;
    };

    Descents Visit(int32_t identity, bool descent) {
        if (!job_.Visit(out_, identity)) {
            return {};
        }
        if constexpr (kLive) {
            if (descent && Prefernces::DecompStyle != 2) {
                DescendInOtherStyle(Prefernces::DecompStyle, identity);
                return {};
            }
        }
        const int32_t position = Lookup(state_.SyntaxByIdentity, identity, -1);
        if (position == -1) {
            MissingNodeMarker(out_, identity);
            return {};
        }
        if (At(state_.SyntaxCache, position) == nullptr) {
            return {};
        }
        if (!open_.Insert(position)) {
            RepeatMarker(out_, identity);
            return {};
        }
        path_.push_back(position);
        if constexpr (kLive) {
            if (Prefernces::SyntaxTag) {
                OpeningTag(out_, identity);
            }
            if (Prefernces::ScriptCommand == 2) {
                RereadCommand(state_, position, job_);
            }
        }
        const Syntax* node = At(state_.SyntaxCache, position);
        if (node == nullptr) {
            return {};
        }
        TreeNodeText(out_, *node);
        if constexpr (kLive) {
            if (Prefernces::SyntaxTag) {
                ClosingTag(out_, identity);
            }
        }
        TreeClosing(out_, *node);

        Descents descents;
        if (Followed(node->KidExpPointer) && node->ExpType != kValueExp) {
            descents.child = node->KidExpPointer;
        }
        if (Followed(node->SibExpPointer)) {
            descents.sibling = node->SibExpPointer;
        }
        return descents;
    }

    // A descent prints in the style chosen now, which a setting saved at a yield may have
    // changed: the order walk appends its text, and the others return the empty text.
    void DescendInOtherStyle(int32_t style, int32_t identity) {
        if (style == 1) {
            OrderWalk(state_, identity, out_, job_);
            return;
        }
        if (style == 3) {
            ShowStyleNotImplemented();
        }
        out_.Discard();
    }

    State& state_;
    Out& out_;
    PrintJob& job_;
    OpenSet open_;
    std::vector<int32_t> path_;  // the open positions, in the order they were opened
    std::vector<Level> levels_;  // one per child level entered
};

}  // namespace

template <typename Out>
void OrderWalk(MapState& state, int32_t identity, Out& out, PrintJob& job) {
    const int64_t rootPosition = Lookup(state.SyntaxByIdentity, identity, 0);

    // The root and its first child come from the shown script; without one there is nothing
    // to start from.
    const ScriptHeader* script =
        state.LoadedScript ? At(state.ScriptHeaderCache, *state.LoadedScript) : nullptr;
    if (script == nullptr) {
        return;
    }
    const int32_t shownRoot = Lookup(state.SyntaxByIdentity, script->ExpPointer, 0);
    const Syntax* root = At(state.SyntaxCache, shownRoot);
    if (root == nullptr) {
        return;
    }
    state.LoadedSyntax = shownRoot;
    const int32_t firstPosition = Lookup(state.SyntaxByIdentity, root->KidExpPointer, 0);
    const Syntax* first = At(state.SyntaxCache, firstPosition);
    if (first == nullptr) {
        return;
    }
    state.LoadedSyntax = firstPosition;
    const int64_t start = Lookup(state.SyntaxByIdentity, first->SibExpPointer, 0);
    if (first->ExpType == kValueExp) {
        out.Piece({"(", first->Command, kLineEnd});
    }

    for (int64_t position = std::max<int64_t>(start, 0);
         position < rootPosition && position < static_cast<int64_t>(state.SyntaxCache.size());
         ++position) {
        const int32_t at = static_cast<int32_t>(position);
        if (!job.Visit(out, state.SyntaxCache[static_cast<size_t>(at)].ExpIdentity)) {
            return;
        }
        PrintOrderRecord(state, at, out, job);
        platform::Yield();
    }
}

template <typename Out>
void TreeWalk(MapState& state, int32_t identity, Out& out, PrintJob& job) {
    TreeWalker<Out, true>(state, out, job).Run(identity);
}

void PlainTreeWalk(const MapState& state, int32_t identity, StringOutput& out, PrintJob& job) {
    TreeWalker<StringOutput, false>(state, out, job).Run(identity);
}

template void OrderWalk<StringOutput>(MapState&, int32_t, StringOutput&, PrintJob&);
template void OrderWalk<SinkOutput>(MapState&, int32_t, SinkOutput&, PrintJob&);
template void TreeWalk<StringOutput>(MapState&, int32_t, StringOutput&, PrintJob&);
template void TreeWalk<SinkOutput>(MapState&, int32_t, SinkOutput&, PrintJob&);

}  // namespace decompiler
