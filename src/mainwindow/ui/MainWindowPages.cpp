// The main window's browse list and its three record pages.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>

#include <algorithm>

#include "enginecommands/EngineCommands.h"
#include "mainwindow/BrowseRows.h"
#include "mainwindow/RecordPages.h"
#include "mainwindow/ui/MainWindow.h"
#include "mainwindow/ui/ScriptTextField.h"
#include "mapfile/MapFormat.h"
#include "platform/Hooks.h"
#include "platform/Text.h"
#include "platform/ui/QtText.h"

using namespace mapformat;
using platform::FromBytes;

namespace {

constexpr int kScriptPage = 1;
constexpr int kGlobalPage = 2;
constexpr int kSyntaxPage = 3;

// Rows of a script row that the list adds before its loop, without a yield.
constexpr size_t kScriptRowsBeforeLoop = 2;

// A text longer than the field shows from its start; setText alone would show its end.
void ShowText(QLineEdit& field, const std::string& text) {
    field.setText(FromBytes(text));
    field.setCursorPosition(0);
}

void SetField(QLineEdit& field, const std::string& text, int64_t offset) {
    ShowText(field, text);
    field.setToolTip(FromBytes(OffsetHelpTag(offset)));
}

// A code outside the pop-up's list shows no selection, so nothing stands for a wrong one.
void SetPopup(QComboBox& popup, int32_t code, int64_t offset) {
    popup.setCurrentIndex(code >= 0 && code < popup.count() ? code : -1);
    popup.setToolTip(FromBytes(OffsetHelpTag(offset)));
}

}  // namespace

void MainWindow::Lb_Select_Change() {
    if (loading_) {
        return;
    }
    if (showing_ || protecting_) {
        // Printing or protecting yields; the row chosen meanwhile is shown when it is done,
        // instead of a second printing mixing its text into the first.
        selectionPending_ = true;
        return;
    }
    const Job job(*this);
    const QScopedValueRollback<bool> showing(showing_, true);
    do {
        selectionPending_ = false;
        const QList<QTreeWidgetItem*> selected = controls_.Lb_Select->selectedItems();
        if (!selected.isEmpty()) {
            ShowRow(platform::ToBytes(selected.front()->text(0)));
        }
    } while (selectionPending_);
}

void MainWindow::Lb_Select_ExpandRow(QTreeWidgetItem* row) {
    if (loading_) {
        return;
    }
    if (Busy()) {
        // Children are built only while nothing else runs; the row closes again instead of
        // showing no children or half of them.
        const QSignalBlocker quiet(controls_.Lb_Select);
        row->setExpanded(false);
        return;
    }
    const Job job(*this);
    const QScopedValueRollback<bool> expanding(expanding_, true);
    // The row's page shows before any child is added.
    controls_.Lb_Select->setCurrentItem(row);
    const std::string text = platform::ToBytes(row->text(0));
    const RowChildren children = ExpandRow(state_, text);
    controls_.Lb_Select->RemoveChildren(row);
    if (children.message) {
        platform::MsgBox(*children.message);
        return;
    }
    // Folder rows yield after each row; a script row's first two rows and a global row's one
    // come without.
    size_t quietRows = 0;
    if (!children.folders) {
        quietRows = ClassifyRow(text).kind == RowKind::Script
                        ? std::min(kScriptRowsBeforeLoop, children.rows.size())
                        : children.rows.size();
    }
    for (size_t i = 0; i < children.rows.size(); ++i) {
        controls_.Lb_Select->AddRow(row, FromBytes(children.rows[i]), children.folders);
        if (i >= quietRows) {
            platform::Yield();
        }
    }
}

void MainWindow::Lb_Select_CollapseRow(QTreeWidgetItem* row) {
    if (Busy()) {
        // The children stay hidden until the next expansion rebuilds them.
        return;
    }
    controls_.Lb_Select->setCurrentItem(row);
    controls_.Lb_Select->RemoveChildren(row);
}

void MainWindow::ShowRow(const std::string& text) {
    const RowRef row = ClassifyRow(text);
    switch (row.kind) {
        case RowKind::None:
        case RowKind::Folder:
            return;
        case RowKind::Script:
            ShowScriptPage(row.key);
            return;
        case RowKind::Global:
            ShowGlobalPage(row.key);
            return;
        case RowKind::Syntax:
            ShowSyntaxPage(row.key);
            return;
    }
}

void MainWindow::ShowScriptPage(const std::string& name) {
    const MainWindowControls& c = controls_;
    c.FldScriptDeComp->clear();
    const int32_t position = ShowScript(state_, name);
    if (position < 0) {
        return;
    }
    // A copy: the pop-ups' change handlers may update the cached record.
    const ScriptHeader script = state_.ScriptHeaderCache[static_cast<size_t>(position)];
    SetField(*c.FldScriptName, script.Name, int64_t{script.Offset} + kScriptName);
    SetPopup(*c.PopScriptType, script.Type, int64_t{script.Offset} + kScriptType);
    SetPopup(*c.PopScriptReturn, script.ReturnType, int64_t{script.Offset} + kScriptReturnType);
    SetField(*c.FldScriptExpPointer, platform::Str(script.ExpPointer),
             int64_t{script.Offset} + kScriptRootReference);
    int64_t ticks = 0;
    {
        ScriptTextField field(*c.FldScriptDeComp);
        ticks = PrintShownScript(state_, field);
    }
    c.StaticTimeStamp->setText(FromBytes(platform::Str(ticks)) + QStringLiteral(" ticks"));
    c.PageEditor->SetValue(kScriptPage);
}

void MainWindow::ShowGlobalPage(const std::string& name) {
    const MainWindowControls& c = controls_;
    const int32_t position = ShowGlobal(state_, name);
    if (position < 0) {
        return;
    }
    const GlobalHeader global = state_.GlobalHeaderCache[static_cast<size_t>(position)];
    SetField(*c.FldGlobalName, global.Name, int64_t{global.Offset} + kGlobalName);
    SetPopup(*c.PopGlobalType, global.Type, int64_t{global.Offset} + kGlobalType);
    SetField(*c.FldGlobalExpPointer, platform::Str(global.ExpPointer),
             int64_t{global.Offset} + kGlobalValueReference);
    c.FldGlobalDecomp->setPlainText(FromBytes(GlobalLine(state_, global)));
    c.PageEditor->SetValue(kGlobalPage);
}

void MainWindow::ShowSyntaxPage(const std::string& rowText) {
    const MainWindowControls& c = controls_;
    const int32_t position = ShowSyntax(state_, rowText);
    if (position < 0) {
        return;
    }
    const Syntax node = state_.SyntaxCache[static_cast<size_t>(position)];
    const int64_t record = node.offset;
    SetField(*c.FldSyntaxExpIdent, platform::Str(node.ExpIdentity), record + kSyntaxIdentity);
    SetField(*c.FldSyntaxEngineIdent, platform::Str(node.EngineIdentity),
             record + kSyntaxEngineIdentity);
    SetPopup(*c.PopSyntaxType, node.ValueType, record + kSyntaxValueType);
    SetField(*c.FldSyntaxExpType, platform::Str(node.ExpType), record + kSyntaxExpType);
    // Keeps its own help tag.
    ShowText(*c.FldSyntaxEngineCommand, EngineCommandName(state_, node.EngineIdentity));
    SetField(*c.FldSyntaxSibExp, platform::Str(node.SibExpPointer),
             record + kSyntaxSiblingReference);
    SetField(*c.FldSyntaxScriptTableOffset, platform::Hex(node.ScriptTableOffset),
             record + kSyntaxTextOffset);
    SetField(*c.FldSyntaxScriptValue, platform::Str(node.ScriptValue), record + kSyntaxValue);
    SetField(*c.FldSyntaxKidExp, platform::Str(node.KidExpPointer), record + kSyntaxChildIdentity);
    // The text's own offset in the map, not a place in the record.
    c.FldSyntaxCommand->setPlainText(FromBytes(node.Command));
    c.FldSyntaxCommand->setToolTip(FromBytes(OffsetHelpTag(node.ScriptTableOffset)));
    c.PageEditor->SetValue(kSyntaxPage);
}
