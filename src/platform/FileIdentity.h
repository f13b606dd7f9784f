#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct stat;

namespace platform {

// What tells a file from another one put in its place (device and inode), and from itself after
// someone else wrote to it (size, modification time and status-change time). The modification
// time can be set back after a write; the status-change time cannot, short of the clock.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedSeconds = 0;
    int64_t modifiedNanoseconds = 0;
    int64_t changedSeconds = 0;
    int64_t changedNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityFromStatus(const struct stat& info);

// The file a path leads to now, links followed; nullopt when it leads to none.
std::optional<FileIdentity> PathIdentity(const std::string& path);

}  // namespace platform
