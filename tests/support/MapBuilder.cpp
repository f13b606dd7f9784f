#include "MapBuilder.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>

namespace testmap {

namespace {

constexpr int32_t kHeaderSize = 2048;

int32_t Align16(size_t value) {
    return static_cast<int32_t>((value + 15) / 16 * 16);
}

void Grow(std::vector<uint8_t>& bytes, int64_t end) {
    if (static_cast<int64_t>(bytes.size()) < end) {
        bytes.resize(static_cast<size_t>(end), 0);
    }
}

std::string Reversed(std::string text) {
    std::reverse(text.begin(), text.end());
    return text;
}

}  // namespace

Node MakeNode(int16_t identity, int16_t engine, int16_t valueType, int16_t expType, int16_t sibling,
              int16_t kid, std::string text, int16_t value) {
    Node node;
    node.identity = identity;
    node.engine = engine;
    node.valueType = valueType;
    node.expType = expType;
    node.sibling = sibling;
    node.kid = kid;
    node.text = std::move(text);
    node.value = value;
    return node;
}

void BuiltMap::PutInt16(int64_t offset, int16_t value) {
    Grow(bytes, offset + 2);
    auto bits = static_cast<uint16_t>(value);
    bytes[static_cast<size_t>(offset)] = static_cast<uint8_t>(bits & 0xFF);
    bytes[static_cast<size_t>(offset) + 1] = static_cast<uint8_t>(bits >> 8);
}

void BuiltMap::PutInt32(int64_t offset, int32_t value) {
    Grow(bytes, offset + 4);
    auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<size_t>(offset) + i] = static_cast<uint8_t>((bits >> (8 * i)) & 0xFF);
    }
}

void BuiltMap::PutBytes(int64_t offset, const std::string& text) {
    Grow(bytes, offset + static_cast<int64_t>(text.size()));
    std::memcpy(bytes.data() + offset, text.data(), text.size());
}

std::vector<uint8_t> BuiltMap::With(int64_t offset, const std::string& replacement) const {
    std::vector<uint8_t> result = bytes;
    Grow(result, offset + static_cast<int64_t>(replacement.size()));
    std::memcpy(result.data() + offset, replacement.data(), replacement.size());
    return result;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
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

    map.tagIndexOffset = kHeaderSize;
    map.tagEntryOffset = map.tagIndexOffset + 40;
    const int32_t tagNameOffset = map.tagEntryOffset + 32;
    map.scenarioOffset = Align16(static_cast<size_t>(tagNameOffset) + spec.tagName.size() + 1);
    map.scriptTableOffset = map.scenarioOffset + 1216;
    map.globalTableOffset = map.scriptTableOffset + 92 * static_cast<int32_t>(spec.scripts.size());
    map.syntaxTableOffset = map.globalTableOffset + 92 * static_cast<int32_t>(spec.globals.size());
    const int32_t records = static_cast<int32_t>(spec.nodes.size()) + 1;
    map.stringDataOffset = Align16(static_cast<size_t>(map.syntaxTableOffset) + 36 + 20 * records);

    // Header.
    Grow(map.bytes, kHeaderSize);
    if (spec.kind == HeaderKind::Named) {
        map.PutBytes(0, "daeh");
        map.PutInt32(16, map.tagIndexOffset);
        map.PutBytes(32, spec.mapName);
    } else {
        map.PutBytes(0, spec.bareKindTag.substr(0, 4));
        map.PutInt32(1516, map.tagIndexOffset);
    }
    map.PutInt32(4, spec.headerValue);

    // Tag index and its first entry.
    map.PutInt32(map.tagIndexOffset, address(map.tagEntryOffset));
    map.PutBytes(map.tagEntryOffset + 0, Reversed(spec.class1));
    map.PutBytes(map.tagEntryOffset + 4, Reversed(spec.class2));
    map.PutBytes(map.tagEntryOffset + 8, Reversed(spec.class3));
    map.PutInt32(map.tagEntryOffset + 12, static_cast<int32_t>(spec.ident));
    map.PutInt32(map.tagEntryOffset + 16, address(tagNameOffset));
    map.PutInt32(map.tagEntryOffset + 20, address(map.scenarioOffset));
    map.PutBytes(tagNameOffset, spec.tagName + std::string(1, '\0'));

    // Scenario script block.
    const int32_t s = map.scenarioOffset;
    Grow(map.bytes, map.scriptTableOffset);
    map.PutInt32(s + 1152, address(map.syntaxTableOffset));
    map.PutInt32(s + 1172, address(map.stringDataOffset));
    map.PutInt32(s + 1180, spec.scriptCount.value_or(static_cast<int32_t>(spec.scripts.size())));
    map.PutInt32(s + 1184, address(map.scriptTableOffset));
    map.PutInt32(s + 1192, spec.globalCount.value_or(static_cast<int32_t>(spec.globals.size())));
    map.PutInt32(s + 1196, address(map.globalTableOffset));

    for (size_t i = 0; i < spec.scripts.size(); ++i) {
        const Script& script = spec.scripts[i];
        const int32_t at = map.ScriptRecord(static_cast<int32_t>(i));
        Grow(map.bytes, at + 92);
        map.PutBytes(at, script.name.substr(0, 32));
        map.PutInt16(at + 32, script.type);
        map.PutInt16(at + 34, script.returnType);
        map.PutInt16(at + 36, -1);
        map.PutInt16(at + 38, script.root);
    }
    for (size_t i = 0; i < spec.globals.size(); ++i) {
        const Global& global = spec.globals[i];
        const int32_t at = map.GlobalRecord(static_cast<int32_t>(i));
        Grow(map.bytes, at + 92);
        map.PutBytes(at, global.name.substr(0, 32));
        map.PutInt16(at + 32, global.type);
        map.PutInt16(at + 40, -1);
        map.PutInt16(at + 42, global.value);
    }

    // Syntax table and node texts.
    Grow(map.bytes, map.stringDataOffset);
    std::string texts;
    map.textOffsets.resize(static_cast<size_t>(records));
    for (int32_t i = 0; i < records; ++i) {
        const Node& node = i == 0 ? spec.firstRecord : spec.nodes[static_cast<size_t>(i - 1)];
        int32_t relative = 0;
        if (node.textOffset) {
            relative = *node.textOffset;
        } else {
            relative = static_cast<int32_t>(texts.size());
            texts += node.text;
            texts.push_back('\0');
        }
        map.textOffsets[static_cast<size_t>(i)] = static_cast<int32_t>(
            static_cast<uint32_t>(map.stringDataOffset) + static_cast<uint32_t>(relative));
        const int32_t at = map.SyntaxRecord(i);
        map.PutInt16(at + 0, node.identity);
        map.PutInt16(at + 2, node.engine);
        map.PutInt16(at + 4, node.valueType);
        map.PutInt16(at + 6, node.expType);
        map.PutInt16(at + 8, node.siblingLow);
        map.PutInt16(at + 10, node.sibling);
        map.PutInt32(at + 12, relative);
        map.PutInt16(at + 16, node.value);
        map.PutInt16(at + 18, node.kid);
    }
    map.PutInt16(map.syntaxTableOffset + 46,
                 spec.nodeCount.value_or(static_cast<int16_t>(spec.nodes.size())));
    texts += spec.extraStringData;
    map.PutBytes(map.stringDataOffset, texts);
    return map;
}

namespace {

// Lays out generated script bodies and global values, node by node.
class MaximalMapWriter {
public:
    explicit MaximalMapWriter(MapSpec& spec) : spec_(spec), random_(20261206) {}

    int32_t Size() const { return static_cast<int32_t>(spec_.nodes.size()); }

    // Appends a node and returns its identity; the cache position is the node's index + 1.
    int16_t Add(Node node) {
        node.identity = GeneratedIdentity(Size() + 1);
        spec_.nodes.push_back(std::move(node));
        return spec_.nodes.back().identity;
    }
    Node& At(int16_t identity) { return spec_.nodes[static_cast<size_t>(identity + 32768)]; }

    int Random(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::string Word(int length) {
        std::string text;
        for (int i = 0; i < length; ++i) {
            text.push_back(static_cast<char>('a' + Random(0, 25)));
        }
        return text;
    }

    Node Value() {
        static constexpr int16_t kTypes[] = {5, 6, 7, 8, 9, 9, 37, 43, 44, 24};
        Node node;
        node.expType = 9;
        node.valueType = kTypes[Random(0, 9)];
        node.engine = -1;
        node.kid = 0;
        switch (node.valueType) {
            case 5:
                node.value = Random(0, 1) ? -255 : -256;
                node.text = node.value == -255 ? "true" : "false";
                break;
            case 6:
            case 7:
            case 8:
                node.value = static_cast<int16_t>(Random(-3000, 30000));
                node.text = std::to_string(node.value);
                break;
            case 9:
                node.text = Word(Random(30, 120)) + " " + Word(Random(20, 90));
                break;
            default:
                node.text = Word(Random(24, 90));
        }
        return node;
    }

    // A call in preorder: the call node, its name node, then its arguments. Returns the
    // call's identity and leaves `budget` reduced by the nodes it used.
    int16_t Call(int& budget, int depth) {
        const auto& names = CommandNames();
        const int command = Random(0, static_cast<int>(names.size()) - 1);
        Node call;
        call.expType = 8;
        call.valueType = 4;
        call.engine = static_cast<int16_t>(command);
        call.text = names[static_cast<size_t>(command)];
        const int16_t callId = Add(call);
        Node name;
        name.expType = 9;
        name.valueType = 2;
        name.engine = static_cast<int16_t>(command);
        name.text = names[static_cast<size_t>(command)];
        name.kid = 0;
        const int16_t nameId = Add(name);
        At(callId).kid = nameId;
        budget -= 2;
        int16_t previous = nameId;
        const int arguments = Random(0, 4);
        for (int a = 0; a < arguments && budget > 0; ++a) {
            int16_t argument = 0;
            if (depth < 3 && budget >= 4 && Random(0, 3) == 0) {
                argument = Call(budget, depth + 1);
            } else {
                argument = Add(Value());
                --budget;
            }
            At(previous).sibling = argument;
            previous = argument;
        }
        At(previous).kid = At(previous).expType == 9 ? -1 : At(previous).kid;
        return callId;
    }

    static const std::vector<std::string>& CommandNames() {
        static const std::vector<std::string> names = {
            "sleep_until",
            "ai_command_list_by_unit",
            "object_create_anew_containing",
            "sound_impulse_start",
            "device_set_position_immediate",
            "cinematic_screen_effect_start",
            "player_action_test_look_relative_all_directions",
            "volume_test_objects_all",
            "unit_set_desired_flashlight_state",
            "ai_magically_see_encounter",
            "objects_can_see_object",
            "device_group_change_only_once_more_set"};
        return names;
    }

private:
    MapSpec& spec_;
    std::mt19937 random_;
};

}  // namespace

MapSpec MaximalMap() {
    constexpr int kNodes = 32767;
    constexpr int kScripts = 4000;
    constexpr int kGlobals = 4000;
    MapSpec spec;
    spec.kind = HeaderKind::Named;
    spec.mapName = "a30";
    spec.firstRecord.identity = 0x6373;  // table header bytes, as the game leaves them
    spec.firstRecord.text = "";
    MaximalMapWriter writer(spec);

    int scriptBudget = kNodes - kGlobals;
    for (int s = 0; s < kScripts; ++s) {
        const int scriptsLeft = kScripts - s;
        // Every script gets at least one statement (four nodes with its first child and root).
        int budget = s == 0 ? 4000 : scriptBudget / scriptsLeft + writer.Random(-2, 3);
        budget = std::max(4, std::min(budget, scriptBudget - 4 * (scriptsLeft - 1)));
        scriptBudget -= budget;
        budget -= 2;  // the first child and the root

        Node first;
        first.expType = 9;
        first.valueType = 2;
        first.engine = 0;
        first.text = "begin";
        first.kid = 0;
        const int16_t firstId = writer.Add(first);
        int16_t previous = firstId;
        while (budget >= 2) {
            const int16_t statement = writer.Call(budget, 0);
            writer.At(previous).sibling = statement;
            previous = statement;
        }
        scriptBudget += budget;  // what a script could not use goes to the next
        Node root;
        root.expType = 8;
        root.valueType = 4;
        root.engine = 0;
        root.text = "begin";
        root.kid = firstId;
        const int16_t rootId = writer.Add(root);

        Script script;
        script.name = "script_" + std::to_string(s) + "_" + writer.Word(writer.Random(2, 12));
        script.type = static_cast<int16_t>(writer.Random(0, 4));
        script.returnType =
            script.type == 4 || script.type == 3 ? static_cast<int16_t>(writer.Random(4, 9)) : 4;
        script.root = rootId;
        spec.scripts.push_back(script);
    }
    while (writer.Size() < kNodes - kGlobals) {
        writer.Add(writer.Value());
    }
    for (int g = 0; g < kGlobals; ++g) {
        Node value = writer.Value();
        value.kid = -1;
        Global global;
        global.name = "global_" + std::to_string(g);
        global.type = value.valueType;
        global.value = writer.Add(value);
        spec.globals.push_back(global);
    }
    return spec;
}

}  // namespace testmap
