// Loads arbitrary bytes as a map, then reads back everything the load produced: prints its
// scripts in every style, output and setting, extracts it, lists its commands, browses its rows,
// shows its pages, and edits the shown records and protects the map in the input file itself.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "InputFile.h"
#include "decompiler/Decompiler.h"
#include "decompiler/NodeText.h"
#include "enginecommands/EngineCommands.h"
#include "extraction/CommandDatabase.h"
#include "extraction/Extraction.h"
#include "mainwindow/BrowseRows.h"
#include "mainwindow/RecordEditors.h"
#include "mainwindow/RecordPages.h"
#include "mapfile/MapReader.h"
#include "platform/Hooks.h"
#include "platform/Text.h"
#include "preferences/Prefernces.h"

namespace {

class CollectingSink : public platform::TextSink {
public:
    void AppendText(const std::string& piece) override {
        text += piece;
        ++pieces;
    }
    std::string text;
    size_t pieces = 0;
};

class PageField : public TextField {
public:
    void SetText(const std::string& shown) override { text = shown; }
    void AppendText(const std::string& piece) override { text += piece; }
    std::string text;
};

// The choices a run makes beyond the map (ranges, edited values), taken from the input's last
// bytes: the map's header and tables lie at its start.
class Choices {
public:
    Choices(const uint8_t* data, size_t size) : data_(data), left_(size) {}
    uint8_t Byte() { return left_ == 0 ? 0 : data_[--left_]; }
    int32_t Int32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value = value << 8 | Byte();
        }
        return static_cast<int32_t>(value);
    }

private:
    const uint8_t* data_;
    size_t left_;
};

// Every message shown, so that a commit can be held to showing exactly one when it refuses.
size_t messagesShown = 0;

// Extract All stops by its flag once it has yielded this often: a hostile map can make it walk
// the node cache once per script.
constexpr size_t kExtractAllYields = 500;
size_t yieldsLeft = 0;
std::atomic<bool> stopExtraction{false};

void CountYield() {
    if (yieldsLeft > 0 && --yieldsLeft == 0) {
        stopExtraction = true;
    }
}

// Printing every script of a large map would make one input take seconds: with texts read
// while printing, every printed node opens the file again.
constexpr size_t kScriptsPrinted = 4;
constexpr size_t kScriptsReadWhilePrinting = 2;

void PrintScripts(MapState& state) {
    const std::string header = "(script startup s\n";
    const size_t scripts = std::min(state.ScriptHeaderCache.size(), kScriptsPrinted);
    for (size_t s = 0; s < scripts; ++s) {
        state.LoadedScript = static_cast<int32_t>(s);
        const int32_t root = state.ScriptHeaderCache[s].ExpPointer;
        for (int32_t command : {1, 2}) {
            if (command == 2 && s >= kScriptsReadWhilePrinting) {
                continue;
            }
            for (bool tags : {false, true}) {
                for (int32_t style : {1, 2, 3, 0}) {
                    Prefernces::ScriptCommand = command;
                    Prefernces::SyntaxTag = tags;
                    Prefernces::DecompStyle = style;
                    // A first print reads the texts that the first child's line shows as held,
                    // so the two outputs are compared from the second print on.
                    ExtractScriptFloating(state, root, header);
                    CollectingSink field;
                    ExtractScriptConstant(state, root, field);
                    const std::string floating = ExtractScriptFloating(state, root, header);
                    const bool printed = style == 1 || style == 2;
                    if (floating != (printed ? header + field.text : std::string())) {
                        __builtin_trap();
                    }
                }
            }
        }
        Prefernces::ScriptCommand = 1;
        Prefernces::SyntaxTag = false;
        Prefernces::DecompStyle = 2;
        if (ScriptTreeExtract(state, root, header) != ExtractScriptFloating(state, root, header)) {
            __builtin_trap();
        }
        CollectingSink field;
        DecompileScript(state, Lookup(state.SyntaxByIdentity, root, 0), field);
    }
}

// The cache positions [from, to) that a range window's start and end rows stand for: first
// through first + 1 + endRow, none when endRow is -1, those outside the cache left out.
std::pair<size_t, size_t> RangePositions(int32_t first, int32_t endRow, size_t count) {
    const int64_t from = std::max<int64_t>(first, 0);
    const int64_t to = std::min<int64_t>(int64_t{first} + 2 + endRow, static_cast<int64_t>(count));
    if (endRow == -1 || from >= to) {
        return {0, 0};
    }
    return {static_cast<size_t>(from), static_cast<size_t>(to)};
}

// Globals [from, to) as the extractions print them: a line each.
std::string GlobalLines(const MapState& state, size_t from, size_t to) {
    std::string text;
    for (size_t i = from; i < to; ++i) {
        text += GlobalLine(state, state.GlobalHeaderCache[i]);
        text += platform::EndOfLine;
    }
    return text;
}

// How a script's text begins: its header, without the line end the page adds.
std::string ScriptHeaderText(const ScriptHeader& script) {
    std::string line = ScriptHeaderLine(script);
    line.resize(line.size() - platform::EndOfLine.size());
    return line;
}

// Extract All on a snapshot, as the window runs it: every global's line, five line ends, then
// the scripts, each beginning with its header.
size_t ExtractEverything(const MapState& state, Choices& choices) {
    const size_t globals = state.GlobalHeaderCache.size();
    const size_t scripts = state.ScriptHeaderCache.size();
    yieldsLeft = kExtractAllYields;
    stopExtraction = false;
    const ExtractAllResult all = ExtractAll(ExtractionSnapshot(state), &stopExtraction);
    const bool stopped = stopExtraction;
    yieldsLeft = 0;
    if (!stopped && all.cut == TextCut::None &&
        (all.globals != static_cast<int32_t>(globals) ||
         all.scripts != static_cast<int32_t>(scripts))) {
        __builtin_trap();
    }
    if (all.globals == static_cast<int32_t>(globals) && all.cut == TextCut::None) {
        const std::string start = GlobalLines(state, 0, globals) + "\n\n\n\n\n";
        const std::string first =
            all.scripts > 0 ? ScriptHeaderText(state.ScriptHeaderCache[0]) : "";
        if (all.text.compare(0, start.size(), start) != 0 ||
            all.text.compare(start.size(), first.size(), first) != 0) {
            __builtin_trap();
        }
    }
    return all.text.size() + ExtractAllSummary(all, choices.Int32()).size();
}

// A start row the range window may give: none (-1), a row of the cache, or a row past it, as
// rows listed before another map was opened are.
int32_t RangeStart(Choices& choices, size_t count) {
    const auto rows = static_cast<int32_t>(count);
    const int32_t starts[] = {-1, rows - 1, rows, INT32_MAX, INT32_MIN};
    const uint8_t pick = choices.Byte();
    return pick < 128 ? pick % (rows + 2) - 1 : starts[pick % std::size(starts)];
}

// Scripts from a start row and a few rows on, or from the lowest start to the highest end,
// which int32 arithmetic could not reach: each walks up to the whole node cache.
size_t ExtractScripts(const MapState& state, Choices& choices) {
    const int32_t first = RangeStart(choices, state.ScriptHeaderCache.size());
    const int32_t endRow = first == INT32_MIN ? INT32_MAX : choices.Byte() % 4 - 1;
    const RangeText range = ExtractScriptRange(state, first, endRow);
    const auto [from, to] = RangePositions(first, endRow, state.ScriptHeaderCache.size());
    if (range.text.empty() != (from == to) ||
        (from < to && !range.text.starts_with(ScriptHeaderText(state.ScriptHeaderCache[from])))) {
        __builtin_trap();
    }
    return range.text.size();
}

// Globals print a short line each, so their ranges may end anywhere.
size_t ExtractGlobals(const MapState& state, Choices& choices) {
    const int32_t first = RangeStart(choices, state.GlobalHeaderCache.size());
    const int32_t endRow = choices.Byte() % 2 == 0 ? choices.Int32() : choices.Byte() % 4 - 1;
    const RangeText range = ExtractGlobalRange(state, first, endRow);
    const auto [from, to] = RangePositions(first, endRow, state.GlobalHeaderCache.size());
    if (range.cut == TextCut::None && range.text != GlobalLines(state, from, to)) {
        __builtin_trap();
    }
    return range.text.size();
}

// The engine command names and identities of every node, as Script Tools > Database lists them.
size_t ListCommands(const MapState& state, Choices& choices) {
    CollectingSink lines;
    const CommandListing listing = BuildCommandDatabase(state.SyntaxCache, &lines);
    if (lines.text != listing.text || lines.pieces != static_cast<size_t>(listing.added) ||
        listing.processed != static_cast<int32_t>(state.SyntaxCache.size())) {
        __builtin_trap();
    }
    return listing.text.size() + CommandDatabaseSummary(listing, choices.Int32()).size();
}

// What each page shows of its record, as the main window fills its fields.
std::string ScriptPage(MapState& state, const std::string& name, int32_t printing) {
    const int32_t position = ShowScript(state, name);
    if (position < 0) {
        return {};
    }
    const ScriptHeader script = state.ScriptHeaderCache[static_cast<size_t>(position)];
    std::string page = script.Name + OffsetHelpTag(int64_t{script.Offset} + mapformat::kScriptName);
    page += TypeName(ScriptTypeNames, script.Type);
    page += TypeName(ValueTypeNames, script.ReturnType);
    page += platform::Str(script.ExpPointer) + ScriptHeaderLine(script);
    Prefernces::ScriptPrinting = printing;
    PageField field;
    PrintShownScript(state, field);
    return page + field.text;
}

std::string GlobalPage(MapState& state, const std::string& name) {
    const int32_t position = ShowGlobal(state, name);
    if (position < 0) {
        return {};
    }
    const GlobalHeader global = state.GlobalHeaderCache[static_cast<size_t>(position)];
    std::string page = global.Name + OffsetHelpTag(int64_t{global.Offset} + mapformat::kGlobalName);
    page += TypeName(ValueTypeNames, global.Type);
    return page + platform::Str(global.ExpPointer) + GlobalLine(state, global);
}

std::string SyntaxPage(MapState& state, const std::string& rowText) {
    const int32_t position = ShowSyntax(state, rowText);
    if (position < 0) {
        return {};
    }
    const Syntax node = state.SyntaxCache[static_cast<size_t>(position)];
    std::string page = platform::Str(node.ExpIdentity) + platform::Str(node.EngineIdentity);
    page += TypeName(ValueTypeNames, node.ValueType);
    page += platform::Str(node.ExpType) + EngineCommandName(state, node.EngineIdentity);
    page += platform::Str(node.SibExpPointer) + platform::Hex(node.ScriptTableOffset);
    page += platform::Str(node.ScriptValue) + platform::Str(node.KidExpPointer) + node.Command;
    return page + OffsetHelpTag(node.ScriptTableOffset);
}

// A handful of rows of each folder, each shown and expanded, and a few of a script's node rows
// shown: the browse list's work for one map stays small however many records it has.
constexpr size_t kFolderRowsShown = 4;
constexpr size_t kNodeRowsShown = 4;
// Printing a page walks up to the whole node cache.
constexpr size_t kScriptPagesPrinted = 2;

size_t BrowseAndShow(MapState& state, Choices& choices) {
    size_t total = 0;
    // Texts read at load: the printers' reading while printing is the printing target's part.
    Prefernces::ScriptCommand = 1;
    for (const std::string folder : {"scripts", "globals"}) {
        const RowChildren rows = ExpandRow(state, folder);
        const size_t records =
            folder == "scripts" ? state.ScriptHeaderCache.size() : state.GlobalHeaderCache.size();
        if (!rows.folders || rows.message || rows.rows.size() != records) {
            __builtin_trap();
        }
        for (size_t i = 0; i < std::min(rows.rows.size(), kFolderRowsShown); ++i) {
            const RowRef row = ClassifyRow(rows.rows[i]);
            if (row.kind == RowKind::Script) {
                const int32_t printing = i < kScriptPagesPrinted ? choices.Byte() % 3 : 0;
                total += ScriptPage(state, row.key, printing).size();
            } else if (row.kind == RowKind::Global) {
                total += GlobalPage(state, row.key).size();
            } else {
                __builtin_trap();  // a folder's rows are its records
            }
            const RowChildren children = ExpandRow(state, rows.rows[i]);
            if (children.folders || children.message) {
                __builtin_trap();
            }
            for (size_t j = 0; j < std::min(children.rows.size(), kNodeRowsShown); ++j) {
                if (ClassifyRow(children.rows[j]).kind != RowKind::Syntax) {
                    __builtin_trap();
                }
                total += SyntaxPage(state, children.rows[j]).size();
            }
        }
    }
    // A row that names no folder the list knows, as a row edited by hand might.
    if (!ExpandRow(state, "scripts: x").message || ClassifyRow("").kind != RowKind::None) {
        __builtin_trap();
    }
    return total;
}

bool IsPopup(EditorField field) {
    return field == EditorField::ScriptType || field == EditorField::ScriptReturnType ||
           field == EditorField::GlobalType || field == EditorField::SyntaxValueType;
}

// One commit into a field of the shown record. A commit either writes, and the cached record
// then holds what was written, or changes nothing in memory; it shows one message exactly when
// it refuses.
void Commit(MapState& state, EditorField field, Choices& choices, std::string_view bytes) {
    static const std::string_view kNumberTexts[] = {"",     "-1",          "65536",  "&h7FFF",
                                                    "1e12", "-2147483649", " 12.9x", "&hFFFFFFFF"};
    const uint8_t how = choices.Byte();
    const std::optional<std::string> before = StoredFieldText(state, field);
    const size_t messages = messagesShown;
    std::optional<std::string> expected;
    CommitResult result = CommitResult::Refused;
    if (field == EditorField::ScriptName || field == EditorField::GlobalName) {
        const size_t from =
            bytes.empty() ? 0 : static_cast<uint32_t>(choices.Int32()) % bytes.size();
        const std::string_view name = bytes.substr(from, how % 40);
        result = CommitNameField(state, field, name);
        expected = std::string(name.substr(0, 31));
    } else if (IsPopup(field) && how % 3 == 0) {
        const int32_t index = how / 3 % 8 - 1;
        result = CommitIndexField(state, field, index);
        expected = platform::Str(index);
    } else if (how % 3 == 1) {
        result = CommitNumberField(state, field, kNumberTexts[how / 3 % std::size(kNumberTexts)]);
    } else {
        const int32_t value = choices.Int32();
        result = CommitNumberField(state, field, platform::Str(value));
        if (field != EditorField::SyntaxTextOffset) {
            expected = platform::Str(value);
        }
    }
    const std::optional<std::string> after = StoredFieldText(state, field);
    if (messagesShown - messages != (result == CommitResult::Refused ? 1U : 0U) ||
        (result != CommitResult::Written && after != before) ||
        (result == CommitResult::Written && expected && after != expected)) {
        __builtin_trap();
    }
}

// The fields each record page edits.
constexpr EditorField kScriptFields[] = {EditorField::ScriptName, EditorField::ScriptType,
                                         EditorField::ScriptReturnType,
                                         EditorField::ScriptExpPointer};
constexpr EditorField kGlobalFields[] = {EditorField::GlobalName, EditorField::GlobalType,
                                         EditorField::GlobalExpPointer};
constexpr EditorField kSyntaxFields[] = {
    EditorField::SyntaxExpIdentity, EditorField::SyntaxEngineIdentity,
    EditorField::SyntaxValueType,   EditorField::SyntaxExpType,
    EditorField::SyntaxSibling,     EditorField::SyntaxTextOffset,
    EditorField::SyntaxValue,       EditorField::SyntaxKid};
// Protecting writes each value node's text with a system call or two.
constexpr size_t kProtectedNodes = 1024;

// Edits the records the pages showed last and protects the map, all in the input file, then
// changes that file behind the editors' back. Also the same commands with no map open.
void Edit(MapState& state, Choices& choices, InputFile& file, const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // One commit per page, each opening the file.
    Commit(state, kScriptFields[choices.Byte() % std::size(kScriptFields)], choices, bytes);
    Commit(state, kGlobalFields[choices.Byte() % std::size(kGlobalFields)], choices, bytes);
    Commit(state, kSyntaxFields[choices.Byte() % std::size(kSyntaxFields)], choices, bytes);
    if (state.SyntaxCache.size() <= kProtectedNodes && choices.Byte() % 4 == 0) {
        const size_t messages = messagesShown;
        const int32_t changed = ProtectScripts(state);
        const auto values =
            std::count_if(state.SyntaxCache.begin(), state.SyntaxCache.end(),
                          [](const Syntax& node) { return node.ExpType == decompiler::kValueExp; });
        if (messagesShown - messages != 1 || changed > values) {
            __builtin_trap();
        }
    }
    // A file one byte shorter than the one loaded is another file: no commit may write to it.
    if (size > 0 && file.Fill(data, size - 1)) {
        const size_t messages = messagesShown;
        if (CommitNumberField(state, EditorField::SyntaxValue, "1") != CommitResult::Refused ||
            messagesShown - messages != 1) {
            __builtin_trap();
        }
    }
    MapState none;
    const size_t messages = messagesShown;
    if (CommitNameField(none, EditorField::ScriptName, "a") != CommitResult::Refused ||
        ProtectScripts(none) != -1 || messagesShown - messages != 2) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::SetMessageHook([](const platform::Message&) { ++messagesShown; });
    platform::SetYieldHook(CountYield);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InputFile file;
    if (!file.Fill(data, size)) {
        return 0;
    }

    Prefernces::ResetToDefaults();
    Prefernces::ScriptCommand = size % 2 == 0 ? 1 : 2;
    MapState state;
    OpenMap(state, file.Path());
    size_t total = 0;
    for (const auto& script : state.ScriptHeaderCache) {
        total += script.Name.size();
    }
    for (const auto& global : state.GlobalHeaderCache) {
        total += global.Name.size();
    }
    for (const auto& node : state.SyntaxCache) {
        total += node.Command.size() + EngineCommandName(state, node.EngineIdentity).size();
    }
    PrintScripts(state);
    Choices choices(data, size);
    total += ListCommands(state, choices);
    // One more reader per input, chosen by it: all of them would cost several loads, mostly in
    // the address sanitizer's work for the large buffers that an extraction and its snapshot
    // take.
    switch (choices.Byte() % 16) {
        case 0:
            total += ExtractEverything(state, choices);
            break;
        case 1:
        case 2:
        case 3:
        case 4:
            total += ExtractScripts(state, choices);
            break;
        case 5:
        case 6:
        case 7:
        case 8:
            total += ExtractGlobals(state, choices);
            break;
        default:
            total += BrowseAndShow(state, choices);
            Edit(state, choices, file, data, size);
            break;
    }
    return total == static_cast<size_t>(-1) ? 1 : 0;
}
