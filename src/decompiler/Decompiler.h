#pragma once

#include <cstdint>
#include <string>

#include "mapfile/MapState.h"
#include "platform/Hooks.h"

// Prints a script's expression tree as the game's script source.
//
// The printing style is the DecompStyle setting, read at every call and again at every descent
// of the tree walk: 1 the order walk (the records lying between the first child's sibling and
// the root, in cache order), 2 the tree walk (follows the node references), 3 a message that
// the style does not exist, anything else nothing. SyntaxTag wraps every printed node in
// identity tags; ScriptCommand 2 re-reads every printed node's text from the map file and keeps
// it in the record.
//
// The order walk takes the root and its first child from state.LoadedScript, which the script
// page sets before it prints, and leaves state.LoadedSyntax on the first child.
//
// The tree walk marks where it stops, each marker on a paragraph of its own:
//   " //--// <identity>\\--\\"           the identity names no node
//   " //--// <identity> again\\--\\"     the node is still being printed: it is an ancestor,
//                                        or an earlier sibling of one, so following it would
//                                        print without end (a cycle)
//   " //--// <identity> too deep\\--\\"  a child lies deeper than kMaxDescentDepth levels
// and then goes on with the next sibling of the node it came from. A node reached again after
// its printing is over (a subtree shared by two parents) prints again.
//
// Every walk ends for good, with " //--// <identity> print too long\\--\\" in place of the node
// it would print next, once the call has used up one of its budgets below.

// Child levels the tree walk follows below the node it starts at. More than the 16-bit
// identities let a loaded map hold, so it never cuts a map read from a file; it bounds the walk
// for states filled by other means.
inline constexpr int32_t kMaxDescentDepth = 32768;

// What one call may spend, counted over every walk it makes. Shared subtrees print again, so a
// map can chain them to print a few nodes an exponential number of times. The largest script
// of the largest map the format allows prints some 4 000 nodes and 200 KB with tags; the
// budgets sit far above that. They keep the worst print under a second, and its text, even as
// a single line, one the script field lays out and shows in well under two seconds.
// Node visits, stops included: 32 times the nodes a map can hold.
inline constexpr int64_t kPrintVisitBudget = int64_t{1} << 20;
// Bytes printed, besides the text given to print after.
inline constexpr int64_t kPrintTextBudget = int64_t{1} << 20;
// Bytes of node texts read from the map while printing (ScriptCommand 2), which the records
// then keep.
inline constexpr int64_t kPrintReadBudget = int64_t{1} << 20;

// Returns `header` followed by the script text for styles 1 and 2, the empty text otherwise.
std::string ExtractScriptFloating(MapState& state, int32_t identity, const std::string& header);

// Prints exactly what ExtractScriptFloating adds after its header, appending it to `field` one
// piece at a time (a tag half, a node's text, a closing text, a marker), and nothing after it.
void ExtractScriptConstant(MapState& state, int32_t identity, platform::TextSink& field);

// The order walk without settings from the root at `rootPosition` in SyntaxCache: no tags, no
// on-demand texts, strings unquoted, and "))" at the end, unless the budget marker ends the
// text. Changes nothing in the state.
void DecompileScript(MapState& state, int32_t rootPosition, platform::TextSink& field);

// The tree walk without settings: `text` followed by the subtree from `identity`, as
// ExtractScriptFloating prints it in style 2 with tags off and the texts read at load.
std::string ScriptTreeExtract(const MapState& state, int32_t identity, const std::string& text);
