#include "preferences/Prefernces.h"

#include "platform/BinaryStream.h"
#include "platform/ReplaceFile.h"

using platform::BinaryStream;

namespace Prefernces {

namespace {

constexpr int64_t kSettingsStart = 8;

}  // namespace

void ResetToDefaults() {
    ScriptCommand = 1;
    ScriptPrinting = 1;
    DecompStyle = 1;
    EngineCommands = 1;
    SyntaxTag = false;
    MapFolder.clear();
}

FileContents CurrentSettings(int32_t majorVersion, int32_t minorVersion) {
    return {majorVersion, minorVersion,   ScriptCommand, ScriptPrinting,
            DecompStyle,  EngineCommands, SyntaxTag,     MapFolder};
}

void ApplySettings(const FileContents& contents) {
    ScriptCommand = contents.scriptCommand;
    ScriptPrinting = contents.scriptPrinting;
    DecompStyle = contents.decompStyle;
    EngineCommands = contents.engineCommands;
    SyntaxTag = contents.syntaxTag;
    MapFolder = contents.mapFolder;
}

bool WritePreferencesFile(const std::string& path, const FileContents& contents,
                          const platform::ReplaceCalls& calls, std::string* reason) {
    if (contents.mapFolder.size() > 255) {
        if (reason != nullptr) {
            *reason = "The map folder path is longer than 255 bytes";
        }
        return false;
    }
    std::string bytes;
    for (int32_t value : {contents.majorVersion, contents.minorVersion, contents.scriptCommand,
                          contents.scriptPrinting, contents.decompStyle, contents.engineCommands}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            bytes.push_back(static_cast<char>(static_cast<uint32_t>(value) >> shift));
        }
    }
    bytes.push_back(contents.syntaxTag ? 1 : 0);
    bytes.push_back(static_cast<char>(contents.mapFolder.size()));
    bytes += contents.mapFolder;
    return platform::ReplaceFile(path, bytes, calls, reason);
}

std::optional<FileContents> ReadPreferencesFile(const std::string& path,
                                                const FileContents& defaults) {
    auto stream = BinaryStream::Open(path, BinaryStream::Mode::ReadOnly);
    if (!stream) {
        return std::nullopt;
    }
    FileContents contents = defaults;
    const int64_t length = stream->Length();
    auto fits = [&](int64_t width) { return stream->Position() + width <= length; };
    stream->SetPosition(0);
    if (fits(4)) {
        contents.majorVersion = stream->ReadInt32();
    }
    if (fits(4)) {
        contents.minorVersion = stream->ReadInt32();
    }
    stream->SetPosition(kSettingsStart);
    for (int32_t* field : {&contents.scriptCommand, &contents.scriptPrinting, &contents.decompStyle,
                           &contents.engineCommands}) {
        if (!fits(4)) {
            return contents;
        }
        *field = stream->ReadInt32();
    }
    if (!fits(1)) {
        return contents;
    }
    contents.syntaxTag = stream->ReadBoolean();
    if (!fits(1)) {
        return contents;
    }
    contents.mapFolder = stream->ReadPString();
    return contents;
}

std::optional<FileVersion> ReadPreferencesVersion(const std::string& path,
                                                  BinaryStream::OpenFailure* failure) {
    auto stream = BinaryStream::Open(path, BinaryStream::Mode::ReadOnly, failure);
    if (!stream) {
        return std::nullopt;
    }
    FileVersion version;
    stream->SetPosition(0);
    version.major = stream->ReadInt32();
    version.minor = stream->ReadInt32();
    return version;
}

}  // namespace Prefernces
