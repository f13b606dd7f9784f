#pragma once

// The halves of the settings that work through the preferences window and dialogs.
namespace Prefernces {

// Takes the six settings from the preferences window's controls (creating the window, set
// from the settings, when none is open) and writes the preferences file anew. Returns false,
// after a message, when the map folder path does not fit the file (then nothing is taken) or
// the file cannot be written.
bool SavePrefernces();

// At start-up: reads the preferences file into the settings. Without a file it writes one
// from the window, which then stays open; a file of another version is read only when the
// user agrees.
void LoadPreferncesMain();

// Asks whether to read an out-of-date preferences file; true for "Update".
bool AskToReadOutOfDateFile();

}  // namespace Prefernces
