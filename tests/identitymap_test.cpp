#include <gtest/gtest.h>

#include <map>
#include <random>

#include "mapfile/IdentityMap.h"

TEST(IdentityMap, AgreesWithAnOrderedMapOnRandomInsertsAndLookups) {
    IdentityMap flat;
    std::map<int32_t, int32_t> reference;
    std::mt19937 random(7);
    // Both sides of the 16-bit range, and keys well beyond it.
    std::uniform_int_distribution<int32_t> keys(-40000, 40000);
    for (int i = 0; i < 50000; ++i) {
        const int32_t key = i % 3 == 0 ? keys(random) : static_cast<int32_t>(random());
        flat[key] = i;
        reference[key] = i;
    }
    EXPECT_EQ(flat.size(), reference.size());
    for (const auto& [key, value] : reference) {
        ASSERT_TRUE(flat.contains(key));
        EXPECT_EQ(flat.at(key), value);
    }
    for (int i = 0; i < 1000; ++i) {
        const int32_t key = keys(random);
        EXPECT_EQ(flat.contains(key), reference.count(key) == 1);
        EXPECT_EQ(flat.Lookup(key, -7), reference.count(key) == 1 ? reference[key] : -7);
    }
}

TEST(IdentityMap, EmptyMapFindsNothingAndLaterValuesReplaceEarlierOnes) {
    IdentityMap map;
    EXPECT_EQ(map.Lookup(0, -1), -1);
    EXPECT_THROW(map.at(1), std::out_of_range);
    map[-2] = 1;
    map[-2] = 5;
    EXPECT_EQ(map.at(-2), 5);
    EXPECT_EQ(map.size(), 1u);
}
