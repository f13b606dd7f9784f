// The tests that need a real X server: each run starts an Xvfb of its own, on a display number
// it picks, and fails when it cannot.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "mainwindow/ui/App.h"

extern char** environ;

namespace {

constexpr int kStartTimeoutMs = 20000;

// An Xvfb server started for this run and stopped with it.
class XServer {
public:
    ~XServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

    // Starts the server and returns its display (":N"); empty, with the reason on standard
    // error, when it could not be started.
    std::string Start() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            std::perror("pipe");
            return {};
        }
        // Xvfb writes the number of the display it found free to this descriptor.
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        const char* argv[] = {"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24",
                              "-nolisten", "tcp", nullptr};
        const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr,
                                         const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (spawned != 0) {
            std::fprintf(stderr, "Xvfb could not be started: %s\n", std::strerror(spawned));
            pid_ = -1;
            close(fds[0]);
            return {};
        }
        std::string number;
        char c = 0;
        pollfd wait{fds[0], POLLIN, 0};
        while (poll(&wait, 1, kStartTimeoutMs) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(fds[0]);
        if (number.empty()) {
            std::fprintf(stderr, "Xvfb did not start\n");
            return {};
        }
        return ":" + number;
    }

private:
    pid_t pid_ = -1;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }
    XServer server;
    const std::string display = server.Start();
    if (display.empty()) {
        return 1;
    }
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    App app(argc, argv);
    return RUN_ALL_TESTS();
}
