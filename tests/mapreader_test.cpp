#include <gtest/gtest.h>

#include <map>
#include <random>
#include <tuple>

#include "MapBuilder.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "mapfile/IdentityMap.h"
#include "mapfile/MapReader.h"
#include "platform/Hooks.h"
#include "preferences/Prefernces.h"

using testmap::BuiltMap;
using testmap::HeaderKind;
using testmap::MapSpec;

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

TEST_F(MapReaderTest, HeaderChecksAcceptOrRefuseAndARefusalChangesNothing) {
    struct Case {
        const char* name;
        HeaderKind kind;
        std::string mapName;
        int32_t headerValue;
        int32_t patchAt;
        std::string patch;    // laid over the header at patchAt
        std::string message;  // empty: accepted
    };
    const std::string refused1 = "cant load |1|";
    const std::string refused2 = "Cant load |2|";
    const std::vector<Case> cases = {
        {"named, names compare without case", HeaderKind::Named, "B40", 7, 0, "", ""},
        {"kind tag without case", HeaderKind::Named, "a10", 7, 0, "DaEh", ""},
        {"bare: no name check", HeaderKind::Bare, "", 7, 32, "zz99", ""},
        {"609 in the other byte order", HeaderKind::Bare, "", 0x61020000, 0, "", ""},
        {"unknown name", HeaderKind::Named, "z99", 7, 0, "", refused2},
        {"empty name", HeaderKind::Named, "", 7, 0, "", refused2},
        {"longer name", HeaderKind::Named, "a10x", 7, 0, "", refused2},
        {"609, named", HeaderKind::Named, "a10", 609, 0, "", refused1},
        {"609, bare", HeaderKind::Bare, "", 609, 0, "", refused1},
        // The 609 test comes first: its refusal, not the name's.
        {"609 and an unknown name", HeaderKind::Named, "z99", 609, 0, "", refused1},
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
        map.PutBytes(c.patchAt, c.patch);
        const LoadResult result = Open(map).result;
        if (c.message.empty()) {
            EXPECT_EQ(result, LoadResult::Loaded);
            EXPECT_EQ(state.ScriptHeaderCache.size(), 3u);
            EXPECT_TRUE(recorder.messages.empty());
            // ReadMapData alone compares against the names OpenMap sets: none on a fresh state.
            MapState fresh;
            EXPECT_EQ(ReadMapData(fresh, dir.File("test.map")).result,
                      c.kind == HeaderKind::Named ? LoadResult::Refused : LoadResult::Loaded);
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

TEST_F(MapReaderTest, TagEntryGivesMagicAndTheScenario) {
    MapSpec spec = ThreeScripts();
    spec.magic = 0x4BF10000;
    // Class codes lie in the file back to front; none of these reads the same both ways.
    spec.class2 = "wxyz";
    spec.class3 = std::string("ab\0\xFF", 4);
    BuiltMap map = testmap::Build(spec);
    Open(map);
    EXPECT_EQ(state.magic, 0x4BF10000);
    ASSERT_TRUE(state.Scenario.has_value());
    EXPECT_EQ(state.Scenario->Offset, map.scenarioOffset);
    EXPECT_EQ(state.Scenario->Class1, "scnr");
    EXPECT_EQ(state.Scenario->Class2, "wxyz");
    EXPECT_EQ(state.Scenario->Class3, std::string("ab\0\xFF", 4));
    EXPECT_EQ(state.Scenario->ident, static_cast<int32_t>(0xE1740000u));
    EXPECT_EQ(state.Scenario->Name, "levels\\test\\test");
    EXPECT_EQ(state.Scenario->NameOffset, map.tagEntryOffset + 32);

    // The header text rule: a first byte of zero is an empty name.
    spec.tagName = "";
    Open(testmap::Build(spec));
    EXPECT_EQ(state.Scenario->Name, "");
}

TEST_F(MapReaderTest, ScriptAndGlobalRecordsFillCachesAndDictionaries) {
    MapSpec spec = ThreeScripts();
    // A full name field reads on into the fields; a later duplicate name takes the key.
    spec.scripts.push_back({std::string(32, 'n'), 0x0101, 0x0202, -1});
    spec.scripts.push_back({"loop", 0, 0, -1});
    spec.globals.push_back({"flag", 6, -1});
    BuiltMap map = testmap::Build(spec);
    EXPECT_EQ(Open(map).folderRows, (std::vector<std::string>{"scripts", "globals"}));
    ASSERT_EQ(state.ScriptHeaderCache.size(), 5u);
    const ScriptHeader& calc = state.ScriptHeaderCache[2];
    EXPECT_EQ(std::tie(calc.Name, calc.Type, calc.ReturnType, calc.ExpPointer, calc.Offset),
              std::make_tuple("calc", 4, 6, -30, map.ScriptRecord(2)));
    ASSERT_EQ(state.GlobalHeaderCache.size(), 3u);
    const GlobalHeader& count = state.GlobalHeaderCache[1];
    EXPECT_EQ(std::tie(count.Name, count.Type, count.ExpPointer, count.Offset),
              std::make_tuple("count", 7, -50, map.GlobalRecord(1)));
    // 32 name bytes, the type bytes 01 01 and 02 02, FF FF of the reference, the root FF FF.
    EXPECT_EQ(state.ScriptHeaderCache[3].Name,
              std::string(32, 'n') + "\x01\x01\x02\x02\xFF\xFF\xFF\xFF");
    EXPECT_EQ(state.ScriptsByName->at("loop"), 4);
    EXPECT_EQ(state.GlobalsByName->at("flag"), 2);
    EXPECT_EQ(state.f, dir.File("test.map"));
    EXPECT_TRUE(state.FileOpened);
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
    // A later node with record 0's identity takes its keys.
    spec.firstRecord = {.identity = -9, .text = "header"};
    spec.nodes = {{.identity = -5, .text = "begin"},
                  testmap::MakeNode(-6, 19, 2, 9, -7, -2, "sleep", -255),
                  {.identity = -7, .text = "30"},
                  {.identity = -9, .text = "later"}};
    BuiltMap map = testmap::Build(spec);
    Open(map);
    ASSERT_EQ(state.SyntaxCache.size(), 5u);
    EXPECT_EQ(state.SyntaxCache[0].offset, map.syntaxTableOffset + 36);
    EXPECT_EQ(state.SyntaxCache[4].offset, map.syntaxTableOffset + 36 + 80);
    EXPECT_EQ(state.SyntaxCache[0].SibExpPointer, 4);  // the count itself
    EXPECT_EQ(state.SyntaxCache[0].Command, "header");
    const Syntax& sleep = state.SyntaxCache[2];
    EXPECT_EQ(std::tie(sleep.ExpIdentity, sleep.EngineIdentity, sleep.ValueType, sleep.ExpType,
                       sleep.SibExpPointer, sleep.ScriptValue, sleep.KidExpPointer,
                       sleep.ScriptTableOffset, sleep.Command),
              std::make_tuple(-6, 19, 2, 9, -7, -255, -2, map.textOffsets[2], "sleep"));
    EXPECT_EQ(state.ScriptTableOuter, map.stringDataOffset);
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
    // Then a protected text (two zero bytes, then more text) and a zero byte followed by "q".
    spec.nodes = {{.identity = -2},
                  {.identity = -3, .text = "abc"},
                  {.identity = -4, .textOffset = 100},
                  {.identity = -5, .textOffset = 105}};
    spec.extraStringData =
        std::string(100 - 6, 'x') + std::string("\0\0zz\0", 5) + std::string("\0q\0", 3);
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
    platform::SetYieldHook([] { ++yields; });
    auto yieldsToLoad = [this](const MapSpec& spec) {
        yields = 0;
        Open(testmap::Build(spec));
        return yields;
    };
    MapSpec spec;
    spec.nodes = {{.identity = -2, .text = "a"}};
    const int base = yieldsToLoad(spec);
    spec.scripts = {{"abcd", 0, 4, -1}};
    EXPECT_EQ(yieldsToLoad(spec) - base, 5);
    spec.globals = {{"xy", 5, -1}};
    EXPECT_EQ(yieldsToLoad(spec) - base, 5 + 3);
    spec.nodes.push_back({.identity = -3, .text = "sleep"});
    EXPECT_EQ(yieldsToLoad(spec) - base, 5 + 3 + 6);
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
    EXPECT_EQ(OpenMap(state, dir.File("missing.map")).result, LoadResult::CannotOpen);
    // A pipe is refused at once, not read once something writes to it.
    const std::string fifo = dir.Fifo("pipe.map");
    const std::string folder = dir.Folder("folder.map");
    EXPECT_TRUE(testmap::ReturnsWithoutWaitingOn(fifo, [&] {
        EXPECT_EQ(OpenMap(state, fifo).result, LoadResult::CannotOpen);
        EXPECT_EQ(OpenMap(state, folder).result, LoadResult::CannotOpen);
    }));
    EXPECT_EQ(OpenMap(state, "").result, LoadResult::NoFile);
    EXPECT_EQ(state.f, dir.File("first.map"));
    EXPECT_EQ(state.ScriptHeaderCache.size(), 3u);
    EXPECT_EQ(state.LoadedScript, 2);
    ASSERT_EQ(recorder.messages.size(), 4u);
    EXPECT_EQ(recorder.messages[1],
              "The map file could not be opened for reading:\n" + dir.File("missing.map"));
    EXPECT_EQ(recorder.messages[2],
              "The map file is not a regular file, so it was not opened:\n" + fifo);
    EXPECT_EQ(recorder.messages[3],
              "The map file is not a regular file, so it was not opened:\n" + folder);

    MapSpec second;
    second.scripts = {{"only", 1, 4, -1}};
    Open(testmap::Build(second), "second.map");
    EXPECT_EQ(state.ScriptHeaderCache.size(), 1u);
    EXPECT_TRUE(state.GlobalHeaderCache.empty());
    EXPECT_EQ(state.ScriptsByName->size(), 1u);
    EXPECT_EQ(state.f, dir.File("second.map"));
    EXPECT_FALSE(state.CommandsByEngine->empty());  // rebuilt
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
    map.PutInt(s + 1184, 0x7FFFFFF0);        // script table far past the end
    map.PutInt(s + 1196, map.magic - 5000);  // global table before the start
    Open(map);
    EXPECT_TRUE(state.ScriptHeaderCache.empty());
    EXPECT_TRUE(state.GlobalHeaderCache.empty());

    MapSpec nodes;
    for (int i = 0; i < 10; ++i) {
        nodes.nodes.push_back({.identity = static_cast<int16_t>(-2 - i), .text = "t"});
    }
    map = testmap::Build(nodes);
    map.bytes.resize(static_cast<size_t>(map.SyntaxRecord(5) + 7));  // inside record 5
    Open(map);
    ASSERT_EQ(state.SyntaxCache.size(), 6u);
    EXPECT_EQ(state.SyntaxCache[5].ExpIdentity, -6);
    EXPECT_EQ(state.SyntaxCache[5].ExpType, 0);         // past the end reads as zero
    EXPECT_EQ(state.SyntaxCache[4].Command, "");        // the text block was cut off
    map.PutInt(map.scenarioOffset + 1152, 0x7FFFFF00);  // syntax table past the end
    Open(map);
    EXPECT_TRUE(state.SyntaxCache.empty());
}

TEST_F(MapReaderTest, TextsEndAtAZeroAtTheCapOrAtTheEndOfTheFileAndOutsideItReadEmpty) {
    MapSpec spec;
    const std::vector<int32_t> offsets = {-100000, 0x7FFFFF00, 0, 13, 13 + 99997};
    for (size_t i = 0; i < offsets.size(); ++i) {
        spec.nodes.push_back({.identity = static_cast<int16_t>(-2 - i), .textOffset = offsets[i]});
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

// Nodes that all share one 4 KiB text: the load reads 64 MiB of texts, then the rest read empty.
TEST_F(MapReaderTest, OneLoadReadsNoMoreThanItsTextBudget) {
    constexpr int kFit = 64 * 1024 / 4;
    MapSpec spec;
    spec.nodes = {{.identity = -2, .text = std::string(4096, 't')}};
    for (int i = 1; i <= kFit; ++i) {
        spec.nodes.push_back({.identity = static_cast<int16_t>(-2 - i), .textOffset = 0});
    }
    Open(testmap::Build(spec));
    ASSERT_EQ(state.SyntaxCache.size(), static_cast<size_t>(kFit + 2));
    EXPECT_EQ(state.SyntaxCache[kFit - 1].Command.size(), 4096u);
    EXPECT_EQ(state.SyntaxCache[kFit].Command, "");
    EXPECT_EQ(state.SyntaxCache[kFit + 1].Command, "");
}

TEST_F(MapReaderTest, EmptyAndTinyFilesLoadWithoutCrashing) {
    for (size_t size : {0u, 3u, 8u, 100u, 1600u}) {
        BuiltMap map;
        map.bytes.assign(size, 0xFF);
        if (size >= 8) {
            map.PutInt(4, 0);
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

TEST(IdentityMap, AgreesWithAnOrderedMapOnRandomInsertsAndLookups) {
    IdentityMap flat;
    EXPECT_EQ(flat.Lookup(0, -1), -1);
    EXPECT_THROW(flat.at(1), std::out_of_range);
    std::map<int32_t, int32_t> reference;
    std::mt19937 random(7);
    // Both sides of the 16-bit range, and keys well beyond it; many keys come again.
    std::uniform_int_distribution<int32_t> keys(-40000, 40000);
    for (int i = 0; i < 50000; ++i) {
        const int32_t key = i % 3 == 0 ? keys(random) : static_cast<int32_t>(random());
        flat[key] = i;
        reference[key] = i;
    }
    EXPECT_EQ(flat.size(), reference.size());
    for (const auto& [key, value] : reference) {
        ASSERT_TRUE(flat.contains(key));
        EXPECT_EQ(flat.at(key), value);
    }
    for (int i = 0; i < 1000; ++i) {
        const int32_t key = keys(random);
        EXPECT_EQ(flat.contains(key), reference.count(key) == 1);
        EXPECT_EQ(flat.Lookup(key, -7), reference.count(key) == 1 ? reference[key] : -7);
    }
}

}  // namespace
