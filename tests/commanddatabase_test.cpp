// The command database listing, on node caches laid out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HandState.h"
#include "extraction/CommandDatabase.h"

namespace {

Syntax Command(std::string name, int32_t engine, int32_t expType = 9, int32_t valueType = 2) {
    return handstate::Node(0, expType, valueType, std::move(name), -1, -1, 0, engine);
}

std::string Line(const std::string& name, int32_t identity) {
    return "CommandDictionary.value(\"" + name + "\") = " + std::to_string(identity) + "\n";
}

TEST(CommandDatabaseTest, ListsANameEachTimeItComesWithAnotherIdentity) {
    struct Case {
        std::vector<Syntax> nodes;
        std::string text;
    };
    const std::vector<Case> cases = {
        {{Command("sleep", 5), Command("sleep", 7), Command("sleep", 5)},
         Line("sleep", 5) + Line("sleep", 5) + Line("sleep", 7)},
        {{Command("sleep", 5), Command("sleep", 5), Command("sleep", 5)}, Line("sleep", 5)},
        // -100 is what a name never listed looks up as.
        {{Command("odd", -100)}, ""},
        {{Command("odd", 3), Command("odd", -100)}, Line("odd", -100) + Line("odd", 3)},
        // -1 sorts first; equal identities keep the order they were found in.
        {{Command("b", 4), Command("a", 4), Command("none", -1)},
         Line("none", -1) + Line("b", 4) + Line("a", 4)},
        // Only values (9) naming functions (2) count; texts never read list as the empty name.
        {{Command("call", 1, 8), Command("short", 1, 9, 7), Command("", 6)}, Line("", 6)},
        // Names are bytes: letter case makes another name; quotes are not escaped.
        {{Command("Sleep", 5), Command("sleep", 5), Command("a\"b", 2)},
         Line("a\"b", 2) + Line("Sleep", 5) + Line("sleep", 5)},
    };
    for (const Case& c : cases) {
        const CommandListing listing = BuildCommandDatabase(c.nodes);
        EXPECT_EQ(listing.text, c.text);
        EXPECT_EQ(listing.processed, static_cast<int32_t>(c.nodes.size()));
        EXPECT_EQ(listing.added, std::count(c.text.begin(), c.text.end(), '\n'));
    }
}

// Past a handful of entries a sort that is not stable mixes up equal identities.
TEST(CommandDatabaseTest, EqualIdentitiesKeepTheirOrderInALongListingAndItsSummary) {
    std::vector<Syntax> nodes;
    std::string text;
    for (char name = 'z'; name >= 'a'; --name) {
        nodes.push_back(Command(std::string(1, name), 4));
        text += Line(std::string(1, name), 4);
    }
    nodes.push_back(Command("first", 3));
    const CommandListing listing = BuildCommandDatabase(nodes);
    EXPECT_EQ(listing.text, Line("first", 3) + text);
    EXPECT_EQ(CommandDatabaseSummary(listing, 90),
              "27 proccessed, and 27 were added. This took 1.5 seconds");
}

}  // namespace
