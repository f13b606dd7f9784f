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
//   " //--// <identity> again\\--\\"     the node was printed earlier in this call, so
//                                        following it would repeat the text (a cycle)
//   " //--// <identity> too deep\\--\\"  a child lies deeper than kMaxDescentDepth levels
// and then goes on with the next sibling of the node it came from.

// Child levels the tree walk follows below the node it starts at. More than the 16-bit
// identities let a loaded map hold, so it never cuts a map read from a file; it bounds the walk
// for states filled by other means.
inline constexpr int32_t kMaxDescentDepth = 32768;

// Returns `header` followed by the script text for styles 1 and 2, the empty text otherwise.
std::string ExtractScriptFloating(MapState& state, int32_t identity, const std::string& header);

// Prints exactly what ExtractScriptFloating adds after its header, appending it to `field` one
// piece at a time (a tag half, a node's text, a closing text, a marker), and nothing after it.
void ExtractScriptConstant(MapState& state, int32_t identity, platform::TextSink& field);

// The order walk without settings from the root at `rootPosition` in SyntaxCache: no tags, no
// on-demand texts, strings unquoted, and "))" at the end. Changes nothing in the state.
void DecompileScript(MapState& state, int32_t rootPosition, platform::TextSink& field);

// The tree walk without settings: `text` followed by the subtree from `identity`, as
// ExtractScriptFloating prints it in style 2 with tags off and the texts read at load.
std::string ScriptTreeExtract(const MapState& state, int32_t identity, const std::string& text);
