#pragma once

#include <memory>
#include <string_view>

#include "mapfile/MapState.h"
#include "platform/BinaryStream.h"

// Every write into the open map goes through here, so that it lands only in the file that was
// loaded: the records' offsets were read from that file and mean nothing in another one.

// Opens state.f (which must be set) for writing when it is still the file the last load read,
// as that load and our own writes since left it. Otherwise shows one message saying why, with
// `consequence` telling what that means ("nothing was changed"), and returns null.
std::unique_ptr<platform::BinaryStream> OpenLoadedMap(const MapState& state,
                                                      std::string_view consequence);

// For a stream from OpenLoadedMap kept open while other work runs: true when its file is still
// as the last load and our own writes left it, and the map's name still leads to that file.
// Says nothing; the caller tells the user what stopping means.
bool StillLoadedMap(const MapState& state, const platform::BinaryStream& stream);

// After writing through a stream from OpenLoadedMap: the file as those writes left it is the
// one the next write expects. Writes into a map never change its size; when the size has
// changed all the same, another program changed the file, and it is not taken for ours.
void RememberOwnWrites(MapState& state, const platform::BinaryStream& stream);
