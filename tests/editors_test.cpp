#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <tuple>

#include "MapBuilder.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "mainwindow/RecordEditors.h"
#include "mainwindow/RecordPages.h"
#include "mapfile/MapReader.h"
#include "mapfile/MapWriting.h"
#include "platform/Hooks.h"
#include "platform/Text.h"
#include "preferences/Prefernces.h"

namespace {

class RecordEditorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Prefernces::ResetToDefaults();
        testmap::MapSpec spec;
        // Value nodes but the last, a call; the third one's text is empty.
        for (int16_t i = 0; i < 4; ++i) {
            spec.nodes.push_back(testmap::MakeNode(static_cast<int16_t>(-5 - i), 19, 7,
                                                   i == 3 ? 8 : 9, -1, -1, i == 2 ? "" : "abc",
                                                   0x0101));
        }
        spec.scripts = {{"a", 1, 4, -5}, {"b", 3, 6, -6}};
        spec.globals = {{"g", 7, -7}, {"h", 5, -8}};
        map = testmap::Build(spec);
        path = dir.File("m.map");
        Reload();
    }
    void TearDown() override { Prefernces::ResetToDefaults(); }

    // The map as built, saved and opened again.
    void Reload() {
        ASSERT_TRUE(map.Save(path));
        ASSERT_EQ(OpenMap(state, path).result, LoadResult::Loaded);
        recorder.messages.clear();
    }

    void SetModified(int64_t seconds) const {
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }

    std::vector<uint8_t> FileBytes() const { return testmap::ReadFileBytes(path); }
    // Every file of the folder, by name.
    std::map<std::string, std::vector<uint8_t>> FolderBytes() const {
        std::map<std::string, std::vector<uint8_t>> files;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            if (entry.is_regular_file()) {
                files[entry.path().filename().string()] =
                    testmap::ReadFileBytes(entry.path().string());
            }
        }
        return files;
    }

    // One byte of the map changed in place by another program, which then puts the
    // modification time back: the file is alike in identity, size and modification time, and
    // only its status-change time moved.
    void RewriteWithTimePutBack() const {
        struct stat loaded {};
        ASSERT_EQ(stat(path.c_str(), &loaded), 0);
        std::fstream(path, std::ios::in | std::ios::out | std::ios::binary)
            .seekp(map.ScriptRecord(0))
            .put('z');
        const timespec times[2] = {loaded.st_atim, loaded.st_mtim};
        // A clock coarser than the load-to-write interval gives the same status-change time;
        // putting the time back once more a little later moves it on.
        struct stat now {};
        for (int tries = 0; tries < 100; ++tries) {
            ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
            ASSERT_EQ(stat(path.c_str(), &now), 0);
            if (now.st_ctim.tv_sec != loaded.st_ctim.tv_sec ||
                now.st_ctim.tv_nsec != loaded.st_ctim.tv_nsec) {
                break;
            }
            usleep(1000);
        }
        ASSERT_EQ(std::tie(now.st_size, now.st_mtim.tv_sec, now.st_mtim.tv_nsec),
                  std::tie(loaded.st_size, loaded.st_mtim.tv_sec, loaded.st_mtim.tv_nsec));
    }

    // The file equals the map as built, but for `bytes` at `offset`.
    void ExpectOnlyChanged(int64_t offset, const std::string& bytes) const {
        EXPECT_EQ(FileBytes(), map.With(offset, bytes));
    }
    void ExpectUnchanged() const { EXPECT_EQ(FileBytes(), map.bytes); }

    testmap::TempDir dir;
    testmap::MessageRecorder recorder;
    testmap::BuiltMap map;
    std::string path;
    MapState state;
};

// Every field lands in its own bytes of the shown record, and the cache and the page's text
// follow it. Numbers convert by one rule, and 16-bit fields take the low bits.
TEST_F(RecordEditorsTest, EachEditorWritesItsOwnBytesAndTheCachedField) {
    struct Case {
        EditorField field;
        std::string text;  // a pop-up's index, for a pop-up
        int64_t at;
        std::string bytes;
        std::string stored = "";  // when it is not `text`
    };
    const int64_t script = map.ScriptRecord(1);
    const int64_t global = map.GlobalRecord(1);
    const int64_t node = map.SyntaxRecord(2);
    const std::vector<Case> cases = {
        {EditorField::ScriptName, "b2", script, "b2" + std::string(30, '\0')},
        {EditorField::ScriptType, "1", script + 32, std::string("\x01\0", 2)},
        {EditorField::ScriptReturnType, "8", script + 34, std::string("\x08\0", 2)},
        {EditorField::ScriptExpPointer, "-2", script + 38, "\xFE\xFF"},
        {EditorField::GlobalName, "", global, std::string(32, '\0')},
        {EditorField::GlobalType, "6", global + 32, std::string("\x06\0", 2)},
        {EditorField::GlobalExpPointer, "-2", global + 42, "\xFE\xFF"},
        {EditorField::SyntaxExpIdentity, "-7000", node, "\xA8\xE4"},
        {EditorField::SyntaxEngineIdentity, "-3", node + 2, "\xFD\xFF"},
        {EditorField::SyntaxValueType, "6", node + 4, std::string("\x06\0", 2)},
        {EditorField::SyntaxExpType, "-7", node + 6, "\xF9\xFF"},
        {EditorField::SyntaxSibling, "-3", node + 10, "\xFD\xFF"},  // +8 is never read
        // Hexadecimal, stored relative to the node texts.
        {EditorField::SyntaxTextOffset, platform::Hex(map.stringDataOffset + 0x1F4), node + 12,
         std::string("\xF4\x01\0\0", 4)},
        {EditorField::SyntaxValue, "-3", node + 16, "\xFD\xFF"},
        {EditorField::SyntaxKid, "-3", node + 18, "\xFD\xFF"},
        {EditorField::SyntaxValue, "12.9xyz", node + 16, std::string("\x0C\0", 2), "12"},
        {EditorField::SyntaxValue, "nonsense", node + 16, std::string(2, '\0'), "0"},
        {EditorField::SyntaxValue, "-2.9", node + 16, "\xFE\xFF", "-2"},
        {EditorField::SyntaxValue, "70000", node + 16, "\x70\x11"},
        {EditorField::SyntaxValue, "99999999999", node + 16, "\xFF\xFF", "2147483647"},
    };
    const std::set<EditorField> popups = {EditorField::ScriptType, EditorField::ScriptReturnType,
                                          EditorField::GlobalType, EditorField::SyntaxValueType};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " at " + std::to_string(c.at));
        Reload();
        ShowScript(state, "b");
        ShowGlobal(state, "h");
        ShowSyntax(state, "-6");
        CommitResult result;
        if (popups.count(c.field) != 0) {
            result = CommitIndexField(state, c.field, std::stoi(c.text));
            EXPECT_EQ(StoredFieldCode(state, c.field), std::stoi(c.text));
        } else if (c.field == EditorField::ScriptName || c.field == EditorField::GlobalName) {
            result = CommitNameField(state, c.field, c.text);
        } else {
            result = CommitNumberField(state, c.field, c.text);
        }
        EXPECT_EQ(result, CommitResult::Written);
        ExpectOnlyChanged(c.at, c.bytes);
        EXPECT_EQ(StoredFieldText(state, c.field), c.stored.empty() ? c.text : c.stored);
        EXPECT_TRUE(recorder.messages.empty());
    }
}

TEST_F(RecordEditorsTest, NamesKeepAZeroByteAndRenamedRecordsKeepTheirOldKeys) {
    for (size_t length : {31u, 32u, 40u}) {
        SCOPED_TRACE(length);
        Reload();
        ShowScript(state, "b");
        const std::string stored(31, 'n');
        EXPECT_EQ(CommitNameField(state, EditorField::ScriptName, std::string(length, 'n')),
                  CommitResult::Written);
        ExpectOnlyChanged(map.ScriptRecord(1), stored + '\0');
        EXPECT_EQ(StoredFieldText(state, EditorField::ScriptName), stored);
        EXPECT_EQ(state.ScriptsByName->at("b"), 1);
        EXPECT_EQ(state.ScriptsByName->at(stored), 1);
        // Later commits on the page still find the renamed record.
        CommitIndexField(state, EditorField::ScriptType, 2);

        MapState reopened;
        ASSERT_EQ(OpenMap(reopened, path).result, LoadResult::Loaded);
        EXPECT_EQ(reopened.ScriptHeaderCache[1].Name, stored);
        EXPECT_EQ(reopened.ScriptHeaderCache[1].Type, 2);
    }
    // Renamed to another global's name, a record takes that name.
    ShowGlobal(state, "g");
    CommitNameField(state, EditorField::GlobalName, "h");
    EXPECT_EQ(ShowGlobal(state, "h"), 0);

    // A new identity is entered under both keys, beside the old one.
    ShowSyntax(state, "-5");
    CommitNumberField(state, EditorField::SyntaxExpIdentity, "-7000");
    EXPECT_EQ(state.SyntaxByIdentity->at(-5), 1);
    EXPECT_EQ(state.SyntaxByIdentity->at(-7000), 1);
    EXPECT_EQ(state.SyntaxByIdentityStr->at("-5"), 1);
    EXPECT_EQ(ShowSyntax(state, "-7000"), 1);
    // A further commit finds the node through its new identity.
    CommitNumberField(state, EditorField::SyntaxKid, "-2");
    EXPECT_EQ(state.SyntaxCache[1].KidExpPointer, -2);
}

TEST_F(RecordEditorsTest, NothingIsWrittenWithoutAMapAShownRecordOfThisMapOrAChange) {
    MapState empty;
    EXPECT_EQ(CommitNumberField(empty, EditorField::ScriptExpPointer, "1"), CommitResult::Refused);
    EXPECT_EQ(StoredFieldText(state, EditorField::ScriptName), std::nullopt);
    EXPECT_EQ(CommitNumberField(state, EditorField::ScriptExpPointer, "1"), CommitResult::Refused);
    // A pop-up showing the code held, or none, changes nothing.
    state.GlobalHeaderCache[0].Type = 77;  // a code outside the list: no selection
    ShowScript(state, "a");
    ShowGlobal(state, "g");
    EXPECT_EQ(CommitIndexField(state, EditorField::ScriptType, 1), CommitResult::Unchanged);
    EXPECT_EQ(CommitIndexField(state, EditorField::GlobalType, -1), CommitResult::Unchanged);
    EXPECT_EQ(state.GlobalHeaderCache[0].Type, 77);
    // A record shown before the next map was opened is no record of that map.
    ShowSyntax(state, "-5");
    ASSERT_TRUE(map.Save(dir.File("second.map")));
    ASSERT_EQ(OpenMap(state, dir.File("second.map")).result, LoadResult::Loaded);
    EXPECT_EQ(CommitNameField(state, EditorField::ScriptName, "x"), CommitResult::Refused);
    EXPECT_EQ(CommitNumberField(state, EditorField::SyntaxKid, "1"), CommitResult::Refused);
    EXPECT_EQ(recorder.messages.size(), 4u);
    ExpectUnchanged();
    EXPECT_EQ(testmap::ReadFileBytes(dir.File("second.map")), map.bytes);
}

// What a commit's refusal must leave: the file as it is, the cache as it was, one message each.
TEST_F(RecordEditorsTest, AMapChangedOnDiskOrReadOnlyIsNeverWritten) {
    struct Case {
        const char* name;
        std::function<void()> change;
        std::string message;
    };
    const std::string changed = "The map file was changed on disk after it was opened, so ";
    const std::string notRegular = "The map file is not a regular file, so ";
    const std::string fifo = dir.Fifo("pipe.map");
    const std::vector<Case> cases = {
        {"truncated", [&] { std::filesystem::resize_file(path, 100); }, changed},
        // Alike in every byte and in time: only the file's identity tells it apart.
        {"a copy renamed over it",
         [&] {
             struct stat info {};
             ASSERT_EQ(stat(path.c_str(), &info), 0);
             const timespec times[2] = {info.st_mtim, info.st_mtim};
             ASSERT_TRUE(map.Save(dir.File("copy.map")));
             ASSERT_EQ(utimensat(AT_FDCWD, dir.File("copy.map").c_str(), times, 0), 0);
             std::filesystem::rename(dir.File("copy.map"), path);
         },
         changed},
        {"rewritten in place at the same length",
         [&] {
             std::fstream(path, std::ios::in | std::ios::out | std::ios::binary)
                 .seekp(map.ScriptRecord(0))
                 .put('z');
             SetModified(1000000000);
         },
         changed},
        {"rewritten in place with its time put back", [&] { RewriteWithTimePutBack(); }, changed},
        // Unreachable, as a read-only file is to all but root.
        {"unreachable", [&] { state.f = dir.File("gone/m.map"); },
         "The map file could not be opened for writing, so "},
        {"a pipe in its place", [&] { state.f = fifo; }, notRegular},
        {"a folder in its place", [&] { state.f = dir.Folder("folder.map"); }, notRegular},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reload();
        ShowScript(state, "a");
        ShowSyntax(state, "-5");
        c.change();
        const std::vector<uint8_t> before = FileBytes();
        EXPECT_TRUE(testmap::ReturnsWithoutWaitingOn(fifo, [&] {
            EXPECT_EQ(CommitNumberField(state, EditorField::ScriptExpPointer, "-2"),
                      CommitResult::Refused);
            EXPECT_EQ(CommitNameField(state, EditorField::ScriptName, "x"), CommitResult::Refused);
            EXPECT_EQ(CommitIndexField(state, EditorField::ScriptType, 4), CommitResult::Refused);
            EXPECT_EQ(CommitNumberField(state, EditorField::SyntaxKid, "-3"),
                      CommitResult::Refused);
            EXPECT_EQ(ProtectScripts(state), -1);
        }));
        EXPECT_EQ(FileBytes(), before);
        const ScriptHeader& a = state.ScriptHeaderCache[0];
        EXPECT_EQ(std::tie(a.ExpPointer, a.Name, a.Type), std::make_tuple(-5, "a", 1));
        EXPECT_EQ(state.SyntaxCache[1].KidExpPointer, -1);
        ASSERT_EQ(recorder.messages.size(), 5u);
        for (const std::string& message : recorder.messages) {
            EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
            EXPECT_NE(message.find(":\n" + *state.f), std::string::npos) << message;
        }
    }
    // Opened again, the map is the file that is there now.
    ASSERT_EQ(OpenMap(state, path).result, LoadResult::Loaded);
    ShowScript(state, "a");
    EXPECT_EQ(CommitNumberField(state, EditorField::ScriptExpPointer, "-2"), CommitResult::Written);
}

TEST_F(RecordEditorsTest, AFieldBeyondTheEndOfTheFileIsNeverWritten) {
    const auto size = static_cast<int32_t>(map.bytes.size());
    state.ScriptHeaderCache[1].Offset = size - 39;  // the pointer's last byte lies outside
    state.GlobalHeaderCache[1].Offset = size - 8;
    state.SyntaxCache[1].offset = size + 100;
    ShowScript(state, "b");
    ShowGlobal(state, "h");
    ShowSyntax(state, "-5");
    EXPECT_EQ(CommitNumberField(state, EditorField::ScriptExpPointer, "-2"), CommitResult::Refused);
    EXPECT_EQ(CommitNameField(state, EditorField::GlobalName, "x"), CommitResult::Refused);
    EXPECT_EQ(CommitNumberField(state, EditorField::SyntaxValue, "1"), CommitResult::Refused);
    ExpectUnchanged();
    EXPECT_EQ(state.ScriptHeaderCache[1].ExpPointer, -6);
    EXPECT_EQ(state.GlobalHeaderCache[1].Name, "h");
    EXPECT_EQ(state.SyntaxCache[1].ScriptValue, 0x0101);
    ASSERT_EQ(recorder.messages.size(), 3u);
    EXPECT_EQ(recorder.messages[0],
              "The field lies beyond the end of the map file, so nothing was changed:\n" + path);

    // The last two bytes of the file are still a field's.
    state.ScriptHeaderCache[1].Offset = size - 40;
    EXPECT_EQ(CommitNumberField(state, EditorField::ScriptExpPointer, "-2"), CommitResult::Written);
}

TEST_F(RecordEditorsTest, OurOwnWritesAreNotTakenForAChangeOnDisk) {
    // Loaded with a modification time that any write of ours moves on.
    SetModified(1000000000);
    ASSERT_EQ(OpenMap(state, path).result, LoadResult::Loaded);
    ShowScript(state, "a");
    ShowSyntax(state, "-5");
    EXPECT_EQ(CommitNumberField(state, EditorField::ScriptExpPointer, "-2"), CommitResult::Written);
    // Protection yields after every node; an editor may commit there.
    static MapState* protecting;
    static std::vector<CommitResult> duringProtection;
    protecting = &state;
    duringProtection.clear();
    platform::SetYieldHook([] {
        duringProtection.push_back(
            CommitNumberField(*protecting, EditorField::ScriptExpPointer, "-3"));
    });
    EXPECT_EQ(ProtectScripts(state), 3);
    platform::SetYieldHook(nullptr);
    EXPECT_EQ(duringProtection, std::vector<CommitResult>(5, CommitResult::Written));
    EXPECT_EQ(CommitNameField(state, EditorField::ScriptName, "x"), CommitResult::Written);
    EXPECT_EQ(CommitIndexField(state, EditorField::ScriptType, 4), CommitResult::Written);
    EXPECT_EQ(CommitNumberField(state, EditorField::SyntaxKid, "-3"), CommitResult::Written);
    EXPECT_EQ(recorder.messages.size(), 1u);  // protection's count
}

// Truncated between our look at the file and our write, which then grows it again: the file as
// the write left it is not taken for ours, and the next write is refused.
TEST_F(RecordEditorsTest, AFileTruncatedUnderOurWriteIsNotTakenForOurs) {
    std::unique_ptr<platform::BinaryStream> stream = OpenLoadedMap(state, "nothing was changed");
    ASSERT_NE(stream, nullptr);
    ASSERT_TRUE(StillLoadedMap(state, *stream));
    std::filesystem::resize_file(path, 100);
    stream->SetPosition(map.ScriptRecord(0) + 38);
    stream->Write("\xFE\xFF");
    RememberOwnWrites(state, *stream);
    EXPECT_FALSE(StillLoadedMap(state, *stream));
    stream.reset();
    const std::vector<uint8_t> grown = FileBytes();
    ShowScript(state, "a");
    EXPECT_EQ(CommitNumberField(state, EditorField::ScriptExpPointer, "-3"), CommitResult::Refused);
    EXPECT_EQ(FileBytes(), grown);
    EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST_F(RecordEditorsTest, ProtectionBlanksValueNodeTextsInTheFileOnly) {
    std::vector<uint8_t> expected = map.bytes;
    // Records 1 and 2 are value nodes with "abc"; record 3 is a value node with an empty text,
    // whose terminator alone is written, sparing the next text; record 4 is a call.
    for (int node : {1, 2}) {
        expected[static_cast<size_t>(map.textOffsets[static_cast<size_t>(node)])] = 0;
        expected[static_cast<size_t>(map.textOffsets[static_cast<size_t>(node)]) + 1] = 0;
    }
    for (int run = 0; run < 2; ++run) {  // a second run reports the same
        recorder.messages.clear();
        EXPECT_EQ(ProtectScripts(state), 3);
        EXPECT_EQ(recorder.messages,
                  std::vector<std::string>{"Map is now protected from basic script extraction!\n3 "
                                           "syntaxs were changed"});
        EXPECT_EQ(FileBytes(), expected);
    }
    EXPECT_EQ(state.SyntaxCache[1].Command, "abc");  // memory is left alone
    MapState reread;
    ASSERT_EQ(OpenMap(reread, path).result, LoadResult::Loaded);
    EXPECT_EQ(reread.SyntaxCache[1].Command, std::string(1, '\0'));

    // Offsets outside the file are skipped; a text in its last byte loses that byte alone.
    map.bytes.push_back('z');
    Reload();
    const auto size = static_cast<int32_t>(map.bytes.size());
    state.SyntaxCache[1].ScriptTableOffset = -4;
    state.SyntaxCache[2].ScriptTableOffset = size;
    state.SyntaxCache[3].ScriptTableOffset = size - 1;
    EXPECT_EQ(ProtectScripts(state), 1);
    ExpectOnlyChanged(size - 1, std::string(1, '\0'));
    MapState empty;
    EXPECT_EQ(ProtectScripts(empty), -1);
}

// Protection yields after every node, and another program may change the file meanwhile. From
// the change on no byte of any file is written, the user is told how far it got, and the changed
// file is not taken for one our writes left: a later edit is refused too.
TEST_F(RecordEditorsTest, ProtectionStopsWhenTheFileChangesUnderIt) {
    testmap::MapSpec spec;
    for (int16_t i = 0; i < 12; ++i) {
        spec.nodes.push_back(
            testmap::MakeNode(static_cast<int16_t>(-5 - i), 19, 7, 9, -1, -1, "abc"));
    }
    spec.scripts = {{"a", 1, 4, -5}};
    map = testmap::Build(spec);
    namespace fs = std::filesystem;
    const auto replace = [&] {
        fs::rename(path, dir.File("old.map"));
        ASSERT_TRUE(map.Save(path));
    };
    // The old file is left as it was: only the name leads elsewhere.
    const auto relink = [&] {
        ASSERT_TRUE(map.Save(dir.File("other.map")));
        fs::create_symlink(dir.File("other.map"), dir.File("new.link"));
        fs::rename(dir.File("new.link"), path);
    };
    const struct {
        const char* name;
        int atYield;  // the yield after cache record atYield - 1
        std::function<void()> change;
        int written;               // texts blanked before the change
        bool throughLink = false;  // the map was opened through a symbolic link
    } cases[] = {
        {"truncated", 3, [&] { std::filesystem::resize_file(path, 100); }, 2},
        {"replaced by a new file under its name", 3, replace, 2},
        {"rewritten in place with its time put back", 3, [&] { RewriteWithTimePutBack(); }, 2},
        // Nothing is left to write, but the map under that name is not the one protected.
        {"replaced after the last write", 13, replace, 12},
        {"its link pointed at another file", 3, relink, 2, true},
    };
    static std::function<void()> atYield;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* name : {"m.map", "old.map", "other.map", "real.map"}) {
            fs::remove(dir.File(name));
        }
        if (c.throughLink) {
            fs::create_symlink(dir.File("real.map"), path);
        }
        Reload();
        ShowScript(state, "a");
        std::map<std::string, std::vector<uint8_t>> changed;
        int yields = 0;
        atYield = [&] {
            if (++yields == c.atYield) {
                c.change();
                changed = FolderBytes();
            }
        };
        platform::SetYieldHook([] { atYield(); });
        EXPECT_EQ(ProtectScripts(state), -1);
        platform::SetYieldHook(nullptr);
        EXPECT_EQ(yields, c.atYield);
        EXPECT_EQ(FolderBytes(), changed);
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0],
                  "The map file was changed on disk while it was being protected, so protection "
                  "stopped after " +
                      std::to_string(c.written) +
                      " syntaxs were changed and the map may be only partly protected. Open the "
                      "map again:\n" +
                      path);

        EXPECT_EQ(CommitNumberField(state, EditorField::ScriptExpPointer, "-2"),
                  CommitResult::Refused);
        EXPECT_EQ(FolderBytes(), changed);
        EXPECT_EQ(recorder.messages.size(), 2u);
    }
    atYield = nullptr;
}

}  // namespace
