// Writes map files made by the test map builder: `mapgen seeds DIR` writes a few small maps
// for the fuzzer to start from, `mapgen demo FILE` the demonstration map.
#include <cstdio>
#include <string>

#include "DemoMap.h"
#include "MapBuilder.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "demo") {
        return testmap::Build(testmap::DemoMap()).Save(argv[2]) ? 0 : 1;
    }
    if (argc != 3 || std::string(argv[1]) != "seeds") {
        std::fprintf(stderr, "usage: mapgen seeds DIR | mapgen demo FILE\n");
        return 2;
    }
    const std::string dir = argv[2];
    testmap::MapSpec bare = testmap::DemoMap();
    bare.kind = testmap::HeaderKind::Bare;
    bool ok = testmap::Build(bare).Save(dir + "/bare.map");
    ok = testmap::Build(testmap::DemoMap()).Save(dir + "/named.map") && ok;
    ok = testmap::Build(testmap::MapSpec()).Save(dir + "/empty.map") && ok;
    return ok ? 0 : 1;
}
