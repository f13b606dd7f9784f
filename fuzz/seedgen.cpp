// Writes the files the preferences and command file fuzzers start from: `seedgen prefs DIR`
// preferences files as the program writes them, `seedgen comdat DIR` command files.
#include <cstdio>
#include <fstream>
#include <string>

#include "enginecommands/EngineCommands.h"
#include "platform/Text.h"
#include "preferences/Prefernces.h"

namespace {

bool WritePrefsSeeds(const std::string& dir) {
    Prefernces::ResetToDefaults();
    bool ok =
        Prefernces::WritePreferencesFile(dir + "/defaults.pref", Prefernces::CurrentSettings(1, 0));
    Prefernces::FileContents chosen = Prefernces::CurrentSettings(1, 0);
    chosen.scriptCommand = 2;
    chosen.scriptPrinting = 2;
    chosen.decompStyle = 3;
    chosen.engineCommands = 2;
    chosen.syntaxTag = true;
    chosen.mapFolder = "/home/user/maps";
    ok = Prefernces::WritePreferencesFile(dir + "/chosen.pref", chosen) && ok;
    return ok;
}

// A few commands of the built-in table, in the shape the reader takes, and one file that uses
// the rest of what XML allows around them.
bool WriteComDatSeeds(const std::string& dir) {
    const EngineCommandTable table = HardcodedCommandTable();
    std::string xml = "<?xml version=\"1.0\"?>\n<commands>\n";
    for (int identity : {0, 4, 19, 28, 542}) {
        xml += "  <command><id>" + platform::Str(identity) + "</id><name>" +
               table.at(static_cast<double>(identity)) + "</name></command>\n";
    }
    xml += "</commands>\n";
    const std::string rich =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- commands -->\n<c a=\"1\">\n"
        "  <e><id>-3</id><note/><name><![CDATA[a &amp; b]]></name></e>\n"
        "  <e><only>19.5</only></e>\n</c>\n";
    bool ok = static_cast<bool>(std::ofstream(dir + "/commands.xml", std::ios::binary) << xml);
    ok = static_cast<bool>(std::ofstream(dir + "/rich.xml", std::ios::binary) << rich) && ok;
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string kind = argc == 3 ? argv[1] : "";
    if (kind == "prefs") {
        return WritePrefsSeeds(argv[2]) ? 0 : 1;
    }
    if (kind == "comdat") {
        return WriteComDatSeeds(argv[2]) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: seedgen prefs DIR | seedgen comdat DIR\n");
    return 2;
}
