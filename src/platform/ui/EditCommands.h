#pragma once

#include <memory>

namespace platform {

class MenuBarModel;
class MenuItem;

enum class EditCommand { Undo, Cut, Copy, Paste, Clear, SelectAll };

// The framework's standard edit commands: they act on the text field that has the focus and
// do nothing when none has it.
void RunEditCommand(EditCommand command);

// Appends the standard Edit menu, item `EditMenu`, to a menu bar: Undo, Cut, Copy, Paste,
// Delete and Select All with their separators, each running its edit command.
void AppendEditMenu(MenuBarModel& bar);

// The standard File > Quit item, `FileQuit`.
std::unique_ptr<MenuItem> QuitItem();

}  // namespace platform
