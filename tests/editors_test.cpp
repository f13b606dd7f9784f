#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "MapBuilder.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "mainwindow/RecordEditors.h"
#include "mainwindow/RecordPages.h"
#include "mapfile/MapReader.h"
#include "platform/Hooks.h"
#include "platform/Text.h"
#include "preferences/Prefernces.h"

namespace {

class RecordEditorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Prefernces::ResetToDefaults();
        testmap::MapSpec spec;
        for (int16_t i = 0; i < 4; ++i) {
            testmap::Node node;
            node.identity = static_cast<int16_t>(-5 - i);
            node.engine = 19;
            node.valueType = 7;
            node.expType = 9;
            node.siblingLow = 0x1234;
            node.sibling = -1;
            node.value = 0x0101;
            node.kid = -1;
            node.text = i == 2 ? "" : "abc";
            spec.nodes.push_back(node);
        }
        spec.nodes[3].expType = 8;
        spec.scripts = {{"a", 1, 4, -5}, {"b", 3, 6, -6}};
        spec.globals = {{"g", 7, -7}, {"h", 5, -8}};
        map = testmap::Build(spec);
        path = dir.File("m.map");
        Reload();
    }
    void TearDown() override { Prefernces::ResetToDefaults(); }

    // The map as built, saved and opened again. A modification time far in the past, when
    // given, sets our own writes apart from the load by that time alone.
    void Reload(std::optional<int64_t> modified = std::nullopt) {
        ASSERT_TRUE(map.Save(path));
        if (modified) {
            SetModified(*modified);
        }
        ASSERT_EQ(OpenMap(state, path).result, LoadResult::Loaded);
        recorder.messages.clear();
    }

    void SetModified(int64_t seconds) const {
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }

    std::vector<uint8_t> FileBytes() const { return testmap::ReadFileBytes(path); }

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

TEST_F(RecordEditorsTest, ReturnAndEnterCommitOtherKeysDoNot) {
    EXPECT_TRUE(IsCommitKey(13));
    EXPECT_TRUE(IsCommitKey(3));
    EXPECT_FALSE(IsCommitKey('a'));
    EXPECT_FALSE(IsCommitKey(10));
}

TEST_F(RecordEditorsTest, ScriptPointerWritesTheIdentityHalfOnly) {
    ShowScript(state, "b");
    EXPECT_EQ(CommitNumberField(state, EditorField::ScriptExpPointer, "-2"), CommitResult::Written);
    ExpectOnlyChanged(map.ScriptRecord(1) + 38, "\xFE\xFF");
    EXPECT_EQ(state.ScriptHeaderCache[1].ExpPointer, -2);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(RecordEditorsTest, Int16FieldsReceiveTheLowBitsAndTheCacheTheWholeNumber) {
    ShowGlobal(state, "h");
    CommitNumberField(state, EditorField::GlobalExpPointer, "70000");
    ExpectOnlyChanged(map.GlobalRecord(1) + 42, "\x70\x11");
    EXPECT_EQ(state.GlobalHeaderCache[1].ExpPointer, 70000);
}

TEST_F(RecordEditorsTest, NumbersConvertByOneRule) {
    ShowSyntax(state, "-5");
    CommitNumberField(state, EditorField::SyntaxValue, "12.9xyz");
    EXPECT_EQ(state.SyntaxCache[1].ScriptValue, 12);
    CommitNumberField(state, EditorField::SyntaxValue, "nonsense");
    EXPECT_EQ(state.SyntaxCache[1].ScriptValue, 0);
    CommitNumberField(state, EditorField::SyntaxValue, "99999999999");
    EXPECT_EQ(state.SyntaxCache[1].ScriptValue, 2147483647);
    ExpectOnlyChanged(map.SyntaxRecord(1) + 16, "\xFF\xFF");
}

TEST_F(RecordEditorsTest, PopUpsWriteTheirIndexAndNothingWhenUnchanged) {
    ShowScript(state, "a");
    EXPECT_EQ(CommitIndexField(state, EditorField::ScriptType, 1), CommitResult::Unchanged);
    EXPECT_EQ(CommitIndexField(state, EditorField::ScriptReturnType, -1), CommitResult::Unchanged);
    ExpectUnchanged();
    EXPECT_EQ(CommitIndexField(state, EditorField::ScriptType, 3), CommitResult::Written);
    EXPECT_EQ(CommitIndexField(state, EditorField::ScriptReturnType, 8), CommitResult::Written);
    std::vector<uint8_t> expected = map.bytes;
    expected[static_cast<size_t>(map.ScriptRecord(0) + 32)] = 3;
    expected[static_cast<size_t>(map.ScriptRecord(0) + 34)] = 8;
    EXPECT_EQ(FileBytes(), expected);
    EXPECT_EQ(state.ScriptHeaderCache[0].Type, 3);
    EXPECT_EQ(state.ScriptHeaderCache[0].ReturnType, 8);
}

TEST_F(RecordEditorsTest, ShowingACodeOutsideTheListNeverOverwritesIt) {
    state.GlobalHeaderCache[0].Type = 77;
    ShowGlobal(state, "g");
    EXPECT_EQ(CommitIndexField(state, EditorField::GlobalType, -1), CommitResult::Unchanged);
    EXPECT_EQ(state.GlobalHeaderCache[0].Type, 77);
    ExpectUnchanged();
}

TEST_F(RecordEditorsTest, NameEditorClearsTheFieldAndAddsAKey) {
    ShowScript(state, "a");
    CommitNameField(state, EditorField::ScriptName, "b2");
    ExpectOnlyChanged(map.ScriptRecord(0), std::string("b2") + std::string(30, '\0'));
    EXPECT_EQ(state.ScriptHeaderCache[0].Name, "b2");
    EXPECT_EQ(state.ScriptsByName->at("a"), 0);
    EXPECT_EQ(state.ScriptsByName->at("b2"), 0);
    // Later commits on the page still find the renamed record.
    CommitNumberField(state, EditorField::ScriptExpPointer, "-9");
    EXPECT_EQ(state.ScriptHeaderCache[0].ExpPointer, -9);
}

TEST_F(RecordEditorsTest, NamesKeepAZeroByteAndReadBackWholeAfterAReopen) {
    struct Case {
        EditorField field;
        int64_t record;
        size_t length;
    };
    const std::vector<Case> cases = {
        {EditorField::ScriptName, map.ScriptRecord(1), 31},
        {EditorField::ScriptName, map.ScriptRecord(1), 32},
        {EditorField::GlobalName, map.GlobalRecord(1), 32},
        {EditorField::GlobalName, map.GlobalRecord(1), 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        Reload();
        ShowScript(state, "b");
        ShowGlobal(state, "h");
        const std::string stored(31, 'n');
        EXPECT_EQ(CommitNameField(state, c.field, std::string(c.length, 'n')),
                  CommitResult::Written);
        ExpectOnlyChanged(c.record, stored + '\0');
        EXPECT_EQ(StoredFieldText(state, c.field), stored);

        MapState reopened;
        ASSERT_EQ(OpenMap(reopened, path).result, LoadResult::Loaded);
        if (c.field == EditorField::ScriptName) {
            EXPECT_EQ(reopened.ScriptHeaderCache[1].Name, stored);
            EXPECT_EQ(reopened.ScriptHeaderCache[1].Type, 3);
        } else {
            EXPECT_EQ(reopened.GlobalHeaderCache[1].Name, stored);
            EXPECT_EQ(reopened.GlobalHeaderCache[1].Type, 5);
        }
    }
    CommitNameField(state, EditorField::GlobalName, "");
    ExpectOnlyChanged(map.GlobalRecord(1), std::string(32, '\0'));
    EXPECT_EQ(state.GlobalsByName->at(""), 1);
}

TEST_F(RecordEditorsTest, RenamingToAnotherGlobalsNameTakesThatName) {
    ShowGlobal(state, "g");
    CommitNameField(state, EditorField::GlobalName, "h");
    EXPECT_EQ(ShowGlobal(state, "h"), 0);
}

TEST_F(RecordEditorsTest, SyntaxEditorsWriteOnlyTheirOwnBytes) {
    struct Case {
        EditorField field;
        const char* text;
        int32_t offset;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {EditorField::SyntaxEngineIdentity, "-3", 2, "\xFD\xFF"},
        {EditorField::SyntaxExpType, "-7", 6, "\xF9\xFF"},
        {EditorField::SyntaxSibling, "-3", 10, "\xFD\xFF"},
        {EditorField::SyntaxValue, "-3", 16, "\xFD\xFF"},
        {EditorField::SyntaxKid, "-3", 18, "\xFD\xFF"},
    };
    for (const Case& c : cases) {
        Reload();
        ShowSyntax(state, "-6");
        EXPECT_EQ(CommitNumberField(state, c.field, c.text), CommitResult::Written);
        ExpectOnlyChanged(map.SyntaxRecord(2) + c.offset, c.bytes);
        EXPECT_EQ(StoredFieldText(state, c.field), c.text);
    }
    Reload();
    ShowSyntax(state, "-6");
    CommitIndexField(state, EditorField::SyntaxValueType, 6);
    ExpectOnlyChanged(map.SyntaxRecord(2) + 4, "\x06\x00");
    EXPECT_EQ(state.SyntaxCache[2].ValueType, 6);
}

TEST_F(RecordEditorsTest, TextOffsetIsReadAsHexadecimalAndStoredRelative) {
    ShowSyntax(state, "-5");
    const int32_t absolute = state.ScriptTableOuter + 0x1F4;
    CommitNumberField(state, EditorField::SyntaxTextOffset, platform::Hex(absolute));
    ExpectOnlyChanged(map.SyntaxRecord(1) + 12, std::string("\xF4\x01\x00\x00", 4));
    EXPECT_EQ(state.SyntaxCache[1].ScriptTableOffset, absolute);
}

TEST_F(RecordEditorsTest, IdentityEditorEntersTheNewIdentityUnderBothKeys) {
    ShowSyntax(state, "-5");
    CommitNumberField(state, EditorField::SyntaxExpIdentity, "-7000");
    ExpectOnlyChanged(map.SyntaxRecord(1), "\xA8\xE4");
    EXPECT_EQ(state.SyntaxByIdentity->at(-5), 1);
    EXPECT_EQ(state.SyntaxByIdentity->at(-7000), 1);
    EXPECT_EQ(state.SyntaxByIdentityStr->at("-7000"), 1);
    EXPECT_EQ(state.SyntaxByIdentityStr->at("-5"), 1);
    EXPECT_EQ(ShowSyntax(state, "-7000"), 1);
    // A further commit finds the node through its new identity.
    CommitNumberField(state, EditorField::SyntaxKid, "-2");
    EXPECT_EQ(state.SyntaxCache[1].KidExpPointer, -2);
}

TEST_F(RecordEditorsTest, NothingIsWrittenWithoutAMapOrAShownRecord) {
    MapState empty;
    EXPECT_EQ(CommitNumberField(empty, EditorField::ScriptExpPointer, "1"), CommitResult::Refused);
    EXPECT_EQ(CommitNumberField(state, EditorField::ScriptExpPointer, "1"), CommitResult::Refused);
    EXPECT_EQ(recorder.messages.size(), 2u);
    ExpectUnchanged();
}

TEST_F(RecordEditorsTest, ARecordOfThePreviousMapIsNeverWrittenIntoTheNextOne) {
    ShowScript(state, "a");
    ShowSyntax(state, "-5");
    ASSERT_TRUE(map.Save(dir.File("second.map")));
    ASSERT_EQ(OpenMap(state, dir.File("second.map")).result, LoadResult::Loaded);
    recorder.messages.clear();
    EXPECT_EQ(CommitNumberField(state, EditorField::ScriptExpPointer, "1"), CommitResult::Refused);
    EXPECT_EQ(CommitNameField(state, EditorField::ScriptName, "x"), CommitResult::Refused);
    EXPECT_EQ(CommitNumberField(state, EditorField::SyntaxKid, "1"), CommitResult::Refused);
    EXPECT_EQ(recorder.messages.size(), 3u);
}

TEST_F(RecordEditorsTest, ReadOnlyMapIsReportedAndTheCacheKept) {
    if (geteuid() == 0) {
        // root may write anyway: make the map unreachable instead.
        state.f = dir.File("gone/m.map");
    } else {
        chmod(path.c_str(), 0444);
    }
    ShowScript(state, "a");
    EXPECT_EQ(CommitNumberField(state, EditorField::ScriptExpPointer, "-2"), CommitResult::Refused);
    EXPECT_EQ(CommitIndexField(state, EditorField::ScriptType, 4), CommitResult::Refused);
    EXPECT_EQ(state.ScriptHeaderCache[0].ExpPointer, -5);
    EXPECT_EQ(state.ScriptHeaderCache[0].Type, 1);
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_NE(recorder.messages[0].find("could not be opened for writing"), std::string::npos);
    ExpectUnchanged();
}

// What a commit's refusal must leave: the file as it is, the cache as it was, one message.
TEST_F(RecordEditorsTest, AMapChangedOnDiskIsNeverWrittenUntilOpenedAgain) {
    struct Case {
        const char* name;
        std::function<void()> change;
    };
    const std::vector<Case> cases = {
        {"truncated", [&] { std::filesystem::resize_file(path, 100); }},
        {"another map renamed over it",
         [&] {
             testmap::MapSpec other;
             other.scripts = {{"other", 2, 2, -1}, {"more", 2, 2, -1}};
             ASSERT_TRUE(testmap::Build(other).Save(dir.File("other.map")));
             std::filesystem::rename(dir.File("other.map"), path);
         }},
        {"rewritten in place at the same length",
         [&] {
             std::fstream(path, std::ios::in | std::ios::out | std::ios::binary)
                 .seekp(map.ScriptRecord(0))
                 .put('z');
             SetModified(1000000000);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reload();
        ShowScript(state, "a");
        ShowSyntax(state, "-5");
        c.change();
        const std::vector<uint8_t> changed = FileBytes();
        EXPECT_EQ(CommitNumberField(state, EditorField::ScriptExpPointer, "-2"),
                  CommitResult::Refused);
        EXPECT_EQ(CommitNameField(state, EditorField::ScriptName, "x"), CommitResult::Refused);
        EXPECT_EQ(CommitIndexField(state, EditorField::ScriptType, 4), CommitResult::Refused);
        EXPECT_EQ(CommitNumberField(state, EditorField::SyntaxKid, "-3"), CommitResult::Refused);
        EXPECT_EQ(ProtectScripts(state), -1);
        EXPECT_EQ(FileBytes(), changed);
        EXPECT_EQ(state.ScriptHeaderCache[0].ExpPointer, -5);
        EXPECT_EQ(state.ScriptHeaderCache[0].Name, "a");
        EXPECT_EQ(state.ScriptHeaderCache[0].Type, 1);
        EXPECT_EQ(state.SyntaxCache[1].KidExpPointer, -1);
        ASSERT_EQ(recorder.messages.size(), 5u);
        for (const std::string& message : recorder.messages) {
            EXPECT_EQ(message.rfind("The map file was changed on disk after it was opened, so ", 0),
                      0u)
                << message;
            EXPECT_NE(message.find("Open the map again:\n" + path), std::string::npos);
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
    Reload(1000000000);
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

TEST_F(RecordEditorsTest, StoredFieldsReadAsTheirPagesShowThem) {
    EXPECT_EQ(StoredFieldText(state, EditorField::ScriptName), std::nullopt);
    ShowScript(state, "b");
    ShowSyntax(state, "-5");
    EXPECT_EQ(StoredFieldText(state, EditorField::ScriptName), "b");
    EXPECT_EQ(StoredFieldText(state, EditorField::ScriptExpPointer), "-6");
    EXPECT_EQ(StoredFieldCode(state, EditorField::ScriptReturnType), 6);
    EXPECT_EQ(StoredFieldText(state, EditorField::SyntaxTextOffset),
              platform::Hex(state.SyntaxCache[1].ScriptTableOffset));
    EXPECT_EQ(StoredFieldCode(state, EditorField::GlobalType), std::nullopt);
}

TEST_F(RecordEditorsTest, ProtectionBlanksValueNodeTextsOnly) {
    EXPECT_EQ(ProtectScripts(state), 3);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0],
              "Map is now protected from basic script extraction!\n3 syntaxs were changed");
    std::vector<uint8_t> expected = map.bytes;
    // Records 1 and 2 are value nodes with "abc"; record 3 is a value node with an empty text,
    // whose terminator alone is written, sparing the next text; record 4 is a call.
    for (int node : {1, 2}) {
        expected[static_cast<size_t>(map.textOffsets[static_cast<size_t>(node)])] = 0;
        expected[static_cast<size_t>(map.textOffsets[static_cast<size_t>(node)]) + 1] = 0;
    }
    EXPECT_EQ(FileBytes(), expected);
    EXPECT_EQ(state.SyntaxCache[1].Command, "abc");  // memory is left alone
    recorder.messages.clear();
    EXPECT_EQ(ProtectScripts(state), 3);  // a second run reports the same
    EXPECT_EQ(FileBytes(), expected);
}

TEST_F(RecordEditorsTest, ProtectionSkipsOffsetsOutsideTheFile) {
    state.SyntaxCache[1].ScriptTableOffset = -4;
    state.SyntaxCache[2].ScriptTableOffset = static_cast<int32_t>(map.bytes.size());
    EXPECT_EQ(ProtectScripts(state), 1);
    EXPECT_EQ(FileBytes().size(), map.bytes.size());
    MapState empty;
    EXPECT_EQ(ProtectScripts(empty), -1);
}

TEST_F(RecordEditorsTest, ProtectedTextsReadBackAsOneZeroByte) {
    ProtectScripts(state);
    MapState reread;
    ASSERT_EQ(OpenMap(reread, path).result, LoadResult::Loaded);
    EXPECT_EQ(reread.SyntaxCache[1].Command, std::string(1, '\0'));
}

}  // namespace
