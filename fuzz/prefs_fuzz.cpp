// Reads arbitrary bytes as a preferences file, applies what it read, then writes the settings
// back and reads them again: a file written from what was read must read back the same.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// The file written back: it is replaced whole through a new file beside it, so it needs a real
// folder, in memory where there is one, and the folder goes when the process ends.
class WrittenFile {
public:
    WrittenFile() {
        const char* tmp = std::getenv("TMPDIR");
        for (std::string base : {std::string("/dev/shm"),
                                 std::string(tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp")}) {
            std::string folder = base + "/morvane_prefs_fuzz_XXXXXX";
            if (mkdtemp(folder.data()) != nullptr) {
                folder_ = folder;
                path_ = folder + "/Prefences.pref";
                return;
            }
        }
    }
    ~WrittenFile() {
        if (!folder_.empty()) {
            std::remove(path_.c_str());
            rmdir(folder_.c_str());
        }
    }
    WrittenFile(const WrittenFile&) = delete;
    WrittenFile& operator=(const WrittenFile&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string folder_;
    std::string path_;
};

// Flushing to the disk at every input would make the run crawl; it changes nothing read back.
int NoFlush(int) {
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InputFile input;
    static WrittenFile written;
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
    platform::ReplaceCalls calls;
    calls.fsync = NoFlush;
    if (!Same(applied, *contents) ||
        !Prefernces::WritePreferencesFile(written.Path(), applied, calls)) {
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
