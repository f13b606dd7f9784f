#pragma once

#include "platform/ui/NamedMenu.h"

// The menu bar of the output windows and of the Extract Range window: File (Save, Quit) and
// the standard Edit menu. One shared instance, made when a window first shows it; it has no
// actions of its own, a window binds its handlers by item name.
class MenuBar2 : public platform::MenuBarModel {
    Q_OBJECT

public:
    static MenuBar2& Instance();
    // Releases the shared instance; the application object does this before it goes.
    static void Release();

private:
    friend class platform::SharedMenuBar<MenuBar2>;
    MenuBar2();
    void Untitled0();  // File
    void Untitled1();  // Edit
};
