#include "MapBuilder.h"

#include <algorithm>
#include <fstream>
#include <utility>

namespace testmap {

namespace {

constexpr int32_t kHeaderSize = 2048;

int32_t Align16(size_t value) {
    return static_cast<int32_t>((value + 15) / 16 * 16);
}

std::string Reversed(std::string text) {
    std::reverse(text.begin(), text.end());
    return text;
}

}  // namespace

Node MakeNode(int16_t identity, int16_t engine, int16_t valueType, int16_t expType, int16_t sibling,
              int16_t kid, std::string text, int16_t value) {
    return {identity, engine, valueType, expType, 0, sibling, std::move(text), {}, value, kid};
}

void BuiltMap::PutInt(int64_t offset, int32_t value, int width) {
    std::string text;
    for (int i = 0; i < width; ++i) {
        text.push_back(static_cast<char>(static_cast<uint32_t>(value) >> (8 * i)));
    }
    PutBytes(offset, text);
}

void BuiltMap::PutBytes(int64_t offset, const std::string& text) {
    const auto end = static_cast<size_t>(offset) + text.size();
    bytes.resize(std::max(bytes.size(), end));
    std::copy(text.begin(), text.end(), bytes.begin() + offset);
}

std::vector<uint8_t> BuiltMap::With(int64_t offset, const std::string& replacement) const {
    BuiltMap copy = *this;
    copy.PutBytes(offset, replacement);
    return copy.bytes;
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    const std::string text = ReadFileText(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

bool BuiltMap::Save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

BuiltMap Build(const MapSpec& spec) {
    BuiltMap map;
    map.magic = spec.magic;
    auto address = [&](int32_t offset) { return offset + spec.magic; };

    const int32_t tagIndexOffset = kHeaderSize;
    map.tagEntryOffset = tagIndexOffset + 40;
    const int32_t tagNameOffset = map.tagEntryOffset + 32;
    map.scenarioOffset = Align16(static_cast<size_t>(tagNameOffset) + spec.tagName.size() + 1);
    map.scriptTableOffset = map.scenarioOffset + 1216;
    map.globalTableOffset = map.scriptTableOffset + 92 * static_cast<int32_t>(spec.scripts.size());
    map.syntaxTableOffset = map.globalTableOffset + 92 * static_cast<int32_t>(spec.globals.size());
    const int32_t records = static_cast<int32_t>(spec.nodes.size()) + 1;
    map.stringDataOffset = Align16(static_cast<size_t>(map.syntaxTableOffset) + 36 + 20 * records);
    map.bytes.resize(static_cast<size_t>(map.stringDataOffset));

    const bool named = spec.kind == HeaderKind::Named;
    map.PutBytes(0, named ? "daeh" : "head");
    map.PutInt(named ? 16 : 1516, tagIndexOffset);
    if (named) {
        map.PutBytes(32, spec.mapName);
    }
    map.PutInt(4, spec.headerValue);

    // Tag index and its first entry.
    map.PutInt(tagIndexOffset, address(map.tagEntryOffset));
    map.PutBytes(map.tagEntryOffset + 0, Reversed(spec.class1));
    map.PutBytes(map.tagEntryOffset + 4, Reversed(spec.class2));
    map.PutBytes(map.tagEntryOffset + 8, Reversed(spec.class3));
    map.PutInt(map.tagEntryOffset + 12, static_cast<int32_t>(spec.ident));
    map.PutInt(map.tagEntryOffset + 16, address(tagNameOffset));
    map.PutInt(map.tagEntryOffset + 20, address(map.scenarioOffset));
    map.PutBytes(tagNameOffset, spec.tagName + std::string(1, '\0'));

    // Scenario script block.
    const int32_t s = map.scenarioOffset;
    map.PutInt(s + 1152, address(map.syntaxTableOffset));
    map.PutInt(s + 1172, address(map.stringDataOffset));
    map.PutInt(s + 1180, spec.scriptCount.value_or(static_cast<int32_t>(spec.scripts.size())));
    map.PutInt(s + 1184, address(map.scriptTableOffset));
    map.PutInt(s + 1192, spec.globalCount.value_or(static_cast<int32_t>(spec.globals.size())));
    map.PutInt(s + 1196, address(map.globalTableOffset));

    // 16-bit fields of the record at `at`.
    auto fields = [&](int32_t at, std::initializer_list<std::pair<int32_t, int16_t>> values) {
        for (const auto& [field, value] : values) {
            map.PutInt(at + field, value, 2);
        }
    };
    for (int32_t i = 0; i < static_cast<int32_t>(spec.scripts.size()); ++i) {
        const Script& script = spec.scripts[static_cast<size_t>(i)];
        map.PutBytes(map.ScriptRecord(i), script.name.substr(0, 32));
        fields(map.ScriptRecord(i),
               {{32, script.type}, {34, script.returnType}, {36, -1}, {38, script.root}});
    }
    for (int32_t i = 0; i < static_cast<int32_t>(spec.globals.size()); ++i) {
        const Global& global = spec.globals[static_cast<size_t>(i)];
        map.PutBytes(map.GlobalRecord(i), global.name.substr(0, 32));
        fields(map.GlobalRecord(i), {{32, global.type}, {40, -1}, {42, global.value}});
    }

    // Syntax table and node texts.
    std::string texts;
    map.textOffsets.resize(static_cast<size_t>(records));
    for (int32_t i = 0; i < records; ++i) {
        const Node& node = i == 0 ? spec.firstRecord : spec.nodes[static_cast<size_t>(i - 1)];
        const int32_t relative = node.textOffset.value_or(static_cast<int32_t>(texts.size()));
        if (!node.textOffset) {
            texts += node.text + std::string(1, '\0');
        }
        map.textOffsets[static_cast<size_t>(i)] = static_cast<int32_t>(
            static_cast<uint32_t>(map.stringDataOffset) + static_cast<uint32_t>(relative));
        const int32_t at = map.SyntaxRecord(i);
        fields(at, {{0, node.identity},
                    {2, node.engine},
                    {4, node.valueType},
                    {6, node.expType},
                    {8, node.siblingLow},
                    {10, node.sibling},
                    {16, node.value},
                    {18, node.kid}});
        map.PutInt(at + 12, relative);
    }
    map.PutInt(map.syntaxTableOffset + 46,
               spec.nodeCount.value_or(static_cast<int16_t>(spec.nodes.size())), 2);
    map.PutBytes(map.stringDataOffset, texts + spec.extraStringData);
    return map;
}

}  // namespace testmap
