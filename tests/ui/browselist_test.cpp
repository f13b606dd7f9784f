#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "RecordMap.h"

namespace {

class BrowseListTest : public uitest::MapWindowTest {
protected:
    void SetUp() override {
        MapWindowTest::SetUp();
        Load(uitest::RecordsMap());
    }

    QTreeWidgetItem* Top(int i) const { return C().Lb_Select->topLevelItem(i); }
};

// Which rows a folder lists is the core's matter (browse_test.cpp); the list shows them, only
// the rows of the top folders can be expanded in turn, and collapsing removes them. Which page a
// row shows is the record pages' matter (recordpages_test.cpp).
TEST_F(BrowseListTest, ExpandedFoldersShowTheRowsTheCoreListsUntilCollapsed) {
    QTreeWidgetItem* scripts = Top(0);
    ASSERT_EQ(scripts->text(0), "scripts");
    ASSERT_EQ(Top(1)->text(0), "globals");
    EXPECT_EQ(scripts->childCount(), 0);  // filled on demand
    scripts->setExpanded(true);
    EXPECT_EQ(uitest::ChildTexts(scripts), (QStringList{"s: wait", "s: boot", "s: loop", "s: calc",
                                                        "s: lost", "s: short", "s: odd"}));
    EXPECT_EQ(scripts->child(6)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);

    // Expanding selects the row, so its page shows before any child is added.
    QTreeWidgetItem* wait = scripts->child(0);
    int childrenWhenShown = -1;
    QString nameWhenShown;
    const QMetaObject::Connection watch =  // runs after the window's own handler
        QObject::connect(C().Lb_Select, &QTreeWidget::itemSelectionChanged, C().Lb_Select, [&] {
            childrenWhenShown = wait->childCount();
            nameWhenShown = C().FldScriptName->text();
        });
    wait->setExpanded(true);
    QObject::disconnect(watch);
    EXPECT_EQ(C().Lb_Select->currentItem(), wait);
    EXPECT_EQ(childrenWhenShown, 0);
    EXPECT_EQ(nameWhenShown, "wait");
    EXPECT_EQ(uitest::ChildTexts(wait),
              (QStringList{"-32763", "-32767", "-32766", "-32765", "-32764"}));
    EXPECT_NE(wait->child(4)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);

    // Collapsing selects the row too; a folder row, or no row, leaves the page as it is.
    C().Lb_Select->setCurrentItem(wait->child(4));
    ASSERT_EQ(C().PageEditor->Value(), 3);
    wait->setExpanded(false);
    EXPECT_EQ(C().Lb_Select->currentItem(), wait);
    EXPECT_EQ(wait->childCount(), 0);
    EXPECT_EQ(C().PageEditor->Value(), 1);
    scripts->setExpanded(false);
    EXPECT_EQ(C().Lb_Select->currentItem(), scripts);
    EXPECT_EQ(scripts->childCount(), 0);
    EXPECT_EQ(scripts->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    C().Lb_Select->clearSelection();
    EXPECT_EQ(C().PageEditor->Value(), 1);
    EXPECT_EQ(C().FldScriptName->text(), "wait");
    EXPECT_TRUE(shown.empty());

    QTreeWidgetItem* other = C().Lb_Select->AddFolder("other");
    other->setExpanded(true);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "i dont know what you did but this isnt a global or a script?!");
    EXPECT_EQ(other->childCount(), 0);
}

// Work that yields lets other events run; these arrive at such a yield. Rows change only while
// nothing else runs: one expanded during a printing closes again, one collapsed keeps its
// children hidden until the next expansion rebuilds them. A row chosen shows when it ends.
TEST_F(BrowseListTest, WhatArrivesDuringAPrintingWaitsForItsEnd) {
    Prefernces::ScriptPrinting = 2;
    const QString printed = "(script dormant void wait\n(begin\n( sleep 30))\n";
    QTreeWidgetItem* wait = Row({"scripts", "s: wait"});
    QTreeWidgetItem* globals = Top(1);
    uitest::AtNextYield([&] { globals->setExpanded(true); });
    C().Lb_Select->setCurrentItem(wait);
    EXPECT_FALSE(uitest::PendingYieldAction());
    EXPECT_FALSE(globals->isExpanded());
    EXPECT_EQ(globals->childCount(), 0);
    EXPECT_EQ(C().FldScriptDeComp->toPlainText(), printed);

    globals->setExpanded(true);
    uitest::AtNextYield([&] { globals->setExpanded(false); });
    C().Lb_Select->setCurrentItem(wait);
    EXPECT_FALSE(uitest::PendingYieldAction());
    EXPECT_FALSE(globals->isExpanded());
    EXPECT_EQ(C().Lb_Select->currentItem(), wait);

    QTreeWidgetItem* node = Row({"scripts", "s: wait", "-32764"});
    C().Lb_Select->setCurrentItem(Row({"globals", "g: x"}));
    EXPECT_EQ(uitest::ChildTexts(globals), (QStringList{"g: on", "g: off", "g: x", "g: none"}));
    QString textWhenSelected;
    uitest::AtNextYield([&] {
        textWhenSelected = C().FldScriptDeComp->toPlainText();
        C().Lb_Select->setCurrentItem(node);
    });
    C().Lb_Select->setCurrentItem(wait);
    EXPECT_FALSE(uitest::PendingYieldAction());
    EXPECT_EQ(textWhenSelected, "(script dormant void wait\n");
    EXPECT_EQ(C().FldScriptDeComp->toPlainText(), printed);
    EXPECT_EQ(C().PageEditor->Value(), 3);
    EXPECT_EQ(C().FldSyntaxExpIdent->text(), "-32764");
}

TEST_F(BrowseListTest, NoSecondLoadOrWriteStartsWhileWorkRuns) {
    const std::string first = path;
    const std::string second = uitest::SaveMap(testmap::MapSpec{}, TempPath("second.map"));
    QTreeWidgetItem* scripts = Top(0);
    uitest::AtNextYield([&] { uitest::OpenThroughTheMenu(*window, second); });
    scripts->setExpanded(true);
    EXPECT_FALSE(uitest::PendingYieldAction());
    EXPECT_EQ(window->State().f, first);
    EXPECT_EQ(scripts->childCount(), 7);

    // Nor while a load runs, when the editors write into neither map.
    Select({"scripts", "s: wait"});
    const std::string third = uitest::SaveMap(uitest::RecordsMap(), TempPath("third.map"));
    uitest::AtNextYield([&] {
        uitest::OpenThroughTheMenu(*window, second);
        C().FldScriptExpPointer->setText("-2");
        QTest::keyClick(C().FldScriptExpPointer, Qt::Key_Return);
        C().PopScriptType->setCurrentIndex(4);
    });
    uitest::OpenThroughTheMenu(*window, third);
    EXPECT_FALSE(uitest::PendingYieldAction());
    EXPECT_EQ(window->State().f, third);
    EXPECT_EQ(window->State().ScriptHeaderCache.size(), 7u);
    // The load forgot the shown records, so the empty page shows, and the new folder rows.
    EXPECT_EQ(C().PageEditor->Value(), 0);
    EXPECT_EQ(Top(0)->childCount(), 0);
    EXPECT_EQ(window->State().ScriptHeaderCache[0].Type, 1);
    EXPECT_TRUE(shown.empty());
    ExpectUnchanged();
    EXPECT_EQ(uitest::ReadFileBytes(third), map.bytes);
}

}  // namespace
