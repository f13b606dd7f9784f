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
void RereadCommand(MapState& state, int32_t position) {
    const Syntax* node = At(state.SyntaxCache, position);
    if (node == nullptr) {
        return;
    }
    std::string text = ReadNodeTextFromMap(state.f, node->ScriptTableOffset);
    if (Syntax* stillThere = At(state.SyntaxCache, position)) {
        stillThere->Command = std::move(text);
    }
}

template <typename Out>
void PrintOrderRecord(MapState& state, int32_t position, Out& out) {
    const Syntax* node = At(state.SyntaxCache, position);
    if (node == nullptr) {
        return;
    }
    if (Prefernces::SyntaxTag) {
        OpeningTag(out, node->ExpIdentity);
    }
    if (Prefernces::ScriptCommand == 2) {
        RereadCommand(state, position);
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

// Cache positions printed so far in one walk, one bit each.
class PrintedSet {
public:
    explicit PrintedSet(size_t positions) : words_((positions + 63) / 64) {}

    // False when the position was printed already.
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
// call stack stays flat whatever the map holds. A node prints at most once per walk, which
// bounds both the time and the length of the text by the size of the cache.
// `kLive` walks read the settings; the plain walk reads none and changes nothing.
template <typename Out, bool kLive>
class TreeWalker {
public:
    using State = std::conditional_t<kLive, MapState, const MapState>;

    TreeWalker(State& state, Out& out)
        : state_(state), out_(out), printed_(state.SyntaxCache.size()) {}

    void Run(int32_t identity) {
        Descents next = Visit(identity, false);
        for (;;) {
            int32_t target = next.sibling;
            if (next.child != kNoNode) {
                if (pendingSiblings_.size() < static_cast<size_t>(kMaxDescentDepth)) {
                    pendingSiblings_.push_back(next.sibling);
                    target = next.child;
                } else {
                    TooDeepMarker(out_, next.child);
                }
            }
            while (target == kNoNode) {
                if (pendingSiblings_.empty()) {
                    return;
                }
                target = pendingSiblings_.back();
                pendingSiblings_.pop_back();
            }
            next = Visit(target, true);
        }
    }

private:
    Descents Visit(int32_t identity, bool descent) {
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
        if (!printed_.Insert(position)) {
            RepeatMarker(out_, identity);
            return {};
        }
        if constexpr (kLive) {
            if (Prefernces::SyntaxTag) {
                OpeningTag(out_, identity);
            }
            if (Prefernces::ScriptCommand == 2) {
                RereadCommand(state_, position);
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
            OrderWalk(state_, identity, out_);
            return;
        }
        if (style == 3) {
            ShowStyleNotImplemented();
        }
        out_.Discard();
    }

    State& state_;
    Out& out_;
    PrintedSet printed_;
    std::vector<int32_t> pendingSiblings_;  // one per child level entered; kNoNode: none
};

}  // namespace

template <typename Out>
void OrderWalk(MapState& state, int32_t identity, Out& out) {
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
        PrintOrderRecord(state, static_cast<int32_t>(position), out);
        platform::Yield();
    }
}

template <typename Out>
void TreeWalk(MapState& state, int32_t identity, Out& out) {
    TreeWalker<Out, true>(state, out).Run(identity);
}

void PlainTreeWalk(const MapState& state, int32_t identity, StringOutput& out) {
    TreeWalker<StringOutput, false>(state, out).Run(identity);
}

template void OrderWalk<StringOutput>(MapState&, int32_t, StringOutput&);
template void OrderWalk<SinkOutput>(MapState&, int32_t, SinkOutput&);
template void TreeWalk<StringOutput>(MapState&, int32_t, StringOutput&);
template void TreeWalk<SinkOutput>(MapState&, int32_t, SinkOutput&);

}  // namespace decompiler
