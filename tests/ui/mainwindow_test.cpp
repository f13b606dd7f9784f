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

TEST_F(MainWindowTest, OneInstanceThatStartsEmpty) {
    MainWindow* window = MainWindow::Instance();
    EXPECT_EQ(window, MainWindow::Instance());
    EXPECT_TRUE(window->isVisible());

    const MainWindowControls& c = window->Controls();
    EXPECT_FALSE(c.Lb_Select->isEnabled());
    EXPECT_EQ(c.Lb_Select->topLevelItemCount(), 0);
    EXPECT_EQ(c.PageEditor->Value(), 0);
    EXPECT_TRUE(c.PageEditor->Page(0)->children().isEmpty());
    for (QComboBox* popup :
         {c.PopScriptType, c.PopScriptReturn, c.PopGlobalType, c.PopSyntaxType}) {
        EXPECT_EQ(popup->currentIndex(), -1);
    }

    // Closed, the window goes with its map; the next one starts empty.
    window->State().FileOpened = true;
    window->close();
    uitest::ProcessEvents();
    EXPECT_EQ(MainWindow::Existing(), nullptr);
    MainWindow* again = MainWindow::Instance();
    EXPECT_FALSE(again->State().FileOpened);
    EXPECT_TRUE(again->isVisible());
}

// A page shows one kind of record, so each field and pop-up, which names its kind, must lie on
// that kind's page.
TEST_F(MainWindowTest, EachControlLiesOnThePageOfItsRecordKind) {
    MainWindow* window = MainWindow::Instance();
    const platform::PagePanel& pages = *window->Controls().PageEditor;
    ASSERT_EQ(pages.count(), 4);
    int fields = 0;
    for (const QWidget* control : window->Content()->findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (name.startsWith("Fld") || name.startsWith("Pop")) {
            const QString kind = name.mid(3);
            const int page = kind.startsWith("Script") ? 1 : kind.startsWith("Global") ? 2 : 3;
            EXPECT_EQ(control->parentWidget(), pages.Page(page)) << name.toStdString();
            ++fields;
        }
    }
    EXPECT_EQ(fields, 19);
    uitest::ExpectDesign(*window,
                         {{"Lb_Select", "platform::HierarchicalList", "content", {0, 0, 364, 622}},
                          {"FldSyntaxKidExp", "QLineEdit", "page3", {499, 234, 65, 22}}});
}

TEST_F(MainWindowTest, ResizingFollowsTheLocks) {
    MainWindow* window = MainWindow::Instance();
    const MainWindowControls& c = window->Controls();
    c.PageEditor->SetValue(1);
    const int barHeight = window->height() - window->Content()->height();

    window->resize(900, 822 + barHeight);
    uitest::ProcessEvents();

    // The width is fixed.
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
