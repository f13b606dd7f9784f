#include "DemoMap.h"

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
    std::vector<Expr> args;
};

Expr Call(std::string name, int16_t engine, std::vector<Expr> args, int16_t expType = 8) {
    Expr e;
    e.call = true;
    e.engine = engine;
    e.expType = expType;
    e.valueType = kVoid;
    e.text = std::move(name);
    e.args = std::move(args);
    return e;
}

Expr Value(int16_t valueType, std::string text, int16_t value = 0, int16_t expType = 9) {
    Expr e;
    e.valueType = valueType;
    e.text = std::move(text);
    e.value = value;
    e.expType = expType;
    return e;
}

// Lays nodes out the way the game does: a script's first child, its body in preorder, then
// the root last, with identities counting up from -32768 by cache position.
class Writer {
public:
    explicit Writer(MapSpec& spec) : spec_(spec) {}

    int16_t Add(Node node) {
        node.identity = static_cast<int16_t>(-32768 + static_cast<int>(spec_.nodes.size()));
        spec_.nodes.push_back(std::move(node));
        return spec_.nodes.back().identity;
    }
    Node& At(int16_t identity) { return spec_.nodes[static_cast<size_t>(identity + 32768)]; }

    static Node NameNode(const Expr& call) {
        Node name;
        name.expType = 9;
        name.valueType = kFunctionName;
        name.engine = call.engine;
        name.text = call.text;
        name.kid = 0;
        return name;
    }

    int16_t Emit(const Expr& e) {
        if (!e.call) {
            Node value;
            value.expType = e.expType;
            value.valueType = e.valueType;
            value.engine = -1;
            value.text = e.text;
            value.value = e.value;
            value.kid = e.value < 0 ? -1 : 0;  // the upper half of the 32-bit value
            return Add(value);
        }
        Node call;
        call.expType = e.expType;
        call.valueType = e.valueType;
        call.engine = e.engine;
        call.text = e.text;
        const int16_t callId = Add(call);
        const int16_t nameId = Add(NameNode(e));
        At(callId).kid = nameId;
        int16_t previous = nameId;
        for (const Expr& arg : e.args) {
            const int16_t argId = Emit(arg);
            At(previous).sibling = argId;
            previous = argId;
        }
        return callId;
    }

    // A script: (begin statements...), first child first and root last.
    int16_t Script(const std::vector<Expr>& statements) {
        const Expr begin = Call("begin", 0, {});
        const int16_t firstId = Add(NameNode(begin));
        int16_t previous = firstId;
        for (const Expr& statement : statements) {
            const int16_t id = Emit(statement);
            At(previous).sibling = id;
            previous = id;
        }
        Node root;
        root.expType = 8;
        root.valueType = kVoid;
        root.engine = 0;
        root.text = "begin";
        root.kid = firstId;
        return Add(root);
    }

private:
    MapSpec& spec_;
};

}  // namespace

MapSpec DemoMap() {
    MapSpec spec;
    spec.kind = HeaderKind::Named;
    spec.mapName = "a10";
    spec.tagName = "levels\\a10\\a10";
    spec.firstRecord.identity = 0x6373;
    Writer writer(spec);

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

    const int16_t alert = writer.Emit(Value(5, "false", -256));
    const int16_t lives = writer.Emit(Value(7, "3", 3));
    const int16_t speed = writer.Emit(Value(6, "2", 2));
    const int16_t score = writer.Emit(Value(8, "1500", 1500));
    const int16_t title = writer.Emit(Value(9, "Hangar"));
    writer.At(title).kid = -1;
    spec.globals = {
        {"hangar_alert", 5, alert}, {"lives", 7, lives}, {"speed", 6, speed},
        {"score", 8, score},        {"title", 9, title},
    };
    return spec;
}

}  // namespace testmap
