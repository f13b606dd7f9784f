#pragma once

#include <gtest/gtest.h>

#include <string>

#include "MapBuilder.h"
#include "mainwindow/ui/MainWindow.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/NamedMenu.h"
#include "platform/ui/QtText.h"

namespace uitest {

// A small accepted map: two scripts and one global.
inline testmap::MapSpec SmallMap() {
    testmap::MapSpec spec;
    spec.scripts = {{"intro", 0, 4, -1}, {"loop", 2, 4, -1}};
    spec.globals = {{"flag", 5, -1}};
    return spec;
}

inline std::string SaveMap(const testmap::MapSpec& spec, const std::string& path) {
    EXPECT_TRUE(testmap::Build(spec).Save(path));
    return path;
}

// Chooses File > Open with the dialog answered by `path` (empty: Cancel).
inline void OpenThroughTheMenu(MainWindow& window, const std::string& path) {
    platform::SetOpenFileHook(
        [path](const platform::OpenFileRequest&) { return platform::PathFromBytes(path); });
    window.Fileopen()->Action()->trigger();
    platform::SetOpenFileHook(nullptr);
}

}  // namespace uitest
