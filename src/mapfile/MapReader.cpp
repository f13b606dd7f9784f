#include "mapfile/MapReader.h"

#include <algorithm>

#include "enginecommands/EngineCommands.h"
#include "mapfile/MapFormat.h"
#include "mapfile/MapText.h"
#include "platform/BinaryStream.h"
#include "platform/Hooks.h"
#include "platform/Text.h"
#include "preferences/Prefernces.h"

using platform::BinaryStream;
using namespace mapformat;

namespace {

// All texts of one load together take no more than this; past it, texts read empty. An honest
// map's texts are a few megabytes at most.
constexpr int64_t kLoadTextBudget = 64 * 1024 * 1024;

class TextBudget {
public:
    std::string Read(BinaryStream& stream, int64_t position) {
        std::string text = ReadText(stream, position, std::min(left_, kMaxTextBytes));
        left_ -= static_cast<int64_t>(text.size());
        return text;
    }

private:
    int64_t left_ = kLoadTextBudget;
};

int16_t Int16At(const uint8_t* record, int32_t field) {
    return static_cast<int16_t>(record[field] | (record[field + 1] << 8));
}

int32_t Int32At(const uint8_t* record, int32_t field) {
    return static_cast<int32_t>(static_cast<uint32_t>(record[field]) |
                                static_cast<uint32_t>(record[field + 1]) << 8 |
                                static_cast<uint32_t>(record[field + 2]) << 16 |
                                static_cast<uint32_t>(record[field + 3]) << 24);
}

bool RecordInsideFile(const BinaryStream& stream, int32_t offset) {
    return offset >= 0 && offset < stream.Length();
}

// Room for a table's records, never more than can start inside the file.
size_t ReserveFor(const BinaryStream& stream, int32_t count, int32_t table, int32_t recordSize) {
    if (count <= 0 || table < 0 || table >= stream.Length()) {
        return 0;
    }
    const int64_t fit = (stream.Length() - table + recordSize - 1) / recordSize;
    return static_cast<size_t>(std::min<int64_t>(count, fit));
}

// Reads a table of named records (scripts or globals) whose count and address lie at
// `countField`: each record's name, then its other fields by `readFields`, entering each name in
// the dictionary. A table never has more records than start inside the file, whatever its count
// says. Returns whether the count was non-zero, which is what gives the table its folder row.
template <typename Record, typename ReadFields>
bool ReadNamedTable(BinaryStream& stream, int32_t countField, int32_t magic, int32_t recordSize,
                    TextBudget& texts, std::vector<Record>& cache, NameIndex& byName,
                    ReadFields readFields) {
    stream.SetPosition(countField);
    const int32_t count = stream.ReadInt32();
    const int32_t table = Wrap32(int64_t{stream.ReadInt32()} - magic);
    if (count == 0) {
        return false;
    }
    const size_t room = ReserveFor(stream, count, table, recordSize);
    byName.reserve(room);
    cache.reserve(room);
    for (int32_t i = 0; i < count; ++i) {
        Record record;
        record.Offset = Wrap32(int64_t{table} + int64_t{recordSize} * i);
        if (!RecordInsideFile(stream, record.Offset)) {
            break;
        }
        record.Name = texts.Read(stream, record.Offset);  // the name starts the record
        readFields(stream, record);
        byName[record.Name] = i;
        cache.push_back(std::move(record));
        platform::Yield();
    }
    return true;
}

platform::Message CannotOpenMessage(const std::string& path, BinaryStream::OpenFailure failure) {
    const std::string why = failure == BinaryStream::OpenFailure::NotRegularFile
                                ? "The map file is not a regular file, so it was not opened:"
                                : "The map file could not be opened for reading:";
    return platform::Message(why + std::string(platform::EndOfLine)).Path(path);
}

}  // namespace

const std::vector<std::string>& AcceptedMapNames() {
    static const std::vector<std::string> names = {"a10", "a30", "a50", "b30", "b40", "c10",
                                                   "c20", "c40", "d20", "d40", "ui"};
    return names;
}

LoadOutcome OpenMap(MapState& state, const std::string& path) {
    if (path.empty()) {
        return {};
    }
    {
        BinaryStream::OpenFailure failure{};
        auto stream = BinaryStream::Open(path, BinaryStream::Mode::ReadOnly, &failure);
        if (!stream) {
            platform::MsgBox(CannotOpenMessage(path, failure));
            return {LoadResult::CannotOpen, {}};
        }
        stream->LittleEndian = true;
        stream->SetPosition(kHeaderRefusalValue);
        if (stream->ReadInt32() == kRefusedHeaderValue) {
            platform::MsgBox("cant load |1|");
            return {LoadResult::Refused, {}};
        }
    }
    state.MapNames = AcceptedMapNames();
    return ReadMapData(state, path);
}

std::string reverse(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = text.size(); i > 0; --i) {
        out.push_back(text[i - 1]);
        platform::Yield();
    }
    return out;
}

LoadOutcome ReadMapData(MapState& state, const std::string& path) {
    if (path.empty()) {
        return {};
    }
    BinaryStream::OpenFailure failure{};
    auto stream = BinaryStream::Open(path, BinaryStream::Mode::ReadOnly, &failure);
    if (!stream) {
        platform::MsgBox(CannotOpenMessage(path, failure));
        return {LoadResult::CannotOpen, {}};
    }
    stream->LittleEndian = true;

    stream->SetPosition(kHeaderKindTag);
    bool accepted = false;
    int32_t tagIndexOffset = 0;
    if (platform::TextEquals(stream->Read(4), "daeh")) {
        stream->SetPosition(kNamedTagIndexOffset);
        tagIndexOffset = stream->ReadInt32();
        std::string name = ReadHeaderText(*stream, kNamedMapName);
        for (const std::string& candidate : state.MapNames) {
            if (platform::TextEquals(name, candidate)) {
                accepted = true;
            }
            platform::Yield();
        }
    } else {
        stream->SetPosition(kBareTagIndexOffset);
        tagIndexOffset = stream->ReadInt32();
        accepted = true;
    }
    if (!accepted) {
        platform::MsgBox("Cant load |2|");
        return {LoadResult::Refused, {}};
    }

    state.f = path;
    state.FileOpened = true;

    stream->SetPosition(tagIndexOffset);
    int32_t firstEntryAddress = stream->ReadInt32();
    state.magic =
        Wrap32(int64_t{firstEntryAddress} - Wrap32(int64_t{tagIndexOffset} + kTagIndexHeaderSize));

    int32_t entry = Wrap32(int64_t{tagIndexOffset} + kTagIndexHeaderSize);
    Tag tag;
    stream->SetPosition(Wrap32(int64_t{entry} + kTagClass1));
    tag.Class1 = reverse(stream->Read(4));
    stream->SetPosition(Wrap32(int64_t{entry} + kTagClass2));
    tag.Class2 = reverse(stream->Read(4));
    stream->SetPosition(Wrap32(int64_t{entry} + kTagClass3));
    tag.Class3 = reverse(stream->Read(4));
    stream->SetPosition(Wrap32(int64_t{entry} + kTagIdent));
    tag.ident = static_cast<int32_t>(stream->ReadUInt32());
    stream->SetPosition(Wrap32(int64_t{entry} + kTagNameAddress));
    tag.NameOffset = Wrap32(int64_t{stream->ReadInt32()} - state.magic);
    tag.Name = ReadHeaderText(*stream, tag.NameOffset);
    stream->SetPosition(Wrap32(int64_t{entry} + kTagDataAddress));
    tag.Offset = Wrap32(int64_t{stream->ReadInt32()} - state.magic);
    state.Scenario = tag;
    stream.reset();

    LoadOutcome outcome{LoadResult::Loaded, ReadScriptData(state)};
    DefineEngineCommands(state);
    return outcome;
}

std::vector<std::string> ReadScriptData(MapState& state) {
    std::vector<std::string> rows;
    state.ScriptHeaderCache.clear();
    state.GlobalHeaderCache.clear();
    state.SyntaxCache.clear();
    state.LoadedScript.reset();
    state.LoadedGlobal.reset();
    state.LoadedSyntax.reset();
    ++state.LoadCount;

    NameIndex scriptsByName;
    NameIndex globalsByName;
    IdentityIndex syntaxByIdentity;
    IdentityTextIndex syntaxByIdentityStr;

    std::unique_ptr<BinaryStream> stream;
    if (state.f) {
        stream = BinaryStream::Open(*state.f, BinaryStream::Mode::ReadOnly);
    }
    // The records' offsets hold for the file read here, and only for it.
    state.fIdentity = stream ? stream->Identity() : std::nullopt;
    if (stream && state.Scenario) {
        stream->LittleEndian = true;
        const int32_t s = state.Scenario->Offset;
        const int32_t magic = state.magic;
        TextBudget texts;

        if (ReadNamedTable(*stream, Wrap32(int64_t{s} + kScriptCount), magic, kScriptRecordSize,
                           texts, state.ScriptHeaderCache, scriptsByName,
                           [](BinaryStream& in, ScriptHeader& script) {
                               in.SetPosition(Wrap32(int64_t{script.Offset} + kScriptType));
                               script.Type = in.ReadInt16();
                               script.ReturnType = in.ReadInt16();
                               in.SetPosition(Wrap32(int64_t{script.Offset} + kScriptRootIdentity));
                               script.ExpPointer = in.ReadInt16();
                           })) {
            rows.emplace_back("scripts");
        }
        if (ReadNamedTable(
                *stream, Wrap32(int64_t{s} + kGlobalCount), magic, kGlobalRecordSize, texts,
                state.GlobalHeaderCache, globalsByName, [](BinaryStream& in, GlobalHeader& global) {
                    in.SetPosition(Wrap32(int64_t{global.Offset} + kGlobalType));
                    global.Type = in.ReadInt16();
                    in.SetPosition(Wrap32(int64_t{global.Offset} + kGlobalValueIdentity));
                    global.ExpPointer = in.ReadInt16();
                })) {
            rows.emplace_back("globals");
        }

        stream->SetPosition(Wrap32(int64_t{s} + kStringDataAddress));
        state.ScriptTableOuter = Wrap32(int64_t{stream->ReadInt32()} - magic);

        stream->SetPosition(Wrap32(int64_t{s} + kSyntaxTableAddress));
        int32_t syntaxTable = Wrap32(int64_t{stream->ReadInt32()} - magic);
        stream->SetPosition(Wrap32(int64_t{syntaxTable} + kSyntaxCount));
        int32_t nodes = stream->ReadInt16();
        const bool readTexts = Prefernces::ScriptCommand == 1;
        // The records that start inside the file are read in one piece; the fields are taken
        // from it at their offsets.
        const int32_t firstRecord = Wrap32(int64_t{syntaxTable} + kSyntaxFirstRecord);
        int64_t records = 0;
        if (nodes > 0 && RecordInsideFile(*stream, firstRecord)) {
            const int64_t end = std::min<int64_t>(stream->Length(), int64_t{1} << 31);
            records =
                std::min<int64_t>(int64_t{nodes} + 1,
                                  (end - firstRecord + kSyntaxRecordSize - 1) / kSyntaxRecordSize);
        }
        state.SyntaxCache.reserve(static_cast<size_t>(records));
        std::vector<uint8_t> block(static_cast<size_t>(records * kSyntaxRecordSize));
        stream->SetPosition(firstRecord);
        stream->ReadInto(block.data(), static_cast<int64_t>(block.size()));
        for (int32_t i = 0; i < records; ++i) {
            const uint8_t* record = block.data() + int64_t{i} * kSyntaxRecordSize;
            Syntax node;
            node.offset = firstRecord + kSyntaxRecordSize * i;
            node.ExpIdentity = Int16At(record, kSyntaxIdentity);
            node.EngineIdentity = Int16At(record, kSyntaxEngineIdentity);
            node.ValueType = Int16At(record, kSyntaxValueType);
            node.ExpType = Int16At(record, kSyntaxExpType);
            node.SibExpPointer = Int16At(record, kSyntaxSiblingIdentity);
            node.ScriptTableOffset =
                Wrap32(int64_t{Int32At(record, kSyntaxTextOffset)} + state.ScriptTableOuter);
            node.ScriptValue = Int16At(record, kSyntaxValue);
            node.KidExpPointer = Int16At(record, kSyntaxChildIdentity);
            if (readTexts) {
                node.Command = texts.Read(*stream, node.ScriptTableOffset);
            }
            syntaxByIdentity[node.ExpIdentity] = i;
            syntaxByIdentityStr.Set(node.ExpIdentity, i);
            state.SyntaxCache.push_back(std::move(node));
            platform::Yield();
        }
    }

    state.GlobalsByName = std::move(globalsByName);
    state.ScriptsByName = std::move(scriptsByName);
    state.SyntaxByIdentity = std::move(syntaxByIdentity);
    state.SyntaxByIdentityStr = std::move(syntaxByIdentityStr);
    return rows;
}
