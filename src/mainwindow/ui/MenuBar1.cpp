#include "mainwindow/ui/MenuBar1.h"

#include <memory>

#include "platform/ui/EditCommands.h"

using platform::MenuItem;

namespace {

std::unique_ptr<MenuItem> Item(const char* name, bool autoEnable, const char* text,
                               const char* shortcut = "") {
    return std::make_unique<MenuItem>(name, autoEnable, text, shortcut);
}

}  // namespace

MenuBar1& MenuBar1::Instance() {
    return platform::SharedMenuBar<MenuBar1>::Instance();
}

void MenuBar1::Release() {
    platform::SharedMenuBar<MenuBar1>::Release();
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
    file->Append(platform::QuitItem());
    file->Append(Item("Fileopen", true, "&Open", "Cmd+o"));
    file->Append(Item("UntitledSeparator", true, "-"));
    file->Append(Item("FilePrefernces", true, "&Prefernces", "Cmd+P"));
}

void MenuBar1::Untitled1() {
    platform::AppendEditMenu(*this);
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
