#pragma once

#include <string>

#include "MapBuilder.h"
#include "TempDir.h"
#include "mapfile/MapReader.h"
#include "preferences/Prefernces.h"

// The largest map the format allows, written once and loaded with the default settings.
inline MapState& LoadedMaximalMap() {
    static testmap::TempDir dir;
    static MapState state = [] {
        const std::string path = dir.File("maximal.map");
        testmap::Build(testmap::MaximalMap()).Save(path);
        Prefernces::ResetToDefaults();
        MapState loaded;
        OpenMap(loaded, path);
        return loaded;
    }();
    return state;
}
