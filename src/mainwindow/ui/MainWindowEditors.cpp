// The main window's record editors and map protection.

#include <QComboBox>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>

#include <optional>
#include <string>

#include "mainwindow/RecordEditors.h"
#include "mainwindow/ui/MainWindow.h"
#include "platform/ui/QtText.h"

namespace {

// After a commit that wrote nothing the control shows the value the map still holds, not the
// one the map refused.
void ShowStored(const MapState& state, EditorField field, QLineEdit& control) {
    if (std::optional<std::string> stored = StoredFieldText(state, field)) {
        control.setText(platform::FromBytes(*stored));
        control.setCursorPosition(0);  // from its start, as the pages show it
    }
}

}  // namespace

// Editors write nothing while a load replaces the state they would write into.
void MainWindow::CommitNumber(int key, EditorField field, QLineEdit& control) {
    const Job job(*this);  // a refusal's message lets the event loop run
    if (IsCommitKey(key) && !loading_ &&
        CommitNumberField(state_, field, platform::ToBytes(control.text())) ==
            CommitResult::Refused) {
        ShowStored(state_, field, control);
    }
}

// A written name may be shorter than the text typed: the field shows what was stored.
void MainWindow::CommitName(int key, EditorField field, QLineEdit& control) {
    const Job job(*this);
    if (IsCommitKey(key) && !loading_) {
        CommitNameField(state_, field, platform::ToBytes(control.text()));
        ShowStored(state_, field, control);
    }
}

void MainWindow::CommitIndex(EditorField field, QComboBox& control) {
    const Job job(*this);
    if (loading_ ||
        CommitIndexField(state_, field, control.currentIndex()) != CommitResult::Refused) {
        return;
    }
    if (std::optional<int32_t> stored = StoredFieldCode(state_, field)) {
        // Setting it back is no new choice to commit.
        const QSignalBlocker quiet(control);
        control.setCurrentIndex(*stored >= 0 && *stored < control.count() ? *stored : -1);
    }
}

bool MainWindow::FldScriptName_KeyDown(int key) {
    CommitName(key, EditorField::ScriptName, *controls_.FldScriptName);
    return false;
}

void MainWindow::PopScriptType_Change() {
    CommitIndex(EditorField::ScriptType, *controls_.PopScriptType);
}

void MainWindow::PopScriptReturn_Change() {
    CommitIndex(EditorField::ScriptReturnType, *controls_.PopScriptReturn);
}

bool MainWindow::FldScriptExpPointer_KeyDown(int key) {
    CommitNumber(key, EditorField::ScriptExpPointer, *controls_.FldScriptExpPointer);
    return false;
}

bool MainWindow::FldGlobalName_KeyDown(int key) {
    CommitName(key, EditorField::GlobalName, *controls_.FldGlobalName);
    return false;
}

void MainWindow::PopGlobalType_Change() {
    CommitIndex(EditorField::GlobalType, *controls_.PopGlobalType);
}

bool MainWindow::FldGlobalExpPointer_KeyDown(int key) {
    CommitNumber(key, EditorField::GlobalExpPointer, *controls_.FldGlobalExpPointer);
    return false;
}

bool MainWindow::FldSyntaxExpIdent_KeyDown(int key) {
    CommitNumber(key, EditorField::SyntaxExpIdentity, *controls_.FldSyntaxExpIdent);
    return false;
}

bool MainWindow::FldSyntaxEngineIdent_KeyDown(int key) {
    CommitNumber(key, EditorField::SyntaxEngineIdentity, *controls_.FldSyntaxEngineIdent);
    return false;
}

void MainWindow::PopSyntaxType_Change() {
    CommitIndex(EditorField::SyntaxValueType, *controls_.PopSyntaxType);
}

bool MainWindow::FldSyntaxExpType_KeyDown(int key) {
    CommitNumber(key, EditorField::SyntaxExpType, *controls_.FldSyntaxExpType);
    return false;
}

bool MainWindow::FldSyntaxSibExp_KeyDown(int key) {
    CommitNumber(key, EditorField::SyntaxSibling, *controls_.FldSyntaxSibExp);
    return false;
}

bool MainWindow::FldSyntaxScriptTableOffset_KeyDown(int key) {
    CommitNumber(key, EditorField::SyntaxTextOffset, *controls_.FldSyntaxScriptTableOffset);
    return false;
}

bool MainWindow::FldSyntaxScriptValue_KeyDown(int key) {
    CommitNumber(key, EditorField::SyntaxValue, *controls_.FldSyntaxScriptValue);
    return false;
}

bool MainWindow::FldSyntaxKidExp_KeyDown(int key) {
    CommitNumber(key, EditorField::SyntaxKid, *controls_.FldSyntaxKidExp);
    return false;
}

bool MainWindow::FldSyntaxEngineCommand_KeyDown(int) {
    // The field shows a command name; no field of the node's record holds one.
    return false;
}

bool MainWindow::_ScriptToolsProtectMap_Action() {
    if (Busy()) {
        return false;
    }
    const Job job(*this);
    {
        const QScopedValueRollback<bool> protecting(protecting_, true);
        ProtectScripts(state_);
    }
    if (selectionPending_) {
        Lb_Select_Change();
    }
    return false;
}
