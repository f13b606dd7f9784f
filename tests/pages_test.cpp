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
    void SetText(const std::string& text) override { text_ = text; }
    void AppendText(const std::string& piece) override {
        text_ += piece;
        ++appends;
    }
    const std::string& Text() const { return text_; }
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

// Codes without a name show no selection, hence no text.
TEST_F(RecordPagesTest, HeaderLineLeavesOutTheReturnTypeOfStartupAndContinuous) {
    for (const auto& [type, returnType, line] :
         {std::tuple{3, 4, "(script static void s\n"}, std::tuple{0, 4, "(script startup s\n"},
          std::tuple{2, 4, "(script continuous s\n"}, std::tuple{4, 7, "(script stub short s\n"},
          std::tuple{9, 60, "(script   s\n"}}) {
        EXPECT_EQ(ScriptHeaderLine(ScriptHeader{"s", type, returnType, -1, 0}), line);
    }
}

// The returned text gets "))" after it; streamed pieces get nothing after them; other settings
// leave the field empty. A style that prints nothing leaves what each mode adds of its own.
TEST_F(RecordPagesTest, ThePrintingSettingChoosesHowTheScriptReachesItsField) {
    struct Case {
        int32_t printing, style;
        std::string text;
        bool streamed;
    };
    const std::string header = "(script dormant void wait\n";
    const std::string body = "(begin\n( sleep 30))\n";
    for (const Case& c :
         {Case{1, 1, header + body + "))", false}, Case{2, 1, header + body, true},
          Case{0, 1, "", false}, Case{1, 0, "))", false}, Case{2, 0, header, false}}) {
        Prefernces::ScriptPrinting = c.printing;
        Prefernces::DecompStyle = c.style;
        ShowScript(state, "wait");
        RecordingField field;
        field.SetText("old");
        EXPECT_GE(PrintShownScript(state, field), 0);
        EXPECT_EQ(field.Text(), c.text) << c.printing << " " << c.style;
        EXPECT_EQ(field.appends > 1, c.streamed) << c.printing << " " << c.style;
    }
}

}  // namespace
