#pragma once

#include "platform/ui/DesignWindow.h"

// The credits. It has no behaviour of its own beyond being created.
class AboutWin : public platform::DesignWindow {
    Q_OBJECT

public:
    // The open About window, or a new one when none is open.
    static AboutWin* Instance();
    // The open About window, or null; creates none.
    static AboutWin* Existing();

private:
    AboutWin();
    void Layout();
    void CreateControls();
    void _CreateControls0();
};
