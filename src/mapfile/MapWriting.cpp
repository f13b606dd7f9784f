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
    if (!StillLoadedMap(state, *stream)) {
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
    if (!state.fIdentity || !state.f) {
        return false;
    }
    // The name first: the open file, looked at last, is what the caller then writes to.
    const std::optional<platform::FileIdentity> named = platform::PathIdentity(*state.f);
    const std::optional<platform::FileIdentity> open = stream.Identity();
    // Another file renamed over the name leaves the open one as it was.
    return open && *open == *state.fIdentity && named == open;
}

void RememberOwnWrites(MapState& state, const BinaryStream& stream) {
    const std::optional<platform::FileIdentity> now = stream.Identity();
    // Our writes stay inside the file. A file that changed size meanwhile was changed by
    // another program as well, between our look and our write, and must not pass for ours.
    if (now && state.fIdentity && now->device == state.fIdentity->device &&
        now->inode == state.fIdentity->inode && now->size == state.fIdentity->size) {
        state.fIdentity = now;
    }
}
