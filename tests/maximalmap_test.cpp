#include <gtest/gtest.h>

#include "MapBuilder.h"
#include "TempDir.h"
#include "mapfile/MapReader.h"
#include "preferences/Prefernces.h"

namespace {

// The benchmarks measure the largest map the format allows; it must be what they claim.
TEST(MaximalMap, FillsTheFormatAndLaysEveryScriptOutForTheOrderWalk) {
    Prefernces::ResetToDefaults();
    testmap::TempDir dir;
    const testmap::BuiltMap map = testmap::Build(testmap::MaximalMap());
    ASSERT_TRUE(map.Save(dir.File("max.map")));
    MapState state;
    ASSERT_EQ(OpenMap(state, dir.File("max.map")).result, LoadResult::Loaded);
    EXPECT_EQ(state.SyntaxCache.size(), 32768u);
    EXPECT_EQ(state.ScriptHeaderCache.size(), 4000u);
    EXPECT_EQ(state.GlobalHeaderCache.size(), 4000u);
    const size_t texts = map.bytes.size() - static_cast<size_t>(map.stringDataOffset);
    EXPECT_GT(texts, 900u * 1024u);
    EXPECT_LT(texts, 1400u * 1024u);
    for (const ScriptHeader& script : state.ScriptHeaderCache) {
        const int32_t root = state.SyntaxByIdentity->at(script.ExpPointer);
        const Syntax& rootNode = state.SyntaxCache[static_cast<size_t>(root)];
        const int32_t first = state.SyntaxByIdentity->at(rootNode.KidExpPointer);
        const int32_t body = state.SyntaxByIdentity->at(
            state.SyntaxCache[static_cast<size_t>(first)].SibExpPointer);
        ASSERT_EQ(body, first + 1) << script.Name;
        ASSERT_LT(body, root) << script.Name;
    }
}

}  // namespace
