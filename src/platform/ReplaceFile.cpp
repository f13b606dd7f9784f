#include "platform/ReplaceFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <system_error>
#include <utility>

namespace platform {

namespace {

// The folder that holds `target`, and the name `target` has in it.
std::string FolderOf(const std::string& target) {
    const size_t slash = target.rfind('/');
    return slash == std::string::npos ? "." : target.substr(0, slash + 1);
}

std::string NameOf(const std::string& target) {
    const size_t slash = target.rfind('/');
    return slash == std::string::npos ? target : target.substr(slash + 1);
}

// The writer's pid in `name` when it is `prefix`<pid>-<counter>, as CreateBeside names its files;
// 0 for any other name, and for a number no pid can be, which no writer here gave.
pid_t WriterOf(std::string_view name, std::string_view prefix) {
    const auto digits = [](std::string_view text) {
        return !text.empty() &&
               std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!name.starts_with(prefix)) {
        return 0;
    }
    name.remove_prefix(prefix.size());
    const size_t dash = name.find('-');
    if (dash == std::string_view::npos || !digits(name.substr(0, dash)) ||
        !digits(name.substr(dash + 1))) {
        return 0;
    }
    pid_t pid = 0;
    if (std::from_chars(name.data(), name.data() + dash, pid).ec != std::errc{}) {
        return 0;
    }
    return pid;
}

// A writer killed before its rename leaves its new file behind for good; each replacement
// removes those whose writer is gone. A live writer may be another instance of the program
// replacing the same file right now, so its file stays. Nothing here fails the replacement.
void RemoveLeftovers(const std::string& target) {
    DIR* const folder = ::opendir(FolderOf(target).c_str());
    if (folder == nullptr) {
        return;
    }
    const int folderFd = ::dirfd(folder);
    const std::string prefix = NameOf(target) + ".new-";
    while (const dirent* entry = ::readdir(folder)) {
        const pid_t writer = WriterOf(entry->d_name, prefix);
        struct stat info {};
        // A folder or a link of such a name is nothing this wrote.
        if (writer > 0 && ::kill(writer, 0) != 0 && errno == ESRCH &&
            ::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode)) {
            ::unlinkat(folderFd, entry->d_name, 0);
        }
    }
    ::closedir(folder);
}

// A new file beside `target`, named after it; -1 when none can be made.
int CreateBeside(const std::string& target, mode_t mode, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// The errno of the call that just failed. Never 0, so that a failure cannot pass for success.
int LastError() {
    return errno != 0 ? errno : EIO;
}

bool Failed(std::string* reason, std::string text) {
    if (reason != nullptr) {
        *reason = std::move(text);
    }
    return false;
}

bool Failed(std::string* reason, int error) {
    return Failed(reason, std::generic_category().message(error));
}

// 0 once all of `bytes` are written, else the errno that stopped the write.
int WriteAll(const ReplaceCalls& calls, int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = calls.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            const int error = LastError();
            if (error == EINTR) {
                continue;
            }
            return error;
        }
        if (n == 0) {
            // Retrying would loop for ever; only a full disk takes none of a write.
            return ENOSPC;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

// Makes the rename itself last through a crash. The new file is in place whatever this
// gives, so its failure is no failure of the replacement.
void FlushFolder(const ReplaceCalls& calls, const std::string& target) {
    const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        calls.fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view bytes, const ReplaceCalls& calls,
                 std::string* reason) {
    std::string target = path;
    // A new file is made as files always were here; a replaced one keeps its own mode.
    mode_t mode = 0644;
    bool replacing = false;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        if (S_ISLNK(info.st_mode)) {
            // Renaming over the link would cut it from the file it names.
            const std::unique_ptr<char, decltype(&std::free)> resolved(
                ::realpath(path.c_str(), nullptr), &std::free);
            if (!resolved || ::stat(resolved.get(), &info) != 0) {
                return Failed(reason, LastError());
            }
            target = resolved.get();
        }
        if (S_ISDIR(info.st_mode)) {
            return Failed(reason, EISDIR);
        }
        if (!S_ISREG(info.st_mode)) {
            return Failed(reason, "Not a regular file");
        }
        // A file its owner made read-only stays unwritten, as it was when written in place.
        if (::access(target.c_str(), W_OK) != 0) {
            return Failed(reason, LastError());
        }
        mode = info.st_mode & 07777;
        replacing = true;
    } else if (errno != ENOENT) {
        return Failed(reason, LastError());
    }

    RemoveLeftovers(target);
    std::string temporary;
    const int fd = CreateBeside(target, mode, temporary);
    if (fd < 0) {
        return Failed(reason, LastError());
    }
    // The first call to fail says why; the calls after it are skipped, but for the close.
    int error = 0;
    // The umask cuts the mode given to open; a replaced file keeps exactly its own.
    if (replacing && ::fchmod(fd, mode) != 0) {
        error = LastError();
    }
    if (error == 0) {
        error = WriteAll(calls, fd, bytes);
    }
    if (error == 0 && calls.fsync(fd) != 0) {
        error = LastError();
    }
    if (::close(fd) != 0 && error == 0) {
        error = LastError();
    }
    if (error == 0 && calls.rename(temporary.c_str(), target.c_str()) != 0) {
        error = LastError();
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return Failed(reason, error);
    }
    FlushFolder(calls, target);
    return true;
}

}  // namespace platform
