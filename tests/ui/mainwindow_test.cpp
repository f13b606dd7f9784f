#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "UiTestSupport.h"
#include "mainwindow/ui/MainWindow.h"
#include "platform/ui/ControlPlacer.h"

using platform::LockBottom;
using platform::LockLeft;
using platform::LockRight;
using platform::LockTop;

namespace {

class MainWindowTest : public uitest::UiTest {};

// A control's rectangle in the window's content area.
QRect AreaRect(const MainWindow& window, const QWidget& control) {
    return QRect(control.mapTo(window.Content(), QPoint(0, 0)), control.size());
}

TEST_F(MainWindowTest, OneInstanceWithTheDesignedFrameThatStartsEmpty) {
    MainWindow* window = MainWindow::Instance();
    EXPECT_EQ(window, MainWindow::Instance());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Morvane");
    EXPECT_EQ(window->Content()->size(), QSize(700, 622));
    EXPECT_EQ(window->Content()->minimumSize(), QSize(700, 64));
    EXPECT_EQ(window->Content()->maximumSize(), QSize(700, 32000));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);

    const MainWindowControls& c = window->Controls();
    EXPECT_FALSE(c.Lb_Select->isEnabled());
    EXPECT_EQ(c.Lb_Select->topLevelItemCount(), 0);
    EXPECT_TRUE(c.Lb_Select->isHeaderHidden());
    EXPECT_EQ(c.Lb_Select->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(c.PageEditor->Value(), 0);
    EXPECT_TRUE(c.PageEditor->Page(0)->children().isEmpty());
    // Controls on the other pages are hidden with them.
    EXPECT_FALSE(c.FldScriptName->isVisible());
    EXPECT_TRUE(c.StaticTimeStamp->isVisible());
    for (QComboBox* popup :
         {c.PopScriptType, c.PopScriptReturn, c.PopGlobalType, c.PopSyntaxType}) {
        EXPECT_EQ(popup->currentIndex(), -1);
    }
    EXPECT_EQ(c.PopScriptType->count(), 5);
    EXPECT_EQ(c.PopSyntaxType->count(), 49);

    // Closed, the window goes with its map; the next one starts empty.
    window->State().FileOpened = true;
    window->close();
    uitest::ProcessEvents();
    EXPECT_EQ(MainWindow::Existing(), nullptr);
    MainWindow* again = MainWindow::Instance();
    EXPECT_FALSE(again->State().FileOpened);
    EXPECT_TRUE(again->isVisible());
}

// The designed controls in the order of creation.
TEST_F(MainWindowTest, ControlsMatchTheDesign) {
    MainWindow* window = MainWindow::Instance();
    ASSERT_EQ(window->Controls().PageEditor->count(), 4);
    uitest::ExpectDesign(
        *window,
        {
            {"Lb_Select", "platform::HierarchicalList", "content", {0, 0, 364, 622}},
            {"PageEditor", "platform::PagePanel", "content", {376, 0, 324, 593}},
            {"StaticText3", "QLabel", "page1", {382, 73, 104, 20}, "Script Return Type"},
            {"StaticText4", "QLabel", "page1", {382, 105, 104, 20}, "Expression Pointer"},
            {"FldScriptExpPointer", "QLineEdit", "page1", {498, 103, 65, 22}},
            {"PopScriptType", "QComboBox", "page1", {498, 41, 140, 20}},
            {"StaticText8", "QLabel", "page2", {382, 75, 104, 20}, "Expression Pointer"},
            {"PopScriptReturn", "QComboBox", "page1", {498, 72, 140, 20}},
            {"FldGlobalExpPointer", "QLineEdit", "page2", {498, 73, 65, 22}},
            {"FldGlobalName", "QLineEdit", "page2", {498, 7, 182, 22}},
            {"PopGlobalType", "QComboBox", "page2", {498, 40, 140, 20}},
            {"FldSyntaxEngineIdent", "QLineEdit", "page3", {498, 41, 46, 22}},
            {"FldSyntaxExpIdent", "QLineEdit", "page3", {498, 6, 65, 22}},
            {"StaticText12", "QLabel", "page3", {382, 43, 104, 20}, "Engine Identity"},
            {"PopSyntaxType", "QComboBox", "page3", {498, 75, 140, 20}},
            {"StaticText13", "QLabel", "page3", {382, 76, 104, 20}, "Value Type"},
            {"FldSyntaxExpType", "QLineEdit", "page3", {498, 108, 46, 22}},
            {"StaticText14", "QLabel", "page3", {382, 109, 104, 20}, "Expression Type"},
            {"StaticText1", "QLabel", "page1", {382, 7, 104, 20}, "Script Name"},
            {"StaticText5", "QLabel", "page2", {382, 9, 104, 20}, "Global Name"},
            {"StaticText11", "QLabel", "page3", {382, 8, 104, 20}, "Expression Identity"},
            {"FldGlobalDecomp", "QPlainTextEdit", "page2", {382, 107, 298, 66}},
            {"FldSyntaxSibExp", "QLineEdit", "page3", {499, 141, 65, 22}},
            {"StaticText15", "QLabel", "page3", {382, 142, 104, 20}, "Sibling Expression"},
            {"StaticText6", "QLabel", "page2", {382, 41, 104, 20}, "Global Type"},
            {"StaticText22", "QLabel", "page1", {382, 42, 104, 20}, "Script Type"},
            {"FldScriptName", "QLineEdit", "page1", {498, 8, 182, 22}},
            {"FldScriptDeComp", "QPlainTextEdit", "page1", {382, 137, 298, 449}},
            {"FldSyntaxScriptTableOffset", "QLineEdit", "page3", {499, 174, 65, 22}},
            {"FldSyntaxScriptValue", "QLineEdit", "page3", {499, 201, 46, 22}},
            {"FldSyntaxKidExp", "QLineEdit", "page3", {499, 234, 65, 22}},
            {"StaticText20", "QLabel", "page3", {383, 175, 104, 20}, "Script Table Offset"},
            {"StaticText16", "QLabel", "page3", {383, 205, 104, 20}, "Script Value"},
            {"StaticText24", "QLabel", "page3", {383, 237, 104, 20}, "Child Expression"},
            {"FldSyntaxCommand", "QPlainTextEdit", "page3", {382, 269, 298, 66}},
            {"StaticTimeStamp", "QLabel", "content", {376, 598, 318, 20}, ""},
            {"FldSyntaxEngineCommand", "QLineEdit", "page3", {557, 41, 123, 22}},
        });
    EXPECT_EQ(window->Controls().FldSyntaxEngineCommand->toolTip(),
              "Result of the Command Database");
    EXPECT_TRUE(window->Controls().StaticTimeStamp->alignment() & Qt::AlignRight);
    // The global's text has no horizontal scroll bar; the other two multi-line fields have both.
    EXPECT_EQ(window->Controls().FldGlobalDecomp->horizontalScrollBarPolicy(),
              Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(window->Controls().FldScriptDeComp->horizontalScrollBarPolicy(),
              Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(window->Controls().FldSyntaxCommand->horizontalScrollBarPolicy(),
              Qt::ScrollBarAlwaysOn);
}

TEST_F(MainWindowTest, ResizingFollowsTheLocks) {
    MainWindow* window = MainWindow::Instance();
    const MainWindowControls& c = window->Controls();
    c.PageEditor->SetValue(1);
    const int barHeight = window->height() - window->Content()->height();

    window->resize(900, 822 + barHeight);
    uitest::ProcessEvents();

    EXPECT_EQ(window->Content()->size(), QSize(700, 822));
    EXPECT_EQ(AreaRect(*window, *c.Lb_Select), QRect(0, 0, 364, 822));
    EXPECT_EQ(AreaRect(*window, *c.PageEditor), QRect(376, 0, 324, 793));
    EXPECT_EQ(AreaRect(*window, *c.FldScriptDeComp), QRect(382, 137, 298, 649));
    EXPECT_EQ(AreaRect(*window, *c.FldScriptName), QRect(498, 8, 182, 22));
    EXPECT_EQ(AreaRect(*window, *c.StaticTimeStamp), QRect(376, 598, 318, 20));

    window->resize(700, 10);
    uitest::ProcessEvents();
    EXPECT_EQ(window->Content()->height(), 64);
}

TEST(ControlPlacer, LockedRectFollowsTheLockedEdges) {
    const QRect design(10, 20, 30, 40);
    const QSize designSize(100, 100);
    const QSize grown(150, 170);
    struct Case {
        platform::Locks locks;
        QRect expected;
    };
    for (const Case& c : {
             Case{platform::LockNone, QRect(10, 20, 30, 40)},
             Case{platform::LockLT, QRect(10, 20, 30, 40)},
             Case{LockLeft | LockTop | LockRight | LockBottom, QRect(10, 20, 80, 110)},
             Case{LockTop | LockRight | LockBottom, QRect(60, 20, 30, 110)},
             Case{LockRight | LockBottom, QRect(60, 90, 30, 40)},
             Case{LockTop | LockRight, QRect(60, 20, 30, 40)},
         }) {
        EXPECT_EQ(platform::LockedRect(design, c.locks, designSize, grown), c.expected) << c.locks;
    }
    // Shrinking never gives a negative size.
    EXPECT_EQ(platform::LockedRect(design, LockLeft | LockRight, designSize, QSize(10, 100)),
              QRect(10, 20, 0, 40));
}

}  // namespace
