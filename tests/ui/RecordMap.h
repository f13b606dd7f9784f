#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTreeWidgetItem>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "MapBuilder.h"
#include "UiTestSupport.h"
#include "extraction/ui/Extract.h"
#include "mainwindow/ui/MainWindow.h"
#include "platform/Hooks.h"
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

// The output windows that are open, in no particular order.
inline std::vector<Extract*> OutputWindows() {
    std::vector<Extract*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Extract*>(widget); window != nullptr && window->IsOpen()) {
            windows.push_back(window);
        }
    }
    return windows;
}

// Scripts of every header kind over one body, (begin (sleep 30)), laid out for the order walk
// (first child, body, root last at cache position 5); "short", whose first child's sibling
// lies after its root; "lost", whose root names no node; globals of several types.
inline testmap::MapSpec RecordsMap() {
    testmap::MapSpec spec;
    spec.nodes = {
        testmap::MakeNode(-32767, 0, 2, 9, -32766, 0, "begin"),     // 1: first child of "wait"
        testmap::MakeNode(-32766, 19, 4, 8, -1, -32765, "sleep"),   // 2
        testmap::MakeNode(-32765, 19, 2, 9, -32764, 0, "sleep"),    // 3
        testmap::MakeNode(-32764, -1, 7, 9, -1, -1, "30", 30),      // 4
        testmap::MakeNode(-32763, 0, 4, 8, -1, -32767, "begin"),    // 5: root of "wait"
        testmap::MakeNode(-32762, 0, 2, 9, -32760, 0, "begin"),     // 6: first child of "short"
        testmap::MakeNode(-32761, 0, 4, 8, -1, -32762, "begin"),    // 7: root of "short"
        testmap::MakeNode(-32760, -1, 5, 9, -1, -1, "true", -255),  // 8: "on"
        testmap::MakeNode(-32759, -1, 5, 9, -1, -1, "x", -256),     // 9: "off"
        testmap::MakeNode(-32758, -1, 7, 9, -1, 0, "5", 5),         // 10: "x"
    };
    spec.scripts = {{"wait", 1, 4, -32763}, {"boot", 0, 4, -32763}, {"loop", 2, 4, -32763},
                    {"calc", 3, 7, -32763}, {"lost", 4, 5, -5},     {"short", 1, 4, -32761},
                    {"odd", 9, 60, -32763}};
    spec.globals = {{"on", 5, -32760}, {"off", 5, -32759}, {"x", 7, -32758}, {"none", 6, -1}};
    return spec;
}

inline QStringList ChildTexts(const QTreeWidgetItem* row) {
    QStringList texts;
    for (int i = 0; i < row->childCount(); ++i) {
        texts.append(row->child(i)->text(0));
    }
    return texts;
}

// Runs `action` once, at the next yield point of the core.
inline std::function<void()>& PendingYieldAction() {
    static std::function<void()> action;
    return action;
}

inline void AtNextYield(std::function<void()> action) {
    PendingYieldAction() = std::move(action);
    platform::SetYieldHook([] {
        if (std::function<void()> next = std::exchange(PendingYieldAction(), nullptr)) {
            next();
        }
    });
}

// A main window with a map loaded from a built map file.
class MapWindowTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        window = MainWindow::Instance();
    }
    void TearDown() override {
        PendingYieldAction() = nullptr;
        UiTest::TearDown();
    }

    void Load(const testmap::MapSpec& spec, const std::string& name = "m.map") {
        map = testmap::Build(spec);
        path = TempPath(name);
        ASSERT_TRUE(map.Save(path));
        OpenThroughTheMenu(*window, path);
        ASSERT_EQ(window->State().f, path);
    }

    const MainWindowControls& C() const { return window->Controls(); }

    // The row reached from a top-level row through the texts of its descendants; each folder
    // on the way is expanded, as a user would.
    QTreeWidgetItem* Row(const std::vector<const char*>& texts) {
        QTreeWidgetItem* row = nullptr;
        for (const char* text : texts) {
            if (row != nullptr && !row->isExpanded()) {
                row->setExpanded(true);
            }
            const int count =
                row != nullptr ? row->childCount() : C().Lb_Select->topLevelItemCount();
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; i < count && next == nullptr; ++i) {
                next = row != nullptr ? row->child(i) : C().Lb_Select->topLevelItem(i);
                next = next->text(0) == text ? next : nullptr;
            }
            if (next == nullptr) {
                ADD_FAILURE() << "no row " << text;
                return nullptr;
            }
            row = next;
        }
        return row;
    }

    void Select(const std::vector<const char*>& texts) {
        QTreeWidgetItem* row = Row(texts);
        ASSERT_NE(row, nullptr);
        C().Lb_Select->setCurrentItem(row);
    }

    void ExpectUnchanged() const { EXPECT_EQ(ReadFileBytes(path), map.bytes); }

    // The open map can no longer be opened for writing (a path into a missing folder stops
    // root as well as anyone else).
    void MakeMapUnwritable() { window->State().f = TempPath("gone/m.map"); }

    MainWindow* window = nullptr;
    testmap::BuiltMap map;
    std::string path;
};

}  // namespace uitest
