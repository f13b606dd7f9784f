#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "MapBuilder.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "mapfile/MapReader.h"
#include "platform/Hooks.h"
#include "preferences/Prefernces.h"

using testmap::BuiltMap;
using testmap::HeaderKind;
using testmap::MapSpec;
using testmap::Node;

namespace {

class MapReaderTest : public ::testing::Test {
protected:
    void SetUp() override { Prefernces::ResetToDefaults(); }
    void TearDown() override {
        Prefernces::ResetToDefaults();
        platform::SetYieldHook(nullptr);
    }

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

TEST_F(MapReaderTest, HeaderChecksAcceptOrRefuseAndARefusalChangesNothing) {
    struct Case {
        const char* name;
        HeaderKind kind;
        std::string mapName;
        int32_t headerValue;
        std::string kindTag;  // laid over the first four bytes when set
        std::string at32;     // laid over the named header's name when set
        std::string message;  // empty: accepted
    };
    const std::string refused1 = "cant load |1|";
    const std::string refused2 = "Cant load |2|";
    const std::vector<Case> cases = {
        {"named, names compare without case", HeaderKind::Named, "B40", 7, "", "", ""},
        {"kind tag without case", HeaderKind::Named, "a10", 7, "DaEh", "", ""},
        {"bare: no name check", HeaderKind::Bare, "", 7, "", "zz99", ""},
        {"609 in the other byte order", HeaderKind::Bare, "", 0x61020000, "", "", ""},
        {"unknown name", HeaderKind::Named, "z99", 7, "", "", refused2},
        {"empty name", HeaderKind::Named, "", 7, "", "", refused2},
        {"longer name", HeaderKind::Named, "a10x", 7, "", "", refused2},
        {"609, named", HeaderKind::Named, "a10", 609, "", "", refused1},
        {"609, bare", HeaderKind::Bare, "", 609, "", "", refused1},
        // The 609 test comes first: its refusal, not the name's.
        {"609 and an unknown name", HeaderKind::Named, "z99", 609, "", "", refused1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state = MapState();
        recorder.messages.clear();
        MapSpec spec = ThreeScripts();
        spec.kind = c.kind;
        spec.mapName = c.mapName;
        spec.headerValue = c.headerValue;
        BuiltMap map = testmap::Build(spec);
        if (!c.kindTag.empty()) {
            map.PutBytes(0, c.kindTag);
        }
        if (!c.at32.empty()) {
            map.PutBytes(32, c.at32);
        }
        const LoadResult result = Open(map).result;
        if (c.message.empty()) {
            EXPECT_EQ(result, LoadResult::Loaded);
            EXPECT_EQ(state.ScriptHeaderCache.size(), 3u);
            EXPECT_TRUE(recorder.messages.empty());
            continue;
        }
        EXPECT_EQ(result, LoadResult::Refused);
        EXPECT_EQ(recorder.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(state.MapNames.empty(), c.message == refused1);
        EXPECT_FALSE(state.f.has_value());
        EXPECT_FALSE(state.FileOpened);
        EXPECT_FALSE(state.ScriptsByName.has_value());
        EXPECT_FALSE(state.CommandsByEngine.has_value());
    }
}

TEST_F(MapReaderTest, OpenSetsTheAcceptedNamesThatReadMapDataComparesAgainst) {
    MapSpec spec = ThreeScripts();
    spec.kind = HeaderKind::Named;
    const std::string path = dir.File("named.map");
    ASSERT_TRUE(testmap::Build(spec).Save(path));
    EXPECT_EQ(ReadMapData(state, path).result, LoadResult::Refused);  // no names set yet
    EXPECT_EQ(OpenMap(state, path).result, LoadResult::Loaded);
    EXPECT_EQ(state.MapNames, (std::vector<std::string>{"a10", "a30", "a50", "b30", "b40", "c10",
                                                        "c20", "c40", "d20", "d40", "ui"}));
}

TEST_F(MapReaderTest, TagEntryGivesMagicAndTheScenario) {
    MapSpec spec = ThreeScripts();
    spec.magic = 0x4BF10000;
    spec.tagName = "levels\\a10\\a10";
    // Class codes lie in the file back to front; none of these reads the same both ways.
    spec.class1 = "scnr";
    spec.class2 = "wxyz";
    spec.class3 = std::string("ab\0\xFF", 4);
    spec.ident = 0xE1740000;
    BuiltMap map = testmap::Build(spec);
    Open(map);
    EXPECT_EQ(state.magic, 0x4BF10000);
    ASSERT_TRUE(state.Scenario.has_value());
    EXPECT_EQ(state.Scenario->Offset, map.scenarioOffset);
    EXPECT_EQ(state.Scenario->Class1, "scnr");
    EXPECT_EQ(state.Scenario->Class2, "wxyz");
    EXPECT_EQ(state.Scenario->Class3, std::string("ab\0\xFF", 4));
    EXPECT_EQ(state.Scenario->ident, static_cast<int32_t>(0xE1740000u));
    EXPECT_EQ(state.Scenario->Name, "levels\\a10\\a10");
    EXPECT_EQ(state.Scenario->NameOffset, map.tagEntryOffset + 32);

    // The header text rule: a first byte of zero is an empty name.
    spec.tagName = "";
    Open(testmap::Build(spec));
    EXPECT_EQ(state.Scenario->Name, "");
}

TEST_F(MapReaderTest, ScriptAndGlobalRecordsFillCachesAndDictionaries) {
    BuiltMap map = testmap::Build(ThreeScripts());
    LoadOutcome outcome = Open(map);
    EXPECT_EQ(outcome.folderRows, (std::vector<std::string>{"scripts", "globals"}));
    ASSERT_EQ(state.ScriptHeaderCache.size(), 3u);
    const ScriptHeader& calc = state.ScriptHeaderCache[2];
    EXPECT_EQ(std::tie(calc.Name, calc.Type, calc.ReturnType, calc.ExpPointer, calc.Offset),
              std::make_tuple("calc", 4, 6, -30, map.ScriptRecord(2)));
    ASSERT_EQ(state.GlobalHeaderCache.size(), 2u);
    const GlobalHeader& count = state.GlobalHeaderCache[1];
    EXPECT_EQ(std::tie(count.Name, count.Type, count.ExpPointer, count.Offset),
              std::make_tuple("count", 7, -50, map.GlobalRecord(1)));
    EXPECT_EQ(state.ScriptsByName->at("loop"), 1);
    EXPECT_EQ(state.GlobalsByName->at("flag"), 0);
    EXPECT_EQ(state.f, dir.File("test.map"));
    EXPECT_TRUE(state.FileOpened);
}

TEST_F(MapReaderTest, NamesReadOnPastAFullNameFieldAndALaterDuplicateWins) {
    MapSpec spec;
    spec.scripts = {
        {std::string(32, 'n'), 0x0101, 0x0202, -1}, {"same", 0, 0, -1}, {"same", 1, 0, -1}};
    spec.globals = {{"g", 5, -1}, {"g", 6, -1}};
    Open(testmap::Build(spec));
    // 32 name bytes, then the type bytes 01 01 and 02 02, then FF FF of the reference, then
    // the identity FF FF and the next record's first byte, a zero.
    EXPECT_EQ(state.ScriptHeaderCache[0].Name,
              std::string(32, 'n') + "\x01\x01\x02\x02\xFF\xFF\xFF\xFF");
    EXPECT_EQ(state.ScriptHeaderCache.size(), 3u);
    EXPECT_EQ(state.ScriptsByName->at("same"), 2);
    EXPECT_EQ(state.GlobalsByName->at("g"), 1);
}

TEST_F(MapReaderTest, ACountOtherThanZeroGivesTheFolderRow) {
    struct Case {
        int32_t scripts, globals;
        std::vector<std::string> rows;
    };
    for (const Case& c :
         {Case{0, 0, {}}, Case{-1, -5, {"scripts", "globals"}}, Case{0, 1, {"globals"}}}) {
        MapSpec spec;
        spec.scriptCount = c.scripts;
        spec.globalCount = c.globals;
        LoadOutcome outcome = Open(testmap::Build(spec));
        EXPECT_EQ(outcome.result, LoadResult::Loaded);
        EXPECT_EQ(outcome.folderRows, c.rows);
        EXPECT_TRUE(state.ScriptHeaderCache.empty());
        // Fresh dictionaries, empty ones too.
        ASSERT_TRUE(state.ScriptsByName.has_value());
        EXPECT_TRUE(state.ScriptsByName->empty());
        ASSERT_TRUE(state.SyntaxByIdentityStr.has_value());
    }
}

TEST_F(MapReaderTest, SyntaxCountNReadsNPlusOneRecordsFromTableByte36) {
    MapSpec spec;
    spec.firstRecord = TextNode(0x6373, "header");
    spec.nodes = {TextNode(-5, "begin"), TextNode(-6, "sleep"), TextNode(-7, "30"),
                  TextNode(-9, "later")};
    spec.nodes[1] = testmap::MakeNode(-6, 19, 2, 9, -7, -2, "sleep", -255);
    spec.firstRecord.identity = -9;  // a later node with record 0's identity takes its keys
    BuiltMap map = testmap::Build(spec);
    Open(map);
    ASSERT_EQ(state.SyntaxCache.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(state.SyntaxCache[static_cast<size_t>(i)].offset,
                  map.syntaxTableOffset + 36 + 20 * i);
    }
    EXPECT_EQ(state.SyntaxCache[0].SibExpPointer, 4);  // the count itself
    EXPECT_EQ(state.SyntaxCache[0].Command, "header");
    const Syntax& sleep = state.SyntaxCache[2];
    EXPECT_EQ(std::tie(sleep.ExpIdentity, sleep.EngineIdentity, sleep.ValueType, sleep.ExpType,
                       sleep.SibExpPointer, sleep.ScriptValue, sleep.KidExpPointer,
                       sleep.ScriptTableOffset, sleep.Command),
              std::make_tuple(-6, 19, 2, 9, -7, -255, -2, map.textOffsets[2], "sleep"));
    EXPECT_EQ(state.ScriptTableOuter, map.stringDataOffset);
    EXPECT_EQ(state.SyntaxByIdentity->at(-6), 2);
    EXPECT_EQ(state.SyntaxByIdentityStr->at("-6"), 2);
    EXPECT_EQ(state.SyntaxByIdentity->at(-9), 4);
    EXPECT_EQ(state.SyntaxByIdentityStr->at("-9"), 4);

    for (int16_t count : {int16_t{0}, int16_t{-1}, int16_t{-32768}}) {
        spec.nodeCount = count;
        Open(testmap::Build(spec));
        EXPECT_TRUE(state.SyntaxCache.empty()) << count;
        EXPECT_TRUE(state.SyntaxByIdentity->empty());
    }
}

TEST_F(MapReaderTest, NodeTextsFollowTheTextReadRuleOrAreLeftForLater) {
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

    Prefernces::ScriptCommand = 2;
    Open(testmap::Build(spec));
    ASSERT_EQ(state.SyntaxCache.size(), 5u);
    for (const Syntax& node : state.SyntaxCache) {
        EXPECT_TRUE(node.Command.empty());
    }
}

// A load yields once per record read and once per byte of every text read.
TEST_F(MapReaderTest, TheLoadYieldsPerRecordAndPerTextByte) {
    static int yields;
    auto yieldsToLoad = [this](const MapSpec& spec) {
        yields = 0;
        platform::SetYieldHook([] { ++yields; });
        Open(testmap::Build(spec));
        platform::SetYieldHook(nullptr);
        return yields;
    };
    MapSpec base;
    base.nodes = {TextNode(-2, "a")};
    const int baseYields = yieldsToLoad(base);
    struct Case {
        const char* added;
        MapSpec spec;
        int more;
    };
    std::vector<Case> cases(3, Case{"", base, 0});
    cases[0] = {"a script named abcd", base, 5};
    cases[0].spec.scripts = {{"abcd", 0, 4, -1}};
    cases[1] = {"a global named xy", base, 3};
    cases[1].spec.globals = {{"xy", 5, -1}};
    cases[2] = {"a node with the text sleep", base, 6};
    cases[2].spec.nodes.push_back(TextNode(-3, "sleep"));
    for (const Case& c : cases) {
        EXPECT_EQ(yieldsToLoad(c.spec) - baseYields, c.more) << c.added;
    }
}

TEST_F(MapReaderTest, ASecondMapReplacesTheFirstUnlessItIsRefusedOrCannotBeOpened) {
    Open(testmap::Build(ThreeScripts()), "first.map");
    state.LoadedScript = 2;
    state.LoadedSyntax = 0;
    state.CommandsByEngine->clear();
    recorder.messages.clear();
    MapSpec refused = ThreeScripts();
    refused.kind = HeaderKind::Named;
    refused.mapName = "nope";
    EXPECT_EQ(Open(testmap::Build(refused), "refused.map").result, LoadResult::Refused);
    for (const std::string& path : {dir.File("missing.map"), dir.Path().string()}) {
        EXPECT_EQ(OpenMap(state, path).result, LoadResult::CannotOpen) << path;
    }
    EXPECT_EQ(OpenMap(state, "").result, LoadResult::NoFile);
    EXPECT_EQ(state.f, dir.File("first.map"));
    EXPECT_EQ(state.ScriptHeaderCache.size(), 3u);
    EXPECT_EQ(state.LoadedScript, 2);
    ASSERT_EQ(recorder.messages.size(), 3u);
    EXPECT_NE(recorder.messages[1].find("missing.map"), std::string::npos);

    MapSpec second;
    second.scripts = {{"only", 1, 4, -1}};
    second.nodes = {TextNode(-2, "x")};
    LoadOutcome outcome = Open(testmap::Build(second), "second.map");
    EXPECT_EQ(outcome.folderRows, std::vector<std::string>{"scripts"});
    ASSERT_EQ(state.ScriptHeaderCache.size(), 1u);
    EXPECT_EQ(state.ScriptHeaderCache[0].Name, "only");
    EXPECT_TRUE(state.GlobalHeaderCache.empty());
    EXPECT_EQ(state.ScriptsByName->size(), 1u);
    EXPECT_EQ(state.f, dir.File("second.map"));
    EXPECT_EQ(state.CommandsByEngine->size(), 543u);  // rebuilt
    EXPECT_FALSE(state.LoadedScript.has_value());
    EXPECT_FALSE(state.LoadedSyntax.has_value());
}

// A hostile map: counts and addresses that point anywhere.

TEST_F(MapReaderTest, TablesReadOnlyTheRecordsThatStartInsideTheFile) {
    MapSpec spec = ThreeScripts();
    spec.scriptCount = 2000000000;
    spec.globalCount = 2000000000;
    BuiltMap map = testmap::Build(spec);
    Open(map);
    const auto size = static_cast<int64_t>(map.bytes.size());
    EXPECT_EQ(static_cast<int64_t>(state.ScriptHeaderCache.size()),
              (size - map.scriptTableOffset + 91) / 92);
    EXPECT_EQ(static_cast<int64_t>(state.GlobalHeaderCache.size()),
              (size - map.globalTableOffset + 91) / 92);
    EXPECT_EQ(state.ScriptHeaderCache[2].Name, "calc");

    const int32_t s = map.scenarioOffset;
    map.PutInt32(s + 1184, 0x7FFFFFF0);        // script table far past the end
    map.PutInt32(s + 1196, map.magic - 5000);  // global table before the start
    Open(map);
    EXPECT_TRUE(state.ScriptHeaderCache.empty());
    EXPECT_TRUE(state.GlobalHeaderCache.empty());

    MapSpec nodes;
    for (int i = 0; i < 10; ++i) {
        nodes.nodes.push_back(TextNode(static_cast<int16_t>(-2 - i), "t"));
    }
    map = testmap::Build(nodes);
    map.bytes.resize(static_cast<size_t>(map.SyntaxRecord(5) + 7));  // inside record 5
    Open(map);
    ASSERT_EQ(state.SyntaxCache.size(), 6u);
    EXPECT_EQ(state.SyntaxCache[5].ExpIdentity, -6);
    EXPECT_EQ(state.SyntaxCache[5].ExpType, 0);           // past the end reads as zero
    EXPECT_EQ(state.SyntaxCache[4].Command, "");          // the text block was cut off
    map.PutInt32(map.scenarioOffset + 1152, 0x7FFFFF00);  // syntax table past the end
    Open(map);
    EXPECT_TRUE(state.SyntaxCache.empty());
}

TEST_F(MapReaderTest, TextsEndAtAZeroAtTheCapOrAtTheEndOfTheFileAndOutsideItReadEmpty) {
    MapSpec spec;
    const std::vector<int32_t> offsets = {-100000, 0x7FFFFF00, 0, 13, 13 + 99997};
    for (size_t i = 0; i < offsets.size(); ++i) {
        spec.nodes.push_back(TextNode(static_cast<int16_t>(-2 - i), ""));
        spec.nodes.back().textOffset = offsets[i];
    }
    BuiltMap map = testmap::Build(spec);
    map.bytes.resize(static_cast<size_t>(map.stringDataOffset));
    map.PutBytes(map.stringDataOffset,
                 std::string("unterminated\0", 13) + std::string(100000, 'w'));
    Open(map);
    EXPECT_EQ(state.SyntaxCache[1].Command, "");
    EXPECT_EQ(state.SyntaxCache[2].Command, "");
    EXPECT_EQ(state.SyntaxCache[3].Command, "unterminated");
    EXPECT_EQ(state.SyntaxCache[4].Command, std::string(4096, 'w'));
    EXPECT_EQ(state.SyntaxCache[5].Command, "www");
}

TEST_F(MapReaderTest, EmptyAndTinyFilesLoadWithoutCrashing) {
    for (size_t size : {0u, 3u, 8u, 100u, 1600u}) {
        BuiltMap map;
        map.bytes.assign(size, 0xFF);
        if (size >= 8) {
            map.PutInt32(4, 0);
        }
        state = MapState();
        EXPECT_EQ(Open(map).result, LoadResult::Loaded) << size;
        EXPECT_TRUE(state.CommandsByEngine.has_value());
    }
}

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
