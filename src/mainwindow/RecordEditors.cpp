#include "mainwindow/RecordEditors.h"

#include <memory>
#include <string>
#include <type_traits>

#include "mapfile/MapFormat.h"
#include "mapfile/MapWriting.h"
#include "platform/BinaryStream.h"
#include "platform/Hooks.h"
#include "platform/Text.h"

using platform::BinaryStream;
using namespace mapformat;

namespace {

constexpr int kReturnKey = 13;
constexpr int kEnterKey = 3;
constexpr int32_t kValueExpType = 9;

enum class RecordKind { Script, Global, Syntax };

struct FieldPlace {
    RecordKind kind;
    int32_t offset;  // in the record
    int width;       // bytes; 32 for a name
};

FieldPlace PlaceOf(EditorField field) {
    switch (field) {
        case EditorField::ScriptName:
            return {RecordKind::Script, kScriptName, kNameFieldSize};
        case EditorField::ScriptType:
            return {RecordKind::Script, kScriptType, 2};
        case EditorField::ScriptReturnType:
            return {RecordKind::Script, kScriptReturnType, 2};
        case EditorField::ScriptExpPointer:
            return {RecordKind::Script, kScriptRootIdentity, 2};
        case EditorField::GlobalName:
            return {RecordKind::Global, kGlobalName, kNameFieldSize};
        case EditorField::GlobalType:
            return {RecordKind::Global, kGlobalType, 2};
        case EditorField::GlobalExpPointer:
            return {RecordKind::Global, kGlobalValueIdentity, 2};
        case EditorField::SyntaxExpIdentity:
            return {RecordKind::Syntax, kSyntaxIdentity, 2};
        case EditorField::SyntaxEngineIdentity:
            return {RecordKind::Syntax, kSyntaxEngineIdentity, 2};
        case EditorField::SyntaxValueType:
            return {RecordKind::Syntax, kSyntaxValueType, 2};
        case EditorField::SyntaxExpType:
            return {RecordKind::Syntax, kSyntaxExpType, 2};
        case EditorField::SyntaxSibling:
            return {RecordKind::Syntax, kSyntaxSiblingIdentity, 2};
        case EditorField::SyntaxTextOffset:
            return {RecordKind::Syntax, kSyntaxTextOffset, 4};
        case EditorField::SyntaxValue:
            return {RecordKind::Syntax, kSyntaxValue, 2};
        case EditorField::SyntaxKid:
            return {RecordKind::Syntax, kSyntaxChildIdentity, 2};
    }
    return {RecordKind::Script, 0, 0};
}

// The shown record of a kind: its file offset and its position in its cache.
struct Shown {
    int32_t fileOffset = 0;
    int32_t position = 0;
};

std::optional<Shown> ShownRecord(const MapState& state, RecordKind kind) {
    switch (kind) {
        case RecordKind::Script:
            if (state.LoadedScript && At(state.ScriptHeaderCache, *state.LoadedScript)) {
                return Shown{
                    state.ScriptHeaderCache[static_cast<size_t>(*state.LoadedScript)].Offset,
                    *state.LoadedScript};
            }
            break;
        case RecordKind::Global:
            if (state.LoadedGlobal && At(state.GlobalHeaderCache, *state.LoadedGlobal)) {
                return Shown{
                    state.GlobalHeaderCache[static_cast<size_t>(*state.LoadedGlobal)].Offset,
                    *state.LoadedGlobal};
            }
            break;
        case RecordKind::Syntax:
            if (state.LoadedSyntax && At(state.SyntaxCache, *state.LoadedSyntax)) {
                return Shown{state.SyntaxCache[static_cast<size_t>(*state.LoadedSyntax)].offset,
                             *state.LoadedSyntax};
            }
            break;
    }
    return std::nullopt;
}

// The cache entry an edit updates: the one the dictionary gives for the shown record's key
// (its name, or its identity), the first entry when the key is missing.
int32_t CachedPosition(const MapState& state, RecordKind kind, int32_t shown) {
    switch (kind) {
        case RecordKind::Script:
            return Lookup(state.ScriptsByName,
                          state.ScriptHeaderCache[static_cast<size_t>(shown)].Name, 0);
        case RecordKind::Global:
            return Lookup(state.GlobalsByName,
                          state.GlobalHeaderCache[static_cast<size_t>(shown)].Name, 0);
        case RecordKind::Syntax:
            return Lookup(state.SyntaxByIdentity,
                          state.SyntaxCache[static_cast<size_t>(shown)].ExpIdentity, 0);
    }
    return 0;
}

// Writes `bytes` at `position` of the open map; false (and a message) when it cannot.
bool WriteIntoMap(MapState& state, int64_t position, const std::string& bytes) {
    std::unique_ptr<BinaryStream> stream = OpenLoadedMap(state, "nothing was changed");
    if (!stream) {
        return false;
    }
    const auto width = static_cast<int64_t>(bytes.size());
    if (position < 0 || position > stream->Length() || width > stream->Length() - position) {
        platform::MsgBox(
            platform::Message(
                "The field lies beyond the end of the map file, so nothing was changed:" +
                std::string(platform::EndOfLine))
                .Path(*state.f));
        return false;
    }
    stream->LittleEndian = true;
    stream->SetPosition(position);
    stream->Write(bytes);
    RememberOwnWrites(state, *stream);
    if (!stream->Close()) {
        platform::MsgBox(
            platform::Message("Writing to the map file failed; the field may not have been saved:" +
                              std::string(platform::EndOfLine))
                .Path(*state.f));
        return false;
    }
    return true;
}

std::string LittleEndianBytes(int32_t value, int width) {
    std::string bytes;
    auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < width; ++i) {
        bytes.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
    }
    return bytes;
}

// Where a commit writes, or nullopt (and a message) when there is nowhere to write.
std::optional<Shown> Target(const MapState& state, RecordKind kind) {
    if (!state.f) {
        platform::MsgBox("No map is open, so there is nothing to change.");
        return std::nullopt;
    }
    std::optional<Shown> shown = ShownRecord(state, kind);
    if (!shown) {
        platform::MsgBox("No record of this map is shown, so there is nothing to change.");
    }
    return shown;
}

// The cached number field, const when the state is.
template <typename State>
std::conditional_t<std::is_const_v<State>, const int32_t*, int32_t*> CachedNumber(
    State& state, EditorField field, int32_t position) {
    switch (PlaceOf(field).kind) {
        case RecordKind::Script: {
            auto* script = At(state.ScriptHeaderCache, position);
            if (script == nullptr) {
                return nullptr;
            }
            if (field == EditorField::ScriptType)
                return &script->Type;
            if (field == EditorField::ScriptReturnType)
                return &script->ReturnType;
            if (field == EditorField::ScriptExpPointer)
                return &script->ExpPointer;
            return nullptr;
        }
        case RecordKind::Global: {
            auto* global = At(state.GlobalHeaderCache, position);
            if (global == nullptr) {
                return nullptr;
            }
            if (field == EditorField::GlobalType)
                return &global->Type;
            if (field == EditorField::GlobalExpPointer)
                return &global->ExpPointer;
            return nullptr;
        }
        case RecordKind::Syntax: {
            auto* node = At(state.SyntaxCache, position);
            if (node == nullptr) {
                return nullptr;
            }
            switch (field) {
                case EditorField::SyntaxExpIdentity:
                    return &node->ExpIdentity;
                case EditorField::SyntaxEngineIdentity:
                    return &node->EngineIdentity;
                case EditorField::SyntaxValueType:
                    return &node->ValueType;
                case EditorField::SyntaxExpType:
                    return &node->ExpType;
                case EditorField::SyntaxSibling:
                    return &node->SibExpPointer;
                case EditorField::SyntaxTextOffset:
                    return &node->ScriptTableOffset;
                case EditorField::SyntaxValue:
                    return &node->ScriptValue;
                case EditorField::SyntaxKid:
                    return &node->KidExpPointer;
                default:
                    return nullptr;
            }
        }
    }
    return nullptr;
}

// Writes a number field and sets the cached field to `cached`.
CommitResult CommitNumber(MapState& state, EditorField field, int32_t written, int32_t cached) {
    const FieldPlace place = PlaceOf(field);
    std::optional<Shown> shown = Target(state, place.kind);
    if (!shown) {
        return CommitResult::Refused;
    }
    const int32_t position = CachedPosition(state, place.kind, shown->position);
    if (!WriteIntoMap(state, int64_t{shown->fileOffset} + place.offset,
                      LittleEndianBytes(written, place.width))) {
        return CommitResult::Refused;
    }
    if (int32_t* target = CachedNumber(state, field, position)) {
        *target = cached;
    }
    if (field == EditorField::SyntaxExpIdentity && At(state.SyntaxCache, position) != nullptr) {
        // The node is found under its new identity too, also from rows that show it as text.
        if (state.SyntaxByIdentity) {
            (*state.SyntaxByIdentity)[cached] = position;
        }
        if (state.SyntaxByIdentityStr) {
            state.SyntaxByIdentityStr->Set(cached, position);
        }
    }
    return CommitResult::Written;
}

}  // namespace

bool IsCommitKey(int characterCode) {
    return characterCode == kReturnKey || characterCode == kEnterKey;
}

CommitResult CommitNumberField(MapState& state, EditorField field, std::string_view text) {
    if (field == EditorField::SyntaxTextOffset) {
        const double absolute = platform::Val("&h" + std::string(text));
        return CommitNumber(state, field, platform::ToInt32(absolute - state.ScriptTableOuter),
                            platform::ToInt32(absolute));
    }
    const int32_t number = platform::ToInt32(platform::Val(text));
    return CommitNumber(state, field, number, number);
}

CommitResult CommitIndexField(MapState& state, EditorField field, int32_t index) {
    if (index < 0) {
        // A pop-up without a selection: the record holds a code the list does not have.
        return CommitResult::Unchanged;
    }
    const FieldPlace place = PlaceOf(field);
    std::optional<Shown> shown = ShownRecord(state, place.kind);
    if (shown) {
        const int32_t* cached =
            CachedNumber(state, field, CachedPosition(state, place.kind, shown->position));
        if (cached != nullptr && *cached == index) {
            return CommitResult::Unchanged;
        }
    }
    return CommitNumber(state, field, index, index);
}

CommitResult CommitNameField(MapState& state, EditorField field, std::string_view text) {
    const FieldPlace place = PlaceOf(field);
    std::optional<Shown> shown = Target(state, place.kind);
    if (!shown) {
        return CommitResult::Refused;
    }
    // The last byte stays zero: a name that filled the field would read on into the next one.
    const std::string name(text.substr(0, kNameFieldSize - 1));
    std::string bytes = name;
    bytes.resize(kNameFieldSize, '\0');
    const int32_t position = CachedPosition(state, place.kind, shown->position);
    if (!WriteIntoMap(state, int64_t{shown->fileOffset} + place.offset, bytes)) {
        return CommitResult::Refused;
    }
    if (place.kind == RecordKind::Script) {
        if (ScriptHeader* script = At(state.ScriptHeaderCache, position)) {
            script->Name = name;
            if (state.ScriptsByName) {
                (*state.ScriptsByName)[name] = position;
            }
        }
    } else if (GlobalHeader* global = At(state.GlobalHeaderCache, position)) {
        global->Name = name;
        if (state.GlobalsByName) {
            (*state.GlobalsByName)[name] = position;
        }
    }
    return CommitResult::Written;
}

std::optional<std::string> StoredFieldText(const MapState& state, EditorField field) {
    const RecordKind kind = PlaceOf(field).kind;
    std::optional<Shown> shown = ShownRecord(state, kind);
    if (!shown) {
        return std::nullopt;
    }
    const int32_t position = CachedPosition(state, kind, shown->position);
    if (field == EditorField::ScriptName) {
        const ScriptHeader* script = At(state.ScriptHeaderCache, position);
        return script != nullptr ? std::optional<std::string>(script->Name) : std::nullopt;
    }
    if (field == EditorField::GlobalName) {
        const GlobalHeader* global = At(state.GlobalHeaderCache, position);
        return global != nullptr ? std::optional<std::string>(global->Name) : std::nullopt;
    }
    std::optional<int32_t> code = StoredFieldCode(state, field);
    if (!code) {
        return std::nullopt;
    }
    return field == EditorField::SyntaxTextOffset ? platform::Hex(*code) : platform::Str(*code);
}

std::optional<int32_t> StoredFieldCode(const MapState& state, EditorField field) {
    const RecordKind kind = PlaceOf(field).kind;
    std::optional<Shown> shown = ShownRecord(state, kind);
    if (!shown) {
        return std::nullopt;
    }
    const int32_t* cached =
        CachedNumber(state, field, CachedPosition(state, kind, shown->position));
    return cached != nullptr ? std::optional<int32_t>(*cached) : std::nullopt;
}

int32_t ProtectScripts(MapState& state) {
    if (!state.f) {
        platform::MsgBox("No map is open, so there is nothing to protect.");
        return -1;
    }
    std::unique_ptr<BinaryStream> stream = OpenLoadedMap(state, "it was not protected");
    if (!stream) {
        return -1;
    }
    stream->LittleEndian = true;
    int32_t count = 0;
    // Another program may change the file while this runs, above all while it yields: the file
    // is looked at again before each write, and once more before the map is called protected.
    auto changedOnDisk = [&] {
        if (StillLoadedMap(state, *stream)) {
            return false;
        }
        stream->Close();
        platform::MsgBox(
            platform::Message("The map file was changed on disk while it was being protected, so "
                              "protection stopped after " +
                              platform::Str(count) +
                              " syntaxs were changed and the map may be only partly protected. "
                              "Open the map again:" +
                              std::string(platform::EndOfLine))
                .Path(*state.f));
        return true;
    };
    // By position: the yield must not leave this walking a cache that something replaced.
    for (size_t i = 0; i < state.SyntaxCache.size(); ++i) {
        const Syntax& node = state.SyntaxCache[i];
        const int64_t text = node.ScriptTableOffset;
        if (node.ExpType == kValueExpType && text >= 0 && text < stream->Length()) {
            stream->SetPosition(text);
            // An empty text ends at its first byte; the next byte is another text's.
            const bool second = stream->PeekByte() != 0 && text + 1 < stream->Length();
            // Right before the write, which goes in one piece. A truncation that waited for our
            // previous write can still land in between; this write is then not taken for ours,
            // and the next look stops.
            if (changedOnDisk()) {
                return -1;
            }
            stream->Write(std::string(second ? 2 : 1, '\0'));
            ++count;
            // An editor may write during the yield; it must find the file as this left it.
            RememberOwnWrites(state, *stream);
        }
        platform::Yield();
    }
    if (changedOnDisk()) {
        return -1;
    }
    if (!stream->Close()) {
        platform::MsgBox(
            platform::Message(
                "Writing to the map file failed; the map may be only partly protected:" +
                std::string(platform::EndOfLine))
                .Path(*state.f));
        return -1;
    }
    platform::MsgBox("Map is now protected from basic script extraction!" +
                     std::string(platform::EndOfLine) + platform::Str(count) +
                     " syntaxs were changed");
    return count;
}
