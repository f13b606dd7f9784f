#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Builds map files byte by byte, so that each test lays out exactly the map it needs.
namespace testmap {

// One syntax record. `text` is appended to the node-text block with a terminating zero and the
// record points at it, unless `textOffset` places the record's text offset explicitly
// (relative to the node-text block).
struct Node {
    int16_t identity = 0;
    int16_t engine = -1;
    int16_t valueType = 0;
    int16_t expType = 0;
    int16_t siblingLow = 0;  // the low half of the sibling reference, never read
    int16_t sibling = -1;
    std::string text{};
    std::optional<int32_t> textOffset{};
    int16_t value = 0;
    int16_t kid = -1;
};

// A node with the fields a printed expression needs; the rest keep their defaults.
Node MakeNode(int16_t identity, int16_t engine, int16_t valueType, int16_t expType, int16_t sibling,
              int16_t kid, std::string text, int16_t value = 0);

// Script and global records; at most 32 name bytes are written.
struct Script {
    std::string name;
    int16_t type = 0;
    int16_t returnType = 0;
    int16_t root = -1;
};

struct Global {
    std::string name;
    int16_t type = 0;
    int16_t value = -1;
};

enum class HeaderKind { Named, Bare };

struct MapSpec {
    HeaderKind kind = HeaderKind::Bare;
    std::string mapName = "a10";  // named header only
    int32_t headerValue = 7;      // the int32 at offset 4
    int32_t magic = 0x40000000;
    std::string class1 = "scnr";  // class codes are written reversed, as the game stores them
    std::string class2 = "\xFF\xFF\xFF\xFF";
    std::string class3 = "\xFF\xFF\xFF\xFF";
    uint32_t ident = 0xE1740000;
    std::string tagName = "levels\\test\\test";

    std::vector<Script> scripts;
    std::vector<Global> globals;
    // Cache record 0: table bytes 36 to 55. Its sibling identity is the node count.
    Node firstRecord;
    // Cache records 1 to n.
    std::vector<Node> nodes;
    std::optional<int16_t> nodeCount;  // default: nodes.size()
    std::optional<int32_t> scriptCount;
    std::optional<int32_t> globalCount;
    std::string extraStringData;  // appended to the node-text block after every node text
};

struct BuiltMap {
    std::vector<uint8_t> bytes;
    int32_t magic = 0;
    int32_t tagEntryOffset = 0;
    int32_t scenarioOffset = 0;
    int32_t scriptTableOffset = 0;
    int32_t globalTableOffset = 0;
    int32_t syntaxTableOffset = 0;
    int32_t stringDataOffset = 0;
    std::vector<int32_t> textOffsets;  // absolute offset of each node's text, by cache index

    int32_t ScriptRecord(int32_t i) const { return scriptTableOffset + 92 * i; }
    int32_t GlobalRecord(int32_t i) const { return globalTableOffset + 92 * i; }
    int32_t SyntaxRecord(int32_t cacheIndex) const {
        return syntaxTableOffset + 36 + 20 * cacheIndex;
    }

    // Lays a little-endian integer of `width` bytes, or `bytes`, at `offset`; the map grows to
    // hold it.
    void PutInt(int64_t offset, int32_t value, int width = 4);
    void PutBytes(int64_t offset, const std::string& text);
    // The map's bytes with `replacement` laid over them at `offset`.
    std::vector<uint8_t> With(int64_t offset, const std::string& replacement) const;
    // Writes the bytes to a file; returns false on failure.
    bool Save(const std::string& path) const;
};

BuiltMap Build(const MapSpec& spec);

// A file's bytes, empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);
std::string ReadFileText(const std::string& path);

// The largest map the format allows: 32 767 syntax nodes (32 768 records with record 0),
// 4 000 scripts and 4 000 globals, about 1 MB of node texts. Script bodies are laid out the
// way the order walk expects (first child, body in preorder, root last) and are linked as real
// trees, so both walks print them. Deterministic.
MapSpec MaximalMap();

}  // namespace testmap
