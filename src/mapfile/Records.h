#pragma once

#include <cstdint>
#include <string>

// Plain records of the scenario's script tables, one per record read from the map.
// Every integer is held as a signed 32-bit value; texts are the map's bytes unchanged.

struct Tag {
    std::string Class1;  // the four file bytes reversed
    std::string Class2;
    std::string Class3;
    int32_t ident = 0;
    std::string Name;
    int32_t NameOffset = 0;
    int32_t Offset = 0;  // file offset of the tag's data: the scenario's script block
};

struct ScriptHeader {
    std::string Name;
    int32_t Type = 0;        // index into ScriptTypeNames
    int32_t ReturnType = 0;  // index into ValueTypeNames
    int32_t ExpPointer = 0;  // identity of the root node
    int32_t Offset = 0;      // file offset of the script record
};

struct GlobalHeader {
    std::string Name;
    int32_t Type = 0;        // index into ValueTypeNames
    int32_t ExpPointer = 0;  // identity of the initial-value node
    int32_t Offset = 0;      // file offset of the global record
};

struct Syntax {
    int32_t ExpIdentity = 0;
    int32_t EngineIdentity = 0;  // -1: no engine command
    int32_t ExpType = 0;
    int32_t SibExpPointer = 0;      // identity of the next sibling, -1: none
    int32_t ScriptTableOffset = 0;  // absolute file offset of the node's text
    int32_t ScriptValue = 0;        // the 16-bit value, sign-extended
    int32_t KidExpPointer = 0;      // identity of the first child, -1: none
    int32_t offset = 0;             // file offset of the syntax record
    int32_t ValueType = 0;          // index into ValueTypeNames
    std::string Command;            // the node's text, empty until read
};
