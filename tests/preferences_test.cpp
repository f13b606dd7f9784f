#include <gtest/gtest.h>

#include <fstream>

#include "TempDir.h"
#include "preferences/Prefernces.h"

using Prefernces::FileContents;

namespace {

class PreferencesFileTest : public ::testing::Test {
protected:
    void SetUp() override { Prefernces::ResetToDefaults(); }
    void TearDown() override { Prefernces::ResetToDefaults(); }

    std::string Bytes() {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void WriteBytes(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

    testmap::TempDir dir;
    const std::string path = dir.File("Prefences.pref");
};

TEST_F(PreferencesFileTest, DefaultsWriteTwentySixBigEndianBytes) {
    ASSERT_TRUE(Prefernces::WritePreferencesFile(path, Prefernces::CurrentSettings(1, 0)));
    EXPECT_EQ(Bytes(), std::string("\0\0\0\x01"
                                   "\0\0\0\0"
                                   "\0\0\0\x01"
                                   "\0\0\0\x01"
                                   "\0\0\0\x01"
                                   "\0\0\0\x01"
                                   "\0"
                                   "\0",
                                   26));
}

TEST_F(PreferencesFileTest, EveryFieldSurvivesAWriteAndARead) {
    FileContents written{3, 7, 2, -5, 3, 0, true, std::string(255, 'f')};
    ASSERT_TRUE(Prefernces::WritePreferencesFile(path, written));
    EXPECT_EQ(Bytes().size(), 26u + 255u);
    auto read = Prefernces::ReadPreferencesFile(path, FileContents{});
    ASSERT_TRUE(read);
    EXPECT_EQ(read->majorVersion, 3);
    EXPECT_EQ(read->minorVersion, 7);
    EXPECT_EQ(read->scriptCommand, 2);
    EXPECT_EQ(read->scriptPrinting, -5);
    EXPECT_EQ(read->decompStyle, 3);
    EXPECT_EQ(read->engineCommands, 0);
    EXPECT_TRUE(read->syntaxTag);
    EXPECT_EQ(read->mapFolder, std::string(255, 'f'));
    auto version = Prefernces::ReadPreferencesVersion(path);
    EXPECT_EQ(version->major, 3);
    EXPECT_EQ(version->minor, 7);
    Prefernces::ApplySettings(*read);
    EXPECT_EQ(Prefernces::ScriptPrinting, -5);
    EXPECT_EQ(Prefernces::MapFolder, std::string(255, 'f'));
}

TEST_F(PreferencesFileTest, AFolderOverTwoHundredFiftyFiveBytesOrNoFolderWritesNothing) {
    FileContents contents;
    contents.mapFolder = std::string(256, 'f');
    EXPECT_FALSE(Prefernces::WritePreferencesFile(path, contents));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(
        Prefernces::WritePreferencesFile(dir.File("no/such/folder/p.pref"), FileContents{}));
}

// Fields past the end keep the defaults; a folder is cut at the end of the file.
TEST_F(PreferencesFileTest, AShortFileKeepsTheDefaultsForWhatIsMissing) {
    const FileContents defaults{1, 0, 1, 1, 1, 1, false, "keep"};
    WriteBytes(std::string("\0\0\0\x01\0\0\0\0\0\0\0\x02\0\0", 14));
    auto read = Prefernces::ReadPreferencesFile(path, defaults);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->scriptCommand, 2);
    EXPECT_EQ(read->scriptPrinting, 1);
    EXPECT_EQ(read->mapFolder, "keep");

    FileContents contents;
    contents.mapFolder = "/home/me/maps";
    ASSERT_TRUE(Prefernces::WritePreferencesFile(path, contents));
    std::string bytes = Bytes();
    bytes.resize(bytes.size() - 5);
    WriteBytes(bytes);
    EXPECT_EQ(Prefernces::ReadPreferencesFile(path, defaults)->mapFolder, "/home/me");

    std::filesystem::remove(path);
    EXPECT_FALSE(Prefernces::ReadPreferencesFile(path, FileContents{}));
    EXPECT_FALSE(Prefernces::ReadPreferencesVersion(path));
}

}  // namespace
