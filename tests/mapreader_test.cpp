#include <gtest/gtest.h>

#include <filesystem>

#include "MapBuilder.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "mapfile/MapReader.h"
#include "preferences/Prefernces.h"

using testmap::BuiltMap;
using testmap::HeaderKind;
using testmap::MapSpec;
using testmap::Node;

namespace {

class MapReaderTest : public ::testing::Test {
protected:
    void SetUp() override { Prefernces::ResetToDefaults(); }
    void TearDown() override { Prefernces::ResetToDefaults(); }

    // Writes the map and opens it as File > Open does after the dialog.
    LoadOutcome Open(const BuiltMap& map, const std::string& name = "test.map") {
        const std::string path = dir.File(name);
        EXPECT_TRUE(map.Save(path));
        return OpenMap(state, path);
    }

    static MapSpec ThreeScripts() {
        MapSpec spec;
        spec.scripts = {{"intro", 0, 4, -10}, {"loop", 2, 4, -20}, {"calc", 4, 6, -30}};
        spec.globals = {{"flag", 5, -40}, {"count", 7, -50}};
        return spec;
    }

    testmap::TempDir dir;
    testmap::MessageRecorder recorder;
    MapState state;
};

Node TextNode(int16_t identity, std::string text) {
    Node node;
    node.identity = identity;
    node.text = std::move(text);
    return node;
}

TEST_F(MapReaderTest, NamedHeaderIsReadFromItsOwnOffsetsAndChecked) {
    MapSpec spec = ThreeScripts();
    spec.kind = HeaderKind::Named;
    spec.mapName = "B40";  // names compare without regard to case
    LoadOutcome outcome = Open(testmap::Build(spec));
    EXPECT_EQ(outcome.result, LoadResult::Loaded);
    EXPECT_EQ(state.ScriptHeaderCache.size(), 3u);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(MapReaderTest, KindTagComparesWithoutRegardToCase) {
    MapSpec spec = ThreeScripts();
    spec.kind = HeaderKind::Named;
    BuiltMap map = testmap::Build(spec);
    map.PutBytes(0, "DaEh");
    // A bare header would look at 1516, which holds nothing here.
    EXPECT_EQ(Open(map).result, LoadResult::Loaded);
    EXPECT_EQ(state.ScriptHeaderCache.size(), 3u);
}

TEST_F(MapReaderTest, BareHeaderIsAcceptedWithoutANameCheck) {
    MapSpec spec = ThreeScripts();
    spec.kind = HeaderKind::Bare;
    BuiltMap map = testmap::Build(spec);
    map.PutBytes(32, "zz99");  // would be refused as a named header's name
    EXPECT_EQ(Open(map).result, LoadResult::Loaded);
    EXPECT_EQ(state.ScriptHeaderCache.size(), 3u);
}

TEST_F(MapReaderTest, UnknownOrEmptyMapNameIsRefusedAndChangesNothing) {
    for (std::string name : {std::string("z99"), std::string(), std::string("a10x")}) {
        MapSpec spec = ThreeScripts();
        spec.kind = HeaderKind::Named;
        spec.mapName = name;
        recorder.messages.clear();
        MapState fresh;
        state = fresh;
        EXPECT_EQ(Open(testmap::Build(spec)).result, LoadResult::Refused) << name;
        EXPECT_EQ(recorder.messages, std::vector<std::string>{"Cant load |2|"});
        EXPECT_FALSE(state.f.has_value());
        EXPECT_FALSE(state.FileOpened);
        EXPECT_FALSE(state.ScriptsByName.has_value());
        EXPECT_FALSE(state.CommandsByEngine.has_value());
    }
}

TEST_F(MapReaderTest, HeaderValue609IsRefusedBeforeTheHeaderKindIsLookedAt) {
    for (HeaderKind kind : {HeaderKind::Named, HeaderKind::Bare}) {
        MapSpec spec = ThreeScripts();
        spec.kind = kind;
        spec.headerValue = 609;
        recorder.messages.clear();
        EXPECT_EQ(Open(testmap::Build(spec)).result, LoadResult::Refused);
        EXPECT_EQ(recorder.messages, std::vector<std::string>{"cant load |1|"});
        EXPECT_TRUE(state.MapNames.empty());
        EXPECT_FALSE(state.f.has_value());
    }
}

TEST_F(MapReaderTest, TheBytesOf609InTheOtherOrderAreNotRefused) {
    MapSpec spec = ThreeScripts();
    BuiltMap map = testmap::Build(spec);
    map.PutBytes(4, std::string("\x00\x00\x02\x61", 4));
    EXPECT_EQ(Open(map).result, LoadResult::Loaded);
}

TEST_F(MapReaderTest, OpenSetsTheElevenAcceptedNamesEveryTime) {
    const std::vector<std::string> expected = {"a10", "a30", "a50", "b30", "b40", "c10",
                                               "c20", "c40", "d20", "d40", "ui"};
    BuiltMap map = testmap::Build(ThreeScripts());
    Open(map);
    Open(map);
    EXPECT_EQ(state.MapNames, expected);
}

TEST_F(MapReaderTest, ReadMapDataComparesAgainstTheNamesItIsGiven) {
    MapSpec spec = ThreeScripts();
    spec.kind = HeaderKind::Named;
    const std::string path = dir.File("named.map");
    ASSERT_TRUE(testmap::Build(spec).Save(path));
    EXPECT_EQ(ReadMapData(state, path).result, LoadResult::Refused);  // no names set yet
    state.MapNames = {"a10"};
    EXPECT_EQ(ReadMapData(state, path).result, LoadResult::Loaded);
}

TEST_F(MapReaderTest, TagEntryGivesMagicAndTheScenario) {
    MapSpec spec = ThreeScripts();
    spec.magic = 0x4BF10000;
    spec.tagName = "levels\\a10\\a10";
    spec.class1 = "scnr";
    spec.class2 = "wxyz";
    spec.ident = 0xE1740000;
    BuiltMap map = testmap::Build(spec);
    Open(map);
    EXPECT_EQ(state.magic, 0x4BF10000);
    ASSERT_TRUE(state.Scenario.has_value());
    EXPECT_EQ(state.Scenario->Offset, map.scenarioOffset);
    EXPECT_EQ(state.Scenario->Class1, "scnr");
    EXPECT_EQ(state.Scenario->Class2, "wxyz");
    EXPECT_EQ(state.Scenario->ident, static_cast<int32_t>(0xE1740000u));
    EXPECT_EQ(state.Scenario->Name, "levels\\a10\\a10");
    EXPECT_EQ(state.Scenario->NameOffset, map.tagEntryOffset + 32);
}

TEST_F(MapReaderTest, MagicIsTheFirstEntryAddressLessItsOffset) {
    // A tag index at 1000 whose first int32 is 5000: magic 3960, address 4000 is offset 40.
    BuiltMap map = testmap::Build(ThreeScripts());
    map.PutInt32(1516, 1000);
    map.PutInt32(1000, 5000);
    map.PutInt32(1040 + 20, 4000);
    Open(map);
    EXPECT_EQ(state.magic, 3960);
    EXPECT_EQ(state.Scenario->Offset, 40);
}

TEST(Reverse, TurnsAClassCodeAround) {
    EXPECT_EQ(reverse("wxyz"), "zyxw");
    EXPECT_EQ(reverse(""), "");
    EXPECT_EQ(reverse(std::string("a\0b", 3)), std::string("b\0a", 3));
}

TEST_F(MapReaderTest, ScriptAndGlobalRecordsFillCachesAndDictionaries) {
    BuiltMap map = testmap::Build(ThreeScripts());
    LoadOutcome outcome = Open(map);
    EXPECT_EQ(outcome.folderRows, (std::vector<std::string>{"scripts", "globals"}));
    ASSERT_EQ(state.ScriptHeaderCache.size(), 3u);
    const ScriptHeader& calc = state.ScriptHeaderCache[2];
    EXPECT_EQ(calc.Name, "calc");
    EXPECT_EQ(calc.Type, 4);
    EXPECT_EQ(calc.ReturnType, 6);
    EXPECT_EQ(calc.ExpPointer, -30);
    EXPECT_EQ(calc.Offset, map.ScriptRecord(2));
    EXPECT_EQ(state.ScriptsByName->at("loop"), 1);
    ASSERT_EQ(state.GlobalHeaderCache.size(), 2u);
    EXPECT_EQ(state.GlobalHeaderCache[1].Name, "count");
    EXPECT_EQ(state.GlobalHeaderCache[1].Type, 7);
    EXPECT_EQ(state.GlobalHeaderCache[1].ExpPointer, -50);
    EXPECT_EQ(state.GlobalHeaderCache[1].Offset, map.GlobalRecord(1));
    EXPECT_EQ(state.GlobalsByName->at("flag"), 0);
    EXPECT_EQ(state.f, dir.File("test.map"));
    EXPECT_TRUE(state.FileOpened);
}

TEST_F(MapReaderTest, NamesReadOnPastAFullNameField) {
    MapSpec spec;
    spec.scripts = {{std::string(32, 'n'), 0x0101, 0x0202, -1}};
    Open(testmap::Build(spec));
    // 32 name bytes, then the type bytes 01 01 and 02 02, then FF FF of the reference, then
    // the identity FF FF and the zeros after the record.
    EXPECT_EQ(state.ScriptHeaderCache[0].Name,
              std::string(32, 'n') + "\x01\x01\x02\x02\xFF\xFF\xFF\xFF");
}

TEST_F(MapReaderTest, LaterDuplicateNameWinsAndBothRecordsStay) {
    MapSpec spec;
    spec.scripts = {{"same", 0, 0, -1}, {"same", 1, 0, -1}};
    spec.globals = {{"g", 5, -1}, {"g", 6, -1}};
    Open(testmap::Build(spec));
    EXPECT_EQ(state.ScriptHeaderCache.size(), 2u);
    EXPECT_EQ(state.ScriptsByName->at("same"), 1);
    EXPECT_EQ(state.GlobalsByName->at("g"), 1);
}

TEST_F(MapReaderTest, EmptyTablesGiveNoRowsButFreshDictionaries) {
    LoadOutcome outcome = Open(testmap::Build(MapSpec{}));
    EXPECT_EQ(outcome.result, LoadResult::Loaded);
    EXPECT_TRUE(outcome.folderRows.empty());
    ASSERT_TRUE(state.ScriptsByName.has_value());
    EXPECT_TRUE(state.ScriptsByName->empty());
    ASSERT_TRUE(state.SyntaxByIdentity.has_value());
    EXPECT_TRUE(state.SyntaxByIdentityStr->empty());
    EXPECT_TRUE(state.GlobalsByName->empty());
}

TEST_F(MapReaderTest, NegativeScriptCountReadsNothingButStillAddsTheRow) {
    MapSpec spec;
    spec.scriptCount = -1;
    spec.globalCount = -5;
    LoadOutcome outcome = Open(testmap::Build(spec));
    EXPECT_EQ(outcome.folderRows, (std::vector<std::string>{"scripts", "globals"}));
    EXPECT_TRUE(state.ScriptHeaderCache.empty());
    EXPECT_TRUE(state.GlobalHeaderCache.empty());
}

TEST_F(MapReaderTest, SyntaxCountNReadsNPlusOneRecordsFromTableByte36) {
    MapSpec spec;
    spec.firstRecord = TextNode(0x6373, "header");
    spec.nodes = {TextNode(-5, "begin"), TextNode(-6, "sleep"), TextNode(-7, "30")};
    spec.nodes[1].engine = 19;
    spec.nodes[1].valueType = 2;
    spec.nodes[1].expType = 9;
    spec.nodes[1].sibling = -7;
    spec.nodes[1].value = -255;
    spec.nodes[1].kid = -2;
    BuiltMap map = testmap::Build(spec);
    Open(map);
    ASSERT_EQ(state.SyntaxCache.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(state.SyntaxCache[static_cast<size_t>(i)].offset,
                  map.syntaxTableOffset + 36 + 20 * i);
    }
    EXPECT_EQ(state.SyntaxCache[0].SibExpPointer, 3);  // the count itself
    EXPECT_EQ(state.SyntaxCache[0].Command, "header");
    const Syntax& sleep = state.SyntaxCache[2];
    EXPECT_EQ(sleep.ExpIdentity, -6);
    EXPECT_EQ(sleep.EngineIdentity, 19);
    EXPECT_EQ(sleep.ValueType, 2);
    EXPECT_EQ(sleep.ExpType, 9);
    EXPECT_EQ(sleep.SibExpPointer, -7);
    EXPECT_EQ(sleep.ScriptValue, -255);
    EXPECT_EQ(sleep.KidExpPointer, -2);
    EXPECT_EQ(sleep.ScriptTableOffset, map.textOffsets[2]);
    EXPECT_EQ(sleep.Command, "sleep");
    EXPECT_EQ(state.ScriptTableOuter, map.stringDataOffset);
    EXPECT_EQ(state.SyntaxByIdentity->at(-6), 2);
    EXPECT_EQ(state.SyntaxByIdentityStr->at("-6"), 2);
    EXPECT_EQ(state.SyntaxByIdentityStr->at("25459"), 0);
}

TEST_F(MapReaderTest, ZeroOrNegativeSyntaxCountReadsNoRecords) {
    for (int16_t count : {int16_t{0}, int16_t{-1}, int16_t{-32768}}) {
        MapSpec spec;
        spec.nodes = {TextNode(-5, "a"), TextNode(-6, "b")};
        spec.nodeCount = count;
        Open(testmap::Build(spec));
        EXPECT_TRUE(state.SyntaxCache.empty()) << count;
        EXPECT_TRUE(state.SyntaxByIdentity->empty());
    }
}

TEST_F(MapReaderTest, LaterNodeWithRecordZerosIdentityTakesItsKeys) {
    MapSpec spec;
    spec.firstRecord = TextNode(-9, "");
    spec.nodes = {TextNode(-5, "a"), TextNode(-9, "b")};
    Open(testmap::Build(spec));
    EXPECT_EQ(state.SyntaxByIdentity->at(-9), 2);
    EXPECT_EQ(state.SyntaxByIdentityStr->at("-9"), 2);
}

TEST_F(MapReaderTest, NodeTextsFollowTheTextReadRule) {
    MapSpec spec;
    spec.nodes = {TextNode(-2, ""), TextNode(-3, "abc")};
    // A protected text: two zero bytes, then more text.
    spec.nodes.push_back(TextNode(-4, ""));
    spec.nodes[2].textOffset = 100;
    spec.extraStringData =
        std::string(100 - 6, 'x') + std::string("\0\0zz\0", 5) + std::string("\0q\0", 3);
    spec.nodes.push_back(TextNode(-5, ""));
    spec.nodes[3].textOffset = 105;  // zero byte followed by "q"
    Open(testmap::Build(spec));
    // An empty text: its zero byte, then the next text up to its terminator.
    EXPECT_EQ(state.SyntaxCache[1].Command, std::string("\0abc", 4));
    EXPECT_EQ(state.SyntaxCache[2].Command, "abc");
    EXPECT_EQ(state.SyntaxCache[3].Command, std::string(1, '\0'));
    EXPECT_EQ(state.SyntaxCache[4].Command, std::string("\0q", 2));
}

TEST_F(MapReaderTest, ReadingTextsLaterLeavesEveryCommandEmpty) {
    Prefernces::ScriptCommand = 2;
    MapSpec spec;
    spec.nodes = {TextNode(-2, "begin"), TextNode(-3, "abc")};
    Open(testmap::Build(spec));
    ASSERT_EQ(state.SyntaxCache.size(), 3u);
    for (const Syntax& node : state.SyntaxCache) {
        EXPECT_TRUE(node.Command.empty());
    }
}

TEST_F(MapReaderTest, Int16FieldsAreSignExtended) {
    MapSpec spec;
    Node node = TextNode(-1, "v");
    node.value = -255;
    node.kid = -1;
    spec.nodes = {node};
    Open(testmap::Build(spec));
    EXPECT_EQ(state.SyntaxCache[1].ExpIdentity, -1);
    EXPECT_EQ(state.SyntaxCache[1].ScriptValue, -255);
    EXPECT_EQ(state.SyntaxCache[1].KidExpPointer, -1);
}

TEST_F(MapReaderTest, SecondMapReplacesTheFirstCompletely) {
    Open(testmap::Build(ThreeScripts()), "first.map");
    state.LoadedScript = 2;
    state.LoadedSyntax = 0;
    state.CommandsByEngine->clear();
    MapSpec second;
    second.scripts = {{"only", 1, 4, -1}};
    second.nodes = {TextNode(-2, "x")};
    LoadOutcome outcome = Open(testmap::Build(second), "second.map");
    EXPECT_EQ(outcome.folderRows, std::vector<std::string>{"scripts"});
    ASSERT_EQ(state.ScriptHeaderCache.size(), 1u);
    EXPECT_EQ(state.ScriptHeaderCache[0].Name, "only");
    EXPECT_TRUE(state.GlobalHeaderCache.empty());
    EXPECT_EQ(state.ScriptsByName->size(), 1u);
    EXPECT_FALSE(state.ScriptsByName->contains("intro"));
    EXPECT_EQ(state.f, dir.File("second.map"));
    EXPECT_EQ(state.CommandsByEngine->size(), 543u);  // rebuilt
    EXPECT_FALSE(state.LoadedScript.has_value());
    EXPECT_FALSE(state.LoadedSyntax.has_value());
}

TEST_F(MapReaderTest, RefusedSecondMapLeavesTheFirstOpen) {
    Open(testmap::Build(ThreeScripts()), "first.map");
    state.LoadedScript = 1;
    MapSpec refused = ThreeScripts();
    refused.kind = HeaderKind::Named;
    refused.mapName = "nope";
    Open(testmap::Build(refused), "second.map");
    EXPECT_EQ(state.f, dir.File("first.map"));
    EXPECT_EQ(state.ScriptHeaderCache.size(), 3u);
    EXPECT_EQ(state.LoadedScript, 1);
}

TEST_F(MapReaderTest, FileThatCannotBeOpenedIsReportedAndChangesNothing) {
    Open(testmap::Build(ThreeScripts()), "first.map");
    recorder.messages.clear();
    for (const std::string& path : {dir.File("missing.map"), dir.Path().string()}) {
        LoadOutcome outcome = OpenMap(state, path);
        EXPECT_EQ(outcome.result, LoadResult::CannotOpen) << path;
        EXPECT_EQ(state.f, dir.File("first.map"));
        EXPECT_EQ(state.ScriptHeaderCache.size(), 3u);
    }
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_NE(recorder.messages[0].find("missing.map"), std::string::npos);
    EXPECT_EQ(OpenMap(state, "").result, LoadResult::NoFile);
}

// A hostile map: counts and addresses that point anywhere.

TEST_F(MapReaderTest, HugeCountsStopAtTheEndOfTheFile) {
    MapSpec spec = ThreeScripts();
    spec.scriptCount = 2000000000;
    spec.globalCount = 2000000000;
    BuiltMap map = testmap::Build(spec);
    Open(map);
    const int64_t size = static_cast<int64_t>(map.bytes.size());
    // Every record that starts inside the file is read, and none beyond.
    EXPECT_EQ(static_cast<int64_t>(state.ScriptHeaderCache.size()),
              (size - map.scriptTableOffset + 91) / 92);
    EXPECT_EQ(static_cast<int64_t>(state.GlobalHeaderCache.size()),
              (size - map.globalTableOffset + 91) / 92);
    EXPECT_EQ(state.ScriptHeaderCache[2].Name, "calc");
}

TEST_F(MapReaderTest, TablesOutsideTheFileReadNothingAndKeepTheirRows) {
    MapSpec spec = ThreeScripts();
    spec.nodes = {TextNode(-2, "a")};
    BuiltMap map = testmap::Build(spec);
    const int32_t s = map.scenarioOffset;
    map.PutInt32(s + 1184, 0x7FFFFFF0);        // script table far past the end
    map.PutInt32(s + 1196, map.magic - 5000);  // global table before the start
    map.PutInt32(s + 1152, 0x7FFFFF00);        // syntax table past the end: count reads 0
    LoadOutcome outcome = Open(map);
    EXPECT_EQ(outcome.folderRows, (std::vector<std::string>{"scripts", "globals"}));
    EXPECT_TRUE(state.ScriptHeaderCache.empty());
    EXPECT_TRUE(state.GlobalHeaderCache.empty());
    EXPECT_TRUE(state.SyntaxCache.empty());
}

TEST_F(MapReaderTest, TruncatedSyntaxTableKeepsWhatLiesInsideTheFile) {
    MapSpec spec;
    for (int i = 0; i < 10; ++i) {
        spec.nodes.push_back(TextNode(static_cast<int16_t>(-2 - i), "t"));
    }
    BuiltMap map = testmap::Build(spec);
    // Cut the file in the middle of cache record 5.
    map.bytes.resize(static_cast<size_t>(map.SyntaxRecord(5) + 7));
    Open(map);
    ASSERT_EQ(state.SyntaxCache.size(), 6u);
    EXPECT_EQ(state.SyntaxCache[5].ExpIdentity, -6);
    EXPECT_EQ(state.SyntaxCache[5].ExpType, 0);  // past the end reads as zero
    EXPECT_EQ(state.SyntaxCache[5].ScriptTableOffset, state.ScriptTableOuter);
    EXPECT_EQ(state.SyntaxCache[4].Command, "");  // the text block was cut off
}

TEST_F(MapReaderTest, TextsEndAtTheEndOfTheFileAndOffsetsOutsideReadEmpty) {
    MapSpec spec;
    spec.nodes = {TextNode(-2, ""), TextNode(-3, ""), TextNode(-4, "")};
    spec.nodes[0].textOffset = -100000;
    spec.nodes[1].textOffset = 0x7FFFFF00;
    spec.nodes[2].textOffset = 0;
    BuiltMap map = testmap::Build(spec);
    map.bytes.resize(static_cast<size_t>(map.stringDataOffset));
    map.PutBytes(map.stringDataOffset, "unterminated");
    Open(map);
    EXPECT_EQ(state.SyntaxCache[1].Command, "");
    EXPECT_EQ(state.SyntaxCache[2].Command, "");
    EXPECT_EQ(state.SyntaxCache[3].Command, "unterminated");
}

TEST_F(MapReaderTest, EmptyAndTinyFilesLoadWithoutCrashing) {
    for (size_t size : {0u, 3u, 8u, 100u, 1600u}) {
        BuiltMap map;
        map.bytes.assign(size, 0xFF);
        if (size >= 8) {
            map.PutInt32(4, 0);
        }
        MapState fresh;
        state = fresh;
        LoadOutcome outcome = Open(map);
        EXPECT_EQ(outcome.result, LoadResult::Loaded) << size;
        EXPECT_TRUE(state.CommandsByEngine.has_value());
    }
}

TEST_F(MapReaderTest, LongTextsAreCutAtTheCap) {
    MapSpec spec;
    spec.nodes = {TextNode(-2, std::string(100000, 'w'))};
    Open(testmap::Build(spec));
    EXPECT_EQ(state.SyntaxCache[1].Command.size(), 4096u);
}

}  // namespace

namespace {

TEST(IdentityTextIndex, FindsANodeOnlyByTheCanonicalTextOfItsIdentity) {
    IdentityTextIndex index;
    index.Set(7, 1);
    index.Set(-2, 2);
    index.Set(0, 3);
    index.Set(-2147483647 - 1, 4);
    EXPECT_EQ(index.at("7"), 1);
    EXPECT_EQ(index.at("-2"), 2);
    EXPECT_EQ(index.at("0"), 3);
    EXPECT_EQ(index.at("-2147483648"), 4);
    for (const char* other :
         {"07", "+7", " 7", "7 ", "-0", "", "-", "7.0", "2147483655", "99999999999", "s: 7"}) {
        EXPECT_FALSE(index.contains(other)) << other;
    }
    EXPECT_EQ(Lookup(std::optional<IdentityTextIndex>(index), std::string_view("x"), -1), -1);
}

}  // namespace
