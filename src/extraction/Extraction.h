#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "extraction/ExtractionText.h"
#include "mapfile/MapState.h"

// The texts of Extract All and of the script and global range extractions. They read the
// caches and the identity dictionary of a map state and nothing else: no setting, no file.
//
// A node is found by the identity dictionary with the default position 0, as every producer
// finds it; where even that position lies outside the node cache (an empty cache) there is no
// node, and what it would have printed is left out. Type codes without a name print the empty
// name, as on the main window's pages.

// The part of a map state an extraction reads, copied: a run on another thread reads the copy
// while the main window goes on changing or replacing its own state.
MapState ExtractionSnapshot(const MapState& state);

// The counts are of what the text holds: a cut text does not count the parts it left out.
struct ExtractAllResult {
    std::string text;
    int32_t globals = 0;
    int32_t scripts = 0;
    int32_t syntaxParts = 0;  // globals, two per script, and every walked node
    TextCut cut = TextCut::None;  // the limit the text reached and stops at, if any
};

// Every global, five line ends, then every script. Stops early, with what it has, when `stop`
// becomes true. Yields once per global, per walked node and per script.
ExtractAllResult ExtractAll(const MapState& state, const std::atomic<bool>* stop = nullptr);

// The closing message of Extract All for a run that took `ticks`.
std::string ExtractAllSummary(const ExtractAllResult& result, int64_t ticks);

// The seconds of a number of ticks, as the closing messages report them.
double TicksToSeconds(int64_t ticks);

struct RangeText {
    std::string text;
    TextCut cut = TextCut::None;
};

// The entries at positions first through first + 1 + endRow, as the Extract Range window's
// rows name them; none when endRow is -1. Positions outside the cache (a start of -1, or rows
// listed before another map was opened) are skipped.
RangeText ExtractScriptRange(const MapState& state, int32_t first, int32_t endRow);
RangeText ExtractGlobalRange(const MapState& state, int32_t first, int32_t endRow);
