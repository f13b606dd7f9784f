#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "mapfile/MapState.h"

// The record editors write one field of the shown record into the open map, in place, and the
// same value into the cached record. A commit that cannot write (no map, no record shown, the
// map cannot be opened for writing, the file is not the one loaded or was changed since, the
// field lies beyond the end of the file, the write fails) says why in one message and changes
// nothing in memory.

enum class EditorField {
    ScriptName,
    ScriptType,
    ScriptReturnType,
    ScriptExpPointer,
    GlobalName,
    GlobalType,
    GlobalExpPointer,
    SyntaxExpIdentity,
    SyntaxEngineIdentity,
    SyntaxValueType,
    SyntaxExpType,
    SyntaxSibling,
    SyntaxTextOffset,
    SyntaxValue,
    SyntaxKid,
};

enum class CommitResult {
    Written,
    Unchanged,  // a pop-up set to the value the record holds: nothing to write
    Refused,    // nothing written; the user was told why
};

// The key codes that commit a text field: Return and Enter.
bool IsCommitKey(int characterCode);

// A number field: the text's number (by Val, then to Int32: fraction dropped, out-of-range values
// clamped to the Int32 range). The text-offset field reads its text as hexadecimal and stores it
// relative to the node-text block. An int16 field receives the low 16 bits of the number, the
// cached field the whole number.
CommitResult CommitNumberField(MapState& state, EditorField field, std::string_view text);

// A pop-up: its selected index. Writes only when the index differs from the cached value; a
// pop-up without a selection (index -1) writes nothing.
CommitResult CommitIndexField(MapState& state, EditorField field, int32_t index);

// A name field: 32 zero bytes, then the text's bytes, cut to 31 so that a zero byte ends the
// name. The stored name becomes a further key of the name dictionary; the old key stays.
CommitResult CommitNameField(MapState& state, EditorField field, std::string_view text);

// What the cached record that a commit in `field` updates holds there, as the record's page
// shows it: a name as it is, the text offset in hexadecimal, any other number in decimal.
// nullopt when no record of the field's kind is shown.
std::optional<std::string> StoredFieldText(const MapState& state, EditorField field);
// The same for a pop-up's field: the code held.
std::optional<int32_t> StoredFieldCode(const MapState& state, EditorField field);

// Blanks the first two bytes of the text of every value node (expression type 9) in the map
// file, then reports how many were changed. Offsets outside the file are skipped, and the byte
// after an empty text's terminator is spared. Records in memory stay as they are. Before each
// write, and before it reports, it makes sure the file is still the one loaded, as our own
// writes left it; at the first change it writes nothing more and says so. Returns the count, or
// -1 when the map was not protected (as for the editors, also when the file is not the one
// loaded or was changed since).
int32_t ProtectScripts(MapState& state);
