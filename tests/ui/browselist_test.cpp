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

// Which rows a folder lists is the core's matter (browse_test.cpp); the list shows them, and
// only the rows of the top folders can be expanded in turn.
TEST_F(BrowseListTest, ExpandedFoldersShowTheRowsTheCoreLists) {
    QTreeWidgetItem* scripts = Top(0);
    ASSERT_EQ(scripts->text(0), "scripts");
    ASSERT_EQ(Top(1)->text(0), "globals");
    EXPECT_EQ(scripts->childCount(), 0);  // filled on demand
    scripts->setExpanded(true);
    EXPECT_EQ(uitest::ChildTexts(scripts), (QStringList{"s: wait", "s: boot", "s: loop", "s: calc",
                                                        "s: lost", "s: short", "s: odd"}));
    EXPECT_EQ(scripts->child(6)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    QTreeWidgetItem* wait = scripts->child(0);
    wait->setExpanded(true);
    EXPECT_EQ(uitest::ChildTexts(wait),
              (QStringList{"-32763", "-32767", "-32766", "-32765", "-32764"}));
    EXPECT_NE(wait->child(4)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_TRUE(shown.empty());
}

TEST_F(BrowseListTest, ExpandingSelectsTheRowSoItsPageShowsBeforeAnyChildIsAdded) {
    QTreeWidgetItem* wait = Row({"scripts", "s: wait"});
    QTreeWidgetItem* other = Row({"globals", "g: x"});
    C().Lb_Select->setCurrentItem(other);
    ASSERT_EQ(C().PageEditor->Value(), 2);

    int childrenWhenShown = -1;
    QString nameWhenShown;
    // Runs after the window's own handler.
    const QMetaObject::Connection watch =
        QObject::connect(C().Lb_Select, &QTreeWidget::itemSelectionChanged, C().Lb_Select, [&] {
            childrenWhenShown = wait->childCount();
            nameWhenShown = C().FldScriptName->text();
        });
    wait->setExpanded(true);
    QObject::disconnect(watch);

    EXPECT_EQ(C().Lb_Select->currentItem(), wait);
    EXPECT_EQ(childrenWhenShown, 0);
    EXPECT_EQ(nameWhenShown, "wait");
    EXPECT_EQ(C().PageEditor->Value(), 1);
    EXPECT_EQ(wait->childCount(), 5);
}

TEST_F(BrowseListTest, CollapsingSelectsTheRowAndRemovesItsChildren) {
    QTreeWidgetItem* scripts = Top(0);
    QTreeWidgetItem* wait = Row({"scripts", "s: wait"});
    wait->setExpanded(true);
    C().Lb_Select->setCurrentItem(wait->child(4));
    ASSERT_EQ(C().PageEditor->Value(), 3);

    wait->setExpanded(false);
    EXPECT_EQ(C().Lb_Select->currentItem(), wait);
    EXPECT_EQ(wait->childCount(), 0);
    EXPECT_EQ(C().PageEditor->Value(), 1);  // the script shows again

    scripts->setExpanded(false);
    EXPECT_EQ(C().Lb_Select->currentItem(), scripts);
    EXPECT_EQ(scripts->childCount(), 0);
    EXPECT_EQ(scripts->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
}

TEST_F(BrowseListTest, EveryExpansionBuildsTheChildrenAnewFromTheCurrentRecords) {
    QTreeWidgetItem* scripts = Top(0);
    scripts->setExpanded(true);
    // A rename shows in the rows of the next expansion only.
    C().Lb_Select->setCurrentItem(scripts->child(1));
    C().FldScriptName->setText("reboot");
    QTest::keyClick(C().FldScriptName, Qt::Key_Return);
    EXPECT_EQ(scripts->child(1)->text(0), "s: boot");
    scripts->setExpanded(false);
    scripts->setExpanded(true);
    EXPECT_EQ(scripts->child(1)->text(0), "s: reboot");
    EXPECT_EQ(scripts->childCount(), 7);
}

TEST_F(BrowseListTest, AFolderOfNoKnownKindSaysSoAndGetsNoChildren) {
    QTreeWidgetItem* other = C().Lb_Select->AddFolder("other");
    other->setExpanded(true);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "i dont know what you did but this isnt a global or a script?!");
    EXPECT_EQ(other->childCount(), 0);
}

// Which page a row shows is the record pages' matter (recordpages_test.cpp).
TEST_F(BrowseListTest, TheFolderRowsAndAnEmptiedSelectionChangeNothing) {
    Select({"scripts", "s: wait", "-32766"});
    C().StaticTimeStamp->setText("kept");
    Select({"scripts"});
    Select({"globals"});
    C().Lb_Select->clearSelection();
    EXPECT_EQ(C().PageEditor->Value(), 3);
    EXPECT_EQ(C().FldSyntaxExpIdent->text(), "-32766");
    EXPECT_EQ(C().FldScriptName->text(), "wait");
    EXPECT_EQ(C().StaticTimeStamp->text(), "kept");
}

// Work that yields lets other events run; these arrive at such a yield.

TEST_F(BrowseListTest, ASelectionDuringAPrintingIsShownWhenThePrintingEnds) {
    Prefernces::ScriptPrinting = 2;
    QTreeWidgetItem* node = Row({"scripts", "s: wait", "-32764"});
    QTreeWidgetItem* wait = Row({"scripts", "s: wait"});
    C().Lb_Select->setCurrentItem(Row({"globals", "g: x"}));
    QString textWhenSelected;
    uitest::AtNextYield([&] {
        textWhenSelected = C().FldScriptDeComp->toPlainText();
        C().Lb_Select->setCurrentItem(node);
    });

    C().Lb_Select->setCurrentItem(wait);

    EXPECT_FALSE(uitest::PendingYieldAction());
    EXPECT_EQ(textWhenSelected, "(script dormant void wait\n");
    EXPECT_EQ(C().FldScriptDeComp->toPlainText(),
              "(script dormant void wait\n(begin\n( sleep 30))\n");
    EXPECT_EQ(C().PageEditor->Value(), 3);
    EXPECT_EQ(C().FldSyntaxExpIdent->text(), "-32764");
}

TEST_F(BrowseListTest, AnExpansionDuringAPrintingIsUndone) {
    QTreeWidgetItem* wait = Row({"scripts", "s: wait"});
    QTreeWidgetItem* globals = Top(1);
    uitest::AtNextYield([&] { globals->setExpanded(true); });
    C().Lb_Select->setCurrentItem(wait);
    EXPECT_FALSE(uitest::PendingYieldAction());
    EXPECT_FALSE(globals->isExpanded());
    EXPECT_EQ(globals->childCount(), 0);
    EXPECT_EQ(C().FldScriptDeComp->toPlainText(),
              "(script dormant void wait\n(begin\n( sleep 30))\n))");
    // Once the printing is over the folder expands as usual.
    globals->setExpanded(true);
    EXPECT_EQ(globals->childCount(), 4);
}

TEST_F(BrowseListTest, ACollapseDuringAPrintingLeavesTheRebuildToTheNextExpansion) {
    QTreeWidgetItem* wait = Row({"scripts", "s: wait"});
    QTreeWidgetItem* globals = Top(1);
    globals->setExpanded(true);
    uitest::AtNextYield([&] { globals->setExpanded(false); });
    C().Lb_Select->setCurrentItem(wait);
    EXPECT_FALSE(uitest::PendingYieldAction());
    EXPECT_FALSE(globals->isExpanded());
    EXPECT_EQ(C().Lb_Select->currentItem(), wait);

    globals->setExpanded(true);
    EXPECT_EQ(uitest::ChildTexts(globals), (QStringList{"g: on", "g: off", "g: x", "g: none"}));
}

TEST_F(BrowseListTest, NoSecondLoadStartsWhileWorkRuns) {
    const std::string first = path;
    const std::string second = uitest::SaveMap(testmap::MapSpec{}, TempPath("second.map"));
    QTreeWidgetItem* scripts = Top(0);
    uitest::AtNextYield([&] { uitest::OpenThroughTheMenu(*window, second); });
    scripts->setExpanded(true);
    EXPECT_FALSE(uitest::PendingYieldAction());
    EXPECT_EQ(window->State().f, first);
    EXPECT_EQ(scripts->childCount(), 7);

    // Nor while a load runs.
    const std::string third = uitest::SaveMap(uitest::RecordsMap(), TempPath("third.map"));
    uitest::AtNextYield([&] { uitest::OpenThroughTheMenu(*window, second); });
    uitest::OpenThroughTheMenu(*window, third);
    EXPECT_FALSE(uitest::PendingYieldAction());
    EXPECT_EQ(window->State().f, third);
    EXPECT_EQ(window->State().ScriptHeaderCache.size(), 7u);
}

TEST_F(BrowseListTest, EditorsWriteNothingWhileALoadRuns) {
    Select({"scripts", "s: wait"});
    uitest::AtNextYield([&] {
        C().FldScriptExpPointer->setText("-2");
        QTest::keyClick(C().FldScriptExpPointer, Qt::Key_Return);
        C().PopScriptType->setCurrentIndex(4);
    });
    uitest::OpenThroughTheMenu(*window, path);
    EXPECT_FALSE(uitest::PendingYieldAction());
    EXPECT_TRUE(shown.empty());
    ExpectUnchanged();
    EXPECT_EQ(window->State().ScriptHeaderCache[0].Type, 1);
}

TEST_F(BrowseListTest, ASecondLoadShowsTheEmptyPageAndTheNewFolderRows) {
    Row({"scripts", "s: wait", "-32764"});
    Select({"globals", "g: on"});
    ASSERT_EQ(C().PageEditor->Value(), 2);

    testmap::MapSpec globalsOnly;
    globalsOnly.globals = {{"g", 5, -1}};
    Load(globalsOnly, "second.map");
    EXPECT_EQ(C().PageEditor->Value(), 0);
    ASSERT_EQ(C().Lb_Select->topLevelItemCount(), 1);
    EXPECT_EQ(Top(0)->text(0), "globals");
    EXPECT_EQ(Top(0)->childCount(), 0);
    EXPECT_FALSE(window->State().LoadedScript);
    EXPECT_FALSE(window->State().LoadedGlobal);
    EXPECT_FALSE(window->State().LoadedSyntax);
    Select({"globals", "g: g"});
    EXPECT_EQ(C().PageEditor->Value(), 2);
    EXPECT_EQ(C().FldGlobalName->text(), "g");
}

}  // namespace
