#include "platform/ui/EditCommands.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace platform {

namespace {

void ClearSelection(QLineEdit& field) {
    if (field.hasSelectedText()) {
        field.del();
    }
}

void ClearSelection(QPlainTextEdit& field) {
    QTextCursor cursor = field.textCursor();
    cursor.removeSelectedText();
    field.setTextCursor(cursor);
}

template <typename Field>
void Run(Field& field, EditCommand command) {
    switch (command) {
        case EditCommand::Undo:
            field.undo();
            break;
        case EditCommand::Cut:
            field.cut();
            break;
        case EditCommand::Copy:
            field.copy();
            break;
        case EditCommand::Paste:
            field.paste();
            break;
        case EditCommand::Clear:
            ClearSelection(field);
            break;
        case EditCommand::SelectAll:
            field.selectAll();
            break;
    }
}

}  // namespace

void RunEditCommand(EditCommand command) {
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        Run(*line, command);
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) {
        Run(*text, command);
    }
}

}  // namespace platform
