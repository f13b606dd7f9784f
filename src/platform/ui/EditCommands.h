#pragma once

namespace platform {

enum class EditCommand { Undo, Cut, Copy, Paste, Clear, SelectAll };

// The framework's standard edit commands: they act on the text field that has the focus and
// do nothing when none has it.
void RunEditCommand(EditCommand command);

}  // namespace platform
