#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace platform {

// The system calls that ReplaceFile makes once the new file exists; a test puts a failing one
// in place of a real one.
struct ReplaceCalls {
    ssize_t (*write)(int fd, const void* bytes, size_t count) = ::write;
    int (*fsync)(int fd) = ::fsync;
    int (*rename)(const char* from, const char* to) = ::rename;
};

// Puts `bytes` in the place of the file at `path`, whole or not at all: they go into a new file
// in the same folder, are flushed to the disk, and that file is renamed over `path`. On any
// failure the file at `path` stays as it was and the new file is removed. A symbolic link is
// followed, and the file it names is replaced. Returns false, touching nothing, when anything
// but a regular file (a folder, a FIFO, a device) stands at `path`. On failure `reason`, when
// given, receives why: the system's text for the error, or "Not a regular file".
// Before the new file is made, regular files that earlier replacements of the same file left
// beside it, their process killed before the rename, are removed.
bool ReplaceFile(const std::string& path, std::string_view bytes, const ReplaceCalls& calls = {},
                 std::string* reason = nullptr);

}  // namespace platform
