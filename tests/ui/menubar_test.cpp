// The main window's shared menu bar: its keys, the map tools' enabled states and the commands
// that act on the focused field.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

#include "RecordMap.h"
#include "UiTestSupport.h"
#include "mainwindow/ui/AboutWin.h"
#include "mainwindow/ui/App.h"
#include "mainwindow/ui/MainWindow.h"
#include "mainwindow/ui/MenuBar1.h"
#include "preferences/ui/PrefWin.h"

using platform::MenuItem;

namespace {

class MenuBarTest : public uitest::MapWindowTest {
protected:
    // Opens a top-level menu as a click would, which raises the enabling event.
    void OpenMenu(const char* name) { emit window->MenuItemNamed(name)->Menu()->aboutToShow(); }
};

TEST_F(MenuBarTest, OneSharedBarWhoseActionsEveryWindowShows) {
    EXPECT_EQ(&App::Instance()->MenuBar(), &MenuBar1::Instance());
    EXPECT_EQ(window->MenuBar(), &MenuBar1::Instance());
    EXPECT_TRUE(window->MenuItemNamed("UntitledSeparator")->Action()->isSeparator());

    // A new main window shows the same items, so their states carry over (the submenu item is
    // one no window's code changes).
    window->ScriptToolsExtract()->SetEnabled(false);
    window->close();
    uitest::ProcessEvents();
    MainWindow* next = MainWindow::Instance();
    EXPECT_EQ(next->findChild<QMenuBar*>()->actions().at(2), next->ScriptMenu()->Action());
    EXPECT_FALSE(next->ScriptToolsExtract()->Enabled());
    next->ScriptToolsExtract()->SetEnabled(true);
}

// Cmd shortcuts are Ctrl. Ctrl+P belongs to File > Prefernces, also once a map enables Protect
// Map, which only shows the key.
TEST_F(MenuBarTest, CmdShortcutsAreCtrlAndCtrlPOpensThePreferences) {
    EXPECT_EQ(window->Fileopen()->Action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(window->ScriptToolsProtectMap()->Action()->text(), "&Protect Map\tCtrl+P");
    Load(uitest::SmallMap());
    OpenMenu("ScriptMenu");
    ASSERT_TRUE(window->ScriptToolsProtectMap()->Enabled());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    QTest::keyClick(window, Qt::Key_P, Qt::ControlModifier);

    ASSERT_NE(PrefWin::Existing(), nullptr);
    EXPECT_TRUE(PrefWin::Existing()->isVisible());
    EXPECT_TRUE(shown.empty());
}

TEST_F(MenuBarTest, MapToolsStartDisabledAndAreEnabledFromTheFirstLoadOn) {
    const std::vector<MenuItem*> tools = {
        window->ScriptToolsProtectMap(), window->ScriptToolsdatabase(), window->Extractall(),
        window->ExtractGlobalRange(), window->ExtractScriptRange()};
    auto expectTools = [&tools](bool enabled) {
        for (MenuItem* item : tools) {
            EXPECT_EQ(item->Enabled(), enabled) << item->Name();
        }
    };
    expectTools(false);
    EXPECT_TRUE(window->ScriptToolsExtract()->Enabled());
    // Without a map the enabling event leaves them as they are.
    OpenMenu("ScriptMenu");
    expectTools(false);

    Load(uitest::SmallMap());
    expectTools(true);
    // Whatever else changed them, the enabling event brings them up again.
    for (MenuItem* item : tools) {
        item->SetEnabled(false);
    }
    OpenMenu("FileMenu");
    expectTools(true);
}

TEST_F(MenuBarTest, AboutOpensTheAboutWindow) {
    window->AboutMenu()->Action()->trigger();
    ASSERT_NE(AboutWin::Existing(), nullptr);
    EXPECT_TRUE(AboutWin::Existing()->isVisible());
}

TEST_F(MenuBarTest, EditCommandsActOnTheFocusedField) {
    const MainWindowControls& c = window->Controls();
    c.PageEditor->SetValue(1);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    c.FldScriptName->setText("intro");
    c.FldScriptName->setFocus();

    window->EditSelectAll()->Action()->trigger();
    window->EditCut()->Action()->trigger();
    EXPECT_EQ(c.FldScriptName->text(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "intro");

    c.FldScriptExpPointer->setFocus();
    window->EditPaste()->Action()->trigger();
    EXPECT_EQ(c.FldScriptExpPointer->text(), "intro");
    window->EditUndo()->Action()->trigger();
    EXPECT_EQ(c.FldScriptExpPointer->text(), "");

    c.FldScriptDeComp->setPlainText("(script startup intro)");
    c.FldScriptDeComp->setFocus();
    window->EditSelectAll()->Action()->trigger();
    window->EditCopy()->Action()->trigger();
    window->EditClear()->Action()->trigger();
    EXPECT_EQ(c.FldScriptDeComp->toPlainText(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "(script startup intro)");
}

}  // namespace
