#pragma once

// The fuzzer's input as a file that the readers open by path. The file lives in memory only
// and goes with the process, so no run leaves one behind, not even a run that crashes.
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>

class InputFile {
public:
    InputFile()
        : fd_(memfd_create("morvane_fuzz_input", MFD_CLOEXEC)),
          path_("/proc/self/fd/" + std::to_string(fd_)) {}
    ~InputFile() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Makes `data` the file's whole content; false when it cannot.
    bool Fill(const uint8_t* data, size_t size) {
        if (fd_ < 0 || ftruncate(fd_, 0) != 0) {
            return false;
        }
        size_t done = 0;
        while (done < size) {
            const ssize_t n = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
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

    const std::string& Path() const { return path_; }

private:
    int fd_;
    std::string path_;
};
