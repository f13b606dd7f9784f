#include <gtest/gtest.h>

#include <fstream>

#include "MessageRecorder.h"
#include "TempDir.h"
#include "enginecommands/EngineCommands.h"
#include "enginecommands/HardcodedCommands.h"
#include "platform/Hooks.h"
#include "preferences/Prefernces.h"

namespace {

// A digest of all 543 names in key order, each followed by a line end: any changed, missing or
// moved name changes it.
TEST(HardcodedCommands, HoldsTheEngineNamesByIdentity) {
    uint64_t digest = 0xCBF29CE484222325u;  // 64-bit FNV-1a
    for (std::string_view name : HardcodedCommands()) {
        for (char c : std::string(name) + "\n") {
            digest = (digest ^ static_cast<uint8_t>(c)) * 0x100000001B3u;
        }
    }
    EXPECT_EQ(digest, 0xAA57DBAE87122AACu);
}

class EngineCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Prefernces::ResetToDefaults();
        platform::SetDefaultFolder(dir.Path().string());
    }
    void TearDown() override {
        Prefernces::ResetToDefaults();
        platform::SetDefaultFolder("");
    }

    void WriteComDat(const std::string& xml) {
        std::ofstream(dir.File("ComDat.xml"), std::ios::binary) << xml;
    }

    std::string NameOf(int32_t identity) { return EngineCommandName(state, identity); }

    testmap::TempDir dir;
    testmap::MessageRecorder recorder;
    MapState state;
};

// Setting 1 gives the built-in table; settings but 1 and 2 an empty one.
TEST_F(EngineCommandsTest, BuiltInTableAnswersIdentitiesZeroTo542) {
    EXPECT_EQ(NameOf(0), "Uknown engine command");  // no table yet
    DefineEngineCommands(state);
    ASSERT_TRUE(state.CommandsByEngine);
    EXPECT_EQ(state.CommandsByEngine->size(), 543u);
    EXPECT_EQ(NameOf(542), "oid_status");
    EXPECT_EQ(NameOf(543), "Uknown engine command");
    EXPECT_EQ(NameOf(-1), "Uknown engine command");
    for (int32_t setting : {0, 3, -1}) {
        Prefernces::EngineCommands = setting;
        state.CommandsByEngine = HardcodedCommandTable();
        DefineEngineCommands(state);
        EXPECT_EQ(state.CommandsByEngine, EngineCommandTable{}) << setting;
    }
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(EngineCommandsTest, CommandFileEntriesAreKeyedByTheirNumber) {
    Prefernces::EngineCommands = 2;
    WriteComDat(R"(<?xml version="1.0"?>
<commands ignored="yes">
  <command>
    <id>19</id>
    <note>ignored</note>
    <name>sleep</name>
  </command>
  <c><id>7</id><name>first</name></c>
  <c><id>7</id><name>second</name></c>
  <c><only>42</only></c>
  <c><id>19.5</id><name>fraction</name></c>
  <c><id>-3</id><name> spaced name </name></c>
</commands>
)");
    DefineEngineCommands(state);
    EXPECT_EQ(NameOf(19), "sleep");
    EXPECT_EQ(NameOf(7), "second");  // a later equal key wins
    EXPECT_EQ(NameOf(42), "42");     // a single child is both identity and name
    EXPECT_EQ(NameOf(-3), " spaced name ");
    EXPECT_EQ(state.CommandsByEngine->count(19.5), 1u);
    EXPECT_EQ(state.CommandsByEngine->size(), 5u);

    WriteComDat("<commands>\n   \n</commands>");
    DefineEngineCommands(state);
    EXPECT_TRUE(state.CommandsByEngine->empty());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(EngineCommandsTest, AMissingOrMalformedCommandFileIsReportedOnceWithAnEmptyTable) {
    Prefernces::EngineCommands = 2;
    DefineEngineCommands(state);
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"Comdat.txt does not exist"});
    EXPECT_EQ(state.CommandsByEngine, EngineCommandTable{});
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<commands><c><id>1</id>", "at byte"},
        {"", "No document element"},
        {"<commands><c/></commands>", "entry 1 has no children"},
        {"<commands><c><id>1</id><name>a</name></c>stray</commands>", "text after entry 1"},
        {"<commands>stray<c><id>1</id><name>a</name></c></commands>", "text before entry 1"},
        // Entries count from 1, and comments are no entries.
        {"<commands>\n<!-- ids -->\n<c><id>1</id><name>a</name></c>\n<!-- more -->\n<c/>\n"
         "</commands>",
         "entry 2 has no children"},
        {"<commands><c>7</c></commands>", "entry 1 has a child that is not an element"},
        {"<commands><c><id>1</id><name></name></c></commands>", "entry 1 has a child without text"},
        {"<commands><c><id><x/></id><name>a</name></c></commands>",
         "entry 1 has a child without text"},
    };
    for (const auto& [xml, problem] : cases) {
        WriteComDat(xml);
        recorder.messages.clear();
        DefineEngineCommands(state);
        ASSERT_EQ(recorder.messages.size(), 1u) << xml;
        EXPECT_NE(recorder.messages[0].find(dir.File("ComDat.xml")), std::string::npos);
        EXPECT_NE(recorder.messages[0].find(problem), std::string::npos) << recorder.messages[0];
        EXPECT_EQ(state.CommandsByEngine, EngineCommandTable{});
    }
    // A pipe or a folder in the file's place is refused, without waiting for a pipe's writer.
    const std::string path = dir.File("ComDat.xml");
    for (const auto& place : {&testmap::TempDir::Fifo, &testmap::TempDir::Folder}) {
        std::filesystem::remove_all(path);
        ASSERT_EQ((dir.*place)("ComDat.xml"), path);
        recorder.messages.clear();
        state.CommandsByEngine = HardcodedCommandTable();
        EXPECT_TRUE(testmap::ReturnsWithoutWaitingOn(path, [&] { DefineEngineCommands(state); }));
        EXPECT_EQ(recorder.messages,
                  std::vector<std::string>{"The engine command file " + path +
                                           " could not be read: it is not a regular file"});
        EXPECT_EQ(state.CommandsByEngine, EngineCommandTable{});
    }
}

}  // namespace
