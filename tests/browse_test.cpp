#include <gtest/gtest.h>

#include "mainwindow/BrowseRows.h"

namespace {

// A state laid out by hand: node positions are what the browse list works from.
MapState ThreeNodeScriptState() {
    MapState state;
    state.ScriptHeaderCache = {{"main", 0, 4, -10, 0}, {"other", 1, 4, -99, 92}};
    state.GlobalHeaderCache = {{"flag", 5, -12, 200}, {"none", 7, -1, 292}};
    state.ScriptsByName = NameIndex{{"main", 0}, {"other", 1}};
    state.GlobalsByName = NameIndex{{"flag", 0}, {"none", 1}};
    // Positions: 0 first child, 1..3 body, 4 root.
    const int32_t identities[] = {-20, -21, -22, -23, -10};
    state.SyntaxByIdentity.emplace();
    for (int32_t i = 0; i < 5; ++i) {
        Syntax node;
        node.ExpIdentity = identities[i];
        node.SibExpPointer = -1;
        node.KidExpPointer = -1;
        state.SyntaxCache.push_back(node);
        (*state.SyntaxByIdentity)[identities[i]] = i;
    }
    state.SyntaxCache[4].KidExpPointer = -20;  // root's first child
    state.SyntaxCache[0].SibExpPointer = -21;  // the body starts at position 1
    return state;
}

TEST(ClassifyRow, DispatchesOnThePieceBeforeTheFirstSeparator) {
    EXPECT_EQ(ClassifyRow("").kind, RowKind::None);
    EXPECT_EQ(ClassifyRow("scripts").kind, RowKind::Folder);
    EXPECT_EQ(ClassifyRow("GLOBALS").kind, RowKind::Folder);
    RowRef script = ClassifyRow("s: intro");
    EXPECT_EQ(script.kind, RowKind::Script);
    EXPECT_EQ(script.key, "intro");
    RowRef global = ClassifyRow("g: a: b");
    EXPECT_EQ(global.kind, RowKind::Global);
    EXPECT_EQ(global.key, "a");  // a name with ": " is looked up by its first part
    EXPECT_EQ(ClassifyRow("S: x").kind, RowKind::Script);
    EXPECT_EQ(ClassifyRow("s").key, "");
    RowRef node = ClassifyRow("-32768");
    EXPECT_EQ(node.kind, RowKind::Syntax);
    EXPECT_EQ(node.key, "-32768");
    EXPECT_EQ(ClassifyRow("s:x").kind, RowKind::Syntax);
}

TEST(ExpandRow, FoldersListEveryRecordInCacheOrderAndAGlobalItsValueNode) {
    MapState state = ThreeNodeScriptState();
    RowChildren scripts = ExpandRow(state, "scripts");
    EXPECT_TRUE(scripts.folders);
    EXPECT_EQ(scripts.rows, (std::vector<std::string>{"s: main", "s: other"}));
    RowChildren globals = ExpandRow(state, "Globals");
    EXPECT_EQ(globals.rows, (std::vector<std::string>{"g: flag", "g: none"}));
    EXPECT_FALSE(globals.message);
    EXPECT_EQ(ExpandRow(state, "g: flag").rows, std::vector<std::string>{"-12"});
    EXPECT_EQ(ExpandRow(state, "g: none").rows, std::vector<std::string>{"-1"});  // none there
    RowChildren other = ExpandRow(state, "x: y");
    EXPECT_TRUE(other.rows.empty());
    EXPECT_EQ(other.message, "i dont know what you did but this isnt a global or a script?!");
}

// 2 + (r - j0) rows: the root, its first child, then the cache from j0 (the position of that
// child's sibling) up to r (the root's). A missing lookup keeps the rows before it.
TEST(ExpandRow, ScriptRowListsRootFirstChildAndTheStretchBeforeTheRoot) {
    MapState state = ThreeNodeScriptState();
    RowChildren rows = ExpandRow(state, "s: main");
    EXPECT_FALSE(rows.folders);
    EXPECT_EQ(rows.rows, (std::vector<std::string>{"-10", "-20", "-21", "-22", "-23"}));
    state.SyntaxCache[0].SibExpPointer = -10;  // j0 = r
    EXPECT_EQ(ExpandRow(state, "s: main").rows, (std::vector<std::string>{"-10", "-20"}));
    state.SyntaxCache[0].SibExpPointer = -1;  // no sibling: j0 would be -1
    EXPECT_EQ(ExpandRow(state, "s: main").rows, (std::vector<std::string>{"-10", "-20"}));
    state.SyntaxCache[4].KidExpPointer = -77;
    EXPECT_EQ(ExpandRow(state, "s: main").rows, std::vector<std::string>{"-10"});   // no child
    EXPECT_EQ(ExpandRow(state, "s: other").rows, std::vector<std::string>{"-99"});  // no root
    EXPECT_TRUE(ExpandRow(state, "s: nobody").rows.empty());
    MapState empty;
    EXPECT_TRUE(ExpandRow(empty, "s: main").rows.empty());
    EXPECT_TRUE(ExpandRow(empty, "g: flag").rows.empty());

    // Of two scripts with one name, the row expands to the one the dictionary holds.
    state.ScriptHeaderCache[1].Name = "main";
    (*state.ScriptsByName)["main"] = 1;
    EXPECT_EQ(ExpandRow(state, "scripts").rows, (std::vector<std::string>{"s: main", "s: main"}));
    EXPECT_EQ(ExpandRow(state, "s: main").rows, std::vector<std::string>{"-99"});
}

}  // namespace
