#include <gtest/gtest.h>

#include "DemoMap.h"
#include "MapBuilder.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "decompiler/Decompiler.h"
#include "enginecommands/EngineCommands.h"
#include "mainwindow/RecordPages.h"
#include "mapfile/MapReader.h"
#include "preferences/Prefernces.h"

namespace {

// The generated maps: the demonstration map users try, the largest map the benchmarks measure.
class GeneratedMapTest : public ::testing::Test {
protected:
    void SetUp() override { Prefernces::ResetToDefaults(); }
    void TearDown() override { Prefernces::ResetToDefaults(); }

    testmap::BuiltMap Load(const testmap::MapSpec& spec) {
        testmap::BuiltMap map = testmap::Build(spec);
        EXPECT_TRUE(map.Save(dir.File("generated.map")));
        EXPECT_EQ(OpenMap(state, dir.File("generated.map")).result, LoadResult::Loaded);
        return map;
    }

    std::string Print(const std::string& name, int32_t style) {
        Prefernces::DecompStyle = style;
        const int32_t position = ShowScript(state, name);
        const ScriptHeader& script = state.ScriptHeaderCache[static_cast<size_t>(position)];
        return ExtractScriptFloating(state, script.ExpPointer, ScriptHeaderLine(script)) + "))";
    }

    testmap::TempDir dir;
    testmap::MessageRecorder recorder;
    MapState state;
};

TEST_F(GeneratedMapTest, DemoMapHoldsEveryScriptTypeAnUnknownCommandAndPrintsInBothWalks) {
    Load(testmap::DemoMap());
    ASSERT_EQ(state.ScriptHeaderCache.size(), 5u);
    for (int32_t type = 0; type < 5; ++type) {
        EXPECT_EQ(state.ScriptHeaderCache[static_cast<size_t>(type)].Type, type);
    }
    EXPECT_EQ(Print("watch", 2),
              "(script continuous watch\n"
              " ( begin ( if ( = hangar_alert true)\n"
              " ( wake patrol)\n"
              " ( sleep -5)\n"
              "))");
    EXPECT_EQ(Print("intro", 1).substr(0, 34), "(script startup intro\n(begin\n( fad");
    EXPECT_EQ(Print("total_ticks", 2),
              "(script static short total_ticks\n ( begin ( + 1200 30)\n))");
    for (const ScriptHeader& script : state.ScriptHeaderCache) {
        EXPECT_EQ(Print(script.Name, 2).find("//--//"), std::string::npos) << script.Name;
    }
    EXPECT_TRUE(recorder.messages.empty());
    // One call, with its name node, names an engine command the table does not hold.
    int unknown = 0;
    for (const Syntax& node : state.SyntaxCache) {
        unknown += node.EngineIdentity >= 0 &&
                   EngineCommandName(state, node.EngineIdentity) == "Uknown engine command";
    }
    EXPECT_EQ(unknown, 2);
}

TEST_F(GeneratedMapTest, MaximalMapFillsTheFormatAndLaysEveryScriptOutForTheOrderWalk) {
    const testmap::BuiltMap map = Load(testmap::MaximalMap());
    EXPECT_EQ(state.SyntaxCache.size(), 32768u);
    EXPECT_EQ(state.ScriptHeaderCache.size(), 4000u);
    EXPECT_EQ(state.GlobalHeaderCache.size(), 4000u);
    const size_t texts = map.bytes.size() - static_cast<size_t>(map.stringDataOffset);
    EXPECT_GT(texts, 900u * 1024u);
    EXPECT_LT(texts, 1400u * 1024u);
    for (const ScriptHeader& script : state.ScriptHeaderCache) {
        const int32_t root = state.SyntaxByIdentity->at(script.ExpPointer);
        const int32_t first =
            state.SyntaxByIdentity->at(state.SyntaxCache[static_cast<size_t>(root)].KidExpPointer);
        const int32_t body =
            state.SyntaxByIdentity->at(state.SyntaxCache[static_cast<size_t>(first)].SibExpPointer);
        ASSERT_EQ(body, first + 1) << script.Name;
        ASSERT_LT(body, root) << script.Name;
    }
}

}  // namespace
