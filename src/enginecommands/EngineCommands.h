#pragma once

#include <cstdint>
#include <string>

#include "mapfile/MapState.h"

inline constexpr const char* kComDatFileName = "ComDat.xml";
inline constexpr const char* kUnknownEngineCommand = "Uknown engine command";

// Rebuilds state.CommandsByEngine from the source the EngineCommands setting chooses: 1 the
// built-in table, 2 "ComDat.xml" in the default folder, anything else nothing. The state holds
// a table afterwards in every case.
void DefineEngineCommands(MapState& state);

// The built-in table: identities 0 to 542.
EngineCommandTable HardcodedCommandTable();

struct ComDatResult {
    EngineCommandTable table;
    std::string problem;  // empty when the file was read; otherwise what was wrong with it
};
// Reads an engine command file: every child of the root element is an entry; the text inside
// its first child is the identity, the text inside its last child the name. A later entry with
// an equal identity replaces an earlier one. A file that breaks these rules gives an empty
// table and says why, as does a file that cannot be opened or is no regular file (a folder, a
// pipe). Yields once per entry.
ComDatResult ReadComDat(const std::string& path);

// The name the syntax-node page shows for an engine identity: the table's name, or
// "Uknown engine command" when the table holds none (or there is no table yet).
std::string EngineCommandName(const MapState& state, int32_t engineIdentity);
