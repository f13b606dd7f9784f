#pragma once

#include <string>
#include <vector>

#include "mapfile/MapState.h"

// The accepted names of a named map header, in the order they are compared.
const std::vector<std::string>& AcceptedMapNames();

enum class LoadResult {
    NoFile,      // no file was given
    CannotOpen,  // the file could not be opened or is not a regular file; nothing changed
    Refused,     // the header refused the map; nothing changed
    Loaded,      // the map is open; state replaced
};

struct LoadOutcome {
    LoadResult result = LoadResult::NoFile;
    // The browse list's top folder rows for this map ("scripts", "globals"), in order.
    std::vector<std::string> folderRows;
};

// File > Open after the dialog: refuses a file whose header value is 609 ("cant load |1|"),
// sets MapNames and reads the map. Nothing changes unless the map is accepted.
LoadOutcome OpenMap(MapState& state, const std::string& path);

// Reads the header and scenario tag of `path`; on acceptance replaces the map state with the
// map's script tables and rebuilds the engine command table.
LoadOutcome ReadMapData(MapState& state, const std::string& path);

// The characters of a text from the last to the first.
std::string reverse(const std::string& text);

// Reads the script tables of state.Scenario from state.f into the caches and dictionaries.
// Returns the browse list's folder rows.
std::vector<std::string> ReadScriptData(MapState& state);
