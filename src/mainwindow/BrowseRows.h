#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mapfile/MapState.h"

// The browse list's rows carry nothing but their text; these functions turn a row's text back
// into the record it stands for, and list a folder row's children.

enum class RowKind {
    None,    // an empty selection
    Folder,  // "scripts" or "globals": selecting it changes nothing
    Script,  // "s: " and a script name
    Global,  // "g: " and a global name
    Syntax,  // anything else: looked up whole as a node identity text
};

struct RowRef {
    RowKind kind = RowKind::None;
    // The script or global name (the piece after the first ": ", up to the next one), or the
    // whole text for a node row.
    std::string key;
};

RowRef ClassifyRow(const std::string& text);

struct RowChildren {
    bool folders = false;  // the children are folder rows themselves
    std::vector<std::string> rows;
    // Set when the row's text is no folder this list knows.
    std::optional<std::string> message;
};

// The children that expanding a folder row adds, built from the records as they are now.
// A script row lists its root identity, its root's first child, then the identities of the
// cache stretch from that child's sibling up to the node before the root. A name or identity
// that leads nowhere ends the list there, keeping the rows before it.
RowChildren ExpandRow(const MapState& state, const std::string& text);
