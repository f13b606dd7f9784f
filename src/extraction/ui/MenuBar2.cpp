#include "extraction/ui/MenuBar2.h"

#include <memory>

#include "platform/ui/EditCommands.h"

using platform::MenuItem;

namespace {

MenuBar2*& SharedInstance() {
    static MenuBar2* instance = nullptr;
    return instance;
}

}  // namespace

MenuBar2& MenuBar2::Instance() {
    MenuBar2*& instance = SharedInstance();
    if (instance == nullptr) {
        instance = new MenuBar2();
    }
    return *instance;
}

void MenuBar2::Release() {
    delete SharedInstance();
    SharedInstance() = nullptr;
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
