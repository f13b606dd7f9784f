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

struct ControlRow {
    const char* name;
    const char* kind;
    int page;  // -1: on the window itself
    QRect rect;
    const char* caption;  // labels only
};

// The designed controls in the order of creation.
const ControlRow kControls[] = {
    {"Lb_Select", "platform::HierarchicalList", -1, {0, 0, 364, 622}, nullptr},
    {"PageEditor", "platform::PagePanel", -1, {376, 0, 324, 593}, nullptr},
    {"StaticText3", "QLabel", 1, {382, 73, 104, 20}, "Script Return Type"},
    {"StaticText4", "QLabel", 1, {382, 105, 104, 20}, "Expression Pointer"},
    {"FldScriptExpPointer", "QLineEdit", 1, {498, 103, 65, 22}, nullptr},
    {"PopScriptType", "QComboBox", 1, {498, 41, 140, 20}, nullptr},
    {"StaticText8", "QLabel", 2, {382, 75, 104, 20}, "Expression Pointer"},
    {"PopScriptReturn", "QComboBox", 1, {498, 72, 140, 20}, nullptr},
    {"FldGlobalExpPointer", "QLineEdit", 2, {498, 73, 65, 22}, nullptr},
    {"FldGlobalName", "QLineEdit", 2, {498, 7, 182, 22}, nullptr},
    {"PopGlobalType", "QComboBox", 2, {498, 40, 140, 20}, nullptr},
    {"FldSyntaxEngineIdent", "QLineEdit", 3, {498, 41, 46, 22}, nullptr},
    {"FldSyntaxExpIdent", "QLineEdit", 3, {498, 6, 65, 22}, nullptr},
    {"StaticText12", "QLabel", 3, {382, 43, 104, 20}, "Engine Identity"},
    {"PopSyntaxType", "QComboBox", 3, {498, 75, 140, 20}, nullptr},
    {"StaticText13", "QLabel", 3, {382, 76, 104, 20}, "Value Type"},
    {"FldSyntaxExpType", "QLineEdit", 3, {498, 108, 46, 22}, nullptr},
    {"StaticText14", "QLabel", 3, {382, 109, 104, 20}, "Expression Type"},
    {"StaticText1", "QLabel", 1, {382, 7, 104, 20}, "Script Name"},
    {"StaticText5", "QLabel", 2, {382, 9, 104, 20}, "Global Name"},
    {"StaticText11", "QLabel", 3, {382, 8, 104, 20}, "Expression Identity"},
    {"FldGlobalDecomp", "QPlainTextEdit", 2, {382, 107, 298, 66}, nullptr},
    {"FldSyntaxSibExp", "QLineEdit", 3, {499, 141, 65, 22}, nullptr},
    {"StaticText15", "QLabel", 3, {382, 142, 104, 20}, "Sibling Expression"},
    {"StaticText6", "QLabel", 2, {382, 41, 104, 20}, "Global Type"},
    {"StaticText22", "QLabel", 1, {382, 42, 104, 20}, "Script Type"},
    {"FldScriptName", "QLineEdit", 1, {498, 8, 182, 22}, nullptr},
    {"FldScriptDeComp", "QPlainTextEdit", 1, {382, 137, 298, 449}, nullptr},
    {"FldSyntaxScriptTableOffset", "QLineEdit", 3, {499, 174, 65, 22}, nullptr},
    {"FldSyntaxScriptValue", "QLineEdit", 3, {499, 201, 46, 22}, nullptr},
    {"FldSyntaxKidExp", "QLineEdit", 3, {499, 234, 65, 22}, nullptr},
    {"StaticText20", "QLabel", 3, {383, 175, 104, 20}, "Script Table Offset"},
    {"StaticText16", "QLabel", 3, {383, 205, 104, 20}, "Script Value"},
    {"StaticText24", "QLabel", 3, {383, 237, 104, 20}, "Child Expression"},
    {"FldSyntaxCommand", "QPlainTextEdit", 3, {382, 269, 298, 66}, nullptr},
    {"StaticTimeStamp", "QLabel", -1, {376, 598, 318, 20}, ""},
    {"FldSyntaxEngineCommand", "QLineEdit", 3, {557, 41, 123, 22}, nullptr},
};
static_assert(std::size(kControls) == 37);

TEST_F(MainWindowTest, ControlsMatchTheDesign) {
    MainWindow* window = MainWindow::Instance();
    const auto& pages = *window->Controls().PageEditor;
    ASSERT_EQ(pages.count(), 4);

    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(row.name);
        auto* control = window->Control<QWidget>(row.name);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->inherits(row.kind)) << control->metaObject()->className();
        QWidget* parent = row.page < 0 ? window->Content() : pages.Page(row.page);
        EXPECT_EQ(control->parentWidget(), parent);
        EXPECT_EQ(AreaRect(*window, *control), row.rect);
        if (row.caption != nullptr) {
            EXPECT_EQ(qobject_cast<QLabel*>(control)->text(), row.caption);
        }
    }
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
