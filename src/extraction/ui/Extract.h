#pragma once

#include <string>

#include "platform/ui/DesignWindow.h"

class QComboBox;
class QPlainTextEdit;

namespace platform {
class MenuItem;
}

// The output window "Extracted": a new one for every extraction, never reused. It shows the
// producer's text in `FldExtract`, which the user may edit; File > Save writes `ScriptsSaved`,
// the text as the producer left it. `ReType` and `Type` lie above the content area, out of
// sight, with the value-type and script-type names.
class Extract : public platform::DesignWindow {
    Q_OBJECT

public:
    // A new window, not yet shown.
    Extract();

    // What File > Save writes.
    std::string ScriptsSaved;

    QPlainTextEdit* FldExtract = nullptr;
    QComboBox* ReType = nullptr;
    QComboBox* Type = nullptr;

    // Adds the text at the end of the field in one piece.
    void AppendText(const std::string& text);

    // File > Save: asks for a file (default name "scripts") and writes ScriptsSaved to it
    // unchanged; nothing when the user cancels. Returns false.
    bool _Filesave_Action();

    platform::MenuItem* FileMenu() const { return MenuItemNamed("FileMenu"); }
    platform::MenuItem* Filesave() const { return MenuItemNamed("Filesave"); }
    platform::MenuItem* FileQuit() const { return MenuItemNamed("FileQuit"); }
    platform::MenuItem* EditMenu() const { return MenuItemNamed("EditMenu"); }
    platform::MenuItem* EditUndo() const { return MenuItemNamed("EditUndo"); }
    platform::MenuItem* UntitledMenu1() const { return MenuItemNamed("UntitledMenu1"); }
    platform::MenuItem* EditCut() const { return MenuItemNamed("EditCut"); }
    platform::MenuItem* EditCopy() const { return MenuItemNamed("EditCopy"); }
    platform::MenuItem* EditPaste() const { return MenuItemNamed("EditPaste"); }
    platform::MenuItem* EditClear() const { return MenuItemNamed("EditClear"); }
    platform::MenuItem* UntitledMenu0() const { return MenuItemNamed("UntitledMenu0"); }
    platform::MenuItem* EditSelectAll() const { return MenuItemNamed("EditSelectAll"); }

private:
    void Layout();
    void CreateControls();
    void _CreateControls0();
    void AddMenuHandlers();
};
