// Reads arbitrary bytes as a preferences file, applies what it read, then writes the settings
// back and reads them again: a file written from what was read must read back the same.
#include <cstdint>
#include <string>

#include "InputFile.h"
#include "platform/Text.h"
#include "preferences/Prefernces.h"

namespace {

bool Same(const Prefernces::FileContents& a, const Prefernces::FileContents& b) {
    return a.majorVersion == b.majorVersion && a.minorVersion == b.minorVersion &&
           a.scriptCommand == b.scriptCommand && a.scriptPrinting == b.scriptPrinting &&
           a.decompStyle == b.decompStyle && a.engineCommands == b.engineCommands &&
           a.syntaxTag == b.syntaxTag && a.mapFolder == b.mapFolder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InputFile input;
    static InputFile written;
    if (!input.Fill(data, size)) {
        return 0;
    }
    Prefernces::ResetToDefaults();
    const Prefernces::FileContents defaults = Prefernces::CurrentSettings(1, 0);
    const auto version = Prefernces::ReadPreferencesVersion(input.Path());
    const auto contents = Prefernces::ReadPreferencesFile(input.Path(), defaults);
    if (!version || !contents) {
        __builtin_trap();  // the file is there
    }
    if (size >= 8 &&
        (version->major != contents->majorVersion || version->minor != contents->minorVersion)) {
        __builtin_trap();
    }
    Prefernces::ApplySettings(*contents);
    const Prefernces::FileContents applied =
        Prefernces::CurrentSettings(contents->majorVersion, contents->minorVersion);
    if (!Same(applied, *contents) || !Prefernces::WritePreferencesFile(written.Path(), applied)) {
        __builtin_trap();
    }
    const auto again = Prefernces::ReadPreferencesFile(written.Path(), defaults);
    if (!again || !Same(*again, applied)) {
        __builtin_trap();
    }
    const std::string shown = platform::Str(Prefernces::ScriptCommand) +
                              platform::Str(Prefernces::ScriptPrinting) +
                              platform::Str(Prefernces::DecompStyle) +
                              platform::Str(Prefernces::EngineCommands) + Prefernces::MapFolder;
    return shown.empty() ? 1 : 0;
}
