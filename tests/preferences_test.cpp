#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <functional>
#include <random>
#include <tuple>

#include "MapBuilder.h"
#include "TempDir.h"
#include "preferences/Prefernces.h"

using Prefernces::FileContents;

namespace {

auto Fields(const FileContents& c) {
    return std::tuple(c.majorVersion, c.minorVersion, c.scriptCommand, c.scriptPrinting,
                      c.decompStyle, c.engineCommands, c.syntaxTag, c.mapFolder);
}

// Calls that fail once the new file exists: a write that a full disk cuts short after a few
// bytes, a flush or a rename that the disk refuses.
int writesLeft = 0;
ssize_t ShortWrite(int fd, const void* bytes, size_t count) {
    if (writesLeft-- > 0) {
        return ::write(fd, bytes, std::min<size_t>(count, 5));
    }
    errno = ENOSPC;
    return -1;
}
int FailingFsync(int) {
    errno = EIO;
    return -1;
}
int FailingRename(const char*, const char*) {
    errno = EIO;
    return -1;
}

// A pid that names no process: a child's that has exited and been reaped.
pid_t DeadPid() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

class PreferencesFileTest : public ::testing::Test {
protected:
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string Bytes() const { return testmap::ReadFileText(path); }
    void WriteBytes(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

    testmap::TempDir dir;
    const std::string path = dir.File("Prefences.pref");
};

// Int32s big-endian, then the tag byte, the folder's length byte and its bytes. A folder over
// 255 bytes, or a file that cannot be created, writes nothing and says why.
TEST_F(PreferencesFileTest, EveryFieldSurvivesAWriteAndARead) {
    const FileContents written{3, 7, 2, -5, 3, 0, true, std::string(255, 'f')};
    ASSERT_TRUE(Prefernces::WritePreferencesFile(path, written));
    EXPECT_EQ(Bytes(), std::string("\0\0\0\x03"
                                   "\0\0\0\x07"
                                   "\0\0\0\x02"
                                   "\xFF\xFF\xFF\xFB"
                                   "\0\0\0\x03"
                                   "\0\0\0\0"
                                   "\x01"
                                   "\xFF",
                                   26) +
                           written.mapFolder);
    auto read = Prefernces::ReadPreferencesFile(path, FileContents{});
    ASSERT_TRUE(read);
    EXPECT_EQ(Fields(*read), Fields(written));

    FileContents longer = written;
    longer.mapFolder += 'f';
    std::string reason;
    EXPECT_FALSE(Prefernces::WritePreferencesFile(path, longer, {}, &reason));
    EXPECT_EQ(reason, "The map folder path is longer than 255 bytes");
    EXPECT_EQ(Bytes().size(), 26u + 255u);
    EXPECT_FALSE(
        Prefernces::WritePreferencesFile(dir.File("no/such/folder/p.pref"), written, {}, &reason));
    EXPECT_EQ(reason, "No such file or directory");
}

// A failure once the new file exists leaves the old file's bytes (or no file, when there was
// none) and no other file beside it, and gives the system's text for the error.
TEST_F(PreferencesFileTest, AFailedWriteLeavesTheOldFileAndNothingElse) {
    platform::ReplaceCalls shortWrite;
    shortWrite.write = ShortWrite;
    platform::ReplaceCalls failingFsync;
    failingFsync.fsync = FailingFsync;
    platform::ReplaceCalls failingRename;
    failingRename.rename = FailingRename;
    const struct {
        const char* failure;
        platform::ReplaceCalls calls;
        bool oldFile;
        const char* reason;
    } cases[] = {
        {"short write", shortWrite, true, "No space left on device"},
        {"fsync", failingFsync, true, "Input/output error"},
        {"rename", failingRename, true, "Input/output error"},
        {"short write, no old file", shortWrite, false, "No space left on device"},
    };
    const FileContents written{3, 7, 2, 2, 2, 2, true, "/srv/new/maps"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        std::filesystem::remove(path);
        if (c.oldFile) {
            ASSERT_TRUE(Prefernces::WritePreferencesFile(path, {1, 2, 1, 1, 1, 1, false, "/old"}));
        }
        const std::string before = c.oldFile ? Bytes() : "";
        writesLeft = 2;
        std::string reason;
        EXPECT_FALSE(Prefernces::WritePreferencesFile(path, written, c.calls, &reason));
        EXPECT_EQ(reason, c.reason);
        EXPECT_EQ(Names(), c.oldFile ? std::vector<std::string>{"Prefences.pref"}
                                     : std::vector<std::string>{});
        EXPECT_EQ(Bytes(), before);
    }
}

// A regular file is replaced and keeps its mode; a link is followed and stays a link. A folder,
// a FIFO or a device stays as it is, and the refusal says what stands there. Every one lives in
// the test's folder, so that a broken check replaces nothing outside it.
TEST_F(PreferencesFileTest, OnlyARegularFileIsReplaced) {
    namespace fs = std::filesystem;
    const std::string real = dir.File("real.pref");
    const auto link = [&] { fs::create_symlink(real, path); };
    const struct {
        const char* what;
        std::function<bool()> make;
        fs::file_type type;  // of the path itself, before and after
        bool replaced;
        const char* reason;
    } cases[] = {
        {"file of its own mode",
         [&] {
             WriteBytes("old");
             fs::permissions(
                 path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_write);
             return true;
         },
         fs::file_type::regular, true, ""},
        {"link to a file",
         [&] {
             std::ofstream(real) << "old";
             link();
             return true;
         },
         fs::file_type::symlink, true, ""},
        {"folder", [&] { return fs::create_directory(path); }, fs::file_type::directory, false,
         "Is a directory"},
        {"FIFO", [&] { return ::mkfifo(path.c_str(), 0644) == 0; }, fs::file_type::fifo, false,
         "Not a regular file"},
        {"link to a FIFO",
         [&] {
             link();
             return ::mkfifo(real.c_str(), 0644) == 0;
         },
         fs::file_type::symlink, false, "Not a regular file"},
        // Making a device takes root, as the tests run; elsewhere this row is left out.
        {"device", [&] { return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; },
         fs::file_type::character, false, "Not a regular file"},
    };
    const FileContents written{3, 7, 2, 2, 2, 2, true, "/srv/maps"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir.Path());
        fs::create_directories(dir.Path());
        if (!c.make()) {
            ASSERT_STREQ(c.what, "device");
            continue;
        }
        const std::vector<std::string> names = Names();
        const fs::perms perms = fs::status(path).permissions();
        std::string reason;
        EXPECT_EQ(Prefernces::WritePreferencesFile(path, written, {}, &reason), c.replaced);
        EXPECT_EQ(reason, c.reason);
        EXPECT_EQ(fs::symlink_status(path).type(), c.type);
        EXPECT_EQ(fs::status(path).permissions(), perms);
        EXPECT_EQ(Names(), names);
        if (c.replaced) {
            EXPECT_EQ(Prefernces::ReadPreferencesFile(path, {}).value().mapFolder, "/srv/maps");
        }
    }
}

// A write removes the new files that writers killed before their rename left: regular files of
// exactly the name a writer gives, whose writer is gone. A live writer's file, any other name,
// a folder or a link of that name and a file in another folder stay. Through a link, they are
// those of the file it names.
TEST_F(PreferencesFileTest, AWriteRemovesTheNewFilesOfWritersThatAreGone) {
    namespace fs = std::filesystem;
    const std::string deadPid = std::to_string(DeadPid());
    const std::string dead = "Prefences.pref.new-" + deadPid;
    const std::string other = "Other.pref.new-" + std::to_string(DeadPid()) + "-1";
    const struct {
        std::string name;
        fs::file_type type;
        bool stays;
    } cases[] = {
        {dead + "-0", fs::file_type::regular, false},
        {dead + "-17", fs::file_type::regular, false},
        {"Prefences.pref.new-" + std::to_string(::getpid()) + "-0", fs::file_type::regular, true},
        {"Prefences.pref.new-", fs::file_type::regular, true},
        {dead, fs::file_type::regular, true},
        {dead + "-", fs::file_type::regular, true},
        {dead + "-x", fs::file_type::regular, true},
        {dead + "-3.bak", fs::file_type::regular, true},
        {"x" + dead + "-1", fs::file_type::regular, true},
        {other, fs::file_type::regular, true},
        {dead + "-2", fs::file_type::directory, true},
        {dead + "-4", fs::file_type::symlink, true},
        {"sub/" + dead + "-5", fs::file_type::regular, true},
    };
    fs::create_directory(dir.File("sub"));
    for (const auto& c : cases) {
        const std::string place = dir.File(c.name);
        if (c.type == fs::file_type::directory) {
            fs::create_directory(place);
        } else if (c.type == fs::file_type::symlink) {
            fs::create_symlink(other, place);
        } else {
            std::ofstream(place) << "left";
        }
    }
    ASSERT_TRUE(Prefernces::WritePreferencesFile(path, {3, 7, 2, 2, 2, 2, true, "/srv/maps"}));
    for (const auto& c : cases) {
        EXPECT_EQ(fs::symlink_status(dir.File(c.name)).type(),
                  c.stays ? c.type : fs::file_type::not_found)
            << c.name;
    }
    EXPECT_EQ(testmap::ReadFileText(dir.File(other)), "left");

    const std::string linked = dir.File("sub/real.pref.new-" + deadPid + "-6");
    std::ofstream(dir.File("sub/real.pref")) << "old";
    std::ofstream(linked) << "left";
    fs::remove(path);
    fs::create_symlink(dir.File("sub/real.pref"), path);
    ASSERT_TRUE(Prefernces::WritePreferencesFile(path, {3, 7, 2, 2, 2, 2, true, "/srv/maps"}));
    EXPECT_FALSE(fs::exists(linked));
}

// Writers killed at random moments until one leaves its new file: the file itself is whole,
// and the next write leaves nothing beside it.
TEST_F(PreferencesFileTest, TheNewFileOfAKilledWriterGoesAtTheNextWrite) {
    const FileContents contents[] = {{1, 0, 1, 1, 1, 1, false, "/srv/one"},
                                     {2, 0, 2, 2, 2, 2, true, std::string(255, 'm')}};
    ASSERT_TRUE(Prefernces::WritePreferencesFile(path, contents[0]));
    std::mt19937 random(7);
    pid_t writer = 0;
    std::vector<std::string> names;
    for (int attempt = 0; attempt < 2000 && names.size() < 2; ++attempt) {
        writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            for (int i = 0; i < 100000; ++i) {
                Prefernces::WritePreferencesFile(path, contents[i % 2]);
            }
            ::_exit(0);
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 2000)(random));
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
        names = Names();
    }
    ASSERT_EQ(names.size(), 2u) << "no writer was killed while writing";
    EXPECT_TRUE(names[1].starts_with("Prefences.pref.new-" + std::to_string(writer) + "-"))
        << names[1];
    const FileContents read = Prefernces::ReadPreferencesFile(path, {}).value();
    EXPECT_TRUE(Fields(read) == Fields(contents[0]) || Fields(read) == Fields(contents[1]));
    EXPECT_EQ(Bytes().size(), 26 + read.mapFolder.size());

    ASSERT_TRUE(Prefernces::WritePreferencesFile(path, contents[1]));
    EXPECT_EQ(Names(), std::vector<std::string>{"Prefences.pref"});
    EXPECT_EQ(Fields(Prefernces::ReadPreferencesFile(path, {}).value()), Fields(contents[1]));
}

// Fields past the end keep the defaults; a folder is cut at the end of the file.
TEST_F(PreferencesFileTest, AShortFileKeepsTheDefaultsForWhatIsMissing) {
    const FileContents defaults{1, 0, 1, 1, 1, 1, false, "keep"};
    ASSERT_TRUE(Prefernces::WritePreferencesFile(path, {4, 5, 2, 3, 3, 2, true, "/home/me/maps"}));
    const std::string bytes = Bytes();
    WriteBytes(bytes.substr(0, 14));
    EXPECT_EQ(Fields(Prefernces::ReadPreferencesFile(path, defaults).value()),
              Fields({4, 5, 2, 1, 1, 1, false, "keep"}));
    WriteBytes(bytes.substr(0, bytes.size() - 5));
    EXPECT_EQ(Prefernces::ReadPreferencesFile(path, defaults).value().mapFolder, "/home/me");
}

// A pipe in the file's place is refused without waiting for a writer.
TEST_F(PreferencesFileTest, NothingButARegularFileIsRead) {
    using Failure = platform::BinaryStream::OpenFailure;
    const std::vector<std::pair<std::function<std::string()>, Failure>> cases = {
        {[&] { return path; }, Failure::CannotOpen},
        {[&] { return dir.Fifo("Prefences.pref"); }, Failure::NotRegularFile},
        {[&] { return dir.Folder("Prefences.pref"); }, Failure::NotRegularFile},
    };
    for (const auto& [place, expected] : cases) {
        std::filesystem::remove_all(path);
        ASSERT_EQ(place(), path);
        Failure failure = Failure::None;
        EXPECT_TRUE(testmap::ReturnsWithoutWaitingOn(path, [&] {
            EXPECT_FALSE(Prefernces::ReadPreferencesVersion(path, &failure));
            EXPECT_FALSE(Prefernces::ReadPreferencesFile(path, FileContents{}));
        }));
        EXPECT_EQ(failure, expected);
    }
}

}  // namespace
