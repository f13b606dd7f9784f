#pragma once

#include <cstdint>
#include <string>

#include "decompiler/RecordLines.h"
#include "mapfile/MapState.h"
#include "platform/Hooks.h"

// What the three record pages show, apart from the widgets that show it.

// "Offset : 0x" and the hexadecimal file offset of a field.
std::string OffsetHelpTag(int64_t offset);

// The text field the script page prints into.
class TextField : public platform::TextSink {
public:
    virtual void SetText(const std::string& text) = 0;
};

// Makes the script that `name` finds (the first script when none) the shown script; returns its
// position, or -1 when there are no scripts.
int32_t ShowScript(MapState& state, const std::string& name);
int32_t ShowGlobal(MapState& state, const std::string& name);
// A node row's whole text is looked up as an identity text.
int32_t ShowSyntax(MapState& state, const std::string& rowText);

// Prints the shown script into `field` as the ScriptPrinting setting says: 1 the whole text and
// "))", 2 the header line and then the body piece by piece, anything else nothing (the field is
// emptied). Returns the ticks the printing took.
int64_t PrintShownScript(MapState& state, TextField& field);
