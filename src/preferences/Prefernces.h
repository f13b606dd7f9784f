#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/BinaryStream.h"
#include "platform/ReplaceFile.h"

// The process-wide settings. Readers read them directly each time they run, so a saved change
// takes effect at a reader's next run. Values are stored unchecked: any Int32 may be held.
namespace Prefernces {

inline int32_t ScriptCommand = 1;   // 1: node texts read at load; 2: read while printing
inline int32_t ScriptPrinting = 1;  // 1: returned text; 2: streamed into the script field
inline int32_t DecompStyle = 1;     // 1: order walk; 2: tree walk; 3: not implemented
inline int32_t EngineCommands = 1;  // 1: built-in table; 2: "ComDat.xml"
inline bool SyntaxTag = false;      // wrap every printed node in identity tags
inline std::string MapFolder;       // where File > Open starts

void ResetToDefaults();

// The bare name of the preferences file, resolved in the platform's default folder.
inline constexpr const char* kFileName = "Prefences.pref";

// One preferences file's content.
struct FileContents {
    int32_t majorVersion = 0;
    int32_t minorVersion = 0;
    int32_t scriptCommand = 1;
    int32_t scriptPrinting = 1;
    int32_t decompStyle = 1;
    int32_t engineCommands = 1;
    bool syntaxTag = false;
    std::string mapFolder;
};

// The settings as they stand, stamped with a version.
FileContents CurrentSettings(int32_t majorVersion, int32_t minorVersion);
// Stores a file's six settings into the process-wide settings.
void ApplySettings(const FileContents& contents);

// File layout, 26 + n bytes, every Int32 big-endian:
//   0 major version, 4 minor version, 8 ScriptCommand, 12 ScriptPrinting, 16 DecompStyle,
//   20 EngineCommands (Int32 each), 24 SyntaxTag (one byte, 1 true, 0 false),
//   25 n = length of MapFolder (one byte), 26 the n bytes of MapFolder.
// Replaces the file whole (platform::ReplaceFile). Returns false, writing nothing, when the map
// folder is longer than 255 bytes; false also when the file cannot be replaced, which then
// stays as it was. On failure `reason`, when given, receives why.
bool WritePreferencesFile(const std::string& path, const FileContents& contents,
                          const platform::ReplaceCalls& calls = {}, std::string* reason = nullptr);

// Reads the whole file. A short or corrupt file never fails: fields past its end keep the
// values of `defaults`, and a map folder is cut at the end of the file.
std::optional<FileContents> ReadPreferencesFile(const std::string& path,
                                                const FileContents& defaults);

// Only the two version words, as LoadPreferncesMain compares them; nullopt when the file does
// not exist, cannot be opened or is no regular file, and then `failure` (when given) says which.
struct FileVersion {
    int32_t major = 0;
    int32_t minor = 0;
};
std::optional<FileVersion> ReadPreferencesVersion(
    const std::string& path, platform::BinaryStream::OpenFailure* failure = nullptr);

}  // namespace Prefernces
