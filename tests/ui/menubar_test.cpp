#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

#include "RecordMap.h"
#include "UiTestSupport.h"
#include "mainwindow/ui/AboutWin.h"
#include "mainwindow/ui/App.h"
#include "mainwindow/ui/MainWindow.h"
#include "mainwindow/ui/MenuBar1.h"
#include "platform/ui/NamedMenu.h"
#include "preferences/ui/PrefWin.h"

using platform::MenuItem;

namespace {

class MenuBarTest : public uitest::UiTest {
protected:
    // Opens a top-level menu as a click would, which raises the enabling event.
    void OpenMenu(const char* name) { emit window->MenuItemNamed(name)->Menu()->aboutToShow(); }

    void Activate() {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }

    void SetUp() override {
        UiTest::SetUp();
        window = MainWindow::Instance();
    }

    MainWindow* window = nullptr;
};

struct ItemRow {
    const char* parent;  // "" for the bar itself
    const char* name;
    const char* text;
    const char* shortcut;
    bool autoEnable;
};

const ItemRow kTree[] = {
    {"", "FileMenu", "&File", "", true},
    {"FileMenu", "FileQuit", "&Quit", "Cmd+Q", true},
    {"FileMenu", "Fileopen", "&Open", "Cmd+o", true},
    {"FileMenu", "UntitledSeparator", "-", "", true},
    {"FileMenu", "FilePrefernces", "&Prefernces", "Cmd+P", true},
    {"", "EditMenu", "&Edit", "", true},
    {"EditMenu", "EditUndo", "&Undo", "Cmd+Z", true},
    {"EditMenu", "UntitledMenu1", "-", "", true},
    {"EditMenu", "EditCut", "Cu&t", "Cmd+X", true},
    {"EditMenu", "EditCopy", "&Copy", "Cmd+C", true},
    {"EditMenu", "EditPaste", "&Paste", "Cmd+V", true},
    {"EditMenu", "EditClear", "&Delete", "", true},
    {"EditMenu", "UntitledMenu0", "-", "", true},
    {"EditMenu", "EditSelectAll", "Select &All", "Cmd+A", true},
    {"", "ScriptMenu", "&Script Tools", "", true},
    {"ScriptMenu", "ScriptToolsExtract", "&Extract...", "", false},
    {"ScriptToolsExtract", "Extractall", "All", "", false},
    {"ScriptToolsExtract", "ExtractGlobalRange", "Global Range", "", false},
    {"ScriptToolsExtract", "ExtractScriptRange", "Script Range", "", false},
    {"ScriptMenu", "ScriptToolsProtectMap", "&Protect Map", "Cmd+P", false},
    {"ScriptMenu", "ScriptToolsdatabase", "&Database", "", false},
    {"", "AboutMenu", "About", "", true},
};

void Flatten(const std::vector<std::unique_ptr<MenuItem>>& items, const std::string& parent,
             std::vector<ItemRow>& rows) {
    for (const auto& item : items) {
        rows.push_back({nullptr, nullptr, nullptr, nullptr, item->AutoEnable()});
        ItemRow& row = rows.back();
        // Keep the texts alive in the items themselves.
        row.parent = parent.empty() ? "" : parent.c_str();
        row.name = item->Name().c_str();
        row.text = item->Text().c_str();
        row.shortcut = item->KeyboardShortcut().c_str();
        Flatten(item->Children(), item->Name(), rows);
    }
}

TEST_F(MenuBarTest, TreeIsBuiltInOrderWithNamesTextsAndShortcuts) {
    std::vector<ItemRow> rows;
    Flatten(MenuBar1::Instance().Items(), "", rows);
    ASSERT_EQ(rows.size(), std::size(kTree));
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(kTree[i].name);
        EXPECT_STREQ(rows[i].parent, kTree[i].parent);
        EXPECT_STREQ(rows[i].name, kTree[i].name);
        EXPECT_STREQ(rows[i].text, kTree[i].text);
        EXPECT_STREQ(rows[i].shortcut, kTree[i].shortcut);
        EXPECT_EQ(rows[i].autoEnable, kTree[i].autoEnable);
    }
    const auto* bar = window->findChild<QMenuBar*>("MenuBar1");
    ASSERT_NE(bar, nullptr);
    QStringList titles;
    for (QAction* action : bar->actions()) {
        titles.append(action->text());
    }
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&Script Tools", "About"}));
    EXPECT_TRUE(window->MenuItemNamed("UntitledSeparator")->Action()->isSeparator());
}

TEST_F(MenuBarTest, OneSharedBarWhoseActionsEveryWindowShows) {
    EXPECT_EQ(&App::Instance()->MenuBar(), &MenuBar1::Instance());
    EXPECT_EQ(window->MenuBar(), &MenuBar1::Instance());
    const auto* bar = window->findChild<QMenuBar*>();
    EXPECT_EQ(bar->actions().at(0), window->FileMenu()->Action());
    EXPECT_EQ(window->FileMenu()->Menu()->actions().at(1), window->Fileopen()->Action());

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

TEST_F(MenuBarTest, CmdShortcutsAreCtrlAndProtectMapOnlyShowsItsKey) {
    EXPECT_EQ(window->Fileopen()->Action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(window->FilePrefernces()->Action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_TRUE(window->ScriptToolsProtectMap()->Action()->shortcut().isEmpty());
    EXPECT_EQ(window->ScriptToolsProtectMap()->Action()->text(), "&Protect Map\tCtrl+P");
}

TEST_F(MenuBarTest, CtrlPOpensThePreferencesAlsoWithAMapLoaded) {
    uitest::OpenThroughTheMenu(*window, uitest::SaveMap(uitest::SmallMap(), TempPath("a.map")));
    OpenMenu("ScriptMenu");
    ASSERT_TRUE(window->ScriptToolsProtectMap()->Enabled());
    Activate();

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

    uitest::OpenThroughTheMenu(*window, uitest::SaveMap(uitest::SmallMap(), TempPath("a.map")));
    expectTools(true);
    // Whatever else changed them, the enabling event brings them up again.
    for (MenuItem* item : tools) {
        item->SetEnabled(false);
    }
    OpenMenu("FileMenu");
    expectTools(true);
}

TEST_F(MenuBarTest, PreferencesAndAboutEachOpenOneWindowUntilItCloses) {
    window->FilePrefernces()->Action()->trigger();
    PrefWin* preferences = PrefWin::Existing();
    ASSERT_NE(preferences, nullptr);
    window->FilePrefernces()->Action()->trigger();
    EXPECT_EQ(PrefWin::Existing(), preferences);

    window->AboutMenu()->Action()->trigger();
    AboutWin* about = AboutWin::Existing();
    ASSERT_NE(about, nullptr);
    window->AboutMenu()->Action()->trigger();
    EXPECT_EQ(AboutWin::Existing(), about);
    EXPECT_TRUE(about->isVisible());
    about->close();
    uitest::ProcessEvents();
    EXPECT_EQ(AboutWin::Existing(), nullptr);
}

TEST_F(MenuBarTest, EditCommandsActOnTheFocusedField) {
    const MainWindowControls& c = window->Controls();
    c.PageEditor->SetValue(1);
    Activate();
    c.FldScriptName->setText("intro");
    c.FldScriptName->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), c.FldScriptName);

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
