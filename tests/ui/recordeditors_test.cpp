// The record editors through the main window's controls. Which bytes each field writes is the
// core's matter (editors_test.cpp); these prove the wiring and what only the window does.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWheelEvent>

#include "RecordMap.h"
#include "platform/ui/NamedMenu.h"

namespace {

class RecordEditorsTest : public uitest::MapWindowTest {
protected:
    void SetUp() override {
        MapWindowTest::SetUp();
        Load(uitest::RecordsMap());
    }

    // Shows a script, a global and a node, so that every editor has a record. The node comes
    // last: printing the script moves the shown node to its first child.
    void ShowAllPages() {
        Select({"scripts", "s: wait"});
        Select({"globals", "g: x"});
        Select({"scripts", "s: wait", "-32766"});
    }

    void ProtectMap() { window->ScriptToolsProtectMap()->Action()->trigger(); }
};

// Each control shows its own field of the shown record and commits it.
TEST_F(RecordEditorsTest, EachControlShowsAndCommitsItsOwnFieldAndThePageStaysAsItIs) {
    ShowAllPages();
    const QString printed = C().FldScriptDeComp->toPlainText();
    struct Field {
        QLineEdit* control;
        EditorField field;
        QString text;
        Qt::Key key;
    };
    for (const Field& f : std::vector<Field>{
             {C().FldScriptExpPointer, EditorField::ScriptExpPointer, "-2", Qt::Key_Return},
             {C().FldGlobalExpPointer, EditorField::GlobalExpPointer, "-3", Qt::Key_Enter},
             {C().FldSyntaxExpIdent, EditorField::SyntaxExpIdentity, "-4", Qt::Key_Return},
             {C().FldSyntaxEngineIdent, EditorField::SyntaxEngineIdentity, "-5", Qt::Key_Enter},
             {C().FldSyntaxExpType, EditorField::SyntaxExpType, "-6", Qt::Key_Return},
             {C().FldSyntaxSibExp, EditorField::SyntaxSibling, "-7", Qt::Key_Return},
             {C().FldSyntaxScriptTableOffset, EditorField::SyntaxTextOffset, "1F4", Qt::Key_Return},
             {C().FldSyntaxScriptValue, EditorField::SyntaxValue, "-8", Qt::Key_Return},
             {C().FldSyntaxKidExp, EditorField::SyntaxKid, "-9", Qt::Key_Return},
             {C().FldGlobalName, EditorField::GlobalName, "renamed", Qt::Key_Return},
             // Cut to leave a zero byte in the map; the field shows what the map holds.
             {C().FldScriptName, EditorField::ScriptName, QString(40, 'n'), Qt::Key_Enter}}) {
        SCOPED_TRACE(f.control->objectName().toStdString());
        EXPECT_EQ(StoredFieldText(window->State(), f.field), platform::ToBytes(f.control->text()));
        f.control->setText(f.text);
        QTest::keyClick(f.control, f.key);
        const QString stored = f.text.left(31);
        EXPECT_EQ(StoredFieldText(window->State(), f.field), platform::ToBytes(stored));
        EXPECT_EQ(f.control->text(), stored);
    }
    for (const auto& [popup, field, index] :
         {std::tuple{C().PopScriptType, EditorField::ScriptType, 4},
          std::tuple{C().PopScriptReturn, EditorField::ScriptReturnType, 8},
          std::tuple{C().PopGlobalType, EditorField::GlobalType, 6},
          std::tuple{C().PopSyntaxType, EditorField::SyntaxValueType, 7}}) {
        EXPECT_EQ(StoredFieldCode(window->State(), field), popup->currentIndex());
        popup->setCurrentIndex(index);
        EXPECT_EQ(StoredFieldCode(window->State(), field), index)
            << popup->objectName().toStdString();
    }
    EXPECT_EQ(uitest::ReadFileBytes(path).at(static_cast<size_t>(map.ScriptRecord(0) + 38)), 0xFE);
    EXPECT_TRUE(shown.empty());

    // Nothing on screen follows a commit.
    EXPECT_EQ(C().FldScriptDeComp->toPlainText(), printed);
}

// A key as X11 delivers it: a control chord carries its control character as its text.
void PressAsX11Does(QWidget* field, Qt::Key key, Qt::KeyboardModifiers modifiers,
                    const char* text) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, QString::fromLatin1(text));
    QApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, QString::fromLatin1(text));
    QApplication::sendEvent(field, &release);
}

// Only Return and Enter commit: no other key, nor the wheel, writes or even opens the map. Why a
// write is refused is the core's matter (editors_test.cpp); after a refusal each control shows
// what the map still holds.
TEST_F(RecordEditorsTest, OnlyReturnOrEnterCommitsAndARefusalShowsWhatTheMapHolds) {
    ShowAllPages();
    const QString textOffset = C().FldSyntaxScriptTableOffset->text();
    MakeMapUnwritable();
    for (QLineEdit* field :
         {C().FldScriptName, C().FldScriptExpPointer, C().FldGlobalName, C().FldGlobalExpPointer,
          C().FldSyntaxExpIdent, C().FldSyntaxEngineIdent, C().FldSyntaxExpType,
          C().FldSyntaxSibExp, C().FldSyntaxScriptTableOffset, C().FldSyntaxScriptValue,
          C().FldSyntaxKidExp, C().FldSyntaxEngineCommand}) {
        field->setText("-");
        QTest::keyClicks(field, "2");
        QTest::keyClick(field, Qt::Key_Tab);
        // Ctrl+C types code 3, Enter's; Ctrl+M code 13, Return's.
        for (const auto& [key, typed] :
             {std::pair{Qt::Key_C, "\x03"}, std::pair{Qt::Key_M, "\r"}}) {
            for (Qt::KeyboardModifiers modifiers :
                 {Qt::KeyboardModifiers(Qt::ControlModifier),
                  Qt::ControlModifier | Qt::ShiftModifier, Qt::ControlModifier | Qt::AltModifier}) {
                PressAsX11Does(field, key, modifiers, typed);
            }
        }
        EXPECT_EQ(field->text(), "-2") << field->objectName().toStdString();
    }
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

    // Return and keypad Enter, as X11 delivers them, commit, but not in the engine command's
    // field: its name is no field of the record.
    PressAsX11Does(C().FldSyntaxEngineCommand, Qt::Key_Return, Qt::NoModifier, "\r");
    PressAsX11Does(C().FldScriptExpPointer, Qt::Key_Return, Qt::NoModifier, "\r");
    PressAsX11Does(C().FldScriptName, Qt::Key_Enter, Qt::KeypadModifier, "\r");
    PressAsX11Does(C().FldSyntaxScriptTableOffset, Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(C().FldScriptExpPointer->text(), "-32763");
    EXPECT_EQ(C().FldScriptName->text(), "wait");
    EXPECT_EQ(C().FldSyntaxScriptTableOffset->text(), textOffset);
    QTest::keyClick(C().PopScriptType, Qt::Key_Down);
    EXPECT_EQ(C().PopScriptType->currentIndex(), 1);
    ProtectMap();
    ASSERT_EQ(shown.size(), 5u);
    for (const uitest::ShownBox& box : shown) {
        EXPECT_TRUE(box.text.contains("could not be opened for writing")) << box.text.toStdString();
    }
    ExpectUnchanged();
}

// Protection yields after each node: a row chosen meanwhile shows when it ends. The pages
// still show the texts, which only the file lost.
TEST_F(RecordEditorsTest, ProtectMapReportsTheCountAndShowsARowChosenMeanwhileAfterwards) {
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
    EXPECT_EQ(shown[0].text,
              "Map is now protected from basic script extraction!\n7 syntaxs were changed");
    Select({"scripts", "s: wait"});
    EXPECT_EQ(C().FldScriptDeComp->toPlainText(),
              "(script dormant void wait\n(begin\n( sleep 30))\n))");
}

}  // namespace
