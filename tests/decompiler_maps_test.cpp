// Printing maps read from files laid out by the map builder: texts read while printing, and
// maps no script should hold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MapBuilder.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "decompiler/Decompiler.h"
#include "mapfile/MapReader.h"
#include "platform/Hooks.h"
#include "preferences/Prefernces.h"

using testmap::MapSpec;
using testmap::Node;

namespace {

class RecordingSink : public platform::TextSink {
public:
    void AppendText(const std::string& piece) override { text += piece; }
    std::string text;
};

Node ValueNode(int16_t identity, int16_t valueType, std::string text, int16_t sibling = -1) {
    Node node;
    node.identity = identity;
    node.engine = -1;
    node.expType = 9;
    node.valueType = valueType;
    node.text = std::move(text);
    node.sibling = sibling;
    return node;
}

Node CallNode(int16_t identity, int16_t kid, int16_t sibling = -1) {
    Node node;
    node.identity = identity;
    node.engine = 3;
    node.expType = 8;
    node.valueType = 4;
    node.text = "call";
    node.kid = kid;
    node.sibling = sibling;
    return node;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

class DecompilerMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        Prefernces::ResetToDefaults();
        platform::SetYieldHook(nullptr);
    }
    void TearDown() override { Prefernces::ResetToDefaults(); }

    void Load(const MapSpec& spec) {
        const std::string path = dir.File("test.map");
        ASSERT_TRUE(testmap::Build(spec).Save(path));
        state = MapState();
        ASSERT_EQ(OpenMap(state, path).result, LoadResult::Loaded);
    }

    std::string Print(int32_t style, int32_t identity, const std::string& header = "") {
        Prefernces::DecompStyle = style;
        return ExtractScriptFloating(state, identity, header);
    }

    std::string Stream(int32_t style, int32_t identity) {
        Prefernces::DecompStyle = style;
        RecordingSink sink;
        ExtractScriptConstant(state, identity, sink);
        return sink.text;
    }

    testmap::TempDir dir;
    testmap::MessageRecorder messages;
    MapState state;
};

TEST_F(DecompilerMapTest, OnDemandTextsOfAFreshLoadAreReadWhilePrinting) {
    Prefernces::ScriptCommand = 2;  // the load leaves every text empty
    MapSpec spec;
    spec.nodes = {CallNode(-2, -3), ValueNode(-3, 2, std::string("\0\0", 2), -4),
                  ValueNode(-4, 9, "words")};
    spec.nodes[1].kid = 0;
    Load(spec);
    EXPECT_EQ(ScriptTreeExtract(state, -2, "h"), "h (  \"\")\n");
    EXPECT_EQ(Print(2, -2, "h"), "h ( " + std::string(1, '\0') + " \"words\")\n");
    EXPECT_EQ(state.SyntaxCache[3].Command, "words");
    state.SyntaxCache[3].Command.clear();
    Prefernces::SyntaxTag = true;
    EXPECT_EQ(Stream(2, -2), " <-2> ( </-2>\n <-3> " + std::string(1, '\0') +
                                 " </-3>\n <-4> \"words\" </-4>\n)\n");
    EXPECT_EQ(state.SyntaxCache[3].Command, "words");
}

// ---- Maps no compiler would write ----

TEST_F(DecompilerMapTest, ThirtyThousandNodeChainsPrintWhole) {
    constexpr int kNodes = 30000;
    const auto id = [](int i) { return static_cast<int16_t>(i); };
    MapSpec children;  // each call the only child of the one before
    for (int i = 0; i < kNodes - 1; ++i) {
        children.nodes.push_back(CallNode(id(-2 - i), id(-3 - i)));
    }
    children.nodes.push_back(ValueNode(id(-1 - kNodes), 2, "deepest"));
    Load(children);
    const std::string deep = Print(2, -2);
    EXPECT_EQ(Count(deep, " ("), static_cast<size_t>(kNodes - 1));
    EXPECT_EQ(deep.substr(deep.size() - 10), " deepest)\n");
    EXPECT_EQ(Stream(2, -2), deep);
    EXPECT_EQ(ScriptTreeExtract(state, -2, ""), deep);

    MapSpec siblings;  // one call whose arguments follow each other
    for (int i = 0; i < kNodes - 1; ++i) {
        siblings.nodes.push_back(ValueNode(id(-2 - i), 2, "v", i == kNodes - 2 ? -1 : id(-3 - i)));
    }
    siblings.nodes.push_back(CallNode(id(-1 - kNodes), -2));
    siblings.scripts = {{"chain", 0, 4, id(-1 - kNodes)}};
    Load(siblings);
    const std::string wide = Print(2, -1 - kNodes);
    EXPECT_EQ(Count(wide, " v"), static_cast<size_t>(kNodes - 1));
    EXPECT_EQ(Stream(2, -1 - kNodes), wide);
    state.LoadedScript = 0;
    const std::string order = Print(1, -1 - kNodes);
    EXPECT_EQ(Count(order, " v"), static_cast<size_t>(kNodes - 2));  // the first child is a line
    EXPECT_EQ(Stream(1, -1 - kNodes), order);
    RecordingSink field;
    DecompileScript(state, kNodes, field);
    EXPECT_EQ(Count(field.text, " v"), static_cast<size_t>(kNodes - 2));
}

// Maps that make one print huge: every walk ends at its budget, marked.
TEST_F(DecompilerMapTest, HostileMapsStopAtTheBudgetInEveryWalk) {
    const std::string marker = " print too long\\\\--\\\\\n\n";
    const auto endsAtTheBudget = [&](const std::string& text, int64_t budget) {
        return text.size() > marker.size() &&
               text.compare(text.size() - marker.size(), marker.size(), marker) == 0 &&
               Count(text, marker) == 1 && static_cast<int64_t>(text.size()) < budget + 8192;
    };

    // Thirty calls whose child and sibling are both the next call: 2^30 nodes to print.
    MapSpec shared;
    for (int16_t i = 0; i < 30; ++i) {
        const auto next = static_cast<int16_t>(i < 29 ? -3 - i : -1);
        shared.nodes.push_back(CallNode(static_cast<int16_t>(-2 - i), next, next));
    }
    Load(shared);
    for (bool tags : {false, true}) {
        Prefernces::SyntaxTag = tags;
        EXPECT_TRUE(endsAtTheBudget(Print(2, -2), kPrintTextBudget)) << tags;
        EXPECT_TRUE(endsAtTheBudget(Stream(2, -2), kPrintTextBudget)) << tags;
    }
    EXPECT_TRUE(endsAtTheBudget(ScriptTreeExtract(state, -2, ""), kPrintTextBudget));

    // 32 000 nodes whose text is one 4 KiB text, read while printing: the records keep about
    // one print's budget.
    Prefernces::ScriptCommand = 2;
    MapSpec texts;
    for (int i = 0; i < 32000; ++i) {
        Node node = CallNode(static_cast<int16_t>(-2 - i), -1,
                             static_cast<int16_t>(i < 31999 ? -3 - i : -1));
        node.text = i == 0 ? std::string(4096, 'a') : "";
        if (i > 0) {
            node.textOffset = 1;  // the first node's text, after record 0's empty one
        }
        texts.nodes.push_back(node);
    }
    texts.nodes.push_back(CallNode(-32002, -2));
    texts.scripts = {{"s", 0, 4, -32002}};
    Load(texts);
    state.LoadedScript = 0;
    const auto kept = [&] {
        int64_t bytes = 0;
        for (const Syntax& node : state.SyntaxCache) {
            bytes += static_cast<int64_t>(node.Command.size());
        }
        return bytes;
    };
    for (int32_t style : {1, 2}) {
        EXPECT_TRUE(endsAtTheBudget(Print(style, -32002), 64 * 1024)) << style;
        EXPECT_TRUE(endsAtTheBudget(Stream(style, -32002), 64 * 1024)) << style;
        EXPECT_LE(kept(), kPrintReadBudget + 8192) << style;  // and the text crossing it
    }
}

}  // namespace
