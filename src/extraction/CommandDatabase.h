#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mapfile/Records.h"
#include "platform/Hooks.h"

// The engine command names and identities found in a map's syntax nodes, listed as assignment
// lines sorted by identity.
struct CommandListing {
    std::string text;
    int32_t processed = 0;  // nodes looked at
    int32_t added = 0;      // pairs listed
};

// Takes, in cache order, every node of expression type 9 and value type 2 whose text was not
// last listed with the node's identity; lists each taken pair as
// `CommandDictionary.value("name") = id` and a line end, sorted by identity, pairs with one
// identity in the order they were taken. Names are compared byte for byte: two texts that
// differ only in letter case are two names, as the map holds two texts. Each line also goes to
// `lines` as it is made. Yields once per node and once per line.
CommandListing BuildCommandDatabase(const std::vector<Syntax>& nodes,
                                    platform::TextSink* lines = nullptr);

// "N proccessed, and M were added. This took S seconds" for a run that took `ticks`.
std::string CommandDatabaseSummary(const CommandListing& listing, int64_t ticks);
