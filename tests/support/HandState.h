#pragma once

#include <cstdint>
#include <string>

#include "mapfile/MapState.h"

// Map states laid out by hand, record by record, for the rules that read only the caches.
namespace handstate {

// A syntax record; engine command 0 unless told, so that the printers apply the value rules.
inline Syntax Node(int32_t identity, int32_t expType, int32_t valueType, std::string text,
                   int32_t kid = -1, int32_t sibling = -1, int32_t value = 0, int32_t engine = 0) {
    Syntax node;
    node.ExpIdentity = identity;
    node.ExpType = expType;
    node.ValueType = valueType;
    node.Command = std::move(text);
    node.KidExpPointer = kid;
    node.SibExpPointer = sibling;
    node.ScriptValue = value;
    node.EngineIdentity = engine;
    return node;
}

// Appends the record to the node cache and enters it in the identity dictionary; returns its
// cache position.
inline int32_t Add(MapState& state, Syntax node) {
    if (!state.SyntaxByIdentity) {
        state.SyntaxByIdentity.emplace();
    }
    const auto position = static_cast<int32_t>(state.SyntaxCache.size());
    (*state.SyntaxByIdentity)[node.ExpIdentity] = position;
    state.SyntaxCache.push_back(std::move(node));
    return position;
}

}  // namespace handstate
