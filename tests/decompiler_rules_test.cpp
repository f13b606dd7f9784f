// The printing rules, on states filled by hand (each test lays out exactly the records it needs)
// and on maps laid out by the map builder.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "HandState.h"
#include "MapBuilder.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "decompiler/Decompiler.h"
#include "mapfile/MapReader.h"
#include "platform/Hooks.h"
#include "preferences/Prefernces.h"

namespace {

using handstate::Node;

using Pieces = std::vector<std::string>;

const std::string kNotImplemented =
    "This extraction type is not implimented yet, in fact i am\npositive you cant to this msgbox "
    "without modifing certian parts of my application.";

std::string Marker(const std::string& identity, const std::string& why = "") {
    return "\n\n //--// " + identity + why + "\\\\--\\\\\n\n";
}

std::string OverBudget(int32_t identity) {
    return Marker(std::to_string(identity), " print too long");
}

class RecordingSink : public platform::TextSink {
public:
    void AppendText(const std::string& piece) override { pieces.push_back(piece); }
    Pieces pieces;
};

std::string Join(const Pieces& pieces) {
    std::string text;
    for (const std::string& piece : pieces) {
        text += piece;
    }
    return text;
}

Syntax Value(int32_t identity, std::string text, int32_t kid = -1, int32_t sibling = -1) {
    return Node(identity, 9, 2, std::move(text), kid, sibling);
}

Syntax Call(int32_t identity, int32_t kid, int32_t sibling = -1) {
    return Node(identity, 8, 4, "call", kid, sibling);
}

testmap::Node MapCall(int32_t identity, int32_t kid, int32_t sibling = -1) {
    return testmap::MakeNode(static_cast<int16_t>(identity), 3, 4, 8, static_cast<int16_t>(sibling),
                             static_cast<int16_t>(kid), "call");
}

class DecompilerTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    void Reset() {
        Prefernces::ResetToDefaults();
        platform::SetYieldHook(nullptr);
        state = MapState();
        state.SyntaxByIdentity.emplace();
    }

    int32_t Add(Syntax node) { return handstate::Add(state, std::move(node)); }

    // Makes a script with this root the shown script, as the script page does before printing.
    void Show(int32_t rootIdentity) {
        state.ScriptHeaderCache.push_back({"s", 0, 4, rootIdentity, 0});
        state.LoadedScript = static_cast<int32_t>(state.ScriptHeaderCache.size()) - 1;
    }

    void Load(const testmap::MapSpec& spec) {
        const std::string path = dir.File("built.map");
        ASSERT_TRUE(testmap::Build(spec).Save(path));
        state = MapState();
        ASSERT_EQ(OpenMap(state, path).result, LoadResult::Loaded);
    }

    std::string Print(int32_t style, int32_t identity, const std::string& header = "") {
        Prefernces::DecompStyle = style;
        return ExtractScriptFloating(state, identity, header);
    }

    Pieces Stream(int32_t style, int32_t identity) {
        Prefernces::DecompStyle = style;
        RecordingSink sink;
        ExtractScriptConstant(state, identity, sink);
        return sink.pieces;
    }

    // One record printed alone by each walk: in the order walk it is the whole range (after a
    // first child that is no value), in the tree walk the start.
    struct Printed {
        std::string order, tree, plainOrder, plainTree;
    };
    Printed PrintAlone(Syntax node) {
        Reset();
        node.ExpIdentity = -3;
        Add(Call(-2, 0, -3));
        Add(node);
        const int32_t root = Add(Call(-4, -2));
        Show(-4);
        RecordingSink field;
        DecompileScript(state, root, field);
        field.pieces.pop_back();  // the closing "))"
        return {Print(1, -4), Print(2, -3), Join(field.pieces), ScriptTreeExtract(state, -3, "")};
    }

    // 0 first child "begin", 1-3 a call with a name and a value, 4 a record of no tree of this
    // script, 5 the root, shown.
    void LayOrderScript(int32_t firstExpType) {
        Add(Node(-10, firstExpType, 2, "begin", -1, -11));
        Add(Call(-11, -12));
        Add(Value(-12, "sleep", 0, -13));
        Add(Node(-13, 9, 7, "", 0, -1, 30));
        Add(Value(-20, "elsewhere"));
        Add(Call(-14, -10));
        Show(-14);
    }

    testmap::TempDir dir;
    MapState state;
    testmap::MessageRecorder messages;
};

// Each case is a record the walks meet alone. References 0 and 5 are neither followed nor
// closed on; "name" is a boolean true, so the value rules print " true".
TEST_F(DecompilerTest, NodeTextValueAndClosingRules) {
    struct Case {
        Syntax node;
        std::string order, tree, plainOrder;
    };
    const std::vector<Case> cases = {
        {Node(0, 9, 5, "flag", 0, 0, -255), " true", " true", " true"},
        {Node(0, 9, 5, "flag", 0, 0, -256), " false", " false", " false"},
        {Node(0, 9, 5, "flag", 0, 0, 1), " flag", " flag", " flag"},
        {Node(0, 9, 6, "x", 0, 0, 4464), " 4464", " 4464", " 4464"},
        {Node(0, 9, 7, "x", 0, 0, -32768), " -32768", " -32768", " -32768"},
        {Node(0, 9, 8, "x", 0, 0, 0), " 0", " 0", " 0"},
        {Node(0, 9, 9, "a b", 0, 0), " \"a b\"", " \"a b\"", " a b"},
        {Node(0, 9, 2, "sleep", 0, 0, -255), " sleep", " sleep", " sleep"},
        {Node(0, 9, 5, "name", 0, 0, -255, -1), " name", " true", " true"},
        {Node(0, 13, 5, "name", 0, 0, -255), " name", " true", " true"},
        {Node(0, 8, 5, "name", 0, 0, -255), "(", " (", "("},
        {Node(0, 8, 5, "name", 0, 0, -255, -1), " name", " (", "("},
        {Node(0, 10, 5, "name", 0, 0, -255), "(", "", " true"},
        {Node(0, 0, 5, "name", 0, 0, -255), " true", "", " true"},
        {Node(0, 9, 2, "v", -1, -1), " v))\n", " v)\n", " v))\n"},
        {Node(0, 9, 2, "v", 5, -1), " v)", " v)\n", " v)"},
        {Node(0, 9, 2, "v", -1, 5), " v)\n", " v)", " v)\n"},
        {Node(0, 9, 2, "v", 0, 5), " v", " v", " v"},
        {Node(0, 13, 2, "v", -1, -1), " v", " v", " v"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Printed printed = PrintAlone(cases[i].node);
        EXPECT_EQ(printed.order, cases[i].order) << i;
        EXPECT_EQ(printed.tree, cases[i].tree) << i;
        EXPECT_EQ(printed.plainOrder, cases[i].plainOrder) << i;
        EXPECT_EQ(printed.plainTree, cases[i].tree) << i;
    }
}

TEST_F(DecompilerTest, TagsWrapEachNodeAsPiecesInFrameOrder) {
    Prefernces::SyntaxTag = true;
    // The tree walk tags with the identity it followed: -5 is a second key for -2's record.
    Add(Call(-32768, -5));
    const int32_t value = Add(Value(-2, "sleep"));
    (*state.SyntaxByIdentity)[-5] = value;
    EXPECT_EQ(Stream(2, -32768),
              (Pieces{" <-32768>", " (", " </-32768>\n", " <-5>", " sleep", " </-5>\n", ")\n"}));

    // The order walk tags with the record's identity, but never the first child's line.
    Reset();
    Prefernces::SyntaxTag = true;
    Add(Value(-2, "begin", -1, -3));
    Add(Node(-3, 9, 7, "", 0, -1, 30));
    Add(Call(-4, -2));
    Show(-4);
    EXPECT_EQ(Stream(1, -4), (Pieces{"(begin\n", " <-3>", " 30", " </-3>\n", ")"}));
}

TEST_F(DecompilerTest, MissingNodeMarkerIsOnePieceAndTheWalkGoesOnWithTheSibling) {
    Add(Call(-2, -99, -3));
    Add(Value(-3, "next"));
    EXPECT_EQ(Print(2, -77, "h"), "h" + Marker("-77"));
    EXPECT_EQ(ScriptTreeExtract(state, -77, "h"), "h" + Marker("-77"));
    EXPECT_EQ(Stream(2, -77), Pieces{Marker("-77")});
    EXPECT_EQ(Print(2, -2), " (" + Marker("-99") + " next)\n");
}

int yields = 0;

TEST_F(DecompilerTest, OrderWalkPrintsTheFirstChildLineThenTheRecordsBeforeTheRootInCacheOrder) {
    LayOrderScript(9);
    yields = 0;
    platform::SetYieldHook([] { ++yields; });
    EXPECT_EQ(Print(1, -14, "h\n"), "h\n(begin\n( sleep 30) elsewhere))\n");
    EXPECT_EQ(yields, 4);
    EXPECT_EQ(state.LoadedSyntax, 0);

    RecordingSink field;
    DecompileScript(state, 5, field);
    EXPECT_EQ(field.pieces,
              (Pieces{"\n(begin\n", "(", " sleep", " 30", ")", " elsewhere", "))\n", "))"}));
}

TEST_F(DecompilerTest, OrderWalkRangeBoundsComeFromLookupsThatDefaultToPositionZero) {
    LayOrderScript(8);  // not printed, but its sibling still starts the range
    EXPECT_EQ(Print(1, -14), "( sleep 30) elsewhere))\n");
    EXPECT_EQ(state.LoadedSyntax, 0);

    state.SyntaxCache[0].ExpType = 9;
    state.SyntaxCache[0].SibExpPointer = -14;  // range starts at the root: the first line only
    EXPECT_EQ(Print(1, -14), "(begin\n");
    RecordingSink field;
    DecompileScript(state, 5, field);
    EXPECT_EQ(field.pieces, (Pieces{"\n(begin\n", "))"}));

    state.SyntaxCache[0].SibExpPointer = -1;  // unknown: the range starts at 0
    EXPECT_EQ(Print(1, -11), "(begin\n begin))\n");
    EXPECT_EQ(Print(1, -500), "(begin\n");  // unknown root: R = 0
    state.ScriptHeaderCache[0].ExpPointer = -500;
    state.SyntaxCache[0].KidExpPointer = -1;  // root and first child both at 0
    EXPECT_EQ(Print(1, -13), "(begin\n begin))\n( sleep");
}

TEST_F(DecompilerTest, OrderWalkReadsNothingOutsideTheCaches) {
    LayOrderScript(9);
    (*state.SyntaxByIdentity)[-9] = 90;  // a range running past the cache
    EXPECT_EQ(Print(1, -9), "(begin\n( sleep 30) elsewhere))\n(");
    state.LoadedSyntax = 3;
    for (std::optional<int32_t> shown : {std::optional<int32_t>(), std::optional<int32_t>(7)}) {
        state.LoadedScript = shown;
        EXPECT_EQ(Print(1, -14, "h\n"), "h\n");
        EXPECT_EQ(state.LoadedSyntax, 3);
    }
    state = MapState();
    Show(-2);
    EXPECT_EQ(Print(1, -2, "h\n"), "h\n");
    EXPECT_EQ(Print(2, -2, "h\n"), "h\n" + Marker("-2"));
    RecordingSink field;
    DecompileScript(state, 0, field);
    EXPECT_EQ(field.pieces, Pieces{"))"});
}

TEST_F(DecompilerTest, TreeWalkFollowsChildThenSiblingForIdentitiesBelowMinusOne) {
    Add(Node(-7, 10, 0, "", -2));  // prints nothing, but is followed
    Add(Call(-2, -3, -6));
    Add(Value(-3, "a", -40, -4));  // a value: its child is never followed
    Add(Call(-4, -5));
    Add(Value(-5, "b"));
    Add(Call(-6, 0, 5));  // 0 and above are not followed
    Add(Value(-40, "hidden"));
    EXPECT_EQ(Print(2, -7, "h"), "h ( a ( b)\n (");
    EXPECT_EQ(ScriptTreeExtract(state, -7, "h"), "h ( a ( b)\n (");
}

// Only a node still being printed is marked: its own subtree or its later siblings lead back.
TEST_F(DecompilerTest, TreeWalkMarksAReferenceBackIntoANodeStillBeingPrintedAndGoesOn) {
    Add(Call(-2, -3, -5));
    Add(Value(-3, "a", 0, -4));
    Add(Call(-4, -2, -3));  // its child leads to its parent, its sibling to an earlier sibling
    Add(Value(-5, "end", 0, -40));
    (*state.SyntaxByIdentity)[-40] = 0;  // a second key for -2's record, still being printed
    const std::string expected = " ( a (" + Marker("-2", " again") + Marker("-3", " again") +
                                 " end" + Marker("-40", " again");
    EXPECT_EQ(Print(2, -2), expected);
    EXPECT_EQ(Join(Stream(2, -2)), expected);
    EXPECT_EQ(ScriptTreeExtract(state, -2, ""), expected);
}

// Two parents share one subtree, as when a node of type 13 holds an identity in the upper half
// of its value: the subtree prints under each of them.
TEST_F(DecompilerTest, ASharedSubtreePrintsAgainUnderEachParentInEveryTreeWalk) {
    Add(Call(-2, -3));
    Add(Node(-3, 13, 2, "v", -5, -4));
    Add(Call(-4, -5));
    Add(Value(-5, "x", -1, -6));
    Add(Value(-6, "y"));
    const std::string expected = " ( v x) y)\n ( x) y)\n";
    EXPECT_EQ(Print(2, -2), expected);
    EXPECT_EQ(Join(Stream(2, -2)), expected);
    EXPECT_EQ(ScriptTreeExtract(state, -2, ""), expected);
}

// Each node's child and its sibling are the next node: 2^24 visits, none of which prints a thing.
TEST_F(DecompilerTest, ChainedSharedSubtreesEndAtTheVisitBudget) {
    constexpr int32_t kChain = 24;
    for (int32_t i = 0; i < kChain; ++i) {
        const int32_t next = i + 1 < kChain ? -3 - i : -1;
        Add(Node(-2 - i, 10, 0, "", next, next));
    }
    const std::regex onlyTheMarker("\n\n //--// -[0-9]+ print too long\\\\\\\\--\\\\\\\\\n\n");
    for (const std::string& text :
         {Print(2, -2), Join(Stream(2, -2)), ScriptTreeExtract(state, -2, "")}) {
        EXPECT_TRUE(std::regex_match(text, onlyTheMarker)) << text;
    }
}

TEST_F(DecompilerTest, EveryWalkEndsWithItsMarkerOnceItHasPrintedItsTextBudget) {
    const std::string big(static_cast<size_t>(kPrintTextBudget), 'x');
    Add(Call(-2, -3, -5));
    Add(Value(-3, big, -1, -4));
    Add(Value(-4, "after"));
    Add(Value(-5, "never"));
    const std::string tree = " ( " + big + ")" + OverBudget(-4);
    EXPECT_EQ(Print(2, -2, "h"), "h" + tree);
    EXPECT_EQ(Join(Stream(2, -2)), tree);
    EXPECT_EQ(ScriptTreeExtract(state, -2, "h"), "h" + tree);

    Reset();
    Add(Value(-10, "begin", -1, -11));
    Add(Value(-11, big, 0, 0));
    Add(Value(-12, "after", 0, 0));
    const int32_t root = Add(Call(-13, -10));
    Show(-13);
    const std::string order = "(begin\n " + big + OverBudget(-12);
    EXPECT_EQ(Print(1, -13), order);
    EXPECT_EQ(Join(Stream(1, -13)), order);
    RecordingSink field;
    DecompileScript(state, root, field);  // and no closing "))"
    EXPECT_EQ(Join(field.pieces), "\n" + order);
}

TEST_F(DecompilerTest, TreeWalkStopsDescendingBelowTheDepthBound) {
    // Identities past the 16-bit range: only a state filled by hand nests this deep.
    Add(Call(-2, -3, -1000000));
    for (int32_t i = 1; i < kMaxDescentDepth + 3; ++i) {
        Add(Call(-2 - i, -3 - i));
    }
    Add(Value(-1000000, "after"));
    std::string expected;
    for (int32_t level = 0; level <= kMaxDescentDepth; ++level) {
        expected += " (";
    }
    expected += Marker(std::to_string(-3 - kMaxDescentDepth), " too deep") + " after)\n";
    EXPECT_EQ(Print(2, -2), expected);
}

// ---- Maps read from files ----

// Each call the only child of the one before: a map read from a file never nests too deep.
TEST_F(DecompilerTest, AThirtyThousandLevelMapPrintsWholeInEveryTreeWalk) {
    constexpr int32_t kNodes = 30000;
    testmap::MapSpec spec;
    std::string expected;
    for (int32_t i = 0; i < kNodes - 1; ++i) {
        spec.nodes.push_back(MapCall(-2 - i, -3 - i));
        expected += " (";
    }
    spec.nodes.push_back(
        testmap::MakeNode(static_cast<int16_t>(-1 - kNodes), -1, 2, 9, -1, -1, "deepest"));
    expected += " deepest)\n";
    Load(spec);
    EXPECT_EQ(Print(2, -2), expected);
    EXPECT_EQ(Join(Stream(2, -2)), expected);
    EXPECT_EQ(ScriptTreeExtract(state, -2, ""), expected);
}

// Thirty calls whose child and sibling are both the next call: 2^30 nodes to print.
TEST_F(DecompilerTest, AMapOfChainedSharedSubtreesStopsAtTheTextBudgetInEveryTreeWalk) {
    testmap::MapSpec spec;
    for (int32_t i = 0; i < 30; ++i) {
        const int32_t next = i < 29 ? -3 - i : -1;
        spec.nodes.push_back(MapCall(-2 - i, next, next));
    }
    Load(spec);
    const std::string marker = " print too long\\\\--\\\\\n\n";
    for (const std::string& text :
         {Print(2, -2), Join(Stream(2, -2)), ScriptTreeExtract(state, -2, "")}) {
        EXPECT_EQ(text.find(marker), text.size() - marker.size());  // the only one
        EXPECT_LT(static_cast<int64_t>(text.size()), kPrintTextBudget + 8192);
    }
}

TEST_F(DecompilerTest, TextsAFreshLoadLeftEmptyAreReadWhilePrinting) {
    Prefernces::ScriptCommand = 2;  // the load leaves every text empty
    testmap::MapSpec spec;
    spec.nodes = {MapCall(-2, -3), testmap::MakeNode(-3, -1, 2, 9, -4, 0, std::string("\0\0", 2)),
                  testmap::MakeNode(-4, -1, 9, 9, -1, -1, "words")};
    Load(spec);
    EXPECT_EQ(ScriptTreeExtract(state, -2, "h"), "h (  \"\")\n");
    EXPECT_EQ(Print(2, -2, "h"), "h ( " + std::string(1, '\0') + " \"words\")\n");
    EXPECT_EQ(state.SyntaxCache[3].Command, "words");
}

// ---- Node texts read from the map while printing ----

class OnDemandTest : public DecompilerTest {
protected:
    void SetUp() override {
        DecompilerTest::SetUp();
        std::ofstream(path, std::ios::binary).write("begin\0\0\0\0xyz\0tail", 17);
        state.f = path;
        Prefernces::ScriptCommand = 2;
    }

    Syntax Text(int32_t identity, int32_t textOffset, int32_t sibling = 0) {
        Syntax node = Value(identity, "held", 0, sibling);
        node.ScriptTableOffset = textOffset;
        return node;
    }

    std::string path = dir.File("texts.map");
};

TEST_F(OnDemandTest, EachPrintedNodeReadsItsTextNowAndKeepsIt) {
    const std::vector<std::pair<int32_t, std::string>> cases = {
        {0, "begin"},
        {6, std::string(1, '\0')},  // the first byte is taken even when zero
        {8, std::string("\0xyz", 4)},
        {13, "tail"},
        {17, ""},
        {-5, ""},
        {1 << 30, ""},
    };
    for (const auto& [offset, text] : cases) {
        state.SyntaxCache.clear();
        Add(Text(-2, offset));
        EXPECT_EQ(Print(2, -2), " " + text) << offset;
        EXPECT_EQ(state.SyntaxCache[0].Command, text) << offset;
    }
    for (std::optional<std::string> map :
         {std::optional<std::string>(), std::optional(path + "x")}) {
        state.f = map;
        state.SyntaxCache[0].Command = "held";
        EXPECT_EQ(Print(2, -2), " ");
        EXPECT_EQ(state.SyntaxCache[0].Command, "");
    }
}

TEST_F(OnDemandTest, TextsReadWhilePrintingCountAgainstTheReadBudget) {
    constexpr int32_t kLongest = 4096;  // the longest text a map gives
    std::ofstream(path, std::ios::binary) << std::string(kLongest, 'a') << '\0';
    const auto fit = static_cast<int32_t>(kPrintReadBudget / kLongest);
    // Calls print no text of their own: only the reads grow.
    std::string calls;
    for (int32_t i = 0; i < fit + 3; ++i) {
        Syntax call = Call(-2 - i, -1, -3 - i);
        call.ScriptTableOffset = 0;
        Add(call);
        calls += i < fit ? " (" : "";
    }
    EXPECT_EQ(Print(2, -2), calls + OverBudget(-2 - fit));
    EXPECT_EQ(state.SyntaxCache[static_cast<size_t>(fit - 1)].Command, std::string(kLongest, 'a'));
    EXPECT_EQ(state.SyntaxCache[static_cast<size_t>(fit)].Command, "call");
}

// The order walk's first child line shows the text its record holds; the walks without settings
// read no text, tag nothing and choose no style.
TEST_F(OnDemandTest, FirstChildLineAndPlainWalksShowTheTextsTheRecordsHold) {
    Add(Text(-2, 0, -3));
    Add(Text(-3, 0));
    const int32_t root = Add(Call(-4, -2));
    Prefernces::SyntaxTag = true;
    Prefernces::DecompStyle = 3;
    state.LoadedSyntax = 2;
    EXPECT_EQ(ScriptTreeExtract(state, -4, "h"), "h ( held held");
    RecordingSink field;
    DecompileScript(state, root, field);
    EXPECT_EQ(field.pieces, (Pieces{"\n(held\n", " held", "))"}));
    EXPECT_EQ(state.SyntaxCache[1].Command, "held");
    EXPECT_EQ(state.LoadedSyntax, 2);
    EXPECT_TRUE(messages.messages.empty());

    Prefernces::SyntaxTag = false;
    Show(-4);
    EXPECT_EQ(Print(1, -4), "(held\n begin");
    EXPECT_EQ(state.SyntaxCache[0].Command, "held");
}

// A style saved at a read's yield applies from the next descent on: style 3 descents return
// the empty text, which the floating text then continues from.
TEST_F(OnDemandTest, OnlyStylesOneAndTwoPrintAndEveryDescentChoosesTheStyleAgain) {
    Add(Call(-2, -3, -4));  // its text is "begin", at offset 0
    Add(Text(-3, 0));
    Add(Text(-4, 0));
    for (int32_t style : {3, 0, 4, -1}) {
        EXPECT_EQ(Print(style, -2, "h"), "");  // not even the header
        EXPECT_TRUE(Stream(style, -2).empty());
    }
    EXPECT_EQ(messages.messages, (Pieces{kNotImplemented, kNotImplemented}));
    platform::SetYieldHook([] { Prefernces::DecompStyle = 3; });
    EXPECT_EQ(Print(2, -2, "h"), "");
    EXPECT_EQ(messages.messages.size(), 4u);
    EXPECT_EQ(Stream(2, -2), Pieces{" ("});
    EXPECT_EQ(messages.messages.size(), 6u);
}

}  // namespace
