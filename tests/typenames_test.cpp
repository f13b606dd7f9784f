#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "mainwindow/TypeNames.h"

TEST(TypeNames, ScriptTypesByCode) {
    EXPECT_EQ(ScriptTypeNames.size(), 5u);
    EXPECT_EQ(ScriptTypeNames[0], "startup");
    EXPECT_EQ(ScriptTypeNames[2], "continuous");
    EXPECT_EQ(ScriptTypeNames[4], "stub");
}

TEST(TypeNames, ValueTypesByCodeEachOnce) {
    EXPECT_EQ(ValueTypeNames.size(), 49u);
    EXPECT_EQ(ValueTypeNames[0], "unparsed");
    EXPECT_EQ(ValueTypeNames[1], "special form");
    EXPECT_EQ(ValueTypeNames[5], "boolean");
    EXPECT_EQ(ValueTypeNames[10], "script");
    EXPECT_EQ(ValueTypeNames[13], "cutscene_camera_point");
    EXPECT_EQ(ValueTypeNames[37], "object");
    EXPECT_EQ(ValueTypeNames[43], "object_name");
    EXPECT_EQ(ValueTypeNames[48], "scenery_name");
    const std::set<std::string_view> distinct(ValueTypeNames.begin(), ValueTypeNames.end());
    EXPECT_EQ(distinct.size(), ValueTypeNames.size());
}
