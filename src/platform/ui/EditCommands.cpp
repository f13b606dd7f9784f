#include "platform/ui/EditCommands.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/ui/NamedMenu.h"

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

namespace {

std::unique_ptr<MenuItem> EditItem(const char* name, const char* text, const char* shortcut,
                                   EditCommand command) {
    auto item = std::make_unique<MenuItem>(name, true, text, shortcut);
    item->SetFrameworkAction([command] { RunEditCommand(command); });
    return item;
}

}  // namespace

void AppendEditMenu(MenuBarModel& bar) {
    bar.Append(std::make_unique<MenuItem>("EditMenu", true, "&Edit"));
    MenuItem* edit = bar.Child("EditMenu");
    edit->Append(EditItem("EditUndo", "&Undo", "Cmd+Z", EditCommand::Undo));
    edit->Append(std::make_unique<MenuItem>("UntitledMenu1", true, "-"));
    edit->Append(EditItem("EditCut", "Cu&t", "Cmd+X", EditCommand::Cut));
    edit->Append(EditItem("EditCopy", "&Copy", "Cmd+C", EditCommand::Copy));
    edit->Append(EditItem("EditPaste", "&Paste", "Cmd+V", EditCommand::Paste));
    edit->Append(EditItem("EditClear", "&Delete", "", EditCommand::Clear));
    edit->Append(std::make_unique<MenuItem>("UntitledMenu0", true, "-"));
    edit->Append(EditItem("EditSelectAll", "Select &All", "Cmd+A", EditCommand::SelectAll));
}

std::unique_ptr<MenuItem> QuitItem() {
    auto quit = std::make_unique<MenuItem>("FileQuit", true, "&Quit", "Cmd+Q");
    quit->SetFrameworkAction([] { QCoreApplication::quit(); });
    return quit;
}

}  // namespace platform
