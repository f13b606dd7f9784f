#include "platform/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <memory>

namespace platform {

namespace {

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

bool WriteAll(const ReplaceCalls& calls, int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = calls.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Makes the rename itself last through a crash. The new file is in place whatever this
// gives, so its failure is no failure of the replacement.
void FlushFolder(const ReplaceCalls& calls, const std::string& target) {
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        calls.fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view bytes, const ReplaceCalls& calls) {
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
                return false;
            }
            target = resolved.get();
        }
        if (!S_ISREG(info.st_mode)) {
            return false;
        }
        // A file its owner made read-only stays unwritten, as it was when written in place.
        if (::access(target.c_str(), W_OK) != 0) {
            return false;
        }
        mode = info.st_mode & 07777;
        replacing = true;
    } else if (errno != ENOENT) {
        return false;
    }

    std::string temporary;
    const int fd = CreateBeside(target, mode, temporary);
    if (fd < 0) {
        return false;
    }
    // The umask cuts the mode given to open; a replaced file keeps exactly its own.
    bool ok = (!replacing || ::fchmod(fd, mode) == 0) && WriteAll(calls, fd, bytes) &&
              calls.fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && calls.rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    FlushFolder(calls, target);
    return true;
}

}  // namespace platform
