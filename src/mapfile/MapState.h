#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "mapfile/Records.h"

using NameIndex = std::unordered_map<std::string, int32_t>;
using IdentityIndex = std::unordered_map<int32_t, int32_t>;
// Engine identity to command name. Identities from either source are held as doubles: an
// integer identity converts exactly, so one key kind answers both lookups alike.
using EngineCommandTable = std::unordered_map<double, std::string>;

// The open map as the main window holds it. The dictionaries, Scenario, f and the shown records
// are absent until the first load.
struct MapState {
    std::optional<std::string> f;  // path of the open map
    int32_t magic = 0;
    std::optional<Tag> Scenario;

    std::vector<ScriptHeader> ScriptHeaderCache;
    std::vector<GlobalHeader> GlobalHeaderCache;
    std::vector<Syntax> SyntaxCache;

    std::optional<NameIndex> ScriptsByName;
    std::optional<NameIndex> GlobalsByName;
    std::optional<IdentityIndex> SyntaxByIdentity;
    std::optional<NameIndex> SyntaxByIdentityStr;
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
    auto it = map->find(key);
    return it == map->end() ? fallback : it->second;
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
