#include <gtest/gtest.h>

#include "MapBuilder.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "mainwindow/RecordPages.h"
#include "mapfile/MapReader.h"
#include "preferences/Prefernces.h"

namespace {

class RecordingField : public TextField {
public:
    void SetText(const std::string& text) override {
        text_ = text;
        ++sets;
    }
    void AppendText(const std::string& piece) override {
        text_ += piece;
        ++appends;
    }
    const std::string& Text() const { return text_; }
    int sets = 0;
    int appends = 0;

private:
    std::string text_;
};

class RecordPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Prefernces::ResetToDefaults();
        testmap::MapSpec spec;
        // Engine identity 0 for every node: none of them is printed by engine name.
        const auto node = [](int16_t id, int16_t expType, int16_t valueType, int16_t sibling,
                             int16_t kid, std::string text, int16_t value = 0) {
            return testmap::MakeNode(id, 0, valueType, expType, sibling, kid, std::move(text),
                                     value);
        };
        // (script dormant void wait (begin (sleep 30)))
        spec.nodes = {
            node(-32767, 9, 2, -32766, 0, "begin"),  node(-32766, 8, 4, -1, -32765, "sleep"),
            node(-32765, 9, 2, -32764, 0, "sleep"),  node(-32764, 9, 7, -1, -1, "30", 30),
            node(-32763, 8, 4, -1, -32767, "begin"), node(-32762, 9, 5, -1, -1, "true", -255),
            node(-32761, 9, 5, -1, -1, "x", -256),   node(-32760, 9, 7, -1, -1, "5", 5)};
        spec.scripts = {{"wait", 1, 4, -32763}, {"boot", 0, 4, -32763}, {"odd", 9, 60, -32763}};
        spec.globals = {{"on", 5, -32762}, {"off", 5, -32761}, {"x", 7, -32760}};
        ASSERT_TRUE(testmap::Build(spec).Save(dir.File("m.map")));
        ASSERT_EQ(OpenMap(state, dir.File("m.map")).result, LoadResult::Loaded);
    }
    void TearDown() override { Prefernces::ResetToDefaults(); }

    testmap::TempDir dir;
    testmap::MessageRecorder recorder;
    MapState state;
};

TEST_F(RecordPagesTest, ShowingARecordMakesItTheShownOneAndFallsBackToTheFirst) {
    EXPECT_EQ(ShowScript(state, "boot"), 1);
    EXPECT_EQ(state.LoadedScript, 1);
    EXPECT_EQ(ShowScript(state, "missing"), 0);
    EXPECT_EQ(state.LoadedScript, 0);
    EXPECT_EQ(ShowGlobal(state, "x"), 2);
    EXPECT_EQ(state.LoadedGlobal, 2);
    EXPECT_EQ(ShowSyntax(state, "-32764"), 4);
    EXPECT_EQ(ShowSyntax(state, "07"), 0);
    MapState empty;
    EXPECT_EQ(ShowScript(empty, "wait"), -1);
    EXPECT_FALSE(empty.LoadedScript);
}

TEST_F(RecordPagesTest, HeaderLineLeavesOutTheReturnTypeOfStartupAndContinuous) {
    ScriptHeader script{"s", 3, 4, -1, 0};
    EXPECT_EQ(ScriptHeaderLine(script), "(script static void s\n");
    script.Type = 0;
    EXPECT_EQ(ScriptHeaderLine(script), "(script startup s\n");
    script.Type = 2;
    EXPECT_EQ(ScriptHeaderLine(script), "(script continuous s\n");
    script.Type = 4;
    script.ReturnType = 6;
    EXPECT_EQ(ScriptHeaderLine(script), "(script stub real s\n");
    script.Type = 9;  // codes without a name show no selection, hence no text
    script.ReturnType = 60;
    EXPECT_EQ(ScriptHeaderLine(script), "(script   s\n");
}

TEST_F(RecordPagesTest, FloatingPrintingAddsTheClosingParentheses) {
    ShowScript(state, "wait");
    RecordingField field;
    PrintShownScript(state, field);
    EXPECT_EQ(field.Text(), "(script dormant void wait\n(begin\n( sleep 30))\n))");
    EXPECT_EQ(field.appends, 0);
}

TEST_F(RecordPagesTest, StreamedPrintingAddsNothingAfterTheBody) {
    Prefernces::ScriptPrinting = 2;
    ShowScript(state, "wait");
    RecordingField field;
    PrintShownScript(state, field);
    EXPECT_EQ(field.Text(), "(script dormant void wait\n(begin\n( sleep 30))\n");
    EXPECT_GT(field.appends, 1);
}

TEST_F(RecordPagesTest, OtherPrintingSettingsLeaveTheFieldEmpty) {
    Prefernces::ScriptPrinting = 0;
    ShowScript(state, "wait");
    RecordingField field;
    field.SetText("old");
    EXPECT_GE(PrintShownScript(state, field), 0);
    EXPECT_EQ(field.Text(), "");
}

TEST_F(RecordPagesTest, StylesThatPrintNothingLeaveWhatEachModeAdds) {
    Prefernces::DecompStyle = 0;
    ShowScript(state, "wait");
    RecordingField field;
    PrintShownScript(state, field);
    EXPECT_EQ(field.Text(), "))");
    Prefernces::ScriptPrinting = 2;
    PrintShownScript(state, field);
    EXPECT_EQ(field.Text(), "(script dormant void wait\n");
}

TEST_F(RecordPagesTest, GlobalLinePrintsBooleansAndNumbers) {
    EXPECT_EQ(GlobalLine(state, state.GlobalHeaderCache[0]), "(global boolean on true)");
    EXPECT_EQ(GlobalLine(state, state.GlobalHeaderCache[1]), "(global boolean off false)");
    EXPECT_EQ(GlobalLine(state, state.GlobalHeaderCache[2]), "(global short x 5)");
    GlobalHeader missing{"m", 6, -5, 0};  // no such node: the first cached node's value
    EXPECT_EQ(GlobalLine(state, missing),
              "(global real m " + std::to_string(state.SyntaxCache[0].ScriptValue) + ")");
    MapState empty;
    EXPECT_EQ(GlobalLine(empty, missing), "(global real m )");
}

TEST(OffsetHelpTag, ShowsTheOffsetInHexadecimal) {
    EXPECT_EQ(OffsetHelpTag(0x1F4 + 36), "Offset : 0x218");
    EXPECT_EQ(OffsetHelpTag(0), "Offset : 0x0");
}

}  // namespace
