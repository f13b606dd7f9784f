#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "mapfile/IdentityMap.h"
#include "mapfile/Records.h"
#include "platform/FileIdentity.h"

using NameIndex = std::unordered_map<std::string, int32_t>;
using IdentityIndex = IdentityMap;
// Engine identity to command name. Identities from either source are held as doubles: an
// integer identity converts exactly, so one key kind answers both lookups alike.
// Nodes by the decimal text of their identity. Every key is the canonical decimal text of a
// number (as Str gives it), so the index keeps the numbers and a text finds an entry exactly
// when it is the canonical text of a number held.
class IdentityTextIndex {
public:
    // Sets the key Str(identity).
    void Set(int32_t identity, int32_t index) { entries_[identity] = index; }
    int32_t Lookup(std::string_view text, int32_t fallback) const;
    int32_t at(std::string_view text) const;
    bool contains(std::string_view text) const;
    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

private:
    IdentityMap entries_;
};

using EngineCommandTable = std::unordered_map<double, std::string>;

// The open map as the main window holds it. The dictionaries, Scenario, f and the shown records
// are absent until the first load.
struct MapState {
    std::optional<std::string> f;  // path of the open map
    // The open map as the last load read it and our own writes since left it; a write goes
    // only into that file (MapWriting.h).
    std::optional<platform::FileIdentity> fIdentity;
    int32_t magic = 0;
    std::optional<Tag> Scenario;

    std::vector<ScriptHeader> ScriptHeaderCache;
    std::vector<GlobalHeader> GlobalHeaderCache;
    std::vector<Syntax> SyntaxCache;

    std::optional<NameIndex> ScriptsByName;
    std::optional<NameIndex> GlobalsByName;
    std::optional<IdentityIndex> SyntaxByIdentity;
    std::optional<IdentityTextIndex> SyntaxByIdentityStr;
    std::optional<EngineCommandTable> CommandsByEngine;

    int32_t ScriptTableOuter = 0;

    // The records shown on the pages, as positions in their caches. Every accepted load
    // clears them, so a record of one map is never taken for a record of the next.
    std::optional<int32_t> LoadedScript;
    std::optional<int32_t> LoadedGlobal;
    std::optional<int32_t> LoadedSyntax;

    std::vector<std::string> MapNames;
    bool FileOpened = false;

    // Counts accepted loads; a record shown under one count belongs to that load's map.
    uint64_t LoadCount = 0;
};

// Dictionary lookup with a default for an absent key or an absent dictionary.
template <typename Map, typename Key>
int32_t Lookup(const std::optional<Map>& map, const Key& key, int32_t fallback) {
    if (!map) {
        return fallback;
    }
    if constexpr (requires { map->Lookup(key, fallback); }) {
        return map->Lookup(key, fallback);
    } else {
        auto it = map->find(key);
        return it == map->end() ? fallback : it->second;
    }
}

// The record at a cache position, or null when the position lies outside the cache.
template <typename Record>
const Record* At(const std::vector<Record>& cache, int64_t position) {
    if (position < 0 || position >= static_cast<int64_t>(cache.size())) {
        return nullptr;
    }
    return &cache[static_cast<size_t>(position)];
}

template <typename Record>
Record* At(std::vector<Record>& cache, int64_t position) {
    if (position < 0 || position >= static_cast<int64_t>(cache.size())) {
        return nullptr;
    }
    return &cache[static_cast<size_t>(position)];
}
