#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace testmap {

// A fresh folder that is removed with everything in it when the object goes.
class TempDir {
public:
    TempDir() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("morvane_test_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // Places a named pipe, or a folder, under `name` where a file is expected; returns its path.
    std::string Fifo(const std::string& name) const {
        const std::string path = File(name);
        return ::mkfifo(path.c_str(), 0644) == 0 ? path : std::string();
    }
    std::string Folder(const std::string& name) const {
        const std::string path = File(name);
        std::filesystem::create_directories(path);
        return path;
    }

private:
    std::filesystem::path path_;
};

// Runs `call` on this thread (a Qt window's, if need be) and returns whether it came back within
// a few seconds. Past them, a watchdog opens and closes the pipe at `fifo` again and again, which
// lets an open() or read() waiting on it return, so that a call that would wait for the pipe's
// other end fails the test instead of stalling the suite.
inline bool ReturnsWithoutWaitingOn(const std::string& fifo, const std::function<void()>& call) {
    std::mutex mutex;
    std::condition_variable returned;
    bool done = false;
    bool late = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(mutex);
        if (returned.wait_for(lock, std::chrono::seconds(5), [&] { return done; })) {
            return;
        }
        late = true;
        while (!returned.wait_for(lock, std::chrono::milliseconds(20), [&] { return done; })) {
            const int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                ::close(fd);
            }
        }
    });
    call();
    {
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
    }
    returned.notify_one();
    watchdog.join();
    return !late;
}

}  // namespace testmap
