#include "extraction/CommandDatabase.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <unordered_map>

#include "extraction/Extraction.h"
#include "platform/Text.h"

namespace {

constexpr int32_t kValueExp = 9;
constexpr int32_t kFunctionName = 2;
constexpr int32_t kNotListed = -100;

struct Pair {
    int32_t identity;
    std::string_view name;
};

}  // namespace

CommandListing BuildCommandDatabase(const std::vector<Syntax>& nodes, platform::TextSink* lines) {
    CommandListing listing;
    std::unordered_map<std::string_view, int32_t> lastListed;
    std::vector<Pair> pairs;
    for (const Syntax& node : nodes) {
        if (node.ExpType == kValueExp) {
            auto found = lastListed.find(node.Command);
            const int32_t last = found == lastListed.end() ? kNotListed : found->second;
            if (last != node.EngineIdentity && node.ValueType == kFunctionName) {
                lastListed[node.Command] = node.EngineIdentity;
                pairs.push_back({node.EngineIdentity, node.Command});
            }
        }
        ++listing.processed;
        platform::Yield();
    }
    listing.added = static_cast<int32_t>(pairs.size());
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const Pair& a, const Pair& b) { return a.identity < b.identity; });
    std::string line;
    for (const Pair& pair : pairs) {
        line = "CommandDictionary.value(\"";
        line += pair.name;
        line += "\") = ";
        line += platform::Str(pair.identity);
        line += platform::EndOfLine;
        listing.text += line;
        if (lines != nullptr) {
            lines->AppendText(line);
        }
        platform::Yield();
    }
    return listing;
}

std::string CommandDatabaseSummary(const CommandListing& listing, int64_t ticks) {
    return platform::Str(listing.processed) + " proccessed, and " + platform::Str(listing.added) +
           " were added. This took " + platform::Str(TicksToSeconds(ticks)) + " seconds";
}
