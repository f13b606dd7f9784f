#pragma once

#include <gtest/gtest.h>

#include <QTreeWidgetItem>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "MapBuilder.h"
#include "MapFiles.h"
#include "UiTestSupport.h"
#include "mainwindow/ui/MainWindow.h"
#include "platform/Hooks.h"

namespace uitest {

// Nodes by identity, expression type, value type, engine, sibling, child, text and value.
inline testmap::Node MakeNode(int16_t identity, int16_t expType, int16_t valueType, int16_t engine,
                              int16_t sibling, int16_t kid, std::string text, int16_t value = 0) {
    return testmap::MakeNode(identity, engine, valueType, expType, sibling, kid, std::move(text),
                             value);
}

// Scripts of every header kind over one body, (begin (sleep 30)), laid out for the order walk
// (first child, body, root last at cache position 5); "short", whose first child's sibling
// lies after its root; "lost", whose root names no node; globals of several types.
inline testmap::MapSpec RecordsMap() {
    testmap::MapSpec spec;
    spec.nodes = {
        MakeNode(-32767, 9, 2, 0, -32766, 0, "begin"),     // 1: first child of "wait"
        MakeNode(-32766, 8, 4, 19, -1, -32765, "sleep"),   // 2
        MakeNode(-32765, 9, 2, 19, -32764, 0, "sleep"),    // 3
        MakeNode(-32764, 9, 7, -1, -1, -1, "30", 30),      // 4
        MakeNode(-32763, 8, 4, 0, -1, -32767, "begin"),    // 5: root of "wait"
        MakeNode(-32762, 9, 2, 0, -32760, 0, "begin"),     // 6: first child of "short"
        MakeNode(-32761, 8, 4, 0, -1, -32762, "begin"),    // 7: root of "short"
        MakeNode(-32760, 9, 5, -1, -1, -1, "true", -255),  // 8: "on"
        MakeNode(-32759, 9, 5, -1, -1, -1, "x", -256),     // 9: "off"
        MakeNode(-32758, 9, 7, -1, -1, 0, "5", 5),         // 10: "x"
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

inline void RunPendingYieldAction() {
    if (std::function<void()> action = std::exchange(PendingYieldAction(), nullptr)) {
        action();
    }
}

inline void AtNextYield(std::function<void()> action) {
    PendingYieldAction() = std::move(action);
    platform::SetYieldHook(RunPendingYieldAction);
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
        if (overrideDropped_) {
            SetPermissionOverride(true);
        }
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
    QTreeWidgetItem* Row(std::initializer_list<const char*> texts) {
        QTreeWidgetItem* row = nullptr;
        for (const char* text : texts) {
            QTreeWidgetItem* next = nullptr;
            if (row == nullptr) {
                const auto found = C().Lb_Select->findItems(text, Qt::MatchExactly);
                next = found.isEmpty() ? nullptr : found.front();
            } else {
                if (!row->isExpanded()) {
                    row->setExpanded(true);
                }
                for (int i = 0; i < row->childCount() && next == nullptr; ++i) {
                    next = row->child(i)->text(0) == text ? row->child(i) : nullptr;
                }
            }
            EXPECT_NE(next, nullptr) << text;
            if (next == nullptr) {
                return nullptr;
            }
            row = next;
        }
        return row;
    }

    void Select(std::initializer_list<const char*> texts) {
        QTreeWidgetItem* row = Row(texts);
        ASSERT_NE(row, nullptr);
        C().Lb_Select->setCurrentItem(row);
    }

    std::vector<uint8_t> FileBytes() const { return ReadFileBytes(path); }

    // The file equals the map as built, but for `bytes` at `offset`.
    void ExpectOnlyChanged(int64_t offset, const std::string& bytes) const {
        EXPECT_EQ(FileBytes(), map.With(offset, bytes));
    }
    void ExpectUnchanged() const { EXPECT_EQ(FileBytes(), map.bytes); }

    // The open map becomes read-only. Root writes to read-only files while it holds the
    // permission override, so the test's thread gives that up until the case ends.
    void MakeMapUnwritable() {
        ASSERT_EQ(chmod(path.c_str(), 0444), 0);
        if (geteuid() == 0) {
            ASSERT_TRUE(SetPermissionOverride(false));
            overrideDropped_ = true;
        }
    }

    MainWindow* window = nullptr;
    testmap::BuiltMap map;
    std::string path;

private:
    // Capabilities belong to a thread; the windows and the core run on this one.
    static bool SetPermissionOverride(bool on) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
        if (syscall(SYS_capget, &header, data) != 0) {
            return false;
        }
        constexpr uint32_t kOverride = 1u << CAP_DAC_OVERRIDE;
        data[0].effective = on ? data[0].effective | kOverride : data[0].effective & ~kOverride;
        return syscall(SYS_capset, &header, data) == 0;
    }

    bool overrideDropped_ = false;
};

}  // namespace uitest
