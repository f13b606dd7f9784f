#include "mapfile/MapWriting.h"

#include <string>

#include "platform/Hooks.h"
#include "platform/Text.h"

using platform::BinaryStream;

std::unique_ptr<BinaryStream> OpenLoadedMap(const MapState& state, std::string_view consequence) {
    std::unique_ptr<BinaryStream> stream =
        BinaryStream::Open(*state.f, BinaryStream::Mode::ReadWrite);
    if (!stream) {
        platform::MsgBox(platform::Message("The map file could not be opened for writing, so " +
                                           std::string(consequence) + ":" +
                                           std::string(platform::EndOfLine))
                             .Path(*state.f));
        return nullptr;
    }
    // Compared on the file now open, so the check and the write concern the same file.
    if (!state.fIdentity || stream->Identity() != state.fIdentity) {
        platform::MsgBox(
            platform::Message("The map file was changed on disk after it was opened, so " +
                              std::string(consequence) +
                              ". Open the map again:" + std::string(platform::EndOfLine))
                .Path(*state.f));
        return nullptr;
    }
    return stream;
}

void RememberOwnWrites(MapState& state, const BinaryStream& stream) {
    if (std::optional<platform::FileIdentity> identity = stream.Identity()) {
        state.fIdentity = identity;
    }
}
