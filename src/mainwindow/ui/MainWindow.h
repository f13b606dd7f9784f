#pragma once

#include <string>
#include <vector>

#include "mapfile/MapState.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DesignWindow.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

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
    bool _FilePrefernces_Action();
    bool _AboutMenu_Action();

private:
    MainWindow();
    void Layout();
    void CreateControls();
    void _CreateControls0();
    void AddMenuHandlers();
    void Event_Open();
    void ShowLoadedMap(const std::vector<std::string>& folderRows);

    MapState state_;
    MainWindowControls controls_{};
};
