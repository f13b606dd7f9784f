// The printing rules on states filled by hand: each test lays out exactly the records it needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "HandState.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "decompiler/Decompiler.h"
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

    MapState state;
    testmap::MessageRecorder messages;
};

TEST_F(DecompilerTest, OnlyStylesOneAndTwoPrintAndThreeSaysSo) {
    Add(Value(-2, "begin"));
    EXPECT_EQ(Print(3, -2, "(script startup a\n"), "");  // not even the header
    EXPECT_TRUE(Stream(3, -2).empty());
    EXPECT_EQ(messages.messages, (Pieces{kNotImplemented, kNotImplemented}));
    for (int32_t style : {0, 4, -1}) {
        EXPECT_EQ(Print(style, -2, "(script startup a\n"), "");
        EXPECT_TRUE(Stream(style, -2).empty());
    }
    EXPECT_EQ(messages.messages.size(), 2u);
}

// References 0 are neither followed nor closed on, so these print the node text alone.
TEST_F(DecompilerTest, ValueRules) {
    struct Case {
        int32_t valueType, value;
        std::string text, printed, plainOrder;
    };
    const std::vector<Case> cases = {
        {5, -255, "flag", " true", " true"},    {5, -256, "flag", " false", " false"},
        {5, 1, "flag", " flag", " flag"},       {6, 4464, "x", " 4464", " 4464"},
        {7, -32768, "x", " -32768", " -32768"}, {8, 0, "x", " 0", " 0"},
        {9, 0, "a b", " \"a b\"", " a b"},      {9, 0, "", " \"\"", " "},
        {2, -255, "sleep", " sleep", " sleep"}, {37, 0, "marine", " marine", " marine"},
    };
    for (const Case& c : cases) {
        const Printed printed = PrintAlone(Node(0, 9, c.valueType, c.text, 0, 0, c.value));
        EXPECT_EQ(printed.order, c.printed) << c.printed;
        EXPECT_EQ(printed.tree, c.printed) << c.printed;
        EXPECT_EQ(printed.plainTree, c.printed) << c.printed;
        EXPECT_EQ(printed.plainOrder, c.plainOrder) << c.printed;
    }
}

TEST_F(DecompilerTest, NodeTextTable) {
    struct Case {
        int32_t expType, engine;
        std::string order, tree, plainOrder;
    };
    // A boolean true named "name": the value rules print " true".
    const std::vector<Case> cases = {
        {9, 0, " true", " true", " true"},  {9, -1, " name", " true", " true"},
        {13, 0, " name", " true", " true"}, {8, 0, "(", " (", "("},
        {8, -1, " name", " (", "("},        {10, 0, "(", "", " true"},
        {0, 0, " true", "", " true"},
    };
    for (const Case& c : cases) {
        Syntax node = Node(0, c.expType, 5, "name", 0, 0, -255);
        node.EngineIdentity = c.engine;
        const Printed printed = PrintAlone(node);
        EXPECT_EQ(printed.order, c.order) << c.expType << " " << c.engine;
        EXPECT_EQ(printed.tree, c.tree) << c.expType << " " << c.engine;
        EXPECT_EQ(printed.plainOrder, c.plainOrder) << c.expType << " " << c.engine;
    }
}

TEST_F(DecompilerTest, ClosingRulesActOnValuesOnly) {
    struct Case {
        int32_t expType, kid, sibling;
        std::string order, tree;
    };
    const std::vector<Case> cases = {
        {9, -1, -1, " v))\n", " v)\n"}, {9, 5, -1, " v)", " v)\n"}, {9, -1, 5, " v)\n", " v)"},
        {9, 0, 5, " v", " v"},          {13, -1, -1, " v", " v"},
    };
    for (const Case& c : cases) {
        const Printed printed = PrintAlone(Node(0, c.expType, 2, "v", c.kid, c.sibling));
        EXPECT_EQ(printed.order, c.order) << c.expType << " " << c.kid << " " << c.sibling;
        EXPECT_EQ(printed.tree, c.tree) << c.expType << " " << c.kid << " " << c.sibling;
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

// ---- Order walk ----

// 0 first child "begin", 1-3 a call with a name and a value, 4 a record of no tree of this
// script, 5 the root.
int yields = 0;

class OrderWalkTest : public DecompilerTest {
protected:
    void Lay(int32_t firstExpType) {
        Add(Node(-10, firstExpType, 2, "begin", -1, -11));
        Add(Call(-11, -12));
        Add(Value(-12, "sleep", 0, -13));
        Add(Node(-13, 9, 7, "", 0, -1, 30));
        Add(Value(-20, "elsewhere"));
        Add(Call(-14, -10));
        Show(-14);
    }
};

TEST_F(OrderWalkTest, PrintsTheFirstChildLineThenTheRecordsBeforeTheRootInCacheOrder) {
    Lay(9);
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

TEST_F(OrderWalkTest, RangeBoundsComeFromLookupsThatDefaultToPositionZero) {
    Lay(8);  // not printed, but its sibling still starts the range
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

TEST_F(OrderWalkTest, NothingOutsideTheCachesIsRead) {
    Lay(9);
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

// ---- Tree walk ----

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
    const std::string shared = " x) y)\n";
    const std::string expected = " ( v" + shared + " (" + shared;
    EXPECT_EQ(Print(2, -2), expected);
    EXPECT_EQ(Join(Stream(2, -2)), expected);
    EXPECT_EQ(ScriptTreeExtract(state, -2, ""), expected);

    Prefernces::SyntaxTag = true;
    const Pieces sharedTagged = {" <-5>", " x", " </-5>\n", ")", " <-6>", " y", " </-6>\n", ")\n"};
    Pieces tagged = {" <-2>", " (", " </-2>\n", " <-3>", " v", " </-3>\n"};
    tagged.insert(tagged.end(), sharedTagged.begin(), sharedTagged.end());
    tagged.insert(tagged.end(), {" <-4>", " (", " </-4>\n"});
    tagged.insert(tagged.end(), sharedTagged.begin(), sharedTagged.end());
    EXPECT_EQ(Stream(2, -2), tagged);
    EXPECT_EQ(Print(2, -2), Join(tagged));
    EXPECT_EQ(ScriptTreeExtract(state, -2, ""), expected);  // reads no setting
}

// Each node's child and its sibling are the next node: 2^24 visits, none of which prints a thing.
TEST_F(DecompilerTest, ChainedSharedSubtreesEndAtTheVisitBudget) {
    constexpr int32_t kChain = 24;
    for (int32_t i = 0; i < kChain; ++i) {
        const int32_t next = i + 1 < kChain ? -3 - i : -1;
        Add(Node(-2 - i, 10, 0, "", next, next));
    }
    const std::regex onlyTheMarker("\n\n //--// -[0-9]+ print too long\\\\\\\\--\\\\\\\\\n\n");
    EXPECT_TRUE(std::regex_match(Print(2, -2), onlyTheMarker)) << Print(2, -2);
    const Pieces streamed = Stream(2, -2);
    ASSERT_EQ(streamed.size(), 1u);
    EXPECT_TRUE(std::regex_match(streamed[0], onlyTheMarker));
    EXPECT_TRUE(std::regex_match(ScriptTreeExtract(state, -2, ""), onlyTheMarker));
}

TEST_F(DecompilerTest, EveryWalkEndsWithItsMarkerOnceItHasPrintedItsTextBudget) {
    const std::string big(static_cast<size_t>(kPrintTextBudget), 'x');
    Add(Call(-2, -3, -5));
    Add(Value(-3, big, -1, -4));
    Add(Value(-4, "after"));
    Add(Value(-5, "never"));
    const std::string tree = " ( " + big + ")" + OverBudget(-4);
    EXPECT_EQ(Print(2, -2, "h"), "h" + tree);
    const Pieces streamed = Stream(2, -2);
    EXPECT_EQ(Join(streamed), tree);
    EXPECT_EQ(streamed.back(), OverBudget(-4));
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

// ---- Node texts read from the map while printing ----

class OnDemandTest : public DecompilerTest {
protected:
    void SetUp() override {
        DecompilerTest::SetUp();
        std::ofstream(path, std::ios::binary).write("begin\0\0\0\0xyz\0tail", 17);
        state.f = path;
        Prefernces::ScriptCommand = 2;
    }

    Syntax Text(int32_t identity, int32_t textOffset, std::string held = "held") {
        Syntax node = Value(identity, std::move(held), 0, 0);
        node.ScriptTableOffset = textOffset;
        return node;
    }

    testmap::TempDir dir;
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
    for (int32_t i = 0; i < fit + 3; ++i) {
        Syntax call = Call(-2 - i, -1, -3 - i);
        call.ScriptTableOffset = 0;
        call.Command = "held";
        Add(call);
    }
    std::string calls;
    for (int32_t i = 0; i < fit; ++i) {
        calls += " (";
    }
    EXPECT_EQ(Print(2, -2), calls + OverBudget(-2 - fit));
    EXPECT_EQ(state.SyntaxCache[static_cast<size_t>(fit - 1)].Command, std::string(kLongest, 'a'));
    EXPECT_EQ(state.SyntaxCache[static_cast<size_t>(fit)].Command, "held");

    // The order walk prints from the first child's sibling on.
    Add(Call(-1000, -2));
    Show(-1000);
    calls.resize(static_cast<size_t>(fit));
    std::fill(calls.begin(), calls.end(), '(');
    EXPECT_EQ(Join(Stream(1, -1000)), calls + OverBudget(-3 - fit));
}

TEST_F(OnDemandTest, OrderWalkFirstChildLineShowsTheTextItHolds) {
    Syntax first = Text(-2, 0);
    first.SibExpPointer = -3;
    Add(first);
    Add(Text(-3, 0));
    Add(Call(-4, -2));
    Show(-4);
    EXPECT_EQ(Print(1, -4), "(held\n begin");
    EXPECT_EQ(state.SyntaxCache[0].Command, "held");
}

TEST_F(OnDemandTest, PlainWalksReadNoSetting) {
    Prefernces::SyntaxTag = true;
    Prefernces::DecompStyle = 3;
    Syntax first = Text(-2, 0);
    first.SibExpPointer = -3;
    Add(first);
    Add(Text(-3, 0));
    const int32_t root = Add(Call(-4, -2));
    state.LoadedSyntax = 2;
    EXPECT_EQ(ScriptTreeExtract(state, -4, "h"), "h ( held held");
    RecordingSink field;
    DecompileScript(state, root, field);
    EXPECT_EQ(field.pieces, (Pieces{"\n(held\n", " held", "))"}));
    EXPECT_EQ(state.SyntaxCache[1].Command, "held");
    EXPECT_EQ(state.LoadedSyntax, 2);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(OnDemandTest, EveryDescentChoosesTheStyleAgain) {
    // A style saved at a read's yield applies from the next descent on: style 3 descents
    // return the empty text, which the floating text then continues from.
    Add(Call(-2, -3, -4));  // its text is "begin", at offset 0
    Add(Text(-3, 0));
    Add(Text(-4, 0));
    platform::SetYieldHook([] { Prefernces::DecompStyle = 3; });
    EXPECT_EQ(Print(2, -2, "h"), "");
    EXPECT_EQ(messages.messages, (Pieces{kNotImplemented, kNotImplemented}));
    EXPECT_EQ(Stream(2, -2), Pieces{" ("});
    EXPECT_EQ(messages.messages.size(), 4u);
}

}  // namespace
