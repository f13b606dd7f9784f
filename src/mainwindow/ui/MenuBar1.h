#pragma once

#include "platform/ui/NamedMenu.h"

// The main menu bar of the application and the main window. One shared instance lives as long
// as the application object.
class MenuBar1 : public platform::MenuBarModel {
    Q_OBJECT

public:
    // The shared instance, created on first use.
    static MenuBar1& Instance();
    // Releases the shared instance; the application object does this before it goes.
    static void Release();

private:
    friend class platform::SharedMenuBar<MenuBar1>;
    MenuBar1();
    void Untitled0();  // File
    void Untitled1();  // Edit
    void Untitled2();  // Script Tools
    void Untitled3();  // About
};
