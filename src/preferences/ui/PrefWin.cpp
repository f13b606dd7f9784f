#include "preferences/ui/PrefWin.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "platform/ui/Dialogs.h"
#include "platform/ui/QtText.h"
#include "preferences/Prefernces.h"
#include "preferences/ui/PreferncesMain.h"

using platform::LockBottom;
using platform::LockLeft;
using platform::LockLT;

namespace {

platform::SharedWindow<PrefWin>& Slot() {
    static platform::SharedWindow<PrefWin> slot;
    return slot;
}

}  // namespace

PrefWin* PrefWin::Instance() {
    return Slot().Get([] { return new PrefWin(); });
}

PrefWin* PrefWin::Existing() {
    return Slot().Existing();
}

PrefWin::PrefWin() {
    setObjectName(QStringLiteral("PrefWin"));
    Layout();
    CreateControls();
    connect(controls_.BtnBrowse, &QPushButton::clicked, this, &PrefWin::BtnBrowse_Action);
    connect(controls_.BevelButton1, &QPushButton::clicked, this, &PrefWin::BevelButton1_Action);
    Event_Open();
}

void PrefWin::Layout() {
    platform::WindowDesign design;
    design.title = QStringLiteral("Prefences");
    design.size = QSize(326, 400);
    design.resizable = false;
    ApplyDesign(design);
}

void PrefWin::CreateControls() {
    _CreateControls0();
}

void PrefWin::_CreateControls0() {
    PrefWinControls& c = controls_;
    auto button = [&](const char* name, QRect rect, const char* caption) {
        auto* control = AddControl<QPushButton>(nullptr, name, rect, LockLeft | LockBottom);
        control->setText(QString::fromLatin1(caption));
        return control;
    };
    auto group = [&](const char* name, QRect rect, const char* caption) {
        auto* control = AddControl<QGroupBox>(nullptr, name, rect, LockLT);
        control->setTitle(QString::fromLatin1(caption));
        return control;
    };
    // The buttons of one group box exclude each other.
    auto radio = [&](const char* name, QGroupBox* box, QRect rect, const char* caption, bool on) {
        auto* control = AddControl<QRadioButton>(box, name, rect, LockLT);
        control->setText(QString::fromLatin1(caption));
        control->setChecked(on);
        return control;
    };

    c.FldMapFolder = AddControl<platform::PathField>(nullptr, "FldMapFolder", {20, 324, 214, 22},
                                                     LockLeft | LockBottom);
    c.FldMapFolder->SetPath("Map folder path");
    c.FldMapFolder->setAlignment(Qt::AlignCenter);
    c.FldMapFolder->setEnabled(false);
    c.BtnBrowse = button("BtnBrowse", {246, 324, 60, 22}, "Browse");
    c.BevelButton1 = button("BevelButton1", {105, 358, 117, 22}, "Save prefences");
    c.GroupBox1 = group("GroupBox1", {20, 138, 286, 73}, "Decompile style");
    c.RbTree = radio("RbTree", c.GroupBox1, {169, 159, 126, 20}, "Tree extraction", false);
    c.RbTrue = radio("RbTrue", c.GroupBox1, {31, 183, 126, 20}, "True extraction", false);
    c.RbTrue->setEnabled(false);
    c.GroupBox2 = group("GroupBox2", {20, 59, 286, 73}, "Script printing method");
    c.RbConstant = radio("RbConstant", c.GroupBox2, {31, 104, 264, 20},
                         "Constant output to editfield (slow, no cutoff)", false);
    c.RbFloating = radio("RbFloating", c.GroupBox2, {31, 80, 264, 20},
                         "Use floating string (fast, may cutoff)", true);
    c.GroupBox3 = group("GroupBox3", {20, 9, 286, 40}, "Script command text");
    c.GroupBox4 = group("GroupBox4", {20, 214, 286, 43}, "Engine Command source");
    c.RbHardcode = radio("RbHardcode", c.GroupBox4, {31, 231, 99, 20}, "Hardcoded", true);
    c.RbComDat = radio("RbComDat", c.GroupBox4, {169, 231, 115, 20}, "ComDat.txt", false);
    c.RbStartup = radio("RbStartup", c.GroupBox3, {31, 26, 99, 20}, "Read at startup", true);
    c.RbExtracting =
        radio("RbExtracting", c.GroupBox3, {169, 26, 115, 20}, "Read as extracting", false);
    c.GroupBox5 = group("GroupBox5", {20, 269, 286, 45}, "Tag script syntax?");
    c.RbTagYes = radio("RbTagYes", c.GroupBox5, {169, 286, 99, 20}, "yes", false);
    c.RbTagNo = radio("RbTagNo", c.GroupBox5, {31, 286, 115, 20}, "no", true);
    c.RbOrder = radio("RbOrder", c.GroupBox1, {31, 159, 126, 20}, "Order extraction", true);
}

void PrefWin::Event_Open() {
    // A value a group does not list leaves that group as it was created.
    const PrefWinControls& c = controls_;
    auto select = [](int32_t value, std::initializer_list<QRadioButton*> buttons) {
        if (value >= 1 && value <= static_cast<int32_t>(buttons.size())) {
            buttons.begin()[value - 1]->setChecked(true);
        }
    };
    select(Prefernces::ScriptCommand, {c.RbStartup, c.RbExtracting});
    select(Prefernces::ScriptPrinting, {c.RbFloating, c.RbConstant});
    select(Prefernces::DecompStyle, {c.RbOrder, c.RbTree, c.RbTrue});
    select(Prefernces::EngineCommands, {c.RbHardcode, c.RbComDat});
    (Prefernces::SyntaxTag ? c.RbTagYes : c.RbTagNo)->setChecked(true);
    c.FldMapFolder->SetPath(Prefernces::MapFolder);
}

void PrefWin::BtnBrowse_Action() {
    const Job job(*this);  // the dialog lets the event loop run
    const QString chosen =
        platform::ChooseFolder({this, platform::PathFromBytes(controls_.FldMapFolder->Path())});
    if (!chosen.isEmpty()) {
        controls_.FldMapFolder->SetPath(
            platform::PathToBytes(QFileInfo(chosen).absoluteFilePath()));
    }
}

void PrefWin::BevelButton1_Action() {
    const Job job(*this);
    if (Prefernces::SavePrefernces()) {
        close();
    }
}
