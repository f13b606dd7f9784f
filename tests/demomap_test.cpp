#include <gtest/gtest.h>

#include "DemoMap.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "decompiler/Decompiler.h"
#include "enginecommands/EngineCommands.h"
#include "mainwindow/RecordPages.h"
#include "mapfile/MapReader.h"
#include "preferences/Prefernces.h"

namespace {

class DemoMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        Prefernces::ResetToDefaults();
        ASSERT_TRUE(testmap::Build(testmap::DemoMap()).Save(dir.File("demo.map")));
        ASSERT_EQ(OpenMap(state, dir.File("demo.map")).result, LoadResult::Loaded);
    }
    void TearDown() override { Prefernces::ResetToDefaults(); }

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

TEST_F(DemoMapTest, HoldsEveryScriptTypeAnUnknownCommandAndPrintsInBothWalks) {
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

}  // namespace
