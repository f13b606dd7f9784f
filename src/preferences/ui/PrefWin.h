#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/DesignWindow.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

// The preferences window's controls, by their names.
struct PrefWinControls {
    platform::PathField* FldMapFolder;
    QPushButton* BtnBrowse;
    QPushButton* BevelButton1;
    QGroupBox* GroupBox1;
    QRadioButton* RbTree;
    QRadioButton* RbTrue;
    QGroupBox* GroupBox2;
    QRadioButton* RbConstant;
    QRadioButton* RbFloating;
    QGroupBox* GroupBox3;
    QGroupBox* GroupBox4;
    QRadioButton* RbHardcode;
    QRadioButton* RbComDat;
    QRadioButton* RbStartup;
    QRadioButton* RbExtracting;
    QGroupBox* GroupBox5;
    QRadioButton* RbTagYes;
    QRadioButton* RbTagNo;
    QRadioButton* RbOrder;
};

// Shows the settings and lets the user change them. Choices stay in the window until "Save
// prefences" takes them into the settings and the file; closing the window discards them.
class PrefWin : public platform::DesignWindow {
    Q_OBJECT

public:
    // The open preferences window; a new one, set from the settings, when none is open.
    static PrefWin* Instance();
    // The open preferences window, or null; creates none.
    static PrefWin* Existing();

    const PrefWinControls& Controls() const { return controls_; }

    void BtnBrowse_Action();
    void BevelButton1_Action();

private:
    PrefWin();
    void Layout();
    void CreateControls();
    void _CreateControls0();
    void Event_Open();

    PrefWinControls controls_{};
};
