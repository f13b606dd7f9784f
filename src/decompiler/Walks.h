#pragma once

#include <cstdint>

#include "decompiler/Output.h"
#include "mapfile/MapState.h"

// The two printing styles, each writing to either output (instantiated for both).
namespace decompiler {

// Style 1: prints the records from the shown script's first child's sibling up to the record
// before `identity`'s, in cache order.
template <typename Out>
void OrderWalk(MapState& state, int32_t identity, Out& out);

// Style 2: prints the subtree from `identity` by following the node references; every descent
// chooses its style again.
template <typename Out>
void TreeWalk(MapState& state, int32_t identity, Out& out);

// The tree walk with no setting read: no style choice, no tags, texts as the records hold them.
void PlainTreeWalk(const MapState& state, int32_t identity, StringOutput& out);

}  // namespace decompiler
