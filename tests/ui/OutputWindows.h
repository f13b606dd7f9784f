#pragma once

#include <QApplication>

#include <vector>

#include "extraction/ui/Extract.h"

namespace uitest {

// The output windows that are open, in no particular order.
inline std::vector<Extract*> OutputWindows() {
    std::vector<Extract*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Extract*>(widget); window != nullptr && window->IsOpen()) {
            windows.push_back(window);
        }
    }
    return windows;
}

}  // namespace uitest
