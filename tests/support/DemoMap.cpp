#include "DemoMap.h"

#include <algorithm>
#include <iterator>
#include <random>
#include <utility>

namespace testmap {

namespace {

constexpr int16_t kVoid = 4;
constexpr int16_t kFunctionName = 2;

// An expression of the script language: a call with arguments, or a single value node.
struct Expr {
    bool call = false;
    int16_t engine = -1;
    int16_t expType = 9;
    int16_t valueType = 0;
    std::string text;
    int16_t value = 0;
    int16_t kid = 0;  // a value's: the upper half of its 32-bit value
    std::vector<Expr> args;
};

Expr Call(std::string name, int16_t engine, std::vector<Expr> args, int16_t expType = 8) {
    return {true, engine, expType, kVoid, std::move(name), 0, 0, std::move(args)};
}

Expr Value(int16_t valueType, std::string text, int16_t value = 0, int16_t expType = 9) {
    const int16_t high = value < 0 ? -1 : 0;
    return {false, -1, expType, valueType, std::move(text), value, high, {}};
}

// Lays nodes out the way the game does: a script's first child, its body in preorder, then
// the root last, with identities counting up from -32768 by cache position.
class Writer {
public:
    // `closeLists`: the last node of a call's list, when it is a value or the call's name, gets
    // no child.
    Writer(MapSpec& spec, bool closeLists) : spec_(spec), closeLists_(closeLists) {}

    int32_t Size() const { return static_cast<int32_t>(spec_.nodes.size()); }

    int16_t Emit(const Expr& e) {
        if (!e.call) {
            return Add(MakeNode(0, -1, e.valueType, e.expType, -1, e.kid, e.text, e.value));
        }
        const int16_t callId = Add(MakeNode(0, e.engine, e.valueType, e.expType, -1, -1, e.text));
        const int16_t nameId = Add(MakeNode(0, e.engine, kFunctionName, 9, -1, 0, e.text));
        At(callId).kid = nameId;
        const int16_t last = Chain(nameId, e.args);
        if (closeLists_ && At(last).expType == 9) {
            At(last).kid = -1;
        }
        return callId;
    }

    // A script: (begin statements...); returns the root's identity.
    int16_t Script(const std::vector<Expr>& statements) {
        const int16_t firstId = Add(MakeNode(0, 0, kFunctionName, 9, -1, 0, "begin"));
        Chain(firstId, statements);
        return Add(MakeNode(0, 0, kVoid, 8, -1, firstId, "begin"));
    }

private:
    Node& At(int16_t identity) { return spec_.nodes[static_cast<size_t>(identity + 32768)]; }

    // Emits each expression as the sibling of the one before; returns the last identity.
    int16_t Chain(int16_t previous, const std::vector<Expr>& list) {
        for (const Expr& e : list) {
            const int16_t id = Emit(e);
            At(previous).sibling = id;
            previous = id;
        }
        return previous;
    }

    int16_t Add(Node node) {
        node.identity = static_cast<int16_t>(-32768 + Size());
        spec_.nodes.push_back(std::move(node));
        return spec_.nodes.back().identity;
    }

    MapSpec& spec_;
    bool closeLists_;
};

// Random names, values and calls for the largest map, from a fixed seed.
class Generator {
public:
    int Random(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::string Word(int length) {
        std::string text;
        for (int i = 0; i < length; ++i) {
            text.push_back(static_cast<char>('a' + Random(0, 25)));
        }
        return text;
    }

    Expr RandomValue() {
        static constexpr int16_t kTypes[] = {5, 6, 7, 8, 9, 9, 37, 43, 44, 24};
        Expr e;
        e.valueType = kTypes[Random(0, 9)];
        if (e.valueType == 5) {
            e.value = Random(0, 1) ? -255 : -256;
            e.text = e.value == -255 ? "true" : "false";
        } else if (e.valueType <= 8) {
            e.value = static_cast<int16_t>(Random(-3000, 30000));
            e.text = std::to_string(e.value);
        } else if (e.valueType == 9) {
            e.text = Word(Random(30, 120)) + " " + Word(Random(20, 90));
        } else {
            e.text = Word(Random(24, 90));
        }
        return e;
    }

    // A call with its arguments; leaves `budget` reduced by the nodes it takes.
    Expr RandomCall(int& budget, int depth) {
        static const std::string kNames[] = {"sleep_until",
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
        const int command = Random(0, static_cast<int>(std::size(kNames)) - 1);
        Expr call = Call(kNames[command], static_cast<int16_t>(command), {});
        budget -= 2;
        const int arguments = Random(0, 4);
        for (int a = 0; a < arguments && budget > 0; ++a) {
            if (depth < 3 && budget >= 4 && Random(0, 3) == 0) {
                call.args.push_back(RandomCall(budget, depth + 1));
            } else {
                call.args.push_back(RandomValue());
                --budget;
            }
        }
        return call;
    }

private:
    std::mt19937 random_{20261206};
};

}  // namespace

MapSpec DemoMap() {
    MapSpec spec;
    spec.kind = HeaderKind::Named;
    spec.mapName = "a10";
    spec.tagName = "levels\\a10\\a10";
    spec.firstRecord.identity = 0x6373;
    Writer writer(spec, false);

    const int16_t intro = writer.Script({
        Call("fade_out", 298,
             {Value(6, "1", 1), Value(6, "1", 1), Value(6, "1", 1), Value(7, "0", 0)}),
        Call("sleep", 19, {Value(7, "30", 30)}),
        Call("print", 28, {Value(9, "Welcome aboard")}),
        Call("fade_in", 297,
             {Value(6, "1", 1), Value(6, "1", 1), Value(6, "1", 1), Value(7, "60", 60)}),
    });
    const int16_t patrol = writer.Script({
        Call(
            "sleep_until", 20,
            {Call("volume_test_objects", 32, {Value(11, "hangar_door"), Call("players", 29, {})})}),
        Call("ai_place", 162, {Value(17, "hangar_guards")}),
        Call("set", 4, {Value(5, "hangar_alert", 0, 13), Value(5, "true", -255)}),
    });
    const int16_t watch = writer.Script({
        Call("if", 2,
             {Call("=", 13, {Value(5, "hangar_alert", 0, 13), Value(5, "true", -255)}),
              Call("wake", 21, {Value(10, "patrol")}), Call("sleep", 19, {Value(7, "-5", -5)})}),
    });
    const int16_t total = writer.Script({
        Call("+", 7, {Value(8, "1200", 1200), Value(7, "30", 30)}),
    });
    const int16_t ready = writer.Script({
        Call("and", 5, {Value(5, "false", -256), Call("game_safe_to_save", 311, {})}),
        Call("unknown_command", 600, {Value(43, "crate_1")}, 10),
    });
    spec.scripts = {
        {"intro", 0, kVoid, intro},      // startup
        {"patrol", 1, kVoid, patrol},    // dormant
        {"watch", 2, kVoid, watch},      // continuous
        {"total_ticks", 3, 7, total},    // static short
        {"ready_to_save", 4, 5, ready},  // stub boolean
    };

    Expr title = Value(9, "Hangar");
    title.kid = -1;
    spec.globals = {{"hangar_alert", 5, writer.Emit(Value(5, "false", -256))},
                    {"lives", 7, writer.Emit(Value(7, "3", 3))},
                    {"speed", 6, writer.Emit(Value(6, "2", 2))},
                    {"score", 8, writer.Emit(Value(8, "1500", 1500))},
                    {"title", 9, writer.Emit(title)}};
    return spec;
}

MapSpec MaximalMap() {
    constexpr int kNodes = 32767;
    constexpr int kScripts = 4000;
    constexpr int kGlobals = 4000;
    MapSpec spec;
    spec.kind = HeaderKind::Named;
    spec.mapName = "a30";
    spec.firstRecord.identity = 0x6373;  // table header bytes, as the game leaves them
    Writer writer(spec, true);
    Generator random;

    int scriptBudget = kNodes - kGlobals;
    for (int s = 0; s < kScripts; ++s) {
        const int scriptsLeft = kScripts - s;
        // Every script gets at least one statement (four nodes with its first child and root).
        int budget = s == 0 ? 4000 : scriptBudget / scriptsLeft + random.Random(-2, 3);
        budget = std::max(4, std::min(budget, scriptBudget - 4 * (scriptsLeft - 1)));
        scriptBudget -= budget;
        budget -= 2;  // the first child and the root
        std::vector<Expr> statements;
        while (budget >= 2) {
            statements.push_back(random.RandomCall(budget, 0));
        }
        scriptBudget += budget;  // what a script could not use goes to the next
        const int16_t root = writer.Script(statements);
        std::string name = "script_" + std::to_string(s) + "_" + random.Word(random.Random(2, 12));
        const auto type = static_cast<int16_t>(random.Random(0, 4));
        const auto returnType = static_cast<int16_t>(type >= 3 ? random.Random(4, 9) : 4);
        spec.scripts.push_back({std::move(name), type, returnType, root});
    }
    while (writer.Size() < kNodes - kGlobals) {
        writer.Emit(random.RandomValue());
    }
    for (int g = 0; g < kGlobals; ++g) {
        Expr value = random.RandomValue();
        value.kid = -1;
        spec.globals.push_back(
            {"global_" + std::to_string(g), value.valueType, writer.Emit(value)});
    }
    return spec;
}

}  // namespace testmap
