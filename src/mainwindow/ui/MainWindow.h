#pragma once

#include <QPointer>

#include <memory>
#include <string>
#include <vector>

#include "mainwindow/RecordEditors.h"
#include "mapfile/MapState.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DesignWindow.h"

class QCloseEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidgetItem;
class WinRange;

namespace platform {
class MenuItem;
}

// The main window's controls, by their names.
struct MainWindowControls {
    platform::HierarchicalList* Lb_Select;
    platform::PagePanel* PageEditor;
    QLabel* StaticText3;
    QLabel* StaticText4;
    QLineEdit* FldScriptExpPointer;
    QComboBox* PopScriptType;
    QLabel* StaticText8;
    QComboBox* PopScriptReturn;
    QLineEdit* FldGlobalExpPointer;
    QLineEdit* FldGlobalName;
    QComboBox* PopGlobalType;
    QLineEdit* FldSyntaxEngineIdent;
    QLineEdit* FldSyntaxExpIdent;
    QLabel* StaticText12;
    QComboBox* PopSyntaxType;
    QLabel* StaticText13;
    QLineEdit* FldSyntaxExpType;
    QLabel* StaticText14;
    QLabel* StaticText1;
    QLabel* StaticText5;
    QLabel* StaticText11;
    QPlainTextEdit* FldGlobalDecomp;
    QLineEdit* FldSyntaxSibExp;
    QLabel* StaticText15;
    QLabel* StaticText6;
    QLabel* StaticText22;
    QLineEdit* FldScriptName;
    QPlainTextEdit* FldScriptDeComp;
    QLineEdit* FldSyntaxScriptTableOffset;
    QLineEdit* FldSyntaxScriptValue;
    QLineEdit* FldSyntaxKidExp;
    QLabel* StaticText20;
    QLabel* StaticText16;
    QLabel* StaticText24;
    QPlainTextEdit* FldSyntaxCommand;
    QLabel* StaticTimeStamp;
    QLineEdit* FldSyntaxEngineCommand;
};

// The single document window: it holds the open map's state, shows its records and carries
// every action of the main menu bar.
class MainWindow : public platform::DesignWindow {
    Q_OBJECT

public:
    // The open main window; a new one, with an empty map state, when none is open.
    static MainWindow* Instance();
    // The open main window, or null; creates none.
    static MainWindow* Existing();

    MapState& State() { return state_; }
    const MainWindowControls& Controls() const { return controls_; }

    // The map folder setting as it was at start-up; kept for the record, nothing reads it.
    std::string MapFolder;

    // The items of the window's menu bar, each found by its name.
    platform::MenuItem* AboutMenu() const { return MenuItemNamed("AboutMenu"); }
    platform::MenuItem* ScriptMenu() const { return MenuItemNamed("ScriptMenu"); }
    platform::MenuItem* ScriptToolsdatabase() const { return MenuItemNamed("ScriptToolsdatabase"); }
    platform::MenuItem* ScriptToolsProtectMap() const {
        return MenuItemNamed("ScriptToolsProtectMap");
    }
    platform::MenuItem* ScriptToolsExtract() const { return MenuItemNamed("ScriptToolsExtract"); }
    platform::MenuItem* ExtractScriptRange() const { return MenuItemNamed("ExtractScriptRange"); }
    platform::MenuItem* ExtractGlobalRange() const { return MenuItemNamed("ExtractGlobalRange"); }
    platform::MenuItem* Extractall() const { return MenuItemNamed("Extractall"); }
    platform::MenuItem* EditMenu() const { return MenuItemNamed("EditMenu"); }
    platform::MenuItem* EditSelectAll() const { return MenuItemNamed("EditSelectAll"); }
    platform::MenuItem* UntitledMenu0() const { return MenuItemNamed("UntitledMenu0"); }
    platform::MenuItem* EditClear() const { return MenuItemNamed("EditClear"); }
    platform::MenuItem* EditPaste() const { return MenuItemNamed("EditPaste"); }
    platform::MenuItem* EditCopy() const { return MenuItemNamed("EditCopy"); }
    platform::MenuItem* EditCut() const { return MenuItemNamed("EditCut"); }
    platform::MenuItem* UntitledMenu1() const { return MenuItemNamed("UntitledMenu1"); }
    platform::MenuItem* EditUndo() const { return MenuItemNamed("EditUndo"); }
    platform::MenuItem* FileMenu() const { return MenuItemNamed("FileMenu"); }
    platform::MenuItem* FilePrefernces() const { return MenuItemNamed("FilePrefernces"); }
    platform::MenuItem* UntitledSeparator() const { return MenuItemNamed("UntitledSeparator"); }
    platform::MenuItem* Fileopen() const { return MenuItemNamed("Fileopen"); }
    platform::MenuItem* FileQuit() const { return MenuItemNamed("FileQuit"); }

    void Event_EnableMenuItems() override;

    // Menu actions; each returns false.
    bool _Fileopen_Action();
    bool _ScriptToolsProtectMap_Action();
    bool _FilePrefernces_Action();
    bool _AboutMenu_Action();
    bool _Extractall_Action();
    bool _ExtractScriptRange_Action();
    bool _ExtractGlobalRange_Action();
    bool _ScriptToolsdatabase_Action();

    // The browse list: the page of the selected row; the children of an expanded folder row,
    // built anew at every expansion; a collapsed folder row loses them.
    void Lb_Select_Change();
    void Lb_Select_ExpandRow(QTreeWidgetItem* row);
    void Lb_Select_CollapseRow(QTreeWidgetItem* row);

    // The record editors. A text field commits on Return or Enter (`key` is the character code
    // of the key pressed) and always lets the key through; a pop-up commits on every change.
    bool FldScriptName_KeyDown(int key);
    void PopScriptType_Change();
    void PopScriptReturn_Change();
    bool FldScriptExpPointer_KeyDown(int key);
    bool FldGlobalName_KeyDown(int key);
    void PopGlobalType_Change();
    bool FldGlobalExpPointer_KeyDown(int key);
    bool FldSyntaxExpIdent_KeyDown(int key);
    bool FldSyntaxEngineIdent_KeyDown(int key);
    void PopSyntaxType_Change();
    bool FldSyntaxExpType_KeyDown(int key);
    bool FldSyntaxSibExp_KeyDown(int key);
    bool FldSyntaxScriptTableOffset_KeyDown(int key);
    bool FldSyntaxScriptValue_KeyDown(int key);
    bool FldSyntaxKidExp_KeyDown(int key);
    bool FldSyntaxEngineCommand_KeyDown(int key);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MainWindow();
    void Layout();
    void CreateControls();
    void _CreateControls0();
    void AddMenuHandlers();
    void BindEvents();
    void Event_Open();
    void ShowLoadedMap(const std::vector<std::string>& folderRows);
    // Shows the Extract Range window over this window's map, turned to `page`.
    void ShowRangeWindow(int page);

    void ShowRow(const std::string& text);
    void ShowScriptPage(const std::string& name);
    void ShowGlobalPage(const std::string& name);
    void ShowSyntaxPage(const std::string& rowText);

    void CommitNumber(int key, EditorField field, QLineEdit& control);
    void CommitName(int key, EditorField field, QLineEdit& control);
    void CommitIndex(EditorField field, QComboBox& control);

    // Long work yields to the event loop, where other events may arrive. A load replaces the
    // whole state, so nothing else may run during one; a selection that arrives while a page
    // is filled or the map protected is shown when that work is done.
    bool Busy() const { return loading_ || expanding_ || showing_ || protecting_; }
    bool loading_ = false;
    bool expanding_ = false;
    bool showing_ = false;
    bool protecting_ = false;
    bool selectionPending_ = false;

    // Shared with the Extract Range window, whose work may go on after this window has closed.
    std::shared_ptr<MapState> map_ = std::make_shared<MapState>();
    MapState& state_ = *map_;
    MainWindowControls controls_{};
    // The Extract Range window this window opened; it works on state_.
    QPointer<WinRange> range_;
};
