// The texts of Extract All and of the range extractions, on states laid out by hand; every
// expected text is written from the printing rules, not from the code.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "HandState.h"
#include "extraction/Extraction.h"
#include "extraction/ExtractionText.h"
#include "platform/Hooks.h"

namespace {

using handstate::Node;

class ExtractionTest : public ::testing::Test {
protected:
    void SetUp() override { state.SyntaxByIdentity.emplace(); }

    void Add(const std::vector<Syntax>& nodes) {
        for (const Syntax& node : nodes) {
            handstate::Add(state, node);
        }
    }

    // A script whose walk covers exactly `body`: a first child (a value, "begin"), whose next
    // sibling is the first body node, then the body, then the root.
    void AddScript(const std::string& name, const std::vector<Syntax>& body) {
        const int32_t base = 1000 * static_cast<int32_t>(state.ScriptHeaderCache.size() + 1);
        Add({Node(base, 9, 2, "begin", -1, body.empty() ? base + 999 : body.front().ExpIdentity)});
        Add(body);
        Add({Node(base + 999, 8, 4, "begin", base)});
        state.ScriptHeaderCache.push_back({name, 0, 4, base + 999, 0});
    }

    void AddGlobal(const std::string& name, int32_t type, int32_t value) {
        const int32_t identity = 500 + static_cast<int32_t>(state.GlobalHeaderCache.size());
        Add({Node(identity, 9, type, "", -1, -1, value)});
        state.GlobalHeaderCache.push_back({name, type, identity, 0});
    }

    std::string ScriptsOf(const std::string& all) const {
        return all.substr(all.find("\n\n\n\n\n") + 5);
    }

    MapState state;
};

// One walked node (identity 1) and what each walk prints for it. The node rules are the viewer's
// (Extract All) and the settings-free ones (the ranges); the closing rule is the extractions' own.
struct NodeCase {
    Syntax node;
    std::string all;    // Extract All
    std::string range;  // the script range
};

TEST_F(ExtractionTest, NodeAndClosingRules) {
    const std::vector<NodeCase> cases = {
        {Node(1, 10, 6, "c", 7, 7, 12), "(", " 12"},
        {Node(1, 4, 9, "c", 7, 7), " \"c\"", " c"},
        // Closing: only value nodes close, by their own links.
        {Node(1, 9, 2, "c", -1, -1), " c))\n", " c))\n"},
        {Node(1, 9, 2, "c", 7, -1), " c)\n", " c)\n"},
        {Node(1, 9, 2, "c", -1, 7), " c)", " c)"},
        {Node(1, 9, 2, "c", 7, 7), " c", " c"},
        {Node(1, 8, 2, "c", -1, -1), "(", "("},
    };
    for (const NodeCase& c : cases) {
        SCOPED_TRACE(c.all);
        state = MapState();
        SetUp();
        AddScript("z", {c.node});
        EXPECT_EQ(ScriptsOf(ExtractAll(state).text),
                  "(script startup z\n(begin\n" + c.all + "))\n\n");
        state.ScriptHeaderCache.push_back(state.ScriptHeaderCache.front());
        EXPECT_EQ(ExtractScriptRange(state, 0, 0).text, "(script startup z\n(begin\n" + c.range +
                                                            "))\n\n(script startup z\n(begin\n" +
                                                            c.range + "))\n\n");
    }
}

// The walk runs from the first child's sibling, position 0 when it has none, up to the root.
TEST_F(ExtractionTest, TheWalkRunsFromTheFirstChildsSiblingToTheRoot) {
    struct Case {
        const char* name;
        std::vector<Syntax> nodes;  // the root is the call "begin" at identity 3
        std::string text;
    };
    const std::vector<Case> cases = {
        {"without a sibling from position 0",
         {Node(1, 9, 2, "a", 7, 7), Node(4, 9, 2, "", -1, -1), Node(3, 8, 4, "begin", 4),
          Node(5, 9, 2, "after", -1, -1)},
         "(script startup s\n(\n a ))\n))\n\n"},
        {"a sibling after the root walks nothing",
         {Node(1, 9, 2, "f", -1, 5), Node(3, 8, 4, "begin", 1), Node(5, 9, 2, "late", -1, -1)},
         "(script startup s\n(f\n))\n\n"},
    };
    for (const Case& c : cases) {
        state = MapState();
        SetUp();
        Add(c.nodes);
        state.ScriptHeaderCache.push_back({"s", 0, 4, 3, 0});
        EXPECT_EQ(ScriptsOf(ExtractAll(state).text), c.text) << c.name;
    }
}

TEST_F(ExtractionTest, GlobalsPrintBooleansOnlyFromTheTwoEncodedValues) {
    AddGlobal("t", 5, -255);
    AddGlobal("f", 5, -256);
    AddGlobal("z", 5, 0);
    AddGlobal("o", 5, 1);
    AddGlobal("x", 7, 12);
    AddGlobal("r", 6, -1);
    AddGlobal("s", 9, 3);
    AddGlobal("odd", 70, 2);
    const std::string lines =
        "(global boolean t true)\n(global boolean f false)\n(global boolean z false)\n"
        "(global boolean o false)\n(global short x 12)\n(global real r -1)\n"
        "(global string s 3)\n(global  odd 2)\n";
    EXPECT_EQ(ExtractAll(state).text, lines + "\n\n\n\n\n");
    EXPECT_EQ(ExtractGlobalRange(state, 0, 6).text, lines);
    // A value node the dictionary does not hold is the node at position 0.
    state.GlobalHeaderCache = {{"lost", 7, 99, 0}};
    EXPECT_EQ(ExtractAll(state).text, "(global short lost -255)\n\n\n\n\n\n");
}

TEST_F(ExtractionTest, EmptyNodeCachePrintsNoNodeAndReadsNothingOutside) {
    state.SyntaxByIdentity.reset();
    state.GlobalHeaderCache = {{"g", 7, 5, 0}};
    state.ScriptHeaderCache = {{"s", 1, 4, 5, 0}};
    EXPECT_EQ(ExtractAll(state).text, "(global short g )\n\n\n\n\n\n(script dormant void s))\n\n");
    EXPECT_EQ(ExtractScriptRange(state, -1, 0).text, "(script dormant void s))\n\n");
}

TEST_F(ExtractionTest, RangesTakeTheRowsAsPositions) {
    for (const char* name : {"a", "b", "c", "d"}) {
        AddGlobal(name, 7, 1);
    }
    auto lines = [](const std::string& names) {
        std::string text;
        for (const char name : names) {
            text += std::string("(global short ") + name + " 1)\n";
        }
        return text;
    };
    EXPECT_EQ(ExtractGlobalRange(state, 0, 0).text, lines("ab"));
    EXPECT_EQ(ExtractGlobalRange(state, 1, 0).text, lines("bc"));
    EXPECT_EQ(ExtractGlobalRange(state, 1, 1).text, lines("bcd"));
    EXPECT_EQ(ExtractGlobalRange(state, 2, 0).text, lines("cd"));
    EXPECT_EQ(ExtractGlobalRange(state, 0, -1).text, lines(""));
    // No start row: the end rows name positions from 0, and position -1 is never read.
    EXPECT_EQ(ExtractGlobalRange(state, -1, 1).text, lines("ab"));
    // Rows listed for a larger map than the one open now: what the cache holds of the run.
    EXPECT_EQ(ExtractGlobalRange(state, 2, 5).text, lines("cd"));
    EXPECT_EQ(ExtractGlobalRange(state, 7, 3).text, lines(""));
}

// Every piece is a counted part: it stays counted only when it begins inside the kept text.
TEST(ExtractionTextTest, CutsAtTheFirstBytePastTheLimitAndCountsWhatItKeeps) {
    struct Case {
        TextLimit limit;
        std::vector<std::string> pieces;
        std::string text;
        TextCut cut;
        int32_t parts;
    };
    const std::vector<Case> cases = {
        {{10, 100, 100}, {"abc", "de", "fghij"}, "abcdefghij", TextCut::None, 3},
        {{10, 100, 100}, {"abc", "de", "fghijk", "l"}, "abcdefghij", TextCut::Bytes, 3},
        // A part that would begin just past the last byte kept holds nothing.
        {{10, 100, 100}, {"abcdefghij", "k"}, "abcdefghij", TextCut::Bytes, 1},
        // Two line ends allowed: the third one is where the text stops.
        {{100, 2, 100}, {"a\nb\n", "cc"}, "a\nb\ncc", TextCut::None, 2},
        {{100, 2, 100}, {"a\nb\n", "cc\ndd"}, "a\nb\ncc", TextCut::Lines, 2},
        {{100, 2, 100}, {"a\nb\ncc", "\n", "dd"}, "a\nb\ncc", TextCut::Lines, 1},
        // Four bytes a line: a longer line stops after its fourth byte.
        {{100, 100, 4}, {"abcd\nefgh"}, "abcd\nefgh", TextCut::None, 1},
        {{100, 100, 4}, {"abcd\nefg", "hi\n"}, "abcd\nefgh", TextCut::LineBytes, 2},
        {{100, 100, 4}, {"abcde\nx"}, "abcd", TextCut::LineBytes, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ExtractionText text(c.limit);
        for (const std::string& piece : c.pieces) {
            text.Mark(ExtractionText::SyntaxParts);
            text.Append(piece);
            text.Full();
        }
        EXPECT_EQ(text.Take(), c.text);
        EXPECT_EQ(text.Cut(), c.cut);
        EXPECT_EQ(text.Count(ExtractionText::SyntaxParts), c.parts);
    }
}

// The counts are of what the text holds, and the message names the one limit reached.
TEST_F(ExtractionTest, AHostileMapStopsAtTheLimitAndSaysSo) {
    // Every script walks the whole cache from position 0: quadratic text without a limit. Each
    // walked node prints one short line of its own, which begins with a blank.
    for (int32_t i = 0; i < 30000; ++i) {
        Add({Node(i, 9, 2, "x", 7, -1)});
    }
    Add({Node(-2, 8, 4, "begin", 0)});
    for (int32_t i = 0; i < 4000; ++i) {
        state.ScriptHeaderCache.push_back({"s", 0, 0, -2, 0});
    }
    const ExtractAllResult all = ExtractAll(state);
    EXPECT_EQ(all.cut, TextCut::Lines);
    EXPECT_EQ(std::count(all.text.begin(), all.text.end(), '\n'), kExtractionLimit.lines);
    int32_t headers = 0;
    int32_t walked = 0;
    for (size_t line = 0; line < all.text.size(); line = all.text.find('\n', line) + 1) {
        headers += all.text.compare(line, 8, "(script ") == 0 ? 1 : 0;
        walked += all.text[line] == ' ' ? 1 : 0;
        if (all.text.find('\n', line) == std::string::npos) {
            break;
        }
    }
    EXPECT_EQ(all.scripts, headers);
    EXPECT_EQ(all.syntaxParts, 2 * headers + walked);
    const std::string summary = ExtractAllSummary(all, 0);
    EXPECT_NE(summary.find("\nThe text was cut short: it reached the limit of 200000 lines."),
              std::string::npos)
        << summary;
    EXPECT_EQ(summary.find("bytes"), std::string::npos);
    EXPECT_EQ(ExtractScriptRange(state, 0, 3998).cut, TextCut::Lines);
}

TEST_F(ExtractionTest, CountsYieldsAndStopsWhenAsked) {
    AddGlobal("g", 7, 1);
    AddScript("s", {Node(1, 9, 2, "a", 7, 7), Node(2, 9, 2, "b", 7, 7)});
    static int yields = 0;
    yields = 0;
    platform::SetYieldHook([] { ++yields; });
    const ExtractAllResult result = ExtractAll(state);
    // One global, two walked nodes, one script.
    EXPECT_EQ(yields, 4);
    platform::SetYieldHook(nullptr);
    EXPECT_EQ(result.cut, TextCut::None);
    // Syntax parts: one per global, two per script and one per walked node. Ticks are
    // sixtieths of a second.
    EXPECT_EQ(ExtractAllSummary(result, 1),
              "The extraction is done.\n1 globals were extracted, 1 scripts were extracted, and "
              "5 syntax parts extracted.\nThis proccess took 0.01666667 seconds.");
    const std::atomic<bool> stop{true};
    const ExtractAllResult stopped = ExtractAll(state, &stop);
    EXPECT_EQ(stopped.globals + stopped.scripts, 0);
}

}  // namespace
