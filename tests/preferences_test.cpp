#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <functional>
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
