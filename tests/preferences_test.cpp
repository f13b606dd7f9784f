#include <gtest/gtest.h>

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

class PreferencesFileTest : public ::testing::Test {
protected:
    std::string Bytes() const { return testmap::ReadFileText(path); }
    void WriteBytes(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

    testmap::TempDir dir;
    const std::string path = dir.File("Prefences.pref");
};

// Int32s big-endian, then the tag byte, the folder's length byte and its bytes. A folder over
// 255 bytes, or a file that cannot be created, writes nothing.
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
    EXPECT_FALSE(Prefernces::WritePreferencesFile(path, longer));
    EXPECT_EQ(Bytes().size(), 26u + 255u);
    EXPECT_FALSE(Prefernces::WritePreferencesFile(dir.File("no/such/folder/p.pref"), written));
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
