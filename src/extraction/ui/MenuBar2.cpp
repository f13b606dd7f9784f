#include "extraction/ui/MenuBar2.h"

#include <memory>

#include "platform/ui/EditCommands.h"

using platform::MenuItem;

MenuBar2& MenuBar2::Instance() {
    return platform::SharedMenuBar<MenuBar2>::Instance();
}

void MenuBar2::Release() {
    platform::SharedMenuBar<MenuBar2>::Release();
}

MenuBar2::MenuBar2() {
    setObjectName(QStringLiteral("MenuBar2"));
    Untitled0();
    Untitled1();
}

void MenuBar2::Untitled0() {
    Append(std::make_unique<MenuItem>("FileMenu", true, "&File"));
    MenuItem* file = Child("FileMenu");
    file->Append(std::make_unique<MenuItem>("Filesave", true, "&Save", "Cmd+S"));
    file->Append(platform::QuitItem());
}

void MenuBar2::Untitled1() {
    platform::AppendEditMenu(*this);
}
