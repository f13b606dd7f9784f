#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWheelEvent>

#include <filesystem>
#include <functional>

#include "RecordMap.h"
#include "platform/ui/NamedMenu.h"

namespace {

class RecordEditorsTest : public uitest::MapWindowTest {
protected:
    void SetUp() override {
        MapWindowTest::SetUp();
        Load(uitest::RecordsMap());
        expected = map.bytes;
    }

    // Replaces the field's text by typing, as a user would, then presses `key`.
    static void Type(QLineEdit* field, const QString& text, Qt::Key key = Qt::Key_Return) {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, key);
    }

    // The file holds what it held before, but for `bytes` at `offset`.
    void ExpectWritten(int64_t offset, const std::string& bytes) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            expected[static_cast<size_t>(offset) + i] = static_cast<uint8_t>(bytes[i]);
        }
        EXPECT_EQ(FileBytes(), expected);
    }

    void ProtectMap() { window->ScriptToolsProtectMap()->Action()->trigger(); }

    const MapState& State() const { return window->State(); }

    std::vector<uint8_t> expected;
};

TEST_F(RecordEditorsTest, ScriptFieldsWriteTheirOwnBytesAndLeaveThePageAsItIs) {
    Select({"scripts", "s: calc"});
    const int64_t record = map.ScriptRecord(3);
    const QString printed = C().FldScriptDeComp->toPlainText();

    Type(C().FldScriptExpPointer, "-2");
    ExpectWritten(record + 38, "\xFE\xFF");
    EXPECT_EQ(State().ScriptHeaderCache[3].ExpPointer, -2);
    EXPECT_EQ(C().FldScriptExpPointer->text(), "-2");

    C().PopScriptType->setCurrentIndex(4);
    ExpectWritten(record + 32, std::string("\x04\x00", 2));
    C().PopScriptReturn->setCurrentIndex(8);
    ExpectWritten(record + 34, std::string("\x08\x00", 2));
    EXPECT_EQ(State().ScriptHeaderCache[3].Type, 4);
    EXPECT_EQ(State().ScriptHeaderCache[3].ReturnType, 8);

    // Nothing on screen follows a commit.
    EXPECT_EQ(C().FldScriptDeComp->toPlainText(), printed);
    EXPECT_EQ(C().FldScriptExpPointer->toolTip(),
              "Offset : 0x" + QString::number(record + 36, 16).toUpper());
    EXPECT_TRUE(shown.empty());

    // Shown again, the page shows the cached values and prints from the new root.
    Select({"globals"});
    Select({"scripts", "s: calc"});
    EXPECT_EQ(C().FldScriptDeComp->toPlainText().section('\n', 0, 0), "(script stub long calc");
    EXPECT_EQ(C().FldScriptExpPointer->text(), "-2");
    EXPECT_EQ(FileBytes(), expected);
}

TEST_F(RecordEditorsTest, EnterCommitsLikeReturnAndInt16FieldsTakeTheLowBits) {
    Select({"globals", "g: x"});
    const QString line = C().FldGlobalDecomp->toPlainText();
    Type(C().FldGlobalExpPointer, "70000", Qt::Key_Enter);
    ExpectWritten(map.GlobalRecord(2) + 42, "\x70\x11");
    EXPECT_EQ(State().GlobalHeaderCache[2].ExpPointer, 70000);

    C().PopGlobalType->setCurrentIndex(6);
    ExpectWritten(map.GlobalRecord(2) + 32, std::string("\x06\x00", 2));
    EXPECT_EQ(State().GlobalHeaderCache[2].Type, 6);
    EXPECT_EQ(C().FldGlobalDecomp->toPlainText(), line);
    EXPECT_TRUE(shown.empty());
}

TEST_F(RecordEditorsTest, NameFieldsClearTheirThirtyTwoBytesAndAddAKey) {
    Select({"scripts", "s: wait"});
    Type(C().FldScriptName, "b");
    ExpectWritten(map.ScriptRecord(0), "b" + std::string(31, '\0'));
    EXPECT_EQ(State().ScriptHeaderCache[0].Name, "b");
    EXPECT_EQ(State().ScriptsByName->at("wait"), 0);
    EXPECT_EQ(State().ScriptsByName->at("b"), 0);
    // The list keeps the old row, which still finds the record.
    EXPECT_EQ(Row({"scripts", "s: wait"})->text(0), "s: wait");

    // Longer names are cut to leave a zero byte in the field, which shows what it holds.
    for (int length : {32, 40}) {
        Type(C().FldScriptName, QString(length, 'n'));
        ExpectWritten(map.ScriptRecord(0), std::string(31, 'n') + '\0');
        EXPECT_EQ(State().ScriptHeaderCache[0].Name, std::string(31, 'n'));
        EXPECT_EQ(C().FldScriptName->text(), QString(31, 'n'));
    }

    Select({"globals", "g: off"});
    Type(C().FldGlobalName, "");
    ExpectWritten(map.GlobalRecord(1), std::string(32, '\0'));
    EXPECT_EQ(State().GlobalHeaderCache[1].Name, "");
    EXPECT_EQ(State().GlobalsByName->at(""), 1);
    EXPECT_TRUE(shown.empty());
}

TEST_F(RecordEditorsTest, SyntaxFieldsWriteOnlyTheirOwnBytes) {
    Select({"scripts", "s: wait", "-32766"});
    const int64_t record = map.SyntaxRecord(2);
    struct Case {
        QLineEdit* field;
        QString text;
        int64_t offset;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {C().FldSyntaxEngineIdent, "-3", 2, "\xFD\xFF"},
        {C().FldSyntaxExpType, "-7", 6, "\xF9\xFF"},
        {C().FldSyntaxSibExp, "-3", 10, "\xFD\xFF"},  // +8 and +9 stay
        {C().FldSyntaxScriptValue, "-3", 16, "\xFD\xFF"},
        {C().FldSyntaxKidExp, "-4", 18, "\xFC\xFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field->objectName().toStdString());
        Type(c.field, c.text);
        ExpectWritten(record + c.offset, c.bytes);
    }
    const Syntax& node = State().SyntaxCache[2];
    EXPECT_EQ(node.EngineIdentity, -3);
    EXPECT_EQ(node.ExpType, -7);
    EXPECT_EQ(node.SibExpPointer, -3);
    EXPECT_EQ(node.ScriptValue, -3);
    EXPECT_EQ(node.KidExpPointer, -4);

    C().PopSyntaxType->setCurrentIndex(6);
    ExpectWritten(record + 4, std::string("\x06\x00", 2));
    EXPECT_EQ(node.ValueType, 6);

    // Read as hexadecimal, stored relative to the node texts.
    const int32_t absolute = State().ScriptTableOuter + 0x1F4;
    Type(C().FldSyntaxScriptTableOffset, QString::number(absolute, 16).toUpper());
    ExpectWritten(record + 12, std::string("\xF4\x01\x00\x00", 4));
    EXPECT_EQ(node.ScriptTableOffset, absolute);

    // The engine command name is no field of the record.
    Type(C().FldSyntaxEngineCommand, "wake");
    EXPECT_EQ(FileBytes(), expected);
    EXPECT_EQ(C().FldSyntaxEngineCommand->text(), "wake");
    EXPECT_TRUE(shown.empty());
}

TEST_F(RecordEditorsTest, NewIdentityFindsTheNodeForLaterCommits) {
    Select({"scripts", "s: wait", "-32764"});
    Type(C().FldSyntaxExpIdent, "-7");
    ExpectWritten(map.SyntaxRecord(4), "\xF9\xFF");
    EXPECT_EQ(State().SyntaxByIdentity->at(-32764), 4);
    EXPECT_EQ(State().SyntaxByIdentity->at(-7), 4);

    // A further commit on the page finds the node through its new identity.
    Type(C().FldSyntaxScriptValue, "12");
    ExpectWritten(map.SyntaxRecord(4) + 16, std::string("\x0C\x00", 2));
    EXPECT_EQ(State().SyntaxCache[4].ScriptValue, 12);
    EXPECT_EQ(State().SyntaxCache[0].ScriptValue, map.GetInt16(map.SyntaxRecord(0) + 16));
}

TEST_F(RecordEditorsTest, OtherKeysNeitherWriteNorOpenTheMap) {
    Select({"scripts", "s: wait", "-32766"});
    MakeMapUnwritable();
    const std::vector<QLineEdit*> fields = {C().FldSyntaxExpIdent,
                                            C().FldSyntaxEngineIdent,
                                            C().FldSyntaxExpType,
                                            C().FldSyntaxSibExp,
                                            C().FldSyntaxScriptTableOffset,
                                            C().FldSyntaxScriptValue,
                                            C().FldSyntaxKidExp,
                                            C().FldSyntaxEngineCommand,
                                            C().FldScriptName,
                                            C().FldScriptExpPointer,
                                            C().FldGlobalName,
                                            C().FldGlobalExpPointer};
    for (QLineEdit* field : fields) {
        field->selectAll();
        QTest::keyClicks(field, "x1");
        QTest::keyClick(field, Qt::Key_Tab);
        EXPECT_EQ(field->text(), "x1") << field->objectName().toStdString();
    }
    EXPECT_TRUE(shown.empty());
    ExpectUnchanged();
    EXPECT_EQ(State().SyntaxCache[2].EngineIdentity, 19);
}

// A key as X11 delivers it: a control chord carries its control character as its text.
void PressAsX11Does(QWidget* field, Qt::Key key, Qt::KeyboardModifiers modifiers,
                    const char* text) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, QString::fromLatin1(text));
    QApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, QString::fromLatin1(text));
    QApplication::sendEvent(field, &release);
}

TEST_F(RecordEditorsTest, ControlChordsTypingTheCommitCodesCommitNothing) {
    Select({"scripts", "s: wait"});
    Select({"globals", "g: x"});
    Select({"scripts", "s: wait", "-32766"});
    const std::vector<std::pair<QLineEdit*, QString>> fields = {
        {C().FldScriptName, "zz"},
        {C().FldScriptExpPointer, "-2"},
        {C().FldGlobalName, "zz"},
        {C().FldGlobalExpPointer, "-2"},
        {C().FldSyntaxExpIdent, "-2"},
        {C().FldSyntaxEngineIdent, "-2"},
        {C().FldSyntaxExpType, "-2"},
        {C().FldSyntaxSibExp, "-2"},
        {C().FldSyntaxScriptTableOffset, "1F4"},
        {C().FldSyntaxScriptValue, "-2"},
        {C().FldSyntaxKidExp, "-2"},
        {C().FldSyntaxEngineCommand, "zz"}};
    // Ctrl+C types code 3, Enter's; Ctrl+M code 13, Return's.
    const std::vector<std::pair<Qt::Key, const char*>> chords = {{Qt::Key_C, "\x03"},
                                                                 {Qt::Key_M, "\r"}};
    for (const auto& [field, text] : fields) {
        field->setText(text);
        field->setFocus();
        for (const auto& [key, typed] : chords) {
            for (Qt::KeyboardModifiers modifiers :
                 {Qt::KeyboardModifiers(Qt::ControlModifier),
                  Qt::ControlModifier | Qt::ShiftModifier, Qt::ControlModifier | Qt::AltModifier}) {
                PressAsX11Does(field, key, modifiers, typed);
            }
        }
        EXPECT_EQ(field->text(), text) << field->objectName().toStdString();
    }
    EXPECT_TRUE(shown.empty());
    ExpectUnchanged();
    EXPECT_EQ(State().ScriptHeaderCache[0].ExpPointer, -32763);
    EXPECT_EQ(State().SyntaxCache[2].EngineIdentity, 19);

    // Return and keypad Enter, as X11 delivers them, still commit.
    PressAsX11Does(C().FldScriptExpPointer, Qt::Key_Return, Qt::NoModifier, "\r");
    ExpectWritten(map.ScriptRecord(0) + 38, "\xFE\xFF");
    PressAsX11Does(C().FldGlobalExpPointer, Qt::Key_Enter, Qt::KeypadModifier, "\r");
    ExpectWritten(map.GlobalRecord(2) + 42, "\xFE\xFF");
    EXPECT_TRUE(shown.empty());
}

TEST_F(RecordEditorsTest, TheWheelOverAPopUpWithoutFocusChangesNothing) {
    Select({"scripts", "s: wait", "-32766"});
    Select({"globals", "g: x"});
    Select({"scripts", "s: wait"});
    C().FldScriptName->setFocus();
    for (QComboBox* popup :
         {C().PopScriptType, C().PopScriptReturn, C().PopGlobalType, C().PopSyntaxType}) {
        const int before = popup->currentIndex();
        for (int delta : {-120, 120, -120}) {
            QWheelEvent wheel(QPointF(5, 5), popup->mapToGlobal(QPointF(5, 5)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(popup, &wheel);
        }
        EXPECT_EQ(popup->currentIndex(), before) << popup->objectName().toStdString();
    }
    EXPECT_TRUE(shown.empty());
    ExpectUnchanged();
}

TEST_F(RecordEditorsTest, AFailedWriteLeavesTheMapAloneAndShowsWhatItHolds) {
    struct Case {
        const char* name;
        std::function<void()> change;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"truncated", [&] { std::filesystem::resize_file(path, 100); },
         "was changed on disk after it was opened"},
        {"another map renamed over it",
         [&] {
             const std::string other = TempPath("other.map");
             uitest::SaveMap(uitest::SmallMap(), other);
             std::filesystem::rename(other, path);
         },
         "was changed on disk after it was opened"},
        // Last: the map stays read-only until the case ends.
        {"read-only", [&] { MakeMapUnwritable(); }, "could not be opened for writing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(uitest::RecordsMap());
        Select({"scripts", "s: wait"});
        Select({"scripts", "s: wait", "-32766"});
        const QString textOffset = C().FldSyntaxScriptTableOffset->text();
        c.change();
        const std::vector<uint8_t> changed = FileBytes();
        shown.clear();

        Type(C().FldScriptExpPointer, "-2");
        EXPECT_EQ(C().FldScriptExpPointer->text(), "-32763");
        Type(C().FldScriptName, "zz");
        EXPECT_EQ(C().FldScriptName->text(), "wait");
        Type(C().FldSyntaxScriptTableOffset, "1F4");
        EXPECT_EQ(C().FldSyntaxScriptTableOffset->text(), textOffset);
        QTest::keyClick(C().PopScriptType, Qt::Key_Down);
        EXPECT_EQ(C().PopScriptType->currentIndex(), 1);
        ProtectMap();

        ASSERT_EQ(shown.size(), 5u);
        for (const uitest::ShownBox& box : shown) {
            EXPECT_TRUE(box.text.contains(c.message)) << box.text.toStdString();
        }
        EXPECT_EQ(FileBytes(), changed);
        EXPECT_EQ(State().ScriptHeaderCache[0].ExpPointer, -32763);
        EXPECT_EQ(State().ScriptHeaderCache[0].Name, "wait");
        EXPECT_EQ(State().ScriptHeaderCache[0].Type, 1);
    }
}

TEST_F(RecordEditorsTest, ARecordOfThePreviousMapIsNeverWrittenIntoTheNextOne) {
    Select({"scripts", "s: wait"});
    Select({"globals", "g: on"});
    Select({"scripts", "s: wait", "-32766"});
    const std::string first = path;
    const std::vector<uint8_t> firstBytes = map.bytes;
    Load(uitest::RecordsMap(), "second.map");
    shown.clear();

    Type(C().FldScriptExpPointer, "-2");
    Type(C().FldGlobalName, "renamed");
    Type(C().FldSyntaxKidExp, "-3");
    C().PopScriptType->setCurrentIndex(4);
    ASSERT_EQ(shown.size(), 4u);
    for (const uitest::ShownBox& box : shown) {
        EXPECT_EQ(box.text, "No record of this map is shown, so there is nothing to change.");
    }
    ExpectUnchanged();
    EXPECT_EQ(uitest::ReadFileBytes(first), firstBytes);
    EXPECT_EQ(State().GlobalHeaderCache[0].Name, "on");
}

TEST_F(RecordEditorsTest, ProtectMapBlanksValueNodeTextsAndReportsTheCountEachTime) {
    // Every value node (expression type 9) loses the first two bytes of its text.
    int count = 0;
    for (size_t k = 1; k < map.textOffsets.size(); ++k) {
        if (State().SyntaxCache[k].ExpType == 9) {
            expected[static_cast<size_t>(map.textOffsets[k])] = 0;
            expected[static_cast<size_t>(map.textOffsets[k]) + 1] = 0;
            ++count;
        }
    }
    ASSERT_EQ(count, 7);
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        shown.clear();
        ProtectMap();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text,
                  "Map is now protected from basic script extraction!\n7 syntaxs were changed");
        EXPECT_EQ(FileBytes(), expected);
    }
    // Memory keeps the texts read at load.
    EXPECT_EQ(State().SyntaxCache[1].Command, "begin");
    Select({"scripts", "s: wait"});
    EXPECT_EQ(C().FldScriptDeComp->toPlainText(),
              "(script dormant void wait\n(begin\n( sleep 30))\n))");
}

TEST_F(RecordEditorsTest, ASelectionDuringProtectionIsShownWhenItEnds) {
    QTreeWidgetItem* global = Row({"globals", "g: x"});
    Select({"scripts", "s: wait"});
    int pageDuringProtection = -1;
    uitest::AtNextYield([&] {
        C().Lb_Select->setCurrentItem(global);
        pageDuringProtection = C().PageEditor->Value();
    });
    ProtectMap();
    EXPECT_FALSE(uitest::PendingYieldAction());
    EXPECT_EQ(pageDuringProtection, 1);
    EXPECT_EQ(C().PageEditor->Value(), 2);
    EXPECT_EQ(C().FldGlobalName->text(), "x");
    ASSERT_EQ(shown.size(), 1u);
}

}  // namespace
