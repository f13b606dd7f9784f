#include "mapfile/MapWriting.h"

#include <string>

#include "platform/Hooks.h"
#include "platform/Text.h"

using platform::BinaryStream;

std::unique_ptr<BinaryStream> OpenLoadedMap(const MapState& state, std::string_view consequence) {
    BinaryStream::OpenFailure failure{};
    std::unique_ptr<BinaryStream> stream =
        BinaryStream::Open(*state.f, BinaryStream::Mode::ReadWrite, &failure);
    if (!stream) {
        const std::string why = failure == BinaryStream::OpenFailure::NotRegularFile
                                    ? "The map file is not a regular file, so "
                                    : "The map file could not be opened for writing, so ";
        platform::MsgBox(platform::Message(why + std::string(consequence) + ":" +
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

bool StillLoadedMap(const MapState& state, const BinaryStream& stream) {
    const std::optional<platform::FileIdentity> open = stream.Identity();
    if (!open || !state.fIdentity || !state.f || *open != *state.fIdentity) {
        return false;
    }
    // Another file renamed over the name leaves the open one as it was.
    return platform::PathIdentity(*state.f) == open;
}

void RememberOwnWrites(MapState& state, const BinaryStream& stream) {
    if (std::optional<platform::FileIdentity> identity = stream.Identity()) {
        state.fIdentity = identity;
    }
}
