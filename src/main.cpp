#include <cstdio>
#include <cstdlib>

#include "mainwindow/ui/App.h"

namespace {

// Qt aborts when it finds no display; say so plainly instead.
bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!HasDisplay()) {
        std::fprintf(stderr,
                     "Morvane needs a graphical desktop: no display was found (DISPLAY and "
                     "WAYLAND_DISPLAY are not set).\n");
        return 1;
    }
    App app(argc, argv);
    app.Start();
    return app.exec();
}
