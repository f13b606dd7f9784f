// The main window's record editors and map protection.

#include <QComboBox>
#include <QLineEdit>
#include <QScopedValueRollback>

#include "mainwindow/RecordEditors.h"
#include "mainwindow/ui/MainWindow.h"
#include "platform/ui/QtText.h"

// Editors write nothing while a load replaces the state they would write into.
void MainWindow::CommitNumber(int key, EditorField field, const QLineEdit& control) {
    if (IsCommitKey(key) && !loading_) {
        CommitNumberField(state_, field, platform::ToBytes(control.text()));
    }
}

void MainWindow::CommitName(int key, EditorField field, const QLineEdit& control) {
    if (IsCommitKey(key) && !loading_) {
        CommitNameField(state_, field, platform::ToBytes(control.text()));
    }
}

void MainWindow::CommitIndex(EditorField field, const QComboBox& control) {
    if (!loading_) {
        CommitIndexField(state_, field, control.currentIndex());
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
    {
        const QScopedValueRollback<bool> protecting(protecting_, true);
        ProtectScripts(state_);
    }
    if (selectionPending_) {
        Lb_Select_Change();
    }
    return false;
}
