#include "mainwindow/ui/MenuBar1.h"

#include <QCoreApplication>

#include <memory>

#include "platform/ui/EditCommands.h"

using platform::EditCommand;
using platform::MenuItem;

namespace {

std::unique_ptr<MenuItem> Item(const char* name, bool autoEnable, const char* text,
                               const char* shortcut = "") {
    return std::make_unique<MenuItem>(name, autoEnable, text, shortcut);
}

std::unique_ptr<MenuItem> EditItem(const char* name, const char* text, const char* shortcut,
                                   EditCommand command) {
    auto item = Item(name, true, text, shortcut);
    item->SetFrameworkAction([command] { platform::RunEditCommand(command); });
    return item;
}

MenuBar1*& SharedInstance() {
    static MenuBar1* instance = nullptr;
    return instance;
}

}  // namespace

MenuBar1& MenuBar1::Instance() {
    MenuBar1*& instance = SharedInstance();
    if (instance == nullptr) {
        instance = new MenuBar1();
    }
    return *instance;
}

void MenuBar1::Release() {
    delete SharedInstance();
    SharedInstance() = nullptr;
}

MenuBar1::MenuBar1() {
    setObjectName(QStringLiteral("MenuBar1"));
    Untitled0();
    Untitled1();
    Untitled2();
    Untitled3();
}

void MenuBar1::Untitled0() {
    Append(Item("FileMenu", true, "&File"));
    MenuItem* file = Child("FileMenu");
    auto quit = Item("FileQuit", true, "&Quit", "Cmd+Q");
    quit->SetFrameworkAction([] { QCoreApplication::quit(); });
    file->Append(std::move(quit));
    file->Append(Item("Fileopen", true, "&Open", "Cmd+o"));
    file->Append(Item("UntitledSeparator", true, "-"));
    file->Append(Item("FilePrefernces", true, "&Prefernces", "Cmd+P"));
}

void MenuBar1::Untitled1() {
    Append(Item("EditMenu", true, "&Edit"));
    MenuItem* edit = Child("EditMenu");
    edit->Append(EditItem("EditUndo", "&Undo", "Cmd+Z", EditCommand::Undo));
    edit->Append(Item("UntitledMenu1", true, "-"));
    edit->Append(EditItem("EditCut", "Cu&t", "Cmd+X", EditCommand::Cut));
    edit->Append(EditItem("EditCopy", "&Copy", "Cmd+C", EditCommand::Copy));
    edit->Append(EditItem("EditPaste", "&Paste", "Cmd+V", EditCommand::Paste));
    edit->Append(EditItem("EditClear", "&Delete", "", EditCommand::Clear));
    edit->Append(Item("UntitledMenu0", true, "-"));
    edit->Append(EditItem("EditSelectAll", "Select &All", "Cmd+A", EditCommand::SelectAll));
}

void MenuBar1::Untitled2() {
    Append(Item("ScriptMenu", true, "&Script Tools"));
    MenuItem* tools = Child("ScriptMenu");
    tools->Append(Item("ScriptToolsExtract", false, "&Extract..."));
    MenuItem* extract = tools->Child("ScriptToolsExtract");
    extract->Append(Item("Extractall", false, "All"));
    extract->Append(Item("ExtractGlobalRange", false, "Global Range"));
    extract->Append(Item("ExtractScriptRange", false, "Script Range"));
    // Its key belongs to File > Prefernces, which claims it first; this destructive command
    // only shows it.
    tools->Append(Item("ScriptToolsProtectMap", false, "&Protect Map", "Cmd+P"));
    tools->Append(Item("ScriptToolsdatabase", false, "&Database"));
}

void MenuBar1::Untitled3() {
    Append(Item("AboutMenu", true, "About"));
}
