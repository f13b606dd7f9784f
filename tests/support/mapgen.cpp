// Writes map files made by the test map builder: `mapgen seeds DIR` writes a few small maps
// for the fuzzer to start from, `mapgen demo FILE` the demonstration map.
#include <cstdio>
#include <string>

#include "DemoMap.h"
#include "MapBuilder.h"

namespace {

testmap::MapSpec SmallScriptMap(testmap::HeaderKind kind) {
    testmap::MapSpec spec;
    spec.kind = kind;
    // (script startup intro (begin (sleep 30) (print "hi")))
    using testmap::MakeNode;
    spec.nodes = {
        MakeNode(-32767, 0, 2, 9, -32766, 0, "begin"),
        MakeNode(-32766, 19, 4, 8, -32763, -32765, "sleep"),
        MakeNode(-32765, 19, 2, 9, -32764, 0, "sleep"),
        MakeNode(-32764, -1, 7, 9, -1, -1, "30", 30),
        MakeNode(-32763, 28, 4, 8, -1, -32762, "print"),
        MakeNode(-32762, 28, 2, 9, -32761, 0, "print"),
        MakeNode(-32761, -1, 9, 9, -1, -1, "hi"),
        MakeNode(-32760, 0, 4, 8, -1, -32767, "begin"),
        MakeNode(-32759, -1, 5, 9, -1, -1, "true", -255),
    };
    spec.scripts = {{"intro", 0, 4, -32760}};
    spec.globals = {{"done", 5, -32759}};
    return spec;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "demo") {
        return testmap::Build(testmap::DemoMap()).Save(argv[2]) ? 0 : 1;
    }
    if (argc != 3 || std::string(argv[1]) != "seeds") {
        std::fprintf(stderr, "usage: mapgen seeds DIR | mapgen demo FILE\n");
        return 2;
    }
    const std::string dir = argv[2];
    bool ok = testmap::Build(SmallScriptMap(testmap::HeaderKind::Bare)).Save(dir + "/bare.map");
    ok = testmap::Build(SmallScriptMap(testmap::HeaderKind::Named)).Save(dir + "/named.map") && ok;
    testmap::MapSpec empty;
    ok = testmap::Build(empty).Save(dir + "/empty.map") && ok;
    return ok ? 0 : 1;
}
